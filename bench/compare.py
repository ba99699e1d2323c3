#!/usr/bin/env python3
"""Runs our benchmarks and the peer's side by side and prints one table.

The table ends with the Python package beside Pint (bench/python_bench.py, run by the interpreter
the package was built for), when the bench build has the package.

Each round runs our benchmark program, then the peer's, so that both see the same machine load;
every figure is the median over the rounds. Start-up is measured by separate programs that spawn
fresh processes (their own medians). Usage:

    bench/compare.py [--build-dir build/bench] [--rounds 5] [--min-time 0.2] [--filter REGEX]
"""

import argparse
import json
import os
import statistics
import subprocess
import sys

# operation, our benchmark, the peer's, values per iteration (None: time per call), target ratio
# (None: no target), and a note on the target.
ROWS = [
    ("vector linear convert, 1e4 doubles in cache", "vector_linear_double/10000",
     "vector_linear_double/10000", 10000, 0.5, ""),
    ("vector offset convert, 1e4 doubles in cache", "vector_offset_double/10000",
     "vector_offset_double/10000", 10000, 0.5, ""),
    ("vector convert, 1e7 doubles", "vector_linear_double/10000000",
     "vector_linear_double/10000000", 10000000, 1.0, "plain"),
    ("make a converter, convert one value, destroy it", "convert_static", "convert_static",
     None, 1.0, ""),
    ("look a unit up by symbol (hit)", "lookup_symbol", "lookup_symbol", None, 0.25, ""),
    ("parse \"12.5 ft\" into base units", "parse_quantity", "parse_quantity", None, 0.25, ""),
    ("format a value with its unit symbol", "format_quantity", "format_quantity", None, 0.2, ""),
    ("parse \"9.81 m/s^2\" into base units, expression resolved",
     "parse_expression_acceleration", "parse_expression_acceleration", None, 0.5, ""),
    ("parse \"12.5 kN*m\" into base units, expression resolved", "parse_expression_torque",
     "parse_expression_torque", None, 0.5, ""),
    ("start-up to first conversion", "first_conversion", "first_conversion", None, 1.0,
     "startup"),
]

# Our operations with a target of their own, in nanoseconds: operation, benchmark, target.
ABSOLUTE = [
    ("resolve a new unit expression of five units", "resolve_expression", 5000.0),
]

# Rows shown for information, without a target.
INFO = [
    ("vector linear convert, 1e3 doubles", "vector_linear_double/1000", 1000),
    ("vector offset convert, 1e3 doubles", "vector_offset_double/1000", 1000),
    ("vector offset convert, 1e7 doubles", "vector_offset_double/10000000", 10000000),
    ("vector non-linear convert, 1e4 doubles", "vector_nonlinear_double/10000", 10000),
    ("vector non-linear convert, 1e7 doubles", "vector_nonlinear_double/10000000", 10000000),
    ("plain -O3 loop, 1e4 doubles", "vector_plain_double/10000", 10000),
    ("plain -O3 loop, 1e7 doubles", "vector_plain_double/10000000", 10000000),
    ("vector linear convert, 1e4 floats", "vector_linear_float/10000", 10000),
    ("vector offset convert, 1e4 floats", "vector_offset_float/10000", 10000),
    ("vector linear convert, 1e7 floats", "vector_linear_float/10000000", 10000000),
    ("plain -O3 loop, 1e7 floats", "vector_plain_float/10000000", 10000000),
    ("converter construction and destruction", "converter_construct", None),
    ("ConvertToBase", "convert_to_base", None),
    ("look a measurement up by name (hit)", "lookup_measurement", None),
    ("GetAllUnits() after load", "list_units", None),
    ("GetAllMeasurements() after load", "list_measurements", None),
]


def run_benchmarks(program, min_time, bench_filter):
    command = [program, "--benchmark_format=json", "--benchmark_min_time=%s" % min_time]
    if bench_filter:
        command.append("--benchmark_filter=%s" % bench_filter)
    output = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    results = {}
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("run_type", "iteration") != "iteration" or entry.get("error_occurred"):
            continue
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
        results[entry["name"]] = entry["cpu_time"] * scale
    return results


