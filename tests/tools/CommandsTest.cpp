// orvunits parse, list, show, export and check on a small catalogue whose output is known to the
// byte (JSON to the document), the refusals of every command, and unit expressions.
#include "ToolTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

using namespace orv_tool_testing;
using Json = nlohmann::json;

TEST(OrvUnits, WritesEachResultInItsDocumentedLayout) {
    const struct {
        std::vector<std::string> args;
        std::string out;
        bool onDefault = false; // the default catalogue, not the small one
    } cases[] = {
        {{"convert", "12.5", "ft", "m"}, "3.81\n"},
        {{"convert", "-40", "degC", "K"}, "233.15\n"},
        // Negative values need no "--"; -0 keeps its sign; infinity in is infinity out.
        {{"convert", "-.5", "km", "m"}, "-500\n"},
        {{"convert", "-0", "km", "m"}, "-0\n"},
        {{"convert", "inf", "km", "m"}, "inf\n"},
        {{"parse", "12.5 ft"},
         "measurement:  Length\nbase value:   3.81 m\nin Metric:    3.81 m\n"},
        {{"list", "dimensions"}, "Dimensionless  unitless\nLength         m\nTemperature    K\n"},
        {{"list", "measurements", "--dimension", "Length"}, "Depth   Length\nLength  Length\n"},
        {{"list", "units", "--dimension", "Length"},
         "foot  foot       Length  alias of ft\nft    foot       Length\n"
         "km    kilometre  Length\nm     metre      Length\n"},
        // A measurement's units come in the order the catalogue offers them.
        {{"list", "units", "--measurement", "Depth"}, "m   metre  Length\nft  foot   Length\n"},
        {{"list", "systems"}, "Metric\nUS Customary\n"},
        {{"show", "ft"},
         "unit ft\n  name:           foot\n  dimension:      Length\n"
         "  standard form:  ft\n  aliases:        foot\n  factor to m:    0.3048\n"
         "  offset to m:    0\n"},
        // "Length" is a measurement and a dimension.
        {{"show", "Length"},
         "measurement Length\n  dimension:  Length\n  base unit:  m\n  units:      foot ft km m\n"
         "  unit in each system:\n    Metric        m\n    US Customary  ft\n\n"
         "dimension Length\n  base unit:     m\n  measurements:  Depth, Length\n"
         "  units:         foot ft km m\n"},
        {{"show", "US Customary"},
         "unit system US Customary\n  Depth        ft\n  Length       ft\n"
         "  Temperature  K\n  Unitless     unitless\n"},
        // A catalogue's problems, each with its line and column; status 1 tells there were some.
        {{"check", kBrokenCatalogue},
         kBrokenCatalogue + ":3:5: the measurement \"Depth\" offers the unit \"yd\", which is not "
                            "defined\n"},
        // Unit expressions are units wherever the tool takes one (on the default catalogue).
        {{"convert", "1", "kg*m/s^2", "N"}, "1\n", true},
        {{"convert", "2", "W/(m*K)", "Btu/(h.ft.degF)"}, "1.1555786330859963\n", true},
        {{"convert", "--from", "ft\xC2\xB3/s", "--to", "L/s"}, "28.316846592\n", true},
        {{"parse", "9.81 m/s^2"},
         "measurement:  Acceleration\nbase value:   9.81 m/s2\nin Metric:    9.81 m/s2\n",
         true},
        {{"show", "kg*m"},
         "unit kg*m\n  name:            kg\xC2\xB7m\n  dimension:       L\xC2\xB7M\n"
         "  standard form:   kg*m\n  aliases:         -\n  factor to m\xC2\xB7kg:  1\n"
         "  offset to m\xC2\xB7kg:  0\n",
         true},
    };
    for (const auto& c : cases) {
        const auto result = c.onDefault ? RunTool(c.args, "1\n") : RunSmall(c.args);
        EXPECT_EQ(result.status, c.args[0] == "check" ? 1 : 0) << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
}

// Every command's --json output is one JSON document and a newline; where given, it is this
// document. Strings with quotes (the problems of a catalogue) must be escaped, numbers read back
// as the doubles they were, and numbers JSON cannot hold are null.
TEST(OrvUnits, WritesEachResultAsOneJsonDocument) {
    const Json problem = {{"source", kBrokenCatalogue},
                          {"line", 3},
                          {"column", 5},
                          {"message", "the measurement \"Depth\" offers the unit \"yd\", which is "
                                      "not defined"},
                          {"warning", false}};
    const struct {
        std::vector<std::string> args;
        Json expected; // null: any document
    } cases[] = {
        {{"convert", "1.5", "km", "m"},
         {{"value", 1.5}, {"from", "km"}, {"to", "m"}, {"result", 1500}}},
        {{"convert", "--from", "m", "--to", "m"}, {nullptr, nullptr, 0.1, 233.14999999999998}},
        {{"parse", "10", "--measurement", "Depth", "--system", "US Customary"},
         {{"text", "10"},
          {"measurement", "Depth"},
          {"dimension", "Length"},
          {"baseValue", 3.048},
          {"baseUnit", "m"},
          {"system", "US Customary"},
          {"value", 10},
          {"unit", "ft"},
          {"shown", "10 ft"}}},
        {{"check", kBrokenCatalogue},
         {{"file", kBrokenCatalogue}, {"valid", false}, {"problems", {problem}}}},
        {{"parse", "5 degC"}, nullptr},
        {{"list", "dimensions"}, nullptr},
        {{"list", "measurements"}, nullptr},
        // An alias names the unit it stands for; other units have null there.
        {{"list", "units", "--dimension", "Length"},
         Json::parse(R"([{"symbol": "foot", "name": "foot", "dimension": "Length", "aliasOf": "ft"},
             {"symbol": "ft", "name": "foot", "dimension": "Length", "aliasOf": null},
             {"symbol": "km", "name": "kilometre", "dimension": "Length", "aliasOf": null},
             {"symbol": "m", "name": "metre", "dimension": "Length", "aliasOf": null}])")},
        {{"list", "systems"}, nullptr},
        {{"show", "Length"}, nullptr},
        {{"show", "Metric"}, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const auto result = RunSmall(args, "nan inf 0.1 233.14999999999998");
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        EXPECT_EQ(result.status, c.args[0] == "check" ? 1 : 0) << result.err;
        ASSERT_TRUE(Json::accept(result.out)) << result.out;
        EXPECT_EQ(result.out.back(), '\n');
        if (!c.expected.is_null()) {
            EXPECT_EQ(Json::parse(result.out), c.expected) << result.out;
        }
    }
    EXPECT_EQ(Json::parse(RunSmall({"show", "degC", "--json"}).out)["unit"]["offset"], 273.15);
    // Numbers are written one way everywhere: a whole number without ".0", -0 with its sign.
    EXPECT_NE(RunSmall({"convert", "1.5", "km", "m", "--json"}).out.find("\"result\": 1500\n"),
              std::string::npos);
    EXPECT_NE(RunSmall({"convert", "-0", "km", "m", "--json"}).out.find("\"result\": -0\n"),
              std::string::npos);
}

// Under --json every error is one JSON object on standard error, and what standard output has
// is a whole JSON document: a stream that stops part way closes its array first.
TEST(OrvUnits, ReportsErrorsAsJsonAndLeavesValidJson) {
    const struct {
        std::vector<std::string> args;
        std::string input;
        int status;
        const char* out;
    } cases[] = {
        {{"convert", "1", "m", "K"}, "", 1, ""},
        {{"convert", "--from", "km", "--to", "m"}, "1 2\nx 3", 1, "[\n  1000,\n  2000\n]\n"},
        {{"convert", "--from", "km", "--to", "m"}, "1\n1e308", 1, "[\n  1000\n]\n"},
        {{"lsit"}, "", 2, ""},
        {{"--catalogue", kBrokenCatalogue, "list", "units"}, "", 1, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const auto result = c.args[0] == "--catalogue" ? RunTool(args) : RunSmall(args, c.input);
        SCOPED_TRACE(c.args[0]);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, c.out);
        ASSERT_TRUE(Json::accept(result.err)) << result.err;
        EXPECT_EQ(Json::parse(result.err)["status"], c.status);
        EXPECT_TRUE(Json::parse(result.err)["error"].is_string());
    }
}

TEST(OrvUnits, RefusesBadInputWithStatusOneAndBadUsageWithStatusTwoInOneErrorLine) {
    const std::string notXml = ScratchFile("not.xml");
    std::ofstream(notXml) << "<UnitCatalog><Oops/><Oops/>";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err; // a part of the error line
        bool onDefault = false;
    } cases[] = {
        {{"convert", "12,5", "ft", "m"}, 1, "orvunits: bad number '12,5'\n"},
        // A result beyond double, or outside the conversion's domain, is not printed as inf.
        {{"convert", "1e308", "km", "m"},
         1,
         "orvunits: converting 1e308 from km to m overflows the range of double\n"},
        // parse checks the text that the library would read leniently.
        {{"parse", "12.5ft"},
         1,
         "orvunits: '12.5ft': write one blank between the number and the unit, as in '12.5 ft'\n"},
        {{"parse", "abc"}, 1, "orvunits: 'abc' does not start with a number"},
        {{"parse", "ft"}, 1, "orvunits: 'ft' does not start with a number"},
        {{"parse", ""}, 1, "orvunits: nothing to parse"},
        {{"parse", "12,5 ft"}, 1, "write the decimal point as '.'"},
        {{"parse", "12.5\tft"}, 1, "'12.5\\x09ft': separate the number and the unit by one blank"},
        {{"lsit", "units"}, 2, "orvunits: unknown command 'lsit'; did you mean 'list'?\n"},
        {{"--jsn", "list", "units"},
         2,
         "orvunits: unknown option '--jsn'; did you mean '--json'?\n"},
        {{"convert", "--fro", "m"}, 2, "unknown option '--fro'; did you mean '--from'?\n"},
        {{"--catalogue", "", "list", "units"},
         2,
         "orvunits: --catalogue needs the name of a file\n"},
        {{"convert", "1", "furlongs", "m"}, 1, "furlongs"},
        {{"convert", "1", "m", "K"}, 1, "orvunits: "},
        {{"parse", "5  m"}, 1, "orvunits: Badly formed input\n"},
        {{"parse", "5 m", "--system", "Imperial"}, 1, "Imperial"},
        {{"list", "units", "--dimension", "Time"}, 1, "Time"},
        {{"show", "parsec"},
         1,
         "orvunits: no unit, measurement, unit system or dimension is named 'parsec' (as a "
         "unit, at character 1: unknown unit \"parsec\")\n"},
        {{"export", ScratchFile("missing/folder/out.xml")}, 1, "orvunits: "},
        {{"--catalogue", notXml, "list", "units"},
         1,
         "orvunits: refused catalogue: " + notXml + ":"},
        {{"--catalogue", ScratchFile("none.xml"), "list", "units"}, 1, "none.xml"},
        {{"list", "systems", "--measurement", "Depth"},
         2,
         "orvunits: --measurement applies to units only\n"},
        {{"list", "everything"}, 2, "everything"},
        {{"list"}, 2, "orvunits: "},

        {{"convert", "--speed", "1"}, 2, "--speed"},
        {{"convert", "12.5", "ft"}, 2, "orvunits: "},
        {{"convert", "--from", "ft"}, 2, "orvunits: "},
        {{"convert", "12.5", "ft", "m", "--to", "m"}, 2, "orvunits: "},
        {{"convert", "1", "ft", "m", "extra"}, 2, "extra"},
        // A text that is not a unit: where and why, and what the user may have meant.
        {{"convert", "1", "fet", "m"},
         1,
         "orvunits: Could not find a Unit with symbol 'fet'! (at character 1: unknown unit "
         "\"fet\"; did you mean ft?)\n",
         true},
        {{"parse", "5 KPa"},
         1,
         "orvunits: Could not find a Unit with symbol 'KPa'! (at character 1: unknown unit "
         "\"KPa\"; did you mean kPa, Pa or hPa?)\n",
         true},
        {{"convert", "--from", "m//s", "--to", "m/s"},
         1,
         "orvunits: Could not find a Unit with symbol 'm//s'! (at character 3: a unit is missing "
         "before \"/\")\n",
         true},
        {{"show", "meters"},
         1,
         "orvunits: no unit, measurement, unit system or dimension is named 'meters' (as a unit, "
         "at character 1: unknown unit \"meters\"; did you mean m?)\n",
         true},
        {{"convert", "1", "degC*m", "K*m"},
         1,
         "orvunits: Could not find a Unit with symbol 'degC*m'! (at character 1: \"degC\" has an "
         "offset, so it cannot be multiplied, divided, raised to a power or prefixed)\n",
         true},
    };
    for (const auto& c : cases) {
        const auto result = c.onDefault || c.args[0] == "--catalogue"
                                ? RunTool(c.args, "1\n  1e308")
                                : RunSmall(c.args, "1\n  1e308");
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(IsOneErrorLine(result.err)) << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(RunTool({}).status, 2);
}

// The text output never carries a control character of the catalogue to a terminal.
TEST(OrvUnits, ChecksAHostileCatalogueWithoutWritingItsControlCharacters) {
    const auto result =
        RunTool({"check", ORV_TOOL_TESTS_DIR "/../reader/broken/control-character-in-name.xml"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        std::count_if(result.out.begin(), result.out.end(),
                      [](char c) { return c != '\n' && static_cast<unsigned char>(c) < 0x20; }),
        0)
        << result.out;
}

TEST(OrvUnits, ExportsACatalogueOrOneSystemThatChecksClean) {
    const std::string small = ScratchFile("small-export.xml"), metric = ScratchFile("metric.xml");
    ASSERT_EQ(RunSmall({"export", small}).status, 0);
    EXPECT_EQ(RunTool({"check", small}).out, small + ": no problems found\n");
    EXPECT_EQ(RunSmall({"export", metric, "--system", "Metric"}).status, 2);
    ASSERT_EQ(RunSmall({"export", metric, "--system", "Metric", "--format", "unitcatalog"}).status,
              0);
    std::stringstream text;
    text << std::ifstream(metric).rdbuf();
    EXPECT_NE(text.str().find("<UnitSystem name=\"Metric\""), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("<Dimension"), std::string::npos) << text.str();
    // "-" is standard output, not a file of that name.
    const auto out = RunSmall({"export", "-"});
    EXPECT_EQ(out.out.rfind("<?xml", 0), 0u) << out.out;
    EXPECT_FALSE(std::filesystem::exists("-"));
}

// The library's catalogue is built once per process: the default one needs a test of its own.
// The catalogue format checks clean (tests/reader reads it back to the same records and bits); the
// six-digit export leaves out units that are not linear but keeps the mappings to them, which
// reads back with warnings.
TEST(OrvUnitsExport, WritesTheDefaultCatalogueSoThatItReadsBackWholeOrWithWarnings) {
    const std::string exported = ScratchFile("default.xml");
    const std::string sixDigits = ScratchFile("default-unitcatalog.xml");
    for (const auto& args : {std::vector<std::string>{"export", exported},
                             {"export", sixDigits, "--format", "unitcatalog"}}) {
        const auto result = RunTool(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out + result.err, "");
    }
    EXPECT_EQ(RunTool({"check", exported}).out, exported + ": no problems found\n");

    const auto check = RunTool({"check", sixDigits});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find(": warning: "), std::string::npos) << check.out;
    const auto converted = RunTool({"--catalogue", sixDigits, "convert", "12.5", "ft", "m"});
    EXPECT_EQ(converted.out, "3.81\n");
    EXPECT_TRUE(IsOneErrorLine(converted.err)) << converted.err;
    EXPECT_EQ(converted.err.rfind("orvunits: warning: the catalogue " + sixDigits + " has ", 0), 0u)
        << converted.err;
}

// The example catalogues: the minimal one checks clean; over the default one, the layer's units
// convert, a conflict is refused with its place, and check looks at the stack as a whole.
TEST(OrvUnitsCatalogueAdd, LaysFilesOverTheCatalogueInOrder) {
    const std::string minimal = ORV_TOOL_TESTS_DIR "/../../examples/catalogue/minimal.xml";
    EXPECT_EQ(RunTool({"check", minimal}).out, minimal + ": no problems found\n");
    const std::string site = ORV_TOOL_TESTS_DIR "/../../examples/catalogue/site-units.xml";
    const auto converted = RunTool({"--catalogue-add", site, "convert", "2", "smoot", "m"});
    EXPECT_EQ(converted.out + converted.err, "3.4036\n");
    EXPECT_EQ(RunTool({"check", "--layer", site}).out, site + ": no problems found\n");
    EXPECT_EQ(RunTool({"check", site}).status, 1);
    EXPECT_EQ(RunTool({"check", "--layer", site, "--catalogue-add", site}).status, 1);
    const std::string clash = ScratchFile("clash.xml");
    std::ofstream(clash) << "<UnitCatalog>\n  <Dimension name=\"Length\">\n"
                            "    <Unit name=\"ft\" desc=\"foot\" B=\"0.3\"/>\n"
                            "  </Dimension>\n</UnitCatalog>\n";
    const auto refused =
        RunTool({"--catalogue-add", site, "--catalogue-add", clash, "list", "systems"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find(clash + ":3:5: the unit \"ft\" is defined by the catalogue below"),
              std::string::npos)
        << refused.err;
}

TEST(OrvUnitsHelp, IsOfferedForEveryCommand) {
    const auto top = RunTool({"--help"});
    EXPECT_EQ(top.status, 0);
    for (const char* command : {"convert", "parse", "list", "show", "export", "check"}) {
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
        const auto help = RunTool({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("orvunits ") + command), std::string::npos) << help.out;
    }
}

} // namespace
