#include "PlainLoop.h"

namespace OrvBench {

void PlainLoop(double* values, std::size_t count, double scale, double offset) {
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = scale * values[i] + offset;
    }
}

void PlainLoop(float* values, std::size_t count, float scale, float offset) {
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = scale * values[i] + offset;
    }
}

} // namespace OrvBench
