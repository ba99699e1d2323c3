#!/usr/bin/env python3
"""Runs our benchmarks and the peer's side by side and prints one table.

Every figure is taken round by round, ours and the peer's one right after the other (who goes
first alternates), so that both see the same machine load; a ratio is the median of the per-round
ratios, shown with its spread (the lowest and highest per-round ratio). Each benchmark runs in a
process of its own. Start-up is measured in fresh processes, one child of ours and one of the
peer's per round. The table ends with the Python package beside Pint (bench/python_bench.py, run
by the interpreter the package was built for), when the bench build has the package. Usage:

    bench/compare.py [--build-dir build/bench] [--rounds 7] [--startup-rounds 21]
                     [--min-time 0.2] [--filter REGEX] [--stream-count 10000000]
"""

import argparse
import json
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# Side-by-side rows: operation, our benchmark, the peer's, values per iteration (None: time per
# call), the highest ratio allowed.
PEER_ROWS = [
    ("vector linear convert, 1e4 doubles in cache", "vector_linear_double/10000",
     "vector_linear_double/10000", 10000, 0.5),
    ("vector offset convert, 1e4 doubles in cache", "vector_offset_double/10000",
     "vector_offset_double/10000", 10000, 0.5),
    ("vector convert, 1e7 doubles", "vector_linear_double/10000000",
     "vector_linear_double/10000000", 10000000, 1.0),
    ("vector convert, 1e4-double buffers beyond the last-level cache", "vector_linear_double_cold",
     "vector_linear_double_cold", 10000, 1.0),
    ("make a converter, convert one value, destroy it", "convert_static", "convert_static",
     None, 1.0),
    ("look a unit up by symbol, catalogue warmed up", "lookup_symbol", "lookup_symbol", None, 0.2),
    ("parse \"12.5 ft\" (peer: symbol look-up)", "parse_quantity", "parse_quantity", None, 0.25),
    ("format 5400 s as \"1.5 h\"", "format_quantity", "format_quantity", None, 0.2),
    ("parse \"9.81 m/s^2\" (peer: its parser)", "parse_expression_acceleration",
     "parse_expression_acceleration", None, 0.5),
    ("parse \"12.5 kN*m\" (peer: its parser)", "parse_expression_torque",
     "parse_expression_torque", None, 0.5),
]

# Rows that hold one of our figures against another of ours: operation, the benchmark measured,
# the one it is held against, values per iteration, the highest ratio allowed and its wording.
SELF_ROWS = [
    ("vector convert, 1e7 doubles, against a plain -O3 loop", "vector_linear_double/10000000",
     "vector_plain_double/10000000", 10000000, 1.15),
    ("vector convert, cold buffers, against a plain -O3 loop", "vector_linear_double_cold",
     "vector_plain_double_cold", 10000, 1.15),
    ("random look-up, ten times the catalogue against the default one",
     "lookup_random_ten_times", "lookup_random", None, 1.3),
]

# Our operations with a target of their own, in nanoseconds: operation, benchmark, target.
ABSOLUTE = [
    ("resolve a new unit expression of five units", "resolve_expression", 5000.0),
]

# Our rows shown for information: operation, benchmark, values per iteration.
INFO = [
    ("vector linear convert, 1e3 doubles", "vector_linear_double/1000", 1000),
    ("vector offset convert, 1e7 doubles", "vector_offset_double/10000000", 10000000),
    ("vector non-linear convert, 1e4 doubles", "vector_nonlinear_double/10000", 10000),
    ("vector linear convert, 1e4 floats", "vector_linear_float/10000", 10000),
    ("vector linear convert, 1e7 floats", "vector_linear_float/10000000", 10000000),
    ("converter construction and destruction", "converter_construct", None),
    ("ConvertToBase", "convert_to_base", None),
    ("random look-up, default catalogue", "lookup_random", None),
    ("random look-up, ten times the catalogue", "lookup_random_ten_times", None),
    ("look a measurement up by name", "lookup_measurement", None),
    ("GetAllUnits() after load", "list_units", None),
    ("GetAllMeasurements() after load", "list_measurements", None),
]

