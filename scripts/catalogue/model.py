"""The catalogue being built and its XML form.

A `Catalogue` holds dimensions (each with its measurements, units and aliases) and unit systems.
The builders check what a reader would reject (duplicate symbols and names, mappings to units of
another dimension, offered units that do not exist) so that a mistake stops the script instead of
reaching the file.
"""

from fractions import Fraction
from xml.sax.saxutils import quoteattr

from .exact import Exact, decimal_text

PREFIXES = [
    ("E", "exa", 18), ("P", "peta", 15), ("T", "tera", 12), ("G", "giga", 9), ("M", "mega", 6),
    ("k", "kilo", 3), ("h", "hecto", 2), ("da", "deca", 1), ("d", "deci", -1), ("c", "centi", -2),
    ("m", "milli", -3), ("u", "micro", -6), ("n", "nano", -9), ("p", "pico", -12),
    ("f", "femto", -15),
]
PREFIX = {symbol: (name, Fraction(10) ** power) for symbol, name, power in PREFIXES}

BINARY_PREFIXES = {"Ki": ("kibi", 2**10), "Mi": ("mebi", 2**20), "Gi": ("gibi", 2**30),
                   "Ti": ("tebi", 2**40), "Pi": ("pebi", 2**50), "Ei": ("exbi", 2**60)}

SYSTEMS = ["Metric", "SI", "Imperial", "US Customary"]


def cxx_default_format(value):
    """A double as a default std::ostream writes it: %g with 6 significant digits."""
    text = "%g" % value
    return "0" if text == "-0" else text


class Unit:
    def __init__(self, dimension, symbol, desc, A=None, B=None, C=None, D=None):
        self.dimension = dimension
        self.symbol = symbol
        self.desc = desc
        self.A, self.B, self.C, self.D = A, B, C, D
        self.aliases = []  # (symbol, desc)

    def coefficients(self):
        return tuple(Fraction(v) if v is not None else Fraction(d)
                     for v, d in ((self.A, 0), (self.B, 1), (self.C, 1), (self.D, 0)))

    def is_linear(self):
        return self.coefficients()[3] == 0

    def scale_and_offset(self):
        """Base unit into this unit, as the export writes it: x = scale * base + offset."""
        a, b, c, _ = self.coefficients()
        return c / b, -a / b


class Measurement:
    def __init__(self, dimension, name, units, mapping):
        self.dimension = dimension
        self.name = name
        self.units = units
        self.mapping = mapping  # system name -> unit symbol


class Dimension:
    def __init__(self, catalogue, name, base, base_desc, aliases=(), signature=None,
                 preferred=False):
        self.catalogue = catalogue
        self.name = name
        self.base = base
        # Exponents over base quantities ("L M T-2"), by which unit expressions find their
        # dimension; `preferred` picks this dimension among those sharing its signature.
        self.signature = signature
        self.preferred = preferred
        self.units = []
        self.measurements = []
        self.prefixable = set()  # symbols that SI prefixes may stand before in expressions
        self.unit(base, base_desc, 1, aliases=aliases)

    # Units -------------------------------------------------------------------------------------

    def unit(self, symbol, desc, factor, aliases=()):
        """A linear unit: one `symbol` is `factor` base units (an Exact, a number or text)."""
        b, c = Exact.of(factor).parts()
        return self._add(Unit(self, symbol, desc, B=b, C=c), aliases)

    def unit_abcd(self, symbol, desc, A="0", B="1", C="1", D="0", aliases=()):
        """A unit with an explicit definition base = (A + B*x) / (C + D*x)."""
        coefficients = [None if v == default else decimal_text(Fraction(v))
                        for v, default in ((A, "0"), (B, "1"), (C, "1"), (D, "0"))]
        if coefficients[1] is None:
            coefficients[1] = "1"  # every unit states at least B, so it always has a definition
        return self._add(Unit(self, symbol, desc, *coefficients), aliases)

    def prefixed(self, symbol, desc, factor, prefixes, power=1, pattern="{p}{s}",
                 desc_pattern="{p}{d}"):
        """Prefixed forms of a unit: `prefixes` is a blank-separated list of SI prefix symbols.
        `power` raises the prefixed unit (km2 is the square of km); `pattern` places the prefix
        and the unit symbol in the new symbol."""
        for p in prefixes.split():
            name, scale = PREFIX[p]
            unit_symbol = pattern.format(p=p, s=symbol)
            unit_desc = desc_pattern.format(p=name, d=desc)
            self.unit(unit_symbol, unit_desc, Exact(scale**power) * Exact.of(factor))

    def binary_prefixed(self, symbol, desc, factor, prefixes):
        for p in prefixes.split():
            name, scale = BINARY_PREFIXES[p]
            self.unit(p + symbol, name + desc, Exact(scale) * Exact.of(factor))

    def alias(self, of, symbol, desc):
        unit = self.find(of)
        self.catalogue.claim_symbol(symbol, self)
        unit.aliases.append((symbol, desc))

    def takes_prefixes(self, *symbols):
        """Lets SI prefixes stand before these units or aliases in unit expressions."""
        own = {u.symbol for u in self.units} | {a for u in self.units for a, _ in u.aliases}
        for symbol in symbols:
            if symbol not in own:
                raise KeyError(f"{symbol} is not a symbol of {self.name}")
            self.prefixable.add(symbol)

    def _add(self, unit, aliases):
        self.catalogue.claim_symbol(unit.symbol, self)
        self.units.append(unit)
        for a in aliases:
            symbol, desc = a if isinstance(a, tuple) else (a, unit.desc)
            self.catalogue.claim_symbol(symbol, self)
            unit.aliases.append((symbol, desc))
        return unit

    def find(self, symbol):
        for u in self.units:
            if u.symbol == symbol:
                return u
        raise KeyError(f"{symbol} is not a unit of {self.name}")

    # Measurements ------------------------------------------------------------------------------

    def measurement(self, name, units, metric=None, si=None, imperial=None, us=None):
        """A measurement offering `units` (blank-separated standard-form symbols). The mapping
        of each unit system defaults along SI -> Metric -> Imperial -> US Customary, SI
        defaulting to the base unit."""
        symbols = units.split()
        si = si or self.base
        metric = metric or si
        imperial = imperial or metric
        us = us or imperial
        mapping = {"Metric": metric, "SI": si, "Imperial": imperial, "US Customary": us}
        own = {u.symbol for u in self.units}
        for s in symbols:
            if s not in own:
                self.catalogue.errors.append(
                    f"measurement {name}: {s} is not a standard unit of {self.name}")
        for system, s in mapping.items():
            if s not in symbols:
                self.catalogue.errors.append(
                    f"measurement {name}: {system} maps to {s}, which it does not offer")
        self.catalogue.claim_measurement(name)
        m = Measurement(self, name, symbols, mapping)
        self.measurements.append(m)
        return m


