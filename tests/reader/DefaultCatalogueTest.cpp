// The default catalogue built into the reader library, read and then built whole by the library.
#include "SystemsTesting.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Orv::Pim::Core::Service::Units;
using Reader::XmlUnitReader;

TEST(DefaultReader, LoadsTheBuiltInCatalogueWithTheNamesTheLibraryGivesRolesTo) {
    const auto reader = XmlUnitReader::Default();

    ASSERT_NE(reader->GetDimensionSpec("Dimensionless"), nullptr);
    ASSERT_NE(reader->GetMeasurementSpec("Unitless"), nullptr);
    EXPECT_EQ(reader->GetMeasurementSpec("Unitless")->dimensionName, "Dimensionless");
    bool metric = false;
    for (const Reader::UnitSystemSpec* system : reader->GetAllUnitSystemSpecs()) {
        metric = metric || system->name == "Metric";
    }
    EXPECT_TRUE(metric);
    for (const Reader::UnitSpec* unit : reader->GetAllUnitSpecs()) {
        EXPECT_TRUE(unit->IsValid()) << unit->symbol;
    }
}

TEST(DefaultReader, ConvertsWithItsExactDefinitions) {
    const auto reader = XmlUnitReader::Default();
    const auto toBase = [&](const char* symbol, double value) {
        return reader->GetUnitSpec(symbol)->converter->Convert(value);
    };

    EXPECT_EQ(toBase("ft", 1.0), 0.3048);
    EXPECT_DOUBLE_EQ(toBase("degF", 212.0), 373.15);
    EXPECT_DOUBLE_EQ(toBase("degC", 0.0), 273.15);
    EXPECT_DOUBLE_EQ(toBase("psi", 1.0), 6894.757293168361);
    // A reciprocal definition (D not 0) gives an engine that is not linear.
    EXPECT_NE(reader->GetUnitSpec("API")->converter->m_eType, Converter::e_LinearEngine);
}

TEST(DefaultReader, GivesANewReaderSharingNothingOnEachCall) {
    const auto first = XmlUnitReader::Default();
    const auto second = XmlUnitReader::Default();

    ASSERT_NE(first->GetUnitSpec("m"), nullptr);
    EXPECT_NE(first->GetUnitSpec("m"), second->GetUnitSpec("m"));
    EXPECT_EQ(first->GetAllUnitSpecs().size(), second->GetAllUnitSpecs().size());
}

TEST(DefaultReader, BuildsEveryUnitMeasurementAndUnitSystemThroughTheLibrary) {
    const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::Default();
    UnitService::UnitReader(reader.get());
    // The library reports an inconsistent unit system on standard output; there must be none.
    systems_testing::CoutCapture diagnostics;

    for (const Reader::DimensionSpec* spec : reader->GetAllDimensionSpecs()) {
        Dimension* dimension = Dimension::GetDimension(spec->name);
        EXPECT_EQ(dimension->BaseUnit()->Symbol(), spec->baseUnitSymbol);
    }
    for (const Reader::UnitSpec* spec : reader->GetAllUnitSpecs()) {
        Unit* unit = Unit::GetUnit(spec->symbol);
        EXPECT_EQ(unit->Symbol(), spec->symbol);
        EXPECT_EQ(unit->GetDimension()->Name(), spec->dimensionName);
    }
    for (const Reader::MeasurementSpec* spec : reader->GetAllMeasurementSpecs()) {
        Measurement* measurement = Measurement::GetMeasurement(spec->name);
        EXPECT_EQ(measurement->GetDimension()->Name(), spec->dimensionName);
    }
    EXPECT_EQ(Unit::GetAllUnits().size(), reader->GetAllUnitSpecs().size());
    EXPECT_EQ(Measurement::GetAllMeasurements().size(), reader->GetAllMeasurementSpecs().size());

    for (const Reader::UnitSystemSpec* spec : reader->GetAllUnitSystemSpecs()) {
        UnitSystem* system = UnitSystem::GetUnitSystem(spec->name);
        ASSERT_NE(system, nullptr) << spec->name;
        for (const Reader::MeasurementSpec* measurement : reader->GetAllMeasurementSpecs()) {
            const Unit* unit =
                system->GetUnitOfMeasurement(Measurement::GetMeasurement(measurement->name));
            ASSERT_NE(unit, nullptr) << spec->name << " " << measurement->name;
            const Reader::UnitSpec* mapped =
                reader->GetUnitSpecOfMeasurement(spec->name, measurement->name);
            if (mapped != nullptr) {
                EXPECT_EQ(unit->Symbol(), mapped->symbol) << spec->name << " " << measurement->name;
            }
        }
    }
    EXPECT_EQ(diagnostics.Text(), "");
}