STARTUP_TARGET = 0.5   # ours against the peer's, process start to the first conversion
FILE_TARGET_MS = 8.0   # the default catalogue read from a file and converted once, after main
MEMORY_TARGET = 1.0    # resident size with the whole catalogue built, against the peer's
STREAM_RATE = 10e6     # numbers per second that orvunits convert keeps up on a stream


def run_benchmark(program, name, min_time):
    """The time of one iteration of the benchmark `name`, in ns, or None when it did not run."""
    command = [program, "--benchmark_format=json", "--benchmark_min_time=%s" % min_time,
               "--benchmark_filter=^%s$" % re.escape(name)]
    output = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("run_type", "iteration") != "iteration" or entry.get("error_occurred"):
            continue
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
        return entry["cpu_time"] * scale
    return None


def run_startup(program, catalogue=None):
    """The figures of one fresh child: times in ms, sizes in kB."""
    command = [program, "--runs", "1"] + (["--catalogue", catalogue] if catalogue else [])
    output = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    scale = {"us": 1e-3}
    return {name: float(value) * scale.get(unit, 1.0) for name, value, unit in
            (line.split() for line in output.splitlines())}


def run_stream(tool, numbers):
    """Seconds that orvunits takes to convert the file `numbers` from ft to m."""
    command = [tool, "convert", "--from", "ft", "--to", "m"]
    with open(numbers, "rb") as source:
        start = time.perf_counter()
        subprocess.run(command, check=True, stdin=source, stdout=subprocess.DEVNULL)
        return time.perf_counter() - start


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
    script = os.path.join(HERE, "python_bench.py")
    # The bench build keeps the libraries in lib/, where the module's own run path does not look.
    environment = dict(os.environ)
    environment["LD_LIBRARY_PATH"] = os.pathsep.join(
        filter(None, [os.path.join(build_dir, "lib"), environment.get("LD_LIBRARY_PATH")]))
    run = subprocess.run([interpreter, script, "--build-dir", build_dir, "--rounds", str(rounds),
                          "--filter", bench_filter, "--json"], capture_output=True, text=True,
                         env=environment)
    if run.returncode != 0:
        print("note: bench/python_bench.py failed; its rows are left out:\n" + run.stderr,
              file=sys.stderr)
        return []
    output = run.stdout
    return [("Python beside Pint: %s" % row["label"], row["ours"], row["pint"], row["ratio"],
             row["target"]) for row in json.loads(output).values()]


class Samples:
    """Per-round figures under a key, and per-round ratios of two keys."""

    def __init__(self):
        self.values = {}

    def add(self, key, value):
        if value is not None:
            self.values.setdefault(key, []).append(value)

    def median(self, key):
        samples = self.values.get(key)
        return statistics.median(samples) if samples else None

    def ratios(self, key, against):
        return paired(self, key, self, against)


def paired(mine, key, theirs, against):
    """The per-round ratios of `key` in `mine` to `against` in `theirs`."""
    return [a / b for a, b in zip(mine.values.get(key, []), theirs.values.get(against, [])) if b]


def show_time(nanoseconds, count):
    if nanoseconds is None:
        return "-"
    if count:
        return "%.3f ns/value" % (nanoseconds / count)
    if nanoseconds >= 1e6:
        return "%.2f ms" % (nanoseconds / 1e6)
    if nanoseconds >= 1e4:
        return "%.1f us" % (nanoseconds / 1e3)
    return "%.1f ns" % nanoseconds


def show_ratio(ratios):
    if not ratios:
        return "-", "-"
    return "%.3f" % statistics.median(ratios), "%.3f-%.3f" % (min(ratios), max(ratios))