class Catalogue:
    def __init__(self):
        self.dimensions = []
        self.symbols = {}
        self.measurement_names = set()
        self.errors = []

    def dimension(self, name, base, base_desc, aliases=(), signature=None, preferred=False):
        if any(d.name == name for d in self.dimensions):
            raise KeyError(f"duplicate dimension {name}")
        d = Dimension(self, name, base, base_desc, aliases, signature, preferred)
        self.dimensions.append(d)
        return d

    def claim_symbol(self, symbol, dimension):
        if not symbol or any(ch.isspace() for ch in symbol):
            raise ValueError(f"bad symbol {symbol!r}")
        if symbol in self.symbols:
            raise KeyError(f"duplicate symbol {symbol} ({dimension.name} and "
                           f"{self.symbols[symbol].name})")
        self.symbols[symbol] = dimension

    def claim_measurement(self, name):
        if name in self.measurement_names:
            raise KeyError(f"duplicate measurement {name}")
        self.measurement_names.add(name)

    def check(self):
        for d in self.dimensions:
            if not any(m.name == d.name for m in d.measurements):
                self.errors.append(f"dimension {d.name} has no measurement of its own name")
            if d.signature is None:
                self.errors.append(f"dimension {d.name} has no signature")
        if self.errors:
            raise ValueError("\n".join(self.errors))

    def counts(self):
        units = sum(len(d.units) for d in self.dimensions)
        aliases = sum(len(u.aliases) for d in self.dimensions for u in d.units)
        measurements = sum(len(d.measurements) for d in self.dimensions)
        return len(self.dimensions), measurements, units, aliases

    # XML ---------------------------------------------------------------------------------------

    def to_xml(self, header):
        out = ['<?xml version="1.0" encoding="UTF-8"?>']
        out.append("<!--")
        out.extend("  " + line if line else "" for line in header.strip("\n").split("\n"))
        out.append("-->")
        out.append("<UnitCatalog>")
        for d in self.dimensions:
            extras = f" signature={quoteattr(d.signature)}" if d.signature is not None else ""
            extras += ' preferred="true"' if d.preferred else ""
            out.append(f"  <Dimension name={quoteattr(d.name)} baseUnit={quoteattr(d.base)}"
                       f"{extras}>")
            for m in d.measurements:
                out.append(f"    <Measurement name={quoteattr(m.name)} "
                           f"units={quoteattr(' '.join(m.units))}/>")
            for u in d.units:
                attributes = [("name", u.symbol), ("desc", u.desc)]
                if u.is_linear():
                    scale, offset = u.scale_and_offset()
                    attributes += [("scale", cxx_default_format(float(scale))),
                                   ("offset", cxx_default_format(float(offset)))]
                attributes += [(k, v) for k, v in (("A", u.A), ("B", u.B), ("C", u.C), ("D", u.D))
                               if v is not None]
                if u.symbol in d.prefixable:
                    attributes.append(("prefixes", "true"))
                text = " ".join(f"{k}={quoteattr(v)}" for k, v in attributes)
                if u.aliases:
                    out.append(f"    <Unit {text}>")
                    for symbol, desc in u.aliases:
                        prefixes = ' prefixes="true"' if symbol in d.prefixable else ""
                        out.append(f"      <Alias name={quoteattr(symbol)} desc={quoteattr(desc)}"
                                   f"{prefixes}/>")
                    out.append("    </Unit>")
                else:
                    out.append(f"    <Unit {text}/>")
            out.append("  </Dimension>")
        for system in SYSTEMS:
            out.append(f"  <UnitSystem name={quoteattr(system)}>")
            for d in self.dimensions:
                for m in d.measurements:
                    out.append(f"    <UnitMapping measurement={quoteattr(m.name)} "
                               f"unit={quoteattr(m.mapping[system])}/>")
            out.append("  </UnitSystem>")
        out.append("</UnitCatalog>")
        return "\n".join(out) + "\n"

