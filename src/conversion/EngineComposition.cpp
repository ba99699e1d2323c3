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

LinearUnitConverter* AsLinear(IUnitConverterEngine* engine) {
    return static_cast<LinearUnitConverter*>(engine);
}

// Whether `engine` has an inverse; a linear engine is asked without a virtual call.
bool IsInvertible(IUnitConverterEngine* engine) {
    return IsLinear(engine) ? AsLinear(engine)->IsInvertible() : engine->IsInvertible();
}

[[noreturn]] void ThrowCannotConvert(Unit const* from, Unit const* to) {
    throw UnitException("Cannot convert from " + from->Symbol() + " to " + to->Symbol());
}

// The engines of `from` and `to` once the pair is known to convert. The input engine is never
// asked whether it inverts: only the output side is inverted.
struct EnginePair {
    IUnitConverterEngine* input;
    IUnitConverterEngine* output;
};

EnginePair CheckedEngines(Unit const* from, Unit const* to) {
    if (from == nullptr || to == nullptr) {
        throw UnitException("NULL arguments passed to UnitConverter");
    }
    IUnitConverterEngine* const input = from->Converter();
    IUnitConverterEngine* const output = to->Converter();
    if (input == nullptr || from->GetDimension() != to->GetDimension() || output == nullptr ||
        !IsInvertible(output)) {
        ThrowCannotConvert(from, to);
    }
    return {input, output};
}

// The engine of a pair that CheckedEngines passed.
std::unique_ptr<IUnitConverterEngine> Compose(Unit const* from, Unit const* to,
                                              EnginePair const& engines) {
    if (IsLinear(engines.input) && IsLinear(engines.output)) {
        // Two linear steps fold into one engine, made with the output engine's inverse in place:
        // the folded engine keeps neither, so that inverse never needs the heap.
        return std::unique_ptr<IUnitConverterEngine>(new LinearUnitConverter(
            AsLinear(engines.input), LinearUnitConverter::InverseOf{}, AsLinear(engines.output)));
    }
    std::unique_ptr<IUnitConverterEngine> inverse = engines.output->GetInverse();
    if (!inverse) {
        ThrowCannotConvert(from, to);
    }
    // The composite borrows the input unit's engine, which the unit keeps for the process's life,
    // and owns the inverse handed over here.
    return std::unique_ptr<IUnitConverterEngine>(
        new CompositeUnitConverter(engines.input, inverse.release()));
}

} // namespace

std::unique_ptr<IUnitConverterEngine> ComposeEngine(Unit const* from, Unit const* to) {
    return Compose(from, to, CheckedEngines(from, to));
}

double ConvertOnce(double value, Unit const* from, Unit const* to) {
    EnginePair const engines = CheckedEngines(from, to);
    if (IsLinear(engines.input) && IsLinear(engines.output)) {
        // ComposeEngine's folding of two linear engines, made on the stack: it lives for this
        // one value, so the heap has no part in it.
        LinearUnitConverter composed(AsLinear(engines.input), LinearUnitConverter::InverseOf{},
                                     AsLinear(engines.output));
        return composed.Convert(value);
    }
    return Compose(from, to, engines)->Convert(value);
}

double ConvertFromBaseOnce(double baseValue, Unit const* unit) {
    IUnitConverterEngine* const engine = unit != nullptr ? unit->Converter() : nullptr;
    if (engine == nullptr) {
        return 0.0;
    }
    if (IsLinear(engine)) {
        if (!AsLinear(engine)->IsInvertible()) {
            return 0.0;
        }
        LinearUnitConverter inverse(LinearUnitConverter::InverseOf{}, *AsLinear(engine));
        return inverse.Convert(baseValue);
    }
    std::unique_ptr<IUnitConverterEngine> const inverse = engine->GetInverse();
    return inverse ? inverse->Convert(baseValue) : 0.0;
}

} // namespace Orv::Pim::Core::Service::Units
