#include "Loops.h"

#include <cstdint>

// Function multi-versioning: GCC builds one version of each loop per target and resolves the call
// once, at load, to the best one the processor supports. Elsewhere the loops are built once, for
// the baseline.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__)
#define ORV_VECTOR_VERSIONS __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define ORV_VECTOR_VERSIONS
#endif

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

// Elements before the first 64-byte boundary. Vector stores that straddle two cache lines cost
// about half as much again, and a std::vector's data is only 16-byte aligned, so the loops below
// convert these few one by one and the rest with aligned stores.
template <typename T>
std::size_t HeadCount(const T* values, std::size_t count) {
    const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(values) % 64;
    const std::size_t head = misalignment == 0 ? 0 : (64 - misalignment) / sizeof(T);
    return head < count ? head : count;
}

template <typename T>
T* Aligned(T* values) {
#if defined(__GNUC__)
    return static_cast<T*>(__builtin_assume_aligned(values, 64));
#else
    return values;
#endif
}

// Each loop body is one expression with no call or branch, so that the loop becomes vector code.
// The coefficients are copies held in registers, which no store to the values can change. The
// versions and their resolver stay inside this file: GCC gives a resolver default visibility
// whatever it is asked for, which would export it from the library.

ORV_VECTOR_VERSIONS
void ScaleAndOffsetLoop(double* values, std::size_t count, double scale, double offset) {
    const std::size_t head = HeadCount(values, count);
    for (std::size_t i = 0; i < head; ++i) {
        values[i] = scale * values[i] + offset;
    }
    if (head == count) {
        return; // all done; values + head need not be aligned
    }
    double* const body = Aligned(values + head);
    for (std::size_t i = 0; i < count - head; ++i) {
        body[i] = scale * body[i] + offset;
    }
}

ORV_VECTOR_VERSIONS
void ScaleAndOffsetLoop(float* values, std::size_t count, float scale, float offset) {
    const std::size_t head = HeadCount(values, count);
    for (std::size_t i = 0; i < head; ++i) {
        values[i] = scale * values[i] + offset;
    }
    if (head == count) {
        return; // all done; values + head need not be aligned
    }
    float* const body = Aligned(values + head);
    for (std::size_t i = 0; i < count - head; ++i) {
        body[i] = scale * body[i] + offset;
    }
}

ORV_VECTOR_VERSIONS
void ReciprocalLoop(double* values, std::size_t count, double p, double q, double r) {
    const std::size_t head = HeadCount(values, count);
    for (std::size_t i = 0; i < head; ++i) {
        values[i] = p + q / (r + values[i]);
    }
    if (head == count) {
        return; // all done; values + head need not be aligned
    }
    double* const body = Aligned(values + head);
    for (std::size_t i = 0; i < count - head; ++i) {
        body[i] = p + q / (r + body[i]);
    }
}

ORV_VECTOR_VERSIONS
void ReciprocalLoop(float* values, std::size_t count, float p, float q, float r) {
    const std::size_t head = HeadCount(values, count);
    for (std::size_t i = 0; i < head; ++i) {
        values[i] = p + q / (r + values[i]);
    }
    if (head == count) {
        return; // all done; values + head need not be aligned
    }
    float* const body = Aligned(values + head);
    for (std::size_t i = 0; i < count - head; ++i) {
        body[i] = p + q / (r + body[i]);
    }
}

} // namespace

void ScaleAndOffset(double* values, std::size_t count, double scale, double offset) {
    ScaleAndOffsetLoop(values, count, scale, offset);
}

void ScaleAndOffset(float* values, std::size_t count, float scale, float offset) {
    ScaleAndOffsetLoop(values, count, scale, offset);
}

void Reciprocal(double* values, std::size_t count, double p, double q, double r) {
    ReciprocalLoop(values, count, p, q, r);
}

void Reciprocal(float* values, std::size_t count, float p, float q, float r) {
    ReciprocalLoop(values, count, p, q, r);
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
