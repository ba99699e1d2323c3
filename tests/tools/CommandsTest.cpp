// orvunits parse, list, show, export and check on a small catalogue whose output is known to the
// byte, and the refusals of every command.
#include "ToolTesting.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace orv_tool_testing;

class OrvUnits : public testing::Test {
protected:
    RunResult RunSmall(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), {"--catalogue", m_catalogue});
        return RunTool(std::move(args), input);
    }

    std::string m_catalogue = ScratchFile("small.xml", kSmallCatalogue);
};

TEST_F(OrvUnits, ConvertsParsesListsAndShowsInTheirDocumentedLayout) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"convert", "12.5", "ft", "m"}, "3.81\n"},
        {{"convert", "-40", "degC", "K"}, "233.15\n"},
        {{"convert", "1.5", "km", "m", "--json"},
         "{\n  \"value\": 1.5,\n  \"from\": \"km\",\n  \"to\": \"m\",\n  \"result\": 1500\n}\n"},
        {{"--json", "convert", "--from", "m", "--to", "m"}, "[\n  1,\n  2,\n  3\n]\n"},
        {{"parse", "12.5 ft"},
         "measurement:  Length\nbase value:   3.81 m\nin Metric:    3.81 m\n"},
        // Without a unit, the number is read in the unit the system gives the measurement.
        {{"parse", "10", "--measurement", "Depth", "--system", "US Customary", "--json"},
         "{\n  \"text\": \"10\",\n  \"measurement\": \"Depth\",\n  \"dimension\": \"Length\",\n"
         "  \"baseValue\": 3.048,\n  \"baseUnit\": \"m\",\n  \"system\": \"US Customary\",\n"
         "  \"value\": 10,\n  \"unit\": \"ft\",\n  \"shown\": \"10 ft\"\n}\n"},
        {{"list", "dimensions"}, "Dimensionless  unitless\nLength         m\nTemperature    K\n"},
        {{"list", "measurements", "--dimension", "Length"}, "Depth   Length\nLength  Length\n"},
        {{"list", "units", "--dimension", "Length"},
         "foot  foot       Length\nft    foot       Length\nkm    kilometre  Length\n"
         "m     metre      Length\n"},
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
    };
    for (const auto& c : cases) {
        const auto result = RunSmall(c.args, "1 2\n3");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_NE(RunSmall({"show", "degC", "--json"}).out.find("\"offset\": 273.15"),
              std::string::npos);
}

TEST_F(OrvUnits, WritesValidJsonFromEveryCommand) {
    EXPECT_FALSE(IsValidJson("{\"a\": 1,}"));
    EXPECT_FALSE(IsValidJson("[1 2]"));
    EXPECT_FALSE(IsValidJson("{\"a\": nan}"));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"convert", "1", "ft", "m"},
                                               {"convert", "--from", "m", "--to", "m"},
                                               {"parse", "5 degC"},
                                               {"list", "dimensions"},
                                               {"list", "measurements"},
                                               {"list", "units"},
                                               {"list", "systems"},
                                               {"show", "ft"},
                                               {"show", "Length"},
                                               {"show", "Metric"},
                                               {"show", "degC"}}) {
        std::vector<std::string> withJson = args;
        withJson.push_back("--json");
        const auto result = RunSmall(withJson, "nan inf 1");
        EXPECT_EQ(result.status, 0) << args[0] << " " << args[1] << ": " << result.err;
        EXPECT_TRUE(IsValidJson(result.out)) << result.out;
    }
}

