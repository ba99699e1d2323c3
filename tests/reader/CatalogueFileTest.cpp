// Catalogues written with their exact definitions and read back, and catalogue files laid over
// the default catalogue.
#include "ReaderRecords.h"

#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>
#include <units/reader/CatalogueWriter.h>
#include <units/reader/InMemoryUnitReader.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Reader;
namespace Converter = Orv::Pim::Core::Service::Units::Converter;
using reader_testing::Extras;

std::string Written(RecordUnitReader& reader) {
    std::ostringstream out;
    WriteCatalogue(reader, out);
    return out.str();
}

std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return std::isnan(value) ? 1 : bits; // any NaN is the same failure
}

// Every unit of `expected` converts to and from its base unit in `actual` to the same bits.
void ExpectSameConversions(RecordUnitReader& expected, RecordUnitReader& actual) {
    const double values[] = {0.0, -0.0,      1.0,     -1.0,  12.5,   0.1,  1e-9,
                             1e9, 1234.5678, -273.15, 1e300, 5e-324, 3.81, -459.67};
    std::size_t checked = 0;
    for (const UnitSpec* unit : expected.GetAllUnitSpecs()) {
        const UnitSpec* other = actual.GetUnitSpec(unit->symbol);
        ASSERT_NE(other, nullptr) << unit->symbol;
        auto inverse = unit->converter->GetInverse();
        auto otherInverse = other->converter->GetInverse();
        for (const double value : values) {
            ASSERT_EQ(Bits(unit->converter->Convert(value)), Bits(other->converter->Convert(value)))
                << unit->symbol << " of " << value;
            ASSERT_EQ(Bits(inverse->Convert(value)), Bits(otherInverse->Convert(value)))
                << unit->symbol << " from " << value;
        }
        ++checked;
    }
    EXPECT_EQ(checked, actual.GetAllUnitSpecs().size());
}

TEST(CatalogueWriter, WritesTheDefaultCatalogueSoThatItReadsBackToTheSameRecordsAndBits) {
    auto original = XmlUnitReader::Default();
    const std::string text = Written(*original);
    auto back = XmlUnitReader::FromText(text, "exported.xml");
    reader_testing::ExpectSameRecords(*original, *back);
    EXPECT_EQ(Written(*back), text);
    // Factors with a finite decimal are written as one; the others as a ratio of integers.
    EXPECT_NE(text.find("<Unit name=\"ft\" desc=\"foot\" B=\"0.3048\""), std::string::npos);
    EXPECT_NE(text.find("name=\"psi\" desc=\"pound-force per square inch\" B=\"8896443230521\" "
                        "C=\"1290320000\""),
              std::string::npos);
}

// Non-linear units, engines made from doubles, a standard form of another definition (written as
// a unit of its own), names XML must escape, signatures and prefixes.
TEST(CatalogueWriter, WritesAnInMemoryCatalogueWithNonLinearUnitsThatReadsBackToTheBit) {
    InMemoryUnitReader reader;
    reader.AddDimension("Dimensionless", "1");
    reader.AddDimension("Length", "m");
    reader.AddDimension("Fuel <&> \"use\"", "L/100km");
    reader.AddUnit("1", "one", "Dimensionless", 1.0);
    reader.AddUnit("m", "metre", "Length", 1.0);
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddUnit("foot", "foot", "Length", 0.3048, 0.0, "ft");
    reader.AddUnit("yd", "yard, filed under feet", "Length", 0.9144, 0.0, "ft");
    reader.AddUnit("odd", "a factor of no short decimal", "Length", 1.0 / 3.0, 1e-7);
    reader.AddUnit("L/100km", "litre per 100 km", "Fuel <&> \"use\"", 1.0);
    reader.AddUnit("mpg", "mile per gallon", "Fuel <&> \"use\"",
                   Converter::MakeExactEngine({"112903", "0", "0", "48000000000"}));
    reader.AddMeasurement("Unitless", "Dimensionless");
    reader.AddMeasurement("Dimensionless", "Dimensionless");
    reader.AddMeasurement("Depth", "Length", {"ft", "m"});
    reader.AddUnitSystem("Metric");
    reader.SetUnitOfMeasurement("Metric", "Depth", "m");
    reader.SetSignature("Length", "L");
    reader.SetSignature("Dimensionless", "", true);
    reader.SetTakesPrefixes("m");

    const std::string text = Written(reader);
    auto back = XmlUnitReader::FromText(text, "in-memory.xml");
    EXPECT_TRUE(back->Warnings().empty());
    ExpectSameConversions(reader, *back);
    EXPECT_EQ(Extras(*back), Extras(reader));
    EXPECT_EQ(back->GetUnitSpec("foot")->standardFormSymbol, "ft");
    EXPECT_EQ(back->GetUnitSpec("yd")->standardFormSymbol, "");
    EXPECT_EQ(back->GetUnitSpecOfMeasurement("Metric", "Depth")->symbol, "m");
    EXPECT_EQ(back->GetMeasurementSpec("Depth")->unitSymbols,
              (std::vector<std::string>{"ft", "m"}));
    EXPECT_EQ(Written(*back), text);
}

