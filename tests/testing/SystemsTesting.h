// Test helpers for measurements and unit systems: a small oil-field catalogue, a capture of
// standard output, and a record of the current-unit-system event.
#pragma once

#include "OrvTesting.h"

#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/reader/InMemoryUnitReader.h>
#include <units/service/Event.h>

#include <cstddef>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace systems_testing {

namespace Units = Orv::Pim::Core::Service::Units;
namespace Reader = Orv::Pim::Core::Service::Units::Reader;

using orv_testing::MessageOf;

/// Length (m, ft), Pressure (Pa, kPa, psi), Temperature (K, degC, degF) and the measurements
/// Depth, Height (both lengths), Pressure and Temperature.
inline void AddOilfieldMeasurements(Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "metre", "Length", 1.0);
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddDimension("Pressure", "Pa");
    reader.AddUnit("Pa", "pascal", "Pressure", 1.0);
    reader.AddUnit("kPa", "kilopascal", "Pressure", 1000.0);
    reader.AddUnit("psi", "pound per square inch", "Pressure", 6894.757293168361);
    reader.AddDimension("Temperature", "K");
    reader.AddUnit("K", "kelvin", "Temperature", 1.0);
    reader.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    reader.AddUnit("degF", "degree Fahrenheit", "Temperature", 5.0 / 9.0, 459.67 * 5.0 / 9.0);
    for (const char* name : {"Depth", "Height"}) {
        reader.AddMeasurement(name, "Length");
    }
    reader.AddMeasurement("Pressure", "Pressure");
    reader.AddMeasurement("Temperature", "Temperature");
}

/// The unit system "Field": Depth in ft, Pressure in psi, Temperature in degF, Height undefined.
inline void AddFieldSystem(Reader::InMemoryUnitReader& reader) {
    reader.AddUnitSystem("Field");
    reader.SetUnitOfMeasurement("Field", "Depth", "ft");
    reader.SetUnitOfMeasurement("Field", "Pressure", "psi");
    reader.SetUnitOfMeasurement("Field", "Temperature", "degF");
}

/// The measurements, then "Metric" (m, kPa, degC, Height undefined), then "Field".
inline void AddOilfieldCatalogue(Reader::InMemoryUnitReader& reader) {
    AddOilfieldMeasurements(reader);
    reader.AddUnitSystem("Metric");
    reader.SetUnitOfMeasurement("Metric", "Depth", "m");
    reader.SetUnitOfMeasurement("Metric", "Pressure", "kPa");
    reader.SetUnitOfMeasurement("Metric", "Temperature", "degC");
    AddFieldSystem(reader);
}

/// A counting reader over the oil-field catalogue, registered when made.
struct OilfieldReader : orv_testing::CountingReader {
    OilfieldReader() {
        AddOilfieldCatalogue(records);
        Units::UnitService::UnitReader(this);
    }
};

/// Redirects std::cout into a buffer while it lives.
class CoutCapture {
public:
    CoutCapture() : m_previous(std::cout.rdbuf(m_buffer.rdbuf())) {}
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;
    ~CoutCapture() { std::cout.rdbuf(m_previous); }

    std::string Text() const { return m_buffer.str(); }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};

/// Records, while it lives, the systems that the current-unit-system event carries, and whether
/// each one was already current when the handlers ran.
struct CurrentChanges {
    CurrentChanges()
        : token(Units::UnitService::m_CurrentUnitSystemChanged.Subscribe(
              [this](const Units::UnitSystem::UnitSystemEventArgs& args) {
                  Units::UnitSystem* unitSystem = args.GetUnitSystem();
                  carried.push_back(unitSystem);
                  alreadyCurrent &=
                      !unitSystem || Units::UnitService::GetUnitSystem() == unitSystem;
              })) {}
    ~CurrentChanges() { Units::UnitService::m_CurrentUnitSystemChanged.Unsubscribe(token); }

    std::vector<Units::UnitSystem*> carried;
    bool alreadyCurrent = true;
    std::size_t token;
};

} // namespace systems_testing
