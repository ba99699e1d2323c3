// The catalogue maps: dimensions by name, units by symbol, measurements by name. Each map is keyed
// by the text of the object's own key string, which stays put because catalogue objects never
// move, and owns its objects until the process ends. A map keeps its objects twice: in byte order
// of their keys for the listings, and in a hash index that look-ups search.
#pragma once

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

/// Sign of the unsigned byte-wise comparison of two C strings: -1, 0 or 1.
inline int CompareCStrings(const char* left, const char* right) noexcept {
    const int result = std::strcmp(left, right);
    return (result > 0) - (result < 0);
}

/// Catalogue objects by key text in one flat table (open addressing, linear probing), so that a
/// look-up is one hash and a probe or two, whatever the catalogue's size, and allocates nothing.
/// A slot holds the first sixteen bytes of its key, which is the whole of a usual key, so that a
/// hit is confirmed without reading the object. Keys are C strings: a key is its text up to its
/// first NUL byte.
template <typename Object>
class HashIndex {
public:
    /// The object filed under `key`, or null.
    Object* Find(std::string_view key) const {
        if (m_slots.empty()) {
            return nullptr;
        }
        if (Object* found = m_slots[Probe(Key(key))].object) {
            return found;
        }
        // A key with a NUL byte is looked up as the C string it starts with.
        const std::size_t end = key.find('\0');
        return end == std::string_view::npos ? nullptr
                                             : m_slots[Probe(Key(key.substr(0, end)))].object;
    }
    /// Files `object` under `key`, whose text must stay at its place; the key is not filed yet.
    void Insert(const char* key, Object* object) {
        if ((m_count + 1) * 10 > m_slots.size() * 7) {
            Grow();
        }
        const Key text{std::string_view(key)};
        Slot& slot = m_slots[Probe(text)];
        slot = {object, text.low, text.high, text.length, text.hash};
        ++m_count;
    }
    /// Removes the entry of `key` when it designates `object`.
    void RemoveIfSelf(const char* key, const Object* object) {
        if (m_slots.empty()) {
            return;
        }
        std::size_t hole = Probe(Key(std::string_view(key)));
        if (m_slots[hole].object == nullptr || m_slots[hole].object != object) {
            return;
        }
        // Moves back each later entry of the run that its probe would no longer reach.
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t next = (hole + 1) & mask; m_slots[next].object != nullptr;
             next = (next + 1) & mask) {
            const std::size_t home = Home(m_slots[next].hash);
            if (((next - home) & mask) >= ((next - hole) & mask)) {
                m_slots[hole] = m_slots[next];
                hole = next;
            }
        }
        m_slots[hole] = Slot{};
        --m_count;
    }
    void Clear() {
        m_slots.clear();
        m_count = 0;
    }

private:
    static constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

    struct Slot {
        Object* object = nullptr; // null in an empty slot
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::uint32_t length = 0;
        std::uint32_t hash = 0;
    };

    /// A key as a slot holds it: up to sixteen bytes in two words, zero past the key's end; a
    /// longer key keeps its first eight bytes and the address of its text.
    struct Key {
        explicit Key(std::string_view text) : length(static_cast<std::uint32_t>(text.size())) {
            const char* bytes = text.data();
            const std::size_t size = text.size();
            if (size > 16) {
                low = Load(bytes, 8);
                std::memcpy(&high, &bytes, sizeof bytes);
                pointer = bytes;
                std::uint64_t mixed = size;
                for (std::size_t at = 0; at + 8 <= size; at += 8) {
                    mixed = Mix(mixed, Load(bytes + at, 8));
                }
                hash = static_cast<std::uint32_t>(Mix(mixed, Load(bytes + size - 8, 8)));
                return;
            }
            // Loads that overlap read every byte once at least and never one past the end.
            if (size >= 8) {
                low = Load(bytes, 8);
                high = size == 8 ? 0 : Load(bytes + size - 8, 8) >> (8 * (16 - size));
            } else if (size >= 4) {
                low = Load(bytes, 4) | (Load(bytes + size - 4, 4) >> (8 * (8 - size))) << 32;
            } else if (size > 0) {
                low = Byte(bytes[0]) | Byte(bytes[size / 2]) << (8 * (size / 2)) |
                      Byte(bytes[size - 1]) << (8 * (size - 1));
            }
            hash = static_cast<std::uint32_t>(Mix(Mix(size, low), high));
        }
        bool Matches(const Slot& slot) const {
            if (slot.hash != hash || slot.length != length || slot.low != low) {
                return false;
            }
            if (length <= 16) {
                return slot.high == high;
            }
            const char* text = nullptr;
            std::memcpy(&text, &slot.high, sizeof text);
            return std::memcmp(text, pointer, length) == 0;
        }

        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::uint32_t length;
        std::uint32_t hash = 0;
        const char* pointer = nullptr; // the text of a key longer than sixteen bytes
    };

    static std::uint64_t Load(const char* at, std::size_t count) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, count);
        return word;
    }
    static std::uint64_t Byte(char c) { return static_cast<unsigned char>(c); }
    static std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
        hash = (hash ^ word) * kMultiplier;
        return hash ^ hash >> 32;
    }

    std::size_t Home(std::uint32_t hash) const {
        return static_cast<std::size_t>((hash * kMultiplier) >> m_shift);
    }

    /// The slot that holds `key`, or the empty slot where it would go.
    std::size_t Probe(const Key& key) const {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = Home(key.hash);; i = (i + 1) & mask) {
            if (m_slots[i].object == nullptr || key.Matches(m_slots[i])) {
                return i;
            }
        }
    }

    void Grow() {
        std::vector<Slot> old(m_slots.empty() ? 64 : m_slots.size() * 2);
        old.swap(m_slots);
        m_shift = 64;
        for (std::size_t size = m_slots.size(); size > 1; size >>= 1) {
            --m_shift;
        }
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.object != nullptr) {
                std::size_t i = Home(slot.hash);
                while (m_slots[i].object != nullptr) {
                    i = (i + 1) & mask;
                }
                m_slots[i] = slot;
            }
        }
    }

    std::vector<Slot> m_slots; // a power of two of them, at most 70% full
    std::size_t m_count = 0;
    unsigned m_shift = 64; // 64 less the bits of a slot's index
};

