// Listings of the unit catalogue and the standard form of a unit.
#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::MessageOf;
using Units::Unit;

// The symbols of `units`, each followed by a blank.
std::string Listed(const std::vector<Unit*>& units) {
    std::string symbols;
    for (const Unit* unit : units) {
        symbols += (unit != nullptr ? unit->Symbol() : "<null>") + " ";
    }
    return symbols;
}

const Units::Measurement& M(const char* name) {
    return *Units::Measurement::GetMeasurement(name);
}

// Length with m, ft and two aliases of ft (foot, feet); Current with A; no measurement lists
// units except Depth and Span.
class UnitListingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& records = m_reader.records;
        records.AddDimension("Length", "m");
        records.AddUnit("m", "Metre", "Length", 1.0);
        records.AddUnit("ft", "Foot", "Length", 0.3048);
        records.AddUnit("foot", "Foot", "Length", 0.3048, 0.0, "ft");
        records.AddUnit("feet", "Feet", "Length", 0.3048, 0.0, "ft");
        records.AddDimension("Current", "A");
        records.AddUnit("A", "Ampere", "Current", 1.0);
        records.AddMeasurement("Height", "Length");
        records.AddMeasurement("Depth", "Length", {"m", "foot"});
        records.AddMeasurement("Span", "Length", {"foot", "m", "feet"});
        Units::UnitService::UnitReader(&m_reader);
    }
    orv_testing::CountingReader m_reader;
};

TEST_F(UnitListingsTest, ListsEveryUnitInByteOrderReadingTheRecordsOnceThenAddingLookups) {
    EXPECT_EQ(Listed(Unit::GetAllUnits()), "A feet foot ft m ");
    m_reader.records.AddUnit("km", "Kilometre", "Length", 1000.0);
    EXPECT_EQ(Listed(Unit::GetAllUnits()), "A feet foot ft m ");
    EXPECT_EQ(m_reader.Calls("GetAllUnitSpecs"), 1);
    Unit* kilometre = Unit::GetUnit("km");
    EXPECT_EQ(Unit::GetAllUnits().at(4), kilometre);
}

TEST_F(UnitListingsTest, ListsTheUnitsOfADimensionOrSharingAStandardForm) {
    EXPECT_EQ(Listed(Unit::GetAllUnits(Units::Dimension::GetDimension("Length"))),
              "feet foot ft m ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(static_cast<Units::Dimension*>(nullptr))), "");
    EXPECT_EQ(Unit::GetUnit("foot")->StandardForm(), Unit::GetUnit("ft"));
    EXPECT_EQ(Unit::GetUnit("ft")->StandardForm(), Unit::GetUnit("ft"));
    EXPECT_EQ(Listed(Unit::GetAllUnits(Unit::GetUnit("foot"))), "feet foot ft ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(Unit::GetUnit("ft"))), "feet foot ft ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(Unit::GetUnit("m"))), "m ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(static_cast<Unit*>(nullptr))), "");
}

// In the reader's order, one per symbol, or widened to the standard forms group by group (the
// group of foot and feet twice); all units of the dimension when the measurement lists none.
TEST_F(UnitListingsTest, ListsAMeasurementsUnitsInTheReadersOrderOrWidened) {
    EXPECT_EQ(Listed(Unit::GetAllUnits(M("Span"), false)), "foot m feet ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(M("Span"), true)), "feet foot ft m feet foot ft ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(M("Depth"), true)), "m feet foot ft ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(M("Height"), false)), "feet foot ft m ");
    EXPECT_EQ(Listed(Unit::GetAllUnits(M("Height"), true)), "feet foot ft m ");
}

TEST_F(UnitListingsTest, AsksTheReaderForTheMeasurementEveryTimeAndIgnoresItsValidity) {
    auto& record = m_reader.records.AddMeasurement("Reach", "Length", {"ft"});
    const Units::Measurement& reach = M("Reach");
    record.valid = false;
    EXPECT_EQ(Listed(Unit::GetAllUnits(reach, false)), "ft ");
    record.unitSymbols = {"m"};
    EXPECT_EQ(Listed(Unit::GetAllUnits(reach, false)), "m ");
    EXPECT_EQ(m_reader.Calls("GetMeasurementSpec", "Reach"), 3);
    // A reader that does not know the measurement gives an empty list, not an error.
    Units::Reader::InMemoryUnitReader other;
    Units::UnitService::UnitReader(&other);
    EXPECT_EQ(Listed(Unit::GetAllUnits(reach, true)), "");
    Units::UnitService::UnitReader(&m_reader);
}

TEST(UnitListings, ThrowsTheMissingReaderMessageWithoutAReader) {
    EXPECT_EQ(MessageOf([] { Unit::GetAllUnits(); }),
              "Unit Service is not initialized with a Unit Reader.\n"
              "Please use UnitService.UnitReader to set a Unit Reader.");
}

TEST(UnitListings, AnEmptyReaderGivesAnEmptyListingAndIsNotAskedAgain) {
    Units::Reader::InMemoryUnitReader reader;
    Units::UnitService::UnitReader(&reader);
    EXPECT_EQ(Listed(Unit::GetAllUnits()), "");
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    EXPECT_EQ(Listed(Unit::GetAllUnits()), "");
}

TEST(UnitListings, RepeatsAFailedCompleteReadWithTheNextCall) {
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddUnit("s", "Second", "Time", 1.0);
    Units::UnitService::UnitReader(&reader);
    EXPECT_EQ(MessageOf([] { Unit::GetAllUnits(); }), "Could not find a Dimension named 'Time'!");
    reader.AddDimension("Time", "s");
    EXPECT_EQ(Listed(Unit::GetAllUnits()), "m s ");
}

TEST(UnitListings, RefusesSymbolsTheReaderDoesNotKnowUntilItKnowsThem) {
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddUnit("yd", "Yard", "Length", 0.9144, 0.0, "yard");
    reader.AddMeasurement("Depth", "Length", {"m", "fathom"});
    Units::UnitService::UnitReader(&reader);
    Unit* yd = Unit::GetUnit("yd");
    EXPECT_EQ(MessageOf([&] { yd->StandardForm(); }), "Could not find a Unit with symbol 'yard'!");
    reader.AddUnit("yard", "Yard", "Length", 0.9144);
    EXPECT_EQ(yd->StandardForm(), Unit::GetUnit("yard"));
    for (const bool widened : {false, true}) {
        EXPECT_EQ(MessageOf([&] { Unit::GetAllUnits(M("Depth"), widened); }),
                  "Could not find a Unit with symbol 'fathom'!");
    }
}

} // namespace
