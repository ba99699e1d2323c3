// The reference for vector conversion: the loop a plain -O3 build makes of `s * x + o`.
#pragma once

#include <cstddef>

namespace OrvBench {

/// values[i] = scale * values[i] + offset, compiled apart so that nothing is known about it.
void PlainLoop(double* values, std::size_t count, double scale, double offset);
/// The same in single precision.
void PlainLoop(float* values, std::size_t count, float scale, float offset);

} // namespace OrvBench
