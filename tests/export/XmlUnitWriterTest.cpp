// The XML catalogue writer, checked by reading the written files back: elements, attribute
// values, order, and the shortened file that a failing look-up leaves.
#include "XmlReadBack.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>
#include <units/interfaces/ConverterEngine.h>
#include <units/reader/InMemoryUnitReader.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <locale>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::XmlNode;
using ::testing::ElementsAre;

// An engine of a host's own kind (not linear), which the writer cannot describe by a scale.
class HostEngine final : public Units::Converter::IUnitConverterEngine {
public:
    HostEngine() : IUnitConverterEngine(100) {}
    std::unique_ptr<IUnitConverterEngine> Clone() override {
        return std::make_unique<HostEngine>();
    }
    void Convert(std::vector<double>& values) override {
        for (double& value : values) {
            value = Convert(value);
        }
    }
    void Convert(std::vector<float>& values) override {
        for (float& value : values) {
            value = Convert(value);
        }
    }
    double Convert(double value) override { return 2.0 * value * value + 1.0; }
    float Convert(float value) override { return 2.0f * value * value + 1.0f; }
    bool IsUnity() override { return false; }
    bool IsInvertible() override { return false; }
    std::unique_ptr<IUnitConverterEngine> GetInverse() override { return nullptr; }
};

// A unit system of the host's that gives a unit to Depth alone.
class DepthOnlyUnitSystem final : public Units::UnitSystem {
public:
    DepthOnlyUnitSystem() : UnitSystem("Depth only") {}
    Units::Unit* GetUnitOfMeasurement(const Units::Measurement* measurement) override {
        if (measurement != nullptr && measurement->Name() == "Depth") {
            return Units::Unit::GetUnit("ft");
        }
        return nullptr;
    }
};

// Five measurements in four dimensions, a dimension without measurements (Mass), an alias
// (foot), a host engine with an alias (dB, decibel) and two unit systems.
void FillCatalogue(Units::Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Count", "u");
    reader.AddUnit("u", "Unit", "Count", 1.0);
    reader.AddUnit("u3", "Three units", "Count", 3.0);

    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddUnit("ft", "Foot", "Length", 0.3048);
    reader.AddUnit("foot", "Foot, spelt out", "Length", 0.3048, 0.0, "ft");
    reader.AddUnit("Gm", "Gigametre", "Length", 1e9);

    reader.AddDimension("Loudness", "bel");
    reader.AddUnit("bel", "Bel", "Loudness", 1.0);
    reader.AddUnit("dB", "Decibel", "Loudness", std::make_unique<HostEngine>());
    reader.AddUnit("decibel", "Decibel, spelt out", "Loudness", std::make_unique<HostEngine>(),
                   "dB");

    reader.AddDimension("Temperature", "K");
    reader.AddUnit("K", "Kelvin", "Temperature", 1.0);
    reader.AddUnit("degC", "Degree Celsius", "Temperature", 1.0, 273.15);

    reader.AddDimension("Mass", "kg");
    reader.AddUnit("kg", "Kilogram", "Mass", 1.0);

    reader.AddMeasurement("Temperature", "Temperature");
    reader.AddMeasurement("Height", "Length");
    reader.AddMeasurement("Depth", "Length");
    reader.AddMeasurement("Noise", "Loudness");
    reader.AddMeasurement("Count", "Count");

    reader.AddUnitSystem("Metric");
    reader.AddUnitSystem("Imperial");
    reader.SetUnitOfMeasurement("Metric", "Depth", "m");
    reader.SetUnitOfMeasurement("Metric", "Height", "m");
    reader.SetUnitOfMeasurement("Imperial", "Depth", "ft");
    reader.SetUnitOfMeasurement("Imperial", "Height", "foot");
}

std::string OutputPath() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "orv_export_" + test->name() + ".xml";
}

