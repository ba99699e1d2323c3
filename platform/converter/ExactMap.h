// The exact arithmetic behind the engines: maps x -> (a + b*x) / (c + d*x) with integer
// coefficients, over Boost.Multiprecision's integers, and the correct rounding of their quotients.
#pragma once

#include <units/converter/ExactEngines.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cstdint>
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

/// The double nearest numerator / denominator, ties to even, infinite beyond the largest double;
/// the denominator is not 0. A zero quotient is +0.
double NearestDouble(const Integer& numerator, const Integer& denominator);

/// A map whose four coefficients are below 2^62 in magnitude, in lowest terms as ExactMap keeps
/// them: the products of two and their sums fit in 128 bits, so most compositions need no
/// allocation.
struct SmallMap {
    std::int64_t a;
    std::int64_t b;
    std::int64_t c;
    std::int64_t d;
};

/// The exact form a linear engine keeps: none (an engine of plain doubles), a small map in place,
/// or a shared map of any size.
struct ExactRef {
    enum Kind : std::uint8_t { e_None, e_Small, e_Big };
    Kind kind = e_None;
    SmallMap small{};                    ///< when small
    std::shared_ptr<const ExactMap> big; ///< when big
};

/// The ref of `map`: small when its coefficients are.
ExactRef RefOf(const ExactMap& map);
/// The small ref of these coefficients, each below 2^62 in magnitude, brought to lowest terms.
ExactRef SmallRef(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d);
/// The map of a ref that has one.
ExactMap MapOf(const ExactRef& ref);
/// The exact form of `engine`, looking through composites; empty when it has none.
std::optional<ExactMap> ExactFormOf(IUnitConverterEngine& engine);
/// The ref of applying `first`, then `second`, both linear refs that have maps.
ExactRef Compose(const ExactRef& first, const ExactRef& second);
/// NearestOfSmall for quotients whose operands are not both below 2^53.
double NearestOfLarge(std::int64_t numerator, std::int64_t denominator);
/// InvertInto and RoundLinear of a ref that is big.
void InvertBig(const ExactRef& ref, ExactRef& inverse);
void RoundBig(const ExactRef& ref, double& scale, double& offset);

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

/// The double nearest numerator / denominator (not 0), both below 2^62 in magnitude.
inline double NearestOfSmall(std::int64_t numerator, std::int64_t denominator) {
    constexpr std::int64_t kExact = std::int64_t{1} << 53;
    if (numerator == 0) {
        return 0.0;
    }
    if (numerator > -kExact && numerator < kExact && denominator > -kExact &&
        denominator < kExact) {
        // Both are doubles exactly, and one division rounds their quotient correctly.
        return static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    return NearestOfLarge(numerator, denominator);
}

/// Of a linear ref: the doubles nearest b/c and a/c.
inline void RoundLinear(const ExactRef& ref, double& scale, double& offset) {
    if (ref.kind != ExactRef::e_Small) {
        RoundBig(ref, scale, offset);
        return;
    }
    scale = NearestOfSmall(ref.small.b, ref.small.c);
    offset = NearestOfSmall(ref.small.a, ref.small.c);
}

/// Names a definition in error messages: `exact definition (A "...", B "...", C "...", D "...")`.
std::string DescribeDefinition(const ExactDefinition& definition);

/// What the engine classes keep private, for the library's own use.
struct EngineAccess {
    /// The exact form of a linear engine.
    static ExactRef& Exact(LinearUnitConverter& engine);
    static const ExactRef& Exact(const LinearUnitConverter& engine);
    /// The linear engine of `ref`, with its coefficients rounded from it.
    static std::unique_ptr<LinearUnitConverter> MakeLinear(const ExactRef& ref);
    /// A linear engine when `map` is linear, else a rational one; no range checks.
    static std::unique_ptr<IUnitConverterEngine> MakeEngine(const ExactMap& map);
    /// The exact map of a rational engine.
    static const ExactMap& Exact(const RationalUnitConverter& engine);
};

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
