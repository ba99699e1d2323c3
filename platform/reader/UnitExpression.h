// The text of a unit expression, read over the units of a catalogue. The grammar:
//
//   expression := term                      at most 256 bytes, no blank or control character
//   term       := first { operator factor } left to right: a/b*c is (a/b)*c
//   first      := factor | "1" before "/"   1/s
//   operator   := "*" | "." | "·" | "⋅"     products (U+00B7, U+22C5)
//              |  "/"                       quotient of what precedes by the next factor
//   factor     := primary [ power ]
//   primary    := atom | "(" term ")"
//   power      := "^" ["-"] digits          m^2, s^-1
//              |  superscripts              m², s⁻¹ (⁰ to ⁹, after an optional ⁻)
//   atom       := symbol                    a catalogue symbol or alias, which always wins
//              |  prefix symbol             an SI prefix on a unit that takes prefixes: km, µs
//              |  atom ["-"] digits         a trailing exponent, where atom+digits is not itself
//                                           a catalogue symbol: m2, s-2 (then no other power)
//
// Every exponent is an integer from -12 to 12 other than 0, and so is the sum of the exponents
// of any one atom. A "-" between units is not a product: N-m is a unit only if the catalogue
// lists it. Which atoms may stand inside a product, a quotient or a power (a unit with an offset
// such as degC may not) is the resolver's to decide.
#pragma once

#include "RecordSet.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// The longest text read as an expression, in bytes.
inline constexpr std::size_t kMaxExpressionBytes = 256;
/// The largest magnitude of an exponent.
inline constexpr int kMaxExponent = 12;

/// An SI prefix: its symbol, its name and its power of ten.
struct Prefix {
    const char* symbol;
    const char* name;
    int power;
};

/// The SI prefixes, "da" before "d" so that the longer symbol is tried first; micro is written
/// "u", "µ" (U+00B5) or "μ" (U+03BC).
const std::vector<Prefix>& Prefixes();

/// One unit of an expression raised to its exponent.
struct ExpressionFactor {
    const UnitSpec* unit = nullptr;
    int prefix = -1; ///< index into Prefixes(), or -1
    int exponent = 1;
    std::size_t at = 0; ///< byte offset of the atom in the text
};

/// An expression as written: its factors in order, with the signs of quotients in their
/// exponents. `bare` is set when the text is one atom alone, without prefix, operator or power,
/// though perhaps in parentheses; `compound` when it has an operator or a power.
struct ParsedExpression {
    std::vector<ExpressionFactor> factors;
    bool bare = false;
    bool compound = false;
};

/// Why a text is not an expression: where, at a byte offset, and what is wrong; `unknown` holds
/// an unknown atom's text, for suggestions.
struct ExpressionFault {
    std::size_t at = 0;
    std::string reason;
    std::string unknown;
};

/// Reads `text` over the units of `records`, as if the catalogue lacked the unit `excluded` (when
/// not null). Returns false and sets `fault` when it is not an expression of the grammar above.
bool ParseUnitExpression(std::string_view text, const RecordSet& records, ParsedExpression& parsed,
                         ExpressionFault& fault, const UnitSpec* excluded = nullptr);

/// The prefixed reading of `text`, a prefix followed by a unit that takes prefixes: the unit's
/// record and the prefix's index; null when there is none.
const UnitSpec* ReadPrefixed(std::string_view text, const RecordSet& records, int& prefix);

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
