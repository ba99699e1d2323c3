// The per-element loops behind the vector forms of the engines. Each is compiled several times,
// for AVX-512, for AVX2 and for the baseline instruction set, and the first call picks the
// version the processor runs best; the results are the same in every version, bit for bit, and
// the same as the engines' single-value Convert (no multiply-add is fused).
#pragma once

#include <cstddef>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

/// values[i] = scale * values[i] + offset.
void ScaleAndOffset(double* values, std::size_t count, double scale, double offset);
/// values[i] = scale * values[i] + offset, in single precision.
void ScaleAndOffset(float* values, std::size_t count, float scale, float offset);
/// values[i] = p + q / (r + values[i]).
void Reciprocal(double* values, std::size_t count, double p, double q, double r);
/// values[i] = p + q / (r + values[i]), in single precision.
void Reciprocal(float* values, std::size_t count, float p, float q, float r);

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
