// A small catalogue for the conversion and quantity tests, served by an in-memory reader that
// also records which unit records and unit-system mappings the library asks for.
//
//   Dimensionless (1):  1, %            measurements Unitless, Ratio
//   Length (m):         m, ft, km, zero measurements Length, Depth   (zero: scale 0, no inverse)
//   Temperature (K):    K, degC, degF   measurement Temperature      (engines with an offset)
//   Power (W):          W, kW, dBW      measurement Power            (dBW: a non-linear engine)
//   Mass (kg):          kg, lb          measurement Mass
//   Angle (rad):        rad, deg        measurement Azimuth          (none named like the
//   dimension) Time (s):           s, min          no measurement Pressure (Pa):      Pa, bar
//   measurement Pressure         (only for the call-order tests) Energy (J):         J, kWh
//   measurement Energy           (only for the call-order tests) unit systems: Metric (Depth m,
//   Length m, Temperature degC, Power kW, Pressure bar,
//                 Energy kWh) and Imperial (Depth ft, Length ft, Temperature degF, Power W)
#pragma once

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/interfaces/ConverterEngine.h>
#include <units/reader/InMemoryUnitReader.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace orv_testing {

namespace Units = Orv::Pim::Core::Service::Units;

/// A host engine that is not linear: decibel-watts into watts, 10^(x/10), or back, 10*log10(x).
class DecibelEngine final : public Units::Converter::IUnitConverterEngine {
public:
    static constexpr std::int32_t kType = 100;

    explicit DecibelEngine(bool toWatts) : IUnitConverterEngine(kType), m_toWatts(toWatts) {}

    std::unique_ptr<IUnitConverterEngine> Clone() override {
        return std::make_unique<DecibelEngine>(m_toWatts);
    }
    void Convert(std::vector<double>& values) override {
        for (double& value : values) {
            value = Convert(value);
        }
    }
    void Convert(std::vector<float>& values) override {
        for (float& value : values) {
            value = Convert(value);
        }
    }
    double Convert(double value) override {
        return m_toWatts ? std::pow(10.0, value / 10.0) : 10.0 * std::log10(value);
    }
    float Convert(float value) override {
        return m_toWatts ? std::pow(10.0f, value / 10.0f) : 10.0f * std::log10(value);
    }
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
    GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                             const std::string& measurementName) override {
        log.push_back("mapping " + unitSystemName + "/" + measurementName);
        return InMemoryUnitReader::GetUnitSpecOfMeasurement(unitSystemName, measurementName);
    }
};

/// The catalogue's reader, filled and registered on the first call; lives for the process.
inline RecordingReader& QuantityCatalogue() {
    static RecordingReader instance;
    static RecordingReader* const reader = [] {
        RecordingReader& r = instance;
        r.AddDimension("Dimensionless", "1");
        r.AddUnit("1", "one", "Dimensionless", 1.0);
        r.AddUnit("%", "percent", "Dimensionless", 0.01);
        r.AddMeasurement("Unitless", "Dimensionless");
        r.AddMeasurement("Ratio", "Dimensionless");

        r.AddDimension("Length", "m");
        r.AddUnit("m", "metre", "Length", 1.0);
        r.AddUnit("ft", "foot", "Length", 0.3048);
        r.AddUnit("km", "kilometre", "Length", 1000.0);
        r.AddUnit("zero", "collapsed length", "Length", 0.0);
        r.AddMeasurement("Length", "Length");
        r.AddMeasurement("Depth", "Length");

        r.AddDimension("Temperature", "K");
        r.AddUnit("K", "kelvin", "Temperature", 1.0);
        r.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
        r.AddUnit("degF", "degree Fahrenheit", "Temperature", 5.0 / 9.0, 459.67 * 5.0 / 9.0);
        r.AddMeasurement("Temperature", "Temperature");

        r.AddDimension("Power", "W");
        r.AddUnit("W", "watt", "Power", 1.0);
        r.AddUnit("kW", "kilowatt", "Power", 1000.0);
        r.AddUnit("dBW", "decibel-watt", "Power", std::make_unique<DecibelEngine>(true));
        r.AddMeasurement("Power", "Power");

        r.AddDimension("Mass", "kg");
        r.AddUnit("kg", "kilogram", "Mass", 1.0);
        r.AddUnit("lb", "pound", "Mass", 0.45359237);
        r.AddMeasurement("Mass", "Mass");

        r.AddDimension("Angle", "rad");
        r.AddUnit("rad", "radian", "Angle", 1.0);
        r.AddUnit("deg", "degree", "Angle", 3.14159265358979323846 / 180.0);
        r.AddMeasurement("Azimuth", "Angle");

        r.AddDimension("Time", "s");
        r.AddUnit("s", "second", "Time", 1.0);
        r.AddUnit("min", "minute", "Time", 60.0);

        r.AddDimension("Pressure", "Pa");
        r.AddUnit("Pa", "pascal", "Pressure", 1.0);
        r.AddUnit("bar", "bar", "Pressure", 1e5);
        r.AddMeasurement("Pressure", "Pressure");

        r.AddDimension("Energy", "J");
        r.AddUnit("J", "joule", "Energy", 1.0);
        r.AddUnit("kWh", "kilowatt hour", "Energy", 3.6e6);
        r.AddMeasurement("Energy", "Energy");

        r.AddUnitSystem("Metric");
        r.AddUnitSystem("Imperial");
        for (auto const& row :
             std::vector<std::vector<std::string>>{{"Depth", "m", "ft"},
                                                   {"Length", "m", "ft"},
                                                   {"Temperature", "degC", "degF"},
                                                   {"Power", "kW", "W"}}) {
            r.SetUnitOfMeasurement("Metric", row[0], row[1]);
            r.SetUnitOfMeasurement("Imperial", row[0], row[2]);
        }
        r.SetUnitOfMeasurement("Metric", "Pressure", "bar");
        r.SetUnitOfMeasurement("Metric", "Energy", "kWh");

        Units::UnitService::UnitReader(&r);
        return &r;
    }();
    return *reader;
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
