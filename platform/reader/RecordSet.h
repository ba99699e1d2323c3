// The records that a RecordUnitReader holds, whether a host added them, a catalogue file gave
// them or the library's compiled default catalogue did.
#pragma once

#include <units/interfaces/ConverterEngine.h>
#include <units/interfaces/Reader.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// The key a record is found by: a unit's symbol, the name of anything else.
inline const std::string& KeyOf(const DimensionSpec& record) {
    return record.name;
}
inline const std::string& KeyOf(const UnitSpec& record) {
    return record.symbol;
}
inline const std::string& KeyOf(const MeasurementSpec& record) {
    return record.name;
}
inline const std::string& KeyOf(const UnitSystemSpec& record) {
    return record.name;
}

/// The records of one kind: in the order added, at fixed addresses, found by their key as it was
/// when added, the first record of a key winning.
template <typename Record>
class RecordTable {
public:
    /// Keeps `record` and returns the kept one.
    Record& Add(Record record) {
        m_records.push_back(std::move(record));
        Record& stored = m_records.back();
        m_byKey.emplace(KeyOf(stored), &stored);
        return stored;
    }
    /// The first record of `key`, or null.
    const Record* Find(std::string_view key) const {
        const auto found = m_byKey.find(key);
        return found == m_byKey.end() ? nullptr : found->second;
    }
    /// Every record, in the order added.
    std::vector<const Record*> List() const {
        std::vector<const Record*> list;
        list.reserve(m_records.size());
        for (const Record& record : m_records) {
            list.push_back(&record);
        }
        return list;
    }

private:
    std::deque<Record> m_records; // a deque never moves what it holds
    std::map<std::string, const Record*, std::less<>> m_byKey;
};

/// What a catalogue says of a dimension beyond its record: its signature as the catalogue writes
/// it (see Signature.h), and whether unit expressions of that signature resolve to it.
struct DimensionSignature {
    std::string text;
    bool preferred = false;
};

struct RecordSet {
    RecordTable<DimensionSpec> dimensions;
    RecordTable<UnitSpec> units;
    RecordTable<MeasurementSpec> measurements;
    RecordTable<UnitSystemSpec> systems;
    /// The unit that a unit system (first name) gives a measurement (second name).
    std::map<std::pair<std::string, std::string>, const UnitSpec*> mappings;
    /// The signatures of dimensions, by dimension name.
    std::map<std::string, DimensionSignature, std::less<>> signatures;
    /// The symbols of the units that take SI prefixes in unit expressions.
    std::set<std::string, std::less<>> prefixed;
    /// The engines that the unit records point to; aliases may share one.
    std::vector<std::unique_ptr<Converter::IUnitConverterEngine>> engines;

    /// Keeps `engine` for the records' life and returns it.
    Converter::IUnitConverterEngine* Keep(std::unique_ptr<Converter::IUnitConverterEngine> engine) {
        engines.push_back(std::move(engine));
        return engines.back().get();
    }
};

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
