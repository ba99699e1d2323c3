// The current unit system: the registered "Metric" until a host chooses another, with an event
// raised on every choice.
#include <units/LocalUnitSystem.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

namespace Orv::Pim::Core::Service::Units {

UnitSystem* UnitService::m_pCurrentUnitSystem = nullptr;
Orv::Pim::Core::Service::Event<UnitSystem::UnitSystemEventArgs>
    UnitService::m_CurrentUnitSystemChanged;

UnitSystem* UnitService::GetDefaultUnitSystem() {
    return UnitSystem::GetUnitSystem("Metric");
}

UnitSystem* UnitService::GetUnitSystem() {
    if (m_pCurrentUnitSystem == nullptr) {
        // Stored only once found, so a failed default look-up is tried again next time. Working
        // out the default is not a change: no event.
        m_pCurrentUnitSystem = GetDefaultUnitSystem();
    }
    return m_pCurrentUnitSystem;
}

void UnitService::SetUnitSystem(UnitSystem* unitSystem) {
    // A local system without parent answers from the current unit system, so it cannot be it.
    if (unitSystem != nullptr && unitSystem->ClassType() == UnitSystem::e_LocalUnitSystem) {
        auto* local = dynamic_cast<LocalUnitSystem*>(unitSystem);
        if (local != nullptr && local->UsesCurrentContext()) {
            throw UnitException("Current unit system must not refer to self");
        }
    }
    m_pCurrentUnitSystem = unitSystem;
    UnitSystem::UnitSystemEventArgs args(m_pCurrentUnitSystem);
    m_CurrentUnitSystemChanged.Raise(&args);
}

} // namespace Orv::Pim::Core::Service::Units
