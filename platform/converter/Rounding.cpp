#include "Rounding.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

#if ORV_CONVERTER_HAVE_INT128

namespace {

using Native = Integer::Native;
using NativeUnsigned = Integer::NativeUnsigned;

// The exact product a * b as hi + lo (Dekker's product: no fused multiply-add is needed, so it
// is exact on every processor), for magnitudes far from overflow and underflow.
void ExactProduct(double a, double b, double& hi, double& lo) {
    constexpr double kSplitter = 134217729.0; // 2^27 + 1
    const double ta = kSplitter * a;
    const double aHigh = ta - (ta - a);
    const double aLow = a - aHigh;
    const double tb = kSplitter * b;
    const double bHigh = tb - (tb - b);
    const double bLow = b - bHigh;
    hi = a * b;
    lo = ((aHigh * bHigh - hi) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
}

// An integer below 2^126 as hi + lo: hi is its nearest double, and lo the nearest double to the
// rest, which is within 2^-106 of the rest's size.
void Split(NativeUnsigned value, double& hi, double& lo) {
    hi = static_cast<double>(value);
    lo = static_cast<double>(static_cast<Native>(value) - static_cast<Native>(hi));
}

// Half the distance from the positive normal double x to its nearer neighbour: below a power of
// two the neighbour is twice as close.
double HalfGap(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const std::uint64_t exponent = bits >> 52; // biased; x is normal, far from the extremes
    const bool powerOfTwo = (bits & ((std::uint64_t{1} << 52) - 1)) == 0;
    // ulp(x) = 2^(exponent - 1075); half of it, or a quarter at a power of two.
    const std::uint64_t gapBits = (exponent - 52 - (powerOfTwo ? 2 : 1)) << 52;
    double gap = 0.0;
    std::memcpy(&gap, &gapBits, sizeof gap);
    return gap;
}

} // namespace

bool QuickNearestDoubleOfLarge(Native numerator, Native denominator, double& nearest) {
    const bool negative = (numerator < 0) != (denominator < 0);
    const NativeUnsigned n = static_cast<NativeUnsigned>(numerator < 0 ? -numerator : numerator);
    const NativeUnsigned d =
        static_cast<NativeUnsigned>(denominator < 0 ? -denominator : denominator);
    double nHigh = 0.0;
    double nLow = 0.0;
    double dHigh = 0.0;
    double dLow = 0.0;
    Split(n, nHigh, nLow);
    Split(d, dHigh, dLow);
    // First quotient, then the remainder n - q1 * d, divided again. nHigh - pHigh is exact
    // because pHigh is within a few units in the last place of nHigh.
    const double q1 = nHigh / dHigh;
    double pHigh = 0.0;
    double pLow = 0.0;
    ExactProduct(q1, dHigh, pHigh, pLow);
    const double remainder = (((nHigh - pHigh) - pLow) + nLow) - q1 * dLow;
    const double q2 = remainder / dHigh;
    // q1 + q2 as its nearest double and the exact rest.
    const double high = q1 + q2;
    const double low = q2 - (high - q1);
    // The quotient lies within `error` of high + low. `high` is its nearest double when even
    // the farthest such point stays short of the midpoint to a neighbour.
    const double error = high * 0x1p-96;
    if (std::fabs(low) + error >= HalfGap(high)) {
        return false;
    }
    nearest = negative ? -high : high;
    return true;
}

#endif

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
