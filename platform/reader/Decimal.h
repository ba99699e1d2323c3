// Exact decimal numbers as a catalogue writes them ("0.3048", "-459.67", "1e-09"), enough to
// tell whether a unit's definition is invertible without rounding.
#pragma once

#include <optional>
#include <string>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// A decimal number: (negative ? -1 : 1) * digits * 10^exponent, with `digits` free of leading
/// zeros and of trailing zeros (folded into the exponent); zero has empty `digits`.
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;

    bool IsZero() const { return digits.empty(); }
};

/// The longest mantissa and the largest exponent magnitude a coefficient may have. Longer texts
/// are refused rather than multiplied, so a hostile catalogue cannot make the check slow.
constexpr std::size_t kMaxDecimalDigits = 1000;
constexpr long kMaxDecimalExponent = 1000;

/// Parses an optional sign, digits with an optional point, and an optional exponent; no blanks.
/// Empty when `text` is not such a number or is beyond the limits above.
std::optional<Decimal> ParseDecimal(const std::string& text);

/// The exact product of two decimals.
Decimal Multiply(const Decimal& left, const Decimal& right);

/// True when both stand for the same number.
bool operator==(const Decimal& left, const Decimal& right);
inline bool operator!=(const Decimal& left, const Decimal& right) {
    return !(left == right);
}

/// `text` with its sign flipped ("1.5" gives "-1.5", "-2" gives "2", "+3" gives "-3").
std::string NegatedText(const std::string& text);

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
