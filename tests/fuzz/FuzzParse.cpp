// Fuzz target: the four forms of UCDouble::Parse over the default catalogue.
//
// Input: one byte choosing the form, two bytes choosing the measurement, two bytes choosing the
// unit or unit system (each index taken modulo the number of choices plus one; the extra choice
// is null), then the text. A value that was read is written out again with ToString, and the text
// written must read back: a quantity the library writes is one it can read.
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/reader/XmlUnitReader.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;

/// The element of `choices` that the two bytes at `data` select, or null.
template <typename T>
T* Choose(const std::vector<T*>& choices, const std::uint8_t* data) {
    const std::size_t index =
        (static_cast<std::size_t>(data[0]) << 8 | data[1]) % (choices.size() + 1);
    return index < choices.size() ? choices[index] : nullptr;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto reader = Units::Reader::XmlUnitReader::Default();
    Units::UnitService::UnitReader(reader.get());
    static const std::vector<Units::Measurement*> measurements =
        Units::Measurement::GetAllMeasurements();
    static const std::vector<Units::Unit*> units = Units::Unit::GetAllUnits();
    static const Units::UnitSystemArray registry = Units::UnitSystem::UnitSystems();
    static const std::vector<Units::UnitSystem*> systems(registry.begin(), registry.end());
    constexpr std::size_t kHeader = 5;
    if (size < kHeader) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data) + kHeader, size - kHeader);
    Units::Measurement* measurement = Choose(measurements, data + 1);

    std::unique_ptr<Units::UCDouble> value;
    try {
        switch (data[0] % 4) {
        case 0:
            value.reset(&Units::UCDouble::Parse(text));
            break;
        case 1:
            value.reset(&Units::UCDouble::Parse(text, measurement));
            break;
        case 2:
            value.reset(&Units::UCDouble::Parse(text, measurement, Choose(units, data + 3)));
            break;
        default:
            value.reset(&Units::UCDouble::Parse(text, measurement, Choose(systems, data + 3)));
            break;
        }
    } catch (const Units::UnitException&) {
        return 0;
    }
    if (value->GetMeasurement() == nullptr) {
        Fail("Parse made a value without a measurement");
    }
    const std::string written = value->ToString();
    try {
        delete &Units::UCDouble::Parse(written, value->GetMeasurement());
    } catch (const Units::UnitException& error) {
        Fail("\"" + written + "\" was written but cannot be read: " + error.what());
    }
    return 0;
}