// Reads the file back, after checking that xmllint (when installed) accepts it.
XmlNode ReadBack(const std::string& path) {
    if (orv_testing::HaveXmlLint()) {
        EXPECT_TRUE(orv_testing::XmlLintAccepts(path)) << path;
    }
    return orv_testing::ReadXmlFile(path);
}

std::vector<std::string> NameAttributes(const std::vector<const XmlNode*>& nodes) {
    std::vector<std::string> names;
    for (const XmlNode* node : nodes) {
        names.push_back(node->Attribute("name").value_or("<none>"));
    }
    return names;
}

// The attributes of a "Unit" element, in a form that fails readably.
std::vector<std::string> UnitAttributes(const XmlNode& unit) {
    return {unit.Attribute("name").value_or("<none>"), unit.Attribute("desc").value_or("<none>"),
            unit.Attribute("scale").value_or("<none>"),
            unit.Attribute("offset").value_or("<none>")};
}

class XmlUnitWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillCatalogue(m_reader);
        Units::UnitService::UnitReader(&m_reader);
    }
    void TearDown() override { std::remove(m_path.c_str()); }

    Units::Reader::InMemoryUnitReader m_reader;
    std::string m_path = OutputPath();
};

TEST_F(XmlUnitWriterTest, WritesEachDimensionOnceWithItsMeasurementsBeforeItsUnits) {
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path);
    const XmlNode root = ReadBack(m_path);

    EXPECT_EQ(root.name, "UnitCatalog");
    EXPECT_TRUE(root.attributes.empty());
    // Dimensions in the order of their first measurement's name; Mass has no measurement.
    EXPECT_THAT(NameAttributes(root.Children("Dimension")),
                ElementsAre("Count", "Length", "Loudness", "Temperature"));
    EXPECT_THAT(root.ChildNames(), ElementsAre("Dimension", "Dimension", "Dimension", "Dimension",
                                               "UnitSystem", "UnitSystem"));

    const XmlNode* length = root.Named("Dimension", "Length");
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length->Attribute("baseUnit"), "m");
    EXPECT_THAT(length->ChildNames(),
                ElementsAre("Measurement", "Measurement", "Unit", "Unit", "Unit"));
    EXPECT_THAT(NameAttributes(length->Children("Measurement")), ElementsAre("Depth", "Height"));
    // Units in unsigned byte order of their symbols; the alias foot only under ft.
    EXPECT_THAT(NameAttributes(length->Children("Unit")), ElementsAre("Gm", "ft", "m"));
}

TEST_F(XmlUnitWriterTest, DescribesEachUnitByTheInverseOfItsEngineWithItsAliasesBeneath) {
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path);
    const XmlNode root = ReadBack(m_path);

    const XmlNode* length = root.Named("Dimension", "Length");
    ASSERT_NE(length, nullptr);
    const XmlNode* feet = length->Named("Unit", "ft");
    ASSERT_NE(feet, nullptr);
    EXPECT_THAT(UnitAttributes(*feet), ElementsAre("ft", "Foot", "3.28084", "0"));
    ASSERT_EQ(feet->children.size(), 1u);
    EXPECT_EQ(feet->children[0].name, "Alias");
    EXPECT_EQ(feet->children[0].Attribute("name"), "foot");
    EXPECT_EQ(feet->children[0].Attribute("desc"), "Foot, spelt out");
    EXPECT_THAT(UnitAttributes(*length->Named("Unit", "m")), ElementsAre("m", "Metre", "1", "0"));

    const XmlNode* temperature = root.Named("Dimension", "Temperature");
    ASSERT_NE(temperature, nullptr);
    ASSERT_NE(temperature->Named("Unit", "degC"), nullptr);
    EXPECT_THAT(UnitAttributes(*temperature->Named("Unit", "degC")),
                ElementsAre("degC", "Degree Celsius", "1", "-273.15"));
}

