#!/usr/bin/env python3
"""Fails, naming the file and line, when a file includes a header it must not depend on.

Every C++ file belongs to a target by its folder (OWNERS), and so does every header it includes:
a <units/...> header by its folder under include/, a quoted one by the folder it is found in. A file
may include
- the public headers (include/units/) of its own target and of the targets its target depends
  on (DEPENDENCIES);
- a private header (anything outside include/) only from the folders that may see it
  (PRIVATE_SCOPES): the core's internal headers, for instance, only from src/;
- within the core, public or private, only headers of its own layer or of a lower one (LAYERS).

Usage: CheckIncludes.py ROOT            checks the repository at ROOT
       CheckIncludes.py ROOT --planted  checks that violations planted in ROOT's files are caught
"""

import os
import posixpath
import re
import sys

# The target owning each folder; the longest matching prefix wins.
OWNERS = {
    "include/units/interfaces/": "interfaces",
    "include/units/converter/": "converter",
    "include/units/reader/": "reader",
    "include/units/service/": "service",
    "include/units/xml/": "xml",
    "include/units/": "core",
    "src/": "core",
    "platform/converter/": "converter",
    "platform/reader/": "reader",
    "platform/service/": "service",
    "platform/xml/": "xml",
    "platform/": "platform",  # helpers shared by the platform libraries, private to platform/
    "tools/orvunits/": "tool",
    "examples/": "examples",
    "python/": "python",
    "bench/": "bench",
    "tests/": "tests",
}

LIBRARIES = {
    "interfaces": set(),
    "service": {"interfaces"},
    "converter": {"interfaces"},
    "xml": {"interfaces"},
    "reader": {"interfaces", "converter"},
    "core": {"interfaces", "service", "converter", "xml"},
}
# Programs over the libraries may use every public header.
DEPENDENCIES = dict(LIBRARIES, platform=set(),
                    **{program: set(LIBRARIES)
                       for program in ("tool", "examples", "python", "bench", "tests")})

# Who may include the private headers of a folder; the longest matching prefix wins.
PRIVATE_SCOPES = {
    "src/": ["src/"],
    # The converter's tests check its rounding helper directly.
    "platform/converter/": ["platform/converter/", "tests/converter/"],
    "platform/reader/": ["platform/reader/"],
    "platform/service/": ["platform/service/"],
    "platform/xml/": ["platform/xml/"],
    "platform/": ["platform/"],
    # The tool's commands are a library that its tests, fuzz target and stream bench call.
    "tools/orvunits/": ["tools/orvunits/", "tests/tools/", "tests/fuzz/", "bench/"],
    "examples/": ["examples/"],
    "python/": ["python/"],
    "bench/": ["bench/"],
    "tests/": ["tests/"],
}

# Folders that quoted includes are looked up in after the including file's own folder: the
# private include directories of the targets.
INCLUDE_ROOTS = ["src", "platform/converter", "platform/reader", "platform/xml",
                 "tools/orvunits", "tests/testing", "tests/catalogue-data", "bench"]

# The core's layers from the bottom up: src/<layer>/ and the public headers below. Quantities and
# the export stand side by side, so neither includes the other.
LAYER_RANKS = {"frame": 0, "catalogue": 1, "systems": 2, "conversion": 3, "quantities": 4,
               "export": 4, "warmup": 5}
PUBLIC_LAYERS = {
    "UnitException.h": "frame", "LibProperties.h": "frame", "UnitsExport.h": "frame",
    "Dimension.h": "catalogue", "Unit.h": "catalogue", "Measurement.h": "catalogue",
    "Symbol.h": "catalogue",
    "UnitSystem.h": "systems", "UnitSystemArray.h": "systems", "LocalUnitSystem.h": "systems",
    "UnitService.h": "systems",
    "UnitConverter.h": "conversion",
    "UCDouble.h": "quantities",
    "XmlUnitWriter.h": "export",
    "WarmUp.h": "warmup",
}

SCANNED = ("include", "src", "platform", "tools", "examples", "python", "bench", "tests")
SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".cxx")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

# Violations that --planted adds to the repository's files; each must be reported, alone.
PLANTED = {
    "src/catalogue/Planted.cpp": "#include <units/UnitService.h>\n",
    "src/frame/Planted.cpp": '#include "conversion/EngineComposition.h"\n',
    "platform/service/Planted.cpp": "#include <units/Unit.h>\n",
    "include/units/interfaces/Planted.h": "#include <units/converter/Engines.h>\n",
    "tools/orvunits/Planted.cpp": '#include "catalogue/CacheMaps.h"\n',
    "platform/reader/Planted.cpp": '#include "../../src/frame/RegisteredReader.h"\n',
    "src/quantities/Planted.cpp": "#include <units/XmlUnitWriter.h>\n",
}


