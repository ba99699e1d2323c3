// The exact arithmetic behind the engines: maps x -> (a + b*x) / (c + d*x) with integer
// coefficients, over Boost.Multiprecision's integers, and the correct rounding of their quotients.
#pragma once

#include <units/converter/ExactEngines.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

using Integer = boost::multiprecision::cpp_int;

/// The map x -> (a + b*x) / (c + d*x). Scaling all four coefficients by one factor leaves the map
/// unchanged, so they are kept in lowest terms with c > 0, or c == 0 and d > 0: two equal maps
/// have equal coefficients. Composing maps multiplies their matrices [[b, a], [d, c]]; the inverse
/// is the adjugate matrix.
struct ExactMap {
    Integer a;
    Integer b;
    Integer c;
    Integer d;

    /// The map of these coefficients, brought to lowest terms.
    static ExactMap Reduced(Integer a, Integer b, Integer c, Integer d);
    /// The map of `definition`; throws std::invalid_argument, naming the definition, when a
    /// coefficient is not a decimal.
    static ExactMap Parse(const ExactDefinition& definition);

    /// The map applying this one, then `second`.
    ExactMap Then(const ExactMap& second) const;
    /// The map undoing this one.
    ExactMap Inverse() const;
    /// True when d is 0, so that the map is `scale * x + offset`.
    bool IsLinear() const { return d == 0; }
    /// True when b*c - a*d is 0: every value maps to one number, and nothing undoes it.
    bool IsConstant() const { return b * c == a * d; }
};

/// Why a text is not a coefficient of an ExactDefinition, if it is not.
enum class DecimalError { e_None, e_NotADecimal, e_TooLong };

/// Reads `[+-]digits[.digits][(e|E)[+-]digits]` with digits on at least one side of the point,
/// as `mantissa * 10^exponent`.
DecimalError ParseDecimal(const std::string& text, Integer& mantissa, long& exponent);

/// The T (double or float) nearest numerator / denominator, ties to even, infinite beyond the
/// largest T; the denominator is not 0. A zero quotient is +0.
template <typename T>
T Nearest(const Integer& numerator, const Integer& denominator);
/// Nearest<double>.
inline double NearestDouble(const Integer& numerator, const Integer& denominator) {
    return Nearest<double>(numerator, denominator);
}

/// A map whose four coefficients are below 2^62 in magnitude, in lowest terms as ExactMap keeps
/// them: the products of two and their sums fit in 128 bits, so most compositions need no
/// allocation.
struct SmallMap {
    std::int64_t a;
    std::int64_t b;
    std::int64_t c;
    std::int64_t d;
};

/// The exact form a linear engine keeps: none (an engine of plain doubles, whose doubles are its
/// exact map), a small map in place, or a shared map of any size.
struct ExactRef {
    enum Kind : std::uint8_t { e_None, e_Small, e_Big };
    Kind kind = e_None;
    SmallMap small{};                    ///< when small
    std::shared_ptr<const ExactMap> big; ///< when big
};

/// What a linear engine keeps beside its two doubles, in storage whose type only the library
/// knows: its exact map, and the low parts that make its scale and offset each a sum of two
/// doubles, so that a conversion can be worked out well beyond double precision.
struct LinearState {
    ExactRef exact;
    double scaleLow = 0.0;  ///< the exact scale less the engine's double, to within 2^-51 of it
    double offsetLow = 0.0; ///< the exact offset less the engine's double, likewise
    bool defined = false;   ///< made from exact definitions only, as IsExact tells
};

/// A linear conversion as the loops see it: y = (scale + scaleLow) * x + offset + offsetLow.
struct LinearParts {
    double scale;
    double scaleLow;
    double offset;
    double offsetLow;
    const ExactRef* exact; ///< the exact map; none when scale and offset are exact
};

/// How the loops may round the product of a value and a scale that has no offset.
enum class ScaleKind {
    e_Tested, ///< by the quick evaluation, with its test of the distance to a midpoint
    e_Double, ///< the scale is a double: one multiplication rounds each product correctly
    e_Sure    ///< the quick product is correctly rounded for every value with a normal result
};
/// The kind of a scale without an offset (scale + scaleLow), from its exact form.
ScaleKind ScaleKindOf(const LinearParts& parts);

