// The entry point of the orvunits command-line tool, callable with an argument vector and streams
// so that tests and fuzz targets run exactly what the program runs.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace Orv::UnitsTool {

/// Exit status of a run that did what it was asked.
constexpr int e_ExitSuccess = 0;
/// Exit status for bad input: unknown unit or name, bad number, refused catalogue, refused
/// conversion, a catalogue with problems, a file that cannot be written.
constexpr int e_ExitBadInput = 1;
/// Exit status for bad usage: unknown command or option, missing or surplus arguments.
constexpr int e_ExitBadUsage = 2;

/// Runs orvunits with `args` (the arguments after the program name), reading numbers from `in`,
/// writing results to `out` and errors, one line each, to `err`. Returns the exit status; never
/// throws and never ends the process. While it runs, the library's diagnostics on standard output
/// go to `err` instead, so they cannot mix with the results.
int RunOrvUnits(std::vector<std::string> args, std::istream& in, std::ostream& out,
                std::ostream& err);

} // namespace Orv::UnitsTool
