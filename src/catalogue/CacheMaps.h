// The catalogue maps: dimensions by name, units by symbol, measurements by name. Each map is keyed
// by a pointer to the text of the object's own key string, which stays put because catalogue
// objects never move, and owns its objects until the process ends.
#pragma once

#include <cstring>
#include <map>

namespace Orv::Pim::Core::Service::Units {

class Dimension;
class Unit;
class Measurement;

/// Orders C strings byte by byte, each byte taken as unsigned (which is what strcmp does).
struct CStringLess {
    bool operator()(const char* left, const char* right) const noexcept {
        return std::strcmp(left, right) < 0;
    }
};

/// Sign of the unsigned byte-wise comparison of two C strings: -1, 0 or 1.
inline int CompareCStrings(const char* left, const char* right) noexcept {
    const int result = std::strcmp(left, right);
    return (result > 0) - (result < 0);
}

/// An ordered map from key text to catalogue object that deletes its objects when destroyed.
template <typename Object>
class CatalogueMap {
public:
    using Map = std::map<const char*, Object*, CStringLess>;

    CatalogueMap() = default;
    CatalogueMap(const CatalogueMap&) = delete;
    CatalogueMap& operator=(const CatalogueMap&) = delete;

    /// Deletes the object of the first entry until the map is empty. The entry is taken out
    /// before its object goes, so an object's destructor finds nothing left to remove.
    ~CatalogueMap() {
        while (!m_entries.empty()) {
            const auto first = m_entries.begin();
            Object* object = first->second;
            m_entries.erase(first);
            delete object;
        }
    }

    /// The object filed under `key`, or null.
    Object* Find(const char* key) const {
        const auto found = m_entries.find(key);
        return found == m_entries.end() ? nullptr : found->second;
    }
    bool Contains(const char* key) const { return m_entries.count(key) != 0; }
    /// Files `object` under `key`, the text of the object's own key string.
    void Insert(const char* key, Object* object) { m_entries.emplace(key, object); }
    /// Removes the entry under `key` only when it designates `object`, so that destroying an
    /// unregistered copy leaves the catalogue's own entry in place.
    void RemoveIfSelf(const char* key, const Object* object) {
        const auto found = m_entries.find(key);
        if (found != m_entries.end() && found->second == object) {
            m_entries.erase(found);
        }
    }
    const Map& Entries() const { return m_entries; }
    std::size_t Size() const { return m_entries.size(); }

private:
    Map m_entries;
};

class DimensionCacheHashMap : public CatalogueMap<Dimension> {};
class UnitCacheHashMap : public CatalogueMap<Unit> {};
class MeasurementCacheHashMap : public CatalogueMap<Measurement> {};

} // namespace Orv::Pim::Core::Service::Units
