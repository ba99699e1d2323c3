// The warm-up: everything lazy in the catalogue, built in one go.
#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/WarmUp.h>

#include <vector>

namespace Orv::Pim::Core::Service::Units {

void WarmUpCatalogue() {
    // Listing the measurements and then the units builds every one of them and, with them, every
    // dimension that has a unit (a dimension's base unit is a unit of that dimension, so that is
    // every dimension that can be built).
    const std::vector<Measurement*> measurements = Measurement::GetAllMeasurements();
    const std::vector<Unit*> units = Unit::GetAllUnits();
    for (Unit* unit : units) {
        unit->StandardForm();
        // A unit hands out its dimension as const; the catalogue's own object is found by name.
        Dimension::GetDimension(unit->GetDimension()->Name())->BaseUnit();
    }

    for (const Measurement* measurement : measurements) {
        measurement->BaseUnit();
    }

    // Each system remembers the unit it gives a measurement once asked; the current system may
    // be one of the host's own, so it is asked as well.
    UnitSystemArray systems = UnitSystem::UnitSystems();
    for (UnitSystem* system : systems) {
        if (system == nullptr) {
            continue;
        }
        for (const Measurement* measurement : measurements) {
            system->GetUnitOfMeasurement(measurement);
        }
    }
    UnitSystem* current = UnitService::GetUnitSystem();
    for (const Measurement* measurement : measurements) {
        current->GetUnitOfMeasurement(measurement);
    }

    // UCDouble looks the dimension "Dimensionless" up once and keeps it. A catalogue without it
    // leaves nothing to keep: every UCDouble then asks for it again, which writes nothing.
    try {
        const UCDouble probe(0.0, nullptr);
    } catch (const UnitException&) {
    }
}

} // namespace Orv::Pim::Core::Service::Units
