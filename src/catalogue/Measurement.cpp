// The measurement catalogue: measurements are built from reader records on first look-up, filed
// under their own names, and live until the library is unloaded.
#include "catalogue/CacheMaps.h"
#include "frame/RegisteredReader.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UnitException.h>
#include <units/interfaces/Reader.h>

namespace Orv::Pim::Core::Service::Units {

bool Measurement::m_bHasReadAll = false;

MeasurementCacheHashMap& Measurement::GetMeasurementCacheHashMap() {
    static MeasurementCacheHashMap map;
    return map;
}

Measurement* Measurement::GetMeasurement(const std::string& name) {
    if (Measurement* cached = GetMeasurementCacheHashMap().Find(name)) {
        return cached;
    }
    const Reader::MeasurementSpec* record = RegisteredReader().GetMeasurementSpec(name);
    if (record != nullptr && record->IsValid()) {
        if (Measurement* measurement = CreateAndCache(record)) {
            return measurement;
        }
    }
    throw UnitException("Could not find a Measurement named '" + name + "'!");
}

std::vector<Measurement*> Measurement::GetAllMeasurements() {
    MeasurementCacheHashMap& map = GetMeasurementCacheHashMap();
    if (!m_bHasReadAll) {
        const std::vector<const Reader::MeasurementSpec*> records =
            RegisteredReader().GetAllMeasurementSpecs();
        for (const Reader::MeasurementSpec* record : records) {
            if (record == nullptr || !record->IsValid()) {
                continue;
            }
            if (map.Contains(record->name)) {
                continue;
            }
            CreateAndCache(record);
        }
        // Set only once the whole list went through: a failure above leaves it false, so the
        // next call reads the list again and skips what it has already built.
        m_bHasReadAll = true;
    }
    std::vector<Measurement*> all;
    all.reserve(map.Size());
    for (Measurement* measurement : map.Entries()) {
        all.push_back(measurement);
    }
    return all;
}

Measurement* Measurement::CreateAndCache(const Reader::MeasurementSpec* record) {
    if (record == nullptr || !record->IsValid()) {
        return nullptr;
    }
    Dimension* dimension = Dimension::GetDimension(record->dimensionName);
    if (dimension == nullptr) {
        return nullptr;
    }
    // Filed under the record's own name, which is not necessarily the name that was asked for.
    return new Measurement(record->name, dimension);
}

Measurement::Measurement(const std::string& name, Dimension* dimension)
    : m_name(name), m_pDimension(nullptr) {
    MeasurementCacheHashMap& map = GetMeasurementCacheHashMap();
    if (map.Contains(m_name)) {
        throw UnitException("Attempting to add duplicate \"" + name + "\" measurement");
    }
    map.Insert(m_name, this);
    m_pDimension = dimension;
}

Measurement::Measurement(const Measurement& other)
    : m_name(other.m_name), m_pDimension(other.m_pDimension) {}

Measurement::~Measurement() {
    m_pDimension = nullptr;
    // Only an entry that designates this very object is removed: a copy shares the name of the
    // catalogue measurement it was made from and must not unfile it.
    GetMeasurementCacheHashMap().RemoveIfSelf(m_name, this);
}

const std::string& Measurement::Name() const {
    return m_name;
}

Dimension* Measurement::GetDimension() const {
    return m_pDimension;
}

Unit* Measurement::BaseUnit() const {
    if (m_pDimension == nullptr) {
        throw UnitException("Null Dimension in Measurement" + m_name + ".");
    }
    return m_pDimension->BaseUnit();
}

int Measurement::CompareTo(void* other) const {
    if (other == nullptr) {
        return 1;
    }
    if (m_pDimension == nullptr) {
        return 1;
    }
    const auto* that = static_cast<const Measurement*>(other);
    const int byDimension = m_pDimension->CompareTo(that->m_pDimension);
    if (byDimension != 0) {
        return byDimension;
    }
    return CompareCStrings(m_name.c_str(), that->m_name.c_str());
}

std::string Measurement::ToString() const {
    return "Measurement " + m_name;
}

} // namespace Orv::Pim::Core::Service::Units
