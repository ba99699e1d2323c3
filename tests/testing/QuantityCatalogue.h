// A small catalogue for the conversion and quantity tests, served by an in-memory reader that
// also records which unit records and unit-system mappings the library asks for.
//
//   Dimensionless (1): 1, %          measurements Unitless, Ratio
//   Length (m):        m, ft, km, zero (scale 0: no inverse)   measurements Length, Depth
//   Temperature (K):   K, degC, degF (offsets)                 measurement Temperature
//   Power (W):         W, kW, dBW (a host engine, not linear)  measurement Power
//   Mass (kg):         kg, lb                                  measurement Mass
//   Angle (rad):       rad, deg       measurement Azimuth (none is named like the dimension)
//   Time (s):          s, min         no measurement
//   Pressure (Pa):     Pa, bar        measurement Pressure
//   Energy (J):        J, kWh         measurement Energy
// Unit systems: Metric (Depth m, Length m, Temperature degC, Power kW, Pressure bar, Energy kWh)
// and Imperial (Depth ft, Length ft, Temperature degF, Power W).
#pragma once

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/interfaces/ConverterEngine.h>
#include <units/reader/InMemoryUnitReader.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace orv_testing {

namespace Units = Orv::Pim::Core::Service::Units;

/// A host engine that is not linear: decibel-watts into watts, 10^(x/10), or back, 10*log10(x).
class DecibelEngine final : public Units::Converter::IUnitConverterEngine {
public:
    explicit DecibelEngine(bool toWatts) : IUnitConverterEngine(100), m_toWatts(toWatts) {}

    std::unique_ptr<IUnitConverterEngine> Clone() override {
        return std::make_unique<DecibelEngine>(m_toWatts);
    }
    void Convert(std::vector<double>& v) override {
        std::transform(v.begin(), v.end(), v.begin(), [this](double x) { return Convert(x); });
    }
    void Convert(std::vector<float>& v) override {
        std::transform(v.begin(), v.end(), v.begin(), [this](float x) { return Convert(x); });
    }
    double Convert(double x) override {
        return m_toWatts ? std::pow(10.0, x / 10) : 10 * std::log10(x);
    }
    float Convert(float x) override { return static_cast<float>(Convert(static_cast<double>(x))); }
    bool IsUnity() override { return false; }
    bool IsInvertible() override { return true; }
    std::unique_ptr<IUnitConverterEngine> GetInverse() override {
        return std::make_unique<DecibelEngine>(!m_toWatts);
    }

private:
    bool m_toWatts;
};

/// The in-memory reader, logging "unit <symbol>" and "mapping <system>/<measurement>" requests.
class RecordingReader final : public Units::Reader::InMemoryUnitReader {
public:
    std::vector<std::string> log;

    const Units::Reader::UnitSpec* GetUnitSpec(const std::string& symbol) override {
        log.push_back("unit " + symbol);
        return InMemoryUnitReader::GetUnitSpec(symbol);
    }
    const Units::Reader::UnitSpec*
    GetUnitSpecOfMeasurement(const std::string& system, const std::string& measurement) override {
        log.push_back("mapping " + system + "/" + measurement);
        return InMemoryUnitReader::GetUnitSpecOfMeasurement(system, measurement);
    }
};

/// The catalogue's reader, filled and registered on the first call; lives for the process.
inline RecordingReader& QuantityCatalogue() {
    static RecordingReader reader;
    static const bool registered = [] {
        struct Row {
            const char* dimension;
            std::vector<std::pair<const char*, double>> units; // the base unit first
            std::vector<const char*> measurements;
        };
        for (const Row& row : std::vector<Row>{
                 {"Dimensionless", {{"1", 1.0}, {"%", 0.01}}, {"Unitless", "Ratio"}},
                 {"Length",
                  {{"m", 1.0}, {"ft", 0.3048}, {"km", 1000.0}, {"zero", 0.0}},
                  {"Length", "Depth"}},
                 {"Temperature", {{"K", 1.0}}, {"Temperature"}},
                 {"Power", {{"W", 1.0}, {"kW", 1000.0}}, {"Power"}},
                 {"Mass", {{"kg", 1.0}, {"lb", 0.45359237}}, {"Mass"}},
                 {"Angle", {{"rad", 1.0}, {"deg", 3.14159265358979323846 / 180.0}}, {"Azimuth"}},
                 {"Time", {{"s", 1.0}, {"min", 60.0}}, {}},
                 {"Pressure", {{"Pa", 1.0}, {"bar", 1e5}}, {"Pressure"}},
                 {"Energy", {{"J", 1.0}, {"kWh", 3.6e6}}, {"Energy"}}}) {
            reader.AddDimension(row.dimension, row.units.front().first);
            for (const auto& [symbol, scale] : row.units) {
                reader.AddUnit(symbol, symbol, row.dimension, scale);
            }
            for (const char* measurement : row.measurements) {
                reader.AddMeasurement(measurement, row.dimension);
            }
        }
        reader.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
        reader.AddUnit("degF", "degree Fahrenheit", "Temperature", 5.0 / 9.0, 459.67 * 5.0 / 9.0);
        reader.AddUnit("dBW", "decibel-watt", "Power", std::make_unique<DecibelEngine>(true));
        reader.AddUnitSystem("Metric");
        reader.AddUnitSystem("Imperial");
        for (const auto& [measurement, metric, imperial] :
             std::vector<std::tuple<const char*, const char*, const char*>>{
                 {"Depth", "m", "ft"},
                 {"Length", "m", "ft"},
                 {"Temperature", "degC", "degF"},
                 {"Power", "kW", "W"},
                 {"Pressure", "bar", ""},
                 {"Energy", "kWh", ""}}) {
            reader.SetUnitOfMeasurement("Metric", measurement, metric);
            reader.SetUnitOfMeasurement("Imperial", measurement, imperial);
        }
        Units::UnitService::UnitReader(&reader);
        return true;
    }();
    (void)registered;
    return reader;
}

/// The catalogue's measurement named `name`, the catalogue registered first.
inline Units::Measurement* M(const std::string& name) {
    QuantityCatalogue();
    return Units::Measurement::GetMeasurement(name);
}

/// The catalogue's unit with symbol `symbol`, the catalogue registered first.
inline Units::Unit* U(const std::string& symbol) {
    QuantityCatalogue();
    return Units::Unit::GetUnit(symbol);
}

/// Runs `action` and returns the message of the UnitException it throws ("" when none).
template <typename Action>
std::string RefusalOf(Action action) {
    try {
        action();
    } catch (Units::UnitException const& e) {
        return e.what();
    }
    return "";
}

/// Takes ownership of a result that the library made with `new`.
inline std::unique_ptr<Units::UCDouble> Owned(Units::UCDouble& result) {
    return std::unique_ptr<Units::UCDouble>(&result);
}

} // namespace orv_testing
