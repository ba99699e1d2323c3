// The catalogue file as plain records, read with Xerces-C directly so that the data can be
// checked without trusting the library's own reader.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace CatalogueData {

// One symbol of the file: a Unit, or an Alias that takes its parent's definition.
struct UnitEntry {
    std::string symbol;
    std::string desc;
    std::string dimension;
    std::string standardForm; // the parent Unit's symbol for an alias, else the symbol itself
    bool isAlias = false;
    // The attributes as written; an alias carries its parent's A, B, C, D, scale and offset.
    std::optional<std::string> A, B, C, D;
    std::optional<std::string> scale, offset;

    bool HasExactDefinition() const { return A || B || C || D; }
    // base = (A + B x) / (C + D x), with the defaults 0, 1, 1, 0.
    long double ToBase(long double x) const;
    bool IsLinear() const;
    bool IsIdentity() const;
};

struct MeasurementEntry {
    std::string name;
    std::string dimension;
    std::vector<std::string> units;
    bool hasUnitsAttribute = false;
};

struct DimensionEntry {
    std::string name;
    std::optional<std::string> baseUnit;
};

struct UnitMappingEntry {
    std::string measurement;
    std::optional<std::string> unit;
};

struct UnitSystemEntry {
    std::string name;
    std::vector<UnitMappingEntry> mappings;
};

struct CatalogueFile {
    std::vector<DimensionEntry> dimensions;
    std::vector<MeasurementEntry> measurements;
    std::vector<UnitEntry> units; // units and aliases, in file order
    std::vector<UnitSystemEntry> systems;

    // Reads a catalogue file; throws std::runtime_error with the parser's message when the file
    // is not well-formed or holds an element this format does not have.
    static CatalogueFile Load(const std::string& path);

    const UnitEntry* FindUnit(const std::string& symbol) const;
    const MeasurementEntry* FindMeasurement(const std::string& name) const;
    const DimensionEntry* FindDimension(const std::string& name) const;
    const UnitSystemEntry* FindSystem(const std::string& name) const;
};

// The default catalogue, loaded once per process.
const CatalogueFile& DefaultCatalogue();

// Reads a plain decimal such as -0.0254; throws std::invalid_argument for anything else.
long double ParseDecimal(const std::string& text);

} // namespace CatalogueData
