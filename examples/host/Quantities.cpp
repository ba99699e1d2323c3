#include "Host.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <iostream>
#include <memory>

using namespace Orv::Pim::Core::Service::Units;

namespace {

// Parse and the arithmetic operators hand back values made with new; the caller owns them.
std::unique_ptr<UCDouble> Owned(UCDouble& result) {
    return std::unique_ptr<UCDouble>(&result);
}

} // namespace

void ShowQuantities() {
    Measurement* depth = Measurement::GetMeasurement("Depth");
    std::unique_ptr<UCDouble> well = Owned(UCDouble::Parse("12.5 ft", depth));
    std::cout << "\"12.5 ft\" as a " << depth->Name() << " holds " << well->BaseValue() << ' '
              << well->BaseUnit()->Symbol() << '\n';

    UnitSystem* current = UnitService::GetUnitSystem();
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    std::cout << "  in " << current->Name() << ": " << well->ToString() << '\n';
    std::cout << "  in " << field->Name() << ": " << well->ToString(field) << '\n';

    // A number without a unit is read in the unit the current system gives the measurement.
    std::unique_ptr<UCDouble> casing = Owned(UCDouble::Parse("2", depth));
    std::unique_ptr<UCDouble> total = Owned(*well + *casing);
    std::unique_ptr<UCDouble> twice = Owned(*total * 2.0);
    std::unique_ptr<UCDouble> share = Owned(*total * UCDouble(0.25));
    std::cout << "  12.5 ft + 2 m = " << total->ToString() << " = " << total->ToString(field)
              << '\n';
    std::cout << "  twice that: " << twice->ToString() << ", a quarter: " << share->ToString()
              << '\n';

    // Values of two measurements do not add, even when they share a dimension.
    UCDouble const ruler(1.0, Measurement::GetMeasurement("Length"));
    try {
        std::unique_ptr<UCDouble> never = Owned(*well + ruler);
    } catch (const UnitException& e) {
        std::cout << "  refused: " << e.what() << '\n';
    }
}
