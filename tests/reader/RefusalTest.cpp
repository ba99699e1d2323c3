// Catalogues the reader refuses, whole, with every problem, its file, line and column.
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Reader;

std::vector<CatalogueProblem> ProblemsOf(const std::string& text) {
    try {
        XmlUnitReader::FromText(text, "test.xml");
    } catch (const CatalogueError& error) {
        return error.Problems();
    }
    return {};
}

// The corpus in broken/: one small catalogue per fault, named for it, and the start of its first
// problem in broken/expected.txt, where every catalogue of the folder must be listed.
TEST(BrokenCatalogue, IsRefusedWithItsFileThePositionOfTheFaultAndWhatIsWrong) {
    const std::string folder = ORV_READER_TESTS_DIR "/broken/";
    std::ifstream list(folder + "expected.txt");
    std::set<std::string> listed, present;
    for (std::string expected; std::getline(list, expected);) {
        if (expected.empty() || expected[0] == '#') {
            continue;
        }
        const std::string file = expected.substr(0, expected.find(':'));
        const std::size_t at = expected.find(": ");
        EXPECT_TRUE(listed.insert(file).second) << file << " is listed twice";
        const auto problems = XmlUnitReader::Check(folder + file);
        ASSERT_FALSE(problems.empty()) << file;
        const std::string first = problems.front().ToString();
        EXPECT_EQ(first.rfind(folder + expected.substr(0, at + 2), 0), 0u) << first;
        EXPECT_NE(first.find(expected.substr(at + 2)), std::string::npos) << first;
        for (const auto& problem : problems) {
            EXPECT_EQ(problem.message.find("SECRET"), std::string::npos) << problem.message;
        }
        EXPECT_THROW(XmlUnitReader::FromFile(folder + file), CatalogueError) << file;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".xml") {
            present.insert(entry.path().filename().string());
        }
    }
    EXPECT_EQ(listed, present) << "every catalogue of the corpus is listed in expected.txt";
}

// Problems come in the order of their positions, warnings among them; columns count characters,
// not bytes, and a tag is placed where it starts.
TEST(BrokenCatalogue, IsRefusedWithEveryProblemInTheOrderOfTheText) {
    const std::string text = "<UnitCatalog>\n"
                             "  <Dimension name=\"Length\" baseUnit=\"m\">\n"
                             "    <Measurement name=\"Depth\" units=\"m yd\"/>\n"
                             "    <Unit name=\"m\" desc=\"metre\" scale=\"1\" offset=\"0\"/>\n"
                             "    <!-- \xC3\xA9\xE2\x82\xAC --><Unit name=\"ft\" desc=\"foot\"\n"
                             "        scale=\"0\" offset=\"0\"/>\n"
                             "  </Dimension>\n"
                             "  <UnitSystem name=\"Metric\">\n"
                             "    <UnitMapping measurement=\"Height\" unit=\"m\"/>\n"
                             "    <UnitMapping measurement=\"Depth\" unit=\"fathom\"/>\n"
                             "  </UnitSystem>\n"
                             "</UnitCatalog>\n";
    try {
        XmlUnitReader::FromText(text, "four.xml");
        FAIL() << "the catalogue was read";
    } catch (const CatalogueError& error) {
        std::string listed;
        for (const CatalogueProblem& problem : error.Problems()) {
            listed += problem.ToString() + "\n";
        }
        EXPECT_EQ(listed,
                  "four.xml:3:5: the measurement \"Depth\" offers the unit \"yd\", which "
                  "is not defined\n"
                  "four.xml:5:16: the unit \"ft\" has the scale 0, which maps every value "
                  "of the base unit to one value\n"
                  "four.xml:9:5: warning: the unit system \"Metric\" maps the measurement "
                  "\"Height\", which is not defined; the mapping is ignored\n"
                  "four.xml:10:5: warning: the unit system \"Metric\" gives the measurement "
                  "\"Depth\" the unit \"fathom\", which is not defined; the mapping is "
                  "ignored\n");
        EXPECT_EQ(error.what(), "The catalogue was refused (4 problems):\n" +
                                    listed.substr(0, listed.size() - 1));
    }
}

TEST(XmlUnitReader, ReportsAFileThatCannotBeOpenedWithoutAPosition) {
    const std::string missing = ::testing::TempDir() + "orv_reader_no_such_file.xml";
    EXPECT_EQ(XmlUnitReader::Check(missing).at(0).ToString().rfind(
                  missing + ": the file cannot be opened", 0),
              0u);
    EXPECT_THROW(XmlUnitReader::FromFile(missing), CatalogueError);
}

// Catalogues written to exhaust the reader are refused quickly, in a report of bounded size.
TEST(BrokenCatalogue, IsRefusedInABoundedReportHoweverHugeDeepOrFaultyItIs) {
    const std::string huge = "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">"
                             "<Unit name=\"m\" desc=\"metre\" scale=\"" +
                             std::string(10 * 1024 * 1024, '7') +
                             "\" offset=\"0\"/></Dimension></UnitCatalog>";
    try {
        XmlUnitReader::FromText(huge, "huge.xml");
        ADD_FAILURE() << "a 10 MB coefficient was read";
    } catch (const CatalogueError& error) {
        EXPECT_LT(std::string(error.what()).size(), 4096u);
    }
    std::string deep = "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">";
    for (int i = 0; i < 200000; ++i) {
        deep += i < 100000 ? "<Unit name=\"u\">" : "</Unit>";
    }
    EXPECT_FALSE(ProblemsOf(deep + "</Dimension></UnitCatalog>").empty());
    std::string many = "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">"
                       "<Unit name=\"m\" scale=\"1\" offset=\"0\"/></Dimension>"
                       "<UnitSystem name=\"Metric\">";
    for (int i = 0; i < 5000; ++i) {
        many += "<UnitMapping measurement=\"M" + std::to_string(i) + "\"/>";
    }
    const auto problems = ProblemsOf(many + "</UnitSystem></UnitCatalog>");
    ASSERT_EQ(problems.size(), 200u);
    EXPECT_NE(problems.back().message.find("too many problems"), std::string::npos);
}

} // namespace
