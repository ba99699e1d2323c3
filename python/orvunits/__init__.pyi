"""Units of measure for engineering scripts: the Orv Units catalogue, unit systems, quantities
and conversions of numbers and numpy arrays."""

import os
from typing import Callable, ContextManager, Iterable, TypeVar, overload

import numpy as np
import numpy.typing as npt

_UnitLike = Unit | str
_MeasurementLike = Measurement | str
_SystemLike = UnitSystem | str
_Array = TypeVar("_Array", npt.NDArray[np.float64], npt.NDArray[np.float32])

class UnitError(Exception):
    """A failure of the library; str() is the library's message."""

class CatalogueError(UnitError):
    """A catalogue file the library refuses, with every problem found in it."""

class CatalogueWarning(UserWarning):
    """Something of a catalogue file that was read despite a doubt."""

class Dimension:
    """A physical dimension such as Length; it has one base unit."""
    @property
    def name(self) -> str: ...
    @property
    def base_unit(self) -> Unit: ...
    @property
    def units(self) -> list[Unit]:
        """The units of this dimension, by symbol."""
    def __lt__(self, other: Dimension) -> bool: ...

class Unit:
    """A unit of one dimension, known by its symbol."""
    @property
    def symbol(self) -> str: ...
    @property
    def name(self) -> str: ...
    @property
    def dimension(self) -> Dimension: ...
    @property
    def standard_form(self) -> Unit:
        """The unit this one is another symbol for; itself when it is none's alias."""
    @property
    def aliases(self) -> list[Unit]:
        """Every unit of the same standard form, this one included, by symbol."""
    def __lt__(self, other: Unit) -> bool:
        """The catalogue's order: dimension, scale, standard form, then aliases."""

class Measurement:
    """A kind of quantity within one dimension, such as Depth."""
    @property
    def name(self) -> str: ...
    @property
    def dimension(self) -> Dimension: ...
    @property
    def base_unit(self) -> Unit: ...
    @property
    def current_unit(self) -> Unit:
        """Its unit in the current unit system."""
    def units(self, aliases: bool = False) -> list[Unit]:
        """The units offered for it; with aliases, every other symbol of each as well."""
    def __lt__(self, other: Measurement) -> bool: ...

class UnitSystem:
    """A named choice of one unit per measurement."""
    @property
    def name(self) -> str: ...
    def __getitem__(self, measurement: _MeasurementLike) -> Unit:
        """The unit this system gives the measurement."""
    def __lt__(self, other: UnitSystem) -> bool:
        """Metric first, then by name."""

class LocalUnitSystem(UnitSystem):
    """Overrides over a parent unit system, or over whichever system is current."""
    def __init__(self, name: str, parent: _SystemLike | None = None) -> None:
        """Over a local parent, its parent and a copy of its overrides instead."""
    @property
    def uses_current_context(self) -> bool:
        """True without a parent: the current unit system answers what is not overridden."""
    @property
    def overrides(self) -> dict[Measurement, Unit]: ...
    def __setitem__(self, measurement: _MeasurementLike, unit: _UnitLike) -> None:
        """Sets an override, then raises the local event and, if current, the current one."""
    def clone(self) -> LocalUnitSystem:
        """The same name, parent and overrides, with no handlers."""
    def on_change(self, handler: Callable[[Measurement, Unit, LocalUnitSystem], object]
                  ) -> Subscription:
        """Calls handler(measurement, unit, system) after each override is set."""

class Subscription(ContextManager[Subscription]):
    """A handler on an event; it stays subscribed until close(), also when dropped."""
    @property
    def active(self) -> bool: ...
    def close(self) -> bool:
        """Removes the handler; False when it was already removed."""

class Quantity:
    """A value with its measurement, held in base units."""
    def __init__(self, value: float = 0.0, unit: _UnitLike | None = None,
                 measurement: _MeasurementLike | None = None) -> None:
        """value in unit (by default the measurement's current unit), of measurement (by default
        the one named like the unit's dimension); without either, a unitless value."""
    @staticmethod
    def from_base(base_value: float, measurement: _MeasurementLike) -> Quantity: ...
    @staticmethod
    def parse(text: str, measurement: _MeasurementLike | None = None,
              unit: _UnitLike | None = None, system: _SystemLike | None = None) -> Quantity:
        """Reads "12.5 ft"; a bare number is read in unit, in system's unit or the current one."""
    @property
    def base_value(self) -> float: ...
    @property
    def measurement(self) -> Measurement: ...
    @property
    def base_unit(self) -> Unit: ...
    def to(self, unit: _UnitLike) -> float: ...
    def in_system(self, system: _SystemLike | None = None) -> float:
        """The value in the unit the system (by default the current one) gives its measurement."""
    def format(self, unit: _UnitLike | None = None, system: _SystemLike | None = None) -> str:
        """The value and unit symbol as str() writes them, in unit or system."""
    def __add__(self, other: Quantity | float) -> Quantity: ...
    def __radd__(self, other: float) -> Quantity: ...
    def __sub__(self, other: Quantity | float) -> Quantity: ...
    def __rsub__(self, other: float) -> Quantity: ...
    def __mul__(self, other: Quantity | float) -> Quantity: ...
    def __rmul__(self, other: float) -> Quantity: ...
    def __truediv__(self, other: Quantity | float) -> Quantity: ...
    def __rtruediv__(self, other: float) -> Quantity: ...

def register(*files: str | os.PathLike[str], over_default: bool = False) -> None:
    """The default catalogue (registered on import), a catalogue file, or files stacked over the
    first or over the default catalogue, becomes the one used."""
def unit(symbol: str) -> Unit: ...
def measurement(name: str) -> Measurement: ...
def dimension(name: str) -> Dimension: ...
def unit_system(name: str) -> UnitSystem: ...
def units() -> list[Unit]: ...
def measurements() -> list[Measurement]: ...
def dimensions() -> list[Dimension]: ...
def unit_systems() -> list[UnitSystem]: ...
def current_system() -> UnitSystem: ...
def set_current_system(system: _SystemLike | None) -> None:
    """None brings the default, Metric, back."""
def on_current_system_changed(handler: Callable[[UnitSystem | None], object]) -> Subscription: ...
@overload
def convert(value: float, from_unit: _UnitLike, to_unit: _UnitLike) -> float: ...
@overload
def convert(value: _Array, from_unit: _UnitLike, to_unit: _UnitLike,
            out: _Array | None = None) -> _Array: ...
@overload
def convert(value: Iterable[float] | npt.ArrayLike, from_unit: _UnitLike, to_unit: _UnitLike,
            out: npt.NDArray[np.float64] | None = None) -> npt.NDArray[np.float64]: ...
