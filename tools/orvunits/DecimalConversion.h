// Conversion of numbers as the decimals that were typed: "0.1" is one tenth, not the double
// nearest it, and its result is the double nearest the exact conversion of one tenth. The
// arithmetic is the converter library's; what is here reads and writes the texts.
#pragma once

#include "Output.h"

#include <units/converter/ExactEngines.h>
#include <units/interfaces/ConverterEngine.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Orv::UnitsTool {

/// A number read from its text, and the decimal typed to about 106 bits.
using TypedNumber = Orv::Pim::Core::Service::Units::Converter::TypedDecimal;

/// A result that is a short decimal, whose digits are written as they are.
using ShortResult = Orv::Pim::Core::Service::Units::Converter::ShortDecimal;

/// Reads the whole of `token` as ReadNumber does, and the decimal typed as TypedNumber keeps it.
e_NumberRead ReadTyped(std::string_view token, TypedNumber& number);

/// Writes `significand * 10^exponent` (not 0, at most 15 digits, no trailing zero, below 2^53 in
/// magnitude) as WriteNumber writes its double: fixed or scientific, whichever is shorter.
char* WriteShortest(char* out, std::int64_t significand, int exponent);

/// Converts decimal texts through an engine. Where the engine has an exact definition, each
/// result is the correctly rounded double of the exact conversion of the typed decimal; where it
/// has none (an engine of a host), converting the double read is all that can be done.
class DecimalConverter {
public:
    /// Converts through `engine`, which must outlive it; `digits` is 0 for the shortest output
    /// that reads back to the result, else the significant digits written, from 1 to 15.
    DecimalConverter(Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine& engine,
                     int digits);

    /// Sets each of `count` results to the conversion of the number read from its token, and
    /// with `shorts` each short decimal result (ShortDecimal). Infinities and NaN convert as the
    /// engine converts them.
    void Convert(const std::string_view* tokens, const TypedNumber* numbers, double* results,
                 std::size_t count, ShortResult* shorts = nullptr) const {
        m_decimals.Convert(tokens, numbers, results, count, shorts);
    }
    /// Writes `result`, the conversion of `token`, at `first` (room for e_MaxNumberLength chars):
    /// the shortest text, or `digits` significant digits rounded once from the exact value; the
    /// shortest text straight from `exact` when Convert gave it.
    char* Write(char* first, std::string_view token, double result,
                const ShortResult& exact = {}) const;

private:
    Orv::Pim::Core::Service::Units::Converter::DecimalConverter m_decimals;
    int m_digits;
};

} // namespace Orv::UnitsTool
