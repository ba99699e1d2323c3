"""Ownership: conversions, quantities and handlers leave no reference, Python allocation or C++
allocation behind, and an array converted in place is not copied."""

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


def test_a_million_conversions_and_a_hundred_thousand_quantities_leave_nothing_behind():
    ft, symbol, depth = ou.unit("ft"), "".join(["i", "n"]), ou.measurement("Depth")
    counts = [sys.getrefcount(x) for x in (ft, symbol, depth)]

    def work():
        for _ in range(10_000):
            for _ in range(10):
                ou.convert(12.5, ft, symbol)
            parsed = ou.Quantity.parse("12.5 ft", measurement=depth)
            str((parsed + parsed) * 2.0 - ou.Quantity(1.0, "m", measurement=depth))

    work()  # whatever the first round builds stays, as the library's catalogue does
    gc.collect()
    tracemalloc.start()
    before = tracemalloc.get_traced_memory()[0], resident_bytes()
    for _ in range(10):
        work()
    gc.collect()
    after = tracemalloc.get_traced_memory()[0], resident_bytes()
    tracemalloc.stop()
    assert [sys.getrefcount(x) for x in (ft, symbol, depth)] == counts
    # Four values of 16 bytes leaked by each of the 100,000 rounds would be megabytes.
    assert after[0] - before[0] < 10_000 and after[1] - before[1] < 1_000_000


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
