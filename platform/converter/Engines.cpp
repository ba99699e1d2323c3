// The linear and composite converter engines.
#include "ExactMap.h"
#include "Loops.h"

#include <units/interfaces/ConverterEngine.h>

#include <cmath>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

IUnitConverterEngine::~IUnitConverterEngine() = default;

// ---------------------------------------------------------------------------------------------
// LinearUnitConverter

LinearUnitConverter::LinearUnitConverter(double scale, double offset)
    : IUnitConverterEngine(e_LinearEngine), m_scale(scale), m_offset(offset) {}

LinearUnitConverter::LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second)
    : IUnitConverterEngine(e_LinearEngine),
      // second(first(x)) = s2 * (s1 * x + o1) + o2 = (s2 * s1) * x + (s2 * o1 + o2)
      m_scale(second->m_scale * first->m_scale),
      m_offset(second->m_scale * first->m_offset + second->m_offset) {
    if (first->m_pExact && second->m_pExact) {
        // Both are exact: compose the exact forms and round once, instead of rounding twice.
        m_pExact = std::make_unique<Detail::ExactMap>(first->m_pExact->Then(*second->m_pExact));
        m_scale = m_pExact->Scale();
        m_offset = m_pExact->Offset();
    }
}

LinearUnitConverter::LinearUnitConverter(const LinearUnitConverter& other)
    : IUnitConverterEngine(other), m_scale(other.m_scale), m_offset(other.m_offset),
      m_pExact(other.m_pExact ? std::make_unique<Detail::ExactMap>(*other.m_pExact) : nullptr) {}

LinearUnitConverter& LinearUnitConverter::operator=(const LinearUnitConverter& other) {
    if (this != &other) {
        IUnitConverterEngine::operator=(other);
        m_scale = other.m_scale;
        m_offset = other.m_offset;
        m_pExact = other.m_pExact ? std::make_unique<Detail::ExactMap>(*other.m_pExact) : nullptr;
    }
    return *this;
}

LinearUnitConverter::~LinearUnitConverter() = default;

void LinearUnitConverter::GetScaleAndOffset(double& scale, double& offset) {
    scale = m_scale;
    offset = m_offset;
}

std::unique_ptr<IUnitConverterEngine> LinearUnitConverter::Clone() {
    return std::make_unique<LinearUnitConverter>(*this);
}

void LinearUnitConverter::Convert(std::vector<double>& values) {
    // Copies of the coefficients, so the compiler knows that storing a value cannot change them.
    const double scale = m_scale;
    const double offset = m_offset;
    Detail::MapInPlace(values.data(), values.size(),
                       [scale, offset](double x) { return scale * x + offset; });
}

void LinearUnitConverter::Convert(std::vector<float>& values) {
    const float scale = static_cast<float>(m_scale);
    const float offset = static_cast<float>(m_offset);
    Detail::MapInPlace(values.data(), values.size(),
                       [scale, offset](float x) { return scale * x + offset; });
}

double LinearUnitConverter::Convert(double value) {
    return m_scale * value + m_offset;
}

float LinearUnitConverter::Convert(float value) {
    return static_cast<float>(m_scale) * value + static_cast<float>(m_offset);
}

bool LinearUnitConverter::IsUnity() {
    return m_scale == 1.0 && m_offset == 0.0;
}

bool LinearUnitConverter::IsInvertible() {
    return std::isfinite(m_scale) && m_scale != 0.0;
}

std::unique_ptr<IUnitConverterEngine> LinearUnitConverter::GetInverse() {
    if (!IsInvertible()) {
        return nullptr;
    }
    if (m_pExact) {
        return Detail::ExactAccess::MakeLinear(m_pExact->Inverse());
    }
    // y = s * x + o  gives  x = y / s - o / s.
    return std::make_unique<LinearUnitConverter>(1.0 / m_scale, -m_offset / m_scale);
}

// ---------------------------------------------------------------------------------------------
// CompositeUnitConverter

CompositeUnitConverter::CompositeUnitConverter(IUnitConverterEngine* first,
                                               IUnitConverterEngine* second)
    : IUnitConverterEngine(e_CompositeEngine), m_pFirst(first), m_pSecond(second) {}

CompositeUnitConverter::CompositeUnitConverter(std::unique_ptr<IUnitConverterEngine> first,
                                               std::unique_ptr<IUnitConverterEngine> second)
    : IUnitConverterEngine(e_CompositeEngine), m_pFirst(first.get()), m_pSecond(std::move(second)),
      m_pOwnedFirst(std::move(first)) {}

CompositeUnitConverter::~CompositeUnitConverter() = default;

std::unique_ptr<IUnitConverterEngine> CompositeUnitConverter::Clone() {
    if (m_pOwnedFirst) {
        // An engine this composite owns is never shared with the clone, the first included.
        return std::unique_ptr<IUnitConverterEngine>(
            new CompositeUnitConverter(m_pOwnedFirst->Clone(), m_pSecond->Clone()));
    }
    return std::make_unique<CompositeUnitConverter>(m_pFirst, m_pSecond->Clone().release());
}

void CompositeUnitConverter::Convert(std::vector<double>& values) {
    // Two passes keep each engine's loop tight, rather than two virtual calls per element.
    m_pFirst->Convert(values);
    m_pSecond->Convert(values);
}

void CompositeUnitConverter::Convert(std::vector<float>& values) {
    m_pFirst->Convert(values);
    m_pSecond->Convert(values);
}

double CompositeUnitConverter::Convert(double value) {
    return m_pSecond->Convert(m_pFirst->Convert(value));
}

float CompositeUnitConverter::Convert(float value) {
    return m_pSecond->Convert(m_pFirst->Convert(value));
}

bool CompositeUnitConverter::IsUnity() {
    return m_pFirst->IsUnity() && m_pSecond->IsUnity();
}

bool CompositeUnitConverter::IsInvertible() {
    return m_pFirst->IsInvertible() && m_pSecond->IsInvertible();
}

std::unique_ptr<IUnitConverterEngine> CompositeUnitConverter::GetInverse() {
    if (!IsInvertible()) {
        return nullptr;
    }
    std::unique_ptr<IUnitConverterEngine> undoSecond = m_pSecond->GetInverse();
    std::unique_ptr<IUnitConverterEngine> undoFirst = m_pFirst->GetInverse();
    if (!undoSecond || !undoFirst) {
        return nullptr;
    }
    // The inverse undoes the second engine first; it owns both inverses, since nobody else does.
    return std::unique_ptr<IUnitConverterEngine>(
        new CompositeUnitConverter(std::move(undoSecond), std::move(undoFirst)));
}

} // namespace Orv::Pim::Core::Service::Units::Converter
