// Measurements: kinds of quantity such as Depth or Pressure, each within one dimension. Made only
// by the catalogue, on the first look-up of a name, from the registered reader's record.
#pragma once

#include <units/UnitsExport.h>

#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

class Dimension;
class Unit;
class MeasurementCacheHashMap;

namespace Reader {
struct MeasurementSpec;
}

/// A kind of quantity. Catalogue measurements live until the library is unloaded.
class ORV_UNITS_API Measurement {
public:
    /// The catalogue's measurement named `name` (exact, case-sensitive); never null. Throws
    /// UnitException when neither the catalogue nor the reader knows it.
    static Measurement* GetMeasurement(const std::string& name);
    /// Every measurement, in unsigned byte order of names; the first call reads all records.
    static std::vector<Measurement*> GetAllMeasurements();

    /// A copy that is not registered; destroying it leaves the catalogue's entry alone.
    Measurement(const Measurement& other);
    Measurement& operator=(const Measurement&) = delete;
    /// Removes this measurement's own catalogue entry, if it has one.
    ~Measurement();

    /// The name; the catalogue key.
    const std::string& Name() const;
    /// The dimension it belongs to.
    Dimension* GetDimension() const;
    /// The base unit of its dimension. Throws UnitException.
    Unit* BaseUnit() const;
    /// Its unit in the current unit system.
    Unit* CurrentUnit() const;
    /// -1, 0 or 1 by dimension, then name; `other` is a Measurement*, null gives 1.
    int CompareTo(void* other) const;
    /// "Measurement " and the name.
    std::string ToString() const;

private:
    friend class MeasurementCacheHashMap;

    Measurement(const std::string& name, Dimension* dimension);
    static Measurement* CreateAndCache(const Reader::MeasurementSpec* record);
    static MeasurementCacheHashMap& GetMeasurementCacheHashMap();

    std::string m_name;
    Dimension* m_pDimension;

    static bool m_bHasReadAll;
};

} // namespace Orv::Pim::Core::Service::Units
