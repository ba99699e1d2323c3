// An example host of Orv Units: it registers a reader that it fills in code, then uses the
// catalogue, topic by topic.
#include "Host.h"

#include <units/UnitException.h>
#include <units/UnitService.h>

#include <iostream>

using namespace Orv::Pim::Core::Service::Units;

int main() {
    Reader::InMemoryUnitReader reader;
    FillCatalogue(reader);
    try {
        UnitService::UnitReader(&reader);
        ShowLengthUnits();
        ShowUnitSystems();
        ShowQuantities();
        ExportCatalogue();
    } catch (const UnitException& e) {
        std::cerr << "orv_units_host: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
