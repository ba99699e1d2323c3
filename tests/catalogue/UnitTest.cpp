#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;

namespace {

template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const UnitException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

/// The symbols of `symbols`' units, sorted with Unit::CompareTo.
std::vector<std::string> SortedByCompareTo(std::vector<std::string> symbols) {
    std::vector<Unit*> units;
    for (const auto& symbol : symbols) {
        units.push_back(Unit::GetUnit(symbol));
    }
    std::stable_sort(units.begin(), units.end(),
                     [](Unit* left, Unit* right) { return left->CompareTo(right) < 0; });
    std::vector<std::string> sorted;
    for (Unit* unit : units) {
        sorted.push_back(unit->Symbol());
    }
    return sorted;
}

} // namespace

TEST(UnitCatalogue, HandsOutOnePointerPerSymbolAndAsksTheReaderOnce) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);

    Unit* foot = Unit::GetUnit("ft");
    EXPECT_EQ(Unit::GetUnit("ft"), foot);
    EXPECT_EQ(reader.Calls("GetUnitSpec", "ft"), 1);
    EXPECT_EQ(foot->Symbol(), "ft");
    EXPECT_EQ(foot->Name(), "foot");
    EXPECT_EQ(&foot->ToString(), &foot->Symbol());
    EXPECT_EQ(foot->GetDimension(), Dimension::GetDimension("Length"));
}

TEST(UnitCatalogue, TreatsSymbolsThatDifferInCaseAsDifferentUnits) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddUnit("M", "mega-something", "Length", 1e6);
    UnitService::UnitReader(&reader);

    EXPECT_NE(Unit::GetUnit("m"), Unit::GetUnit("M"));
    EXPECT_EQ(reader.Calls("GetUnitSpec", "M"), 1);
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("FT"); }), "Could not find a Unit with symbol 'FT'!");
}

TEST(UnitCatalogue, ReportsUnknownAndInvalidRecordsAsNotFound) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddUnit("nmi", "nautical mile", "Length", 1852.0).valid = false;
    reader.records.AddUnit("ly", "light year", "Length", 9.4607e15).converter = nullptr;
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Unit::GetUnit("furlong"); }),
              "Could not find a Unit with symbol 'furlong'!");
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("nmi"); }), "Could not find a Unit with symbol 'nmi'!");
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("ly"); }), "Could not find a Unit with symbol 'ly'!");
}

TEST(UnitCatalogue, PassesOnAnUnknownDimensionAndKeepsNoUnit) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddUnit("fur", "furlong", "Lenght", 201.168);
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Unit::GetUnit("fur"); }),
              "Could not find a Dimension named 'Lenght'!");
    EXPECT_THROW(Unit::GetUnit("fur"), UnitException);
    EXPECT_EQ(reader.Calls("GetUnitSpec", "fur"), 2);
}

TEST(UnitCatalogue, ReturnsTheCachedUnitForARecordFiledUnderAnotherSymbol) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddUnit("metre", "metre", "Length", 1.0).symbol = "m";
    UnitService::UnitReader(&reader);

    Unit* metre = Unit::GetUnit("metre");
    EXPECT_EQ(metre->Symbol(), "m");
    EXPECT_EQ(Unit::GetUnit("m"), metre);
    EXPECT_EQ(Unit::GetUnit("metre"), metre);       // a miss again, answered from the record's key
    EXPECT_EQ(reader.Calls("GetUnitSpec", "m"), 1); // the dimension's base-symbol check only
}

TEST(UnitCatalogue, OwnsAClonedEngine) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);

    Unit* foot = Unit::GetUnit("ft");
    ASSERT_NE(foot->Converter(), nullptr);
    EXPECT_NE(foot->Converter(), reader.records.GetUnitSpec("ft")->converter);
    EXPECT_DOUBLE_EQ(foot->Converter()->Convert(10.0), 3.048);
}

TEST(UnitCatalogue, KeepsDefinitionsFromTheFirstReaderAfterAnotherIsRegistered) {
    CountingReader first;
    orv_testing::AddLengthUnits(first.records);
    UnitService::UnitReader(&first);
    Unit* foot = Unit::GetUnit("ft");

    CountingReader second;
    orv_testing::AddLengthUnits(second.records);
    second.records.AddUnit("ftUS", "US survey foot", "Length", 1200.0 / 3937.0);
    UnitService::UnitReader(&second);

    EXPECT_EQ(Unit::GetUnit("ft"), foot);
    EXPECT_NE(Unit::GetUnit("ftUS"), nullptr);
    EXPECT_EQ(second.Calls("GetUnitSpec", "ftUS"), 1);
    EXPECT_EQ(second.Calls("GetUnitSpec", "ft"), 0);
}

TEST(UnitCatalogue, SortsScaleOneFirstThenByLeadingDigitsThenByScale) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    UnitService::UnitReader(&reader);

    // Mantissas: m 0.5 (scale 1); mm, cm, km 1.0 ordered by scale; mi 1.609; in 2.54;
    // ft 3.048; yd 9.144.
    EXPECT_EQ(SortedByCompareTo({"yd", "ft", "km", "in", "m", "mi", "cm", "mm"}),
              (std::vector<std::string>{"m", "mm", "cm", "km", "mi", "in", "ft", "yd"}));
}

TEST(UnitCatalogue, UsesTheSlopeAloneForUnitsWithAnOffset) {
    CountingReader reader;
    reader.records.AddDimension("Temperature", "K");
    reader.records.AddUnit("K", "kelvin", "Temperature", 1.0);
    reader.records.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    reader.records.AddUnit("degR", "degree Rankine", "Temperature", 5.0 / 9.0);
    UnitService::UnitReader(&reader);

    // degC's offset cancels: it shares scale 1 with K and sorts by standard form, capitals
    // first, before the scale 5/9 of degR.
    EXPECT_EQ(SortedByCompareTo({"degR", "degC", "K"}),
              (std::vector<std::string>{"K", "degC", "degR"}));
}

TEST(UnitCatalogue, SortsAStandardFormBeforeItsAliasesAndAliasesByName) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    reader.records.AddUnit("meter", "meter", "Length", 1.0, 0.0, "m");
    reader.records.AddUnit("metre", "a metre", "Length", 1.0, 0.0, "m");
    reader.records.AddUnit("Ym", "Z-named", "Length", 1.0); // own standard form, sorts before m
    UnitService::UnitReader(&reader);

    EXPECT_EQ(SortedByCompareTo({"metre", "meter", "m", "Ym"}),
              (std::vector<std::string>{"Ym", "m", "metre", "meter"}));
    EXPECT_EQ(Unit::GetUnit("m")->CompareTo(Unit::GetUnit("m")), 0);
    EXPECT_EQ(Unit::GetUnit("m")->CompareTo(nullptr), 1);
}

TEST(UnitCatalogue, SortsByDimensionNameFirst) {
    CountingReader reader;
    orv_testing::AddLengthUnits(reader.records);
    orv_testing::AddMassUnits(reader.records);
    UnitService::UnitReader(&reader);

    EXPECT_EQ(Unit::GetUnit("m")->CompareTo(Unit::GetUnit("g")), -1);
    EXPECT_EQ(Unit::GetUnit("kg")->CompareTo(Unit::GetUnit("mi")), 1);
}

TEST(UnitCatalogue, NeedsARegisteredReaderOnAMiss) {
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("m"); }),
              "Unit Service is not initialized with a Unit Reader.\n"
              "Please use UnitService.UnitReader to set a Unit Reader.");
}
