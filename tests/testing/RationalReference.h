// Exact values for checking rounding, worked out with Boost's rationals: a result is right when no
// other double or float lies nearer the exact value.
#pragma once

#include <algorithm>
#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace Reference {

using Rational = boost::multiprecision::cpp_rational;
using Integer = boost::multiprecision::cpp_int;

/// base^exponent.
inline Rational Power(int base, int exponent) {
    const Integer power = pow(Integer(base), static_cast<unsigned>(std::abs(exponent)));
    return exponent >= 0 ? Rational(power) : Rational(Integer(1), power);
}

/// A decimal such as "-0.0254", "+2.25" or "7.2e-12" as an exact rational.
inline Rational Decimal(const std::string& text) {
    Integer digits = 0;
    int exponent = 0;
    bool fraction = false;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            fraction = true;
        } else if (text[i] != '-' && text[i] != '+') {
            digits = digits * 10 + (text[i] - '0');
            exponent -= fraction ? 1 : 0;
        }
    }
    if (i < text.size()) {
        exponent += std::stoi(text.substr(i + 1));
    }
    const Rational value = Rational(digits) * Power(10, exponent);
    return text[0] == '-' ? -value : value;
}

/// n / d with d > 0, not brought to lowest terms: cheap to work out, and to compare.
struct Fraction {
    Integer n;
    Integer d;
};

/// mantissa * 2^exponent.
struct Dyadic {
    Integer mantissa;
    int exponent;
};

/// The exact value of a finite double or float as a Dyadic; an infinity stands for the power of
/// two just beyond the largest finite value, where rounding meets it.
template <typename T>
Dyadic DyadicOf(T x) {
    constexpr int kDigits = std::numeric_limits<T>::digits;
    if (std::isinf(x)) {
        return {x < 0 ? -1 : 1, std::numeric_limits<T>::max_exponent};
    }
    int exponent = 0;
    const T fraction = std::frexp(x, &exponent);
    return {static_cast<std::int64_t>(std::ldexp(fraction, kDigits)), exponent - kDigits};
}

/// The exact value of a double or float; infinities as with DyadicOf.
template <typename T>
Rational ValueOf(T x) {
    const Dyadic value = DyadicOf(x);
    return Rational(value.mantissa) * Power(2, value.exponent);
}

/// -1, 0 or 1 as `f` is below, at or above `v`.
inline int Compare(const Fraction& f, const Dyadic& v) {
    Integer left = f.n;
    Integer right = v.mantissa * f.d;
    if (v.exponent >= 0) {
        right <<= static_cast<unsigned>(v.exponent);
    } else {
        left <<= static_cast<unsigned>(-v.exponent);
    }
    return left < right ? -1 : left > right ? 1 : 0;
}

/// True when `x` is the double (or float) nearest `exact`, ties going to the even one: `exact`
/// lies between the midpoints from `x` to its neighbours.
template <typename T>
bool IsNearest(T x, const Fraction& exact) {
    if (std::isnan(x)) {
        return false;
    }
    const T infinity = std::numeric_limits<T>::infinity();
    const Dyadic here = DyadicOf(x);
    bool even = std::isinf(x);
    if (!even) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &x, sizeof x);
        even = (bits & 1) == 0;
    }
    for (const T neighbour : {std::nextafter(x, -infinity), std::nextafter(x, infinity)}) {
        if (neighbour == x) {
            continue; // an infinity has no neighbour beyond it
        }
        const Dyadic there = DyadicOf(neighbour);
        const int exponent = std::min(here.exponent, there.exponent);
        const Dyadic midpoint{
            (here.mantissa << static_cast<unsigned>(here.exponent - exponent)) +
                (there.mantissa << static_cast<unsigned>(there.exponent - exponent)),
            exponent - 1};
        const int side = Compare(exact, midpoint) * (neighbour < x ? 1 : -1);
        if (side < 0 || (side == 0 && !even)) {
            return false;
        }
    }
    return true;
}

template <typename T>
bool IsNearest(T x, const Rational& exact) {
    return IsNearest(x, Fraction{numerator(exact), denominator(exact)});
}

/// The double (or float) nearest `exact`: an estimate from the leading bits, then the steps to it.
template <typename T>
T NearestTo(const Rational& exact) {
    if (exact == 0) {
        return T(0);
    }
    const Integer n = abs(numerator(exact));
    const Integer d = denominator(exact);
    const auto top = [](const Integer& value, long& dropped) {
        dropped = std::max(0L, static_cast<long>(msb(value)) - 62);
        return static_cast<double>(static_cast<std::uint64_t>(value >> dropped));
    };
    long nDropped = 0;
    long dDropped = 0;
    const double quotient = top(n, nDropped) / top(d, dDropped);
    const long exponent = std::clamp(nDropped - dDropped, -2000L, 2000L);
    T x = static_cast<T>(std::ldexp(quotient, static_cast<int>(exponent)) * (exact < 0 ? -1 : 1));
    const T towards = exact < ValueOf(x) ? -std::numeric_limits<T>::infinity()
                                         : std::numeric_limits<T>::infinity();
    while (!IsNearest(x, exact)) {
        x = std::nextafter(x, towards);
    }
    return x;
}

} // namespace Reference
