// What our benchmarks and the peer's share, so that both measure the same work under the same
// names: the symbols looked up, the values converted and the sizes of the vectors.
#pragma once

#include <cstddef>
#include <vector>

namespace OrvBench {

/// Symbols known to both catalogues; look-up benchmarks cycle through them.
inline const char* const kSymbols[] = {"m",  "ft", "in", "Pa", "psi", "K", "s",
                                       "kg", "J",  "W",  "N",  "Hz",  "A", "V"};
inline constexpr std::size_t kSymbolCount = sizeof kSymbols / sizeof kSymbols[0];

/// Quantities whose units are expressions, parsed by both sides: the text and the unit part.
inline constexpr const char* kAcceleration = "9.81 m/s^2";
inline constexpr const char* kTorque = "12.5 kN*m";

/// Vector sizes: in the first-level cache, in the second, and far beyond every cache.
inline constexpr long kSmall = 1000;
inline constexpr long kInCache = 10000;
inline constexpr long kLarge = 10000000;

/// `count` values spread over ordinary magnitudes, the same on every run.
template <typename T>
std::vector<T> MakeValues(std::size_t count) {
    std::vector<T> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = static_cast<T>(-40.0 + static_cast<double>((i * 7919) % 10007) * 0.125);
    }
    return values;
}

} // namespace OrvBench
