// export and check: the catalogue written to a file, and a catalogue file checked.
#include "Commands.h"
#include "Output.h"
#include "RunOrvUnits.h"
#include "Session.h"

#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>
#include <units/reader/CatalogueWriter.h>
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
    std::string format = "catalogue";
    std::string system;
    CLI::Option* systemOption = nullptr;
};

std::string TemporaryPath() {
    std::random_device random;
    return (std::filesystem::temp_directory_path() /
            ("orvunits-export-" + std::to_string(random()) + std::to_string(random()) + ".xml"))
        .string();
}

// Writes the reader's records with their exact definitions, which read back to the same
// catalogue.
void ExportCatalogue(const std::string& path, Session& session) {
    if (path == "-") {
        Units::Reader::WriteCatalogue(session.Catalogue(), session.Out());
        return;
    }
    try {
        Units::Reader::WriteCatalogueFile(session.Catalogue(), path);
    } catch (const std::runtime_error& error) {
        throw InputError(error.what());
    }
}

int RunExport(const ExportOptions& options, Session& session) {
    const bool unitCatalog = options.format == "unitcatalog";
    if (options.systemOption->count() > 0 && !unitCatalog) {
        throw UsageError("--system writes one unit system in the unitcatalog format: add "
                         "--format unitcatalog");
    }
    if (!unitCatalog) {
        ExportCatalogue(options.path, session);
        return 0;
    }
    session.Catalogue();
    Units::UnitSystem* system = options.systemOption->count() > 0
                                    ? Units::UnitSystem::GetUnitSystem(options.system)
                                    : nullptr;
    // "-" is standard output: the writer writes files only, so a temporary one is copied there,
    // and removed however the writing ends.
    const bool toOut = options.path == "-";
    const std::string path = toOut ? TemporaryPath() : options.path;
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removal(
        toOut ? &path : nullptr, [](const std::string* temporary) {
            std::error_code ignored;
            std::filesystem::remove(*temporary, ignored);
        });
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
        std::ifstream written(path, std::ios::binary);
        session.Out() << written.rdbuf();
    }
    return 0;
}

struct CheckOptions {
    std::string path;
    bool layer = false;
};

// A layer is checked over the catalogue and the files added to it, with the stack as a whole.
std::vector<Units::Reader::CatalogueProblem> ProblemsOf(const CheckOptions& options,
                                                        const Session& session) {
    const std::string& path = options.path;
    if (!options.layer) {
        return Units::Reader::XmlUnitReader::Check(path);
    }
    std::vector<std::string> layers = session.Adds();
    layers.push_back(path);
    return Units::Reader::XmlUnitReader::CheckLayers(*session.ReadBase(), layers);
}

int RunCheck(const CheckOptions& options, Session& session) {
    const std::string& path = options.path;
    const std::vector<Units::Reader::CatalogueProblem> problems = ProblemsOf(options, session);
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
    app->footer("The catalogue format keeps every unit's exact definition, aliases, non-linear "
                "units,\nsignatures and unit systems: --catalogue reads it back to the same "
                "catalogue.\nThe unitcatalog format is the library's XML export: factors to 6 "
                "digits, linear units only.");
    app->add_option("FILE", options->path, "The file to write; - for standard output")
        ->type_name("")
        ->required();
    app->add_option("--format", options->format,
                    "catalogue (the default: exact, reads back the same) or unitcatalog")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"catalogue", "unitcatalog"}));
    options->systemOption =
        app->add_option("--system", options->system,
                        "Write only this unit system (with --format unitcatalog)")
            ->type_name("NAME");
    return {app, [options](Session& session) { return RunExport(*options, session); }};
}

Command AddCheckCommand(CLI::App& parent) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* app = parent.add_subcommand("check", "Check a catalogue file and list its problems");
    app->footer("Each problem is one line, file:line:column: message, with \"warning: \" before "
                "the message\nof what would be read anyway. The exit status is 1 when there are "
                "problems other than warnings.");
    app->add_option("FILE", options->path, "The catalogue file to check")
        ->type_name("")
        ->required();
    app->add_flag("--layer", options->layer,
                  "Check the file as a layer over the catalogue (the default one, or --catalogue "
                  "with any --catalogue-add files), and the whole stack");
    return {app, [options](Session& session) { return RunCheck(*options, session); }};
}

} // namespace Orv::UnitsTool
