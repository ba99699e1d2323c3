// Engines made from exact definitions. A definition `base = (A + B*x) / (C + D*x)` is kept as
// exact rationals; compositions and inverses of exact engines stay exact, and each conversion is
// the correctly rounded value of the exact map.
#pragma once

#include <units/converter/Engines.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace Detail {
struct RationalForm;
} // namespace Detail

/// The most digits a coefficient of an ExactDefinition may have.
inline constexpr std::size_t kMaxExactDigits = 1000;
/// The largest magnitude of the exponent a coefficient of an ExactDefinition may have.
inline constexpr long kMaxExactExponent = 1000;

/// A unit's exact definition, `base = (A + B*x) / (C + D*x)`. Each coefficient is a decimal text:
/// an optional sign, digits with an optional point, an optional exponent ("0.3048", "-459.67",
/// "1e-3"); at most kMaxExactDigits digits and an exponent of at most kMaxExactExponent in
/// magnitude.
struct ExactDefinition {
    std::string A = "0"; ///< constant of the numerator
    std::string B = "1"; ///< coefficient of x in the numerator
    std::string C = "1"; ///< constant of the denominator
    std::string D = "0"; ///< coefficient of x in the denominator; not 0 makes a non-linear engine
};

/// True when `text` is a coefficient that ExactDefinition takes: a decimal within its limits.
ORV_UNITS_CONVERTER_API bool IsExactDecimal(const std::string& text);

/// What the map of a definition does, worked out without rounding.
enum class ExactMapKind {
    e_Identity,   ///< every value maps to itself
    e_Invertible, ///< B*C - A*D is not 0, and the map is not the identity
    e_Constant,   ///< B*C - A*D is 0: every value maps to one number
};

/// The kind of map `definition` is; empty when a coefficient is not a decimal (IsExactDecimal).
ORV_UNITS_CONVERTER_API std::optional<ExactMapKind>
ClassifyExactDefinition(const ExactDefinition& definition);

/// The engine of `definition`: a LinearUnitConverter when D is 0, else a RationalUnitConverter.
/// Throws std::invalid_argument when a coefficient is not a decimal, when B*C - A*D is 0, or when
/// a coefficient of the engine is beyond the range of double.
ORV_UNITS_CONVERTER_API std::unique_ptr<IUnitConverterEngine>
MakeExactEngine(const ExactDefinition& definition);

/// The linear engine `scale * x + offset` with exact decimal coefficients; throws as
/// MakeExactEngine does.
ORV_UNITS_CONVERTER_API std::unique_ptr<LinearUnitConverter>
MakeExactLinear(const std::string& scale, const std::string& offset = "0");

/// The linear engine `(a + b*x) / c` of integers, as GetExactDefinition gives them, without
/// parsing any text: for catalogues compiled into a program. Throws std::invalid_argument when b
/// or c is 0 or an integer is 2^62 or more in magnitude.
ORV_UNITS_CONVERTER_API std::unique_ptr<LinearUnitConverter>
MakeExactLinear(std::int64_t a, std::int64_t b, std::int64_t c);

/// True when `engine` has an exact definition: made by this header, or an inverse, clone or
/// composition (linear or composite) of such engines only.
ORV_UNITS_CONVERTER_API bool IsExact(IUnitConverterEngine& engine);

/// Writes the exact definition of `engine` in lowest terms, as integers with C > 0 (or C == 0 and
/// D > 0); returns false and leaves `definition` unchanged when the engine has none.
ORV_UNITS_CONVERTER_API bool GetExactDefinition(IUnitConverterEngine& engine,
                                                ExactDefinition& definition);

/// One engine equal to applying `first`, then `second`, worked out exactly: linear when the result
/// is, else rational. Empty when either has no exact definition. Keeps neither.
ORV_UNITS_CONVERTER_API std::unique_ptr<IUnitConverterEngine>
ComposeExact(IUnitConverterEngine& first, IUnitConverterEngine& second);

/// `Convert(x)` is `(A + B*x) / (C + D*x)` with D not 0, for reciprocal units such as fuel
/// consumption, rounded once to the nearest double (or float). It is worked out as
/// `p + q / (r + x)` with p = B/D, q = (A*D - B*C)/D^2 and r = C/D, each kept as the double
/// nearest the exact value and the rest. Its inverse is again of this kind.
class ORV_UNITS_CONVERTER_API RationalUnitConverter final : public IUnitConverterEngine {
public:
    /// The engine of `definition`; throws std::invalid_argument as MakeExactEngine does, and when
    /// D is 0.
    explicit RationalUnitConverter(const ExactDefinition& definition);
    RationalUnitConverter(const RationalUnitConverter& other);
    RationalUnitConverter& operator=(const RationalUnitConverter& other);
    ~RationalUnitConverter() override;

    /// Reports the three coefficients of `p + q / (r + x)`.
    void GetCoefficients(double& p, double& q, double& r);

    std::unique_ptr<IUnitConverterEngine> Clone() override;
    void Convert(std::vector<double>& values) override;
    void Convert(std::vector<float>& values) override;
    double Convert(double value) override;
    float Convert(float value) override;
    /// Always false: a map with D not 0 changes some value.
    bool IsUnity() override;
    /// True: B*C - A*D is never 0 for this engine.
    bool IsInvertible() override;
    /// The exact inverse `x = (-A + C*y) / (B - D*y)`, again a RationalUnitConverter.
    std::unique_ptr<IUnitConverterEngine> GetInverse() override;

private:
    friend struct Detail::EngineAccess;
    RationalUnitConverter(std::shared_ptr<const Detail::RationalForm> form, double p, double q,
                          double r)
        : IUnitConverterEngine(e_RationalEngine), m_p(p), m_q(q), m_r(r), m_pForm(std::move(form)) {
    }

    double m_p;
    double m_q;
    double m_r;
    // The exact definition and the rest of p, q and r, which copies share: nothing changes them.
    std::shared_ptr<const Detail::RationalForm> m_pForm;
};

} // namespace Orv::Pim::Core::Service::Units::Converter
