// The unit-carrying double: construction, conversion, comparison and arithmetic. Parsing and
// formatting live in UCDoubleText.cpp.
#include "conversion/EngineComposition.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

namespace Orv::Pim::Core::Service::Units {

Dimension* UCDouble::m_pDimensionless = nullptr;

namespace {

constexpr char const* kUnitless = "Unitless";

} // namespace

void UCDouble::EnsureDimensionless() {
    if (m_pDimensionless == nullptr) {
        m_pDimensionless = Dimension::GetDimension("Dimensionless");
    }
}

UCDouble::UCDouble() : m_baseValue(0.0), m_pMeasurement(Measurement::GetMeasurement(kUnitless)) {
    EnsureDimensionless();
}

UCDouble::UCDouble(double value)
    : m_baseValue(value), m_pMeasurement(Measurement::GetMeasurement(kUnitless)) {
    EnsureDimensionless();
}

UCDouble::UCDouble(double baseValue, Measurement* measurement)
    : m_baseValue(baseValue), m_pMeasurement(measurement) {
    EnsureDimensionless();
}

UCDouble::~UCDouble() = default;

UCDouble& UCDouble::operator=(UCDouble const& other) {
    m_baseValue = other.m_baseValue;
    m_pMeasurement = other.m_pMeasurement;
    return *this;
}

double UCDouble::BaseValue() const {
    return m_baseValue;
}

void UCDouble::BaseValue(double value) {
    m_baseValue = value;
}

Measurement* UCDouble::GetMeasurement() const {
    return m_pMeasurement;
}

Unit* UCDouble::BaseUnit() const {
    if (m_pMeasurement == nullptr) {
        throw UnitException("A value without a measurement has no base unit; construct it with "
                            "a measurement to read it in units");
    }
    return m_pMeasurement->BaseUnit();
}

double UCDouble::Convert(Unit const* unit) const {
    // Not checked against the measurement's dimension: any unit with an inverse reads the value.
    return ConvertFromBaseOnce(m_baseValue, unit);
}

double UCDouble::Convert(UnitSystem* system) const {
    if (system == nullptr) {
        return 0.0;
    }
    return Convert(system->GetUnitOfMeasurement(m_pMeasurement));
}

double UCDouble::Convert() const {
    return Convert(UnitService::GetUnitSystem());
}

bool UCDouble::Equals(UCDouble const& other) const {
    // Plain == on the doubles, so a NaN is unequal even to itself.
    return m_pMeasurement == other.m_pMeasurement && m_baseValue == other.m_baseValue;
}

bool UCDouble::operator==(UCDouble const& other) const {
    return Equals(other);
}

bool UCDouble::operator!=(UCDouble const& other) const {
    return !(*this == other);
}

namespace {

// Dimensionless means: the measurement's dimension is the catalogue's "Dimensionless" object.
bool IsDimensionless(Measurement const* measurement, Dimension const* dimensionless) {
    return measurement != nullptr && dimensionless != nullptr &&
           measurement->GetDimension() == dimensionless;
}

} // namespace

UCDouble& UCDouble::operator+(UCDouble const& other) const {
    if (m_pMeasurement != nullptr && m_pMeasurement != other.m_pMeasurement) {
        if (other.m_pMeasurement == nullptr) {
            throw UnitException("Attempting to add a value without a measurement to a value of " +
                                m_pMeasurement->Name() +
                                " measurement; both values need the same measurement");
        }
        throw UnitException("Attempting to add values of " + m_pMeasurement->Name() + " and " +
                            other.m_pMeasurement->Name() + " measurements");
    }
    return *new UCDouble(m_baseValue + other.m_baseValue, m_pMeasurement);
}

UCDouble& UCDouble::operator-(UCDouble const& other) const {
    if (m_pMeasurement != nullptr && m_pMeasurement != other.m_pMeasurement) {
        if (other.m_pMeasurement == nullptr) {
            throw UnitException(
                "Attempting to subtract a value without a measurement from a value of " +
                m_pMeasurement->Name() + " measurement; both values need the same measurement");
        }
        throw UnitException("Attempting to subtract values of " + m_pMeasurement->Name() + " and " +
                            other.m_pMeasurement->Name() + " measurements");
    }
    return *new UCDouble(m_baseValue - other.m_baseValue, m_pMeasurement);
}

UCDouble& UCDouble::operator*(UCDouble const& other) const {
    // There are no derived dimensions: one side must be dimensionless, and the product takes
    // the other side's measurement. When both are, the right operand's wins.
    Measurement* measurement = nullptr;
    if (IsDimensionless(m_pMeasurement, m_pDimensionless)) {
        measurement = other.m_pMeasurement;
    } else if (IsDimensionless(other.m_pMeasurement, m_pDimensionless)) {
        measurement = m_pMeasurement;
    } else if (m_pMeasurement != nullptr && other.m_pMeasurement != nullptr) {
        throw UnitException("Don't know how to multiply " + m_pMeasurement->Name() + " and " +
                            other.m_pMeasurement->Name() + " measurements");
    } else {
        throw UnitException("Null Measurement");
    }
    return *new UCDouble(m_baseValue * other.m_baseValue, measurement);
}

UCDouble& UCDouble::operator*(double factor) const {
    return *new UCDouble(factor * m_baseValue, m_pMeasurement);
}

UCDouble& UCDouble::operator/(UCDouble const& other) const {
    if (m_pMeasurement == nullptr) {
        throw UnitException("Don't know how to divide a value without a measurement; construct "
                            "the dividend with a measurement");
    }
    if (other.m_pMeasurement == nullptr) {
        throw UnitException("Don't know how to divide " + m_pMeasurement->Name() +
                            " by a value without a measurement; the divisor needs a "
                            "dimensionless measurement");
    }
    if (!IsDimensionless(other.m_pMeasurement, m_pDimensionless)) {
        throw UnitException("Don't know how to divide " + m_pMeasurement->Name() + " by " +
                            other.m_pMeasurement->Name() + " measurement");
    }
    // Division by zero is left to IEEE arithmetic: the infinity or NaN is stored.
    return *new UCDouble(m_baseValue / other.m_baseValue, m_pMeasurement);
}

} // namespace Orv::Pim::Core::Service::Units
