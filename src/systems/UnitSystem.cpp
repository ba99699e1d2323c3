// Unit systems: the registry is filled from the reader in one go, and each system works out the
// unit of a measurement on first demand, falling back to the measurement's base unit.
#include "frame/RegisteredReader.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/interfaces/Reader.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <memory>

namespace Orv::Pim::Core::Service::Units {

UnitSystem::UnitSystemEventArgs::UnitSystemEventArgs() : m_pUnitSystem(nullptr) {}

UnitSystem::UnitSystemEventArgs::UnitSystemEventArgs(UnitSystem* unitSystem)
    : m_pUnitSystem(unitSystem) {}

UnitSystem::UnitSystemEventArgs::UnitSystemEventArgs(const UnitSystemEventArgs& other)
    : DelegateArgs(other), m_pUnitSystem(other.m_pUnitSystem) {}

UnitSystem::UnitSystemEventArgs&
UnitSystem::UnitSystemEventArgs::operator=(const UnitSystemEventArgs& other) {
    DelegateArgs::operator=(other);
    m_pUnitSystem = other.m_pUnitSystem;
    return *this;
}

UnitSystem::UnitSystemEventArgs::~UnitSystemEventArgs() {
    m_pUnitSystem = nullptr;
}

UnitSystem* UnitSystem::UnitSystemEventArgs::GetUnitSystem() const {
    return m_pUnitSystem;
}

void UnitSystem::UnitSystemEventArgs::SetUnitSystem(UnitSystem* unitSystem) {
    m_pUnitSystem = unitSystem;
}

UnitSystem::UnitSystem(const std::string& name)
    : m_classType(e_UnitSystem), m_name(name), m_sortRank(name == "Metric" ? 1 : 2) {}

UnitSystem::UnitSystem(const UnitSystem& other)
    : m_classType(other.m_classType), m_measurementUnitHashMap(other.m_measurementUnitHashMap),
      m_name(other.m_name), m_sortRank(other.m_sortRank) {}

UnitSystem::~UnitSystem() {
    // Every entry designating this object goes, not only the first: a host may have appended the
    // same system twice, and a dangling entry would be deleted again by the registry's release.
    UnitSystemArray& registry = GetUnitSystemArray();
    const auto removed = registry.end() - std::remove(registry.begin(), registry.end(), this);
    for (auto i = removed; i > 0; --i) {
        registry.erase(registry.end() - 1);
    }
}

const std::string& UnitSystem::Name() const {
    return m_name;
}

UnitSystem::e_ClassType UnitSystem::ClassType() {
    return m_classType;
}

std::map<const Measurement*, Unit*>& UnitSystem::GetMeasurementUnitHashMap() {
    return m_measurementUnitHashMap;
}

int UnitSystem::CompareTo(void* other) const {
    if (other == nullptr) {
        return 1;
    }
    const auto* that = static_cast<const UnitSystem*>(other);
    if (m_sortRank != that->m_sortRank) {
        return m_sortRank - that->m_sortRank;
    }
    const int byName = std::strcmp(m_name.c_str(), that->m_name.c_str());
    return byName < 0 ? -1 : (byName > 0 ? 1 : 0);
}

Unit* UnitSystem::GetUnitOfMeasurement(const Measurement* measurement) {
    if (measurement == nullptr) {
        return nullptr;
    }
    auto found = m_measurementUnitHashMap.find(measurement);
    if (found != m_measurementUnitHashMap.end()) {
        if (found->second != nullptr) {
            return found->second;
        }
    } else {
        const Reader::UnitSpec* record =
            RegisteredReader().GetUnitSpecOfMeasurement(m_name, measurement->Name());
        if (record == nullptr || !record->IsValid()) {
            // Diagnostics are left unflushed: they go out with the host's own output.
            std::cout << "Unit system " << m_name << " has no definition for "
                      << measurement->Name() << '\n';
        } else {
            // The record is only borrowed; the unit look-up below calls the reader again.
            const std::string symbol = record->symbol;
            Unit* unit = Unit::GetUnit(symbol);
            if (unit->GetDimension() != measurement->GetDimension()) {
                // Not remembered, so every later call asks the reader and reports it again.
                std::cout << "The unit '" << symbol << "' for " << m_name << "."
                          << measurement->Name() << " has the wrong Dimension." << '\n';
                return unit;
            }
            m_measurementUnitHashMap.emplace(measurement, unit);
            return unit;
        }
    }
    // An existing entry (a null unit stored by a caller) is left as it is.
    m_measurementUnitHashMap.emplace(measurement, measurement->BaseUnit());
    return measurement->BaseUnit();
}

UnitSystem* UnitSystem::GetUnitSystem(const std::string& name) {
    UnitSystemArray& registry = GetUnitSystemArray();
    EnsureUnitSystemCache();
    for (UnitSystem* unitSystem : registry) {
        if (unitSystem != nullptr && unitSystem->m_name == name) {
            return unitSystem;
        }
    }
    throw UnitException("Could not find a UnitSystem named '" + name + "'!");
}

UnitSystemArray UnitSystem::UnitSystems() {
    GetUnitSystemArray();
    EnsureUnitSystemCache();
    return GetUnitSystemArray();
}

UnitSystemArray& UnitSystem::GetUnitSystemArray() {
    // The library's own handle: it holds one count until unload, so the registry is released
    // only then, once no host handle is left.
    static UnitSystemArray array;
    return array;
}

void UnitSystem::EnsureUnitSystemCache() {
    UnitSystemArray& registry = GetUnitSystemArray();
    // The reader is asked on every call, also when its list is not used: a missing reader is
    // reported the same way whatever the registry holds.
    const std::vector<const Reader::UnitSystemSpec*> records =
        RegisteredReader().GetAllUnitSystemSpecs();
    if (registry.size() != 0 || records.empty()) {
        return;
    }
    for (const Reader::UnitSystemSpec* record : records) {
        if (record == nullptr || !record->IsValid()) {
            continue;
        }
        std::unique_ptr<UnitSystem> unitSystem(new UnitSystem(record->name));
        registry.push_back(unitSystem.get());
        unitSystem.release();
    }
}

} // namespace Orv::Pim::Core::Service::Units
