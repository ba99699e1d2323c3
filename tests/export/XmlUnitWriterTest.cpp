// The XML catalogue writer, checked by reading the written files back against the catalogue
// schema: elements, attribute values, order, and the shortened file that a failing look-up leaves.
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

// Saves with `save` into a file of the test's own, and reads the file back, checked against the
// catalogue schema.
template <typename Save>
std::string Written(Save save) {
    const std::string path = ::testing::TempDir() + "orv_export_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             ".xml";
    save(path);
    const std::string dump = Dump(ReadXmlFile(path, ORV_CATALOGUE_SCHEMA));
    std::remove(path.c_str());
    return dump;
}

// The order of the elements and the six-digit numbers are those of the shared sample, which
// says why; the numbers do not follow the global locale.
TEST(XmlUnitWriter, WritesTheWholeCatalogueInItsOrderWithSixDigitNumbers) {
    Catalogue();
    const std::string written = Written([](const std::string& path) {
        const std::locale previous =
            std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
        XmlUnitWriter().SaveXmlFile(path);
        std::locale::global(previous);
    });

    EXPECT_EQ(written, Dump(ReadXmlFile(ORV_EXPORTED_CATALOGUE, ORV_CATALOGUE_SCHEMA)));
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
