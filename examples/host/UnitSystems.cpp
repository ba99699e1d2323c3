#include "Host.h"

#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <algorithm>
#include <cstddef>
#include <iostream>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;

namespace {

/// Prints the unit that the current unit system gives each of `measurements`.
void ShowCurrentUnits(const std::vector<Measurement*>& measurements) {
    std::cout << "  in " << UnitService::GetUnitSystem()->Name() << ':';
    for (const Measurement* measurement : measurements) {
        std::cout << ' ' << measurement->Name() << " [" << measurement->CurrentUnit()->Symbol()
                  << ']';
    }
    std::cout << '\n';
}

} // namespace

void ShowUnitSystems() {
    const std::vector<Measurement*> measurements = {Measurement::GetMeasurement("Depth"),
                                                    Measurement::GetMeasurement("Pressure"),
                                                    Measurement::GetMeasurement("Temperature")};

    // The registry in the catalogue's order: "Metric" first, then by name.
    const UnitSystemArray systems = UnitSystem::UnitSystems();
    std::vector<UnitSystem*> sorted(systems.begin(), systems.end());
    std::sort(sorted.begin(), sorted.end(),
              [](UnitSystem* left, UnitSystem* right) { return left->CompareTo(right) < 0; });
    std::cout << "Unit systems:";
    for (const UnitSystem* unitSystem : sorted) {
        std::cout << ' ' << unitSystem->Name();
    }
    std::cout << '\n';

    const std::size_t currentToken = UnitService::m_CurrentUnitSystemChanged.Subscribe(
        [](const UnitSystem::UnitSystemEventArgs& args) {
            const UnitSystem* now = args.GetUnitSystem();
            std::cout << "  current unit system changed to "
                      << (now != nullptr ? now->Name() : "the default") << '\n';
        });

    // Until the host chooses, "Metric" is current, and working that out raises no event.
    ShowCurrentUnits(measurements);
    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Field"));
    ShowCurrentUnits(measurements);

    // A local unit system over Field that shows pressures in kPa and everything else as Field
    // does. Made current, each of its changes is announced twice: by its own event first, then as
    // a change of the current unit system.
    LocalUnitSystem wellSite("Well site", UnitService::GetUnitSystem());
    const std::size_t localToken = wellSite.m_LocalUnitSystemChanged.Subscribe(
        [](const LocalUnitSystem::ChangeDetails& change) {
            std::cout << "  " << change.GetLocalUnitSystem()->Name() << " now shows "
                      << change.GetMeasurement()->Name() << " in " << change.GetUnit()->Name()
                      << '\n';
        });
    UnitService::SetUnitSystem(&wellSite);
    wellSite.SetUnitOfMeasurement(measurements[1], Unit::GetUnit("kPa"));
    ShowCurrentUnits(measurements);

    // The local system ends with this function, so it must not stay current.
    UnitService::SetUnitSystem(nullptr);
    ShowCurrentUnits(measurements);

    wellSite.m_LocalUnitSystemChanged.Unsubscribe(localToken);
    UnitService::m_CurrentUnitSystemChanged.Unsubscribe(currentToken);
}
