"""Units of measure for engineering scripts: the Orv Units catalogue, unit systems, quantities
and conversions of numbers and numpy arrays.

Importing the package registers the default catalogue, which ships inside the library::

    import orvunits as ou
    ou.convert(12.5, "ft", "m")                       # 3.81
    depth = ou.Quantity.parse("12.5 ft", measurement="Depth")
    str(depth)                                        # '3.81 m', in the current unit system

Every failure of the library is raised as UnitError with the library's message.
"""

import atexit
import os
import warnings

from ._orvunits import (CatalogueError, Dimension, LocalUnitSystem, Measurement, Quantity,
                        Subscription, Unit, UnitError, UnitSystem, convert, current_system,
                        dimension, dimensions, measurement, measurements,
                        on_current_system_changed, set_current_system, unit, unit_system,
                        unit_systems, units)
from . import _orvunits

__all__ = [
    "CatalogueError", "CatalogueWarning", "Dimension", "LocalUnitSystem", "Measurement",
    "Quantity", "Subscription", "Unit", "UnitError", "UnitSystem", "convert", "current_system",
    "dimension", "dimensions", "measurement", "measurements", "on_current_system_changed",
    "register", "set_current_system", "unit", "unit_system", "unit_systems", "units",
]


class CatalogueWarning(UserWarning):
    """Something of a catalogue file that was read despite a doubt."""


def register(*files, over_default=False):
    """Registers the catalogue the library looks units up in, replacing the one registered before.

    With no file, the default catalogue (registered on import); with one, that catalogue file.
    Several files, or files over the default catalogue (over_default=True), stack later catalogues
    over earlier ones: each adds to those below it and replaces what it marks override="true".

    The library never forgets what it built: units, measurements and unit systems already used
    stay as they were read, so register before using the catalogue. Raises CatalogueError, with
    every problem found, for a file the library refuses; warns with CatalogueWarning for what it
    reads despite a doubt.
    """
    paths = [os.fspath(path) for path in files]
    for warning in _orvunits._register(paths, over_default):
        warnings.warn(warning, CatalogueWarning, stacklevel=2)


for _name in __all__:
    if isinstance(globals()[_name], type):
        globals()[_name].__module__ = __name__  # shown as orvunits.Unit, not its extension's name

_orvunits._register([], False)
atexit.register(_orvunits._shutdown)
