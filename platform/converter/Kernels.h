// The quick evaluation of linear conversions, written once over a handful of operations so that it
// compiles for single values and for the vectors of each instruction set alike. Scale and shift
// are each the sum of two doubles, and a value is converted with fused multiply-adds well beyond
// double precision, to within a bound on the error. The exact result then lies between two sums
// that each round once; when both round to the same double, so does the exact result, since
// rounding never changes the order of two numbers. The rare values whose two sums round apart lie
// near a midpoint between two doubles: they are flagged and worked out exactly. So every
// instruction set gives the same bits.
//
// Each file that includes this header compiles it for its own instruction set, so everything here
// has internal linkage: no two files may share a function compiled for different processors.
#pragma once

#include "ExactMap.h"
#include "Loops.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {
namespace {

// The bound on the error of a sum: 2^-100 |scale * h| + 2^-97 |offset|, for h the value or its sum
// with the shift (see QuickScale and QuickShift for the errors it covers). The floor covers every
// error of arithmetic among the subnormals.
constexpr double kScaleError = 0x1p-100;
constexpr double kOffsetError = 0x1p-97;
constexpr double kFloor = 0x1p-1060;

#if defined(__GNUC__)
#define ORV_NO_INLINE __attribute__((noinline))
#define ORV_PREFETCH(address) __builtin_prefetch(address)
#else
#define ORV_NO_INLINE
#define ORV_PREFETCH(address)
#endif

enum class Mode { e_Ieee, e_Exact, e_Scale, e_Affine };

inline Mode ModeOf(const LinearParts& parts) {
    if (!std::isfinite(parts.scale) || !std::isfinite(parts.offset)) {
        return Mode::e_Ieee; // an engine of doubles that are not numbers converts as IEEE does
    }
    if (parts.scaleLow != 0.0 && std::fabs(parts.scale) < 0x1p-900) {
        return Mode::e_Exact; // a low part among the subnormals is too coarse for the bounds
    }
    return parts.offset == 0.0 && parts.offsetLow == 0.0 ? Mode::e_Scale : Mode::e_Affine;
}

// a * b + c rounded once. Where the file is built for processors with FMA, the instruction
// itself: MinGW-w64's C runtime rounds some fused multiply-adds twice, even where the processor
// has the instruction, which the bounds on the errors do not allow. Without the instruction
// there, the exact sum is rounded instead.
inline double Fused(double a, double b, double c) {
#if defined(__FMA__) && defined(__GNUC__)
    return __builtin_fma(a, b, c); // the instruction, not the C runtime's function
#elif defined(__MINGW32__)
    return FusedExactly(a, b, c);
#else
    return std::fma(a, b, c);
#endif
}

// The operations on single values; the vector files define the same for their registers.
struct ScalarOps {
    using V = double;
    using M = bool;
    static constexpr std::size_t kLanes = 1;

    static V Set(double value) { return value; }
    static V Load(const double* values) { return *values; }
    static V Load(const float* values) { return *values; }
    static void Store(double* values, V value) { *values = value; }
    static void Store(float* values, V value) { *values = static_cast<float>(value); }
    static V Add(V a, V b) { return a + b; }
    static V Sub(V a, V b) { return a - b; }
    static V Mul(V a, V b) { return a * b; }
    static V Fma(V a, V b, V c) { return Fused(a, b, c); }
    static V Abs(V a) { return std::fabs(a); }
    static M Equal(V a, V b) { return a == b; }
    static M Or(M a, M b) { return a || b; }
    static M And(M a, M b) { return a && b; }
    static bool All(M m) { return m; }
    static unsigned Bits(M m) { return m ? 1 : 0; }
    static M FloatSafe(V y) { return Detail::FloatSafe(y); }
    static V Min(V a, V b) { return a < b ? a : b; }
    static V Max(V a, V b) { return a > b ? a : b; }
    static M Less(V a, V b) { return a < b; }
    static V LessOne(V x) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &x, sizeof bits);
        bits = (bits & 0x7FFFFFFFFFFFFFFF) - 1;
        std::memcpy(&x, &bits, sizeof bits);
        return x;
    }
    static M NotLess(V a, V b) { return !(a < b); }
    static M AndOrdered(M m, V y) { return m && y == y; }
};

