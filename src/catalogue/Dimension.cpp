#include "catalogue/CacheMaps.h"
#include "frame/RegisteredReader.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/interfaces/Reader.h>

#include <memory>

namespace Orv::Pim::Core::Service::Units {

DimensionCacheHashMap& Dimension::GetDimensionCacheHashMap() {
    static DimensionCacheHashMap map;
    return map;
}

Dimension* Dimension::GetDimension(const std::string& name) {
    if (Dimension* cached = GetDimensionCacheHashMap().Find(name)) {
        return cached;
    }
    const Reader::DimensionSpec* record = RegisteredReader().GetDimensionSpec(name);
    if (record != nullptr && record->IsValid()) {
        // The constructor files the new dimension under the record's own name.
        return new Dimension(record->name, record->baseUnitSymbol);
    }
    throw UnitException("Could not find a Dimension named '" + name + "'!");
}

Dimension::Dimension(const std::string& name, const std::string& baseSymbol)
    : m_name(name), m_baseSymbol(baseSymbol), m_pBaseUnit(nullptr) {
    if (name.empty()) {
        throw UnitException("Attempting to add NULL dimension");
    }
    if (baseSymbol.empty()) {
        throw UnitException("Attempting to add dimension without a base unit");
    }
    DimensionCacheHashMap& map = GetDimensionCacheHashMap();
    if (map.Contains(name)) {
        throw UnitException("Attempting to add duplicate \"" + name + "\" dimension");
    }
    // Only the dimension name of the base unit is needed here; building the unit would need this
    // very dimension.
    const std::unique_ptr<std::string> baseDimension(Unit::GetDimensionNameOfUnit(baseSymbol));
    if (!baseDimension) {
        throw UnitException("No Unit found for \"" + baseSymbol + "\" base symbol.");
    }
    if (*baseDimension != name) {
        throw UnitException("Dimension" + name + "has base symbol" + baseSymbol +
                            ", but that symbol is in the" +
                            (baseDimension->empty() ? std::string("( NULL )") : *baseDimension));
    }
    map.Insert(m_name, this);
}

Dimension::Dimension(const Dimension& other)
    : m_name(other.m_name), m_baseSymbol(other.m_baseSymbol), m_pBaseUnit(other.m_pBaseUnit) {}

Dimension::~Dimension() {
    m_pBaseUnit = nullptr;
    GetDimensionCacheHashMap().RemoveIfSelf(m_name, this);
}

const std::string& Dimension::Name() const {
    return m_name;
}

Unit* Dimension::BaseUnit() {
    if (m_pBaseUnit == nullptr) {
        m_pBaseUnit = Unit::GetUnit(m_baseSymbol);
    }
    return m_pBaseUnit;
}

int Dimension::CompareTo(void* other) const {
    if (other == nullptr) {
        return 1;
    }
    return CompareCStrings(m_name.c_str(), static_cast<const Dimension*>(other)->m_name.c_str());
}

std::string Dimension::ToString() {
    std::string text = "Dimension " + m_name;
    if (m_pBaseUnit != nullptr) {
        text += " , base unit " + m_pBaseUnit->Symbol();
    }
    return text;
}

} // namespace Orv::Pim::Core::Service::Units
