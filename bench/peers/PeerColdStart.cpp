// Start-up of the peer library as a fresh process sees it: reading its default unit database and
// the first conversion.
#include "ColdStart.h"

#include <udunits2.h>

int main(int argc, char** argv) {
    return OrvBench::RunColdStart(argc, argv, [](OrvBench::Report& report) {
        ut_set_error_message_handler(ut_ignore);
        ut_system* system = ut_read_xml(nullptr);
        ut_unit* feet = ut_get_unit_by_symbol(system, "ft");
        ut_unit* metres = ut_get_unit_by_symbol(system, "m");
        cv_converter* converter = ut_get_converter(feet, metres);
        const double value = cv_convert_double(converter, 12.5);
        report.Milestone("first_conversion");
        report.Value("vm_rss", static_cast<double>(OrvBench::StatusKilobytes("VmRSS")), "kB");
        report.Value("vm_hwm", static_cast<double>(OrvBench::StatusKilobytes("VmHWM")), "kB");
        report.Value("check", value, "m");
        cv_free(converter);
        ut_free(feet);
        ut_free(metres);
        ut_free_system(system);
    });
}
