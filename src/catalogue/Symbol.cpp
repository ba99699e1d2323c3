// Symbol: a host-defined name bound to a measurement, never to null.
#include <units/Measurement.h>
#include <units/Symbol.h>

#include <string>
#include <utility>

namespace Orv::Pim::Core::Service::Units {

namespace {

// The name of the measurement a symbol falls back to. Made once at load, so the fallback does
// not build a string on every call.
const std::string s_unitlessName("Unitless");

Measurement* MeasurementOrUnitless(Measurement* measurement) {
    return measurement != nullptr ? measurement : Measurement::GetMeasurement(s_unitlessName);
}

} // namespace

Symbol::Symbol() : m_name(), m_pMeasurement(Measurement::GetMeasurement(s_unitlessName)) {}

Symbol::Symbol(const std::string& name, Measurement* measurement)
    : m_name(name), m_pMeasurement(MeasurementOrUnitless(measurement)) {}

Symbol::Symbol(const Symbol& other) = default;

Symbol& Symbol::operator=(const Symbol& other) {
    if (this != &other) {
        m_name = other.m_name;
    }
    m_pMeasurement = other.m_pMeasurement;
    return *this;
}

void Symbol::Swap(Symbol& other) {
    if (this == &other) {
        return;
    }
    std::swap(m_name, other.m_name);
    std::swap(m_pMeasurement, other.m_pMeasurement);
}

Symbol::~Symbol() = default;

std::string Symbol::GetName() {
    return m_name;
}

void Symbol::SetName(const std::string& name) {
    m_name = name;
}

Measurement* Symbol::GetMeasurement() const {
    return m_pMeasurement;
}

void Symbol::SetMeasurement(Measurement* measurement) {
    m_pMeasurement = MeasurementOrUnitless(measurement);
}

} // namespace Orv::Pim::Core::Service::Units
