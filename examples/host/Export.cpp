#include "Host.h"

#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>

#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

using namespace Orv::Pim::Core::Service::Units;

void ExportCatalogue() {
    const std::filesystem::path directory = std::filesystem::temp_directory_path();
    XmlUnitWriter writer;

    // A catalogue look-up that fails half way only shortens a file; a file that cannot be made or
    // written throws std::runtime_error rather than UnitException.
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    try {
        // Every dimension that has measurements, with its units, then every unit system.
        const std::string cataloguePath = (directory / "orv_units_catalogue.xml").string();
        writer.SaveXmlFile(cataloguePath);
        std::cout << "Catalogue written to " << cataloguePath << '\n';

        // One unit system on its own: the root then holds a single "UnitSystem" element.
        const std::string systemPath = (directory / "orv_units_field.xml").string();
        writer.SaveXmlFile(systemPath, field);
        std::cout << "Unit system " << field->Name() << " written to " << systemPath << '\n';
    } catch (const std::runtime_error& e) {
        std::cout << "Could not write an XML file: " << e.what() << '\n';
    }
}
