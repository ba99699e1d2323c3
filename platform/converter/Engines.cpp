// The linear and composite converter engines.
#include "ExactMap.h"
#include "Loops.h"

#include <units/converter/Engines.h>

#include <cmath>
#include <new>
#include <utility>

// Under AddressSanitizer every engine comes from the general allocator, so that a use of a freed
// engine is caught and nothing is kept past the end of a thread.
#if defined(__SANITIZE_ADDRESS__)
#define ORV_KEEP_ENGINE_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_KEEP_ENGINE_BLOCKS 0
#endif
#endif
#if !defined(ORV_KEEP_ENGINE_BLOCKS)
#define ORV_KEEP_ENGINE_BLOCKS 1
#endif

namespace Orv::Pim::Core::Service::Units::Converter {

using Detail::EngineAccess;
using Detail::ExactRef;

namespace Detail {

ExactRef& EngineAccess::Exact(LinearUnitConverter& engine) {
    static_assert(sizeof(ExactRef) <= sizeof engine.m_exact && alignof(ExactRef) <= 8,
                  "the storage of LinearUnitConverter::m_exact is too small for an ExactRef");
    return *std::launder(reinterpret_cast<ExactRef*>(engine.m_exact));
}

const ExactRef& EngineAccess::Exact(const LinearUnitConverter& engine) {
    return *std::launder(reinterpret_cast<const ExactRef*>(engine.m_exact));
}

std::unique_ptr<LinearUnitConverter> EngineAccess::MakeLinear(const ExactRef& ref) {
    auto engine = std::make_unique<LinearUnitConverter>(0.0, 0.0);
    RoundLinear(ref, engine->m_scale, engine->m_offset);
    Exact(*engine) = ref;
    return engine;
}

} // namespace Detail

// ---------------------------------------------------------------------------------------------
// LinearUnitConverter

#if ORV_KEEP_ENGINE_BLOCKS

namespace {

// Freed blocks of linear engines, per thread. Converting one value through a temporary converter
// makes two linear engines and destroys both, so a handful of blocks spares the general allocator
// almost every call. The cache is trivially destructible, so it stays usable while the thread
// ends; the first block kept registers a thread-exit hook that frees what is left and sends later
// blocks back to the general allocator.
struct BlockCache {
    static constexpr int kCapacity = 8;
    void* blocks[kCapacity];
    int count;
    bool hooked;
    bool closed;
};

// Reached at a fixed offset from the thread pointer: the cache is small enough for the static
// TLS space that glibc keeps even for libraries loaded late.
#if defined(__GNUC__) && defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local BlockCache t_blockCache;

struct BlockCacheHook {
    ~BlockCacheHook() {
        BlockCache& cache = t_blockCache;
        while (cache.count > 0) {
            ::operator delete(cache.blocks[--cache.count]);
        }
        cache.closed = true;
    }
};

void HookBlockCache() {
    static thread_local BlockCacheHook hook;
    static_cast<void>(hook);
}

} // namespace

void* LinearUnitConverter::operator new(std::size_t size) {
    BlockCache& cache = t_blockCache;
    if (size == sizeof(LinearUnitConverter) && cache.count > 0) {
        return cache.blocks[--cache.count];
    }
    return ::operator new(size);
}

void LinearUnitConverter::operator delete(void* block, std::size_t size) noexcept {
    if (block == nullptr) {
        return;
    }
    BlockCache& cache = t_blockCache;
    if (size == sizeof(LinearUnitConverter) && !cache.closed &&
        cache.count < BlockCache::kCapacity) {
        if (!cache.hooked) {
            cache.hooked = true;
            HookBlockCache();
        }
        cache.blocks[cache.count++] = block;
        return;
    }
    ::operator delete(block);
}

#else

void* LinearUnitConverter::operator new(std::size_t size) {
    return ::operator new(size);
}

void LinearUnitConverter::operator delete(void* block, std::size_t) noexcept {
    ::operator delete(block);
}

#endif

LinearUnitConverter::LinearUnitConverter(double scale, double offset)
    : IUnitConverterEngine(e_LinearEngine), m_scale(scale), m_offset(offset) {
    new (m_exact) ExactRef();
}

LinearUnitConverter::LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second)
    : IUnitConverterEngine(e_LinearEngine),
      // second(first(x)) = s2 * (s1 * x + o1) + o2 = (s2 * s1) * x + (s2 * o1 + o2)
      m_scale(second->m_scale * first->m_scale),
      m_offset(second->m_scale * first->m_offset + second->m_offset) {
    ExactRef& exact = *new (m_exact) ExactRef();
    const ExactRef& before = EngineAccess::Exact(*first);
    const ExactRef& after = EngineAccess::Exact(*second);
    if (before.kind == ExactRef::e_None || after.kind == ExactRef::e_None) {
        return;
    }
    // Both are exact: compose the exact forms and round once, instead of rounding twice.
    // Composing with the identity, such as a base unit's inverse, leaves the other engine's
    // form, whose coefficients the lines above have already reproduced exactly.
    if (Detail::IsIdentity(after)) {
        exact = before;
    } else if (Detail::IsIdentity(before)) {
        exact = after;
    } else {
        ExactRef composed = Detail::Compose(before, after);
        Detail::RoundLinear(composed, m_scale, m_offset);
        exact = std::move(composed);
    }
}

LinearUnitConverter::LinearUnitConverter(const LinearUnitConverter& other)
    : IUnitConverterEngine(other), m_scale(other.m_scale), m_offset(other.m_offset) {
    new (m_exact) ExactRef(EngineAccess::Exact(other));
}

LinearUnitConverter& LinearUnitConverter::operator=(const LinearUnitConverter& other) {
    IUnitConverterEngine::operator=(other);
    m_scale = other.m_scale;
    m_offset = other.m_offset;
    EngineAccess::Exact(*this) = EngineAccess::Exact(other);
    return *this;
}

LinearUnitConverter::~LinearUnitConverter() {
    EngineAccess::Exact(*this).~ExactRef();
}

void LinearUnitConverter::GetScaleAndOffset(double& scale, double& offset) {
    scale = m_scale;
    offset = m_offset;
}

std::unique_ptr<IUnitConverterEngine> LinearUnitConverter::Clone() {
    return std::make_unique<LinearUnitConverter>(*this);
}

void LinearUnitConverter::Convert(std::vector<double>& values) {
    Detail::ScaleAndOffset(values.data(), values.size(), m_scale, m_offset);
}

void LinearUnitConverter::Convert(std::vector<float>& values) {
    Detail::ScaleAndOffset(values.data(), values.size(), static_cast<float>(m_scale),
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
    const ExactRef& exact = EngineAccess::Exact(*this);
    if (exact.kind != ExactRef::e_None) {
        auto inverse = std::make_unique<LinearUnitConverter>(0.0, 0.0);
        ExactRef& undo = EngineAccess::Exact(*inverse);
        Detail::InvertInto(exact, undo);
        Detail::RoundLinear(undo, inverse->m_scale, inverse->m_offset);
        return inverse;
    }
    // y = s * x + o  gives  x = y / s - o / s.
    return std::make_unique<LinearUnitConverter>(1.0 / m_scale, -m_offset / m_scale);
}

// ---------------------------------------------------------------------------------------------
// CompositeUnitConverter

CompositeUnitConverter::CompositeUnitConverter(IUnitConverterEngine* first,
                                               IUnitConverterEngine* second)
    : IUnitConverterEngine(e_CompositeEngine), m_pFirst(first), m_pSecond(second) {}

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
