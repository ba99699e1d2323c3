// The catalogue file as plain records, read with Xerces-C directly so that the data can be
// checked without trusting the library's own reader.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace CatalogueData {

// One symbol of the file: a Unit, or an Alias that takes its parent's definition.
struct UnitEntry {
    std::string symbol;
    std::string desc;
    std::string dimension;
    bool isAlias = false;
    // The attributes as written; an alias carries its parent's A, B, C, D, scale and offset.
    std::optional<std::string> A, B, C, D, scale, offset;

    // base = (A + B x) / (C + D x), with the defaults 0, 1, 1, 0.
    long double ToBase(long double x) const;
    bool IsLinear() const { return !D || std::strtold(D->c_str(), nullptr) == 0.0L; }
};

struct MeasurementEntry {
    std::string name;
    std::string dimension;
    std::vector<std::string> units; // empty when the attribute is absent
};

struct DimensionEntry {
    std::string name;
    std::string baseUnit; // empty when the attribute is absent
};

struct UnitSystemEntry {
    std::string name;
    std::vector<std::pair<std::string, std::optional<std::string>>> mappings; // measurement, unit
};

struct CatalogueFile {
    std::vector<DimensionEntry> dimensions;
    std::vector<MeasurementEntry> measurements;
    std::vector<UnitEntry> units; // units and aliases, in file order
    std::vector<UnitSystemEntry> systems;

    // Reads a catalogue file; throws std::runtime_error with the parser's first message when the
    // file is not well-formed or not valid against the catalogue schema.
    static CatalogueFile Load(const std::string& path);

    const UnitEntry* FindUnit(const std::string& symbol) const {
        const auto found = std::find_if(units.begin(), units.end(), [&](const UnitEntry& unit) {
            return unit.symbol == symbol;
        });
        return found == units.end() ? nullptr : &*found;
    }
    const MeasurementEntry* FindMeasurement(const std::string& name) const {
        const auto found =
            std::find_if(measurements.begin(), measurements.end(),
                         [&](const MeasurementEntry& entry) { return entry.name == name; });
        return found == measurements.end() ? nullptr : &*found;
    }
};

// The default catalogue, loaded once per process.
const CatalogueFile& DefaultCatalogue();

} // namespace CatalogueData