// The least |x| whose product with the scale lies well above the subnormals, as the bits of a
// power of two less one (see LessOne): below it a product's errors are no longer relative to it,
// and such values are worked out exactly. 2^(-919 - e) for a scale of exponent e, so that
// |x * scale| >= 2^-919; 0 when that power is below the least double.
inline double TinyOf(double scale) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &scale, sizeof bits);
    const auto exponent = static_cast<std::int64_t>((bits >> 52) & 0x7FF);
    const std::int64_t tiny = 1127 - exponent; // the biased exponent of 2^(-919 - e)
    bits = tiny > 0 ? (static_cast<std::uint64_t>(tiny) << 52) - 1 : 0;
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The scale as the sum of two doubles whose low part has the sign of the high one, a zero
// included: the nearest double and the rest when the rest has its sign, or else the double next
// to it towards zero and the rest of that, which adds its own rounding of below 2^-105 of the
// scale. So a low share that overflows on its own, as for a large scale and a large value, is an
// infinity of the product's sign; and a zero converts to the zero of IEEE arithmetic's product.
inline void SameSignParts(const LinearParts& parts, double& scale, double& scaleLow) {
    scale = parts.scale;
    scaleLow = parts.scaleLow;
    if (scaleLow != 0.0 && std::signbit(scaleLow) != std::signbit(scale)) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &scale, sizeof bits);
        --bits; // the next double towards zero, of either sign
        double next = 0.0;
        std::memcpy(&next, &bits, sizeof next);
        scaleLow += scale - next;
        scale = next;
    } else if (scaleLow == 0.0) {
        scaleLow = std::copysign(0.0, scale);
    }
}

// The shift of an affine conversion, offset / scale, as the sum of two doubles. The high part is
// the quotient of the two doubles rounded once, so the remainder offset - shift * scale is a
// double, which a fused multiply-add gives exactly; the low part is what remains of the exact
// quotient, to within 2^-102 of the shift. False when the numbers are too large or too small for
// those bounds, or for QuickShift's.
inline bool ShiftOf(const LinearParts& parts, double& shift, double& shiftLow) {
    const auto moderate = [](double value) {
        return std::fabs(value) >= 0x1p-900 && std::fabs(value) <= 0x1p900;
    };
    if (!moderate(parts.scale) || !moderate(parts.offset)) {
        return false;
    }
    const double high = parts.offset / parts.scale;
    if (!moderate(high)) {
        return false;
    }
    shift = high;
    shiftLow =
        (Fused(-high, parts.scale, parts.offset) + Fused(-high, parts.scaleLow, parts.offsetLow)) /
        parts.scale;
    return true;
}

// A conversion's numbers in every lane.
template <typename Ops>
struct Constants {
    using V = typename Ops::V;
    V scale, scaleLow; // as SameSignParts makes them
    V shift;
    V shiftUp, shiftDown; // scale * shiftLow, plus and less |offset| * kOffsetError + kFloor
    V slack, minusSlack;  // +- |scale| * kScaleError
    V lowUp, lowDown;     // scaleLow plus and less the slack, with the sign of the scale
    V tiny;               // TinyOf the scale

    explicit Constants(const LinearParts& parts, double shiftHigh = 0.0, double shiftLow = 0.0)
        : shift(Ops::Set(shiftHigh)), slack(Ops::Set(std::fabs(parts.scale) * kScaleError)),
          minusSlack(Ops::Set(-std::fabs(parts.scale) * kScaleError)),
          tiny(Ops::Set(TinyOf(parts.scale))) {
        double high = 0.0;
        double low = 0.0;
        SameSignParts(parts, high, low);
        scale = Ops::Set(high);
        scaleLow = Ops::Set(low);
        const double signedSlack = parts.scale * kScaleError; // exactly, a power of two
        lowUp = Ops::Set(low + signedSlack);
        lowDown = Ops::Set(low - signedSlack);
        const double error = std::fabs(parts.offset) * kOffsetError + kFloor;
        shiftUp = Ops::Set(high * shiftLow + error);
        shiftDown = Ops::Set(high * shiftLow - error);
    }
};

// y = (scale + scaleLow) * x: the two sums are scale * x + x * (scaleLow +- bound), with the low
// part and the bound summed once for the conversion. With A = |scale * x|, their roundings and
// the low part's own error come to below 10 * 2^-106 * A, which the bound of 2^-100 A covers.
// Values so small that the product comes near the subnormals are flagged. The upper sum's low
// term has the sign of the scale, so that a zero x gives the zero of scale * x.
template <typename Ops>
typename Ops::V QuickScale(typename Ops::V x, const Constants<Ops>& k, typename Ops::M& ok) {
    using V = typename Ops::V;
    const V y = Ops::Fma(k.scale, x, Ops::Mul(x, k.lowUp));
    const V below = Ops::Fma(k.scale, x, Ops::Mul(x, k.lowDown));
    // |x| less one in its bits is a NaN for a zero and lies below the bound less one exactly
    // where 0 < |x| < bound: one compare finds the values that are tiny but not zero.
    ok = Ops::And(Ops::Equal(y, below), Ops::NotLess(Ops::LessOne(x), k.tiny));
    return y;
}

