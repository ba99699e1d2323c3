// Start-up of the peer library as a fresh process sees it: reading its default unit database and
// the first conversion.
#include "BenchCommon.h"
#include "ColdStart.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <udunits2.h>

int main(int argc, char** argv) {
    return OrvBench::RunColdStart(argc, argv, [](OrvBench::Report& report, const char*) {
        ut_set_error_message_handler(ut_ignore);
        ut_system* system = ut_read_xml(nullptr);
        ut_unit* feet = ut_get_unit_by_symbol(system, "ft");
        ut_unit* metres = ut_get_unit_by_symbol(system, "m");
        cv_converter* converter = ut_get_converter(feet, metres);
        const double value = cv_convert_double(converter, 12.5);
        report.Milestone("first_conversion");
        // The first parse of a quantity whose unit is an expression, into its base unit.
        for (const auto& [name, text, base] :
             {std::tuple{"first_parse_acceleration", OrvBench::kAcceleration, "m/s^2"},
              std::tuple{"first_parse_torque", OrvBench::kTorque, "J"}}) {
            const std::int64_t start = OrvBench::MonotonicNanoseconds();
            const std::string quantity = text;
            const std::size_t blank = quantity.find(' ');
            const double number = std::strtod(quantity.substr(0, blank).c_str(), nullptr);
            ut_unit* unit = ut_parse(system, quantity.c_str() + blank + 1, UT_ASCII);
            ut_unit* baseUnit = ut_parse(system, base, UT_ASCII);
            cv_converter* toBase = ut_get_converter(unit, baseUnit);
            const double inBase = cv_convert_double(toBase, number);
            report.Value(name, static_cast<double>(OrvBench::MonotonicNanoseconds() - start) / 1e3,
                         "us");
            report.Value(std::string(name) + "_check", inBase, "base");
            cv_free(toBase);
            ut_free(unit);
            ut_free(baseUnit);
        }
        report.Value("vm_rss", static_cast<double>(OrvBench::StatusKilobytes("VmRSS")), "kB");
        report.Value("vm_hwm", static_cast<double>(OrvBench::StatusKilobytes("VmHWM")), "kB");
        report.Value("check", value, "m");
        cv_free(converter);
        ut_free(feet);
        ut_free(metres);
        ut_free_system(system);
    });
}
