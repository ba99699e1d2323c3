#include "RunOrvUnits.h"

#include "Commands.h"
#include "Output.h"
#include "Session.h"

#include <units/UnitException.h>
#include <units/reader/XmlUnitReader.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <new>

namespace Orv::UnitsTool {

namespace {

// Sends what the library writes to std::cout (its diagnostics about inconsistent unit systems)
// to the error stream for the length of a run, so that results such as JSON stay clean.
class DiagnosticsToErr {
public:
    DiagnosticsToErr(std::ostream& out, std::ostream& err) {
        if (&out != &std::cout) {
            m_pSaved = std::cout.rdbuf(err.rdbuf());
            m_bRedirected = true;
        }
    }
    DiagnosticsToErr(const DiagnosticsToErr&) = delete;
    DiagnosticsToErr& operator=(const DiagnosticsToErr&) = delete;
    ~DiagnosticsToErr() {
        if (m_bRedirected) {
            std::cout.flush();
            std::cout.rdbuf(m_pSaved);
        }
    }

private:
    std::streambuf* m_pSaved = nullptr;
    bool m_bRedirected = false;
};

int Fail(std::ostream& err, int status, std::string_view message) {
    err << "orvunits: " << OneLine(message) << '\n';
    return status;
}

int RunCommand(const std::vector<Command>& commands, Session& session) {
    for (const Command& command : commands) {
        if (command.app->parsed()) {
            return command.run(session);
        }
    }
    throw UsageError("a command is required");
}

} // namespace

int RunOrvUnits(std::vector<std::string> args, std::istream& in, std::ostream& out,
                std::ostream& err) {
    try {
        DiagnosticsToErr diagnostics(out, err);

        CLI::App app("Converts values between units and inspects the Orv Units catalogue.",
                     "orvunits");
        // Global options may come after the command too: orvunits list units --json.
        app.fallthrough();
        // An argument such as /data/catalogue.xml is a path on Windows too, never an option; the
        // commands made below inherit this.
        app.allow_windows_style_options(false);
        app.require_subcommand(1);
        app.set_version_flag("--version", ORV_UNITS_VERSION);
        GlobalOptions options;
        app.add_option("--catalogue", options.cataloguePath,
                       "Catalogue file to use instead of the default catalogue")
            ->type_name("FILE");
        app.add_flag("--json", options.json, "Print results as JSON");

        const std::vector<Command> commands = {AddConvertCommand(app), AddParseCommand(app),
                                               AddListCommand(app),    AddShowCommand(app),
                                               AddExportCommand(app),  AddCheckCommand(app)};

        for (const Command& command : commands) {
            const std::string footer = command.app->get_footer();
            command.app->footer(
                (footer.empty() ? "" : footer + "\n\n") +
                "--catalogue FILE and --json may come before or after the command.");
        }

        try {
            // CLI11 takes the arguments last first.
            std::reverse(args.begin(), args.end());
            app.parse(args);
        } catch (const CLI::CallForHelp&) {
            out << app.help();
            return e_ExitSuccess;
        } catch (const CLI::CallForAllHelp&) {
            out << app.help("", CLI::AppFormatMode::All);
            return e_ExitSuccess;
        } catch (const CLI::CallForVersion& version) {
            out << "orvunits " << version.what() << '\n';
            return e_ExitSuccess;
        } catch (const CLI::RequiredError& error) {
            if (app.get_subcommands().empty()) {
                return Fail(err, e_ExitBadUsage,
                            "a command is required: convert, parse, list, show, export or check "
                            "(orvunits --help tells more)");
            }
            return Fail(err, e_ExitBadUsage, error.what());
        } catch (const CLI::ParseError& error) {
            return Fail(err, e_ExitBadUsage, error.what());
        }

        Session session(options, in, out, err);
        int status = e_ExitSuccess;
        try {
            status = RunCommand(commands, session);
        } catch (const UsageError& error) {
            return Fail(err, e_ExitBadUsage, error.what());
        } catch (const InputError& error) {
            return Fail(err, e_ExitBadInput, error.what());
        } catch (const Orv::Pim::Core::Service::Units::UnitException& error) {
            return Fail(err, e_ExitBadInput, error.what());
        } catch (const Orv::Pim::Core::Service::Units::Reader::CatalogueError& error) {
            return Fail(err, e_ExitBadInput, error.what());
        }
        out.flush();
        if (!out) {
            return Fail(err, e_ExitBadInput, "cannot write the results");
        }
        return status;
    } catch (const std::bad_alloc&) {
        return Fail(err, e_ExitBadInput, "out of memory");
    } catch (const std::exception& error) {
        return Fail(err, e_ExitBadInput, error.what());
    } catch (...) {
        return Fail(err, e_ExitBadInput, "unexpected failure");
    }
}

} // namespace Orv::UnitsTool
