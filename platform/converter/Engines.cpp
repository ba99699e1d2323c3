// The linear and composite converter engines.
#include "ExactMap.h"
#include "Loops.h"

#include <units/converter/Engines.h>

#include <cmath>
#include <utility>

// Under AddressSanitizer a block kept for reuse is marked unaddressable until it is handed out
// again, so that a use of a freed engine is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define ORV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(ORV_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>
#define ORV_KEEP_BLOCK(block) ASAN_POISON_MEMORY_REGION(block, sizeof(LinearUnitConverter))
#define ORV_REUSE_BLOCK(block) ASAN_UNPOISON_MEMORY_REGION(block, sizeof(LinearUnitConverter))
#else
#define ORV_KEEP_BLOCK(block) static_cast<void>(block)
#define ORV_REUSE_BLOCK(block) static_cast<void>(block)
#endif

namespace Orv::Pim::Core::Service::Units::Converter {

// ---------------------------------------------------------------------------------------------
// LinearUnitConverter

namespace {

// Freed blocks of linear engines, per thread. A converter made for one value allocates two
// engines and frees both, so a handful of blocks spares the general allocator almost every call.
// The cache is trivially destructible, so it stays usable while the thread ends; the first block
// kept registers a thread-exit hook that frees what is left and sends later blocks back to the
// general allocator.
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
            void* block = cache.blocks[--cache.count];
            ORV_REUSE_BLOCK(block);
            ::operator delete(block);
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
        void* block = cache.blocks[--cache.count];
        ORV_REUSE_BLOCK(block);
        return block;
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
        ORV_KEEP_BLOCK(block);
        cache.blocks[cache.count++] = block;
        return;
    }
    ::operator delete(block);
}

LinearUnitConverter::LinearUnitConverter(double scale, double offset)
    : IUnitConverterEngine(e_LinearEngine), m_scale(scale), m_offset(offset) {}

LinearUnitConverter::LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second)
    : IUnitConverterEngine(e_LinearEngine),
      // second(first(x)) = s2 * (s1 * x + o1) + o2 = (s2 * s1) * x + (s2 * o1 + o2)
      m_scale(second->m_scale * first->m_scale),
      m_offset(second->m_scale * first->m_offset + second->m_offset) {
    if (first->m_exact.kind != Detail::ExactRef::e_None &&
        second->m_exact.kind != Detail::ExactRef::e_None) {
        // Both are exact: compose the exact forms and round once, instead of rounding twice.
        // Composing with the identity, such as a base unit's inverse, leaves the other engine's
        // form, whose coefficients the line above has already reproduced exactly.
        if (Detail::IsIdentity(second->m_exact)) {
            Detail::CopyRef(first->m_exact, m_exact);
        } else if (Detail::IsIdentity(first->m_exact)) {
            Detail::CopyRef(second->m_exact, m_exact);
        } else {
            m_exact = Detail::ComposeLinear(first->m_exact, second->m_exact, m_scale, m_offset);
        }
    }
}

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
    if (m_exact.kind != Detail::ExactRef::e_None) {
        auto inverse = std::make_unique<LinearUnitConverter>(0.0, 0.0);
        Detail::InvertInto(m_exact, inverse->m_exact);
        Detail::RoundLinear(inverse->m_exact, inverse->m_scale, inverse->m_offset);
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
