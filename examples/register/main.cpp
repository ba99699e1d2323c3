// Registers a catalogue with Orv Units and converts a value: the default catalogue that ships
// inside the reader library, or a catalogue file named on the command line.
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <exception>
#include <iostream>

using namespace Orv::Pim::Core::Service::Units;

int main(int argc, char** argv) {
    try {
        // The reader must outlive every use of the catalogue built from it.
        auto reader =
            argc > 1 ? Reader::XmlUnitReader::FromFile(argv[1]) : Reader::XmlUnitReader::Default();
        UnitService::UnitReader(reader.get());

        UnitConverter feetToMetres(Unit::GetUnit("ft"), Unit::GetUnit("m"));
        std::cout << "12.5 ft = " << feetToMetres.Convert(12.5) << " m\n";
    } catch (const std::exception& e) { // CatalogueError for a refused file, UnitException
        std::cerr << "orv_units_register: " << e.what() << '\n';
        return 1;
    }
}