/// The correctly rounded conversion of `x` by `parts`, in exact arithmetic: what the quick
/// evaluation of the loops leaves to be decided. Infinities and NaN convert as IEEE arithmetic
/// does.
double ConvertExactly(const LinearParts& parts, double x);
float ConvertExactly(const LinearParts& parts, float x);
/// a * b + c rounded once to the nearest double, worked out on integers: for C runtimes whose fma
/// rounds twice for some operands.
double FusedExactly(double a, double b, double c);
/// True when rounding `y` to a float gives the float nearest the exact value that `y` is the
/// nearest double to: `y` is no float midpoint, which rounding to double could have reached from
/// either side, and not among the subnormal floats, whose midpoints this does not look for.
inline bool FloatSafe(double y) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &y, sizeof bits);
    return (bits & 0x1FFFFFFF) != 0x10000000 && (std::fabs(y) >= 0x1p-126 || y == 0.0);
}

/// What a rational engine keeps beside its three doubles p, q and r of p + q / (r + x): its exact
/// map, and their low parts.
struct RationalForm {
    ExactMap map;
    double pLow = 0.0;
    double qLow = 0.0;
    double rLow = 0.0;
};

/// The form of a non-linear map, with the doubles nearest p = b/d, q = (a*d - b*c)/d^2 and
/// r = c/d.
std::shared_ptr<const RationalForm> RationalFormOf(const ExactMap& map, double& p, double& q,
                                                   double& r);

/// The value of `map` at a finite `x`, rounded once; NaN at a pole.
double EvaluateExactly(const ExactMap& map, double x);
float EvaluateExactly(const ExactMap& map, float x);

/// The ref of `map`: small when its coefficients are.
ExactRef RefOf(const ExactMap& map);
/// The small ref of these coefficients, each below 2^62 in magnitude, brought to lowest terms.
ExactRef SmallRef(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d);
/// The map of a ref that has one.
ExactMap MapOf(const ExactRef& ref);
/// The ref of the map x -> scale * x + offset of two finite doubles.
ExactRef RefOfDoubles(double scale, double offset);
/// The ref of the exact map of a linear engine whose coefficients are finite.
ExactRef RefOfEngine(const ExactRef& exact, double scale, double offset);
/// The exact form of `engine`, looking through composites; empty when it has none. With
/// `definedOnly` false, the doubles of an engine of plain doubles count as its exact form.
std::optional<ExactMap> ExactFormOf(IUnitConverterEngine& engine, bool definedOnly = true);
/// The ref of applying `first`, then `second`, both linear refs that have maps.
ExactRef Compose(const ExactRef& first, const ExactRef& second);
/// The double nearest numerator / denominator, for operands not both below 2^53.
double NearestOfLarge(std::int64_t numerator, std::int64_t denominator);

/// InvertInto and RoundLinear of a ref that is big.
void InvertBig(const ExactRef& ref, ExactRef& inverse);
void RoundBig(const ExactRef& ref, LinearState& state, double& scale, double& offset);

// Converting a value through a temporary converter inverts one engine and composes two, so the
// steps for small refs are inline.

/// True when `ref` is the identity map, x -> x.
inline bool IsIdentity(const ExactRef& ref) {
    return ref.kind == ExactRef::e_Small && ref.small.a == 0 && ref.small.d == 0 &&
           ref.small.b == ref.small.c;
}

/// Sets `inverse` to the ref of the inverse map of a ref that has one.
inline void InvertInto(const ExactRef& ref, ExactRef& inverse) {
    if (ref.kind != ExactRef::e_Small) {
        InvertBig(ref, inverse);
        return;
    }
    // y = (a + b*x) / (c + d*x) solves to x = (-a + c*y) / (b - d*y), whose coefficients have the
    // same common divisor: only their signs may need turning round.
    const SmallMap& m = ref.small;
    const bool flip = m.b < 0 || (m.b == 0 && m.d > 0);
    inverse.kind = ExactRef::e_Small;
    inverse.small = flip ? SmallMap{m.a, -m.c, -m.b, m.d} : SmallMap{-m.a, m.c, m.b, -m.d};
}

/// `low` made, by a place of its own at most, small enough that high + low rounds to high: then
/// converting 0 gives the offset's own double without a test.
inline double BelowHalfAPlace(double high, double low) {
    while (high + low != high) {
        low = std::nextafter(low, 0.0);
    }
    return low;
}

