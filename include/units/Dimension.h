// Dimensions such as Length or Mass: each has a name and one base unit. Made only by the
// catalogue, on the first look-up of a name, from the registered reader's record.
#pragma once

#include <units/UnitsExport.h>

#include <string>

namespace Orv::Pim::Core::Service::Units {

class Unit;
class DimensionCacheHashMap;

/// A physical dimension. Catalogue dimensions live until the library is unloaded.
class ORV_UNITS_API Dimension {
public:
    /// The catalogue's dimension named `name` (exact, case-sensitive); never null. Throws
    /// UnitException when neither the catalogue nor the reader knows it or its record is refused.
    static Dimension* GetDimension(const std::string& name);

    /// A copy that is not registered; destroying it leaves the catalogue's entry alone.
    Dimension(const Dimension& other);
    Dimension& operator=(const Dimension&) = delete;
    /// Removes this dimension's own catalogue entry, if it has one.
    ~Dimension();

    /// The name; the catalogue key.
    const std::string& Name() const;
    /// The base unit, looked up on first use. Throws UnitException when it cannot be found.
    Unit* BaseUnit();
    /// -1, 0 or 1 by name in unsigned byte order; `other` is a Dimension*, null gives 1.
    int CompareTo(void* other) const;
    /// "Dimension " and the name, then " , base unit " and its symbol once it is resolved.
    std::string ToString();

private:
    friend class DimensionCacheHashMap;

    Dimension(const std::string& name, const std::string& baseSymbol);
    static DimensionCacheHashMap& GetDimensionCacheHashMap();

    std::string m_name;
    std::string m_baseSymbol;
    Unit* m_pBaseUnit;
};

} // namespace Orv::Pim::Core::Service::Units
