// Writes a reader's catalogue as a catalogue file that reads back to the same catalogue: exact
// definitions, aliases, non-linear units, dimension signatures, prefixes and unit systems.
#pragma once

#include <units/reader/ReaderExport.h>
#include <units/reader/RecordUnitReader.h>

#include <iosfwd>
#include <string>

namespace Orv::Pim::Core::Service::Units::Reader {

/// Writes the records of `reader` (its listed records; not the units it makes for unit
/// expressions) to `out` as a "UnitCatalog" file with each unit's exact definition, so that
/// XmlUnitReader reads back a catalogue whose every unit converts to the same bits. Throws
/// std::invalid_argument when a unit's engine has no definition a file can hold (a host's own
/// non-linear engine).
ORV_UNITS_READER_API void WriteCatalogue(RecordUnitReader& reader, std::ostream& out);

/// As WriteCatalogue, into the file `path`; throws std::runtime_error when it cannot be written.
ORV_UNITS_READER_API void WriteCatalogueFile(RecordUnitReader& reader, const std::string& path);

} // namespace Orv::Pim::Core::Service::Units::Reader
