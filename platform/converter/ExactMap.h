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

/// Names a definition in error messages: `exact definition (A "...", B "...", C "...", D "...")`.
std::string DescribeDefinition(const ExactDefinition& definition);

/// What the engine classes keep private, for the factories and for one another.
struct ExactAccess {
    /// A linear engine when `map` is linear, else a rational one; no range checks.
    static std::unique_ptr<IUnitConverterEngine> MakeEngine(const ExactMap& map);
    /// The linear engine of a linear map, with coefficients rounded from it.
    static std::unique_ptr<LinearUnitConverter> MakeLinear(const ExactMap& map);
    /// The exact form of `engine`, looking through composites; empty when it has none.
    static std::optional<ExactMap> ExactFormOf(IUnitConverterEngine& engine);
};

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
