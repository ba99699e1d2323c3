"""Exact arithmetic for unit definitions.

A unit's definition is base = (A + B*x) / (C + D*x) with A, B, C and D written as exact
decimals. Factors such as 0.3048 (foot) or 4.4482216152605 (pound-force) are terminating
decimals, but their ratios often are not (psi = lbf / in^2). `Exact` keeps a value as a
numerator and a denominator that are both terminating decimals, so that a ratio can be written
as B and C without rounding.
"""

from fractions import Fraction

# Pi to 30 significant digits: angles are the only definitions that cannot be exact decimals.
PI = "3.14159265358979323846264338328"


def is_terminating(value):
    """True when the fraction has a finite decimal expansion."""
    d = value.denominator
    for p in (2, 5):
        while d % p == 0:
            d //= p
    return d == 1


def decimal_text(value):
    """The exact decimal text of a terminating fraction, without exponent or trailing zeros."""
    value = Fraction(value)
    if not is_terminating(value):
        raise ValueError(f"{value} has no finite decimal expansion")
    sign = "-" if value < 0 else ""
    value = abs(value)
    digits = 0
    while (value * 10**digits).denominator != 1:
        digits += 1
    scaled = (value * 10**digits).numerator
    if digits == 0:
        return sign + str(scaled)
    text = str(scaled).rjust(digits + 1, "0")
    whole, frac = text[:-digits], text[-digits:].rstrip("0")
    return sign + whole + ("." + frac if frac else "")


class Exact:
    """num / den, each a terminating decimal."""

    def __init__(self, num, den=1):
        self.num = Fraction(num) if not isinstance(num, Exact) else num.value()
        self.den = Fraction(den)
        if not (is_terminating(self.num) and is_terminating(self.den)):
            raise ValueError("Exact parts must be terminating decimals")

    @staticmethod
    def of(x):
        return x if isinstance(x, Exact) else Exact(Fraction(str(x)))

    def value(self):
        return self.num / self.den

    def __mul__(self, other):
        other = Exact.of(other)
        return Exact(self.num * other.num, self.den * other.den)

    __rmul__ = __mul__

    def __truediv__(self, other):
        other = Exact.of(other)
        return Exact(self.num * other.den, self.den * other.num)

    def __rtruediv__(self, other):
        return Exact.of(other) / self

    def __pow__(self, n):
        return Exact(self.num**n, self.den**n)

    def parts(self):
        """(B, C) texts: the value itself when it terminates, else numerator and denominator."""
        v = self.value()
        if is_terminating(v):
            return decimal_text(v), None
        return decimal_text(self.num), decimal_text(self.den)


def E(text, den=1):
    """An exact value from decimal text, optionally over a decimal denominator."""
    return Exact(Fraction(str(text)), Fraction(str(den)))
