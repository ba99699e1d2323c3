"""Look-ups, listings and registration of catalogues."""

import pytest

import orvunits as ou
from conftest import run_fresh


def test_look_ups_give_catalogue_objects_that_know_one_another():
    ft = ou.unit("ft")
    assert (ft.symbol, ft.name, str(ft), repr(ft)) == ("ft", "foot", "ft", "<Unit ft: foot (Length)>")
    assert ft.dimension == ou.dimension("Length") == ou.measurement("Depth").dimension
    assert ou.measurement("Depth").base_unit == ft.dimension.base_unit == ou.unit("m")
    assert ft.standard_form == ft and ou.unit("foot").standard_form == ft
    assert {u.symbol for u in ft.aliases} >= {"ft", "foot"}
    assert ou.unit_system("Metric") == ou.current_system()


def test_catalogue_objects_are_equal_and_hash_alike_by_identity_not_by_wrapper():
    first = hash(ou.unit("ft"))  # the wrapper dies here; the next look-up makes a new one
    assert hash(ou.unit("ft")) == first
    assert ou.unit("ft") != ou.unit("m") and ou.unit("ft") != "ft"
    assert len({ou.measurement("Depth"), ou.measurement("Depth"), ou.measurement("Length")}) == 2


def test_listings_come_in_the_library_order():
    def byte_order(names):
        return sorted(names, key=lambda name: name.encode())

    symbols = [u.symbol for u in ou.units()]
    assert symbols == byte_order(symbols) and "ft" in symbols
    names = [m.name for m in ou.measurements()]
    assert names == byte_order(names) and "Depth" in names
    dimensions = [d.name for d in ou.dimensions()]
    assert dimensions == byte_order(dimensions)
    assert set(dimensions) == {u.dimension.name for u in ou.units()}
    assert [s.name for s in ou.unit_systems()][0] == "Metric"
    assert all(u.dimension.name == "Length" for u in ou.dimension("Length").units)
    # The catalogue's order of units: scale 1 first, then by the leading digits of the scale.
    assert sorted([ou.unit("ft"), ou.unit("in"), ou.unit("m")]) == [ou.unit(s) for s in ("m", "in", "ft")]


def test_a_measurement_lists_the_units_it_offers():
    depth = ou.measurement("Depth")
    offered = depth.units()
    assert offered[:2] == [ou.unit("m"), ou.unit("ft")]
    assert set(depth.units(aliases=True)) > set(offered)


@pytest.mark.parametrize("look_up, message", [
    (lambda: ou.unit("FT"), "Could not find a Unit with symbol 'FT'!"),
    (lambda: ou.measurement("depth"), "Could not find a Measurement named 'depth'!"),
    (lambda: ou.dimension("Lenght"), "Could not find a Dimension named 'Lenght'!"),
    (lambda: ou.unit_system("metric"), "Could not find a UnitSystem named 'metric'!"),
])
def test_unknown_names_raise_the_library_message(look_up, message):
    with pytest.raises(ou.UnitError) as raised:
        look_up()
    assert str(raised.value) == message


def test_arguments_of_another_type_raise_type_error():
    with pytest.raises(TypeError, match="expected a Unit or a unit symbol, not int"):
        ou.convert(1.0, 3, "m")
    with pytest.raises(TypeError, match="a Measurement or a measurement name"):
        ou.Quantity.parse("1 m", measurement=ou.unit("m"))
    with pytest.raises(TypeError, match="'measurment'"):
        ou.Quantity.parse("1 m", measurment="Depth")
    with pytest.raises(TypeError, match="real number"):
        ou.Quantity("12.5")


CATALOGUE = """<?xml version="1.0" encoding="UTF-8"?>
<UnitCatalog>
  <Dimension name="Dimensionless" baseUnit="unitless">
    <Measurement name="Unitless" units="unitless"/>
    <Unit name="unitless" desc="unitless" scale="1" offset="0"/>
  </Dimension>
  <Dimension name="Length" baseUnit="m">
    <Measurement name="Depth" units="m fathom"/>
    <Unit name="m" desc="metre" scale="1" offset="0"/>
    <Unit name="fathom" desc="fathom" scale="0.546807" offset="0" B="1.8288"/>
  </Dimension>
  <UnitSystem name="Metric">
    <UnitMapping measurement="Depth" unit="m"/>
  </UnitSystem>
  <UnitSystem name="Nautical">
    <UnitMapping measurement="Depth" unit="fathom"/>
    <UnitMapping measurement="Unitless" unit="percent"/>
  </UnitSystem>
</UnitCatalog>
"""


def test_a_catalogue_file_replaces_the_default_one(tmp_path):
    (tmp_path / "site.xml").write_text(CATALOGUE)
    printed = run_fresh("""
        import warnings
        import orvunits as ou
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            ou.register("site.xml")
        print(len(caught), caught[0].category.__name__)
        print(ou.convert(2.0, "fathom", "m"), [s.name for s in ou.unit_systems()])
        try:
            ou.unit("ft")
        except ou.UnitError as error:
            print(error)
    """, cwd=tmp_path)
    assert printed.splitlines() == ["1 CatalogueWarning", "3.6576 ['Metric', 'Nautical']",
                                    "Could not find a Unit with symbol 'ft'!"]


def test_a_refused_file_raises_catalogue_error_and_keeps_the_catalogue(tmp_path):
    (tmp_path / "broken.xml").write_text(CATALOGUE.replace('baseUnit="m"', 'baseUnit="yd"'))
    with pytest.raises(ou.CatalogueError) as raised:
        ou.register(tmp_path / "broken.xml")
    assert isinstance(raised.value, ou.UnitError)
    assert str(tmp_path / "broken.xml") + ":7:3:" in str(raised.value)
    assert ou.convert(1.0, "ft", "in") == 12.0


def test_stacked_catalogues_are_not_available_yet(tmp_path):
    with pytest.raises(NotImplementedError):
        ou.register(tmp_path / "a.xml", over_default=True)
    with pytest.raises(NotImplementedError):
        ou.register(tmp_path / "a.xml", tmp_path / "b.xml")
