// The exact form of an engine: a map x -> (a + b*x) / (c + d*x) with integer coefficients.
#pragma once

#include "Integer.h"

#include <units/converter/ExactEngines.h>

#include <memory>
#include <optional>
#include <string>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

/// The map x -> (a + b*x) / (c + d*x). Scaling all four coefficients by one factor leaves the map
/// unchanged, so they are kept as integers in lowest terms with c > 0, or c == 0 and d > 0; two
/// equal maps then have equal coefficients. Composing such maps multiplies their 2x2 matrices
/// [[b, a], [d, c]], and the inverse is the adjugate matrix.
class ExactMap {
public:
    /// Parses a definition; throws std::invalid_argument when a coefficient is not a decimal or
    /// when b*c - a*d is 0.
    static ExactMap FromDefinition(const ExactDefinition& definition);
    /// The map with these coefficients, which need not be in lowest terms; b*c - a*d is not 0.
    static ExactMap FromIntegers(Integer a, Integer b, Integer c, Integer d);

    /// The map applying this one, then `second`.
    ExactMap Then(const ExactMap& second) const;
    /// The map undoing this one.
    ExactMap Inverse() const;
    /// True when d is 0, so the map is `scale * x + offset`.
    bool IsLinear() const { return m_d.IsZero(); }
    /// The coefficients as integer texts.
    ExactDefinition ToDefinition() const;

    /// Of a linear map: the doubles nearest b/c and a/c.
    double Scale() const;
    double Offset() const;
    /// Of a non-linear map, as `p + q / (r + x)`: the doubles nearest b/d, (a*d - b*c)/d^2, c/d.
    void RationalCoefficients(double& p, double& q, double& r) const;

    /// The coefficients in lowest terms.
    const Integer& A() const { return m_a; }
    const Integer& B() const { return m_b; }
    const Integer& C() const { return m_c; }
    const Integer& D() const { return m_d; }

private:
    ExactMap(Integer a, Integer b, Integer c, Integer d);

    Integer m_a;
    Integer m_b;
    Integer m_c;
    Integer m_d;
};

/// The double nearest `numerator / denominator`, ties to even, infinite beyond the largest
/// double; `denominator` is not 0.
double NearestDouble(const Integer& numerator, const Integer& denominator);

/// True when `ref` is the identity map (which is always small).
inline bool IsIdentity(const ExactRef& ref) {
    return ref.kind == ExactRef::e_Small && ref.small[0] == 0 && ref.small[3] == 0 &&
           ref.small[1] == ref.small[2];
}
/// NearestOfSmall for operands that are not both below 2^53.
double NearestOfLarge(std::int64_t numerator, std::int64_t denominator);
/// RoundLinear of a ref that is not small.
void RoundBig(const ExactRef& ref, double& scale, double& offset);

/// The ref of `map`: its integers in place when each is below 2^62 in magnitude, else shared.
ExactRef RefOf(const ExactMap& map);
/// The map of a ref that has one.
ExactMap MapOf(const ExactRef& ref);
/// Makes `to` (which has none yet) a copy of `from`; a small ref copies four integers.
inline void CopyRef(const ExactRef& from, ExactRef& to) {
    if (from.kind == ExactRef::e_Big) {
        to = from;
        return;
    }
    to.kind = from.kind;
    for (int i = 0; i < 4; ++i) {
        to.small[i] = from.small[i];
    }
}

/// InvertInto of a ref that is not small.
void InvertBig(const ExactRef& ref, ExactRef& inverse);

/// Sets `inverse` (which has none yet) to the ref of the inverse map; allocates nothing for a
/// small one.
inline void InvertInto(const ExactRef& ref, ExactRef& inverse) {
    if (ref.kind == ExactRef::e_Small) {
        // y = (a + b*x) / (c + d*x) solves to x = (-a + c*y) / (b - d*y).
        inverse.kind = ExactRef::e_Small;
        inverse.small[0] = -ref.small[0];
        inverse.small[1] = ref.small[2];
        inverse.small[2] = ref.small[1];
        inverse.small[3] = -ref.small[3];
        return;
    }
    InvertBig(ref, inverse);
}
/// The double nearest numerator / denominator (not 0), both below 2^62 in magnitude.
inline double NearestOfSmall(std::int64_t numerator, std::int64_t denominator) {
    constexpr std::int64_t kExact = std::int64_t{1} << 53;
    if (numerator == 0) {
        return 0.0; // +0 whatever the signs, as the exact rational 0 is
    }
    if (numerator > -kExact && numerator < kExact && denominator > -kExact &&
        denominator < kExact) {
        // Both are doubles exactly, and one division rounds their quotient correctly.
        return denominator == 1 ? static_cast<double>(numerator)
                                : static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    return NearestOfLarge(numerator, denominator);
}

/// Of a linear ref: the doubles nearest b/c and a/c.
inline void RoundLinear(const ExactRef& ref, double& scale, double& offset) {
    if (ref.kind == ExactRef::e_Small) {
        scale = NearestOfSmall(ref.small[1], ref.small[2]);
        offset = NearestOfSmall(ref.small[0], ref.small[2]);
        return;
    }
    RoundBig(ref, scale, offset);
}
/// The ref of applying `first`, then `second`, both linear and exact, with the doubles nearest its
/// scale and offset. Small operands are composed in native integers and rounded in floating
/// point, with the exact division only near a tie; others go through ExactMap.
ExactRef ComposeLinear(const ExactRef& first, const ExactRef& second, double& scale,
                       double& offset);

/// Names a definition in error messages: `exact definition (A "...", B "...", C "...", D "...")`.
std::string DescribeDefinition(const ExactDefinition& definition);

/// What the engine classes keep private, for the factories and for one another.
struct ExactAccess {
    /// A linear engine when `map` is linear, else a rational one; no range checks.
    static std::unique_ptr<IUnitConverterEngine> MakeEngine(const ExactMap& map);
    /// The linear engine of a linear map, with coefficients rounded from it.
    static std::unique_ptr<LinearUnitConverter> MakeLinear(const ExactMap& map);
    /// The linear engine of a small ref, with coefficients rounded from it.
    static std::unique_ptr<LinearUnitConverter> MakeLinear(const ExactRef& ref);
    /// The exact form of `engine`, looking through composites; empty when it has none.
    static std::optional<ExactMap> ExactFormOf(IUnitConverterEngine& engine);
};

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
