// Exact engines: the factories, the rational engine, and the access to exact forms.
#include "ExactMap.h"
#include "Loops.h"

#include <units/converter/ExactEngines.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace {

std::invalid_argument OutOfRange(const ExactDefinition& definition, const char* what) {
    return std::invalid_argument(Detail::DescribeDefinition(definition) + ": " + what +
                                 " is beyond the range of double");
}

// Refuses definitions whose rounded coefficients would make an engine that does not behave like
// the exact map: infinite, or a zero scale that would lose every value.
void CheckRange(const ExactDefinition& definition, const Detail::ExactMap& map) {
    if (map.IsLinear()) {
        const double scale = map.Scale();
        if (!std::isfinite(scale) || scale == 0.0) {
            throw OutOfRange(definition, "the scale B/C");
        }
        if (!std::isfinite(map.Offset())) {
            throw OutOfRange(definition, "the offset A/C");
        }
        return;
    }
    double p = 0.0;
    double q = 0.0;
    double r = 0.0;
    map.RationalCoefficients(p, q, r);
    if (!std::isfinite(p) || !std::isfinite(q) || !std::isfinite(r) || q == 0.0) {
        throw OutOfRange(definition, "a coefficient of p + q / (r + x)");
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Access to the exact forms

namespace Detail {

std::unique_ptr<IUnitConverterEngine> ExactAccess::MakeEngine(const ExactMap& map) {
    if (map.IsLinear()) {
        return MakeLinear(map);
    }
    return std::unique_ptr<IUnitConverterEngine>(
        new RationalUnitConverter(std::make_unique<ExactMap>(map)));
}

std::unique_ptr<LinearUnitConverter> ExactAccess::MakeLinear(const ExactMap& map) {
    auto engine = std::make_unique<LinearUnitConverter>(map.Scale(), map.Offset());
    engine->m_exact = RefOf(map);
    return engine;
}

std::unique_ptr<LinearUnitConverter> ExactAccess::MakeLinear(const ExactRef& ref) {
    auto engine = std::make_unique<LinearUnitConverter>(0.0, 0.0);
    engine->m_exact = ref;
    RoundLinear(ref, engine->m_scale, engine->m_offset);
    return engine;
}

std::optional<ExactMap> ExactAccess::ExactFormOf(IUnitConverterEngine& engine) {
    if (auto* linear = dynamic_cast<LinearUnitConverter*>(&engine)) {
        if (linear->m_exact.kind != ExactRef::e_None) {
            return MapOf(linear->m_exact);
        }
        return std::nullopt;
    }
    if (auto* rational = dynamic_cast<RationalUnitConverter*>(&engine)) {
        return *rational->m_pExact;
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
// Factories

std::unique_ptr<IUnitConverterEngine> MakeExactEngine(const ExactDefinition& definition) {
    const Detail::ExactMap map = Detail::ExactMap::FromDefinition(definition);
    CheckRange(definition, map);
    return Detail::ExactAccess::MakeEngine(map);
}

std::unique_ptr<LinearUnitConverter> MakeExactLinear(const std::string& scale,
                                                     const std::string& offset) {
    const ExactDefinition definition{offset, scale, "1", "0"};
    const Detail::ExactMap map = Detail::ExactMap::FromDefinition(definition);
    CheckRange(definition, map);
    return Detail::ExactAccess::MakeLinear(map);
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
    Detail::ExactRef ref;
    ref.kind = Detail::ExactRef::e_Small;
    ref.small[0] = a;
    ref.small[1] = b;
    ref.small[2] = c;
    ref.small[3] = 0;
    return Detail::ExactAccess::MakeLinear(ref);
}

bool IsExact(IUnitConverterEngine& engine) {
    return Detail::ExactAccess::ExactFormOf(engine).has_value();
}

bool GetExactDefinition(IUnitConverterEngine& engine, ExactDefinition& definition) {
    const std::optional<Detail::ExactMap> map = Detail::ExactAccess::ExactFormOf(engine);
    if (!map) {
        return false;
    }
    definition = map->ToDefinition();
    return true;
}

std::unique_ptr<IUnitConverterEngine> ComposeExact(IUnitConverterEngine& first,
                                                   IUnitConverterEngine& second) {
    const std::optional<Detail::ExactMap> before = Detail::ExactAccess::ExactFormOf(first);
    if (!before) {
        return nullptr;
    }
    const std::optional<Detail::ExactMap> after = Detail::ExactAccess::ExactFormOf(second);
    if (!after) {
        return nullptr;
    }
    return Detail::ExactAccess::MakeEngine(before->Then(*after));
}

// ---------------------------------------------------------------------------------------------
// RationalUnitConverter

RationalUnitConverter::RationalUnitConverter(const ExactDefinition& definition)
    : IUnitConverterEngine(e_RationalEngine), m_p(0.0), m_q(0.0), m_r(0.0) {
    Detail::ExactMap map = Detail::ExactMap::FromDefinition(definition);
    if (map.IsLinear()) {
        throw std::invalid_argument(Detail::DescribeDefinition(definition) +
                                    ": D is 0, which makes a linear engine; use MakeExactEngine");
    }
    CheckRange(definition, map);
    map.RationalCoefficients(m_p, m_q, m_r);
    m_pExact = std::make_unique<Detail::ExactMap>(std::move(map));
}

RationalUnitConverter::RationalUnitConverter(std::unique_ptr<Detail::ExactMap> exact)
    : IUnitConverterEngine(e_RationalEngine), m_p(0.0), m_q(0.0), m_r(0.0),
      m_pExact(std::move(exact)) {
    m_pExact->RationalCoefficients(m_p, m_q, m_r);
}

RationalUnitConverter::RationalUnitConverter(const RationalUnitConverter& other)
    : IUnitConverterEngine(other), m_p(other.m_p), m_q(other.m_q), m_r(other.m_r),
      m_pExact(std::make_unique<Detail::ExactMap>(*other.m_pExact)) {}

RationalUnitConverter& RationalUnitConverter::operator=(const RationalUnitConverter& other) {
    if (this != &other) {
        IUnitConverterEngine::operator=(other);
        m_p = other.m_p;
        m_q = other.m_q;
        m_r = other.m_r;
        m_pExact = std::make_unique<Detail::ExactMap>(*other.m_pExact);
    }
    return *this;
}

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
    const double p = m_p;
    const double q = m_q;
    const double r = m_r;
    Detail::Reciprocal(values.data(), values.size(), p, q, r);
}

void RationalUnitConverter::Convert(std::vector<float>& values) {
    const float p = static_cast<float>(m_p);
    const float q = static_cast<float>(m_q);
    const float r = static_cast<float>(m_r);
    Detail::Reciprocal(values.data(), values.size(), p, q, r);
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
    return std::unique_ptr<IUnitConverterEngine>(
        new RationalUnitConverter(std::make_unique<Detail::ExactMap>(m_pExact->Inverse())));
}

} // namespace Orv::Pim::Core::Service::Units::Converter
