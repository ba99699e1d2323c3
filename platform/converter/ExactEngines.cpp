// Exact engines: the factories, the checks of definitions, the rational engine, and the access to
// exact forms.
#include "ExactMap.h"
#include "Loops.h"

#include <units/converter/ExactEngines.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

using Detail::EngineAccess;
using Detail::ExactMap;

namespace {

// p + q / (r + x) with p = b/d, q = (a*d - b*c)/d^2 and r = c/d, each the double nearest.
void RationalCoefficients(const ExactMap& map, double& p, double& q, double& r) {
    p = Detail::NearestDouble(map.b, map.d);
    q = Detail::NearestDouble(map.a * map.d - map.b * map.c, map.d * map.d);
    r = Detail::NearestDouble(map.c, map.d);
}

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
    RationalCoefficients(map, p, q, r);
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
        return MakeLinear(RefOf(map));
    }
    double p = 0.0;
    double q = 0.0;
    double r = 0.0;
    RationalCoefficients(map, p, q, r);
    return std::unique_ptr<IUnitConverterEngine>(
        new RationalUnitConverter(std::make_shared<const ExactMap>(map), p, q, r));
}

const ExactMap& EngineAccess::Exact(const RationalUnitConverter& engine) {
    return *engine.m_pExact;
}

std::optional<ExactMap> ExactFormOf(IUnitConverterEngine& engine) {
    if (auto* linear = dynamic_cast<LinearUnitConverter*>(&engine)) {
        const ExactRef& ref = EngineAccess::Exact(*linear);
        if (ref.kind == ExactRef::e_None) {
            return std::nullopt;
        }
        return MapOf(ref);
    }
    if (auto* rational = dynamic_cast<RationalUnitConverter*>(&engine)) {
        return EngineAccess::Exact(*rational);
    }
    if (auto* composite = dynamic_cast<CompositeUnitConverter*>(&engine)) {
        std::optional<ExactMap> first = ExactFormOf(*composite->First());
        if (!first) {
            return std::nullopt;
        }
        std::optional<ExactMap> second = ExactFormOf(*composite->Second());
        if (!second) {
            return std::nullopt;
        }
        return first->Then(*second);
    }
    return std::nullopt;
}

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
    return EngineAccess::MakeLinear(Detail::RefOf(map));
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
    return EngineAccess::MakeLinear(Detail::SmallRef(a, b, c, 0));
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
    RationalCoefficients(map, m_p, m_q, m_r);
    m_pExact = std::make_shared<const ExactMap>(std::move(map));
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
    Detail::Reciprocal(values.data(), values.size(), m_p, m_q, m_r);
}

void RationalUnitConverter::Convert(std::vector<float>& values) {
    Detail::Reciprocal(values.data(), values.size(), static_cast<float>(m_p),
                       static_cast<float>(m_q), static_cast<float>(m_r));
}

double RationalUnitConverter::Convert(double value) {
    return m_p + m_q / (m_r + value);
}

float RationalUnitConverter::Convert(float value) {
    return static_cast<float>(m_p) + static_cast<float>(m_q) / (static_cast<float>(m_r) + value);
}

bool RationalUnitConverter::IsUnity() {
    return false;
}

bool RationalUnitConverter::IsInvertible() {
    return true;
}

std::unique_ptr<IUnitConverterEngine> RationalUnitConverter::GetInverse() {
    return EngineAccess::MakeEngine(m_pExact->Inverse());
}

} // namespace Orv::Pim::Core::Service::Units::Converter
