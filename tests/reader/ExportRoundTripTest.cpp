// What the library's export writes, read back: the reader's format is the export's.
#include "CatalogueTesting.h"

#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using Reader::XmlUnitReader;

namespace {

const char* const kCatalogue = R"(<UnitCatalog>
  <Dimension name="Length" baseUnit="m">
    <Measurement name="Depth" units="m ft"/>
    <Unit name="m" desc="metre" B="1"/>
    <Unit name="ft" desc="foot" B="0.3048">
      <Alias name="foot" desc="foot, spelt out"/>
    </Unit>
  </Dimension>
  <Dimension name="Temperature" baseUnit="K">
    <Measurement name="Temperature"/>
    <Unit name="K" desc="kelvin" B="1"/>
    <Unit name="degF" desc="degree Fahrenheit" A="2298.35" B="5" C="9"/>
  </Dimension>
  <UnitSystem name="Metric">
    <UnitMapping measurement="Depth" unit="m"/>
    <UnitMapping measurement="Temperature" unit="K"/>
  </UnitSystem>
  <UnitSystem name="Field">
    <UnitMapping measurement="Depth" unit="ft"/>
    <UnitMapping measurement="Temperature" unit="degF"/>
  </UnitSystem>
</UnitCatalog>
)";

/// True when `a` and `b` agree to the six significant digits that an export keeps.
bool SameToSixDigits(double a, double b) {
    return std::fabs(a - b) <= 1e-6 * std::fmax(std::fabs(a), std::fabs(b)) + 1e-12;
}

} // namespace

TEST(ExportRoundTrip, ReadsBackWhatTheExportWroteWithTheSameRecordsAndConversions) {
    const auto original = XmlUnitReader::FromText(kCatalogue, "original.xml");
    UnitService::UnitReader(original.get());
    const std::string path = reader_testing::ScratchDirectory() + "/exported.xml";
    XmlUnitWriter().SaveXmlFile(path);

    const auto copy = XmlUnitReader::FromFile(path);
    for (const Reader::UnitSpec* unit : original->GetAllUnitSpecs()) {
        const Reader::UnitSpec* read = copy->GetUnitSpec(unit->symbol);
        ASSERT_NE(read, nullptr) << unit->symbol;
        EXPECT_EQ(read->name, unit->name);
        EXPECT_EQ(read->dimensionName, unit->dimensionName);
        EXPECT_EQ(read->standardFormSymbol, unit->standardFormSymbol);
        for (const double value : {-40.0, 0.0, 1.0, 212.0}) {
            EXPECT_TRUE(
                SameToSixDigits(read->converter->Convert(value), unit->converter->Convert(value)))
                << unit->symbol << " " << value;
        }
    }
    EXPECT_EQ(copy->GetAllUnitSpecs().size(), original->GetAllUnitSpecs().size());
    EXPECT_EQ(copy->GetDimensionSpec("Temperature")->baseUnitSymbol, "K");
    EXPECT_EQ(copy->GetMeasurementSpec("Depth")->dimensionName, "Length");
    EXPECT_EQ(copy->GetUnitSpecOfMeasurement("Field", "Temperature")->symbol, "degF");
    EXPECT_EQ(copy->GetUnitSpecOfMeasurement("Metric", "Depth")->symbol, "m");
}

TEST(ExportRoundTrip, ReadsAnExportOfTheDefaultCatalogueWarningOnlyOfUnitsTheExportLeavesOut) {
    // The export writes no unit whose engine is not linear (degrees API, miles per gallon), yet
    // writes the unit systems' mappings to them: those mappings are ignored with a warning.
    const auto original = XmlUnitReader::Default();
    UnitService::UnitReader(original.get());
    const std::string path = reader_testing::ScratchDirectory() + "/default.xml";
    XmlUnitWriter().SaveXmlFile(path);

    const auto copy = XmlUnitReader::FromFile(path);
    ASSERT_FALSE(copy->Warnings().empty());
    for (const Reader::CatalogueProblem& problem : copy->Warnings()) {
        EXPECT_TRUE(problem.warning);
        const std::string marker = " the unit \"";
        const std::size_t start = problem.message.find(marker);
        ASSERT_NE(start, std::string::npos) << problem.ToString();
        const std::size_t from = start + marker.size();
        const std::string symbol =
            problem.message.substr(from, problem.message.find('"', from) - from);
        ASSERT_NE(original->GetUnitSpec(symbol), nullptr) << problem.ToString();
        EXPECT_NE(original->GetUnitSpec(symbol)->converter->m_eType, Converter::e_LinearEngine)
            << problem.ToString();
        EXPECT_NE(problem.ToString().find(": warning: the unit system"), std::string::npos);
    }
    EXPECT_EQ(XmlUnitReader::Check(path).size(), copy->Warnings().size());
}
