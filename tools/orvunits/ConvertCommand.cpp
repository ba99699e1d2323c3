// convert: one value given on the command line, or a stream of numbers on standard input.
#include "Commands.h"
#include "NumberStream.h"
#include "Output.h"
#include "Session.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>

#include <CLI/CLI.hpp>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

struct ConvertOptions {
    std::string value;
    std::string fromPositional;
    std::string toPositional;
    std::string from;
    std::string to;
    int digits = 0;       // 0: the shortest text that reads back to the result
    unsigned threads = 0; // 0: one per core
    // Presence is told by the parser's counts, so that an empty argument is not taken as absent.
    CLI::Option* valueOption = nullptr;
    CLI::Option* fromPositionalOption = nullptr;
    CLI::Option* toPositionalOption = nullptr;
    CLI::Option* fromOption = nullptr;
    CLI::Option* toOption = nullptr;
};

double ReadValue(const std::string& text) {
    double value = 0.0;
    switch (ReadNumber(text, value)) {
    case e_NumberRead::e_Ok:
        return value;
    case e_NumberRead::e_OutOfRange:
        throw InputError("number out of range '" + OneLine(text, 40) + "'");
    case e_NumberRead::e_NotANumber:
        break;
    }
    throw InputError("bad number '" + OneLine(text, 40) + "'");
}

int RunConvert(const ConvertOptions& options, Session& session) {
    const bool unitsAsOptions = options.fromOption->count() > 0 || options.toOption->count() > 0;
    const bool unitsAsPositionals = options.fromPositionalOption->count() > 0;
    if (unitsAsOptions && unitsAsPositionals) {
        throw UsageError("give the units either as FROM TO or with --from and --to, not both");
    }
    const bool complete = unitsAsPositionals
                              ? options.toPositionalOption->count() > 0
                              : options.fromOption->count() > 0 && options.toOption->count() > 0;
    if (!complete) {
        throw UsageError("convert needs VALUE FROM TO, or --from and --to");
    }
    const std::string& fromSymbol = unitsAsPositionals ? options.fromPositional : options.from;
    const std::string& toSymbol = unitsAsPositionals ? options.toPositional : options.to;

    // A bad number is reported before the catalogue is read.
    const bool single = options.valueOption->count() > 0;
    const double value = single ? ReadValue(options.value) : 0.0;

    session.Catalogue();
    const Units::Unit* from = Units::Unit::GetUnit(fromSymbol);
    const Units::Unit* to = Units::Unit::GetUnit(toSymbol);
    const Units::UnitConverter converter(from, to);
    const DecimalConverter decimals(*converter.Converter(), options.digits);

    if (!single) {
        ConvertNumberStream(session.In(), session.Out(), decimals, session.Json(), options.threads);
        return 0;
    }
    const std::string_view token = options.value;
    TypedNumber number{};
    ReadTyped(token, number);
    double result = 0.0;
    decimals.Convert(&token, &number, &result, 1);
    result = ConvertedValue(value, result, [&](const char* problem) {
        return InputError("converting " + OneLine(options.value, 40) + " from " + from->Symbol() +
                          " to " + to->Symbol() + " " + problem);
    });
    char text[e_MaxNumberLength];
    const std::string_view written(
        text, static_cast<std::size_t>(decimals.Write(text, token, result) - text));
    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginObject();
        json.Key("value").Number(value);
        json.Member("from", from->Symbol());
        json.Member("to", to->Symbol());
        if (std::isfinite(result)) {
            json.Key("result").NumberText(written);
        } else {
            json.Key("result").Number(result);
        }
        json.EndObject();
    } else {
        session.Out() << written << '\n';
    }
    return 0;
}

} // namespace

Command AddConvertCommand(CLI::App& parent) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* app = parent.add_subcommand(
        "convert", "Convert a value, or the numbers on standard input, from one unit to another");
    options->valueOption =
        app->add_option("VALUE", options->value, "The number to convert")->type_name("NUMBER");
    options->fromPositionalOption =
        app->add_option("FROM", options->fromPositional, "The unit to convert from")
            ->type_name("UNIT");
    options->toPositionalOption =
        app->add_option("TO", options->toPositional, "The unit to convert to")->type_name("UNIT");
    options->fromOption =
        app->add_option("--from", options->from, "The unit to convert from")->type_name("UNIT");
    options->toOption =
        app->add_option("--to", options->to, "The unit to convert to")->type_name("UNIT");
    app->add_option("--digits", options->digits,
                    "Write N significant digits, rounded once from the exact result (default: "
                    "the shortest text that reads back to the correctly rounded double)")
        ->type_name("N")
        ->check(CLI::Range(1, 15));
    // Hidden: for measuring a stream on fewer threads than the machine has cores.
    app->add_option("--threads", options->threads,
                    "Threads that convert a stream (0: one per core)")
        ->type_name("N")
        ->check(CLI::Range(0u, 64u))
        ->group("");
    app->footer(
        "Without VALUE, FROM and TO, --from and --to convert every number on standard input.\n"
        "Each number is read, in the C locale, as the exact decimal typed (0.1 is one tenth), "
        "and by default\nwritten as the shortest text that reads back to the double nearest "
        "its exact conversion.\nOn standard input they are separated by white space, which "
        "is kept in the output.\nA result beyond the range of double, or outside the domain of "
        "the conversion, is an error\nunless the value itself was inf or nan.\n\nExamples:\n"
        "  orvunits convert 12.5 ft m\n  orvunits convert -.5 ft m\n"
        "  orvunits convert --digits 4 1 psi Pa\n"
        "  orvunits convert --from ft --to m < depths.txt");
    return {app, [options](Session& session) { return RunConvert(*options, session); }};
}

} // namespace Orv::UnitsTool
