// orvunits export and check, refused catalogues, and the command line itself.
#include "ToolTesting.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using orv_tool_testing::IsValidJson;
using orv_tool_testing::RunTool;
using orv_tool_testing::SmallCatalogue;
using orv_tool_testing::TempDir;

bool IsOneErrorLine(const std::string& err) {
    return err.rfind("orvunits: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

TEST(OrvUnitsFiles, ExportedCatalogueChecksCleanAndReadsBack) {
    TempDir dir;
    const std::string catalogue = dir.Write("small.xml", SmallCatalogue());
    const std::string exported = dir.File("exported.xml");
    const auto result = RunTool({"--catalogue", catalogue, "export", exported});
    ASSERT_EQ(result.status, 0) << result.err;

    const auto check = RunTool({"check", exported});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out, exported + ": no problems found\n");
    const auto converted = RunTool({"--catalogue", exported, "convert", "-40", "degC", "K"});
    EXPECT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(converted.out, "233.14999999999998\n");
}

// The export leaves out units that are not linear but keeps the mappings to them: the file is
// read back with warnings, which check lists without failing and other commands sum up in a line.
TEST(OrvUnitsFiles, ExportsTheDefaultCatalogueSoThatItReadsBack) {
    TempDir dir;
    const std::string exported = dir.File("default.xml");
    const auto result = RunTool({"export", exported});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");

    const auto check = RunTool({"check", exported});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find(": warning: "), std::string::npos) << check.out;

    const auto converted = RunTool({"--catalogue", exported, "convert", "12.5", "ft", "m"});
    EXPECT_EQ(converted.status, 0) << converted.err;
    EXPECT_NE(converted.out, "");
    EXPECT_EQ(converted.err.rfind("orvunits: warning: the catalogue " + exported + " has ", 0), 0u)
        << converted.err;
    EXPECT_EQ(converted.err.find('\n'), converted.err.size() - 1) << converted.err;
}

TEST(OrvUnitsFiles, ExportsOneUnitSystem) {
    TempDir dir;
    const std::string catalogue = dir.Write("small.xml", SmallCatalogue());
    const std::string exported = dir.File("metric.xml");
    ASSERT_EQ(RunTool({"--catalogue", catalogue, "export", exported, "--system", "Metric"}).status,
              0);
    std::stringstream text;
    text << std::ifstream(exported).rdbuf();
    EXPECT_NE(text.str().find("UnitSystem"), std::string::npos);
    EXPECT_EQ(text.str().find("<Dimension"), std::string::npos) << text.str();

    const auto unwritable = RunTool({"export", dir.File("missing/folder/out.xml")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(IsOneErrorLine(unwritable.err)) << unwritable.err;
}

TEST(OrvUnitsFiles, CheckListsProblemsWithLineAndColumn) {
    TempDir dir;
    const std::string broken = dir.Write("broken.xml", "<UnitCatalog>\n"
                                                       "  <Dimension name=\"Length\">\n"
                                                       "    <Bogus/>\n"
                                                       "  </Dimension>\n"
                                                       "</UnitCatalog>\n");
    const auto result = RunTool({"check", broken});
    EXPECT_EQ(result.status, 1);
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.rfind(broken + ":3:", 0), 0u) << result.out;

    const auto json = RunTool({"check", broken, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(IsValidJson(json.out)) << json.out;
    EXPECT_NE(json.out.find("\"line\": 3"), std::string::npos) << json.out;
}

TEST(OrvUnitsFiles, RefusedCatalogueIsOneErrorLine) {
    TempDir dir;
    const std::string broken = dir.Write("broken.xml", "<UnitCatalog><Oops/><Oops/>");
    const auto result = RunTool({"--catalogue", broken, "list", "units"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(IsOneErrorLine(result.err)) << result.err;
    EXPECT_EQ(result.err.rfind("orvunits: refused catalogue: " + broken + ":", 0), 0u)
        << result.err;

    const auto missing = RunTool({"--catalogue", dir.File("none.xml"), "list", "units"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(IsOneErrorLine(missing.err)) << missing.err;
}

TEST(OrvUnitsUsage, BadUsageIsStatusTwoWithOneErrorLine) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"list"}, {"show"}, {"convert", "--speed", "1"}, {"--json"}}) {
        const auto result = RunTool(args);
        EXPECT_EQ(result.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(IsOneErrorLine(result.err)) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST(OrvUnitsUsage, HelpIsOfferedEverywhere) {
    const auto top = RunTool({"--help"});
    EXPECT_EQ(top.status, 0);
    for (const char* command : {"convert", "parse", "list", "show", "export", "check"}) {
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
        const auto help = RunTool({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("orvunits ") + command), std::string::npos) << help.out;
        EXPECT_EQ(help.err, "");
    }
}

} // namespace
