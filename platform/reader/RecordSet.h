// The records that a RecordUnitReader holds: added by a host, given by a catalogue file, or made
// when first asked for from the library's compiled default catalogue.
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

/// Records of one kind made when first asked for, from data already in memory. The records it
/// hands out stay at their addresses for its life; it answers several threads at once.
template <typename Record>
class RecordMaker {
public:
    virtual ~RecordMaker() = default;
    /// The first record of `key`, or null.
    virtual const Record* Find(std::string_view key) = 0;
    /// Every record, in the catalogue's order.
    virtual std::vector<const Record*> List() = 0;
};

/// The records of one kind: in the order added, at fixed addresses, found by their key as it was
/// when added, the first record of a key winning. A table given a maker answers from it alone.
template <typename Record>
class RecordTable {
public:
    /// Answers every question from `maker`, which outlives the table.
    void MadeBy(RecordMaker<Record>& maker) { m_maker = &maker; }
    /// Keeps `record` and returns the kept one.
    Record& Add(Record record) {
        m_records.push_back(std::move(record));
        Record& stored = m_records.back();
        m_byKey.emplace(KeyOf(stored), &stored);
        return stored;
    }
    /// The first record of `key`, or null.
    const Record* Find(std::string_view key) const {
        if (m_maker != nullptr) {
            return m_maker->Find(key);
        }
        const auto found = m_byKey.find(key);
        return found == m_byKey.end() ? nullptr : found->second;
    }
    /// Every record, in the order added.
    std::vector<const Record*> List() const {
        if (m_maker != nullptr) {
            return m_maker->List();
        }
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
    RecordMaker<Record>* m_maker = nullptr;
};

/// What a catalogue says of a dimension beyond its record: its signature as the catalogue writes
/// it (see Signature.h), and whether unit expressions of that signature resolve to it.
struct DimensionSignature {
    std::string text;
    bool preferred = false;
};

/// What makes a catalogue's records when they are asked for: it gives the tables their makers,
/// and finds the mappings itself.
class RecordSource {
public:
    virtual ~RecordSource() = default;
    /// The unit that `unitSystemName` gives `measurementName`, or null.
    virtual const UnitSpec* GetUnitSpecOfMeasurement(std::string_view unitSystemName,
                                                     std::string_view measurementName) = 0;
};

struct RecordSet {
    /// When set, the record tables below answer from it and `mappings` stays empty.
    std::unique_ptr<RecordSource> source;

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