// y = (scale + scaleLow) * (x + shift + shiftLow): x + shift is split exactly into h + l, and
// the two sums are scale * h + (scale * l + (scaleLow * h + (scale * shiftLow +- bound))), the
// innermost term summed once for the conversion and each other rounded once, so that the chain
// of dependent operations stays short. With A = |scale * h| and B = |offset|, the roundings, the
// low parts' own errors and the terms left out come to below 11 * 2^-106 * A + 2^-101.7 * B,
// which the bound covers. Where the sum cancels most of the offset, that bound is wide against
// the result, which is then mostly worked out exactly.
template <typename Ops>
typename Ops::V QuickShift(typename Ops::V x, const Constants<Ops>& k, typename Ops::M& ok) {
    using V = typename Ops::V;
    const V h = Ops::Add(x, k.shift);
    const V back = Ops::Sub(h, x);
    const V l = Ops::Add(Ops::Sub(x, Ops::Sub(h, back)), Ops::Sub(k.shift, back));
    const V magnitude = Ops::Abs(h);
    const V above = Ops::Fma(k.scaleLow, h, Ops::Fma(magnitude, k.slack, k.shiftUp));
    const V below = Ops::Fma(k.scaleLow, h, Ops::Fma(magnitude, k.minusSlack, k.shiftDown));
    const V y = Ops::Fma(k.scale, h, Ops::Fma(k.scale, l, above));
    ok = Ops::Equal(y, Ops::Fma(k.scale, h, Ops::Fma(k.scale, l, below)));
    return y;
}

// y = (scale + scaleLow) * x for a scale whose products need no test (see ScaleKindOf): one
// multiplication and one fused multiply-add, QuickScale's sum without its bound. Flagged are the
// values whose results come near the subnormals, and the NaN that an infinity gives when the two
// parts differ in sign; zeros give QuickScale's zeros.
template <typename Ops>
typename Ops::V SureProduct(typename Ops::V x, const Constants<Ops>& k, typename Ops::M& ok) {
    const typename Ops::V y = Ops::Fma(k.scale, x, Ops::Mul(k.scaleLow, x));
    // |x| less one in its bits is a NaN for a zero and lies below the bound less one exactly
    // where 0 < |x| < bound: one compare finds the values that are tiny but not zero.
    ok = Ops::AndOrdered(Ops::NotLess(Ops::LessOne(x), k.tiny), y);
    return y;
}

// How a loop works a value out, decided once per call.
enum class Form { e_Scale, e_Shift, e_Sure };

template <typename Ops, Form kForm>
typename Ops::V Quick(typename Ops::V x, const Constants<Ops>& k, typename Ops::M& ok) {
    if constexpr (kForm == Form::e_Shift) {
        return QuickShift<Ops>(x, k, ok);
    } else if constexpr (kForm == Form::e_Sure) {
        return SureProduct<Ops>(x, k, ok);
    } else {
        return QuickScale<Ops>(x, k, ok);
    }
}

template <Form kForm, typename T>
T QuickOrExact(const LinearParts& parts, const Constants<ScalarOps>& k, T x) {
    bool ok = false;
    const double y = Quick<ScalarOps, kForm>(x, k, ok);
    if constexpr (std::is_same_v<T, float>) {
        ok = ok && FloatSafe(y);
    }
    return ok ? static_cast<T>(y) : ConvertExactly(parts, x);
}

template <typename T>
T ConvertOne(const LinearParts& parts, T x) {
    switch (ModeOf(parts)) {
    case Mode::e_Ieee:
        return static_cast<T>(parts.scale) * x + static_cast<T>(parts.offset);
    case Mode::e_Exact:
        return ConvertExactly(parts, x);
    case Mode::e_Scale:
        return QuickOrExact<Form::e_Scale>(parts, Constants<ScalarOps>(parts), x);
    case Mode::e_Affine:
        break;
    }
    double shift = 0.0;
    double shiftLow = 0.0;
    if (!ShiftOf(parts, shift, shiftLow)) {
        return ConvertExactly(parts, x);
    }
    return QuickOrExact<Form::e_Shift>(parts, Constants<ScalarOps>(parts, shift, shiftLow), x);
}

