// What our benchmarks and the peer's share, so that both measure the same work under the same
// names: the symbols looked up, the values converted and the sizes of the vectors.
#pragma once

#include <algorithm>
#include <cstddef>
#include <unistd.h>
#include <vector>

namespace OrvBench {

/// Symbols known to both catalogues; look-up benchmarks cycle through them.
inline const char* const kSymbols[] = {"m",  "ft", "in", "Pa", "psi", "K", "s",
                                       "kg", "J",  "W",  "N",  "Hz",  "A", "V"};
inline constexpr std::size_t kSymbolCount = sizeof kSymbols / sizeof kSymbols[0];

/// Quantities whose units are expressions, parsed by both sides: the text and the unit part.
inline constexpr const char* kAcceleration = "9.81 m/s^2";
inline constexpr const char* kTorque = "12.5 kN*m";
/// The value that the formatting benchmarks write: 5400 s in hours, a unit that both libraries
/// write by its symbol.
inline constexpr double kSecondsToFormat = 5400.0;
inline const char* const kFormatSymbol = "h";

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

/// Buffers of kInCache values, together twice the size of the last-level cache, taken in turn:
/// each buffer has left every cache by the time it comes round again. Each round converts the
/// buffers the other way, so the values stay put.
template <typename T>
class ColdBuffers {
public:
    ColdBuffers() {
        long cache = sysconf(_SC_LEVEL3_CACHE_SIZE);
        if (cache <= 0) {
            cache = 32L << 20;
        }
        const std::size_t bytes = sizeof(T) * static_cast<std::size_t>(kInCache);
        const std::size_t count =
            std::max<std::size_t>(2 * static_cast<std::size_t>(cache) / bytes, 2);
        m_buffers.assign(count, MakeValues<T>(static_cast<std::size_t>(kInCache)));
    }
    /// The next buffer, and in `forward` the way this round converts it.
    std::vector<T>& Next(bool& forward) {
        forward = m_round % 2 == 0;
        std::vector<T>& buffer = m_buffers[m_next];
        if (++m_next == m_buffers.size()) {
            m_next = 0;
            ++m_round;
        }
        return buffer;
    }
    /// The total of values converted in `iterations` calls of Next.
    static long Values(long iterations) { return iterations * kInCache; }

private:
    std::vector<std::vector<T>> m_buffers;
    std::size_t m_next = 0;
    std::size_t m_round = 0;
};

} // namespace OrvBench
