// orvunits parse, list and show, on a small catalogue whose output is known to the byte.
#include "ToolTesting.h"

#include <gtest/gtest.h>

namespace {

using orv_tool_testing::IsValidJson;
using orv_tool_testing::RunResult;
using orv_tool_testing::RunTool;
using orv_tool_testing::SmallCatalogue;
using orv_tool_testing::TempDir;

class OrvUnitsInspect : public testing::Test {
protected:
    RunResult RunSmall(std::vector<std::string> args) {
        args.insert(args.begin(), {"--catalogue", m_catalogue});
        return RunTool(std::move(args));
    }

    TempDir m_dir;
    std::string m_catalogue = m_dir.Write("small.xml", SmallCatalogue());
};

TEST_F(OrvUnitsInspect, ParseShowsBaseValueAndTheSystemsUnit) {
    const auto metric = RunSmall({"parse", "12.5 ft"});
    EXPECT_EQ(metric.status, 0) << metric.err;
    EXPECT_EQ(metric.out, "measurement:  Length\n"
                          "base value:   3.81 m\n"
                          "in Metric:    3.81 m\n");

    // Without a unit, the number is read in the unit the system gives the measurement.
    const auto customary =
        RunSmall({"parse", "10", "--measurement", "Depth", "--system", "US Customary", "--json"});
    EXPECT_EQ(customary.status, 0) << customary.err;
    EXPECT_EQ(customary.out, "{\n"
                             "  \"text\": \"10\",\n"
                             "  \"measurement\": \"Depth\",\n"
                             "  \"dimension\": \"Length\",\n"
                             "  \"baseValue\": 3.048,\n"
                             "  \"baseUnit\": \"m\",\n"
                             "  \"system\": \"US Customary\",\n"
                             "  \"value\": 10,\n"
                             "  \"unit\": \"ft\",\n"
                             "  \"shown\": \"10 ft\"\n"
                             "}\n");
}

TEST_F(OrvUnitsInspect, ParseRefusesBadTextWithTheLibrarysMessage) {
    const auto twoBlanks = RunSmall({"parse", "5  m"});
    EXPECT_EQ(twoBlanks.status, 1);
    EXPECT_EQ(twoBlanks.err, "orvunits: Badly formed input\n");

    const auto unknownSystem = RunSmall({"parse", "5 m", "--system", "Imperial"});
    EXPECT_EQ(unknownSystem.status, 1);
    EXPECT_NE(unknownSystem.err.find("Imperial"), std::string::npos) << unknownSystem.err;
}

TEST_F(OrvUnitsInspect, ListsEachKindInColumnsAndFilters) {
    EXPECT_EQ(RunSmall({"list", "dimensions"}).out,
              "Dimensionless  unitless\nLength         m\nTemperature    K\n");
    EXPECT_EQ(RunSmall({"list", "measurements", "--dimension", "Length"}).out,
              "Depth   Length\nLength  Length\n");
    EXPECT_EQ(RunSmall({"list", "units", "--dimension", "Length"}).out,
              "foot  foot       Length\n"
              "ft    foot       Length\n"
              "km    kilometre  Length\n"
              "m     metre      Length\n");
    // A measurement's units come in the order the catalogue offers them.
    EXPECT_EQ(RunSmall({"list", "units", "--measurement", "Depth"}).out,
              "m   metre  Length\nft  foot   Length\n");
    EXPECT_EQ(RunSmall({"list", "systems"}).out, "Metric\nUS Customary\n");
}

TEST_F(OrvUnitsInspect, ListRefusesFiltersThatDoNotApply) {
    const auto result = RunSmall({"list", "systems", "--measurement", "Depth"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "orvunits: --measurement applies to units only\n");
    EXPECT_EQ(RunSmall({"list", "everything"}).status, 2);
    EXPECT_EQ(RunSmall({"list", "units", "--dimension", "Time"}).status, 1);
}

TEST_F(OrvUnitsInspect, ShowsAUnitWithItsAliasesAndFactor) {
    const auto result = RunSmall({"show", "ft"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "unit ft\n"
                          "  name:           foot\n"
                          "  dimension:      Length\n"
                          "  standard form:  ft\n"
                          "  aliases:        foot\n"
                          "  factor to m:    0.3048\n"
                          "  offset to m:    0\n");
    const auto celsius = RunSmall({"show", "degC", "--json"});
    EXPECT_NE(celsius.out.find("\"offset\": 273.15"), std::string::npos) << celsius.out;
}

TEST_F(OrvUnitsInspect, ShowsEveryKindANameHas) {
    // "Length" is a measurement and a dimension.
    const auto result = RunSmall({"show", "Length"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "measurement Length\n"
                          "  dimension:  Length\n"
                          "  base unit:  m\n"
                          "  units:      foot ft km m\n"
                          "  unit in each system:\n"
                          "    Metric        m\n"
                          "    US Customary  ft\n"
                          "\n"
                          "dimension Length\n"
                          "  base unit:     m\n"
                          "  measurements:  Depth, Length\n"
                          "  units:         foot ft km m\n");
    EXPECT_EQ(RunSmall({"show", "US Customary"}).out, "unit system US Customary\n"
                                                      "  Depth        ft\n"
                                                      "  Length       ft\n"
                                                      "  Temperature  K\n"
                                                      "  Unitless     unitless\n");
    const auto unknown = RunSmall({"show", "parsec"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err,
              "orvunits: no unit, measurement, unit system or dimension is named 'parsec'\n");
}

TEST_F(OrvUnitsInspect, EveryJsonOutputParses) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"convert", "1", "ft", "m"},
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
        const auto result = RunSmall(withJson);
        EXPECT_EQ(result.status, 0) << args[0] << " " << args[1] << ": " << result.err;
        EXPECT_TRUE(IsValidJson(result.out)) << result.out;
    }
}

} // namespace
