// The loops behind conversions by linear engines, one set per instruction set: AVX-512 and AVX2,
// each with fused multiply-adds, and plain code for any other processor. The first call picks the
// best set the processor runs; every set gives the same results, bit for bit, since each result
// is the correctly rounded one.
#pragma once

#include <cstddef>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

struct LinearParts;

/// One instruction set's conversions of single values and of arrays in place.
struct LinearLoops {
    double (*one)(const LinearParts& parts, double value);
    float (*oneFloat)(const LinearParts& parts, float value);
    void (*many)(const LinearParts& parts, double* values, std::size_t count);
    void (*manyFloat)(const LinearParts& parts, float* values, std::size_t count);
};

/// The loops for this processor.
const LinearLoops& Loops();

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
