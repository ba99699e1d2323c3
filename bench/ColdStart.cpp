// Start-up of the library as a fresh process sees it: the default catalogue (or a catalogue file)
// registered and the first conversion, then every unit, measurement and unit system built.
#include "ColdStart.h"

#include "BenchCommon.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/reader/XmlUnitReader.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Units = Orv::Pim::Core::Service::Units;

int main(int argc, char** argv) {
    return OrvBench::RunColdStart(argc, argv, [](OrvBench::Report& report, const char* file) {
        auto reader = file != nullptr ? Units::Reader::XmlUnitReader::FromFile(file)
                                      : Units::Reader::XmlUnitReader::Default();
        Units::UnitService::UnitReader(reader.get());
        const double value = Units::UnitConverter::Convert(12.5, Units::Unit::GetUnit("ft"),
                                                           Units::Unit::GetUnit("m"));
        report.Milestone("first_conversion");
        const std::size_t units = Units::Unit::GetAllUnits().size();
        const std::vector<Units::Measurement*> all = Units::Measurement::GetAllMeasurements();
        // Every unit system with the unit it gives each measurement.
        Units::UnitSystemArray systems = Units::UnitSystem::UnitSystems();
        for (Units::UnitSystem* system : systems) {
            for (const Units::Measurement* measurement : all) {
                system->GetUnitOfMeasurement(measurement);
            }
        }
        report.Milestone("everything_built");
        // The first parse of a quantity whose unit is an expression: the reader resolves it,
        // the library builds the unit, then converts into the base unit.
        for (const auto& [name, text] :
             {std::pair{"first_parse_acceleration", OrvBench::kAcceleration},
              std::pair{"first_parse_torque", OrvBench::kTorque}}) {
            const std::int64_t start = OrvBench::MonotonicNanoseconds();
            Units::UCDouble& parsed = Units::UCDouble::Parse(text);
            report.Value(name, static_cast<double>(OrvBench::MonotonicNanoseconds() - start) / 1e3,
                         "us");
            report.Value(std::string(name) + "_check", parsed.BaseValue(), "base");
            delete &parsed;
        }
        report.Value("vm_rss", static_cast<double>(OrvBench::StatusKilobytes("VmRSS")), "kB");
        report.Value("vm_hwm", static_cast<double>(OrvBench::StatusKilobytes("VmHWM")), "kB");
        report.Value("units", static_cast<double>(units), "units");
        report.Value("measurements", static_cast<double>(all.size()), "measurements");
        report.Value("check", value, "m");
    });
}
