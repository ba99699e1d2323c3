#include "Loops.h"

#include "Kernels.h"

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

#if defined(ORV_CONVERTER_X86_LOOPS)
// Built in files of their own, with the instruction sets enabled (LoopsAvx2.cpp, LoopsAvx512.cpp).
extern const LinearLoops kAvx2Loops;
extern const LinearLoops kAvx512Loops;
#endif

namespace {

const LinearLoops kPlainLoops = LoopsOf<ScalarOps>();

const LinearLoops& PickLoops() {
#if defined(ORV_CONVERTER_X86_LOOPS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2")) {
        return __builtin_cpu_supports("avx512f") ? kAvx512Loops : kAvx2Loops;
    }
#endif
    return kPlainLoops;
}

} // namespace

const LinearLoops& Loops() {
    static const LinearLoops& loops = PickLoops();
    return loops;
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
