// Conversion of a stream of numbers, block by block, for files of millions of values.
#pragma once

#include "DecimalConversion.h"
#include "Session.h"

#include <cmath>
#include <cstddef>
#include <iosfwd>

namespace Orv::UnitsTool {

/// What is wrong with `result` as the conversion of `value`: "overflows the range of double" or
/// "leaves the domain of the conversion" when a finite value gives infinity or NaN; else null.
inline const char* ConversionProblem(double value, double result) {
    if (!std::isfinite(value) || std::isfinite(result)) {
        return nullptr;
    }
    return std::isnan(result) ? "leaves the domain of the conversion"
                              : "overflows the range of double";
}

/// The result of converting `value`, the sign of a zero kept (an offset of 0 would make -0 +0).
/// Throws what `error` makes of a ConversionProblem.
template <typename MakeError>
double ConvertedValue(double value, double result, MakeError error) {
    if (result == 0.0 && value == 0.0) {
        return std::copysign(0.0, value);
    }
    if (const char* problem = ConversionProblem(value, result)) {
        throw error(problem);
    }
    return result;
}

/// Reads numbers separated by white space from `in`, converts them a block at a time with
/// `converter`, and writes each as it writes them. Plain output keeps the input's layout: the
/// white space between numbers is copied as it is. JSON output is one array. Input of more than
/// one block is converted on `threads` threads (0: one per core, at most 8), blocks written in
/// order, the output the same as on one. Returns the count of numbers. Throws InputError naming a
/// bad token, or a value whose result ConvertedValue refuses, with its line and column; what was
/// converted before it has been written, and a JSON array closed.
std::size_t ConvertNumberStream(std::istream& in, std::ostream& out,
                                const DecimalConverter& converter, bool json, unsigned threads = 0);

} // namespace Orv::UnitsTool
