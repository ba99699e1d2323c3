// UnitService: the process-wide settings of the library. The two reader slots (the library never
// owns, copies or deletes a reader) and the current unit system, the registered "Metric" until a
// host chooses another, with an event raised on every choice.
#include "frame/RegisteredReader.h"

#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/interfaces/Reader.h>

#include <string>

namespace Orv::Pim::Core::Service::Units {

Reader::IUnitReader* UnitService::m_pReader = nullptr;
Reader::SyPhysicalReader* UnitService::m_pSyPhysicalReader = nullptr;
UnitSystem* UnitService::m_pCurrentUnitSystem = nullptr;
Orv::Pim::Core::Service::Event<UnitSystem::UnitSystemEventArgs>
    UnitService::m_CurrentUnitSystemChanged;

Reader::IUnitReader& UnitService::UnitReader() {
    if (m_pReader == nullptr) {
        throw UnitException(std::string("Unit Service is not initialized with a Unit Reader.") +
                            "\n" + "Please use UnitService.UnitReader to set a Unit Reader.");
    }
    return *m_pReader;
}

Reader::IUnitReader& RegisteredReader() {
    return UnitService::UnitReader();
}

void UnitService::UnitReader(Reader::IUnitReader* reader) {
    if (reader == nullptr) {
        throw UnitException("Can not set an empty UnitReader in UnitSystem!");
    }
    m_pReader = reader;
}

Reader::SyPhysicalReader& UnitService::SyPhysicalUnitReader() {
    if (m_pSyPhysicalReader == nullptr) {
        throw UnitException(
            std::string("Unit Service is not initialized with a SyPhysical Unit Reader.") + "\n" +
            "Please use UnitService.UnitReader to set a SyPhysical Unit Reader.");
    }
    return *m_pSyPhysicalReader;
}

void UnitService::SyPhysicalUnitReader(Reader::SyPhysicalReader* reader) {
    if (reader == nullptr) {
        throw UnitException("Can not set an empty SyPhysical Unit Reader in UnitService!");
    }
    m_pSyPhysicalReader = reader;
}

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

// The unit a measurement has in the current unit system; a current local system answers by its
// own rules, since the call is virtual.
Unit* Measurement::CurrentUnit() const {
    return UnitService::GetUnitSystem()->GetUnitOfMeasurement(this);
}

} // namespace Orv::Pim::Core::Service::Units
