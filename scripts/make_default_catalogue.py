#!/usr/bin/env python3
"""Writes data/DefaultCatalogue.xml, the default unit catalogue.

The XML file is committed and is what the build embeds and the tests read; this script is how
it is written. Change the definitions in scripts/catalogue/ and run the script again (it needs
only the Python standard library): the output is deterministic, so a rerun without changes
gives the same file byte for byte.

Usage: scripts/make_default_catalogue.py [output path]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from catalogue import electromagnetic, mechanics, process, space_time, thermal  # noqa: E402
from catalogue.model import Catalogue  # noqa: E402

HEADER = """
The default unit catalogue of Orv Units.

Each Dimension names its base unit; every Unit converts a value x in the unit into the base
unit by the exact definition  base = (A + B*x) / (C + D*x),  with A, B, C and D exact decimals
(defaults 0, 1, 1, 0). Linear units carry only B, or B and C when the factor is an exact ratio
without a finite decimal (psi is 4.4482216152605 N over 0.00064516 m2); offset units such as
degC, degF and psig carry A; reciprocal and non-linear units (API gravity, mpg) carry D.
The factors are the exact ones of the SI Brochure and NIST SP 811. Units defined through pi
(degree, rpm, oersted) use pi to 30 significant digits.

scale and offset repeat each linear definition as the catalogue export writes it (the base unit
into the unit, 6 significant digits); A, B, C and D win over them.

An Alias is another symbol for its parent Unit. Each Measurement lists the units offered for it,
and each UnitSystem gives every measurement a unit.

Written by scripts/make_default_catalogue.py; the schema is data/UnitCatalog.xsd.
"""


def build():
    cat = Catalogue()
    for module in (space_time, mechanics, thermal, electromagnetic, process):
        module.add(cat)
    cat.check()
    return cat


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data",
                                                               "DefaultCatalogue.xml")
    cat = build()
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(cat.to_xml(HEADER))
    dimensions, measurements, units, aliases = cat.counts()
    print(f"{path}: {dimensions} dimensions, {measurements} measurements, {units} units, "
          f"{aliases} aliases ({units + aliases} symbols)")


if __name__ == "__main__":
    main()