TEST_F(XmlUnitWriterTest, LeavesOutUnitsWithoutALinearEngineTogetherWithTheirAliases) {
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path);
    const XmlNode root = ReadBack(m_path);

    const XmlNode* loudness = root.Named("Dimension", "Loudness");
    ASSERT_NE(loudness, nullptr);
    EXPECT_THAT(loudness->ChildNames(), ElementsAre("Measurement", "Unit"));
    EXPECT_THAT(NameAttributes(loudness->Children("Unit")), ElementsAre("bel"));
    EXPECT_TRUE(loudness->Named("Unit", "bel")->children.empty());
}

// A German-style global locale would write 0,333333 and group thousands if the writer's streams
// followed it.
struct CommaNumbers : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(XmlUnitWriterTest, WritesSixSignificantDigitsInTheClassicLocaleWhateverTheGlobalOne) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    m_reader.AddUnit("mu", "Micro unit", "Count", 1e-6);
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path);
    std::locale::global(previous);
    const XmlNode root = ReadBack(m_path);

    const XmlNode* count = root.Named("Dimension", "Count");
    ASSERT_NE(count, nullptr);
    ASSERT_NE(count->Named("Unit", "u3"), nullptr);
    ASSERT_NE(count->Named("Unit", "mu"), nullptr);
    EXPECT_EQ(count->Named("Unit", "u3")->Attribute("scale"), "0.333333");
    EXPECT_EQ(count->Named("Unit", "mu")->Attribute("scale"), "1e+06");
    const XmlNode* length = root.Named("Dimension", "Length");
    ASSERT_NE(length, nullptr);
    ASSERT_NE(length->Named("Unit", "Gm"), nullptr);
    EXPECT_EQ(length->Named("Unit", "Gm")->Attribute("scale"), "1e-09");
}

TEST_F(XmlUnitWriterTest, WritesEveryUnitSystemWithOneMappingPerMeasurement) {
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path);
    const XmlNode root = ReadBack(m_path);

    const std::vector<const XmlNode*> systems = root.Children("UnitSystem");
    EXPECT_THAT(NameAttributes(systems), ElementsAre("Metric", "Imperial"));
    ASSERT_EQ(systems.size(), 2u);
    const XmlNode& imperial = *systems[1];
    ASSERT_EQ(imperial.children.size(), 5u);
    std::vector<std::string> mappings;
    for (const XmlNode& mapping : imperial.children) {
        mappings.push_back(mapping.name + " " + mapping.Attribute("measurement").value_or("?") +
                           " " + mapping.Attribute("unit").value_or("?"));
    }
    // Measurements the system has no unit for fall back to their base unit.
    EXPECT_THAT(mappings, ElementsAre("UnitMapping Count u", "UnitMapping Depth ft",
                                      "UnitMapping Height foot", "UnitMapping Noise bel",
                                      "UnitMapping Temperature K"));
}

TEST_F(XmlUnitWriterTest, WritesASingleUnitSystemWithoutDimensionsAndMappingsWithoutUnit) {
    DepthOnlyUnitSystem system;
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path, &system);
    const XmlNode root = ReadBack(m_path);

    EXPECT_EQ(root.name, "UnitCatalog");
    ASSERT_THAT(root.ChildNames(), ElementsAre("UnitSystem"));
    const XmlNode& written = root.children[0];
    EXPECT_EQ(written.Attribute("name"), "Depth only");
    ASSERT_EQ(written.children.size(), 5u);
    const XmlNode& count = written.children[0];
    EXPECT_EQ(count.Attribute("measurement"), "Count");
    EXPECT_EQ(count.Attribute("unit"), std::nullopt);
    EXPECT_EQ(count.attributes.size(), 1u);
    const XmlNode& depth = written.children[1];
    EXPECT_EQ(depth.Attribute("measurement"), "Depth");
    EXPECT_EQ(depth.Attribute("unit"), "ft");
}

