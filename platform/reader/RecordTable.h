// The records of one kind that a reader keeps: in the order they were added, at fixed addresses,
// and found by key, the first record of a key winning.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

template <typename Record>
class RecordTable {
public:
    /// Keeps `record`, filed under `key` unless an earlier record has that key.
    Record& Add(const std::string& key, Record record) {
        m_records.push_back(std::move(record));
        Record& stored = m_records.back();
        m_byKey.emplace(key, &stored);
        return stored;
    }
    /// The first record filed under `key`, or null.
    const Record* Find(const std::string& key) const {
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
    std::map<std::string, const Record*> m_byKey;
};

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