// Converts `vectors` vectors of doubles from `values` by SureProduct when none of them is tiny
// (see TinyOf) or infinite, which a first pass over them finds; returns false, having changed
// nothing, when one is. Keeping the least and the greatest |x| of the chunk costs less than a
// test and a branch per vector. The bits of |x| less one order as |x| does, but that a zero
// becomes a NaN, which the minimum and the maximum pass over, and an infinity the greatest
// double.
template <typename Ops>
ORV_NO_INLINE bool SureChunk(const Constants<Ops>& k, double* values, std::size_t vectors) {
    using V = typename Ops::V;
    constexpr std::size_t kLanes = Ops::kLanes;
    // Four vectors a step, each with extremes of its own so that the four chains run side by
    // side. A value is always the first operand: of a NaN and a number, the minimum and the
    // maximum give the second, so a zero leaves the extreme as it was and never replaces it.
    const V infinity = Ops::Set(std::numeric_limits<double>::infinity());
    V least[4] = {infinity, infinity, infinity, infinity};
    V most[4] = {Ops::Set(0.0), Ops::Set(0.0), Ops::Set(0.0), Ops::Set(0.0)};
    std::size_t n = 0;
    for (; n + 4 <= vectors; n += 4) {
        for (std::size_t j = 0; j < 4; ++j) {
            const V magnitude = Ops::LessOne(Ops::Load(values + (n + j) * kLanes));
            least[j] = Ops::Min(magnitude, least[j]);
            most[j] = Ops::Max(magnitude, most[j]);
        }
    }
    for (; n < vectors; ++n) {
        const V magnitude = Ops::LessOne(Ops::Load(values + n * kLanes));
        least[0] = Ops::Min(magnitude, least[0]);
        most[0] = Ops::Max(magnitude, most[0]);
    }
    const V lowest = Ops::Min(Ops::Min(least[0], least[1]), Ops::Min(least[2], least[3]));
    const V highest = Ops::Max(Ops::Max(most[0], most[1]), Ops::Max(most[2], most[3]));
    if (Ops::Bits(Ops::Or(Ops::Less(lowest, k.tiny),
                          Ops::Less(Ops::Set(0x1.ffffffffffffep1023), highest))) != 0) {
        return false;
    }
    // The constants in registers: the stores might otherwise have changed them. While this
    // chunk is converted the next one is fetched, so that memory is read all along, as a single
    // pass would read it, rather than only while the first pass runs.
    const V scale = k.scale;
    const V scaleLow = k.scaleLow;
    const std::size_t ahead = vectors * kLanes;
    const auto product = [&](double* at) {
        ORV_PREFETCH(at + ahead);
        const V x = Ops::Load(at);
        Ops::Store(at, Ops::Fma(scale, x, Ops::Mul(scaleLow, x)));
    };
    n = 0;
    for (; n + 4 <= vectors; n += 4) {
        double* at = values + n * kLanes;
        product(at);
        product(at + kLanes);
        product(at + 2 * kLanes);
        product(at + 3 * kLanes);
    }
    for (; n < vectors; ++n) {
        product(values + n * kLanes);
    }
    return true;
}

// A vector whose lanes the quick evaluation did not all decide: where, which, and its values.
template <typename Ops>
struct Undecided {
    std::size_t at;
    unsigned decided; // a bit per lane
    alignas(64) double values[Ops::kLanes];
};

// Converts `vectors` vectors from `values` quickly, noting those not wholly decided, whose other
// lanes it leaves as they were; returns how many it noted. The constants are copied, so that the
// compiler keeps them in registers: the stores through `values` might otherwise have changed
// them, and it would load them again for every vector.
template <typename Ops, Form kForm, typename T>
ORV_NO_INLINE std::size_t ConvertChunk(const Constants<Ops>& constants, T* values,
                                       std::size_t vectors, Undecided<Ops>* undecided) {
    const Constants<Ops> k = constants;
    std::size_t found = 0;
    const auto convert = [&](std::size_t n) {
        const typename Ops::V x = Ops::Load(values + n * Ops::kLanes);
        typename Ops::M ok;
        const typename Ops::V y = Quick<Ops, kForm>(x, k, ok);
        if constexpr (std::is_same_v<T, float>) {
            ok = Ops::And(ok, Ops::FloatSafe(y));
        }
        Ops::Store(values + n * Ops::kLanes, y);
        if (!Ops::All(ok)) {
            undecided[found].at = n * Ops::kLanes;
            undecided[found].decided = Ops::Bits(ok);
            Ops::Store(undecided[found].values, x);
            ++found;
        }
    };
    // Two vectors at a time, whose long chains of dependent operations overlap.
    std::size_t n = 0;
    for (; n + 2 <= vectors; n += 2) {
        convert(n);
        convert(n + 1);
    }
    if (n < vectors) {
        convert(n);
    }
    return found;
}

