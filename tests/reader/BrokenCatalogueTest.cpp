// The corpus in broken/: one small catalogue per fault, named for it. Each must be refused with
// its file, the position of the offending element and a message that names what is wrong.
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

using Orv::Pim::Core::Service::Units::Reader::CatalogueError;
using Orv::Pim::Core::Service::Units::Reader::XmlUnitReader;

TEST(BrokenCatalogue, RefusesEveryFileOfTheCorpusWithItsFileThePositionAndTheFault) {
    struct Broken {
        const char* file;
        int line, column; // of the first problem
        const char* says; // a part of its message; the offending symbol where there is one
    };
    // Listed one by one, so that a file that is renamed or lost fails instead of being skipped.
    const Broken corpus[] = {
        {"alias-of-a-defined-symbol.xml", 5, 7, "the unit \"m\" is defined twice"},
        {"base-unit-not-identity.xml", 2, 3, "the base unit \"km\", whose definition"},
        {"base-unit-of-another-dimension.xml", 5, 3,
         "the base unit \"kg\", which is a unit of the dimension \"Mass\""},
        {"base-unit-undefined.xml", 2, 3, "the base unit \"metre\", which is not defined"},
        {"definition-missing.xml", 4, 5, "the unit \"vague\" has no definition"},
        {"definition-not-invertible.xml", 4, 5, "the unit \"flat\""},
        {"doctype.xml", 3, 1, "DOCTYPE"},
        {"duplicate-dimension.xml", 5, 3,
         "the dimension \"Length\" is defined twice; it was first defined at line 2, column 3"},
        {"duplicate-mapping.xml", 8, 5, "maps the measurement \"Depth\" twice"},
        {"duplicate-measurement.xml", 7, 5, "the measurement \"Depth\" is defined twice"},
        {"duplicate-unit-system.xml", 3, 3, "the unit system \"Metric\" is defined twice"},
        {"duplicate-unit.xml", 4, 5, "the unit \"m\" is defined twice"},
        {"mapping-unit-of-another-dimension.xml", 10, 5,
         "the unit \"s\" of the dimension \"Time\""},
        {"measurement-unit-listed-twice.xml", 3, 5, "offers the unit \"m\" twice"},
        {"measurement-unit-of-another-dimension.xml", 3, 5,
         "offers the unit \"s\" of the dimension"},
        {"measurement-unit-undefined.xml", 3, 5,
         "offers the unit \"furlong\", which is not defined"},
        {"not-well-formed.xml", 4, 5, "Unit"},
        {"offset-not-a-number.xml", 4, 5, "NaN"},
        {"scale-infinite.xml", 4, 5, "INF"},
        {"scale-zero.xml", 4, 5, "the unit \"nothing\" has the scale 0"},
        {"unknown-element.xml", 4, 23, "Prefix"},
        {"wrong-root.xml", 1, 8, "Units"},
    };
    std::set<std::string> listed;
    for (const Broken& broken : corpus) {
        listed.insert(broken.file);
        const std::string path = std::string(ORV_READER_BROKEN_DIR) + "/" + broken.file;
        const auto problems = XmlUnitReader::Check(path);
        ASSERT_FALSE(problems.empty()) << path;
        const auto& first = problems.front();
        EXPECT_EQ(first.source, path);
        EXPECT_EQ(std::make_pair(first.line, first.column),
                  std::make_pair(broken.line, broken.column))
            << first.ToString();
        EXPECT_NE(first.message.find(broken.says), std::string::npos) << first.ToString();
        EXPECT_THROW(XmlUnitReader::FromFile(path), CatalogueError) << path;
    }
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(ORV_READER_BROKEN_DIR)) {
        present.insert(entry.path().filename().string());
    }
    EXPECT_EQ(listed, present) << "every file of the corpus is listed here";
}
