// The XML catalogue writer, checked by reading the written files back: elements, attribute
// values, order, and the shortened file that a failing look-up leaves.
#include "OrvTesting.h"
#include "XmlReadBack.h"

#include <units/XmlUnitWriter.h>

#include <cstdio>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

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

// Saves with `save` into a file of the test's own, and reads the file back.
template <typename Save>
std::string Written(Save save) {
    const std::string path = ::testing::TempDir() + "orv_export_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             ".xml";
    save(path);
    const std::string dump = Dump(ReadXmlFile(path));
    std::remove(path.c_str());
    return dump;
}

// Dimensions come in the order of their first measurement's name, and Time, without one, is left
// out; measurements before units, units in byte order of their symbols with their aliases
// beneath. Units without a linear engine (km/L) or without an inverse (zero) are left out. A
// unit's scale and offset describe the inverse of its engine, to six digits, whatever the global
// locale.
TEST(XmlUnitWriter, WritesTheWholeCatalogueInItsOrderWithSixDigitNumbers) {
    Catalogue();
    XmlUnitWriter writer;
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    const std::string written = Written([&](const std::string& path) { writer.SaveXmlFile(path); });
    std::locale::global(previous);

    EXPECT_EQ(written, R"(UnitCatalog
  Dimension baseUnit="L/100km" name="Consumption"
    Measurement name="Burn rate"
    Unit desc="L/100km" name="L/100km" offset="0" scale="1"
  Dimension baseUnit="m" name="Length"
    Measurement name="Depth"
    Measurement name="Length"
    Unit desc="ft" name="ft" offset="0" scale="3.28084"
      Alias desc="foot" name="foot"
    Unit desc="km" name="km" offset="0" scale="0.001"
    Unit desc="m" name="m" offset="0" scale="1"
  Dimension baseUnit="kg" name="Mass"
    Measurement name="Mass"
    Unit desc="kg" name="kg" offset="0" scale="1"
    Unit desc="lb" name="lb" offset="0" scale="2.20462"
  Dimension baseUnit="1" name="Dimensionless"
    Measurement name="Ratio"
    Measurement name="Unitless"
    Unit desc="%" name="%" offset="0" scale="100"
    Unit desc="1" name="1" offset="0" scale="1"
  Dimension baseUnit="K" name="Temperature"
    Measurement name="Temperature"
    Unit desc="K" name="K" offset="0" scale="1"
    Unit desc="degree Celsius" name="degC" offset="-273.15" scale="1"
    Unit desc="degree Fahrenheit" name="degF" offset="-459.67" scale="1.8"
  UnitSystem name="Metric"
    UnitMapping measurement="Burn rate" unit="L/100km"
    UnitMapping measurement="Depth" unit="m"
    UnitMapping measurement="Length" unit="m"
    UnitMapping measurement="Mass" unit="kg"
    UnitMapping measurement="Ratio" unit="1"
    UnitMapping measurement="Temperature" unit="degC"
    UnitMapping measurement="Unitless" unit="1"
  UnitSystem name="Imperial"
    UnitMapping measurement="Burn rate" unit="L/100km"
    UnitMapping measurement="Depth" unit="ft"
    UnitMapping measurement="Length" unit="ft"
    UnitMapping measurement="Mass" unit="kg"
    UnitMapping measurement="Ratio" unit="1"
    UnitMapping measurement="Temperature" unit="degF"
    UnitMapping measurement="Unitless" unit="1"
)");
}

// A host's unit system that gives a unit to Depth alone.
class DepthOnly final : public UnitSystem {
public:
    DepthOnly() : UnitSystem("Depth only") {}
    Unit* GetUnitOfMeasurement(const Measurement* measurement) override {
        return measurement->Name() == "Depth" ? Unit::GetUnit("ft") : nullptr;
    }
};

// A mapping without a unit is written without "unit"; a null system leaves the empty root. Each
// save starts a new document.
TEST(XmlUnitWriter, WritesOneUnitSystemAloneOrTheEmptyRootForNone) {
    Catalogue();
    DepthOnly system;
    XmlUnitWriter writer;
    const auto saving = [&](UnitSystem* saved) {
        return [&writer, saved](const std::string& path) { writer.SaveXmlFile(path, saved); };
    };
    EXPECT_EQ(Written(saving(&system)), R"(UnitCatalog
  UnitSystem name="Depth only"
    UnitMapping measurement="Burn rate"
    UnitMapping measurement="Depth" unit="ft"
    UnitMapping measurement="Length"
    UnitMapping measurement="Mass"
    UnitMapping measurement="Ratio"
    UnitMapping measurement="Temperature"
    UnitMapping measurement="Unitless"
)");
    EXPECT_EQ(Written(saving(nullptr)), "UnitCatalog\n");
}

// Mood's base unit is known while the dimension is built and refused afterwards, so its
// BaseUnit() fails when the writer reaches it, after Consumption, Length and Mass.
TEST(XmlUnitWriter, WritesTheDocumentBuiltBeforeALookupFailedAndReturnsNormally) {
    Reader::InMemoryUnitReader& records = Catalogue().records;
    records.AddDimension("Mood", "b");
    Reader::UnitSpec& base = records.AddUnit("b", "base of mood", "Mood", 1.0);
    records.AddMeasurement("Mood", "Mood");
    Measurement::GetAllMeasurements();
    base.valid = false;

    const std::string written =
        Written([](const std::string& path) { XmlUnitWriter().SaveXmlFile(path); });
    EXPECT_EQ(written.find("UnitCatalog\n  Dimension baseUnit=\"L/100km\" name=\"Consumption\"\n"),
              0u);
    EXPECT_EQ(written.substr(written.find("    Unit desc=\"lb\"")),
              "    Unit desc=\"lb\" name=\"lb\" offset=\"0\" scale=\"2.20462\"\n"
              "  Dimension name=\"Mood\"\n");
}

} // namespace