template <typename Ops, Form kForm, typename T>
void ConvertVector(const LinearParts& parts, T* values, std::size_t count, double shift = 0.0,
                   double shiftLow = 0.0) {
    const Constants<Ops> k(parts, shift, shiftLow);
    const Constants<ScalarOps> one(parts, shift, shiftLow);
    // Elements before the first 64-byte boundary one by one: vector stores that straddle two
    // cache lines cost about half as much again.
    std::size_t i = 0;
    for (; i < count && reinterpret_cast<std::uintptr_t>(values + i) % 64 != 0; ++i) {
        values[i] = QuickOrExact<kForm>(parts, one, values[i]);
    }
    // In chunks, after each of which the undecided lanes are worked out exactly.
    constexpr std::size_t kChunk = 64;
    constexpr std::size_t kTwoPassLimit = std::size_t{1} << 17;
    Undecided<Ops> undecided[kChunk];
    while (count - i >= Ops::kLanes) {
        const std::size_t vectors = std::min(kChunk, (count - i) / Ops::kLanes);
        std::size_t found = 0;
        if constexpr (kForm == Form::e_Sure && std::is_same_v<T, double>) {
            // A chunk with a value that SureProduct would flag goes the tested way. Arrays far
            // beyond the caches stream better in one pass, with a test per vector.
            if (count > kTwoPassLimit) {
                found = ConvertChunk<Ops, Form::e_Sure>(k, values + i, vectors, undecided);
            } else if (!SureChunk<Ops>(k, values + i, vectors)) {
                found = ConvertChunk<Ops, Form::e_Scale>(k, values + i, vectors, undecided);
            }
        } else {
            found = ConvertChunk<Ops, kForm>(k, values + i, vectors, undecided);
        }
        for (std::size_t n = 0; n < found; ++n) {
            for (std::size_t lane = 0; lane < Ops::kLanes; ++lane) {
                if (((undecided[n].decided >> lane) & 1) == 0) {
                    values[i + undecided[n].at + lane] =
                        ConvertExactly(parts, static_cast<T>(undecided[n].values[lane]));
                }
            }
        }
        i += vectors * Ops::kLanes;
    }
    for (; i < count; ++i) {
        values[i] = QuickOrExact<kForm>(parts, one, values[i]);
    }
}

template <typename Ops, typename T>
void ConvertMany(const LinearParts& parts, T* values, std::size_t count) {
    switch (ModeOf(parts)) {
    case Mode::e_Ieee:
    case Mode::e_Exact:
        for (std::size_t i = 0; i < count; ++i) {
            values[i] = ConvertOne(parts, values[i]);
        }
        return;
    case Mode::e_Scale:
        switch (ScaleKindOf(parts)) {
        case ScaleKind::e_Double:
            // Each product rounded once is the correctly rounded result, whatever x, with the
            // zeros QuickScale gives. Floats still need the test of a double's rounding to float.
            if constexpr (std::is_same_v<T, double>) {
                const double scale = parts.scale;
                for (std::size_t i = 0; i < count; ++i) {
                    values[i] *= scale;
                }
                return;
            }
            [[fallthrough]];
        case ScaleKind::e_Sure:
            ConvertVector<Ops, Form::e_Sure>(parts, values, count);
            return;
        case ScaleKind::e_Tested:
            break;
        }
        ConvertVector<Ops, Form::e_Scale>(parts, values, count);
        return;
    case Mode::e_Affine: {
        double shift = 0.0;
        double shiftLow = 0.0;
        if (ShiftOf(parts, shift, shiftLow)) {
            ConvertVector<Ops, Form::e_Shift>(parts, values, count, shift, shiftLow);
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                values[i] = ConvertExactly(parts, values[i]);
            }
        }
        return;
    }
    }
}

// The loops of one instruction set; single values are converted with its scalar instructions.
template <typename Ops>
constexpr LinearLoops LoopsOf() {
    return {&ConvertOne<double>, &ConvertOne<float>, &ConvertMany<Ops, double>,
            &ConvertMany<Ops, float>};
}

} // namespace
} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
