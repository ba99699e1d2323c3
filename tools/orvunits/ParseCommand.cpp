// parse: reads a quantity such as "12.5 ft" and shows it in base units and in a unit system.
#include "Commands.h"
#include "Output.h"
#include "Session.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>
#include <memory>
#include <ostream>
#include <string>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

struct ParseOptions {
    std::string text;
    std::string measurement;
    std::string system;
    CLI::Option* measurementOption = nullptr;
    CLI::Option* systemOption = nullptr;
};

// The library reads the leading number of any text and ignores the rest ("12.5ft" is 12.5 and
// "abc" is 0), as hosts rely on; the tool checks the text first, so that a user is told rather
// than shown a value they did not write. Accepted: a number read whole in the C locale
// (ReadNumber), optionally one blank (U+0020) and a unit symbol. Texts with a blank in another
// place are left to the library, which refuses them.
void CheckQuantityText(const std::string& text) {
    const std::string number = text.substr(0, text.find(' '));
    if (text.empty()) {
        throw InputError("nothing to parse: give a number, optionally followed by one blank and "
                         "a unit symbol, such as \"12.5 ft\"");
    }
    double value = 0.0;
    const e_NumberRead read = ReadNumber(number, value);
    if (read == e_NumberRead::e_Ok || number.empty()) {
        return;
    }
    if (read == e_NumberRead::e_OutOfRange) {
        throw InputError("number out of range '" + OneLine(number, 40) + "'");
    }
    // Where the leading number ends, if the text starts with one.
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    const char* end = std::from_chars(first, number.data() + number.size(), value).ptr;
    const std::string quoted = "'" + OneLine(text, 60) + "'";
    if (end == first) {
        throw InputError(quoted + " does not start with a number; write a number, optionally "
                                  "followed by one blank and a unit symbol, such as \"12.5 ft\"");
    }
    const std::string lead(number.data(), end);
    const std::string rest(end, number.data() + number.size());
    if (rest[0] == ',') {
        throw InputError(quoted + ": numbers are read in the C locale; write the decimal point "
                                  "as '.'");
    }
    if (std::isspace(static_cast<unsigned char>(rest[0])) != 0) {
        throw InputError(quoted + ": separate the number and the unit by one blank, not by "
                                  "other white space");
    }
    throw InputError(quoted + ": write one blank between the number and the unit, as in '" +
                     OneLine(lead + " " + rest, 60) + "'");
}

int RunParse(const ParseOptions& options, Session& session) {
    CheckQuantityText(options.text);
    session.Catalogue();
    Units::Measurement* measurement = nullptr;
    if (options.measurementOption->count() > 0) {
        measurement = Units::Measurement::GetMeasurement(options.measurement);
    }
    Units::UnitSystem* system = options.systemOption->count() > 0
                                    ? Units::UnitSystem::GetUnitSystem(options.system)
                                    : Units::UnitService::GetUnitSystem();

    // Every Parse makes its result with new; the caller deletes it.
    std::unique_ptr<Units::UCDouble> parsed;
    if (measurement == nullptr) {
        parsed.reset(&Units::UCDouble::Parse(options.text));
    } else {
        // A number without a unit is read in the unit the system gives the measurement.
        parsed.reset(&Units::UCDouble::Parse(options.text, measurement, system));
    }

    Units::Measurement* parsedMeasurement = parsed->GetMeasurement();
    if (parsedMeasurement == nullptr) {
        throw InputError("'" + OneLine(options.text, 200) + "' has no measurement");
    }
    const Units::Unit* baseUnit = parsed->BaseUnit();
    const Units::Dimension* dimension = parsedMeasurement->GetDimension();
    if (baseUnit == nullptr || dimension == nullptr) {
        throw InputError("the measurement " + parsedMeasurement->Name() +
                         " has no dimension or base unit");
    }
    const Units::Unit* shownUnit = system->GetUnitOfMeasurement(parsedMeasurement);
    const double shownValue = parsed->Convert(system);
    const std::string shown = parsed->ToString(system);

    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginObject();
        json.Member("text", options.text);
        json.Member("measurement", parsedMeasurement->Name());
        json.Member("dimension", dimension->Name());
        json.Key("baseValue").Number(parsed->BaseValue());
        json.Member("baseUnit", baseUnit->Symbol());
        json.Member("system", system->Name());
        json.Key("value").Number(shownValue);
        json.Key("unit");
        if (shownUnit != nullptr) {
            json.String(shownUnit->Symbol());
        } else {
            json.Null();
        }
        json.Member("shown", shown);
        json.EndObject();
    } else {
        PrintColumns(session.Out(),
                     {{"measurement:", parsedMeasurement->Name()},
                      {"base value:", FormatNumber(parsed->BaseValue()) + " " + baseUnit->Symbol()},
                      {"in " + system->Name() + ":", shown}});
    }
    return 0;
}

} // namespace

Command AddParseCommand(CLI::App& parent) {
    auto options = std::make_shared<ParseOptions>();
    CLI::App* app = parent.add_subcommand(
        "parse", "Read a quantity such as \"12.5 ft\"; show it in base units and in a unit system");
    app->add_option("TEXT", options->text,
                    "A number, optionally followed by one blank and a unit symbol")
        ->type_name("")
        ->required();
    options->measurementOption =
        app->add_option("--measurement", options->measurement,
                        "The measurement of the value (default: the one named like the unit's "
                        "dimension); a number without a unit is read in its unit of the system")
            ->type_name("NAME");
    options->systemOption = app->add_option("--system", options->system,
                                            "The unit system to show the value in (default: the "
                                            "current one, Metric)")
                                ->type_name("NAME");
    app->footer("Examples:\n  orvunits parse \"12.5 ft\"\n  orvunits parse \"12.5 ft\" "
                "--measurement Depth --system \"US Customary\"");
    return {app, [options](Session& session) { return RunParse(*options, session); }};
}

} // namespace Orv::UnitsTool
