#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;

namespace {

/// The message of the UnitException that `action` throws, or "(nothing thrown)".
template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const UnitException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

} // namespace

TEST(DimensionCatalogue, HandsOutOnePointerPerNameAndAsksTheReaderOnce) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);

    Dimension* first = Dimension::GetDimension("Length");
    Dimension* second = Dimension::GetDimension("Length");

    EXPECT_EQ(first, second);
    EXPECT_EQ(first->Name(), "Length");
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Length"), 1);
}

TEST(DimensionCatalogue, NeverFoldsCase) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);

    Dimension::GetDimension("Length");
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("length"); }),
              "Could not find a Dimension named 'length'!");
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "length"), 1);
}

TEST(DimensionCatalogue, ReportsUnknownAndInvalidRecordsAsNotFound) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddDimension("Mass", "kg").valid = false;
    reader.records.AddUnit("kg", "kilogram", "Mass", 1.0);
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Time"); }),
              "Could not find a Dimension named 'Time'!");
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Mass"); }),
              "Could not find a Dimension named 'Mass'!");
}

TEST(DimensionCatalogue, RefusesRecordsWithoutNameOrBaseSymbolAndKeepsNoEntry) {
    CountingReader reader;
    reader.records.AddDimension("Nameless", "m").name = "";
    reader.records.AddDimension("Baseless", "");
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Nameless"); }),
              "Attempting to add NULL dimension");
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Baseless"); }),
              "Attempting to add dimension without a base unit");
    // Nothing was filed, so the next look-up asks the reader again.
    EXPECT_THROW(Dimension::GetDimension("Baseless"), UnitException);
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Baseless"), 2);
}

TEST(DimensionCatalogue, RefusesABaseSymbolOfAnotherDimensionWithTheJoinedMessage) {
    CountingReader reader;
    orv_testing::AddMassUnits(reader.records);
    reader.records.AddDimension("Length", "kg");
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Length"); }),
              "DimensionLengthhas base symbolkg, but that symbol is in theMass");
    // The check read the unit's record only: neither kg nor Mass was built.
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Mass"), 0);
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Length"); }),
              "DimensionLengthhas base symbolkg, but that symbol is in theMass");
}

TEST(DimensionCatalogue, NamesABaseUnitWithoutDimensionAsNull) {
    CountingReader reader;
    reader.records.AddDimension("Length", "m");
    reader.records.AddUnit("m", "metre", "", 1.0);
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Length"); }),
              "DimensionLengthhas base symbolm, but that symbol is in the( NULL )");
}

TEST(DimensionCatalogue, RefusesABaseSymbolNobodyKnows) {
    CountingReader reader;
    reader.records.AddDimension("Length", "m");
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Length"); }),
              "No Unit found for \"m\" base symbol.");
}

TEST(DimensionCatalogue, FilesARecordUnderItsOwnName) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddDimension("Distance", "m").name = "Length";
    UnitService::UnitReader(&reader);

    Dimension* filed = Dimension::GetDimension("Distance");
    EXPECT_EQ(filed->Name(), "Length");
    EXPECT_EQ(Dimension::GetDimension("Length"), filed);
    EXPECT_EQ(reader.Calls("GetDimensionSpec", "Length"), 0);
    // Asking for the other name again misses, and the record's name is now taken.
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Distance"); }),
              "Attempting to add duplicate \"Length\" dimension");
}

TEST(DimensionCatalogue, ResolvesTheBaseUnitLazilyAndShowsItInToString) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);

    Dimension* length = Dimension::GetDimension("Length");
    EXPECT_EQ(length->ToString(), "Dimension Length");
    EXPECT_EQ(reader.Calls("GetDimensionSpec"), 1);

    Unit* metre = length->BaseUnit();
    EXPECT_EQ(metre, Unit::GetUnit("m"));
    EXPECT_EQ(metre->GetDimension(), length);
    EXPECT_EQ(length->ToString(), "Dimension Length , base unit m");
}

TEST(DimensionCatalogue, LeavesTheBaseUnitUnresolvedWhenItsLookupFails) {
    CountingReader first;
    orv_testing::AddLengthUnits(first.records);
    UnitService::UnitReader(&first);
    Dimension* length = Dimension::GetDimension("Length");

    CountingReader second; // knows nothing: the base unit cannot be built any more
    UnitService::UnitReader(&second);

    EXPECT_EQ(MessageOf([&] { length->BaseUnit(); }), "Could not find a Unit with symbol 'm'!");
    EXPECT_EQ(length->ToString(), "Dimension Length");
    EXPECT_EQ(Dimension::GetDimension("Length"), length); // cached objects stay
}

TEST(DimensionCatalogue, ComparesNamesAsUnsignedBytes) {
    CountingReader reader;
    reader.records.AddDimension("Zeta", "z");
    reader.records.AddUnit("z", "z", "Zeta", 1.0);
    reader.records.AddDimension("alpha", "a");
    reader.records.AddUnit("a", "a", "alpha", 1.0);
    reader.records.AddDimension("\xC3\xA9nergie", "e"); // UTF-8, first byte above 0x7F
    reader.records.AddUnit("e", "e", "\xC3\xA9nergie", 1.0);
    UnitService::UnitReader(&reader);

    Dimension* zeta = Dimension::GetDimension("Zeta");
    Dimension* alpha = Dimension::GetDimension("alpha");
    Dimension* energy = Dimension::GetDimension("\xC3\xA9nergie");

    EXPECT_EQ(zeta->CompareTo(alpha), -1); // capitals first
    EXPECT_EQ(alpha->CompareTo(zeta), 1);
    EXPECT_EQ(alpha->CompareTo(energy), -1); // a signed comparison would put 0xC3 first
    EXPECT_EQ(zeta->CompareTo(zeta), 0);
    EXPECT_EQ(zeta->CompareTo(nullptr), 1);
}

TEST(DimensionCatalogue, DestroyingACopyLeavesTheCatalogueEntry) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);
    Dimension* length = Dimension::GetDimension("Length");
    length->BaseUnit();

    {
        Dimension copy(*length);
        EXPECT_EQ(copy.Name(), "Length");
        EXPECT_EQ(copy.ToString(), "Dimension Length , base unit m");
        EXPECT_EQ(copy.CompareTo(length), 0);
    }

    EXPECT_EQ(Dimension::GetDimension("Length"), length);
    EXPECT_EQ(reader.Calls("GetDimensionSpec"), 1);
}

TEST(DimensionCatalogue, NeedsARegisteredReaderOnAMiss) {
    EXPECT_EQ(MessageOf([] { Dimension::GetDimension("Length"); }),
              "Unit Service is not initialized with a Unit Reader.\n"
              "Please use UnitService.UnitReader to set a Unit Reader.");
}
