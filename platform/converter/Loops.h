// The per-element loops behind the vector forms of the engines.
#pragma once

#include <cstddef>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

/// Replaces every `values[i]` with `map(values[i])`. `map` must be a small inlinable function
/// with no call or branch, so that the loop turns into vector instructions; the fixed-size blocks
/// let the compiler do so even at -O2, where it will not vectorise a loop of unknown length.
template <typename T, typename Map>
void MapInPlace(T* values, std::size_t count, Map map) {
    constexpr std::size_t block = 16;
    std::size_t i = 0;
    for (; i + block <= count; i += block) {
        T* chunk = values + i;
        for (std::size_t j = 0; j < block; ++j) {
            chunk[j] = map(chunk[j]);
        }
    }
    for (; i < count; ++i) {
        values[i] = map(values[i]);
    }
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
