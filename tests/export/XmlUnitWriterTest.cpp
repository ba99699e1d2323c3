// The XML catalogue writer, checked by reading the written files back: elements, attribute
// values, order, and the shortened file that a failing look-up leaves.
#include "XmlReadBack.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>
#include <units/interfaces/ConverterEngine.h>
#include <units/reader/InMemoryUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <locale>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::XmlNode;

// An engine of a host's own kind (not linear), which the writer cannot describe by a scale.
class HostEngine final : public Units::Converter::IUnitConverterEngine {
public:
    HostEngine() : IUnitConverterEngine(100) {}
    std::unique_ptr<IUnitConverterEngine> Clone() override {
        return std::make_unique<HostEngine>();
    }
    void Convert(std::vector<double>&) override {}
    void Convert(std::vector<float>&) override {}
    double Convert(double value) override { return value * value; }
    float Convert(float value) override { return value * value; }
    bool IsUnity() override { return false; }
    bool IsInvertible() override { return false; }
    std::unique_ptr<IUnitConverterEngine> GetInverse() override { return nullptr; }
};

// A unit system of the host's that gives a unit to Depth alone.
class DepthOnlyUnitSystem final : public Units::UnitSystem {
public:
    DepthOnlyUnitSystem() : UnitSystem("Depth only") {}
    Units::Unit* GetUnitOfMeasurement(const Units::Measurement* measurement) override {
        return measurement != nullptr && measurement->Name() == "Depth" ? Units::Unit::GetUnit("ft")
                                                                        : nullptr;
    }
};

// The element tree, one element a line, indented by depth, attributes sorted by name.
std::string Dump(const XmlNode& node, const std::string& indent = "") {
    auto attributes = node.attributes;
    std::sort(attributes.begin(), attributes.end());
    std::string text = indent + node.name;
    for (const auto& [name, value] : attributes) {
        text += " " + name + "=\"" + value + "\"";
    }
    text += "\n";
    for (const XmlNode& child : node.children) {
        text += Dump(child, indent + "  ");
    }
    return text;
}

// Writes the catalogue, or one unit system, and reads it back after xmllint (when installed)
// has accepted it.
std::string Written(Units::XmlUnitWriter& writer, const Units::UnitSystem* system = nullptr,
                    bool whole = true) {
    const std::string path = ::testing::TempDir() + "orv_export_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             ".xml";
    if (whole) {
        writer.SaveXmlFile(path);
    } else {
        writer.SaveXmlFile(path, const_cast<Units::UnitSystem*>(system));
    }
    if (orv_testing::HaveXmlLint()) {
        EXPECT_TRUE(orv_testing::XmlLintAccepts(path)) << path;
    }
    const std::string dump = Dump(orv_testing::ReadXmlFile(path));
    std::remove(path.c_str());
    return dump;
}

std::string Written() {
    Units::XmlUnitWriter writer;
    return Written(writer);
}

// Five measurements in four dimensions, a dimension without measurements (Mass), an alias
// (foot), a host engine with an alias (dB, decibel) and two unit systems.
class XmlUnitWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [dimension, base] : {std::pair{"Count", "u"},
                                              {"Length", "m"},
                                              {"Loudness", "bel"},
                                              {"Temperature", "K"},
                                              {"Mass", "kg"}}) {
            m_reader.AddDimension(dimension, base);
        }
        m_reader.AddUnit("u", "Unit", "Count", 1.0);
        m_reader.AddUnit("u3", "Three units", "Count", 3.0);
        m_reader.AddUnit("mu", "Micro unit", "Count", 1e-6);
        m_reader.AddUnit("m", "Metre", "Length", 1.0);
        m_reader.AddUnit("ft", "Foot", "Length", 0.3048);
        m_reader.AddUnit("foot", "Foot, spelt out", "Length", 0.3048, 0.0, "ft");
        m_reader.AddUnit("Gm", "Gigametre", "Length", 1e9);
        m_reader.AddUnit("bel", "Bel", "Loudness", 1.0);
        m_reader.AddUnit("dB", "Decibel", "Loudness", std::make_unique<HostEngine>());
        m_reader.AddUnit("decibel", "Decibel, spelt out", "Loudness",
                         std::make_unique<HostEngine>(), "dB");
        m_reader.AddUnit("K", "Kelvin", "Temperature", 1.0);
        m_reader.AddUnit("degC", "Degree Celsius", "Temperature", 1.0, 273.15);
        m_reader.AddUnit("kg", "Kilogram", "Mass", 1.0);
        for (const auto& [measurement, dimension] : {std::pair{"Temperature", "Temperature"},
                                                     {"Height", "Length"},
                                                     {"Depth", "Length"},
                                                     {"Noise", "Loudness"},
                                                     {"Count", "Count"}}) {
            m_reader.AddMeasurement(measurement, dimension);
        }
        m_reader.AddUnitSystem("Metric");
        m_reader.AddUnitSystem("Imperial");
        m_reader.SetUnitOfMeasurement("Metric", "Depth", "m");
        m_reader.SetUnitOfMeasurement("Metric", "Height", "m");
        m_reader.SetUnitOfMeasurement("Imperial", "Depth", "ft");
        m_reader.SetUnitOfMeasurement("Imperial", "Height", "foot");
        Units::UnitService::UnitReader(&m_reader);
    }

    Units::Reader::InMemoryUnitReader m_reader;
};

