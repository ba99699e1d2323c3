// The records of a catalogue as an XmlUnitReader keeps them, whether they were read from a file
// or compiled into the library.
#pragma once

#include "RecordTable.h"

#include <units/interfaces/ConverterEngine.h>
#include <units/reader/XmlUnitReader.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

/// The records of one catalogue, with the engines they point to.
struct XmlUnitReader::Catalogue {
    Detail::RecordTable<DimensionSpec> dimensions;
    Detail::RecordTable<UnitSpec> units;
    Detail::RecordTable<MeasurementSpec> measurements;
    Detail::RecordTable<UnitSystemSpec> systems;
    std::map<std::pair<std::string, std::string>, const UnitSpec*> mappings;
    std::vector<std::unique_ptr<Converter::IUnitConverterEngine>> engines;
    std::vector<CatalogueProblem> warnings;
};

} // namespace Orv::Pim::Core::Service::Units::Reader