def run_startup(program, runs):
    output = subprocess.run([program, "--runs", str(runs)], check=True, capture_output=True,
                            text=True).stdout
    values = {}
    for line in output.splitlines():
        name, value, unit = line.split()
        values[name] = (float(value), unit)
    return values


def run_python_rows(build_dir, rounds, bench_filter):
    """The rows of bench/python_bench.py: (label, ours, Pint's, ratio, target) in nanoseconds."""
    package = os.path.join(build_dir, "python", "orvunits")
    if not os.path.isdir(package):
        print("note: the bench build has no Python package; its rows are left out", file=sys.stderr)
        return []
    interpreter = sys.executable
    with open(os.path.join(build_dir, "CMakeCache.txt")) as cache:
        for line in cache:
            if line.startswith("Python3_EXECUTABLE:"):
                interpreter = line.split("=", 1)[1].strip()
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "python_bench.py")
    output = subprocess.run([interpreter, script, "--build-dir", build_dir, "--rounds",
                             str(rounds), "--filter", bench_filter, "--json"], check=True,
                            capture_output=True, text=True).stdout
    return [("Python beside Pint: %s" % row["label"], row["ours"], row["pint"], row["ratio"],
             row["target"]) for row in json.loads(output).values()]


def median(samples):
    return statistics.median(samples) if samples else None


