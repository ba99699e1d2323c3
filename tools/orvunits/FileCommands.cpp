// export and check: the catalogue written to a file, and a catalogue file checked.
#include "Commands.h"
#include "Output.h"
#include "RunOrvUnits.h"
#include "Session.h"

#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>
#include <units/reader/XmlUnitReader.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

struct ExportOptions {
    std::string path;
    std::string system;
    CLI::Option* systemOption = nullptr;
};

std::string TemporaryPath() {
    std::random_device random;
    return (std::filesystem::temp_directory_path() /
            ("orvunits-export-" + std::to_string(random()) + std::to_string(random()) + ".xml"))
        .string();
}

int RunExport(const ExportOptions& options, Session& session) {
    session.Catalogue();
    Units::UnitSystem* system = options.systemOption->count() > 0
                                    ? Units::UnitSystem::GetUnitSystem(options.system)
                                    : nullptr;
    // "-" is standard output: the writer writes files only, so a temporary one is copied there.
    const bool toOut = options.path == "-";
    const std::string path = toOut ? TemporaryPath() : options.path;
    Units::XmlUnitWriter writer;
    try {
        if (system != nullptr) {
            writer.SaveXmlFile(path, system);
        } else {
            writer.SaveXmlFile(path);
        }
    } catch (const std::exception& error) {
        // The XML library's message names the file.
        throw InputError(error.what());
    }
    if (toOut) {
        {
            std::ifstream written(path, std::ios::binary);
            session.Out() << written.rdbuf();
        }
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return 0;
}

int RunCheck(const std::string& path, Session& session) {
    const std::vector<Units::Reader::CatalogueProblem> problems =
        Units::Reader::XmlUnitReader::Check(path);
    // Warnings are listed, but a catalogue with nothing worse is read.
    const bool valid = std::none_of(problems.begin(), problems.end(),
                                    [](const auto& problem) { return !problem.warning; });
    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginObject();
        json.Member("file", path);
        json.Key("valid").Bool(valid);
        json.Key("problems").BeginArray();
        for (const auto& problem : problems) {
            json.BeginObject();
            json.Member("source", problem.source);
            json.Key("line").Integer(problem.line);
            json.Key("column").Integer(problem.column);
            json.Member("message", problem.message);
            json.Key("warning").Bool(problem.warning);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    } else if (problems.empty()) {
        session.Out() << path << ": no problems found\n";
    } else {
        for (const auto& problem : problems) {
            session.Out() << OneLine(problem.ToString(), std::string::npos) << '\n';
        }
    }
    return valid ? e_ExitSuccess : e_ExitBadInput;
}

} // namespace

Command AddExportCommand(CLI::App& parent) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* app = parent.add_subcommand(
        "export", "Write the catalogue, or one unit system, to an XML catalogue file");
    app->add_option("FILE", options->path, "The file to write; - for standard output")
        ->type_name("")
        ->required();
    options->systemOption =
        app->add_option("--system", options->system, "Write only this unit system")
            ->type_name("NAME");
    return {app, [options](Session& session) { return RunExport(*options, session); }};
}

Command AddCheckCommand(CLI::App& parent) {
    auto path = std::make_shared<std::string>();
    CLI::App* app = parent.add_subcommand("check", "Check a catalogue file and list its problems");
    app->footer("Each problem is one line, file:line:column: message, with \"warning: \" before "
                "the message\nof what would be read anyway. The exit status is 1 when there are "
                "problems other than warnings.");
    app->add_option("FILE", *path, "The catalogue file to check")->type_name("")->required();
    return {app, [path](Session& session) { return RunCheck(*path, session); }};
}

} // namespace Orv::UnitsTool
