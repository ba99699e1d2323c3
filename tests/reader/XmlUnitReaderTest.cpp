#include "CatalogueTesting.h"

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using Reader::CatalogueError;
using Reader::CatalogueProblem;
using Reader::XmlUnitReader;
using reader_testing::ProblemsOf;

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
      <Alias name="FT" desc="foot in capitals"/>
    </Unit>
    <Unit name="in" desc="inch" scale="39.3701" offset="0"/>
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

template <typename Record>
std::vector<std::string> KeysOf(const std::vector<const Record*>& records) {
    std::vector<std::string> keys;
    for (const Record* record : records) {
        keys.push_back(record->name);
    }
    return keys;
}

double ToBase(const Reader::UnitSpec* unit, double value) {
    return unit->converter->Convert(value);
}

} // namespace

TEST(XmlUnitReader, ReadsEveryRecordOfACatalogueInFileOrder) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");

    EXPECT_EQ(KeysOf(reader->GetAllDimensionSpecs()),
              (std::vector<std::string>{"Length", "Temperature"}));
    std::vector<std::string> symbols;
    for (const Reader::UnitSpec* unit : reader->GetAllUnitSpecs()) {
        ASSERT_TRUE(unit->IsValid()) << unit->symbol;
        symbols.push_back(unit->symbol);
    }
    EXPECT_EQ(symbols,
              (std::vector<std::string>{"m", "mm", "ft", "foot", "FT", "in", "K", "degC", "degF"}));
    EXPECT_EQ(KeysOf(reader->GetAllMeasurementSpecs()),
              (std::vector<std::string>{"Depth", "Distance", "Ambient temperature"}));
    EXPECT_EQ(KeysOf(reader->GetAllUnitSystemSpecs()),
              (std::vector<std::string>{"Metric", "Field"}));
}

TEST(XmlUnitReader, FindsRecordsByTheirExactKeyOnly) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");

    const Reader::DimensionSpec* length = reader->GetDimensionSpec("Length");
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length->baseUnitSymbol, "m");
    const Reader::UnitSpec* foot = reader->GetUnitSpec("ft");
    ASSERT_NE(foot, nullptr);
    EXPECT_EQ(foot->name, "foot");
    EXPECT_EQ(foot->dimensionName, "Length");
    EXPECT_EQ(foot->standardFormSymbol, "");
    const Reader::MeasurementSpec* depth = reader->GetMeasurementSpec("Depth");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->dimensionName, "Length");
    EXPECT_EQ(depth->unitSymbols, (std::vector<std::string>{"m", "ft", "mm"}));
    EXPECT_TRUE(reader->GetMeasurementSpec("Distance")->unitSymbols.empty());

    // Keys are compared byte for byte: no folding of case, no trimming.
    EXPECT_EQ(reader->GetDimensionSpec("length"), nullptr);
    EXPECT_EQ(reader->GetUnitSpec("Ft"), nullptr);
    EXPECT_EQ(reader->GetUnitSpec("ft "), nullptr);
    EXPECT_EQ(reader->GetMeasurementSpec("depth"), nullptr);
    // "FT" is a unit of its own, an alias of "ft".
    ASSERT_NE(reader->GetUnitSpec("FT"), nullptr);
    EXPECT_EQ(reader->GetUnitSpec("FT")->symbol, "FT");
}

TEST(XmlUnitReader, TurnsTheFilesScaleAndOffsetRoundIntoAnEngineTowardsTheBaseUnit) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");

    // The file says mm = 1000 * m: 1000 mm is 1 m, not 1e6 m.
    EXPECT_DOUBLE_EQ(ToBase(reader->GetUnitSpec("mm"), 1000.0), 1.0);
    // degC = K - 273.15 and degF = 1.8 * K - 459.67.
    EXPECT_DOUBLE_EQ(ToBase(reader->GetUnitSpec("degC"), 100.0), 373.15);
    EXPECT_DOUBLE_EQ(ToBase(reader->GetUnitSpec("degF"), 32.0), 273.15);
    EXPECT_DOUBLE_EQ(ToBase(reader->GetUnitSpec("degF"), -459.67), 0.0);
    EXPECT_DOUBLE_EQ(ToBase(reader->GetUnitSpec("m"), 2.5), 2.5);
    // Six significant digits are all an exported scale keeps.
    EXPECT_NEAR(ToBase(reader->GetUnitSpec("in"), 1.0), 0.0254, 0.0254 * 1e-6);
}

TEST(XmlUnitReader, PrefersTheExactDefinitionOverTheRoundedScale) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");

    // 1 / 3.28084 is 0.3047999...; B = 0.3048 gives the foot exactly.
    EXPECT_EQ(ToBase(reader->GetUnitSpec("ft"), 1.0), 0.3048);
}

TEST(XmlUnitReader, GivesAnAliasItsUnitAsStandardFormAndItsConversion) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");

    const Reader::UnitSpec* alias = reader->GetUnitSpec("foot");
    ASSERT_NE(alias, nullptr);
    ASSERT_TRUE(alias->IsValid());
    EXPECT_EQ(alias->name, "foot, spelt out");
    EXPECT_EQ(alias->dimensionName, "Length");
    EXPECT_EQ(alias->standardFormSymbol, "ft");
    EXPECT_EQ(ToBase(alias, 10.0), ToBase(reader->GetUnitSpec("ft"), 10.0));
}

TEST(XmlUnitReader, AnswersTheUnitThatASystemGivesAMeasurement) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");

    ASSERT_NE(reader->GetUnitSpecOfMeasurement("Metric", "Depth"), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Metric", "Depth")->symbol, "m");
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Field", "Depth")->symbol, "ft");
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Metric", "Ambient temperature")->symbol, "degC");
    // A mapping without a unit, a measurement the system does not map, unknown names.
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Metric", "Distance"), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Field", "Ambient temperature"), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("metric", "Depth"), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Metric", "Nothing"), nullptr);
}

