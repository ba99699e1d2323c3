#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::MessageOf;

namespace {

// A counting reader over the length units, registered for the test.
struct DimensionCatalogue : testing::Test {
    DimensionCatalogue() {
        orv_testing::AddLengthUnits(reader.records);
        UnitService::UnitReader(&reader);
    }
    orv_testing::CountingReader reader;
};

} // namespace

TEST_F(DimensionCatalogue, HandsOutOnePointerPerExactNameAndAsksTheReaderOnce) {
    Dimension* length = Dimension::GetDimension("Length");
    // A copy shares the name; destroying it must not unfile the catalogue's dimension.
    { const Dimension copy(*length); }

    EXPECT_EQ(Dimension::GetDimension("Length"), length);
    EXPECT_EQ(length->Name(), "Length");
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Length"), 1);
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("length"); }),
              "Could not find a Dimension named 'length'!");
}

TEST_F(DimensionCatalogue, RefusesBadRecordsWithTheirMessagesAndFilesNothing) {
    reader.records.AddDimension("Time", "s").valid = false;
    reader.records.AddDimension("Nameless", "m").name = "";
    reader.records.AddDimension("Baseless", "");
    reader.records.AddDimension("Unbased", "furlong");
    orv_testing::AddMassUnits(reader.records);
    reader.records.AddDimension("Weight", "kg");
    reader.records.AddUnit("x", "orphan", "", 1.0);
    reader.records.AddDimension("Orphaned", "x");

    const std::pair<const char*, const char*> cases[] = {
        {"Time", "Could not find a Dimension named 'Time'!"},
        {"Nameless", "Attempting to add NULL dimension"},
        {"Baseless", "Attempting to add dimension without a base unit"},
        {"Unbased", "No Unit found for \"furlong\" base symbol."},
        {"Weight", "DimensionWeighthas base symbolkg, but that symbol is in theMass"},
        {"Orphaned", "DimensionOrphanedhas base symbolx, but that symbol is in the( NULL )"},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_EQ(MessageOf([&] { Dimension::GetDimension(name); }), message);
        // Nothing was filed, so asking again asks the reader again.
        EXPECT_EQ(MessageOf([&] { Dimension::GetDimension(name); }), message);
        EXPECT_EQ(reader.Calls("GetDimensionSpec", name), 2) << name;
    }
    // The base-symbol check read the unit's record only: Mass was not built.
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Mass"), 0);
}

TEST_F(DimensionCatalogue, FilesARecordUnderItsOwnName) {
    reader.records.AddDimension("Distance", "m").name = "Length";

    Dimension* filed = Dimension::GetDimension("Distance");

    EXPECT_EQ(Dimension::GetDimension("Length"), filed);
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Length"), 0);
    // The asked name misses again, and the record's name is now taken.
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Distance"); }),
              "Attempting to add duplicate \"Length\" dimension");
}

TEST_F(DimensionCatalogue, ResolvesTheBaseUnitOnDemandAndKeepsItOnlyOnceFound) {
    Dimension* length = Dimension::GetDimension("Length");
    EXPECT_EQ(length->ToString(), "Dimension Length");

    orv_testing::CountingReader empty; // the base unit cannot be built from this one
    UnitService::UnitReader(&empty);
    EXPECT_EQ(MessageOf([&] { length->BaseUnit(); }), "Could not find a Unit with symbol 'm'!");
    EXPECT_EQ(length->ToString(), "Dimension Length");

    UnitService::UnitReader(&reader);
    EXPECT_EQ(length->BaseUnit(), Unit::GetUnit("m"));
    EXPECT_EQ(Unit::GetUnit("m")->GetDimension(), length);
    EXPECT_EQ(length->ToString(), "Dimension Length , base unit m");
}

TEST(Catalogue, NeedsARegisteredReaderOnAMiss) {
    const std::string refusal = "Unit Service is not initialized with a Unit Reader.\n"
                                "Please use UnitService.UnitReader to set a Unit Reader.";
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Length"); }), refusal);
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("m"); }), refusal);
}
