// A catalogue compiled into the library as static data: the records of a catalogue file that
// passed every check of the reader, with each engine's exact definition already reduced to
// integers. CatalogueGenerator.cpp writes it at build time; XmlUnitReader::Default() makes each
// record from it when the record is first asked for.
//
// The tables hold offsets into one text and indexes into one another, never pointers, so that
// they need no relocation when the library is loaded: they stay in read-only pages that are
// only read from the file when used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// A text of the catalogue: where it starts in StaticCatalogue::text, and its length.
struct StaticText {
    std::uint32_t offset;
    std::uint32_t length;
};

/// An engine: `(a + b*x) / c` when `small`, else the exact definition A, B, C, D as integer texts.
struct StaticEngine {
    bool small;
    std::int64_t a;
    std::int64_t b;
    std::int64_t c;
    StaticText A;
    StaticText B;
    StaticText C;
    StaticText D;
};

struct StaticDimension {
    StaticText name;
    StaticText baseUnitSymbol;
    bool hasSignature; ///< the catalogue gives it a signature, which may be empty
    StaticText signature;
    bool preferred; ///< unit expressions of its signature resolve to it
};

/// A unit record; aliases share their parent's engine, so several records may name one engine.
struct StaticUnit {
    StaticText symbol;
    StaticText name;
    StaticText dimensionName;
    StaticText standardFormSymbol;
    std::uint32_t engine; ///< index into the engines
    bool prefixes;        ///< SI prefixes may stand before it in unit expressions
};

/// A measurement; its offered units are `unitCount` symbols from `firstUnitSymbol` on.
struct StaticMeasurement {
    StaticText name;
    StaticText dimensionName;
    std::uint32_t firstUnitSymbol; ///< index into the unit symbols
    std::uint32_t unitCount;
};

struct StaticSystem {
    StaticText name;
};

/// The unit that a unit system gives a measurement, by indexes into the records.
struct StaticMapping {
    std::uint32_t system;
    std::uint32_t measurement;
    std::uint32_t unit;
};

struct StaticProblem {
    StaticText source;
    std::int32_t line;
    std::int32_t column;
    StaticText message;
    bool warning;
};

/// Every record of a catalogue, in the order the file has them, and the orders to search them by:
/// the indexes of the dimensions, units and measurements sorted by key (bytes taken as unsigned;
/// a key is given once, by its first record), and the mappings sorted by system, then by the
/// measurement's name.
struct StaticCatalogue {
    const char* text;
    const StaticEngine* engines;
    std::size_t engineCount;
    const StaticDimension* dimensions;
    std::size_t dimensionCount;
    const StaticUnit* units;
    std::size_t unitCount;
    const StaticMeasurement* measurements;
    std::size_t measurementCount;
    const StaticText* unitSymbols; ///< the measurements' offered units, one list after another
    const StaticSystem* systems;
    std::size_t systemCount;
    const StaticMapping* mappings;
    std::size_t mappingCount;
    const std::uint32_t* dimensionOrder; ///< as many as there are distinct dimension names
    std::size_t dimensionOrderCount;
    const std::uint32_t* unitOrder;
    std::size_t unitOrderCount;
    const std::uint32_t* measurementOrder;
    std::size_t measurementOrderCount;
    const StaticProblem* warnings;
    std::size_t warningCount;

    /// The characters of `text`.
    std::string_view View(StaticText at) const { return {this->text + at.offset, at.length}; }
};

/// The default catalogue, data/DefaultCatalogue.xml, as the generator compiled it.
extern const StaticCatalogue kDefaultRecords;

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