def longest_prefix(table, path):
    matches = [prefix for prefix in table if path.startswith(prefix)]
    return table[max(matches, key=len)] if matches else None


def read_files(root):
    files = {}
    for top in SCANNED:
        for folder, subfolders, names in os.walk(os.path.join(root, top)):
            subfolders[:] = [s for s in subfolders if not s.startswith((".", "build"))]
            for name in names:
                if name.endswith(SUFFIXES):
                    path = os.path.join(folder, name)
                    with open(path, encoding="utf-8", errors="replace") as f:
                        files[posixpath.relpath(path.replace(os.sep, "/"), root)] = f.read()
    return files


def layer_of(path):
    """The core layer of a core file or header, or None outside the core."""
    if path.startswith("src/"):
        return path.split("/")[1]
    if path.startswith("include/units/") and path.count("/") == 2:
        return PUBLIC_LAYERS.get(path.split("/")[2], "unlisted")
    return None


def resolve(files, root, includer, kind, name):
    """The repository path of an included header, or None for a header from outside."""
    if kind == "<":
        return "include/" + name if name.startswith("units/") else None
    for base in [posixpath.dirname(includer)] + INCLUDE_ROOTS:
        candidate = posixpath.normpath(posixpath.join(base, name))
        if candidate in files or os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return "?"


def problem(files, root, includer, kind, name):
    header = resolve(files, root, includer, kind, name)
    if header is None:
        return None
    if header == "?":
        return "cannot find the included header"
    owner = longest_prefix(OWNERS, includer)
    if header.startswith("include/"):
        target = longest_prefix(OWNERS, header)
        if target != owner and target not in DEPENDENCIES[owner]:
            return f"{owner} must not depend on {target}"
    else:
        scope = longest_prefix(PRIVATE_SCOPES, header) or []
        if not any(includer.startswith(folder) for folder in scope):
            return f"{header} is private to {', '.join(scope) or 'nobody'}"
    mine, theirs = layer_of(includer), layer_of(header)
    if mine is None or theirs is None:
        return None
    for layer, path in ((mine, includer), (theirs, header)):
        if layer not in LAYER_RANKS:
            return f"{path} is in no layer of the core (see LAYER_RANKS and PUBLIC_LAYERS)"
    if theirs != mine and LAYER_RANKS[theirs] >= LAYER_RANKS[mine]:
        return f"the core's {mine} layer must not use its {theirs} layer"
    return None


def check(files, root):
    found = []
    for path in sorted(files):
        if longest_prefix(OWNERS, path) is None:
            continue
        for number, line in enumerate(files[path].splitlines(), 1):
            match = INCLUDE.match(line)
            if match:
                reason = problem(files, root, path, match.group(1), match.group(2))
                if reason:
                    found.append((path, number, f"includes {match.group(2)}: {reason}"))
    return found


def stale_tables(files):
    """Entries of the tables above that no file matches: a renamed folder would check nothing."""
    stale = [prefix for prefix in OWNERS
             if prefix != "python/" and not any(path.startswith(prefix) for path in files)]
    stale += ["src/" + layer + "/" for layer in LAYER_RANKS
              if not any(path.startswith("src/" + layer + "/") for path in files)]
    stale += ["include/units/" + header for header in PUBLIC_LAYERS
              if header != "UnitsExport.h" and "include/units/" + header not in files]
    return stale


def main():
    root = sys.argv[1]
    files = read_files(root)
    stale = stale_tables(files)
    for entry in stale:
        print(f"CheckIncludes.py: no file matches {entry}; update the tables", file=sys.stderr)
    if "--planted" in sys.argv[2:]:
        files.update(PLANTED)
        reported = {path for path, _, _ in check(files, root)}
        for path in sorted(set(PLANTED) - reported):
            print(f"{path}: the planted violation was not reported", file=sys.stderr)
        for path in sorted(reported - set(PLANTED)):
            print(f"{path}: reported although nothing was planted there", file=sys.stderr)
        return 1 if stale or reported != set(PLANTED) else 0
    violations = check(files, root)
    for path, number, message in violations:
        print(f"{path}:{number}: {message}", file=sys.stderr)
    print(f"{len(files)} files checked, {len(violations)} forbidden includes")
    return 1 if stale or violations else 0


if __name__ == "__main__":
    sys.exit(main())
