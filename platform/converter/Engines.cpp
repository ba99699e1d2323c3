// The linear and composite converter engines.
#include <units/interfaces/ConverterEngine.h>

#include <cmath>
#include <cstddef>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace {

// `values[i] = scale * values[i] + offset` over a whole buffer. The coefficients are locals and
// the loops have no call and no branch, so the compiler turns them into vector instructions. The
// fixed-size blocks let it do so even at -O2, where it will not vectorise a loop of unknown length.
template <typename T>
void ScaleAndShift(T* values, std::size_t count, T scale, T offset) {
    constexpr std::size_t block = 16;
    std::size_t i = 0;
    for (; i + block <= count; i += block) {
        T* chunk = values + i;
        for (std::size_t j = 0; j < block; ++j) {
            chunk[j] = scale * chunk[j] + offset;
        }
    }
    for (; i < count; ++i) {
        values[i] = scale * values[i] + offset;
    }
}

} // namespace

IUnitConverterEngine::~IUnitConverterEngine() = default;

// ---------------------------------------------------------------------------------------------
// LinearUnitConverter

LinearUnitConverter::LinearUnitConverter(double scale, double offset)
    : IUnitConverterEngine(e_LinearEngine), m_scale(scale), m_offset(offset) {}

LinearUnitConverter::LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second)
    : IUnitConverterEngine(e_LinearEngine),
      // second(first(x)) = s2 * (s1 * x + o1) + o2 = (s2 * s1) * x + (s2 * o1 + o2)
      m_scale(second->m_scale * first->m_scale),
      m_offset(second->m_scale * first->m_offset + second->m_offset) {}

LinearUnitConverter::LinearUnitConverter(const LinearUnitConverter& other) = default;

LinearUnitConverter& LinearUnitConverter::operator=(const LinearUnitConverter& other) = default;

LinearUnitConverter::~LinearUnitConverter() = default;

void LinearUnitConverter::GetScaleAndOffset(double& scale, double& offset) {
    scale = m_scale;
    offset = m_offset;
}

std::unique_ptr<IUnitConverterEngine> LinearUnitConverter::Clone() {
    return std::make_unique<LinearUnitConverter>(*this);
}

void LinearUnitConverter::Convert(std::vector<double>& values) {
    ScaleAndShift(values.data(), values.size(), m_scale, m_offset);
}

void LinearUnitConverter::Convert(std::vector<float>& values) {
    ScaleAndShift(values.data(), values.size(), static_cast<float>(m_scale),
                  static_cast<float>(m_offset));
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
