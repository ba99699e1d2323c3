// The linear and composite converter engines.
#include "ExactMap.h"
#include "Loops.h"

#include <units/converter/Engines.h>

#include <cmath>
#include <new>
#include <optional>
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
using Detail::LinearState;

namespace Detail {

LinearState& EngineAccess::State(LinearUnitConverter& engine) {
    static_assert(sizeof(LinearState) <= sizeof engine.m_state && alignof(LinearState) <= 8,
                  "the storage of LinearUnitConverter::m_state is too small for a LinearState");
    return *std::launder(reinterpret_cast<LinearState*>(engine.m_state));
}

const LinearState& EngineAccess::State(const LinearUnitConverter& engine) {
    return *std::launder(reinterpret_cast<const LinearState*>(engine.m_state));
}

LinearParts EngineAccess::PartsOf(const LinearUnitConverter& engine) {
    const LinearState& state = State(engine);
    return {engine.m_scale, state.scaleLow, engine.m_offset, state.offsetLow, &state.exact};
}

std::unique_ptr<LinearUnitConverter> EngineAccess::MakeLinear(const ExactRef& ref, bool defined) {
    auto engine = std::make_unique<LinearUnitConverter>(0.0, 0.0);
    LinearState& state = State(*engine);
    RoundLinear(ref, state, engine->m_scale, engine->m_offset);
    state.exact = ref;
    state.defined = defined;
    return engine;
}

void EngineAccess::Fold(LinearUnitConverter& engine, LinearUnitConverter& first, double scale,
                        double offset, const LinearState& after) {
    const LinearState& before = State(first);
    // second(first(x)) = s2 * (s1 * x + o1) + o2 = (s2 * s1) * x + (s2 * o1 + o2): the
    // coefficients when either engine's are not finite numbers, which have no exact map.
    engine.m_scale = scale * first.m_scale;
    engine.m_offset = scale * first.m_offset + offset;
    if (!(std::isfinite(engine.m_scale) && std::isfinite(engine.m_offset))) {
        new (engine.m_state) LinearState();
        return;
    }
    const auto compose = [&](const ExactRef& a, const ExactRef& b) {
        // Composing with the identity, such as a base unit's inverse, leaves the other engine,
        // whose coefficients the lines above have already reproduced exactly.
        LinearState* state = nullptr;
        if (Detail::IsIdentity(b)) {
            state = new (engine.m_state) LinearState(before);
        } else if (Detail::IsIdentity(a)) {
            state = new (engine.m_state) LinearState(after);
        } else {
            LinearState composed;
            composed.exact = Detail::Compose(a, b);
            Detail::RoundLinear(composed.exact, composed, engine.m_scale, engine.m_offset);
            state = new (engine.m_state) LinearState(std::move(composed));
        }
        state->defined = before.defined && after.defined;
    };
    // The exact map of an engine of plain doubles is made here; an exact engine's is at hand.
    if (before.exact.kind != ExactRef::e_None && after.exact.kind != ExactRef::e_None) {
        compose(before.exact, after.exact);
    } else {
        compose(Detail::RefOfEngine(before.exact, first.m_scale, first.m_offset),
                Detail::RefOfEngine(after.exact, scale, offset));
    }
}

void EngineAccess::ComposeParts(CompositeUnitConverter& engine) {
    const std::optional<ExactMap> first = ExactFormOf(*engine.m_pFirst, false);
    const std::optional<ExactMap> second =
        first ? ExactFormOf(*engine.m_pSecond, false) : std::nullopt;
    if (!second) {
        return;
    }
    std::unique_ptr<IUnitConverterEngine> composed = MakeEngine(first->Then(*second));
    // Coefficients beyond the range of double would not convert like the exact map.
    double coefficients[3] = {0.0, 0.0, 0.0};
    if (composed->m_eType == e_LinearEngine) {
        static_cast<LinearUnitConverter&>(*composed).GetScaleAndOffset(coefficients[0],
                                                                       coefficients[1]);
    } else {
        static_cast<RationalUnitConverter&>(*composed).GetCoefficients(
            coefficients[0], coefficients[1], coefficients[2]);
    }
    if (std::isfinite(coefficients[0]) && std::isfinite(coefficients[1]) &&
        std::isfinite(coefficients[2])) {
        engine.m_pComposed = std::move(composed);
    }
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
    new (m_state) LinearState();
}

LinearUnitConverter::LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second)
    : IUnitConverterEngine(e_LinearEngine), m_scale(0.0), m_offset(0.0) {
    EngineAccess::Fold(*this, *first, second->m_scale, second->m_offset,
                       EngineAccess::State(*second));
}

LinearUnitConverter::LinearUnitConverter(LinearUnitConverter* first, InverseOf,
                                         LinearUnitConverter* second)
    : IUnitConverterEngine(e_LinearEngine), m_scale(0.0), m_offset(0.0) {
    const LinearState& after = EngineAccess::State(*second);
    if (Detail::IsIdentity(after.exact)) {
        // The identity, a base unit's engine, is its own inverse: exactly 1 * x + 0, with the
        // same state. Folding with it directly spares making that inverse.
        EngineAccess::Fold(*this, *first, 1.0, 0.0, after);
        return;
    }
    LinearUnitConverter inverse(InverseOf{}, *second);
    EngineAccess::Fold(*this, *first, inverse.m_scale, inverse.m_offset,
                       EngineAccess::State(inverse));
}

