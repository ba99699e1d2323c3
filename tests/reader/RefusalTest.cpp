// Catalogues the reader refuses, whole, with every problem, its file, line and column.
#include "ReaderRecords.h"

#include <units/reader/XmlUnitReader.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#if defined(__unix__)
#include <sys/stat.h>
#endif

namespace {

using namespace Orv::Pim::Core::Service::Units::Reader;

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
    const std::string file = ORV_READER_TESTS_DIR "/broken/several-problems.xml";
    try {
        XmlUnitReader::FromFile(file);
        FAIL() << "the catalogue was read";
    } catch (const CatalogueError& error) {
        std::string listed, positions;
        for (const CatalogueProblem& problem : error.Problems()) {
            listed += problem.ToString() + "\n";
            positions += problem.ToString().substr(file.size()) + "\n";
        }
        EXPECT_EQ(positions, ":3:5: the measurement \"Depth\" offers the unit \"yd\", which is not "
                             "defined\n"
                             ":5:16: the unit \"ft\" has the scale 0, which maps every value of "
                             "the base unit to one value\n"
                             ":13:5: warning: the unit system \"Metric\" maps the measurement "
                             "\"Height\", which is not defined; the mapping is ignored\n"
                             ":14:5: warning: the unit system \"Metric\" gives the measurement "
                             "\"Depth\" the unit \"fathom\", which is not defined; the mapping "
                             "is ignored\n");
        EXPECT_EQ(error.what(), "The catalogue was refused (4 problems):\n" +
                                    listed.substr(0, listed.size() - 1));
    }
}

// The schema is compiled once and shared by every parse: each file the schema refuses is refused
// by the reader too, with the same problems whether it is read alone or while other threads read
// others. The threads come first, so that their parses race to initialise the XML parser.
TEST(BrokenCatalogue, IsRefusedAsTheSchemaRefusesItAlsoFromSeveralThreadsAtOnce) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ORV_SCHEMA_INVALID_DIR)) {
        files.push_back(entry.path().string());
    }
    ASSERT_FALSE(files.empty());
    const auto listed = [](const std::vector<CatalogueProblem>& problems) {
        std::string text;
        for (const CatalogueProblem& problem : problems) {
            text += (problem.warning ? "" : "error ") + problem.ToString() + "\n";
        }
        return text;
    };
    constexpr int kThreads = 4;
    std::vector<std::vector<std::string>> together(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < files.size(); ++i) {
                const std::string& file = files[(i + static_cast<std::size_t>(t)) % files.size()];
                together[t].push_back(listed(XmlUnitReader::Check(file)));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::vector<std::string> alone;
    for (const std::string& file : files) {
        alone.push_back(listed(XmlUnitReader::Check(file)));
        EXPECT_NE(alone.back().find("error "), std::string::npos) << file;
    }
    for (int t = 0; t < kThreads; ++t) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(together[t][i], alone[(i + static_cast<std::size_t>(t)) % files.size()]);
        }
    }
}