def show_time(nanoseconds, per_value):
    if nanoseconds is None:
        return "-"
    if per_value:
        return "%.3f ns/value" % nanoseconds
    if nanoseconds >= 1e6:
        return "%.2f ms" % (nanoseconds / 1e6)
    if nanoseconds >= 1e4:
        return "%.1f us" % (nanoseconds / 1e3)
    return "%.1f ns" % nanoseconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", default=os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "build", "bench"))
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--min-time", default="0.2")
    parser.add_argument("--startup-runs", type=int, default=21)
    parser.add_argument("--filter", default="")
    args = parser.parse_args()

    bench_dir = os.path.join(args.build_dir, "bench")
    ours_program = os.path.join(bench_dir, "orv_units_bench")
    peer_program = os.path.join(bench_dir, "peers", "orv_units_peer_bench")
    have_peer = os.path.exists(peer_program)
    if not have_peer:
        print("note: the peer program is not built (UDUNITS-2 missing); ratios are left out",
              file=sys.stderr)

    ours, peer = {}, {}
    for round_index in range(args.rounds):
        print("round %d of %d" % (round_index + 1, args.rounds), file=sys.stderr)
        for name, value in run_benchmarks(ours_program, args.min_time, args.filter).items():
            ours.setdefault(name, []).append(value)
        if have_peer:
            for name, value in run_benchmarks(peer_program, args.min_time, args.filter).items():
                peer.setdefault(name, []).append(value)
    ours = {name: median(samples) for name, samples in ours.items()}
    peer = {name: median(samples) for name, samples in peer.items()}

    ours_start = run_startup(os.path.join(bench_dir, "orv_units_coldstart"), args.startup_runs)
    peer_start = {}
    if have_peer:
        peer_start = run_startup(os.path.join(bench_dir, "peers", "orv_units_peer_coldstart"),
                                 args.startup_runs)
    for name in ("main_entered", "first_conversion", "everything_built"):
        if name in ours_start:
            ours[name] = ours_start[name][0] * 1e6
        if name in peer_start:
            peer[name] = peer_start[name][0] * 1e6
    # First parses of an expression, in fresh processes, reported in microseconds.
    for name in ("first_parse_acceleration", "first_parse_torque"):
        if name in ours_start:
            ours[name] = ours_start[name][0] * 1e3
        if name in peer_start:
            peer[name] = peer_start[name][0] * 1e3
    # Start-up split into loading the program and its libraries, and the work after main.
    for side in (ours, peer):
        if "main_entered" in side and "first_conversion" in side:
            side["after_main"] = side["first_conversion"] - side["main_entered"]

    header = ("operation", "ours", "peer", "ratio", "target", "met")
    lines = []
    all_met = True
    for label, ours_name, peer_name, count, target, note in ROWS:
        mine = ours.get(ours_name)
        theirs = peer.get(peer_name)
        if count and mine is not None:
            mine /= count
        if count and theirs is not None:
            theirs /= count
        ratio = mine / theirs if mine is not None and theirs else None
        target_text = "<= %gx" % target
        met = ratio is not None and ratio <= target
        if note == "plain":
            plain = ours.get("vector_plain_double/%d" % count)
            if plain is not None and mine is not None:
                plain /= count
                target_text += ", <= 1.15x plain (%.3f)" % plain
                met = met and mine <= 1.15 * plain
        if note == "startup":
            label += " (%d units, peer: its default database)" % ours_start.get(
                "units", (0, ""))[0]
        all_met = all_met and met
        lines.append((label, show_time(mine, bool(count)), show_time(theirs, bool(count)),
                      "%.3f" % ratio if ratio is not None else "-", target_text,
                      "yes" if met else "NO"))
    for label, name, count in INFO:
        mine = ours.get(name)
        theirs = peer.get(name)
        if count and mine is not None:
            mine /= count
        if count and theirs is not None:
            theirs /= count
        ratio = mine / theirs if mine is not None and theirs else None
        lines.append((label, show_time(mine, bool(count)), show_time(theirs, bool(count)),
                      "%.3f" % ratio if ratio is not None else "-", "", ""))
    for label, name, target in ABSOLUTE:
        mine = ours.get(name)
        met = mine is not None and mine <= target
        all_met = all_met and met
        lines.append((label, show_time(mine, False), "-", "-", "<= %s" % show_time(target, False),
                      "yes" if met else "NO"))
    for label, name in (("parse \"9.81 m/s^2\" the first time (fresh process)",
                         "first_parse_acceleration"),
                        ("parse \"12.5 kN*m\" the first time (fresh process)",
                         "first_parse_torque"),
                        ("start-up: process start to main", "main_entered"),
                        ("start-up: main to first conversion", "after_main")):
        mine = ours.get(name)
        theirs = peer.get(name)
        ratio = mine / theirs if mine is not None and theirs else None
        lines.append((label, show_time(mine, False), show_time(theirs, False),
                      "%.3f" % ratio if ratio is not None else "-", "", ""))
    everything = ours.get("everything_built")
    lines.append(("start-up to everything built", show_time(everything, False), "-", "-", "", ""))
    for field, label in (("vm_rss", "resident size, whole catalogue built (VmRSS)"),
                         ("vm_hwm", "peak resident size (VmHWM)")):
        mine = ours_start.get(field)
        theirs = peer_start.get(field)
        lines.append((label, "%d kB" % mine[0] if mine else "-",
                      "%d kB" % theirs[0] if theirs else "-",
                      "%.3f" % (mine[0] / theirs[0]) if mine and theirs else "-", "", ""))

    for label, mine, theirs, ratio, target in run_python_rows(args.build_dir, args.rounds,
                                                              args.filter):
        met = target is None or ratio <= target
        all_met = all_met and met
        verdict = ("yes" if met else "NO") if target else ""
        lines.append((label, show_time(mine, False), show_time(theirs, False), "%.3f" % ratio,
                      "<= %gx" % target if target else "", verdict))

    widths = [max(len(row[i]) for row in [header] + lines) for i in range(len(header))]
    def show(row):
        return "| " + " | ".join(cell.ljust(widths[i]) for i, cell in enumerate(row)) + " |"
    print(show(header))
    print("|" + "|".join("-" * (width + 2) for width in widths) + "|")
    for row in lines:
        print(show(row))
    print("\nall targets met" if all_met else "\nsome targets are not met")
    return 0


if __name__ == "__main__":
    sys.exit(main())
