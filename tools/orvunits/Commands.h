// The tool's commands. Each Add function adds its subcommand, with its options, to the
// command-line parser and returns what runs it once the arguments are parsed.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace Orv::UnitsTool {

class Session;

/// A subcommand and the code that runs it; `run` returns the exit status.
struct Command {
    CLI::App* app;
    std::function<int(Session&)> run;
};

/// convert VALUE FROM TO, or a stream of numbers with --from and --to.
Command AddConvertCommand(CLI::App& parent);
/// parse TEXT [--measurement M] [--system S].
Command AddParseCommand(CLI::App& parent);
/// list dimensions|measurements|units|systems [--dimension D] [--measurement M].
Command AddListCommand(CLI::App& parent);
/// show NAME: a unit, measurement, unit system or dimension.
Command AddShowCommand(CLI::App& parent);
/// export FILE [--system S].
Command AddExportCommand(CLI::App& parent);
/// check FILE.
Command AddCheckCommand(CLI::App& parent);

} // namespace Orv::UnitsTool