// Hostile catalogues are refused at the first limit they pass, before the cost grows with the
// input, and with at most the limit's number of problems: one that nests elements deeper than a
// parser's stack, and one of many elements, with the default limits and a small one.
TEST(BrokenCatalogue, IsRefusedAtTheFirstLimitItPasses) {
    std::string deep = "<UnitCatalog>";
    for (int i = 0; i < 100000; ++i) {
        deep += "<Unit name=\"u\">";
    }
    std::string many = "<UnitCatalog><UnitSystem name=\"Metric\">";
    for (int i = 0; i < 500; ++i) {
        many += "<UnitMapping measurement=\"M" + std::to_string(i) + "\"/>";
    }
    const CatalogueLimits small{1 << 20, 200, 10, 100, 1000, 200, 300};
    const struct {
        std::string text;
        CatalogueLimits limits;
        std::string problem; // the start of the first problem after "test.xml:"
    } cases[] = {
        {many, {}, "1:"},
        {deep, {}, "1:"},
        {many, small, "1:9764: the catalogue has more than 300 elements"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        try {
            XmlUnitReader::FromText(c.text, "test.xml", c.limits);
            ADD_FAILURE() << "read";
        } catch (const CatalogueError& error) {
            EXPECT_EQ(error.Problems().front().ToString().rfind("test.xml:" + c.problem, 0), 0u)
                << error.Problems().front().ToString();
            EXPECT_LE(error.Problems().size(), 200u);
        }
    }
    // The count holds for a text the raw scan cannot read too (UTF-16); the parser places it.
    std::string wide = "\xFF\xFE";
    for (const char c : "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + many) {
        wide += {c, '\0'};
    }
    wide.resize(wide.size() - 2);
    EXPECT_THAT(
        reader_testing::FirstProblem([&] { XmlUnitReader::FromText(wide, "wide.xml", small); }),
        ::testing::HasSubstr("the catalogue has more than 300 elements"));
}

// A file that cannot be opened, or is not a regular file, is refused without a position: a device
// or a FIFO would never end, or block.
TEST(XmlUnitReader, ReadsOnlyARegularFileThatOpens) {
    const std::string missing = ::testing::TempDir() + "orv_reader_no_such_file.xml";
    EXPECT_EQ(XmlUnitReader::Check(missing).at(0).ToString().rfind(
                  missing + ": the file cannot be opened", 0),
              0u);
    EXPECT_THROW(XmlUnitReader::FromFile(missing), CatalogueError);
    std::vector<std::string> irregular = {::testing::TempDir()};
#if defined(__unix__)
    const std::string fifo = ::testing::TempDir() + "orv_reader_fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    irregular.insert(irregular.end(), {"/dev/zero", fifo});
#endif
    for (const std::string& path : irregular) {
        EXPECT_EQ(XmlUnitReader::Check(path).at(0).ToString(),
                  path + ": the file is not a regular file; only regular files are read");
    }
}

// Signatures may name sixteen base quantities, the seven SI ones among them: the corpus's
// catalogue of seventeen reads without its last one.
TEST(XmlUnitReader, ReadsSignaturesOfSixteenBaseQuantities) {
    std::string text = reader_testing::ReadText(ORV_READER_TESTS_DIR
                                                "/broken/signatures-name-seventeen-quantities.xml");
    text.erase(text.find(" Qj"), 3);
    EXPECT_NO_THROW(XmlUnitReader::FromText(text, "sixteen.xml"));
}

// Units whose factors lie further apart than double can compose are read, with a warning.
TEST(XmlUnitReader, WarnsOfUnitsTooFarApartForDouble) {
    const auto reader = XmlUnitReader::FromText(
        "<UnitCatalog><Dimension name=\"L\" baseUnit=\"m\"><Unit name=\"m\" desc=\"\" B=\"1\"/>"
        "<Unit name=\"huge\" desc=\"\" B=\"1" +
            std::string(300, '0') + "\"/><Unit name=\"tiny\" desc=\"\" B=\"0." +
            std::string(299, '0') +
            "1\"/></Dimension><Dimension name=\"Dimensionless\" baseUnit=\"1\"><Measurement "
            "name=\"Unitless\"/><Unit name=\"1\" desc=\"\" B=\"1\"/></Dimension><UnitSystem "
            "name=\"Metric\"/></UnitCatalog>",
        "apart.xml", {std::size_t{1} << 20, 1000, 10, 400});
    ASSERT_EQ(reader->Warnings().size(), 1u);
    EXPECT_EQ(reader->Warnings()[0].ToString(),
              "apart.xml:1:410: warning: the units \"tiny\" (factor 1e-300) and \"huge\" (factor "
              "1e+300) of the dimension \"L\" are too far apart for double: a conversion "
              "between them gives 0 or infinity");
}

} // namespace
