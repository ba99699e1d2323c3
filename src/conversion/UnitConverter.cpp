// Conversion between two units of one dimension, through the engine that ComposeEngine makes:
// the input unit's own engine first, then the inverse of the output unit's engine.
#include "conversion/EngineComposition.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitException.h>

#include <new>
#include <utility>

namespace Orv::Pim::Core::Service::Units {

using Converter::IUnitConverterEngine;

UnitConverter::UnitConverter(Unit const* inputUnit, Unit const* outputUnit)
    : m_pInputUnit(inputUnit), m_pOutputUnit(outputUnit),
      m_pConverter(ComposeEngine(inputUnit, outputUnit)) {}

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

// The static conversions compose an engine for each value and drop it: nothing is cached.
double UnitConverter::Convert(double value, Unit* from, Unit* to) {
    return ConvertOnce(value, from, to);
}

double UnitConverter::ConvertToBase(double value, Measurement const* measurement) {
    if (measurement == nullptr) {
        return 0.0;
    }
    // The base unit is asked first, then the current one; ConvertFromBase asks the other way.
    Unit* baseUnit = measurement->BaseUnit();
    Unit* currentUnit = measurement->CurrentUnit();
    return ConvertOnce(value, currentUnit, baseUnit);
}

double UnitConverter::ConvertFromBase(double value, Measurement const* measurement) {
    if (measurement == nullptr) {
        return 0.0;
    }
    Unit* currentUnit = measurement->CurrentUnit();
    Unit* baseUnit = measurement->BaseUnit();
    return ConvertOnce(value, baseUnit, currentUnit);
}

} // namespace Orv::Pim::Core::Service::Units
