#include "ReaderRecords.h"

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using Reader::CatalogueError;
using Reader::CatalogueProblem;
using Reader::XmlUnitReader;

namespace {

// Scale and offset convert the base unit into the unit, as the library's export writes them.
const char* const kCatalogue = R"(<?xml version="1.0" encoding="UTF-8"?>
<UnitCatalog>
  <Dimension name="Length" baseUnit="m">
    <Measurement name="Depth" units="m ft mm"/>
    <Measurement name="Distance"/>
    <Unit name="m" desc="metre" scale="1" offset="0"/>
    <Unit name="mm" desc="millimetre" scale="1000" offset="0"/>
    <Unit name="ft" desc="foot" scale="3.28084" offset="0" B="0.3048">
      <Alias name="foot" desc="foot, spelt out"/>
    </Unit>
  </Dimension>
  <Dimension name="Temperature" baseUnit="K">
    <Measurement name="Ambient temperature" units="K degC degF"/>
    <Unit name="K" desc="kelvin" scale="1" offset="0"/>
    <Unit name="degC" desc="degree Celsius" scale="1" offset="-273.15"/>
    <Unit name="degF" desc="degree Fahrenheit" scale="1.8" offset="-459.67"/>
  </Dimension>
  <UnitSystem name="Metric">
    <UnitMapping measurement="Depth" unit="m"/>
    <UnitMapping measurement="Ambient temperature" unit="degC"/>
    <UnitMapping measurement="Distance"/>
  </UnitSystem>
  <UnitSystem name="Field">
    <UnitMapping measurement="Depth" unit="ft"/>
  </UnitSystem>
</UnitCatalog>
)";

/// The problems that refuse `text`; empty when it is read.
std::vector<CatalogueProblem> ProblemsOf(const std::string& text) {
    try {
        XmlUnitReader::FromText(text, "test.xml");
    } catch (const CatalogueError& error) {
        return error.Problems();
    }
    return {};
}

/// Writes `text` to the file `name` in the running test's own directory; returns its path.
std::string WriteFile(const std::string& name, const std::string& text) {
    const auto directory =
        std::filesystem::path(::testing::TempDir()) /
        ("orv_reader_" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(directory);
    const std::string path = (directory / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

} // namespace

// Scale and offset of the file describe the way from the base unit; the engines go the other way,
// from B and A where the file gives them (1 / 3.28084 is not the foot's exact 0.3048).
TEST(XmlUnitReader, ReadsEveryRecordInFileOrderWithEnginesTowardsTheBaseUnit) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");
    std::string records;
    for (const std::string& line : reader_testing::Records(*reader)) {
        records += line + "\n";
    }
    EXPECT_EQ(records, R"(dimension Length m
dimension Temperature K
unit m | metre | Length |  | kind 1 exact 0 1 1 0 linear 1 0 | engine of #0 | found at #0
unit mm | millimetre | Length |  | kind 1 exact 0 1 1000 0 linear 0.001 0 | engine of #1 | found at #1
unit ft | foot | Length |  | kind 1 exact 0 381 1250 0 linear 0.30480000000000002 0 | engine of #2 | found at #2
unit foot | foot, spelt out | Length | ft | kind 1 exact 0 381 1250 0 linear 0.30480000000000002 0 | engine of #2 | found at #3
unit K | kelvin | Temperature |  | kind 1 exact 0 1 1 0 linear 1 0 | engine of #4 | found at #4
unit degC | degree Celsius | Temperature |  | kind 1 exact 5463 20 20 0 linear 1 273.14999999999998 | engine of #5 | found at #5
unit degF | degree Fahrenheit | Temperature |  | kind 1 exact 45967 100 180 0 linear 0.55555555555555558 255.37222222222223 | engine of #6 | found at #6
measurement Depth Length: m ft mm
measurement Distance Length:
measurement Ambient temperature Temperature: K degC degF
system Metric
  Depth m
  Ambient temperature degC
system Field
  Depth ft
)");
    // Keys are compared byte for byte; a mapping without a unit maps nothing.
    EXPECT_EQ(reader->GetDimensionSpec("length"), nullptr);
    EXPECT_EQ(reader->GetUnitSpec("ft "), nullptr);
    EXPECT_EQ(reader->GetMeasurementSpec("depth"), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Metric", "Distance"), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("metric", "Depth"), nullptr);
}

TEST(XmlUnitReader, ReportsAFileThatCannotBeOpenedWithoutAPosition) {
    const std::string missing = WriteFile("missing.xml", "") + ".not";
    const std::vector<CatalogueProblem> problems = XmlUnitReader::Check(missing);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].ToString().rfind(missing + ": the file cannot be opened", 0), 0u)
        << problems[0].ToString();
    EXPECT_THROW(XmlUnitReader::FromFile(missing), CatalogueError);
}

