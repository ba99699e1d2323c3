// Conversion of a stream of numbers, block by block, for files of millions of values.
#pragma once

#include <cstddef>
#include <iosfwd>

namespace Orv::Pim::Core::Service::Units {
class UnitConverter;
}

namespace Orv::UnitsTool {

/// Reads numbers separated by white space from `in`, converts them a block at a time through the
/// vector form of `converter`, and writes each in the shortest form that reads back to the same
/// double. Plain output keeps the input's layout: the white space between numbers is copied as it
/// is. JSON output is one array. Returns the count of numbers. Throws InputError naming a bad
/// token with its line and column; what was converted before it has been written.
std::size_t ConvertNumberStream(std::istream& in, std::ostream& out,
                                const Orv::Pim::Core::Service::Units::UnitConverter& converter,
                                bool json);

} // namespace Orv::UnitsTool
