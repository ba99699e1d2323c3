// Exact values for checking the library's rounding, worked out here with Boost's rationals: a
// result is right when no other double or float lies nearer the exact value.
#pragma once

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

/// The exact value of a finite double or float; an infinity stands for the power of two just
/// beyond the largest finite value, where rounding meets it.
template <typename T>
Rational ValueOf(T x) {
    constexpr int kDigits = std::numeric_limits<T>::digits;
    if (std::isinf(x)) {
        return (x < 0 ? -1 : 1) * Power(2, std::numeric_limits<T>::max_exponent);
    }
    int exponent = 0;
    const T fraction = std::frexp(x, &exponent); // x = fraction * 2^exponent, |fraction| < 1
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, kDigits));
    return Rational(mantissa) * Power(2, exponent - kDigits);
}

/// A plain decimal such as "-0.0254", the only form a catalogue file writes, as an exact rational.
inline Rational Decimal(const std::string& text) {
    Integer digits = 0;
    int places = 0;
    bool fraction = false;
    for (const char c : text) {
        if (c == '.') {
            fraction = true;
        } else if (c != '-') {
            digits = digits * 10 + (c - '0');
            places += fraction ? 1 : 0;
        }
    }
    const Rational value = Rational(digits) * Power(10, -places);
    return text[0] == '-' ? -value : value;
}

/// True when `x` is the double (or float) nearest `exact`, ties going to the even one.
template <typename T>
bool IsNearest(T x, const Rational& exact) {
    if (std::isnan(x)) {
        return false;
    }
    const T infinity = std::numeric_limits<T>::infinity();
    const Rational distance = abs(ValueOf(x) - exact);
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
        const Rational other = abs(ValueOf(neighbour) - exact);
        if (other < distance || (other == distance && !even)) {
            return false;
        }
    }
    return true;
}

} // namespace Reference
