// Shared test helpers: a reader that counts the library's calls, and small catalogues.
#pragma once

#include <units/UnitException.h>
#include <units/interfaces/Reader.h>
#include <units/reader/InMemoryUnitReader.h>

#include <map>
#include <string>
#include <vector>

namespace orv_testing {

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

/// Forwards every call to an in-memory reader and counts the calls, by operation ("GetUnitSpec")
/// and by operation and key ("GetUnitSpec:ft").
class CountingReader : public Reader::IUnitReader {
public:
    /// The records the calls are answered from; fill it before use.
    Reader::InMemoryUnitReader records;

    /// Calls of `operation`.
    int Calls(const std::string& operation) const { return Count(operation); }
    /// Calls of `operation` with the key `key` (system.measurement for GetUnitSpecOfMeasurement).
    int Calls(const std::string& operation, const std::string& key) const {
        return Count(operation + ":" + key);
    }
    /// Calls of any operation.
    int TotalCalls() const { return m_total; }

    const Reader::DimensionSpec* GetDimensionSpec(const std::string& name) override {
        Note("GetDimensionSpec", name);
        return records.GetDimensionSpec(name);
    }
    const Reader::UnitSpec* GetUnitSpec(const std::string& symbol) override {
        Note("GetUnitSpec", symbol);
        return records.GetUnitSpec(symbol);
    }
    std::vector<const Reader::UnitSpec*> GetAllUnitSpecs() override {
        Note("GetAllUnitSpecs", "");
        return records.GetAllUnitSpecs();
    }
    const Reader::MeasurementSpec* GetMeasurementSpec(const std::string& name) override {
        Note("GetMeasurementSpec", name);
        return records.GetMeasurementSpec(name);
    }
    std::vector<const Reader::MeasurementSpec*> GetAllMeasurementSpecs() override {
        Note("GetAllMeasurementSpecs", "");
        return records.GetAllMeasurementSpecs();
    }
    std::vector<const Reader::UnitSystemSpec*> GetAllUnitSystemSpecs() override {
        Note("GetAllUnitSystemSpecs", "");
        return records.GetAllUnitSystemSpecs();
    }
    const Reader::UnitSpec* GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                     const std::string& measurementName) override {
        Note("GetUnitSpecOfMeasurement", unitSystemName + "." + measurementName);
        return records.GetUnitSpecOfMeasurement(unitSystemName, measurementName);
    }

private:
    int Count(const std::string& key) const {
        const auto found = m_calls.find(key);
        return found == m_calls.end() ? 0 : found->second;
    }
    void Note(const std::string& operation, const std::string& key) {
        ++m_total;
        ++m_calls[operation];
        ++m_calls[operation + ":" + key];
    }

    std::map<std::string, int> m_calls;
    int m_total = 0;
};

/// The dimension "Length" (base m) with m, km, cm, mm, in, ft, yd and mi at their exact factors.
inline void AddLengthUnits(Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "metre", "Length", 1.0);
    reader.AddUnit("km", "kilometre", "Length", 1000.0);
    reader.AddUnit("cm", "centimetre", "Length", 0.01);
    reader.AddUnit("mm", "millimetre", "Length", 0.001);
    reader.AddUnit("in", "inch", "Length", 0.0254);
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddUnit("yd", "yard", "Length", 0.9144);
    reader.AddUnit("mi", "mile", "Length", 1609.344);
}

/// The dimension "Mass" (base kg) with kg, g and lb.
inline void AddMassUnits(Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Mass", "kg");
    reader.AddUnit("kg", "kilogram", "Mass", 1.0);
    reader.AddUnit("g", "gram", "Mass", 0.001);
    reader.AddUnit("lb", "pound", "Mass", 0.45359237);
}

/// The dimension "Dimensionless" (base "unitless", with "%") and the measurement "Unitless".
inline void AddDimensionless(Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Dimensionless", "unitless");
    reader.AddUnit("unitless", "unitless", "Dimensionless", 1.0);
    reader.AddUnit("%", "percent", "Dimensionless", 0.01);
    reader.AddMeasurement("Unitless", "Dimensionless");
}

} // namespace orv_testing
