// Conversion of numbers as the decimals that were typed: "0.1" is one tenth, not the double
// nearest it, and its result is the double nearest the exact conversion of one tenth.
#pragma once

#include "Output.h"

#include <units/interfaces/ConverterEngine.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Orv::UnitsTool {

/// A number read from its text, and the decimal typed to about 106 bits.
struct TypedNumber {
    double value; ///< the double nearest the decimal
    double high;  ///< the decimal is high + low when `kind` is e_Inexact
    double low;
    enum Kind : unsigned char {
        e_Exact,   ///< the decimal is `value`
        e_Inexact, ///< the decimal is high + low, which `value` is not
        e_Other,   ///< too many digits or too large a power of ten, or no decimal (inf, nan)
    } kind;
};

/// Reads the whole of `token` as ReadNumber does, and the decimal typed as TypedNumber keeps it.
e_NumberRead ReadTyped(std::string_view token, TypedNumber& number);

/// Converts decimal texts through an engine. Where the engine has an exact definition, each
/// result is the correctly rounded double of the exact conversion of the typed decimal; where it
/// has none (an engine of a host), converting the double read is all that can be done.
class DecimalConverter {
public:
    /// Converts through `engine`, which must outlive it; `digits` is 0 for the shortest output
    /// that reads back to the result, else the significant digits written, from 1 to 15.
    DecimalConverter(Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine& engine,
                     int digits);

    /// Sets each of `count` results to the conversion of the number read from its token.
    /// Infinities and NaN convert as the engine converts them.
    void Convert(const std::string_view* tokens, const TypedNumber* numbers, double* results,
                 std::size_t count) const;
    /// Writes `result`, the conversion of `token`, at `first` (room for e_MaxNumberLength chars):
    /// the shortest text, or `digits` significant digits rounded once from the exact value.
    char* Write(char* first, std::string_view token, double result) const;

private:
    // The conversion of a token whose decimal is high + low, no double, to about 106 bits: the
    // rounded sum when it is sure to be correctly rounded, else the exact conversion.
    double ConvertInexact(std::string_view token, double high, double low, double converted) const;
    // The exact conversion of the token's decimal; `converted`, the engine's conversion of the
    // double read, when the engine or the token has no exact form.
    double ConvertExactly(std::string_view token, double converted) const;

    Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine& m_engine;
    int m_digits;
    bool m_bExact = false;         // the engine has an exact definition
    bool m_bQuick = false;         // its coefficients are small enough for the quick evaluation
    bool m_bLinear = false;        // and its map is scale * x + offset
    double m_coefficients[8] = {}; // scale, offset (linear) or A, B, C, D, as high and low parts
};

} // namespace Orv::UnitsTool
