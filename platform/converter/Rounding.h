// The double nearest a quotient of two integers, worked out in floating point where that is sure
// to give the right answer, so that the exact big-integer division is needed only near a tie.
#pragma once

#include "Integer.h"

#include <cstdint>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

#if ORV_CONVERTER_HAVE_INT128
/// Magnitudes below this bound (2^126) are what QuickNearestDouble accepts.
inline constexpr Integer::Native kQuickLimit = Integer::Native{1} << 126;

/// Sets `nearest` to the double nearest `numerator / denominator` (ties to even) and returns
/// true, or returns false when the quotient lies too close to the midpoint between two doubles to
/// tell which is nearer without exact arithmetic. Both magnitudes are below kQuickLimit and the
/// denominator is not 0.
///
/// Operands below 2^53 are doubles exactly, and one IEEE division rounds their quotient
/// correctly. Larger ones are split into a sum of two doubles each, and the quotient is worked
/// out as such a sum to within 2^-96 of its size (the arithmetic is good to about 2^-102), which
/// decides the rounding unless the quotient is that close to a midpoint.
inline bool QuickNearestDouble(Integer::Native numerator, Integer::Native denominator,
                               double& nearest);

/// QuickNearestDouble for operands that are not both below 2^53.
bool QuickNearestDoubleOfLarge(Integer::Native numerator, Integer::Native denominator,
                               double& nearest);

inline bool QuickNearestDouble(Integer::Native numerator, Integer::Native denominator,
                               double& nearest) {
    constexpr Integer::Native kExact = Integer::Native{1} << 53;
    if (numerator > -kExact && numerator < kExact && denominator > -kExact &&
        denominator < kExact) {
        // Both are doubles exactly, and one division rounds their quotient correctly. A zero
        // quotient is +0 whatever the signs, as the exact rational 0 is.
        nearest = numerator == 0 ? 0.0
                  : denominator == 1
                      ? static_cast<double>(static_cast<std::int64_t>(numerator))
                      : static_cast<double>(static_cast<std::int64_t>(numerator)) /
                            static_cast<double>(static_cast<std::int64_t>(denominator));
        return true;
    }
    return QuickNearestDoubleOfLarge(numerator, denominator, nearest);
}
#endif

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
