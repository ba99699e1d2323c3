// The default catalogue built into the reader library: read, built whole by the library, and
// read back from the library's export.
#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/XmlUnitWriter.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Orv::Pim::Core::Service::Units;
using Reader::XmlUnitReader;

TEST(DefaultReader, BuildsTheWholeCatalogueThroughTheLibraryAndReadsBackItsExport) {
    const auto original = XmlUnitReader::Default();
    UnitService::UnitReader(original.get());
    // The library reports an inconsistent unit system on standard output; there must be none.
    orv_testing::CoutCapture diagnostics;
    const std::string path = ::testing::TempDir() + "/orv_reader_default_export.xml";
    XmlUnitWriter().SaveXmlFile(path);
    const auto copy = XmlUnitReader::FromFile(path);

    for (const Reader::DimensionSpec* spec : original->GetAllDimensionSpecs()) {
        EXPECT_EQ(Dimension::GetDimension(spec->name)->BaseUnit()->Symbol(), spec->baseUnitSymbol);
        EXPECT_EQ(copy->GetDimensionSpec(spec->name)->baseUnitSymbol, spec->baseUnitSymbol);
    }
    // The export leaves out the units whose engine is not linear, and keeps the rest to the six
    // digits of its scale and offset.
    std::size_t linear = 0;
    for (const Reader::UnitSpec* unit : original->GetAllUnitSpecs()) {
        EXPECT_EQ(Unit::GetUnit(unit->symbol)->GetDimension()->Name(), unit->dimensionName);
        const Reader::UnitSpec* read = copy->GetUnitSpec(unit->symbol);
        if (unit->converter->m_eType != Converter::e_LinearEngine) {
            EXPECT_EQ(read, nullptr) << unit->symbol;
            continue;
        }
        ++linear;
        ASSERT_NE(read, nullptr) << unit->symbol;
        EXPECT_EQ(read->name + "|" + read->dimensionName + "|" + read->standardFormSymbol,
                  unit->name + "|" + unit->dimensionName + "|" + unit->standardFormSymbol);
        for (const double value : {-40.0, 0.0, 1.0, 212.0}) {
            const double a = read->converter->Convert(value), b = unit->converter->Convert(value);
            EXPECT_LE(std::fabs(a - b), 1e-5 * std::fmax(std::fabs(a), std::fabs(b)) + 1e-12)
                << unit->symbol << " " << value;
        }
    }
    EXPECT_EQ(copy->GetAllUnitSpecs().size(), linear);
    EXPECT_EQ(Unit::GetAllUnits().size(), original->GetAllUnitSpecs().size());
    EXPECT_EQ(Measurement::GetAllMeasurements().size(), original->GetAllMeasurementSpecs().size());

    // Every system gives every measurement a unit: the file's where it maps one.
    for (const Reader::UnitSystemSpec* system : original->GetAllUnitSystemSpecs()) {
        for (const Reader::MeasurementSpec* measurement : original->GetAllMeasurementSpecs()) {
            const std::string where = system->name + " " + measurement->name;
            EXPECT_EQ(Measurement::GetMeasurement(measurement->name)->GetDimension()->Name(),
                      measurement->dimensionName);
            const Unit* unit =
                UnitSystem::GetUnitSystem(system->name)
                    ->GetUnitOfMeasurement(Measurement::GetMeasurement(measurement->name));
            ASSERT_NE(unit, nullptr) << where;
            const auto* mapped =
                original->GetUnitSpecOfMeasurement(system->name, measurement->name);
            EXPECT_TRUE(mapped == nullptr || mapped->symbol == unit->Symbol()) << where;
            const auto* exported = copy->GetUnitSpecOfMeasurement(system->name, measurement->name);
            EXPECT_TRUE(exported == nullptr || exported->symbol == unit->Symbol()) << where;
        }
    }
    EXPECT_EQ(diagnostics.Text(), "");

    // The export keeps the systems' mappings to the units it leaves out; they are ignored.
    ASSERT_FALSE(copy->Warnings().empty());
    for (const Reader::CatalogueProblem& problem : copy->Warnings()) {
        const std::string text = problem.ToString(), marker = " the unit \"";
        ASSERT_NE(text.find(": warning: the unit system"), std::string::npos) << text;
        const std::size_t from = text.find(marker) + marker.size();
        const auto* left = original->GetUnitSpec(text.substr(from, text.find('"', from) - from));
        ASSERT_NE(left, nullptr) << text;
        EXPECT_NE(left->converter->m_eType, Converter::e_LinearEngine) << text;
    }
    EXPECT_EQ(XmlUnitReader::Check(path).size(), copy->Warnings().size());
}
