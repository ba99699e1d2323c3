// Exact engines: the factories, the checks of definitions, the rational engine, and the access to
// exact forms.
#include "ExactMap.h"

#include <units/converter/ExactEngines.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

using Detail::EngineAccess;
using Detail::ExactMap;

namespace {

// The map of `definition`, which must have an inverse.
ExactMap InvertibleMap(const ExactDefinition& definition) {
    ExactMap map = ExactMap::Parse(definition);
    if (map.IsConstant()) {
        throw std::invalid_argument(Detail::DescribeDefinition(definition) +
                                    ": B*C - A*D is 0, so it maps every value to one number");
    }
    return map;
}

std::invalid_argument OutOfRange(const ExactDefinition& definition, const char* what) {
    return std::invalid_argument(Detail::DescribeDefinition(definition) + ": " + what +
                                 " is beyond the range of double");
}

// Refuses definitions whose rounded coefficients would make an engine that does not behave like
// the exact map: infinite, or a zero scale that would lose every value.
void CheckRange(const ExactDefinition& definition, const ExactMap& map) {
    if (map.IsLinear()) {
        const double scale = Detail::NearestDouble(map.b, map.c);
        if (!std::isfinite(scale) || scale == 0.0) {
            throw OutOfRange(definition, "the scale B/C");
        }
        if (!std::isfinite(Detail::NearestDouble(map.a, map.c))) {
            throw OutOfRange(definition, "the offset A/C");
        }
        return;
    }
    double p = 0.0;
    double q = 0.0;
    double r = 0.0;
    Detail::RationalFormOf(map, p, q, r);
    if (!std::isfinite(p) || !std::isfinite(q) || !std::isfinite(r) || q == 0.0) {
        throw OutOfRange(definition, "a coefficient of p + q / (r + x)");
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Access to the exact forms

namespace Detail {

std::unique_ptr<IUnitConverterEngine> EngineAccess::MakeEngine(const ExactMap& map) {
    if (map.IsLinear()) {
        return MakeLinear(RefOf(map), true);
    }
    double p = 0.0;
    double q = 0.0;
    double r = 0.0;
    std::shared_ptr<const RationalForm> form = RationalFormOf(map, p, q, r);
    return std::unique_ptr<IUnitConverterEngine>(
        new RationalUnitConverter(std::move(form), p, q, r));
}

const ExactMap& EngineAccess::Exact(const RationalUnitConverter& engine) {
    return engine.m_pForm->map;
}

std::optional<ExactMap> ExactFormOf(IUnitConverterEngine& engine, bool definedOnly) {
    if (auto* linear = dynamic_cast<LinearUnitConverter*>(&engine)) {
        double scale = 0.0;
        double offset = 0.0;
        linear->GetScaleAndOffset(scale, offset);
        const LinearState& state = EngineAccess::State(*linear);
        if ((definedOnly && !state.defined) || !std::isfinite(scale) || !std::isfinite(offset)) {
            return std::nullopt;
        }
        return MapOf(RefOfEngine(state.exact, scale, offset));
    }
    if (auto* rational = dynamic_cast<RationalUnitConverter*>(&engine)) {
        return EngineAccess::Exact(*rational);
    }
    if (auto* composite = dynamic_cast<CompositeUnitConverter*>(&engine)) {
        std::optional<ExactMap> first = ExactFormOf(*composite->First(), definedOnly);
        if (!first) {
            return std::nullopt;
        }
        std::optional<ExactMap> second = ExactFormOf(*composite->Second(), definedOnly);
        if (!second) {
            return std::nullopt;
        }
        return first->Then(*second);
    }
    return std::nullopt;
}

namespace {

// p + q / (r + x), each coefficient the sum of a double and its low part, worked out well beyond
// double precision with a bound on the error: `ok` tells whether the result is surely the
// nearest double.
double QuickRational(const RationalForm& form, double p, double q, double r, double x, bool& ok) {
    // d = r + x, as the sum of two doubles.
    const double d = r + x;
    const double back = d - r;
    const double dLow = ((r - (d - back)) + (x - back)) + form.rLow;
    // z = q / d, likewise: the remainder of the first division is exact.
    const double z = q / d;
    const double zLow = std::fma(-z, dLow, std::fma(-z, d, q) + form.qLow) / d;
    // y = p + z.
    const double sum = p + z;
    const double sumBack = sum - p;
    const double rest = ((p - (sum - sumBack)) + (z - sumBack)) + (form.pLow + zLow);
    const double y = sum + rest;
    const double residual = rest - (y - sum);
    // The error is below 2^-100 (|p| + |z| (3 + 2 |r| / |d|)); this bound is 32 times that, and
    // the terms that near a pole make it grow are counted in full. y is surely the nearest double
    // when y + residual, widened by the bound, still rounds to y.
    const double error =
        0x1p-95 *
            (std::fabs(p) + std::fabs(z) * (3.0 + (std::fabs(r) + std::fabs(x)) / std::fabs(d))) +
        0x1p-1060;
    ok = y + (residual + std::copysign(error, residual)) == y;
    return y;
}

} // namespace

} // namespace Detail

// ---------------------------------------------------------------------------------------------
// Checks and factories

bool IsExactDecimal(const std::string& text) {
    Detail::Integer mantissa;
    long exponent = 0;
    return Detail::ParseDecimal(text, mantissa, exponent) == Detail::DecimalError::e_None;
}

std::optional<ExactMapKind> ClassifyExactDefinition(const ExactDefinition& definition) {
    for (const std::string* text : {&definition.A, &definition.B, &definition.C, &definition.D}) {
        if (!IsExactDecimal(*text)) {
            return std::nullopt;
        }
    }
    const ExactMap map = ExactMap::Parse(definition);
    if (map.IsConstant()) {
        return ExactMapKind::e_Constant;
    }
    const bool identity = map.a == 0 && map.d == 0 && map.b == map.c;
    return identity ? ExactMapKind::e_Identity : ExactMapKind::e_Invertible;
}

std::unique_ptr<IUnitConverterEngine> MakeExactEngine(const ExactDefinition& definition) {
    const ExactMap map = InvertibleMap(definition);
    CheckRange(definition, map);
    return EngineAccess::MakeEngine(map);
}

std::unique_ptr<LinearUnitConverter> MakeExactLinear(const std::string& scale,
                                                     const std::string& offset) {
    const ExactDefinition definition{offset, scale, "1", "0"};
    const ExactMap map = InvertibleMap(definition);
    CheckRange(definition, map);
    return EngineAccess::MakeLinear(Detail::RefOf(map), true);
}

std::unique_ptr<LinearUnitConverter> MakeExactLinear(std::int64_t a, std::int64_t b,
                                                     std::int64_t c) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 62;
    const auto describe = [&] {
        return "exact definition (A " + std::to_string(a) + ", B " + std::to_string(b) + ", C " +
               std::to_string(c) + ")";
    };
    for (const std::int64_t value : {a, b, c}) {
        if (value <= -kLimit || value >= kLimit) {
            throw std::invalid_argument(describe() + ": an integer is 2^62 or more in magnitude");
        }
    }
    if (b == 0 || c == 0) {
        throw std::invalid_argument(describe() + ": B and C must not be 0");
    }
    // Integers this small give a scale and an offset well inside the range of double.
    return EngineAccess::MakeLinear(Detail::SmallRef(a, b, c, 0), true);
}

bool IsExact(IUnitConverterEngine& engine) {
    return Detail::ExactFormOf(engine).has_value();
}

bool GetExactDefinition(IUnitConverterEngine& engine, ExactDefinition& definition) {
    const std::optional<ExactMap> map = Detail::ExactFormOf(engine);
    if (!map) {
        return false;
    }
    definition = ExactDefinition{map->a.str(), map->b.str(), map->c.str(), map->d.str()};
    return true;
}

std::unique_ptr<IUnitConverterEngine> ComposeExact(IUnitConverterEngine& first,
                                                   IUnitConverterEngine& second) {
    const std::optional<ExactMap> before = Detail::ExactFormOf(first);
    if (!before) {
        return nullptr;
    }
    const std::optional<ExactMap> after = Detail::ExactFormOf(second);
    if (!after) {
        return nullptr;
    }
    return EngineAccess::MakeEngine(before->Then(*after));
}

// ---------------------------------------------------------------------------------------------
// RationalUnitConverter

RationalUnitConverter::RationalUnitConverter(const ExactDefinition& definition)
    : IUnitConverterEngine(e_RationalEngine), m_p(0.0), m_q(0.0), m_r(0.0) {
    ExactMap map = InvertibleMap(definition);
    if (map.IsLinear()) {
        throw std::invalid_argument(Detail::DescribeDefinition(definition) +
                                    ": D is 0, which makes a linear engine; use MakeExactEngine");
    }
    CheckRange(definition, map);
    m_pForm = Detail::RationalFormOf(map, m_p, m_q, m_r);
}

RationalUnitConverter::RationalUnitConverter(const RationalUnitConverter& other) = default;

RationalUnitConverter&
RationalUnitConverter::operator=(const RationalUnitConverter& other) = default;

RationalUnitConverter::~RationalUnitConverter() = default;

void RationalUnitConverter::GetCoefficients(double& p, double& q, double& r) {
    p = m_p;
    q = m_q;
    r = m_r;
}

std::unique_ptr<IUnitConverterEngine> RationalUnitConverter::Clone() {
    return std::make_unique<RationalUnitConverter>(*this);
}

void RationalUnitConverter::Convert(std::vector<double>& values) {
    for (double& value : values) {
        value = Convert(value);
    }
}

void RationalUnitConverter::Convert(std::vector<float>& values) {
    for (float& value : values) {
        value = Convert(value);
    }
}

double RationalUnitConverter::Convert(double value) {
    bool ok = false;
    const double y = Detail::QuickRational(*m_pForm, m_p, m_q, m_r, value, ok);
    if (ok) {
        return y;
    }
    // At a pole, or beyond the finite numbers, IEEE arithmetic gives the limit.
    const double exact =
        std::isfinite(value) ? Detail::EvaluateExactly(m_pForm->map, value) : std::nan("");
    return std::isnan(exact) ? m_p + m_q / (m_r + value) : exact;
}

float RationalUnitConverter::Convert(float value) {
    bool ok = false;
    const double y = Detail::QuickRational(*m_pForm, m_p, m_q, m_r, value, ok);
    if (ok && Detail::FloatSafe(y)) {
        return static_cast<float>(y);
    }
    const float exact =
        std::isfinite(value) ? Detail::EvaluateExactly(m_pForm->map, value) : std::nanf("");
    return std::isnan(exact) ? static_cast<float>(m_p + m_q / (m_r + value)) : exact;
}

bool RationalUnitConverter::IsUnity() {
    return false;
}

bool RationalUnitConverter::IsInvertible() {
    return true;
}

std::unique_ptr<IUnitConverterEngine> RationalUnitConverter::GetInverse() {
    return EngineAccess::MakeEngine(m_pForm->map.Inverse());
}

} // namespace Orv::Pim::Core::Service::Units::Converter
