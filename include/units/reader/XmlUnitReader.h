// A reader over a catalogue file in the "UnitCatalog" format (the format the library's XML export
// writes, with optional exact definitions, measurement unit lists and unit-system mappings), and
// the default catalogue that ships inside the reader library.
#pragma once

#include <units/reader/ReaderExport.h>
#include <units/reader/RecordUnitReader.h>

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

/// One problem found in a catalogue: where it is and what is wrong.
struct ORV_UNITS_READER_API CatalogueProblem {
    std::string source; ///< the file's path, or the name given to text in memory
    int line = 0;       ///< 1-based; 0 when the problem has no position
    int column = 0;     ///< 1-based; 0 when the problem has no position
    std::string message;
    bool warning = false; ///< true for what is read anyway (a mapping to a unit not in the file)

    /// "source:line:column: message", with "warning: " before the message of a warning.
    std::string ToString() const;
};

/// A catalogue that was refused, with every problem found in it; what() lists them all.
class ORV_UNITS_READER_API CatalogueError : public std::runtime_error {
public:
    explicit CatalogueError(std::vector<CatalogueProblem> problems);
    /// The problems, in the order they were found.
    const std::vector<CatalogueProblem>& Problems() const { return m_problems; }

private:
    std::vector<CatalogueProblem> m_problems;
};

/// Bounds on what one catalogue may cost to read, so that a hostile or careless file is refused
/// quickly and in little memory; each bound that is passed refuses the catalogue with the file,
/// line and column where it was passed. The defaults leave room for catalogues far larger than the
/// default one.
struct ORV_UNITS_READER_API CatalogueLimits {
    std::size_t maxBytes = std::size_t{64} << 20;           ///< size of the file or text: 64 MiB
    std::size_t maxAttributeLength = std::size_t{64} << 10; ///< bytes of one attribute: 64 KiB
    std::size_t maxSymbolsPerList = 4096;   ///< symbols in one measurement's "units" list
    std::size_t maxCoefficientDigits = 100; ///< digits of one scale, offset, A, B, C or D
    std::size_t maxTotalDigits = 1000000;   ///< digits of all those coefficients together
    std::size_t maxProblems = 200;          ///< problems reported; the check stops at this many
    std::size_t maxElements = 100000;       ///< elements of the whole catalogue
};

/// A reader over one catalogue. A catalogue is checked whole (schema, then consistency) before
/// anything of it is kept: a bad one is refused with every problem found.
class ORV_UNITS_READER_API XmlUnitReader : public RecordUnitReader {
public:
    /// Reads the catalogue file `path`, which must be a regular file. Throws CatalogueError.
    static std::unique_ptr<XmlUnitReader> FromFile(const std::string& path,
                                                   const CatalogueLimits& limits = {});
    /// Reads catalogue text; `sourceName` stands for it in messages. Throws CatalogueError.
    static std::unique_ptr<XmlUnitReader> FromText(const std::string& text,
                                                   const std::string& sourceName,
                                                   const CatalogueLimits& limits = {});
    /// A new reader over the default catalogue embedded in the library; needs no file.
    static std::unique_ptr<XmlUnitReader> Default();
    /// The problems of the catalogue file `path`: FromFile reads it exactly when none is an error,
    /// and the library then builds and warms up its whole catalogue without a refusal.
    static std::vector<CatalogueProblem> Check(const std::string& path,
                                               const CatalogueLimits& limits = {});

    /// A reader over `base` with the catalogue files `paths` laid over it in turn: each adds
    /// dimensions, units, aliases, measurements, unit systems and mappings, and replaces those of
    /// the catalogue below that it marks override="true". A name defined below and not marked is
    /// refused, as is every problem of the stack, with the file, line and column of the layer;
    /// nothing of a refused stack is kept. `base` may go once this returns. Throws
    /// CatalogueError, or std::invalid_argument when a unit of `base` has no exact definition.
    static std::unique_ptr<XmlUnitReader> FromLayers(RecordUnitReader& base,
                                                     const std::vector<std::string>& paths,
                                                     const CatalogueLimits& limits = {});
    /// The problems and warnings of FromLayers over the same stack, the whole stack checked.
    static std::vector<CatalogueProblem> CheckLayers(RecordUnitReader& base,
                                                     const std::vector<std::string>& paths,
                                                     const CatalogueLimits& limits = {});

    /// What was read despite a doubt: mappings to units or measurements the file does not define
    /// (an export leaves out non-linear units but keeps the mappings to them), which are ignored.
    const std::vector<CatalogueProblem>& Warnings() const { return m_warnings; }

private:
    XmlUnitReader(std::unique_ptr<Detail::RecordSet> records,
                  std::vector<CatalogueProblem> warnings);

    std::vector<CatalogueProblem> m_warnings;
};

} // namespace Orv::Pim::Core::Service::Units::Reader
