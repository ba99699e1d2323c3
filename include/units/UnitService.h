// The library's process-wide settings: the registered readers and the current unit system.
#pragma once

#include <units/UnitSystem.h>
#include <units/UnitsExport.h>
#include <units/service/Event.h>

namespace Orv::Pim::Core::Service::Units {

namespace Reader {
class IUnitReader;
class SyPhysicalReader;
} // namespace Reader

/// Static access to the reader slots and the current unit system.
class ORV_UNITS_API UnitService {
public:
    /// Raised on every SetUnitSystem with the new current unit system (possibly null).
    static Orv::Pim::Core::Service::Event<UnitSystem::UnitSystemEventArgs>
        m_CurrentUnitSystemChanged;

    /// The registered reader. Throws UnitException when none is registered.
    static Reader::IUnitReader& UnitReader();
    /// Registers `reader` (not owned), replacing the earlier one. Throws UnitException for null.
    static void UnitReader(Reader::IUnitReader* reader);
    /// The registered SyPhysical reader. Throws UnitException when none is registered.
    static Reader::SyPhysicalReader& SyPhysicalUnitReader();
    /// Registers `reader` (not owned). Throws UnitException for null.
    static void SyPhysicalUnitReader(Reader::SyPhysicalReader* reader);

    /// The current unit system, "Metric" until one is set; never null. Throws UnitException.
    static UnitSystem* GetUnitSystem();
    /// Makes `unitSystem` current (null brings back the default later) and raises the event.
    /// Throws UnitException for a local unit system without parent.
    static void SetUnitSystem(UnitSystem* unitSystem);

    /// Assignments do nothing: all state is static.
    UnitService& operator=(const UnitService&) { return *this; }
    UnitService& operator=(UnitService&&) noexcept { return *this; }

private:
    static UnitSystem* GetDefaultUnitSystem();

    static UnitSystem* m_pCurrentUnitSystem;
    static Reader::IUnitReader* m_pReader;
    static Reader::SyPhysicalReader* m_pSyPhysicalReader;
};

} // namespace Orv::Pim::Core::Service::Units
