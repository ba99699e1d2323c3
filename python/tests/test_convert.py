"""convert() of numbers and numpy arrays: the C++ library's results, bit for bit."""

import os
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import orvunits as ou


def library_converts(values, from_unit, to_unit):
    """What the C++ library alone makes of `values` (its vector form), through a helper program."""
    kind = "float" if values.dtype == np.float32 else "double"
    output = subprocess.run([os.environ["ORV_UNITS_REFERENCE"], from_unit, to_unit, kind],
                            input=values.tobytes(), capture_output=True, check=True).stdout
    return np.frombuffer(output, dtype=values.dtype)


def random_values(count, dtype):
    """Values of every magnitude and sign, with zeros, infinities and NaN."""
    generator = np.random.default_rng(17)
    values = generator.standard_normal(count) * 10.0 ** generator.integers(-30, 30, count)
    values[:6] = [0.0, -0.0, np.inf, -np.inf, np.nan, 5e-324]
    return values.astype(dtype)


@pytest.mark.parametrize("from_unit, to_unit", [
    ("ft", "m"), ("degF", "degC"), ("psi", "kPa"), ("API", "SG"), ("mpg", "km/L")])
@pytest.mark.parametrize("dtype", [np.float64, np.float32])
def test_arrays_and_numbers_convert_as_the_library_does_bit_for_bit(from_unit, to_unit, dtype):
    values = random_values(1_000_000, dtype)
    expected = library_converts(values, from_unit, to_unit).tobytes()
    assert ou.convert(values, from_unit, to_unit).tobytes() == expected
    ou.convert(values, from_unit, to_unit, out=values)
    assert values.tobytes() == expected
    sample = random_values(2000, np.float64)
    numbers = np.array([ou.convert(float(x), from_unit, to_unit) for x in sample])
    assert numbers.tobytes() == library_converts(sample, from_unit, to_unit).tobytes()


def test_results_have_the_type_dtype_shape_and_place_asked_for():
    assert ou.convert(100, ou.unit("degC"), "degF") == 212.0
    assert type(ou.convert(np.float64(1.0), "ft", "in")) is float
    values = np.array([1.0, 2.0], dtype=np.float32)
    converted = ou.convert(values, "ft", "in")
    assert converted.dtype == np.float32 and (converted.tolist(), values.tolist()) == (
        [12.0, 24.0], [1.0, 2.0])
    assert ou.convert([1, 2], "ft", "in").dtype == ou.convert(np.arange(2), "ft", "in").dtype == \
        np.float64
    assert ou.convert(np.array([1.0], dtype=">f8"), "ft", "in").tolist() == [12.0]
    assert ou.convert(np.empty((0, 3)), "ft", "in").shape == (0, 3)
    assert ou.convert(np.array(1.0), "ft", "in").shape == ()
    assert ou.convert(values, "ft", "in", out=values) is values and values.tolist() == [12.0, 24.0]
    target = np.zeros(2, dtype=np.float32)
    assert ou.convert(values, "in", "ft", out=target) is target and target.tolist() == [1.0, 2.0]


def test_views_of_any_layout_convert_like_their_copies():
    grid = np.arange(24.0).reshape(4, 6)
    for view in (grid[::2, 1::3], grid.T, grid[::-1], np.asfortranarray(grid)):
        assert np.array_equal(ou.convert(view, "ft", "in"), view * 12.0)
    misaligned = np.frombuffer(bytearray(8 * 5 + 1), offset=1)
    misaligned[:] = np.arange(5.0)
    assert ou.convert(misaligned, "ft", "in", out=misaligned).tolist() == [0, 12, 24, 36, 48]
    overlapping = np.arange(5.0)
    ou.convert(overlapping[:-1], "ft", "in", out=overlapping[1:])
    assert overlapping.tolist() == [0.0, 0.0, 12.0, 24.0, 36.0]
    strided_out = np.zeros((4, 6))
    ou.convert(grid[:, :3], "ft", "in", out=strided_out[:, ::2])
    assert np.array_equal(strided_out[:, ::2], grid[:, :3] * 12.0)


def test_refused_conversions_raise_and_leave_out_alone():
    values = np.array([1.0, 2.0])
    with pytest.raises(ou.UnitError, match="^Cannot convert from ft to s$"):
        ou.convert(values, "ft", "s", out=values)
    with pytest.raises(ou.UnitError, match="^Cannot convert from ft to s$"):
        ou.convert(1.0, "ft", "s")
    assert values.tolist() == [1.0, 2.0]
    with pytest.raises(TypeError, match="dtype"):
        ou.convert(values, "ft", "in", out=values.astype(np.float32))
    with pytest.raises(ValueError, match="shape"):
        ou.convert(values, "ft", "in", out=np.zeros(3))
    values.flags.writeable = False
    with pytest.raises(ValueError, match="read-only"):
        ou.convert(values, "ft", "in", out=values)
    with pytest.raises(TypeError):
        ou.convert("12", "ft", "in")


def steps_taken_while_converting(values):
    """How often this thread ran while another converted `values`: never, if the GIL is held."""
    done = threading.Event()
    worker = threading.Thread(
        target=lambda: (ou.convert(values, "API", "SG", out=values), done.set()))
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000)  # threads now change only where one gives the GIL up
    try:
        worker.start()  # returns once the worker gives the GIL up
        steps = 0
        while not done.is_set():
            steps += 1
            time.sleep(0)
        worker.join()
    finally:
        sys.setswitchinterval(interval)
    return steps


def test_large_arrays_convert_without_holding_the_gil():
    # A loaded machine may not run this thread before a conversion ends: a few tries suffice. The
    # conversion is one of the slow, non-linear kind (some milliseconds) so that it lasts.
    values = np.full(2_000_000, 35.0)
    assert any(steps_taken_while_converting(values) > 0 for _ in range(20))