TEST(XmlUnitReader, RefusesACatalogueWholeListingEveryProblemWithItsLineAndColumn) {
    // Columns count characters, not bytes, and a tag is placed where it starts.
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
        const std::vector<CatalogueProblem>& problems = error.Problems();
        ASSERT_EQ(problems.size(), 4u) << error.what();
        EXPECT_EQ(problems[0].ToString(), "four.xml:3:5: the measurement \"Depth\" offers the unit "
                                          "\"yd\", which is not defined");
        EXPECT_EQ(std::make_pair(problems[1].line, problems[1].column), std::make_pair(5, 16));
        EXPECT_NE(problems[1].message.find("\"ft\""), std::string::npos);
        // Mappings to what the file lacks are only warnings, listed with the errors.
        EXPECT_EQ(problems[2].ToString(),
                  "four.xml:9:5: warning: the unit system \"Metric\" maps the measurement "
                  "\"Height\", which is not defined; the mapping is ignored");
        EXPECT_EQ(problems[3].ToString(),
                  "four.xml:10:5: warning: the unit system \"Metric\" gives the measurement "
                  "\"Depth\" the unit \"fathom\", which is not defined; the mapping is ignored");
        for (const CatalogueProblem& problem : problems) {
            EXPECT_NE(std::string(error.what()).find(problem.ToString()), std::string::npos);
        }
    }
}

TEST(XmlUnitReader, ReadsCataloguesOnSeveralThreadsAtOnce) {
    // The first parse initialises the XML parser for the process; racing first calls must not
    // break it, and parses share no state.
    std::atomic<int> read{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&read] {
            for (int j = 0; j < 3; ++j) {
                const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");
                read +=
                    reader->GetUnitSpec("ft") != nullptr && ProblemsOf("<UnitCatalog>").size() == 1;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(read.load(), 12);
}

// Catalogues written to attack the reader must be refused, quickly, without reading any other
// file and without exhausting the stack or memory.
TEST(HostileCatalogue, RefusesEveryDoctypeWithoutReadingTheFilesItNames) {
    // The files next to the catalogues hold a secret: if it turns up in a message, or the
    // catalogue is read, the reader has followed the declaration.
    const std::string secret = "SECRET-5d1e0c";
    WriteFile("secret.txt", secret);
    WriteFile("secret.dtd", "<!ENTITY leak \"" + secret + "\">");
    std::string utf16 = "\xFF\xFE"; // markup that is not ASCII: the parser itself must stop
    for (const char c :
         std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                     "<!DOCTYPE UnitCatalog [<!ENTITY e \"x\">]>\n<UnitCatalog/>\n")) {
        utf16 += std::string{c, '\0'};
    }
    const std::string body = "<UnitCatalog><UnitSystem name=\"&leak;\"/></UnitCatalog>\n";
    const std::string catalogues[] = {
        "<!DOCTYPE UnitCatalog [<!ENTITY leak SYSTEM \"secret.txt\">]>\n" + body,
        "<!DOCTYPE UnitCatalog SYSTEM \"secret.dtd\">\n" + body,
        "<!DOCTYPE UnitCatalog [<!ENTITY % p SYSTEM \"secret.dtd\"> %p;]>\n" + body,
        utf16,
    };
    for (const std::string& text : catalogues) {
        const std::string path = WriteFile("hostile.xml", text);
        const std::vector<CatalogueProblem> problems = XmlUnitReader::Check(path);
        ASSERT_EQ(problems.size(), 1u) << text;
        EXPECT_NE(problems[0].message.find("DOCTYPE"), std::string::npos) << problems[0].message;
        EXPECT_EQ(problems[0].message.find(secret), std::string::npos) << problems[0].message;
    }
}

TEST(HostileCatalogue, IgnoresASchemaLocationThatWouldAllowMore) {
    WriteFile("lax.xsd", "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                         "<xs:element name=\"UnitCatalog\"><xs:complexType><xs:sequence>"
                         "<xs:any processContents=\"skip\" minOccurs=\"0\" "
                         "maxOccurs=\"unbounded\"/></xs:sequence></xs:complexType>"
                         "</xs:element></xs:schema>");
    const std::string hint = WriteFile(
        "hint.xml", "<UnitCatalog xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                    "xsi:noNamespaceSchemaLocation=\"lax.xsd\"><Secret/></UnitCatalog>\n");
    std::string problems;
    for (const CatalogueProblem& problem : XmlUnitReader::Check(hint)) {
        problems += problem.message + "\n";
    }
    EXPECT_NE(problems.find("Secret"), std::string::npos) << problems;
}

TEST(HostileCatalogue, RefusesHugeAttributesDeepNestingAndEndlessProblemsInBoundedReports) {
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
