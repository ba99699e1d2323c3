// Local unit systems: a caller's own overrides on top of a parent unit system, or on top of
// whatever unit system is current at the time of each look-up.
#pragma once

#include <units/UnitSystem.h>
#include <units/UnitsExport.h>
#include <units/service/Event.h>

#include <string>

namespace Orv::Pim::Core::Service::Units {

/// A unit system with local overrides; every other measurement comes from the parent or, without
/// a parent, from the current unit system. Never registered by the library.
class ORV_UNITS_API LocalUnitSystem : public UnitSystem {
public:
    /// The argument of the local change event: which override was set to what, and where.
    class ORV_UNITS_API ChangeDetails : public Orv::Pim::Core::Service::DelegateArgs {
    public:
        ChangeDetails(Measurement* measurement, Unit* unit, LocalUnitSystem* localUnitSystem);
        ~ChangeDetails() override;

        /// The measurement whose override was set.
        Measurement* GetMeasurement() const;
        /// The unit it was set to.
        Unit* GetUnit() const;
        /// The local unit system that changed.
        LocalUnitSystem* GetLocalUnitSystem() const;

    private:
        Measurement* m_pMeasurement;
        Unit* m_pUnit;
        LocalUnitSystem* m_pLocalUnitSystem;
    };

    /// Raised after each override is set, before the current-unit-system event.
    Orv::Pim::Core::Service::Event<ChangeDetails> m_LocalUnitSystemChanged;

    /// A system without parent: it follows the current unit system.
    explicit LocalUnitSystem(std::string const& name);
    /// A system over `parent`; over a local system it takes that system's parent and a copy of
    /// its overrides instead. A null parent gives a system without parent.
    LocalUnitSystem(std::string const& name, UnitSystem* parent);
    /// A copy with the same overrides, parent and event handlers.
    LocalUnitSystem(LocalUnitSystem const& other);
    LocalUnitSystem& operator=(const LocalUnitSystem&) = delete;
    ~LocalUnitSystem() override;

    /// A new LocalUnitSystem (owned by the caller) with the same name, parent and overrides and
    /// no event handlers. Throws UnitException.
    void* Clone();
    /// True when the system has no parent.
    bool UsesCurrentContext();
    /// The override, else the parent's unit, else the current unit system's. Throws
    /// UnitException when the system has no parent and is itself current.
    Unit* GetUnitOfMeasurement(Measurement const* measurement) override;
    /// Sets the override of `measurement` and raises the events. Throws UnitException for a null
    /// measurement or unit, or a unit of another dimension, changing nothing.
    void SetUnitOfMeasurement(Measurement* measurement, Unit* unit);

private:
    UnitSystem* m_pParent;
};

} // namespace Orv::Pim::Core::Service::Units
