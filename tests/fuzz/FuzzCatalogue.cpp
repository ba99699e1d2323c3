// Fuzz target: XmlUnitReader::FromText over any bytes. A catalogue must either be refused with a
// CatalogueError that names at least one problem, or be read whole, in which case its records
// keep the reader's promises: look-ups find every record under its own key, every unit has an
// engine that converts and inverts, and every unit a measurement offers or a unit system maps is
// one of the catalogue's units.
//
// Two campaigns run this target: one from a few bytes of nothing in particular, one from small
// valid catalogues and pieces of the default catalogue, mutated with the XML dictionary.
#include <units/reader/XmlUnitReader.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Reader = Orv::Pim::Core::Service::Units::Reader;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<Reader::XmlUnitReader> reader;
    try {
        reader = Reader::XmlUnitReader::FromText(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz.xml");
    } catch (const Reader::CatalogueError& error) {
        Require(!error.Problems().empty(), "a catalogue was refused without a problem");
        return 0;
    }
    for (const Reader::UnitSpec* unit : reader->GetAllUnitSpecs()) {
        Require(unit != nullptr && unit->IsValid(), "a unit record is null or invalid");
        Require(reader->GetUnitSpec(unit->symbol) == unit, "a unit is not found by its symbol");
        Require(reader->GetDimensionSpec(unit->dimensionName) != nullptr,
                "a unit's dimension is unknown");
        Require(unit->standardFormSymbol.empty() ||
                    reader->GetUnitSpec(unit->standardFormSymbol) != nullptr,
                "a unit's standard form is unknown");
        Require(unit->converter->IsInvertible(), "a unit's engine cannot be inverted");
        const auto inverse = unit->converter->GetInverse();
        Require(inverse != nullptr, "a unit's engine gives no inverse");
        inverse->Convert(unit->converter->Convert(1.0));
        std::vector<float> values{0.0f, 1.0f, -1.0f};
        unit->converter->Convert(values);
    }
    const auto measurements = reader->GetAllMeasurementSpecs();
    for (const Reader::MeasurementSpec* measurement : measurements) {
        Require(reader->GetMeasurementSpec(measurement->name) == measurement,
                "a measurement is not found by its name");
        for (const std::string& symbol : measurement->unitSymbols) {
            const Reader::UnitSpec* unit = reader->GetUnitSpec(symbol);
            Require(unit != nullptr && unit->dimensionName == measurement->dimensionName,
                    "a measurement offers a unit that is unknown or of another dimension");
        }
    }
    for (const Reader::UnitSystemSpec* system : reader->GetAllUnitSystemSpecs()) {
        for (const Reader::MeasurementSpec* measurement : measurements) {
            const Reader::UnitSpec* unit =
                reader->GetUnitSpecOfMeasurement(system->name, measurement->name);
            Require(unit == nullptr || unit->dimensionName == measurement->dimensionName,
                    "a unit system maps a measurement to a unit of another dimension");
        }
    }
    for (const Reader::DimensionSpec* dimension : reader->GetAllDimensionSpecs()) {
        const Reader::UnitSpec* base = reader->GetUnitSpec(dimension->baseUnitSymbol);
        Require(base != nullptr && base->dimensionName == dimension->name &&
                    base->converter->IsUnity(),
                "a dimension's base unit is unknown, of another dimension or changes values");
    }
    return 0;
}
