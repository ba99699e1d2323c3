// Test helpers for measurements and unit systems: a small oil-field catalogue, a capture of
// standard output, a unit system that counts its deletions, and scoped event subscriptions.
#pragma once

#include "OrvTesting.h"

#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/interfaces/Events.h>
#include <units/reader/InMemoryUnitReader.h>

#include <cstddef>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

namespace systems_testing {

namespace Units = Orv::Pim::Core::Service::Units;
namespace Reader = Orv::Pim::Core::Service::Units::Reader;

/// The message of the UnitException that `action` throws, or "(nothing thrown)".
template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const Units::UnitException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

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

/// Redirects std::cout into a buffer while it lives, and counts the flushes it receives.
class CoutCapture {
public:
    CoutCapture() : m_previous(std::cout.rdbuf(&m_buffer)) {}
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;
    ~CoutCapture() { std::cout.rdbuf(m_previous); }

    std::string Text() const { return m_buffer.str(); }
    int Flushes() const { return m_buffer.syncs; }

private:
    struct Buffer : std::stringbuf {
        int syncs = 0;
        int sync() override {
            ++syncs;
            return std::stringbuf::sync();
        }
    };

    Buffer m_buffer;
    std::streambuf* m_previous;
};

/// A host's own unit system that counts its deletions in `*deletions`, if given. One still
/// registered at exit is deleted then, so its counter must be a static.
class TrackedUnitSystem : public Units::UnitSystem {
public:
    explicit TrackedUnitSystem(const std::string& name, int* deletions = nullptr)
        : UnitSystem(name), m_deletions(deletions) {}
    ~TrackedUnitSystem() override {
        if (m_deletions != nullptr) {
            ++*m_deletions;
        }
    }

private:
    int* m_deletions;
};

/// Subscribes `handler` to `event` while it lives.
template <typename Args>
class Subscription {
public:
    Subscription(Orv::Pim::Core::Service::Event<Args>& event,
                 std::function<void(const Args&)> handler)
        : m_event(event), m_token(event.Subscribe(std::move(handler))) {}
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { m_event.Unsubscribe(m_token); }

private:
    Orv::Pim::Core::Service::Event<Args>& m_event;
    std::size_t m_token;
};

} // namespace systems_testing