TEST_F(XmlUnitWriterTest, WritesTheEmptyRootForANullUnitSystem) {
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path, nullptr);
    const XmlNode root = ReadBack(m_path);

    EXPECT_EQ(root.name, "UnitCatalog");
    EXPECT_TRUE(root.children.empty());
}

TEST_F(XmlUnitWriterTest, WritesTheDocumentBuiltBeforeALookupFailedAndReturnsNormally) {
    // Mood's base unit is known while the dimension is built and refused afterwards, so its
    // BaseUnit() fails when the writer reaches it, after Count and Length.
    m_reader.AddDimension("Mood", "b");
    Units::Reader::UnitSpec& base = m_reader.AddUnit("b", "Base of mood", "Mood", 1.0);
    m_reader.AddMeasurement("Mood", "Mood");
    Units::Measurement::GetAllMeasurements();
    base.valid = false;

    Units::XmlUnitWriter writer;
    ASSERT_NO_THROW(writer.SaveXmlFile(m_path));
    const XmlNode root = ReadBack(m_path);

    EXPECT_THAT(root.ChildNames(), ElementsAre("Dimension", "Dimension", "Dimension"));
    EXPECT_THAT(NameAttributes(root.Children("Dimension")), ElementsAre("Count", "Length", "Mood"));
    const XmlNode& broken = root.children.back();
    EXPECT_EQ(broken.attributes.size(), 1u);
    EXPECT_TRUE(broken.children.empty());
}

TEST_F(XmlUnitWriterTest, StartsANewDocumentForEachSave) {
    DepthOnlyUnitSystem system;
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(m_path, &system);
    writer.SaveXmlFile(m_path, nullptr);
    EXPECT_TRUE(ReadBack(m_path).children.empty());
}

TEST(XmlUnitWriter, WritesTheEmptyRootWhenNoReaderIsRegistered) {
    const std::string path = OutputPath();
    Units::XmlUnitWriter writer;
    ASSERT_NO_THROW(writer.SaveXmlFile(path));
    const XmlNode root = ReadBack(path);
    std::remove(path.c_str());

    EXPECT_EQ(root.name, "UnitCatalog");
    EXPECT_TRUE(root.children.empty());
}

TEST(XmlUnitWriter, EscapesMarkupInNamesAndDescriptions) {
    const std::string tricky = "R&D <\"quoted\"> 'single'";
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Length & <width>", "m");
    reader.AddUnit("m", "Metre", "Length & <width>", 1.0);
    reader.AddUnit("m\"", tricky, "Length & <width>", 2.0);
    reader.AddUnit("m&", "Alias & co", "Length & <width>", 2.0, 0.0, "m\"");
    reader.AddMeasurement(tricky, "Length & <width>");
    reader.AddUnitSystem("Metric");
    Units::UnitService::UnitReader(&reader);

    const std::string path = OutputPath();
    Units::XmlUnitWriter writer;
    writer.SaveXmlFile(path);
    const XmlNode root = ReadBack(path);
    std::remove(path.c_str());

    ASSERT_THAT(root.ChildNames(), ElementsAre("Dimension", "UnitSystem"));
    const XmlNode& dimension = root.children[0];
    EXPECT_EQ(dimension.Attribute("name"), "Length & <width>");
    ASSERT_THAT(dimension.ChildNames(), ElementsAre("Measurement", "Unit", "Unit"));
    EXPECT_EQ(dimension.children[0].Attribute("name"), tricky);
    const XmlNode* quoted = dimension.Named("Unit", "m\"");
    ASSERT_NE(quoted, nullptr);
    EXPECT_EQ(quoted->Attribute("desc"), tricky);
    ASSERT_EQ(quoted->children.size(), 1u);
    EXPECT_EQ(quoted->children[0].Attribute("name"), "m&");
    EXPECT_EQ(quoted->children[0].Attribute("desc"), "Alias & co");
    EXPECT_EQ(root.children[1].children.at(0).Attribute("measurement"), tricky);
}

} // namespace
