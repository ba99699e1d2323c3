"""Quantity: parsing, reading out, formatting and arithmetic under the library's rules."""

import math

import pytest

import orvunits as ou


def test_parse_reads_a_number_and_a_unit_into_base_units():
    depth = ou.Quantity.parse("12.5 ft", measurement="Depth")
    assert (depth.base_value, depth.measurement, depth.base_unit) == (
        pytest.approx(3.81), ou.measurement("Depth"), ou.unit("m"))
    # Without a measurement, the one named like the unit's dimension; without a unit, unitless.
    assert ou.Quantity.parse("12.5 ft").measurement == ou.measurement("Length")
    assert ou.Quantity.parse("5").measurement == ou.measurement("Unitless")
    # A bare number is read in the unit given, the unit system's, or the current system's.
    assert [ou.Quantity.parse("2", measurement="Depth", **where).base_value for where in (
        {"unit": "ft"}, {"system": "Imperial"}, {})] == [pytest.approx(0.6096)] * 2 + [2.0]


@pytest.mark.parametrize("text, message", [
    (" 5 m", "Badly formed input"), ("5  m", "Badly formed input"), ("5 m x", "Badly formed input"),
    ("5 fathoms", "Could not find a Unit with symbol 'fathoms'!"),
    ("5 s", "Cannot convert from s to m"),
])
def test_parse_raises_the_library_message(text, message):
    with pytest.raises(ou.UnitError) as raised:
        ou.Quantity.parse(text, measurement="Depth")
    assert str(raised.value) == message


@pytest.mark.parametrize("where", [{"unit": "ft"}, {"measurement": "Depth", "unit": "ft",
                                                  "system": "Metric"}])
def test_parse_takes_a_unit_or_a_system_and_then_a_measurement(where):
    with pytest.raises(TypeError):
        ou.Quantity.parse("5", **where)


def test_a_quantity_reads_out_and_formats_in_any_unit_or_system():
    depth = ou.Quantity(12.5, "ft", measurement="Depth")
    assert (depth.to("in"), depth.in_system("Imperial"), depth.in_system()) == \
        (pytest.approx(150.0), pytest.approx(12.5), pytest.approx(3.81))
    assert (str(depth), depth.format("in"), depth.format(system="Imperial")) == \
        ("3.81 m", "150 in", "12.5 ft")
    assert repr(depth) == "<Quantity 3.81 m (Depth)>"
    ou.set_current_system("Imperial")
    assert str(depth) == "12.5 ft"
    assert ou.Quantity(2, measurement="Depth").base_value == pytest.approx(0.6096)
    assert ou.Quantity.from_base(1234567.0, "Depth").format("m") == "1.23457e+06 m"


def test_arithmetic_follows_the_library_rules():
    depth = ou.Quantity.from_base(2.0, "Depth")
    other = ou.Quantity.from_base(3.0, "Depth")
    assert (depth + other).base_value == 5.0 and (depth - other).base_value == -1.0
    for product in (depth * 2, 2 * depth, depth * ou.Quantity(2), depth / 0.5):
        assert (product.base_value, product.measurement) == (4.0, depth.measurement)
    total = depth + other
    assert total is not depth and (depth.base_value, other.base_value) == (2.0, 3.0)


@pytest.mark.parametrize("combine, message", [
    (lambda a, b: a + b, "Attempting to add values of Depth and Length measurements"),
    (lambda a, b: a - b, "Attempting to subtract values of Depth and Length measurements"),
    (lambda a, b: a * b, "Don't know how to multiply Depth and Length measurements"),
    (lambda a, b: a / b, "Don't know how to divide Depth by Length measurement"),
    (lambda a, b: 2 / a, "Don't know how to divide Unitless by Depth measurement"),
])
def test_refused_arithmetic_raises_the_library_message(combine, message):
    with pytest.raises(ou.UnitError) as raised:
        combine(ou.Quantity.from_base(1.0, "Depth"), ou.Quantity.from_base(1.0, "Length"))
    assert str(raised.value) == message


def test_equal_values_have_one_measurement_and_one_base_value_and_nan_never_equals():
    assert ou.Quantity.from_base(1.0, "Depth") == ou.Quantity.from_base(1.0, "Depth")
    assert ou.Quantity.from_base(1.0, "Depth") != ou.Quantity.from_base(1.0, "Length")
    not_a_number = ou.Quantity(math.nan)
    assert not_a_number != not_a_number
    assert ou.Quantity(1.0) != 1.0
