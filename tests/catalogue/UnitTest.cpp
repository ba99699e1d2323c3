#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::MessageOf;

namespace {

// A counting reader over the length units, registered for the test.
struct UnitCatalogue : testing::Test {
    UnitCatalogue() {
        orv_testing::AddLengthUnits(reader.records);
        UnitService::UnitReader(&reader);
    }
    orv_testing::CountingReader reader;
};

} // namespace

TEST_F(UnitCatalogue, HandsOutOnePointerPerExactSymbolOwningItsOwnEngine) {
    reader.records.AddUnit("M", "mega-something", "Length", 1e6);

    Unit* foot = Unit::GetUnit("ft");

    EXPECT_EQ(Unit::GetUnit("ft"), foot);
    EXPECT_EQ(reader.Calls("GetUnitSpec", "ft"), 1);
    EXPECT_EQ(foot->Name(), "foot");
    EXPECT_EQ(foot->ToString(), "ft");
    EXPECT_EQ(foot->GetDimension(), Dimension::GetDimension("Length"));
    EXPECT_NE(Unit::GetUnit("M"), Unit::GetUnit("m"));
    EXPECT_NE(foot->Converter(), reader.records.GetUnitSpec("ft")->converter);
    EXPECT_DOUBLE_EQ(foot->Converter()->Convert(10.0), 3.048);
}

TEST_F(UnitCatalogue, ReportsWhatTheReaderLacksAndKeepsNoUnit) {
    reader.records.AddUnit("nmi", "nautical mile", "Length", 1852.0).valid = false;
    reader.records.AddUnit("fur", "furlong", "Lenght", 201.168);

    EXPECT_EQ(MessageOf([] { Unit::GetUnit("FT"); }), "Could not find a Unit with symbol 'FT'!");
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("nmi"); }), "Could not find a Unit with symbol 'nmi'!");
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(MessageOf([] { Unit::GetUnit("fur"); }),
                  "Could not find a Dimension named 'Lenght'!");
    }
    EXPECT_EQ(reader.Calls("GetUnitSpec", "fur"), 2);
}

TEST_F(UnitCatalogue, ReturnsTheCachedUnitForARecordFiledUnderAnotherSymbol) {
    reader.records.AddUnit("metre", "metre", "Length", 1.0).symbol = "m";

    Unit* metre = Unit::GetUnit("metre");

    EXPECT_EQ(metre->Symbol(), "m");
    EXPECT_EQ(Unit::GetUnit("m"), metre);
    EXPECT_EQ(Unit::GetUnit("metre"), metre);       // a miss again, answered from the record's key
    EXPECT_EQ(reader.Calls("GetUnitSpec", "m"), 1); // the dimension's base-symbol check only
}

TEST_F(UnitCatalogue, KeepsWhatItBuiltWhenAnotherReaderIsRegistered) {
    Unit* foot = Unit::GetUnit("ft");
    orv_testing::CountingReader second;
    orv_testing::AddLengthUnits(second.records);
    UnitService::UnitReader(&second);

    EXPECT_EQ(Unit::GetUnit("ft"), foot);
    Unit::GetUnit("yd");
    EXPECT_EQ(second.Calls("GetUnitSpec"), 1);
    EXPECT_EQ(second.Calls("GetUnitSpec", "yd"), 1);
}

// By dimension name, in unsigned byte order; then scale 1 first and the others by leading digits,
// then by scale (an offset does not count); then by standard form, capitals first; the standard
// form before its aliases, and aliases by name.
TEST_F(UnitCatalogue, SortsByDimensionScaleStandardFormAndName) {
    orv_testing::AddMassUnits(reader.records);
    reader.records.AddUnit("meter", "meter", "Length", 1.0, 0.0, "m");
    reader.records.AddUnit("metre", "a metre", "Length", 1.0, 0.0, "m");
    reader.records.AddUnit("Ym", "Z-named", "Length", 1.0);
    reader.records.AddDimension("Temperature", "K");
    reader.records.AddUnit("K", "kelvin", "Temperature", 1.0);
    reader.records.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    reader.records.AddUnit("mK", "millikelvin", "Temperature", 0.001);
    reader.records.AddUnit("degR", "degree Rankine", "Temperature", 5.0 / 9.0);
    for (const char* name : {"alpha", "\xC3\xA9nergie"}) { // UTF-8: first byte 0xC3
        reader.records.AddDimension(name, name);
        reader.records.AddUnit(name, name, name, 1.0);
    }
    const std::vector<std::string> sorted = {
        "Ym", "m",  "metre", "meter", "mm", "cm",   "km", "mi",   "in",    "ft",
        "yd", "kg", "g",     "lb",    "K",  "degC", "mK", "degR", "alpha", "\xC3\xA9nergie"};
    std::vector<Unit*> units;
    for (auto symbol = sorted.rbegin(); symbol != sorted.rend(); ++symbol) {
        units.push_back(Unit::GetUnit(*symbol));
    }

    std::stable_sort(units.begin(), units.end(),
                     [](Unit* left, Unit* right) { return left->CompareTo(right) < 0; });

    std::vector<std::string> symbols;
    for (const Unit* unit : units) {
        symbols.push_back(unit->Symbol());
    }
    EXPECT_EQ(symbols, sorted);
    EXPECT_EQ(units[0]->CompareTo(units[0]), 0);
    EXPECT_EQ(units[0]->CompareTo(nullptr), 1);
}
