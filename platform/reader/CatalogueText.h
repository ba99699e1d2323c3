// The elements of a catalogue file as the parser found them, each with its position, before any
// consistency check. Attributes that are absent stay empty optionals, so that a check never takes
// an absent attribute for an empty one.
#pragma once

#include "RawScan.h"

#include <units/converter/ExactEngines.h>
#include <units/reader/XmlUnitReader.h>

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

struct DimensionElement {
    Position at;
    std::string name;
    std::optional<std::string> baseUnit;
    std::optional<std::string> signature; ///< exponents over base quantities ("L M T-2")
    bool preferred = false;               ///< unit expressions of the signature take it
};

struct MeasurementElement {
    Position at;
    std::string name;
    std::string dimension;
    std::optional<std::string> units;
    bool overrides = false; ///< in a layer: replaces the unit list of a measurement below
};

/// A "Unit" or an "Alias"; an alias has the index of its "Unit" in `parent`.
struct UnitElement {
    Position at;
    std::string symbol;
    std::string desc;
    std::string dimension;
    int parent = -1;
    std::optional<std::string> scale;
    std::optional<std::string> offset;
    std::optional<std::string> A;
    std::optional<std::string> B;
    std::optional<std::string> C;
    std::optional<std::string> D;
    bool prefixes = false;  ///< SI prefixes may stand before it in unit expressions
    bool overrides = false; ///< in a layer: replaces the unit or alias of this symbol below

    bool IsAlias() const { return parent >= 0; }
    bool HasExactDefinition() const { return A || B || C || D; }
};

struct UnitSystemElement {
    Position at;
    std::string name;
};

struct MappingElement {
    Position at;
    std::string system;
    std::string measurement;
    std::optional<std::string> unit;
    bool overrides = false; ///< in a layer: replaces the system's mapping below
};

/// The symbols of a blank-separated list, such as a measurement's "units".
/// Blanks are those of the C locale, whatever the locale of the process.
inline std::vector<std::string> SplitSymbols(const std::string& list) {
    constexpr const char* kBlanks = " \t\n\v\f\r";
    std::vector<std::string> symbols;
    for (std::size_t start = list.find_first_not_of(kBlanks); start != std::string::npos;) {
        const std::size_t end = list.find_first_of(kBlanks, start);
        symbols.push_back(list.substr(start, end - start));
        start = end == std::string::npos ? end : list.find_first_not_of(kBlanks, end);
    }
    return symbols;
}

/// Everything read from one catalogue text, in document order.
struct CatalogueText {
    std::vector<DimensionElement> dimensions;
    std::vector<MeasurementElement> measurements;
    std::vector<UnitElement> units;
    std::vector<UnitSystemElement> systems;
    std::vector<MappingElement> mappings;
};

/// The result of parsing: what was read, and every problem of form or schema found.
struct ParsedCatalogue {
    CatalogueText text;
    std::vector<CatalogueProblem> problems;
    /// True when the text could not be read to its end (not well-formed, refused construct):
    /// what was read is then incomplete and not worth checking further.
    bool incomplete = false;
};

/// A unit's exact definition, `base = (A + B*x) / (C + D*x)`, as decimal texts.
using Definition = Converter::ExactDefinition;

/// The definition of the unit element `unit` of `text`: its A, B, C, D when it has any (each
/// defaulting to 0, 1, 1, 0), otherwise the inverse of its scale and offset, which convert the
/// base unit into the unit; an alias has its parent's. Empty when the unit has neither.
std::optional<Definition> DefinitionOf(const CatalogueText& text, const UnitElement& unit);

/// Parses `bytes` against the catalogue schema within `limits`. `source` names the text in
/// problems. The reader library reaches the parser through its Xerces-C module (ParserLoader.cpp).
ParsedCatalogue ParseCatalogue(const std::string& bytes, const std::string& source,
                               const CatalogueLimits& limits);

/// The parser's type, and the module's entry point that gives it, exported with C linkage under
/// the name kParserEntry.
using ParserFunction = ParsedCatalogue(const std::string& bytes, const std::string& source,
                                       const CatalogueLimits& limits);
using ParserEntry = ParserFunction*();
constexpr char kParserEntry[] = "orv_units_reader_parser";

/// The listed records of `reader` as the elements of a file, without positions; each unit with
/// its exact definition (CatalogueWriter.cpp). Throws std::invalid_argument for a unit whose
/// engine has none.
CatalogueText TextOfReader(RecordUnitReader& reader);

/// Writes `text` as a catalogue file, each unit and measurement under its dimension.
void WriteText(const CatalogueText& text, std::ostream& out);

/// Lays `layer`, read from `source`, over `stack`: adds what it defines and replaces what it
/// marks as an override (CatalogueLayers.cpp). Returns the conflicts, each at its place in the
/// layer; `stack` is then not worth keeping. Positions of the elements already in `stack` are
/// cleared, so that later problems point into the layer alone.
std::vector<CatalogueProblem> MergeLayer(CatalogueText& stack, CatalogueText layer,
                                         const std::string& source);

/// The consistency problems of a catalogue that followed the schema, ordered by position.
std::vector<CatalogueProblem> CheckConsistency(const CatalogueText& text,
                                               const std::string& source);

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
