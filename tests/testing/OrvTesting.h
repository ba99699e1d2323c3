// Shared test helpers: a spy reader that tests fill, the catalogue most tests share, the message
// of a refusal and a near-in-ulps matcher.
#pragma once

#include <units/Dimension.h>
#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/converter/ExactEngines.h>
#include <units/interfaces/Reader.h>
#include <units/reader/InMemoryUnitReader.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <locale>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace orv_testing {

namespace Units = Orv::Pim::Core::Service::Units;
namespace Reader = Orv::Pim::Core::Service::Units::Reader;

/// The message of the `Error` (a UnitException unless said) that `action` throws, or "(nothing
/// thrown)".
template <typename Error = Units::UnitException, typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

/// A reader that answers from `records`, or from another reader, and logs every call in order as
/// "<operation> <key>": "GetUnitSpec ft", "GetUnitSpecOfMeasurement Metric.Depth",
/// "GetAllUnitSpecs".
class SpyReader : public Reader::IUnitReader {
public:
    SpyReader() : m_answers(records) {}
    explicit SpyReader(Reader::IUnitReader& answers) : m_answers(answers) {}

    /// The records that answer the calls, unless another reader was given.
    Reader::InMemoryUnitReader records;
    /// Every call so far, oldest first.
    std::vector<std::string> calls;
    /// When set, every list returned starts with a null record.
    bool nullFirst = false;

    /// The calls logged as `call`, or of the operation `call` when it names one alone.
    int Calls(const std::string& call) const {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const auto& logged) {
            return logged == call || logged.rfind(call + " ", 0) == 0;
        }));
    }

    const Reader::DimensionSpec* GetDimensionSpec(const std::string& name) override {
        return Log("GetDimensionSpec " + name, m_answers.GetDimensionSpec(name));
    }
    const Reader::UnitSpec* GetUnitSpec(const std::string& symbol) override {
        return Log("GetUnitSpec " + symbol, m_answers.GetUnitSpec(symbol));
    }
    std::vector<const Reader::UnitSpec*> GetAllUnitSpecs() override {
        return Log("GetAllUnitSpecs", m_answers.GetAllUnitSpecs());
    }
    const Reader::MeasurementSpec* GetMeasurementSpec(const std::string& name) override {
        return Log("GetMeasurementSpec " + name, m_answers.GetMeasurementSpec(name));
    }
    std::vector<const Reader::MeasurementSpec*> GetAllMeasurementSpecs() override {
        return Log("GetAllMeasurementSpecs", m_answers.GetAllMeasurementSpecs());
    }
    std::vector<const Reader::UnitSystemSpec*> GetAllUnitSystemSpecs() override {
        return Log("GetAllUnitSystemSpecs", m_answers.GetAllUnitSystemSpecs());
    }
    const Reader::UnitSpec* GetUnitSpecOfMeasurement(const std::string& system,
                                                     const std::string& measurement) override {
        return Log("GetUnitSpecOfMeasurement " + system + "." + measurement,
                   m_answers.GetUnitSpecOfMeasurement(system, measurement));
    }

private:
    template <typename Answer>
    Answer Log(std::string call, Answer answer) {
        calls.push_back(std::move(call));
        if constexpr (!std::is_pointer_v<Answer>) {
            if (nullFirst) {
                answer.insert(answer.begin(), nullptr);
            }
        }
        return answer;
    }

    Reader::IUnitReader& m_answers;
};

