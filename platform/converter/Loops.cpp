#include "Loops.h"

// Function multi-versioning: GCC builds one version of each loop per target and resolves the call
// once, at load, to the best one the processor supports. Elsewhere the loops are built once, for
// the baseline.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__)
#define ORV_VECTOR_VERSIONS __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define ORV_VECTOR_VERSIONS
#endif

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

// Each loop body is one expression with no call or branch, so that the loop becomes vector code.
// The coefficients are copies held in registers, which no store to the values can change.

ORV_VECTOR_VERSIONS
void ScaleAndOffset(double* values, std::size_t count, double scale, double offset) {
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = scale * values[i] + offset;
    }
}

ORV_VECTOR_VERSIONS
void ScaleAndOffset(float* values, std::size_t count, float scale, float offset) {
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = scale * values[i] + offset;
    }
}

ORV_VECTOR_VERSIONS
void Reciprocal(double* values, std::size_t count, double p, double q, double r) {
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = p + q / (r + values[i]);
    }
}

ORV_VECTOR_VERSIONS
void Reciprocal(float* values, std::size_t count, float p, float q, float r) {
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = p + q / (r + values[i]);
    }
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