TEST(XmlUnitReader, ReadsAFileAndNamesItsPathInProblems) {
    const std::string directory = reader_testing::ScratchDirectory();
    const std::string good = directory + "/good.xml";
    reader_testing::WriteFile(good, kCatalogue);
    const std::string bad = directory + "/bad.xml";
    reader_testing::WriteFile(bad, "<UnitCatalog>\n  <Dimension name=\"Length\" baseUnit=\"m\"/>\n"
                                   "</UnitCatalog>\n");

    EXPECT_NE(XmlUnitReader::FromFile(good)->GetUnitSpec("ft"), nullptr);
    EXPECT_TRUE(XmlUnitReader::Check(good).empty());

    const std::vector<CatalogueProblem> problems = XmlUnitReader::Check(bad);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].ToString(),
              bad + ":2:3: the dimension \"Length\" has the base unit \"m\", which is not defined");
    EXPECT_THROW(XmlUnitReader::FromFile(bad), CatalogueError);
}

TEST(XmlUnitReader, ReportsAFileThatCannotBeOpenedWithoutAPosition) {
    const std::string missing = reader_testing::ScratchDirectory() + "/missing.xml";

    const std::vector<CatalogueProblem> problems = XmlUnitReader::Check(missing);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].source, missing);
    EXPECT_EQ(problems[0].line, 0);
    EXPECT_EQ(problems[0].ToString().rfind(missing + ": the file cannot be opened", 0), 0u)
        << problems[0].ToString();
}

TEST(XmlUnitReader, RefusesACatalogueWholeAndListsEveryProblemInItsMessage) {
    const std::string text = R"(<UnitCatalog>
  <Dimension name="Length" baseUnit="m">
    <Measurement name="Depth" units="m yd"/>
    <Unit name="m" desc="metre" scale="1" offset="0"/>
    <Unit name="ft" desc="foot" scale="0" offset="0"/>
  </Dimension>
  <UnitSystem name="Metric">
    <UnitMapping measurement="Height" unit="m"/>
  </UnitSystem>
</UnitCatalog>
)";
    try {
        XmlUnitReader::FromText(text, "three.xml");
        FAIL() << "the catalogue was read";
    } catch (const CatalogueError& error) {
        const std::vector<CatalogueProblem>& problems = error.Problems();
        ASSERT_EQ(problems.size(), 3u) << error.what();
        EXPECT_EQ(problems[0].ToString(),
                  "three.xml:3:5: the measurement \"Depth\" offers the unit \"yd\", which is not "
                  "defined");
        EXPECT_EQ(problems[1].line, 5);
        EXPECT_EQ(problems[1].column, 5);
        EXPECT_NE(problems[1].message.find("\"ft\""), std::string::npos);
        // A mapping to a measurement the file lacks is only a warning, listed with the errors.
        EXPECT_EQ(problems[2].ToString(),
                  "three.xml:8:5: warning: the unit system \"Metric\" maps the measurement "
                  "\"Height\", which is not defined; the mapping is ignored");
        const std::string what = error.what();
        for (const CatalogueProblem& problem : problems) {
            EXPECT_NE(what.find(problem.ToString()), std::string::npos) << what;
        }
    }
}

TEST(XmlUnitReader, IgnoresMappingsToWhatTheFileLacksWithAWarning) {
    const std::string text = R"(<UnitCatalog>
  <Dimension name="Length" baseUnit="m">
    <Measurement name="Depth"/>
    <Unit name="m" desc="metre" scale="1" offset="0"/>
  </Dimension>
  <UnitSystem name="Field">
    <UnitMapping measurement="Depth" unit="fathom"/>
  </UnitSystem>
</UnitCatalog>
)";
    const auto reader = XmlUnitReader::FromText(text, "field.xml");
    ASSERT_EQ(reader->Warnings().size(), 1u);
    EXPECT_EQ(reader->Warnings()[0].ToString(),
              "field.xml:7:5: warning: the unit system \"Field\" gives the measurement \"Depth\" "
              "the unit \"fathom\", which is not defined; the mapping is ignored");
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Field", "Depth"), nullptr);
}

TEST(XmlUnitReader, CountsColumnsInCharactersAndFindsTheStartOfEachTag) {
    // Multi-byte characters before a tag, and a tag whose attributes span lines.
    const std::string text = "<UnitCatalog>\n"
                             "<!-- \xC3\xA9\xE2\x82\xAC --><Dimension name=\"L\xC3\xA9ngth\"\n"
                             "   baseUnit=\"m\"/>\n"
                             "</UnitCatalog>\n";
    const std::vector<CatalogueProblem> problems = ProblemsOf(text, "text");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].column, 12);
}

TEST(XmlUnitReader, KeepsItsRecordsValidForItsWholeLife) {
    std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");
    const Reader::UnitSpec* foot = reader->GetUnitSpec("ft");
    // Listing and looking up again neither moves nor rebuilds a record.
    EXPECT_EQ(reader->GetAllUnitSpecs()[2], foot);
    EXPECT_EQ(reader->GetUnitSpec("ft"), foot);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Field", "Depth"), foot);
    // Two readers of one text share nothing.
    const auto other = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");
    EXPECT_NE(other->GetUnitSpec("ft"), foot);
    EXPECT_NE(other->GetUnitSpec("ft")->converter, foot->converter);
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
                if (reader->GetUnitSpec("ft") != nullptr &&
                    ProblemsOf("<UnitCatalog>").size() == 1) {
                    ++read;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(read.load(), 12);
}
