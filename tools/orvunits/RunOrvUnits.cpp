#include "RunOrvUnits.h"

#include "Commands.h"
#include "Output.h"
#include "Session.h"
#include "UnitHint.h"

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

// The edit distance between two words, to suggest the command or option meant.
std::size_t Distance(const std::string& from, const std::string& to) {
    std::vector<std::size_t> row(to.size() + 1);
    for (std::size_t j = 0; j <= to.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min(
                {row[j] + 1, row[j - 1] + 1, diagonal + (from[i - 1] == to[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[to.size()];
}

// "unknown command 'lsit'; did you mean 'list'?", the suggestion only when one is close.
std::string Unknown(const char* what, const std::string& word,
                    const std::vector<std::string>& known) {
    std::string message = std::string("unknown ") + what + " '" + OneLine(word, 40) + "'";
    const std::string* nearest = nullptr;
    std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const std::string& candidate : known) {
        const std::size_t distance = Distance(word, candidate);
        if (distance < best) {
            best = distance;
            nearest = &candidate;
        }
    }
    return nearest != nullptr ? message + "; did you mean '" + *nearest + "'?"
                              : message + " (orvunits --help lists them)";
}

std::vector<std::string> OptionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
    }
    return names;
}

// The first argument that is neither a command, an option of the command line nor a value, as
// an error message; empty when there is none. CLI11 says no more than that an argument was not
// expected, or that a command is required.
std::string FindUnknown(const CLI::App& app, const std::vector<std::string>& args) {
    const CLI::App* command = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            break;
        }
        std::vector<std::string> options = OptionNames(app);
        if (command != nullptr) {
            const std::vector<std::string> own = OptionNames(*command);
            options.insert(options.end(), own.begin(), own.end());
        }
        double number = 0.0;
        if (arg.size() > 1 && arg[0] == '-' && ReadNumber(arg, number) != e_NumberRead::e_Ok) {
            const std::string name = arg.substr(0, arg.find('='));
            if (name != "-h" && std::find(options.begin(), options.end(), name) == options.end()) {
                return Unknown("option", name, options);
            }
            continue;
        }
        if (command == nullptr && (i == 0 || args[i - 1] != "--catalogue")) {
            std::vector<std::string> names;
            for (const CLI::App* sub : app.get_subcommands({})) {
                names.push_back(sub->get_name());
            }
            if (std::find(names.begin(), names.end(), arg) == names.end()) {
                return Unknown("command", arg, names);
            }
            command = app.get_subcommand(arg);
        }
    }
    return std::string();
}

int RunCommand(const std::vector<Command>& commands, Session& session) {
    for (const Command& command : commands) {
        if (command.app->parsed()) {
            return command.run(session);
        }
    }
    throw UsageError("a command is required");
}

// CLI11 takes an argument that starts with "-" and a character other than a digit for an option:
// a number such as "-.5" is written "-0.5" for it, which is the same number.
void ProtectNegativeNumbers(std::vector<std::string>& args) {
    for (std::string& arg : args) {
        double number = 0.0;
        if (arg.size() > 2 && arg[0] == '-' && arg[1] == '.' &&
            ReadNumber(arg, number) == e_NumberRead::e_Ok) {
            arg.insert(1, "0");
        }
    }
}

} // namespace

int RunOrvUnits(std::vector<std::string> args, std::istream& in, std::ostream& out,
                std::ostream& err) {
    // Known before the command line is parsed, so that even its errors are JSON.
    const auto end = std::find(args.begin(), args.end(), "--");
    const bool json = std::find(args.begin(), end, "--json") != end;
    const auto Fail = [&](std::ostream& stream, int status, std::string_view message) {
        ReportLine(stream, json, message, status);
        return status;
    };
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
        CLI::Option* catalogue =
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
            ProtectNegativeNumbers(args);
            const std::string unknown = FindUnknown(app, args);
            if (!unknown.empty()) {
                return Fail(err, e_ExitBadUsage, unknown);
            }
            // CLI11 takes the arguments last first.
            std::reverse(args.begin(), args.end());
            app.parse(args);
            if (catalogue->count() > 0 && options.cataloguePath.empty()) {
                return Fail(err, e_ExitBadUsage, "--catalogue needs the name of a file");
            }
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
            return Fail(err, e_ExitBadInput, WithUnitHint(session, error.what()));
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
