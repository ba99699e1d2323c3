// Conversion between two units of one dimension. A value travels input unit -> base unit ->
// output unit: the input unit's own engine first, then the inverse of the output unit's engine.
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitException.h>
#include <units/converter/Engines.h>

#include <new>
#include <utility>

namespace Orv::Pim::Core::Service::Units {

using Converter::CompositeUnitConverter;
using Converter::IUnitConverterEngine;
using Converter::LinearUnitConverter;

namespace {

bool IsLinear(IUnitConverterEngine const* engine) {
    return engine->m_eType == Converter::e_LinearEngine;
}

} // namespace

UnitConverter::UnitConverter(Unit const* inputUnit, Unit const* outputUnit)
    : m_pInputUnit(inputUnit), m_pOutputUnit(outputUnit), m_pConverter() {
    if (inputUnit == nullptr || outputUnit == nullptr) {
        throw UnitException("NULL arguments passed to UnitConverter");
    }
    IUnitConverterEngine* inputEngine = inputUnit->Converter();
    IUnitConverterEngine* outputEngine = outputUnit->Converter();
    // The input engine is never asked whether it inverts: only the output side is inverted.
    bool const convertible = inputEngine != nullptr &&
                             inputUnit->GetDimension() == outputUnit->GetDimension() &&
                             outputEngine != nullptr && outputEngine->IsInvertible();
    std::unique_ptr<IUnitConverterEngine> inverse;
    if (convertible) {
        inverse = outputEngine->GetInverse();
    }
    if (!inverse) {
        throw UnitException("Cannot convert from " + inputUnit->Symbol() + " to " +
                            outputUnit->Symbol());
    }

    if (IsLinear(inputEngine) && IsLinear(outputEngine) && IsLinear(inverse.get())) {
        // Two linear steps fold into one; the folded engine keeps neither, so the inverse goes.
        m_pConverter.reset(
            new LinearUnitConverter(static_cast<LinearUnitConverter*>(inputEngine),
                                    static_cast<LinearUnitConverter*>(inverse.get())));
    } else {
        // The composite borrows the input unit's engine, which the unit keeps for the process's
        // life, and owns the inverse handed over here.
        m_pConverter.reset(new CompositeUnitConverter(inputEngine, inverse.release()));
    }
}

UnitConverter::UnitConverter(UnitConverter const& other)
    : m_pInputUnit(other.m_pInputUnit), m_pOutputUnit(other.m_pOutputUnit),
      m_pConverter(other.m_pConverter->Clone()) {}

UnitConverter::~UnitConverter() = default;

UnitConverter const& UnitConverter::operator=(UnitConverter const& other) {
    if (this == &other) {
        return *this;
    }
    // Clone before touching anything, so a failing clone leaves this converter as it was.
    std::unique_ptr<IUnitConverterEngine> clone = other.m_pConverter->Clone();
    m_pInputUnit = other.m_pInputUnit;
    m_pOutputUnit = other.m_pOutputUnit;
    m_pConverter = std::move(clone);
    return *this;
}

Unit const* UnitConverter::InputUnit() const {
    return m_pInputUnit;
}

Unit const* UnitConverter::OutputUnit() const {
    return m_pOutputUnit;
}

Converter::IUnitConverterEngine* UnitConverter::Converter() const {
    return m_pConverter.get();
}

double UnitConverter::Convert(double value) const {
    return m_pConverter->Convert(value);
}

float UnitConverter::Convert(float value) const {
    return m_pConverter->Convert(value);
}

void UnitConverter::Convert(std::vector<double>& values) const {
    m_pConverter->Convert(values);
}

void UnitConverter::Convert(std::vector<float>& values) const {
    m_pConverter->Convert(values);
}

bool UnitConverter::IsUnity() const {
    return m_pConverter->IsUnity();
}

bool UnitConverter::IsInvertible() const {
    return m_pConverter->IsInvertible();
}

UnitConverter* UnitConverter::GetInverse() const {
    // Composed afresh from the swapped units, so the constructor's checks and messages apply.
    UnitConverter* inverse = new (std::nothrow) UnitConverter(m_pOutputUnit, m_pInputUnit);
    if (inverse == nullptr) {
        throw UnitException("Memory allocation failure in UnitConverter::GetInverse.");
    }
    return inverse;
}

double UnitConverter::Convert(double value, Unit* from, Unit* to) {
    UnitConverter const converter(from, to);
    return converter.Convert(value);
}

double UnitConverter::ConvertToBase(double value, Measurement const* measurement) {
    if (measurement == nullptr) {
        return 0.0;
    }
    Unit* baseUnit = measurement->BaseUnit();
    Unit* currentUnit = measurement->CurrentUnit();
    UnitConverter const converter(currentUnit, baseUnit);
    return converter.Convert(value);
}

double UnitConverter::ConvertFromBase(double value, Measurement const* measurement) {
    if (measurement == nullptr) {
        return 0.0;
    }
    Unit* currentUnit = measurement->CurrentUnit();
    Unit* baseUnit = measurement->BaseUnit();
    UnitConverter const converter(baseUnit, currentUnit);
    return converter.Convert(value);
}

} // namespace Orv::Pim::Core::Service::Units
