// The records of a catalogue as an XmlUnitReader keeps them, whether they were read from a file
// or compiled into the library.
#pragma once

#include <units/interfaces/ConverterEngine.h>
#include <units/reader/XmlUnitReader.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

/// The records of one catalogue, with the engines they point to.
struct XmlUnitReader::Catalogue {
    template <typename Record>
    struct Table {
        std::deque<Record> records;
        std::map<std::string, const Record*> byKey;

        void Add(const std::string& key, Record record) {
            records.push_back(std::move(record));
            byKey.emplace(key, &records.back());
        }
        const Record* Find(const std::string& key) const {
            const auto found = byKey.find(key);
            return found == byKey.end() ? nullptr : found->second;
        }
        std::vector<const Record*> List() const {
            std::vector<const Record*> list;
            list.reserve(records.size());
            for (const Record& record : records) {
                list.push_back(&record);
            }
            return list;
        }
    };

    Table<DimensionSpec> dimensions;
    Table<UnitSpec> units;
    Table<MeasurementSpec> measurements;
    Table<UnitSystemSpec> systems;
    std::map<std::pair<std::string, std::string>, const UnitSpec*> mappings;
    std::vector<std::unique_ptr<Converter::IUnitConverterEngine>> engines;
    std::vector<CatalogueProblem> warnings;
};

} // namespace Orv::Pim::Core::Service::Units::Reader