/// The catalogue most tests share; each unit is named by its symbol unless said otherwise.
///   Dimensionless (1): 1, %                           measurements Unitless, Ratio
///   Length (m): m, ft, foot (an alias of ft), km, zero (scale 0: no inverse)
///                                                     measurements Depth, Length
///   Temperature (K): K, degC, degF (with offsets)     measurement Temperature
///   Mass (kg): kg, lb                                 measurement Mass
///   Consumption (L/100km): L/100km, km/L (100 / x, not linear)
///                                    measurement Burn rate, not named like its dimension
///   Time (s): s, min                                  no measurement
/// The unit systems Metric and Imperial give Depth and Length m and ft, Temperature degC and
/// degF; neither gives the other measurements a unit.
inline void AddTestCatalogue(Reader::InMemoryUnitReader& reader) {
    struct Row {
        const char* dimension;
        std::vector<std::pair<const char*, double>> units; // the base unit first
        std::vector<const char*> measurements;
    };
    for (const Row& row :
         std::vector<Row>{{"Dimensionless", {{"1", 1.0}, {"%", 0.01}}, {"Unitless", "Ratio"}},
                          {"Length",
                           {{"m", 1.0}, {"ft", 0.3048}, {"km", 1000.0}, {"zero", 1.0}},
                           {"Depth", "Length"}},
                          {"Temperature", {{"K", 1.0}}, {"Temperature"}},
                          {"Mass", {{"kg", 1.0}, {"lb", 0.45359237}}, {"Mass"}},
                          {"Consumption", {{"L/100km", 1.0}}, {"Burn rate"}},
                          {"Time", {{"s", 1.0}, {"min", 60.0}}, {}}}) {
        reader.AddDimension(row.dimension, row.units.front().first);
        for (const auto& [symbol, scale] : row.units) {
            Reader::UnitSpec& unit = reader.AddUnit(symbol, symbol, row.dimension, scale);
            // The reader refuses an engine without an inverse: the record is given one after.
            static Units::Converter::LinearUnitConverter zeroScale(0.0, 0.0);
            if (std::string(symbol) == "zero") {
                unit.converter = &zeroScale;
            }
        }
        for (const char* measurement : row.measurements) {
            reader.AddMeasurement(measurement, row.dimension);
        }
    }
    reader.AddUnit("foot", "foot", "Length", 0.3048, 0.0, "ft");
    reader.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    reader.AddUnit("degF", "degree Fahrenheit", "Temperature", 5.0 / 9.0, 459.67 * 5.0 / 9.0);
    reader.AddUnit("km/L", "km/L", "Consumption",
                   std::make_unique<Units::Converter::RationalUnitConverter>(
                       Units::Converter::ExactDefinition{"100", "0", "0", "1"}));
    for (const auto& [system, length, temperature] :
         {std::tuple{"Metric", "m", "degC"}, std::tuple{"Imperial", "ft", "degF"}}) {
        reader.AddUnitSystem(system);
        reader.SetUnitOfMeasurement(system, "Depth", length);
        reader.SetUnitOfMeasurement(system, "Length", length);
        reader.SetUnitOfMeasurement(system, "Temperature", temperature);
    }
}

/// The process's spy reader over the test catalogue, registered on the first call.
inline SpyReader& Catalogue() {
    static SpyReader reader;
    static const bool registered = [] {
        AddTestCatalogue(reader.records);
        Units::UnitService::UnitReader(&reader);
        return true;
    }();
    (void)registered;
    return reader;
}

/// The unit `symbol` of the registered catalogue, the test catalogue unless another is.
inline Units::Unit* U(const std::string& symbol) {
    Catalogue();
    return Units::Unit::GetUnit(symbol);
}

/// The measurement `name` of the registered catalogue, the test catalogue unless another is.
inline Units::Measurement* M(const std::string& name) {
    Catalogue();
    return Units::Measurement::GetMeasurement(name);
}

/// Takes ownership of a result that the library made with `new`.
inline std::unique_ptr<Units::UCDouble> Owned(Units::UCDouble& result) {
    return std::unique_ptr<Units::UCDouble>(&result);
}

/// The symbols of `units`, or the names of `objects`, each followed by a blank.
template <typename Objects>
std::string Keys(const Objects& objects) {
    std::string keys;
    for (const auto* object : objects) {
        if constexpr (std::is_same_v<std::decay_t<decltype(*object)>, Units::Unit>) {
            keys += object->Symbol() + " ";
        } else {
            keys += object->Name() + " ";
        }
    }
    return keys;
}

/// The numeric punctuation of a locale with a decimal comma that groups thousands with points.
struct CommaNumbers : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

/// Matches a float or double at most `ulps` representable values away from `expected`, either
/// way; never a NaN.
MATCHER_P2(NearInUlps, expected, ulps,
           "is within " + ::testing::PrintToString(ulps) + " ulps of " +
               ::testing::PrintToString(expected)) {
    using Float = std::decay_t<arg_type>;
    Float low = static_cast<Float>(expected), high = low;
    for (int step = 0; step < ulps; ++step) {
        low = std::nextafter(low, -std::numeric_limits<Float>::infinity());
        high = std::nextafter(high, std::numeric_limits<Float>::infinity());
    }
    *result_listener << "which is outside [" << low << ", " << high << "]";
    return low <= arg && arg <= high;
}

} // namespace orv_testing