// A German-style global locale would write 0,333333 and group thousands if the writer's streams
// followed it.
struct CommaNumbers : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Dimensions come in the order of their first measurement's name (Mass, without one, is left
// out), measurements before units, units in byte order of their symbols with their aliases
// beneath; units without a linear engine are left out with their aliases (dB, decibel). A unit's
// scale and offset describe the inverse of its engine, to six digits, whatever the global locale.
TEST_F(XmlUnitWriterTest, WritesTheWholeCatalogueInItsOrderWithSixDigitNumbers) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    const std::string written = Written();
    std::locale::global(previous);
    EXPECT_EQ(written, R"(UnitCatalog
  Dimension baseUnit="u" name="Count"
    Measurement name="Count"
    Unit desc="Micro unit" name="mu" offset="0" scale="1e+06"
    Unit desc="Unit" name="u" offset="0" scale="1"
    Unit desc="Three units" name="u3" offset="0" scale="0.333333"
  Dimension baseUnit="m" name="Length"
    Measurement name="Depth"
    Measurement name="Height"
    Unit desc="Gigametre" name="Gm" offset="0" scale="1e-09"
    Unit desc="Foot" name="ft" offset="0" scale="3.28084"
      Alias desc="Foot, spelt out" name="foot"
    Unit desc="Metre" name="m" offset="0" scale="1"
  Dimension baseUnit="bel" name="Loudness"
    Measurement name="Noise"
    Unit desc="Bel" name="bel" offset="0" scale="1"
  Dimension baseUnit="K" name="Temperature"
    Measurement name="Temperature"
    Unit desc="Kelvin" name="K" offset="0" scale="1"
    Unit desc="Degree Celsius" name="degC" offset="-273.15" scale="1"
  UnitSystem name="Metric"
    UnitMapping measurement="Count" unit="u"
    UnitMapping measurement="Depth" unit="m"
    UnitMapping measurement="Height" unit="m"
    UnitMapping measurement="Noise" unit="bel"
    UnitMapping measurement="Temperature" unit="K"
  UnitSystem name="Imperial"
    UnitMapping measurement="Count" unit="u"
    UnitMapping measurement="Depth" unit="ft"
    UnitMapping measurement="Height" unit="foot"
    UnitMapping measurement="Noise" unit="bel"
    UnitMapping measurement="Temperature" unit="K"
)");
}

// A mapping without a unit is written without "unit"; a null system leaves the empty root, and
// each save starts a new document.
TEST_F(XmlUnitWriterTest, WritesOneUnitSystemAloneOrTheEmptyRootForNone) {
    const DepthOnlyUnitSystem system;
    Units::XmlUnitWriter writer;
    EXPECT_EQ(Written(writer, &system, false), R"(UnitCatalog
  UnitSystem name="Depth only"
    UnitMapping measurement="Count"
    UnitMapping measurement="Depth" unit="ft"
    UnitMapping measurement="Height"
    UnitMapping measurement="Noise"
    UnitMapping measurement="Temperature"
)");
    EXPECT_EQ(Written(writer, nullptr, false), "UnitCatalog\n");
}

TEST_F(XmlUnitWriterTest, WritesTheDocumentBuiltBeforeALookupFailedAndReturnsNormally) {
    // Mood's base unit is known while the dimension is built and refused afterwards, so its
    // BaseUnit() fails when the writer reaches it, after Count and Length.
    m_reader.AddDimension("Mood", "b");
    Units::Reader::UnitSpec& base = m_reader.AddUnit("b", "Base of mood", "Mood", 1.0);
    m_reader.AddMeasurement("Mood", "Mood");
    Units::Measurement::GetAllMeasurements();
    base.valid = false;

    const std::string written = Written();
    EXPECT_EQ(written.find("UnitCatalog\n  Dimension baseUnit=\"u\" name=\"Count\"\n"), 0u);
    EXPECT_EQ(
        written.substr(written.find("    Unit desc=\"Metre\"")),
        "    Unit desc=\"Metre\" name=\"m\" offset=\"0\" scale=\"1\"\n  Dimension name=\"Mood\"\n");
}

TEST(XmlUnitWriter, WritesTheEmptyRootWhenNoReaderIsRegistered) {
    EXPECT_EQ(Written(), "UnitCatalog\n");
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

    EXPECT_EQ(Written(), R"(UnitCatalog
  Dimension baseUnit="m" name="Length & <width>"
    Measurement name="R&D <"quoted"> 'single'"
    Unit desc="Metre" name="m" offset="0" scale="1"
    Unit desc="R&D <"quoted"> 'single'" name="m"" offset="0" scale="0.5"
      Alias desc="Alias & co" name="m&"
  UnitSystem name="Metric"
    UnitMapping measurement="R&D <"quoted"> 'single'" unit="m"
)");
}

} // namespace
