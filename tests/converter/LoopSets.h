// The conversion loops of every instruction set that this processor runs, built into the test
// itself: the library runs only the set it picks, so a fault in the others would go unseen.
#pragma once

#include "ExactMap.h"
#include "Kernels.h"

#include <cstdint>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {
#if defined(ORV_CONVERTER_X86_LOOPS)
extern const LinearLoops kAvx2Loops;
extern const LinearLoops kAvx512Loops;
#endif
} // namespace Orv::Pim::Core::Service::Units::Converter::Detail

namespace OrvTesting {
namespace {

namespace Detail = Orv::Pim::Core::Service::Units::Converter::Detail;

struct Loops {
    const char* name;
    const Detail::LinearLoops* loops;
};

// The plain loops first, then AVX2 and AVX-512 where the processor has them.
std::vector<Loops> Runnable() {
    static const Detail::LinearLoops plain = Detail::LoopsOf<Detail::ScalarOps>();
    std::vector<Loops> runnable{{"plain", &plain}};
#if defined(ORV_CONVERTER_X86_LOOPS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2")) {
        runnable.push_back({"AVX2", &Detail::kAvx2Loops});
        if (__builtin_cpu_supports("avx512f")) {
            runnable.push_back({"AVX-512", &Detail::kAvx512Loops});
        }
    }
#endif
    return runnable;
}

// An engine's parts as the loops take them, with the state they point into: rounded from an
// exact map as the library rounds them, or two doubles without one.
struct Engine {
    Detail::LinearState state;
    Detail::LinearParts parts{};

    explicit Engine(const Detail::ExactRef& exact) {
        state.exact = exact;
        double scale = 0.0;
        double offset = 0.0;
        Detail::RoundLinear(state.exact, state, scale, offset);
        parts = {scale, state.scaleLow, offset, state.offsetLow, &state.exact};
    }
    // (a + b x) / c.
    Engine(std::int64_t a, std::int64_t b, std::int64_t c) : Engine(Detail::SmallRef(a, b, c, 0)) {}
    Engine(double scale, double offset) { parts = {scale, 0.0, offset, 0.0, &state.exact}; }
    Engine(const Engine&) = delete; // parts point into state
};

} // namespace
} // namespace OrvTesting
