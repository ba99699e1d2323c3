#include <units/reader/InMemoryUnitReader.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using Reader::InMemoryUnitReader;

TEST(InMemoryUnitReader, FindsRecordsByExactKeyAndReturnsNullOtherwise) {
    InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddMeasurement("Depth", "Length", {"m", "ft"});

    ASSERT_NE(reader.GetDimensionSpec("Length"), nullptr);
    EXPECT_EQ(reader.GetDimensionSpec("Length")->baseUnitSymbol, "m");
    EXPECT_EQ(reader.GetDimensionSpec("length"), nullptr);
    ASSERT_NE(reader.GetUnitSpec("ft"), nullptr);
    EXPECT_EQ(reader.GetUnitSpec("ft")->dimensionName, "Length");
    EXPECT_EQ(reader.GetUnitSpec("Ft"), nullptr);
    ASSERT_NE(reader.GetMeasurementSpec("Depth"), nullptr);
    EXPECT_EQ(reader.GetMeasurementSpec("Depth")->unitSymbols,
              (std::vector<std::string>{"m", "ft"}));
}

TEST(InMemoryUnitReader, BuildsLinearEnginesFromScaleAndOffset) {
    InMemoryUnitReader reader;
    const Reader::UnitSpec& celsius = reader.AddUnit("degC", "degree Celsius", "T", 1.0, 273.15);

    ASSERT_TRUE(celsius.IsValid());
    EXPECT_EQ(celsius.converter->m_eType, 1);
    EXPECT_DOUBLE_EQ(celsius.converter->Convert(100.0), 373.15);
}

TEST(InMemoryUnitReader, ListsEveryRecordInOrderAndFindsTheFirstOfAKey) {
    InMemoryUnitReader reader;
    reader.AddUnitSystem("Metric");
    reader.AddUnitSystem("Field");
    reader.AddUnitSystem("Metric");
    reader.AddMeasurement("Depth", "Length");
    reader.AddMeasurement("Depth", "Time");

    const auto systems = reader.GetAllUnitSystemSpecs();
    ASSERT_EQ(systems.size(), 3u);
    EXPECT_EQ(systems[0]->name, "Metric");
    EXPECT_EQ(systems[1]->name, "Field");
    EXPECT_EQ(reader.GetAllMeasurementSpecs().size(), 2u);
    EXPECT_EQ(reader.GetMeasurementSpec("Depth")->dimensionName, "Length");
}

TEST(InMemoryUnitReader, KeepsRecordsAtTheirAddressesWhileMoreAreAdded) {
    InMemoryUnitReader reader;
    const Reader::UnitSpec* first = &reader.AddUnit("u0", "unit 0", "D", 1.0);
    for (int i = 1; i < 1000; ++i) {
        reader.AddUnit("u" + std::to_string(i), "unit", "D", i);
    }
    EXPECT_EQ(reader.GetUnitSpec("u0"), first);
    EXPECT_EQ(reader.GetAllUnitSpecs().front(), first);
}

TEST(InMemoryUnitReader, MapsUnitSystemsToKnownUnitsOnly) {
    InMemoryUnitReader reader;
    reader.AddUnit("ft", "foot", "Length", 0.3048);

    EXPECT_TRUE(reader.SetUnitOfMeasurement("Field", "Depth", "ft"));
    EXPECT_FALSE(reader.SetUnitOfMeasurement("Field", "Height", "yd"));

    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Field", "Depth"), reader.GetUnitSpec("ft"));
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Field", "Height"), nullptr);
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Metric", "Depth"), nullptr);
}