/// A map from key text to catalogue object that deletes its objects when destroyed: ordered by
/// bytes for the listings, hashed for look-ups. `KeyOf` gives an object's own key string; the
/// ordered set holds only the objects and reads their keys through it, which keeps its nodes
/// small.
template <typename Object, const std::string& (Object::*KeyOf)() const>
class CatalogueMap {
    /// Orders objects by key text, byte by byte as strcmp does; a key text compares with an
    /// object, so that an entry is found by its key.
    struct ByKey {
        using is_transparent = void;
        static const char* Text(const Object* object) { return (object->*KeyOf)().c_str(); }
        static const char* Text(const char* text) { return text; }
        template <typename Left, typename Right>
        bool operator()(const Left& left, const Right& right) const noexcept {
            return std::strcmp(Text(left), Text(right)) < 0;
        }
    };

public:
    using Objects = std::set<Object*, ByKey>;

    CatalogueMap() = default;
    CatalogueMap(const CatalogueMap&) = delete;
    CatalogueMap& operator=(const CatalogueMap&) = delete;

    /// Deletes the first object until the map is empty. The object is taken out before it goes,
    /// so its destructor finds nothing left to remove.
    ~CatalogueMap() {
        m_index.Clear();
        while (!m_objects.empty()) {
            const auto first = m_objects.begin();
            Object* object = *first;
            m_objects.erase(first);
            delete object;
        }
    }

    /// The object filed under `key`, or null. Allocates nothing.
    Object* Find(std::string_view key) const { return m_index.Find(key); }
    bool Contains(std::string_view key) const { return m_index.Find(key) != nullptr; }
    /// Files `object` under `key`, the object's own key string.
    void Insert(const std::string& key, Object* object) {
        if (m_objects.insert(object).second) {
            m_index.Insert(key.c_str(), object);
        }
    }
    /// Removes the entry under `key` only when it designates `object`, so that destroying an
    /// unregistered copy leaves the catalogue's own entry in place.
    void RemoveIfSelf(const std::string& key, const Object* object) {
        const auto found = m_objects.find(key.c_str());
        if (found != m_objects.end() && *found == object) {
            m_objects.erase(found);
            m_index.RemoveIfSelf(key.c_str(), object);
        }
    }
    /// The objects in byte order of their keys.
    const Objects& Entries() const { return m_objects; }
    std::size_t Size() const { return m_objects.size(); }

private:
    Objects m_objects;
    HashIndex<Object> m_index;
};

class DimensionCacheHashMap : public CatalogueMap<Dimension, &Dimension::Name> {};
class UnitCacheHashMap : public CatalogueMap<Unit, &Unit::Symbol> {};
class MeasurementCacheHashMap : public CatalogueMap<Measurement, &Measurement::Name> {};

} // namespace Orv::Pim::Core::Service::Units