TEST_F(OrvUnits, RefusesBadInputWithStatusOneAndBadUsageWithStatusTwoInOneErrorLine) {
    const std::string broken = ScratchFile("broken.xml", "<UnitCatalog><Oops/><Oops/>");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err; // a part of the error line
    } cases[] = {
        {{"convert", "12,5", "ft", "m"}, 1, "orvunits: bad number '12,5'\n"},
        {{"convert", "1", "furlongs", "m"}, 1, "furlongs"},
        {{"convert", "1", "m", "K"}, 1, "orvunits: "},
        {{"parse", "5  m"}, 1, "orvunits: Badly formed input\n"},
        {{"parse", "5 m", "--system", "Imperial"}, 1, "Imperial"},
        {{"list", "units", "--dimension", "Time"}, 1, "Time"},
        {{"show", "parsec"},
         1,
         "orvunits: no unit, measurement, unit system or dimension is named 'parsec'\n"},
        {{"export", ScratchFile("missing/folder/out.xml")}, 1, "orvunits: "},
        {{"--catalogue", broken, "list", "units"},
         1,
         "orvunits: refused catalogue: " + broken + ":"},
        {{"--catalogue", ScratchFile("none.xml"), "list", "units"}, 1, "none.xml"},
        {{"list", "systems", "--measurement", "Depth"},
         2,
         "orvunits: --measurement applies to units only\n"},
        {{"list", "everything"}, 2, "everything"},
        {{"list"}, 2, "orvunits: "},
        {{"frobnicate"}, 2, "orvunits: "},
        {{"convert", "--speed", "1"}, 2, "--speed"},
        {{"convert", "12.5", "ft"}, 2, "orvunits: "},
        {{"convert", "--from", "ft"}, 2, "orvunits: "},
        {{"convert", "12.5", "ft", "m", "--to", "m"}, 2, "orvunits: "},
        {{"convert", "1", "ft", "m", "extra"}, 2, "extra"},
    };
    for (const auto& c : cases) {
        const auto result = c.args[0] == "--catalogue" ? RunTool(c.args) : RunSmall(c.args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(IsOneErrorLine(result.err)) << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(RunTool({}).status, 2);
}

TEST_F(OrvUnits, ChecksACatalogueListingEachProblemWithItsLineAndColumn) {
    const std::string broken = ScratchFile("broken.xml", "<UnitCatalog>\n"
                                                         "  <Dimension name=\"Length\">\n"
                                                         "    <Bogus/>\n"
                                                         "  </Dimension>\n"
                                                         "</UnitCatalog>\n");
    const auto result = RunTool({"check", broken});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.rfind(broken + ":3:13: ", 0), 0u) << result.out;
    const auto json = RunTool({"check", broken, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"line\": 3"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"column\": 13"), std::string::npos) << json.out;
}

TEST_F(OrvUnits, ExportsACatalogueOrOneSystemThatChecksClean) {
    const std::string small = ScratchFile("small-export.xml"), metric = ScratchFile("metric.xml");
    ASSERT_EQ(RunSmall({"export", small}).status, 0);
    EXPECT_EQ(RunTool({"check", small}).out, small + ": no problems found\n");
    ASSERT_EQ(RunSmall({"export", metric, "--system", "Metric"}).status, 0);
    std::stringstream text;
    text << std::ifstream(metric).rdbuf();
    EXPECT_NE(text.str().find("<UnitSystem name=\"Metric\""), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("<Dimension"), std::string::npos) << text.str();
}

// The library's catalogue is built once per process: the default one needs a test of its own.
// The export leaves out units that are not linear but keeps the mappings to them: the file is
// read back with warnings, which check lists without failing and other commands sum up in a line.
TEST(OrvUnitsExport, WritesTheDefaultCatalogueSoThatItReadsBackWithOneLineOfWarning) {
    const std::string exported = ScratchFile("default.xml");
    const auto result = RunTool({"export", exported});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");
    const auto check = RunTool({"check", exported});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find(": warning: "), std::string::npos) << check.out;
    const auto converted = RunTool({"--catalogue", exported, "convert", "12.5", "ft", "m"});
    EXPECT_EQ(converted.out, "3.81\n");
    EXPECT_TRUE(IsOneErrorLine(converted.err)) << converted.err;
    EXPECT_EQ(converted.err.rfind("orvunits: warning: the catalogue " + exported + " has ", 0), 0u)
        << converted.err;
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