LinearUnitConverter::LinearUnitConverter(InverseOf, LinearUnitConverter& engine)
    : IUnitConverterEngine(e_LinearEngine), m_scale(0.0), m_offset(0.0) {
    LinearState& undo = *new (m_state) LinearState();
    if (!std::isfinite(engine.m_offset)) {
        // y = s * x + o  gives  x = y / s - o / s.
        m_scale = 1.0 / engine.m_scale;
        m_offset = -engine.m_offset / engine.m_scale;
        return;
    }
    const LinearState& state = EngineAccess::State(engine);
    if (state.exact.kind != ExactRef::e_None) {
        Detail::InvertInto(state.exact, undo.exact);
    } else {
        Detail::InvertInto(Detail::RefOfDoubles(engine.m_scale, engine.m_offset), undo.exact);
    }
    Detail::RoundLinear(undo.exact, undo, m_scale, m_offset);
    undo.defined = state.defined;
}

LinearUnitConverter::LinearUnitConverter(const LinearUnitConverter& other)
    : IUnitConverterEngine(other), m_scale(other.m_scale), m_offset(other.m_offset) {
    new (m_state) LinearState(EngineAccess::State(other));
}

LinearUnitConverter& LinearUnitConverter::operator=(const LinearUnitConverter& other) {
    IUnitConverterEngine::operator=(other);
    m_scale = other.m_scale;
    m_offset = other.m_offset;
    EngineAccess::State(*this) = EngineAccess::State(other);
    return *this;
}

LinearUnitConverter::~LinearUnitConverter() {
    EngineAccess::State(*this).~LinearState();
}

void LinearUnitConverter::GetScaleAndOffset(double& scale, double& offset) {
    scale = m_scale;
    offset = m_offset;
}

std::unique_ptr<IUnitConverterEngine> LinearUnitConverter::Clone() {
    return std::make_unique<LinearUnitConverter>(*this);
}

void LinearUnitConverter::Convert(std::vector<double>& values) {
    Detail::Loops().many(EngineAccess::PartsOf(*this), values.data(), values.size());
}

void LinearUnitConverter::Convert(std::vector<float>& values) {
    Detail::Loops().manyFloat(EngineAccess::PartsOf(*this), values.data(), values.size());
}

double LinearUnitConverter::Convert(double value) {
    return Detail::Loops().one(EngineAccess::PartsOf(*this), value);
}

float LinearUnitConverter::Convert(float value) {
    return Detail::Loops().oneFloat(EngineAccess::PartsOf(*this), value);
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
    return std::make_unique<LinearUnitConverter>(InverseOf{}, *this);
}

// ---------------------------------------------------------------------------------------------
// CompositeUnitConverter

CompositeUnitConverter::CompositeUnitConverter(IUnitConverterEngine* first,
                                               IUnitConverterEngine* second)
    : IUnitConverterEngine(e_CompositeEngine), m_pFirst(first), m_pSecond(second) {
    EngineAccess::ComposeParts(*this);
}

CompositeUnitConverter::~CompositeUnitConverter() = default;

std::unique_ptr<IUnitConverterEngine> CompositeUnitConverter::Clone() {
    if (m_pOwnedFirst) {
        // An engine this composite owns is never shared with the clone, the first included.
        auto clone = std::unique_ptr<CompositeUnitConverter>(
            new CompositeUnitConverter(m_pOwnedFirst->Clone(), m_pSecond->Clone()));
        EngineAccess::ComposeParts(*clone);
        return clone;
    }
    return std::make_unique<CompositeUnitConverter>(m_pFirst, m_pSecond->Clone().release());
}

void CompositeUnitConverter::Convert(std::vector<double>& values) {
    if (m_pComposed) {
        m_pComposed->Convert(values);
        return;
    }
    // Two passes keep each engine's loop tight, rather than two virtual calls per element.
    m_pFirst->Convert(values);
    m_pSecond->Convert(values);
}

void CompositeUnitConverter::Convert(std::vector<float>& values) {
    if (m_pComposed) {
        m_pComposed->Convert(values);
        return;
    }
    m_pFirst->Convert(values);
    m_pSecond->Convert(values);
}

double CompositeUnitConverter::Convert(double value) {
    return m_pComposed ? m_pComposed->Convert(value) : m_pSecond->Convert(m_pFirst->Convert(value));
}

float CompositeUnitConverter::Convert(float value) {
    return m_pComposed ? m_pComposed->Convert(value) : m_pSecond->Convert(m_pFirst->Convert(value));
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
    auto inverse = std::unique_ptr<CompositeUnitConverter>(
        new CompositeUnitConverter(std::move(undoSecond), std::move(undoFirst)));
    EngineAccess::ComposeParts(*inverse);
    return inverse;
}

} // namespace Orv::Pim::Core::Service::Units::Converter
