#!/usr/bin/env python3
"""Times the Python package orvunits beside Pint on the same questions, in one run.

Each round times every operation once for each library, one library right after the other, so
that both see the same machine load; the times are the medians of the rounds, and the ratio is the
median of the rounds' ratios. Run it with an
interpreter that has numpy and pint (Debian's /usr/bin/python3), after building the bench preset:

    bench/python_bench.py [--build-dir build/bench] [--rounds 7] [--filter REGEX] [--json]
"""

import argparse
import json
import os
import re
import statistics
import sys
import timeit

import numpy as np

# name, what it does, target ratio (None: shown for information), and for each library the
# statement and how many calls one timing makes. The array rows convert 1e6 float64 values; those
# in place convert there and back, so that the values keep their size, and count as two calls.
IN_PLACE = ("ou.convert(values, 'ft', 'm', out=values); "
            "ou.convert(values, 'm', 'ft', out=values)")
ROWS = [
    ("python_convert_scalar", "convert one value, 12.5 ft to m (Pint: UnitRegistry.convert)", 0.02,
     "ou.convert(12.5, 'ft', 'm')", "ureg.convert(12.5, 'ft', 'm')", 20000),
    ("python_convert_quantity", "one value through a Quantity (Pint: Quantity.to)", None,
     "ou.Quantity(12.5, 'ft').to('m')", "Q(12.5, 'ft').to('m').magnitude", 5000),
    ("python_parse", "parse \"12.5 ft\" (Pint: parse_expression)", 0.02,
     "ou.Quantity.parse('12.5 ft', measurement='Depth')", "ureg.parse_expression('12.5 ft')",
     5000),
    ("python_array_in_place", "1e6 float64 ft to m, ours in place (Pint: to(), a new array)", 0.5,
     IN_PLACE, "feet.to('m')", 20),
    ("python_array_new", "1e6 float64 ft to m into a new array (Pint: to())", None,
     "ou.convert(values, 'ft', 'm')", "feet.to('m')", 20),
    ("python_array_pint_in_place", "1e6 float64 ft to m in place (Pint: ito())", None,
     IN_PLACE, "feet.ito('m'); feet.ito('ft')", 20),
]


def measure(rounds, row_filter):
    import orvunits as ou
    import pint

    ureg = pint.UnitRegistry()
    values = np.random.default_rng(1).random(1_000_000)
    scope = {"ou": ou, "ureg": ureg, "Q": ureg.Quantity, "values": values,
             "feet": ureg.Quantity(values.copy(), "ft")}
    samples = {}
    for _ in range(rounds):
        for name, _, _, ours, theirs, calls in ROWS:
            if not re.search(row_filter, name):
                continue
            for side, statement in (("ours", ours), ("pint", theirs)):
                timer = timeit.Timer(statement, globals=scope)
                timer.timeit(max(1, calls // 10))
                seconds = timer.timeit(calls) / calls
                if statement == IN_PLACE or "ito" in statement:
                    seconds /= 2
                samples.setdefault(name, {}).setdefault(side, []).append(seconds * 1e9)
    return {name: {"ours": statistics.median(sides["ours"]),
                   "pint": statistics.median(sides["pint"]),
                   "ratio": statistics.median(a / b for a, b in zip(sides["ours"], sides["pint"]))}
            for name, sides in samples.items()}


def show(nanoseconds):
    return "%.2f ms" % (nanoseconds / 1e6) if nanoseconds >= 1e6 else (
        "%.2f us" % (nanoseconds / 1e3) if nanoseconds >= 1e4 else "%.0f ns" % nanoseconds)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", default=os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "build", "bench"))
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--filter", default="", help="run the rows whose names match")
    parser.add_argument("--json", action="store_true", help="print the medians as JSON")
    args = parser.parse_args()
    sys.path.insert(0, os.path.join(args.build_dir, "python"))

    results = measure(args.rounds, args.filter)
    if args.json:
        print(json.dumps({name: dict(sides, target=next(r[2] for r in ROWS if r[0] == name),
                                     label=next(r[1] for r in ROWS if r[0] == name))
                          for name, sides in results.items()}))
        return 0
    all_met = True
    print("| operation | orvunits | Pint | ratio | target | met |")
    print("|---|---|---|---|---|---|")
    for name, label, target, *_ in ROWS:
        if name in results:
            ours, theirs, ratio = (results[name][key] for key in ("ours", "pint", "ratio"))
            met = target is None or ratio <= target
            all_met = all_met and met
            print("| %s | %s | %s | %.3f | %s | %s |" % (
                label, show(ours), show(theirs), ratio,
                "<= %gx" % target if target else "", ("yes" if met else "NO") if target else ""))
    return 0 if all_met else 1


if __name__ == "__main__":
    sys.exit(main())
