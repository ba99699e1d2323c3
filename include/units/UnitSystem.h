// Unit systems: named choices of one unit per measurement, read from the reader into one
// process-wide registry (see UnitSystemArray).
#pragma once

#include <units/UnitsExport.h>
#include <units/service/Event.h>

#include <cstdint>
#include <map>
#include <string>

namespace Orv::Pim::Core::Service::Units {

class Measurement;
class Unit;
class UnitSystemArray;

/// A named mapping from measurement to unit, filled on demand from the reader.
class ORV_UNITS_API UnitSystem {
public:
    /// Plain unit system or local unit system.
    enum e_ClassType : std::int32_t { e_UnitSystem = 0, e_LocalUnitSystem = 1 };

    /// The argument of the current-unit-system event: the unit system carried, or null.
    class ORV_UNITS_API UnitSystemEventArgs : public Orv::Pim::Core::Service::DelegateArgs {
    public:
        UnitSystemEventArgs();
        explicit UnitSystemEventArgs(UnitSystem* unitSystem);
        UnitSystemEventArgs(const UnitSystemEventArgs& other);
        UnitSystemEventArgs& operator=(const UnitSystemEventArgs& other);
        ~UnitSystemEventArgs() override;

        /// The unit system carried (not owned).
        UnitSystem* GetUnitSystem() const;
        /// Replaces the unit system carried.
        void SetUnitSystem(UnitSystem* unitSystem);

    private:
        UnitSystem* m_pUnitSystem;
    };

    /// A copy with the same class type, map, name and rank; not registered.
    UnitSystem(const UnitSystem& other);
    UnitSystem& operator=(const UnitSystem&) = delete;
    /// Removes this unit system from the registry if it is there.
    virtual ~UnitSystem();

    /// The name.
    const std::string& Name() const;
    /// e_UnitSystem, or e_LocalUnitSystem for a LocalUnitSystem.
    e_ClassType ClassType();
    /// The units already worked out or set, by measurement address.
    std::map<const Measurement*, Unit*>& GetMeasurementUnitHashMap();
    /// "Metric" first, then by name in unsigned byte order; `other` is a UnitSystem*, null gives 1.
    int CompareTo(void* other) const;
    /// The unit this system gives `measurement`, falling back to its base unit (with a diagnostic
    /// on standard output); null for null. Throws UnitException.
    virtual Unit* GetUnitOfMeasurement(const Measurement* measurement);

    /// The first registered unit system named `name`; never null. Throws UnitException.
    static UnitSystem* GetUnitSystem(const std::string& name);
    /// A handle on the registry, filled from the reader first. Throws UnitException.
    static UnitSystemArray UnitSystems();

protected:
    /// A new, unregistered unit system with an empty map.
    explicit UnitSystem(const std::string& name);

    e_ClassType m_classType;
    std::map<const Measurement*, Unit*> m_measurementUnitHashMap;
    std::string m_name;
    std::int32_t m_sortRank;

private:
    static UnitSystemArray& GetUnitSystemArray();
    static void EnsureUnitSystemCache();
};

} // namespace Orv::Pim::Core::Service::Units
