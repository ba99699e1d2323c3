// Conversion of values in memory the caller owns: the loops of the engines' vector forms, run over
// the caller's values rather than over a vector's.
#include "ExactMap.h"
#include "Kernels.h"
#include "Loops.h"

#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <algorithm>
#include <type_traits>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace {

// Each case runs the loop that the engine's vector form runs, with the same coefficients, so the
// values come out as they would from a vector, bit for bit.
template <typename T>
void ConvertInPlace(IUnitConverterEngine& engine, T* values, std::size_t count) {
    switch (engine.m_eType) {
    case e_LinearEngine: {
        const Detail::LinearParts parts =
            Detail::EngineAccess::PartsOf(static_cast<LinearUnitConverter&>(engine));
        if constexpr (std::is_same_v<T, double>) {
            Detail::Loops().many(parts, values, count);
        } else {
            Detail::Loops().manyFloat(parts, values, count);
        }
        return;
    }
    case e_RationalEngine: {
        auto& rational = static_cast<RationalUnitConverter&>(engine);
        std::transform(values, values + count, values,
                       [&rational](T value) { return rational.Convert(value); });
        return;
    }
    case e_CompositeEngine: {
        auto& composite = static_cast<CompositeUnitConverter&>(engine);
        if (IUnitConverterEngine* composed = Detail::EngineAccess::Composed(composite)) {
            ConvertInPlace(*composed, values, count);
            return;
        }
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