// Two linear engines of doubles composed have no exact definition, nor a scale and offset.
TEST(CatalogueWriter, RefusesAnEngineWithoutADefinitionAFileCanHold) {
    Converter::LinearUnitConverter half(0.5, 0.0); // borrowed by the composite: outlives it
    InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("hop", "a composite of doubles", "Length",
                   std::make_unique<Converter::CompositeUnitConverter>(
                       &half, new Converter::LinearUnitConverter(2.0, 0.0)));
    EXPECT_THROW(Written(reader), std::invalid_argument);
}

// A catalogue file of `body` in the running test's own scratch folder.
std::string LayerFile(const std::string& name, const std::string& body) {
    const auto folder =
        std::filesystem::path(::testing::TempDir()) /
        ("orv_layers_" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UnitCatalog>\n"
        << body << "</UnitCatalog>\n";
    return path;
}

const std::string kSiteLayer = ORV_READER_TESTS_DIR "/site-layer.xml";

TEST(Layers, AddAndOverrideOverTheDefaultCatalogueAndWriteOutAsOneCatalogue) {
    auto base = XmlUnitReader::Default();
    auto layered = XmlUnitReader::FromLayers(*base, {kSiteLayer});
    base.reset(); // the stack keeps nothing of the reader below

    EXPECT_EQ(layered->GetUnitSpec("smoot")->converter->Convert(2.0), 3.4036);
    EXPECT_EQ(layered->GetUnitSpec("pied")->standardFormSymbol, "ft");
    EXPECT_EQ(layered->GetUnitSpec("pied")->converter, layered->GetUnitSpec("ft")->converter);
    EXPECT_EQ(layered->GetMeasurementSpec("Depth")->unitSymbols,
              (std::vector<std::string>{"ft", "m", "smoot"}));
    EXPECT_EQ(layered->GetUnitSpecOfMeasurement("Metric", "Depth")->symbol, "ft");
    EXPECT_EQ(layered->GetUnitSpecOfMeasurement("Metric", "Pressure")->symbol, "kPa");
    EXPECT_EQ(layered->GetUnitSpecOfMeasurement("Site", "Depth")->symbol, "smoot");
    // Unit expressions resolve over the whole stack.
    ASSERT_NE(layered->GetUnitSpec("ksmoot/s"), nullptr);
    EXPECT_EQ(layered->GetUnitSpec("ksmoot/s")->dimensionName, "Velocity");
    EXPECT_EQ(layered->GetUnitSpec("km")->converter->Convert(1.5), 1500.0);
    EXPECT_TRUE(layered->Warnings().empty());

    const std::string text = Written(*layered);
    auto back = XmlUnitReader::FromText(text, "stack.xml");
    ExpectSameConversions(*layered, *back);
    EXPECT_EQ(Extras(*back), Extras(*layered));
    EXPECT_EQ(Written(*back), text);
}

TEST(Layers, RefuseWhatRedefinesTheCatalogueBelowWithoutSayingSoAndKeepNothingOfIt) {
    const auto in = [](const std::string& parent, const std::string& child) {
        return "  <" + parent + ">\n    " + child + "\n  </" + parent.substr(0, parent.find(' ')) +
               ">\n";
    };
    const std::string length = R"(Dimension name="Length")";
    const std::pair<std::string, const char*> cases[] = {
        {in(length, R"(<Unit name="ft" desc="survey foot" B="0.3048006096012192"/>)"),
         "4:5: the unit \"ft\" is defined by the catalogue below; override=\"true\" replaces it"},
        {in(length, R"(<Measurement name="Depth" units="ft"/>)"),
         "4:5: the measurement \"Depth\" is defined by the catalogue below; override=\"true\" "
         "replaces it"},
        {in(length, R"(<Unit name="quux" desc="quux" B="201.168" override="true"/>)"),
         "4:5: the unit \"quux\" overrides nothing: the catalogue below does not define it"},
        {in(R"(Dimension name="Time")", R"(<Unit name="ft" desc="foot" B="1" override="true"/>)"),
         "4:5: the unit \"ft\" is of the dimension \"Length\" below; an override keeps the "
         "dimension"},
        {R"(  <Dimension name="Length" signature="L2"/>)",
         "3:3: the dimension \"Length\" is defined by the catalogue below; a layer adds to it by "
         "its name alone, without baseUnit, signature or preferred"},
        {in(R"(UnitSystem name="Metric")", R"(<UnitMapping measurement="Depth" unit="ft"/>)"),
         "4:5: the unit of \"Depth\" in \"Metric\" is defined by the catalogue below; "
         "override=\"true\" replaces it"},
        // What the stack as a whole must hold is checked too.
        {in(length, R"(<Measurement name="Depth" units="ft kg" override="true"/>)"),
         "4:5: the measurement \"Depth\" of the dimension \"Length\" offers the unit \"kg\" of "
         "the dimension \"Mass\""},
    };
    auto base = XmlUnitReader::Default();
    for (const auto& [body, expected] : cases) {
        const std::string path = LayerFile("layer.xml", body);
        EXPECT_EQ(reader_testing::FirstProblem([&] { XmlUnitReader::FromLayers(*base, {path}); }),
                  path + ":" + expected);
    }
    // Layers stack in order: the second one sees the first.
    const std::string second =
        LayerFile("second.xml", in(length, R"(<Unit name="smoot" desc="smoot" B="1.7"/>)"));
    EXPECT_NO_THROW(XmlUnitReader::FromLayers(*base, {second}));
    const auto problems = XmlUnitReader::CheckLayers(*base, {kSiteLayer, second});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].ToString().find("second.xml:4:5: the unit \"smoot\" is defined"),
              std::string::npos)
        << problems[0].ToString();
}

// The names the library needs are looked for in the whole stack.
TEST(Layers, AreCheckedForWhatTheLibraryNeedsAsAWhole) {
    InMemoryUnitReader base;
    base.AddDimension("Dimensionless", "1");
    base.AddUnit("1", "one", "Dimensionless", 1.0);
    base.AddMeasurement("Unitless", "Dimensionless");
    base.AddMeasurement("Dimensionless", "Dimensionless");
    const std::string metric = LayerFile("metric.xml", "  <UnitSystem name=\"Metric\"/>\n");
    const std::string empty = LayerFile("empty.xml", "");
    EXPECT_TRUE(XmlUnitReader::CheckLayers(base, {metric}).empty());
    const auto problems = XmlUnitReader::CheckLayers(base, {empty});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].message.find("\"Metric\""), std::string::npos) << problems[0].message;
}

} // namespace
