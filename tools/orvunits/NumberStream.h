// Conversion of a stream of numbers, block by block, for files of millions of values.
#pragma once

#include "Session.h"

#include <cmath>
#include <cstddef>
#include <iosfwd>

namespace Orv::Pim::Core::Service::Units {
class UnitConverter;
}

namespace Orv::UnitsTool {

/// The result of converting `value`, the sign of a zero kept (an offset of 0 would make -0 +0).
/// When a finite value gives infinity or NaN, throws what `error` makes of "overflows the range
/// of double" or "leaves the domain of the conversion".
template <typename MakeError>
double ConvertedValue(double value, double result, MakeError error) {
    if (result == 0.0 && value == 0.0) {
        return std::copysign(0.0, value);
    }
    if (std::isfinite(value) && !std::isfinite(result)) {
        throw error(std::isnan(result) ? "leaves the domain of the conversion"
                                       : "overflows the range of double");
    }
    return result;
}

/// `converter.Convert(value)`, checked as ConvertedValue does.
template <typename Converter, typename MakeError>
double ConvertValue(const Converter& converter, double value, MakeError error) {
    return ConvertedValue(value, converter.Convert(value), error);
}

/// Reads numbers separated by white space from `in`, converts them a block at a time through the
/// vector form of `converter`, and writes each in the shortest form that reads back to the same
/// double. Plain output keeps the input's layout: the white space between numbers is copied as it
/// is. JSON output is one array. Returns the count of numbers. Throws InputError naming a bad
/// token, or a value whose result ConvertedValue refuses, with its line and column; what was
/// converted before it has been written, and a JSON array closed.
std::size_t ConvertNumberStream(std::istream& in, std::ostream& out,
                                const Orv::Pim::Core::Service::Units::UnitConverter& converter,
                                bool json);

} // namespace Orv::UnitsTool
