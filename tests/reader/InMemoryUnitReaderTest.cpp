#include <units/reader/InMemoryUnitReader.h>

#include <gtest/gtest.h>

#include <string>

using Orv::Pim::Core::Service::Units::Reader::InMemoryUnitReader;

TEST(InMemoryUnitReader, FindsTheFirstRecordOfAnExactKeyNeverMovesItAndMapsOnlyKnownUnits) {
    InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    const auto* first = &reader.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    for (int i = 1; i < 1000; ++i) {
        reader.AddUnit("u" + std::to_string(i), "unit", "Length", i);
    }
    reader.AddUnit("degC", "again", "Length", 2.0);
    reader.AddMeasurement("Depth", "Length", {"m", "ft"});
    reader.AddMeasurement("Depth", "Time");

    EXPECT_EQ(reader.GetDimensionSpec("Length")->baseUnitSymbol, "m");
    EXPECT_EQ(reader.GetDimensionSpec("length"), nullptr);
    EXPECT_EQ(reader.GetUnitSpec("degC"), first);
    EXPECT_EQ(reader.GetAllUnitSpecs().front(), first);
    EXPECT_EQ(reader.GetAllUnitSpecs().size(), 1001u);
    EXPECT_DOUBLE_EQ(first->converter->Convert(100.0), 373.15);
    EXPECT_EQ(reader.GetAllMeasurementSpecs().size(), 2u);
    EXPECT_EQ(reader.GetMeasurementSpec("Depth")->unitSymbols.size(), 2u);

    EXPECT_TRUE(reader.SetUnitOfMeasurement("Field", "Depth", "u7"));
    EXPECT_FALSE(reader.SetUnitOfMeasurement("Field", "Height", "yd"));
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Field", "Depth"), reader.GetUnitSpec("u7"));
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Field", "Height"), nullptr);
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Metric", "Depth"), nullptr);
}
