"""Ownership: no reference, Python allocation or C++ allocation is left behind by conversions,
quantities and handlers, and converting an array in place does not copy it."""

import gc
import os
import resource
import sys
import tracemalloc

import numpy as np

import orvunits as ou


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def growth(work, rounds):
    """Python-allocated and resident bytes gained by `rounds` more runs of `work`, after one."""
    work()
    gc.collect()
    tracemalloc.start()
    before = (tracemalloc.get_traced_memory()[0], resident_bytes())
    for _ in range(rounds):
        work()
    gc.collect()
    after = (tracemalloc.get_traced_memory()[0], resident_bytes())
    tracemalloc.stop()
    return after[0] - before[0], after[1] - before[1]


def test_a_million_conversions_leave_nothing_behind():
    ft, symbol, value = ou.unit("ft"), "".join(["i", "n"]), 12.5  # objects of this test alone
    counts = [sys.getrefcount(x) for x in (ft, symbol, value)]

    def convert_many():
        for _ in range(100_000):
            ou.convert(value, ft, symbol)

    traced, resident = growth(convert_many, 10)
    assert [sys.getrefcount(x) for x in (ft, symbol, value)] == counts
    assert traced < 10_000 and resident < 1_000_000


def test_a_hundred_thousand_quantities_leave_nothing_behind():
    depth = ou.measurement("Depth")
    count = sys.getrefcount(depth)

    def make_many():
        for _ in range(10_000):
            parsed = ou.Quantity.parse("12.5 ft", measurement=depth)
            total = (parsed + parsed) * 2.0 - ou.Quantity(1.0, "m", measurement=depth)
            str(total)

    traced, resident = growth(make_many, 10)
    assert sys.getrefcount(depth) == count
    # Three values of 16 bytes leaked per round would be several megabytes.
    assert traced < 10_000 and resident < 1_000_000


def test_array_conversions_and_handlers_release_their_references():
    values = np.ones(10_000)
    handler = lambda *_: None  # noqa: E731
    counts = sys.getrefcount(values), sys.getrefcount(handler)
    local = ou.LocalUnitSystem("Site", "Metric")
    for _ in range(1000):
        ou.convert(values, "m", "m", out=values)
        ou.convert(values, "m", "m")
        local.on_change(handler).close()
        ou.on_current_system_changed(handler).close()
    assert (sys.getrefcount(values), sys.getrefcount(handler)) == counts


def test_converting_a_large_array_in_place_makes_no_copy_of_it():
    values = np.random.default_rng(1).random(20_000_000)  # 160 MB
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    ou.convert(values, "ft", "m", out=values)
    assert resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - peak < 16_000  # kB
