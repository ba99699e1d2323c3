#include "Host.h"

#include <units/Dimension.h>
#include <units/Unit.h>

#include <algorithm>
#include <iostream>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;

void ShowLengthUnits() {
    std::vector<Unit*> units;
    for (const char* symbol : {"mi", "in", "km", "ft", "m"}) {
        units.push_back(Unit::GetUnit(symbol));
    }
    std::sort(units.begin(), units.end(),
              [](Unit* left, Unit* right) { return left->CompareTo(right) < 0; });

    Dimension* length = Dimension::GetDimension("Length");
    std::cout << length->ToString() << ", units in catalogue order:\n";
    for (Unit* unit : units) {
        // The scale is what the catalogue sorts by: scale 1 first, then by leading digits.
        Converter::IUnitConverterEngine* engine = unit->Converter();
        const double scale = engine->Convert(1.0) - engine->Convert(0.0);
        std::cout << "  " << unit->Symbol() << " (" << unit->Name() << "): 1 " << unit->Symbol()
                  << " = " << scale << ' ' << length->BaseUnit()->Symbol() << '\n';
    }
    std::cout << length->ToString() << '\n';
}
