"""Look-ups, listings and registration of catalogues."""

import pytest

import orvunits as ou
from conftest import ROOT, run_fresh


def test_look_ups_give_catalogue_objects_that_know_one_another():
    ft = ou.unit("ft")
    assert (ft.symbol, ft.name, repr(ft)) == ("ft", "foot", "<Unit ft: foot (Length)>")
    assert ft.dimension == ou.dimension("Length") == ou.measurement("Depth").dimension
    assert ou.measurement("Depth").base_unit == ft.dimension.base_unit == ou.unit("m")
    assert ou.unit("foot").standard_form == ft and ou.unit("foot") in ft.aliases
    first = hash(ou.unit("ft"))  # that wrapper is gone before the next look-up makes another
    assert hash(ou.unit("ft")) == first and ou.unit("ft") != "ft"


def test_listings_come_in_the_library_order():
    def in_byte_order(names):
        return names == sorted(names, key=lambda name: name.encode())

    assert in_byte_order([u.symbol for u in ou.units()])
    assert in_byte_order([m.name for m in ou.measurements()])
    dimensions = [d.name for d in ou.dimensions()]
    assert in_byte_order(dimensions) and set(dimensions) == {u.dimension.name for u in ou.units()}
    assert ou.unit_systems()[0].name == "Metric"
    assert ou.measurement("Depth").units()[:2] == [ou.unit("m"), ou.unit("ft")]
    # The catalogue's order of units: scale 1 first, then by the leading digits of the scale.
    assert sorted(ou.unit(s) for s in ("ft", "in", "m")) == [ou.unit(s) for s in ("m", "in", "ft")]


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


def test_a_catalogue_file_replaces_the_default_one_and_warns_of_its_doubts():
    assert run_fresh("""
        import sys, warnings
        import orvunits as ou
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            ou.register(sys.argv[1])
        print({w.category.__name__ for w in caught}, [s.name for s in ou.unit_systems()])
        try:
            ou.unit("in")
        except ou.UnitError as error:
            print(error)
    """, str(ROOT / "tests" / "reader" / "catalogue.xml")) == [
        "{'CatalogueWarning'} ['Metric', 'Field']", "Could not find a Unit with symbol 'in'!"]


def test_a_refused_file_raises_catalogue_error_and_keeps_the_catalogue():
    broken = ROOT / "tests" / "reader" / "broken" / "base-unit-undefined.xml"
    with pytest.raises(ou.CatalogueError) as raised:
        ou.register(broken)
    assert isinstance(raised.value, ou.UnitError)
    assert f'{broken}:2:3: the dimension "Length" has the base unit "metre"' in str(raised.value)
    assert ou.convert(1.0, "ft", "in") == 12.0


@pytest.mark.parametrize("files, over_default, systems", [
    (["site-layer.xml"], True, ["Metric", "SI", "Imperial", "US Customary", "Site"]),
    (["catalogue.xml", "site-layer.xml"], False, ["Metric", "Field", "Site"]),
])
def test_catalogue_files_stack_over_the_default_one_or_over_the_first(files, over_default, systems):
    assert run_fresh("""
        import sys, warnings
        import orvunits as ou
        warnings.simplefilter("ignore")
        ou.register(*sys.argv[2:], over_default=sys.argv[1] == "True")
        print(ou.convert(1.0, "smoot", "m"), [s.name for s in ou.unit_systems()])
    """, str(over_default), *(str(ROOT / "tests" / "reader" / f) for f in files)) == [
        f"1.7018 {systems}"]
