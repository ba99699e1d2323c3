// The conversion loops of every instruction set that this processor runs, built into the test
// itself: the library runs only the set it picks, so a fault in the others would go unseen.
#pragma once

#include "ExactMap.h"
#include "Kernels.h"

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

} // namespace
} // namespace OrvTesting