def write_numbers(path, count):
    """A file of `count` numbers as people write them: a few per line, various magnitudes."""
    generator = random.Random(18)
    with open(path, "w") as out:
        line = []
        for i in range(count):
            line.append("%.6g" % (generator.uniform(-1e4, 1e4) * 10 ** generator.randint(-3, 3)))
            if len(line) == 8 or i + 1 == count:
                out.write(" ".join(line) + "\n")
                line = []


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", default=os.path.join(HERE, "..", "build", "bench"))
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--startup-rounds", type=int, default=21)
    parser.add_argument("--min-time", default="0.2")
    parser.add_argument("--filter", default="", help="only the benchmarks whose name matches")
    parser.add_argument("--stream-count", type=int, default=10000000)
    args = parser.parse_args()

    # The bench preset lays the build out as an installation: programs in bin/, libraries in lib/.
    bin_dir = os.path.join(args.build_dir, "bin")
    ours_program = os.path.join(bin_dir, "orv_units_bench")
    peer_program = os.path.join(bin_dir, "orv_units_peer_bench")
    ours_start = os.path.join(bin_dir, "orv_units_coldstart")
    peer_start = os.path.join(bin_dir, "orv_units_peer_coldstart")
    tool = os.path.join(bin_dir, "orvunits")
    catalogue_file = os.path.join(HERE, "..", "data", "DefaultCatalogue.xml")
    have_peer = os.path.exists(peer_program)
    if not have_peer:
        print("note: the peer program is not built (UDUNITS-2 missing); ratios are left out",
              file=sys.stderr)
    selected = re.compile(args.filter)
    everything = not args.filter

    ours_names = sorted({row[1] for row in PEER_ROWS} | {row[1] for row in SELF_ROWS} |
                        {row[2] for row in SELF_ROWS} | {row[1] for row in ABSOLUTE} |
                        {row[1] for row in INFO})
    ours_names = [name for name in ours_names if selected.search(name)]
    peer_names = sorted({row[2] for row in PEER_ROWS if selected.search(row[2])}) \
        if have_peer else []

    load_before = os.getloadavg()
    ours, peer = Samples(), Samples()
    for round_index in range(args.rounds):
        print("round %d of %d" % (round_index + 1, args.rounds), file=sys.stderr)
        for name in sorted(set(ours_names) | set(peer_names)):
            sides = [(ours, ours_program, name in ours_names),
                     (peer, peer_program, name in peer_names)]
            if round_index % 2:
                sides.reverse()
            for samples, program, wanted in sides:
                if wanted:
                    samples.add(name, run_benchmark(program, name, args.min_time))

    if everything:
        for round_index in range(args.startup_rounds):
            children = [(ours, ours_start, None, ""), (ours, ours_start, catalogue_file, "file_")]
            if have_peer:
                children.append((peer, peer_start, None, ""))
            if round_index % 2:
                children.reverse()
            for samples, program, catalogue, prefix in children:
                figures = run_startup(program, catalogue)
                for name, value in figures.items():
                    samples.add(prefix + name, value)
                if "first_conversion" in figures and "main_entered" in figures:
                    samples.add(prefix + "after_main",
                                figures["first_conversion"] - figures["main_entered"])
        with tempfile.TemporaryDirectory() as folder:
            numbers = os.path.join(folder, "numbers.txt")
            write_numbers(numbers, args.stream_count)
            for round_index in range(args.rounds):
                ours.add("stream", run_stream(tool, numbers))

    header = ("operation", "ours", "peer", "ratio", "spread", "target", "met")
    lines = []
    all_met = True

    def add(label, mine, theirs, ratios, target_text, met):
        nonlocal all_met
        median, spread = show_ratio(ratios)
        if target_text:
            all_met = all_met and met
        lines.append((label, mine, theirs, median, spread, target_text,
                      ("yes" if met else "NO") if target_text else ""))

    for label, ours_name, peer_name, count, target in PEER_ROWS:
        if ours.median(ours_name) is None:
            continue
        ratios = paired(ours, ours_name, peer, peer_name)
        met = bool(ratios) and statistics.median(ratios) <= target
        add(label, show_time(ours.median(ours_name), count),
            show_time(peer.median(peer_name), count), ratios, "<= %gx peer" % target, met)
    for label, name, against, count, target in SELF_ROWS:
        if ours.median(name) is None or ours.median(against) is None:
            continue
        ratios = ours.ratios(name, against)
        met = bool(ratios) and statistics.median(ratios) <= target
        add(label, show_time(ours.median(name), count), show_time(ours.median(against), count),
            ratios, "<= %gx (right: ours)" % target, met)

    if everything:
        ratios = paired(ours, "first_conversion", peer, "first_conversion")
        add("start-up: process start to the first conversion",
            show_time(ours.median("first_conversion") * 1e6, None),
            show_time((peer.median("first_conversion") or 0) * 1e6 or None, None), ratios,
            "<= %gx peer" % STARTUP_TARGET,
            bool(ratios) and statistics.median(ratios) <= STARTUP_TARGET)
        file_ms = ours.median("file_after_main")
        add("default catalogue as a file: read it and convert once, after main",
            show_time(file_ms * 1e6, None), "-", [], "<= %g ms" % FILE_TARGET_MS,
            file_ms <= FILE_TARGET_MS)
        ratios = paired(ours, "vm_rss", peer, "vm_rss")
        add("resident size, whole catalogue built (peer: its database read)",
            "%d kB" % ours.median("vm_rss"),
            "%d kB" % peer.median("vm_rss") if peer.median("vm_rss") else "-", ratios,
            "<= %gx peer" % MEMORY_TARGET,
            bool(ratios) and statistics.median(ratios) <= MEMORY_TARGET)
        seconds = ours.median("stream")
        add("orvunits convert, %d numbers on standard input, numbers per second" %
            args.stream_count, "%.1f M/s" % (args.stream_count / seconds / 1e6), "-", [],
            ">= %g M/s" % (STREAM_RATE / 1e6), args.stream_count / seconds >= STREAM_RATE)

    for label, name, target in ABSOLUTE:
        mine = ours.median(name)
        if mine is not None:
            add(label, show_time(mine, None), "-", [], "<= %s" % show_time(target, None),
                mine <= target)

    for label, name, count in INFO:
        if ours.median(name) is not None:
            add(label, show_time(ours.median(name), count), "-", [], "", False)
    if everything:
        # First parses of an expression, in fresh processes.
        for label, name in (("parse \"9.81 m/s^2\" the first time (fresh process)",
                             "first_parse_acceleration"),
                            ("parse \"12.5 kN*m\" the first time (fresh process)",
                             "first_parse_torque")):
            ratios = paired(ours, name, peer, name)
            theirs = peer.median(name)
            if ours.median(name) is not None:
                add(label, show_time(ours.median(name) * 1e6, None),
                    show_time(theirs * 1e6, None) if theirs else "-", ratios, "", False)
        for label, name in (("start-up: process start to main", "main_entered"),
                            ("start-up: main to the first conversion", "after_main"),
                            ("start-up: process start to everything built", "everything_built")):
            ratios = paired(ours, name, peer, name)
            theirs = peer.median(name)
            add(label, show_time(ours.median(name) * 1e6, None),
                show_time(theirs * 1e6, None) if theirs else "-", ratios, "", False)
        ratios = paired(ours, "vm_hwm", peer, "vm_hwm")
        add("peak resident size (VmHWM)", "%d kB" % ours.median("vm_hwm"),
            "%d kB" % peer.median("vm_hwm") if peer.median("vm_hwm") else "-", ratios, "", False)

    for label, mine, theirs, ratio, target in run_python_rows(args.build_dir, args.rounds,
                                                              args.filter):
        met = target is None or ratio <= target
        add(label, show_time(mine, None), show_time(theirs, None), [ratio],
            "<= %gx" % target if target else "", met)

    widths = [max(len(row[i]) for row in [header] + lines) for i in range(len(header))]

    def show(row):
        return "| " + " | ".join(cell.ljust(widths[i]) for i, cell in enumerate(row)) + " |"
    print(show(header))
    print("|" + "|".join("-" * (width + 2) for width in widths) + "|")
    for row in lines:
        print(show(row))
    print("\nrounds: %d, start-up rounds: %d; load average (1, 5, 15 min) before: %s, after: %s"
          % (args.rounds, args.startup_rounds, "%.2f %.2f %.2f" % load_before,
             "%.2f %.2f %.2f" % os.getloadavg()))
    print("\nall targets met" if all_met else "\nsome targets are not met")
    return 0


if __name__ == "__main__":
    sys.exit(main())
