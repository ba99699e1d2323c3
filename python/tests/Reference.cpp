// Converts the values on standard input, raw doubles or floats, from one unit to another with the
// C++ library alone and writes them raw to standard output: what the Python package must match.
// Usage: orv_units_python_reference FROM TO double|float
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <cstdio>
#include <string>
#include <vector>

namespace Units = Orv::Pim::Core::Service::Units;

template <typename T>
void ConvertStandardInput(const Units::UnitConverter& converter) {
    std::vector<T> values;
    T block[4096];
    for (std::size_t read; (read = std::fread(block, sizeof(T), 4096, stdin)) > 0;) {
        values.insert(values.end(), block, block + read);
    }
    converter.Convert(values);
    std::fwrite(values.data(), sizeof(T), values.size(), stdout);
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: orv_units_python_reference FROM TO double|float\n", stderr);
        return 2;
    }
    auto reader = Units::Reader::XmlUnitReader::Default();
    Units::UnitService::UnitReader(reader.get());
    const Units::UnitConverter converter(Units::Unit::GetUnit(argv[1]),
                                         Units::Unit::GetUnit(argv[2]));
    if (std::string(argv[3]) == "float") {
        ConvertStandardInput<float>(converter);
    } else {
        ConvertStandardInput<double>(converter);
    }
}