#if defined(__SIZEOF_INT128__)
/// numerator / denominator - high, for the double `high` nearest that quotient of integers below
/// 2^62 in magnitude: its low part, to within 2^-51 of its size.
inline double LowOfSmall(std::int64_t numerator, std::int64_t denominator, double high) {
    __extension__ typedef __int128 Wide;
    __extension__ typedef unsigned __int128 Bits;
    // high = m * 2^e, a normal double since the quotient is at least 2^-62.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &high, sizeof bits);
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF) - 1075;
    const auto magnitude = static_cast<std::int64_t>((bits & 0xFFFFFFFFFFFFF) | (1ull << 52));
    const std::int64_t mantissa = (bits >> 63) != 0 ? -magnitude : magnitude;
    // The residual n - m * d * 2^e, or n * 2^-e - m * d when e < 0, is far below 2^127 in
    // magnitude, so 128-bit arithmetic that wraps round gives it exactly; e lies between -115
    // and 10.
    const auto product = static_cast<Bits>(static_cast<Wide>(mantissa) * denominator);
    const auto n = static_cast<Bits>(static_cast<Wide>(numerator));
    const Bits residual = exponent >= 0 ? n - (product << exponent) : (n << -exponent) - product;
    // Over d, and scaled back by 2^e when it was scaled up.
    const double scaleBack = exponent >= 0 ? 1.0 : [&] {
        const std::uint64_t power = static_cast<std::uint64_t>(exponent + 1023) << 52;
        double value = 0.0;
        std::memcpy(&value, &power, sizeof value);
        return value;
    }();
    return static_cast<double>(static_cast<Wide>(residual)) / static_cast<double>(denominator) *
           scaleBack;
}
#else
/// numerator / denominator - high, for the double `high` nearest that quotient: its low part.
double LowOfSmall(std::int64_t numerator, std::int64_t denominator, double high);
#endif

/// Sets `high` to the double nearest numerator / denominator (not 0), both below 2^62 in
/// magnitude, and `low` to the rest of the quotient, to within 2^-51 of its size.
inline void RoundSmall(std::int64_t numerator, std::int64_t denominator, double& high,
                       double& low) {
    constexpr std::int64_t kExact = std::int64_t{1} << 53;
    if (numerator == 0 || (denominator == 1 && numerator > -kExact && numerator < kExact)) {
        high = static_cast<double>(numerator); // exact, as for base units and their multiples
        low = 0.0;
        return;
    }
    // Operands below 2^53 are doubles exactly, and one division rounds their quotient correctly.
    high =
        numerator > -kExact && numerator < kExact && denominator > -kExact && denominator < kExact
            ? static_cast<double>(numerator) / static_cast<double>(denominator)
            : NearestOfLarge(numerator, denominator);
    low = LowOfSmall(numerator, denominator, high);
}

/// Of a linear ref: the doubles nearest b/c and a/c, and their low parts.
inline void RoundLinear(const ExactRef& ref, LinearState& state, double& scale, double& offset) {
    if (ref.kind != ExactRef::e_Small) {
        RoundBig(ref, state, scale, offset);
        return;
    }
    RoundSmall(ref.small.b, ref.small.c, scale, state.scaleLow);
    RoundSmall(ref.small.a, ref.small.c, offset, state.offsetLow);
    state.offsetLow = BelowHalfAPlace(offset, state.offsetLow);
}

/// Names a definition in error messages: `exact definition (A "...", B "...", C "...", D "...")`.
std::string DescribeDefinition(const ExactDefinition& definition);

/// What the engine classes keep private, for the library's own use.
struct EngineAccess {
    /// What a linear engine keeps beside its doubles.
    static LinearState& State(LinearUnitConverter& engine);
    static const LinearState& State(const LinearUnitConverter& engine);
    /// A linear engine's conversion, for the loops.
    static LinearParts PartsOf(const LinearUnitConverter& engine);
    /// The linear engine of `ref`, with its coefficients rounded from it; `defined` as IsExact
    /// should tell.
    static std::unique_ptr<LinearUnitConverter> MakeLinear(const ExactRef& ref, bool defined);
    /// A linear engine when `map` is linear, else a rational one; no range checks.
    static std::unique_ptr<IUnitConverterEngine> MakeEngine(const ExactMap& map);
    /// The exact map of a rational engine.
    static const ExactMap& Exact(const RationalUnitConverter& engine);
    /// Makes `engine`, whose state is not yet made, apply `first`, then the linear engine of
    /// coefficients `scale` and `offset` and state `after`.
    static void Fold(LinearUnitConverter& engine, LinearUnitConverter& first, double scale,
                     double offset, const LinearState& after);
    /// Lets a composite convert with one engine composed exactly of its parts, when both have
    /// exact maps (plain doubles count).
    static void ComposeParts(CompositeUnitConverter& engine);
    /// The one engine a composite converts with, or null when it converts part by part.
    static IUnitConverterEngine* Composed(const CompositeUnitConverter& engine) {
        return engine.m_pComposed.get();
    }
};

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
