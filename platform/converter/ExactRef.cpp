// Exact definitions as the linear engines keep them: small ones in place, others shared.
#include "ExactMap.h"
#include "Rounding.h"

#include <optional>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

constexpr int kSmallBits = 62; // magnitudes below 2^62: products of two and their sums fit 126 bits

bool FitsSmall(const Integer& value) {
    return value.BitLength() <= static_cast<std::size_t>(kSmallBits);
}

std::int64_t ToSmall(const Integer& value) {
    const auto magnitude = static_cast<std::int64_t>(value.LowBits());
    return value.Sign() < 0 ? -magnitude : magnitude;
}

ExactRef Small(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    ExactRef ref;
    ref.kind = ExactRef::e_Small;
    ref.small[0] = a;
    ref.small[1] = b;
    ref.small[2] = c;
    ref.small[3] = d;
    return ref;
}

ExactRef Big(ExactMap map) {
    ExactRef ref;
    ref.kind = ExactRef::e_Big;
    ref.big = std::make_shared<const ExactMap>(std::move(map));
    return ref;
}

#if ORV_CONVERTER_HAVE_INT128
using Native = Integer::Native;
using NativeUnsigned = Integer::NativeUnsigned;

constexpr Native kSmallLimit = Native{1} << kSmallBits;

bool FitsSmall(Native value) {
    return value > -kSmallLimit && value < kSmallLimit;
}

NativeUnsigned Magnitude(Native value) {
    return static_cast<NativeUnsigned>(value < 0 ? -value : value);
}

// Binary greatest common divisor; 0 when both are 0.
NativeUnsigned Gcd(NativeUnsigned a, NativeUnsigned b) {
    if (a == 0) {
        return b;
    }
    if (b == 0) {
        return a;
    }
    int shift = 0;
    while (((a | b) & 1) == 0) {
        a >>= 1;
        b >>= 1;
        ++shift;
    }
    while ((a & 1) == 0) {
        a >>= 1;
    }
    while (b != 0) {
        while ((b & 1) == 0) {
            b >>= 1;
        }
        if (a > b) {
            const NativeUnsigned t = a;
            a = b;
            b = t;
        }
        b -= a;
    }
    return a << shift;
}

// The double nearest numerator / denominator, both below 2^126 in magnitude.
double Nearest(Native numerator, Native denominator) {
    double nearest = 0.0;
    if (QuickNearestDouble(numerator, denominator, nearest)) {
        return nearest;
    }
    return NearestDouble(Integer::OfNative(numerator), Integer::OfNative(denominator));
}
#endif

} // namespace

double NearestOfLarge(std::int64_t numerator, std::int64_t denominator) {
#if ORV_CONVERTER_HAVE_INT128
    double nearest = 0.0;
    if (QuickNearestDoubleOfLarge(numerator, denominator, nearest)) {
        return nearest;
    }
#endif
    return NearestDouble(Integer(numerator), Integer(denominator));
}

ExactRef RefOf(const ExactMap& map) {
    if (FitsSmall(map.A()) && FitsSmall(map.B()) && FitsSmall(map.C()) && FitsSmall(map.D())) {
        return Small(ToSmall(map.A()), ToSmall(map.B()), ToSmall(map.C()), ToSmall(map.D()));
    }
    return Big(map);
}

ExactMap MapOf(const ExactRef& ref) {
    if (ref.kind == ExactRef::e_Big) {
        return *ref.big;
    }
    return ExactMap::FromIntegers(Integer(ref.small[0]), Integer(ref.small[1]),
                                  Integer(ref.small[2]), Integer(ref.small[3]));
}

void InvertBig(const ExactRef& ref, ExactRef& inverse) {
    inverse = RefOf(ref.big->Inverse());
}

void RoundBig(const ExactRef& ref, double& scale, double& offset) {
    scale = ref.big->Scale();
    offset = ref.big->Offset();
}

ExactRef ComposeLinear(const ExactRef& first, const ExactRef& second, double& scale,
                       double& offset) {
#if ORV_CONVERTER_HAVE_INT128
    if (first.kind == ExactRef::e_Small && second.kind == ExactRef::e_Small) {

        const Native a1 = first.small[0];
        const Native b1 = first.small[1];
        const Native c1 = first.small[2];
        const Native d1 = first.small[3];
        const Native a2 = second.small[0];
        const Native b2 = second.small[1];
        const Native c2 = second.small[2];
        const Native d2 = second.small[3];
        // The product of the two maps' matrices, as ExactMap::Then forms it; each entry is below
        // 2 * 2^124 in magnitude.
        Native a = a2 * c1 + b2 * a1;
        Native b = a2 * d1 + b2 * b1;
        Native c = c2 * c1 + d2 * a1;
        Native d = c2 * d1 + d2 * b1;
        scale = Nearest(b, c);
        offset = Nearest(a, c);
        if (!(FitsSmall(a) && FitsSmall(b) && FitsSmall(c) && FitsSmall(d))) {
            const NativeUnsigned divisor =
                Gcd(Gcd(Magnitude(a), Magnitude(b)), Gcd(Magnitude(c), Magnitude(d)));
            a /= static_cast<Native>(divisor);
            b /= static_cast<Native>(divisor);
            c /= static_cast<Native>(divisor);
            d /= static_cast<Native>(divisor);
            if (!(FitsSmall(a) && FitsSmall(b) && FitsSmall(c) && FitsSmall(d))) {
                return Big(ExactMap::FromIntegers(Integer::OfNative(a), Integer::OfNative(b),
                                                  Integer::OfNative(c), Integer::OfNative(d)));
            }
        }
        return Small(static_cast<std::int64_t>(a), static_cast<std::int64_t>(b),
                     static_cast<std::int64_t>(c), static_cast<std::int64_t>(d));
    }
#endif
    std::optional<ExactMap> firstMap;
    std::optional<ExactMap> secondMap;
    const ExactMap& before =
        first.kind == ExactRef::e_Big ? *first.big : *(firstMap = MapOf(first));
    const ExactMap& after =
        second.kind == ExactRef::e_Big ? *second.big : *(secondMap = MapOf(second));
    const ExactMap composed = before.Then(after);
    scale = composed.Scale();
    offset = composed.Offset();
    return RefOf(composed);
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
