// The composition of engines behind every conversion of the library (see EngineComposition.h).
#include "conversion/EngineComposition.h"

#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/converter/Engines.h>

namespace Orv::Pim::Core::Service::Units {

using Converter::CompositeUnitConverter;
using Converter::IUnitConverterEngine;
using Converter::LinearUnitConverter;

namespace {

bool IsLinear(IUnitConverterEngine const* engine) {
    return engine->m_eType == Converter::e_LinearEngine;
}

} // namespace

std::unique_ptr<IUnitConverterEngine> EngineFromBase(Unit const* unit) {
    IUnitConverterEngine* const engine = unit != nullptr ? unit->Converter() : nullptr;
    if (engine == nullptr) {
        return nullptr;
    }
    return engine->GetInverse();
}

std::unique_ptr<IUnitConverterEngine> ComposeEngine(Unit const* from, Unit const* to) {
    if (from == nullptr || to == nullptr) {
        throw UnitException("NULL arguments passed to UnitConverter");
    }
    IUnitConverterEngine* inputEngine = from->Converter();
    IUnitConverterEngine* outputEngine = to->Converter();
    // The input engine is never asked whether it inverts: only the output side is inverted.
    bool const convertible = inputEngine != nullptr && from->GetDimension() == to->GetDimension() &&
                             outputEngine != nullptr && outputEngine->IsInvertible();
    std::unique_ptr<IUnitConverterEngine> inverse;
    if (convertible) {
        inverse = EngineFromBase(to);
    }
    if (!inverse) {
        throw UnitException("Cannot convert from " + from->Symbol() + " to " + to->Symbol());
    }

    if (IsLinear(inputEngine) && IsLinear(outputEngine) && IsLinear(inverse.get())) {
        // Two linear steps fold into one; the folded engine keeps neither, so the inverse goes.
        return std::unique_ptr<IUnitConverterEngine>(
            new LinearUnitConverter(static_cast<LinearUnitConverter*>(inputEngine),
                                    static_cast<LinearUnitConverter*>(inverse.get())));
    }
    // The composite borrows the input unit's engine, which the unit keeps for the process's life,
    // and owns the inverse handed over here.
    return std::unique_ptr<IUnitConverterEngine>(
        new CompositeUnitConverter(inputEngine, inverse.release()));
}

double ConvertOnce(double value, Unit const* from, Unit const* to) {
    return ComposeEngine(from, to)->Convert(value);
}

} // namespace Orv::Pim::Core::Service::Units
