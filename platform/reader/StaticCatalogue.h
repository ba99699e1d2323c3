// A catalogue compiled into the library as static data: the records of a catalogue file that
// passed every check of the reader, with each engine's exact definition already reduced to
// integers. CatalogueGenerator.cpp writes it at build time; XmlUnitReader::Default() builds its
// records from it without parsing anything.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// An engine: `(a + b*x) / c` when `small`, else the exact definition A, B, C, D as integer texts.
struct StaticEngine {
    bool small;
    std::int64_t a;
    std::int64_t b;
    std::int64_t c;
    const char* A;
    const char* B;
    const char* C;
    const char* D;
};

struct StaticDimension {
    const char* name;
    const char* baseUnitSymbol;
    const char* signature; ///< null when the dimension has none
    bool preferred;
};

/// A unit record; aliases share their parent's engine, so several records may name one engine.
struct StaticUnit {
    const char* symbol;
    const char* name;
    const char* dimensionName;
    const char* standardFormSymbol;
    std::size_t engine; ///< index into the engines
    bool prefixes;      ///< SI prefixes may stand before it in unit expressions
};

struct StaticMeasurement {
    const char* name;
    const char* dimensionName;
    const char* const* unitSymbols;
    std::size_t unitCount;
};

/// The unit that a unit system gives a measurement, by indexes into the records.
struct StaticMapping {
    std::size_t system;
    std::size_t measurement;
    std::size_t unit;
};

struct StaticProblem {
    const char* source;
    int line;
    int column;
    const char* message;
    bool warning;
};

/// Every record of a catalogue, in the order the file has them.
struct StaticCatalogue {
    const StaticEngine* engines;
    std::size_t engineCount;
    const StaticDimension* dimensions;
    std::size_t dimensionCount;
    const StaticUnit* units;
    std::size_t unitCount;
    const StaticMeasurement* measurements;
    std::size_t measurementCount;
    const char* const* systems;
    std::size_t systemCount;
    const StaticMapping* mappings;
    std::size_t mappingCount;
    const StaticProblem* warnings;
    std::size_t warningCount;
};

/// The default catalogue, data/DefaultCatalogue.xml, as the generator compiled it.
extern const StaticCatalogue kDefaultRecords;

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
