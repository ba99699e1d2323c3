// Conversion of values in memory the caller owns: the loops of the engines' vector forms, run over
// the caller's values rather than over a vector's.
#include "Loops.h"

#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <algorithm>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace {

// Each case runs the loop that the engine's vector form runs, with the same coefficients, so the
// values come out as they would from a vector, bit for bit.
template <typename T>
void ConvertInPlace(IUnitConverterEngine& engine, T* values, std::size_t count) {
    switch (engine.m_eType) {
    case e_LinearEngine: {
        double scale = 0.0;
        double offset = 0.0;
        static_cast<LinearUnitConverter&>(engine).GetScaleAndOffset(scale, offset);
        Detail::ScaleAndOffset(values, count, static_cast<T>(scale), static_cast<T>(offset));
        return;
    }
    case e_RationalEngine: {
        double p = 0.0;
        double q = 0.0;
        double r = 0.0;
        static_cast<RationalUnitConverter&>(engine).GetCoefficients(p, q, r);
        Detail::Reciprocal(values, count, static_cast<T>(p), static_cast<T>(q), static_cast<T>(r));
        return;
    }
    case e_CompositeEngine: {
        auto& composite = static_cast<CompositeUnitConverter&>(engine);
        ConvertInPlace(*composite.First(), values, count);
        ConvertInPlace(*composite.Second(), values, count);
        return;
    }
    default: {
        // A host's engine knows only vectors: the values pass through one, a block at a time.
        constexpr std::size_t kBlock = 4096;
        std::vector<T> block;
        for (std::size_t done = 0; done < count; done += kBlock) {
            block.assign(values + done, values + std::min(count, done + kBlock));
            engine.Convert(block);
            std::copy(block.begin(), block.end(), values + done);
        }
    }
    }
}

} // namespace

void ConvertValues(IUnitConverterEngine& engine, double* values, std::size_t count) {
    ConvertInPlace(engine, values, count);
}

void ConvertValues(IUnitConverterEngine& engine, float* values, std::size_t count) {
    ConvertInPlace(engine, values, count);
}

} // namespace Orv::Pim::Core::Service::Units::Converter
