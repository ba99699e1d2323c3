// Listings of the unit catalogue and the standard form of a unit.
#include "OrvTesting.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/reader/InMemoryUnitReader.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Units::Unit;

std::vector<std::string> Symbols(const std::vector<Unit*>& units) {
    std::vector<std::string> symbols;
    for (const Unit* unit : units) {
        symbols.push_back(unit != nullptr ? unit->Symbol() : "<null>");
    }
    return symbols;
}

// Length with m, ft and two aliases of ft (foot, feet); Current with A; no measurement lists
// units except Depth and Span.
void FillCatalogue(Units::Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddUnit("ft", "Foot", "Length", 0.3048);
    reader.AddUnit("foot", "Foot", "Length", 0.3048, 0.0, "ft");
    reader.AddUnit("feet", "Feet", "Length", 0.3048, 0.0, "ft");
    reader.AddDimension("Current", "A");
    reader.AddUnit("A", "Ampere", "Current", 1.0);
    reader.AddMeasurement("Height", "Length");
    reader.AddMeasurement("Depth", "Length", {"m", "foot"});
    reader.AddMeasurement("Span", "Length", {"foot", "m", "feet"});
    reader.AddMeasurement("Flow", "Current");
}

class UnitListingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillCatalogue(m_reader.records);
        Units::UnitService::UnitReader(&m_reader);
    }
    orv_testing::CountingReader m_reader;
};

TEST_F(UnitListingsTest, ListsEveryUnitInUnsignedByteOrderOfSymbols) {
    EXPECT_THAT(Symbols(Unit::GetAllUnits()), ElementsAre("A", "feet", "foot", "ft", "m"));
}

TEST_F(UnitListingsTest, ReadsTheRecordsOnceAndThenListsWhatLookupsAdd) {
    ASSERT_EQ(Unit::GetAllUnits().size(), 5u);
    // Not in the complete listing any more, because the reader is not asked again...
    m_reader.records.AddUnit("km", "Kilometre", "Length", 1000.0);
    EXPECT_EQ(Unit::GetAllUnits().size(), 5u);
    EXPECT_EQ(m_reader.Calls("GetAllUnitSpecs"), 1);
    // ...but a unit looked up later joins the listings.
    Unit* kilometre = Unit::GetUnit("km");
    EXPECT_THAT(Symbols(Unit::GetAllUnits()), ElementsAre("A", "feet", "foot", "ft", "km", "m"));
    EXPECT_EQ(Unit::GetAllUnits()[4], kilometre);
}

TEST(UnitListings, AnEmptyReaderGivesAnEmptyListingAndIsNotAskedAgain) {
    Units::Reader::InMemoryUnitReader reader;
    Units::UnitService::UnitReader(&reader);
    EXPECT_THAT(Unit::GetAllUnits(), IsEmpty());
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    EXPECT_THAT(Unit::GetAllUnits(), IsEmpty());
}

TEST(UnitListings, AFailedCompleteReadIsRepeatedByTheNextCall) {
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddUnit("s", "Second", "Time", 1.0);
    reader.AddUnit("z", "Zed", "Length", 2.0);
    Units::UnitService::UnitReader(&reader);

    try {
        Unit::GetAllUnits();
        FAIL() << "a unit of an unknown dimension must fail the listing";
    } catch (const Units::UnitException& e) {
        EXPECT_STREQ(e.what(), "Could not find a Dimension named 'Time'!");
    }
    reader.AddDimension("Time", "s");
    EXPECT_THAT(Symbols(Unit::GetAllUnits()), ElementsAre("m", "s", "z"));
}

TEST(UnitListings, ThrowsTheMissingReaderMessageWithoutAReader) {
    try {
        Unit::GetAllUnits();
        FAIL() << "no reader is registered";
    } catch (const Units::UnitException& e) {
        EXPECT_STREQ(e.what(), "Unit Service is not initialized with a Unit Reader.\n"
                               "Please use UnitService.UnitReader to set a Unit Reader.");
    }
}

TEST_F(UnitListingsTest, ListsTheUnitsOfOneDimensionAndNoneForNull) {
    EXPECT_THAT(Symbols(Unit::GetAllUnits(Units::Dimension::GetDimension("Length"))),
                ElementsAre("feet", "foot", "ft", "m"));
    EXPECT_THAT(Symbols(Unit::GetAllUnits(Units::Dimension::GetDimension("Current"))),
                ElementsAre("A"));
    EXPECT_THAT(Unit::GetAllUnits(static_cast<Units::Dimension*>(nullptr)), IsEmpty());
}

TEST_F(UnitListingsTest, ResolvesTheStandardFormOnceAndAUnitWithoutOneToItself) {
    Unit* foot = Unit::GetUnit("foot");
    Unit* ft = Unit::GetUnit("ft");
    EXPECT_EQ(foot->StandardForm(), ft);
    EXPECT_EQ(foot->StandardForm(), ft);
    EXPECT_EQ(ft->StandardForm(), ft);
}

TEST(UnitListings, AnUnknownStandardFormThrowsUntilTheReaderKnowsIt) {
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddUnit("yd", "Yard", "Length", 0.9144, 0.0, "yard");
    Units::UnitService::UnitReader(&reader);
    Unit* yd = Unit::GetUnit("yd");

    try {
        yd->StandardForm();
        FAIL() << "the standard form yard is unknown";
    } catch (const Units::UnitException& e) {
        EXPECT_STREQ(e.what(), "Could not find a Unit with symbol 'yard'!");
    }
    reader.AddUnit("yard", "Yard", "Length", 0.9144);
    EXPECT_EQ(yd->StandardForm(), Unit::GetUnit("yard"));
}

TEST_F(UnitListingsTest, ListsTheUnitsSharingAStandardFormWhicheverOfThemIsGiven) {
    EXPECT_THAT(Symbols(Unit::GetAllUnits(Unit::GetUnit("ft"))), ElementsAre("feet", "foot", "ft"));
    EXPECT_THAT(Symbols(Unit::GetAllUnits(Unit::GetUnit("foot"))),
                ElementsAre("feet", "foot", "ft"));
    EXPECT_THAT(Symbols(Unit::GetAllUnits(Unit::GetUnit("m"))), ElementsAre("m"));
    EXPECT_THAT(Unit::GetAllUnits(static_cast<Unit*>(nullptr)), IsEmpty());
}

TEST_F(UnitListingsTest, ListsAMeasurementsUnitsInTheReadersOrderOnePerSymbol) {
    const Units::Measurement& span = *Units::Measurement::GetMeasurement("Span");
    EXPECT_THAT(Symbols(Unit::GetAllUnits(span, false)), ElementsAre("foot", "m", "feet"));
}

TEST_F(UnitListingsTest, WidensAMeasurementsUnitsToTheirStandardFormsGroupByGroup) {
    const Units::Measurement& depth = *Units::Measurement::GetMeasurement("Depth");
    EXPECT_THAT(Symbols(Unit::GetAllUnits(depth, true)), ElementsAre("m", "feet", "foot", "ft"));
    // foot and feet share a standard form, so its group comes twice.
    const Units::Measurement& span = *Units::Measurement::GetMeasurement("Span");
    EXPECT_THAT(Symbols(Unit::GetAllUnits(span, true)),
                ElementsAre("feet", "foot", "ft", "m", "feet", "foot", "ft"));
}

TEST_F(UnitListingsTest, GivesAMeasurementWithoutListedUnitsAllUnitsOfItsDimension) {
    const Units::Measurement& height = *Units::Measurement::GetMeasurement("Height");
    EXPECT_THAT(Symbols(Unit::GetAllUnits(height, false)), ElementsAre("feet", "foot", "ft", "m"));
    EXPECT_THAT(Symbols(Unit::GetAllUnits(height, true)), ElementsAre("feet", "foot", "ft", "m"));
}

TEST_F(UnitListingsTest, AsksTheReaderForTheMeasurementEveryTimeAndIgnoresItsValidity) {
    Units::Reader::MeasurementSpec& record =
        m_reader.records.AddMeasurement("Reach", "Length", {"ft"});
    const Units::Measurement& reach = *Units::Measurement::GetMeasurement("Reach");
    // An invalid record still lists its units: this look-up does not test validity.
    record.valid = false;
    EXPECT_THAT(Symbols(Unit::GetAllUnits(reach, false)), ElementsAre("ft"));
    record.unitSymbols = {"m"};
    EXPECT_THAT(Symbols(Unit::GetAllUnits(reach, false)), ElementsAre("m"));
    EXPECT_EQ(m_reader.Calls("GetMeasurementSpec", "Reach"), 3);

    // A reader that does not know the measurement gives an empty list, not an error.
    Units::Reader::InMemoryUnitReader other;
    Units::UnitService::UnitReader(&other);
    EXPECT_THAT(Unit::GetAllUnits(reach, false), IsEmpty());
    EXPECT_THAT(Unit::GetAllUnits(reach, true), IsEmpty());
    Units::UnitService::UnitReader(&m_reader);
}

TEST(UnitListings, AMeasurementListingAnUnknownSymbolThrows) {
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddMeasurement("Depth", "Length", {"m", "fathom"});
    Units::UnitService::UnitReader(&reader);
    const Units::Measurement& depth = *Units::Measurement::GetMeasurement("Depth");

    for (const bool withAliases : {false, true}) {
        try {
            Unit::GetAllUnits(depth, withAliases);
            FAIL() << "fathom is unknown";
        } catch (const Units::UnitException& e) {
            EXPECT_STREQ(e.what(), "Could not find a Unit with symbol 'fathom'!");
        }
    }
}

} // namespace
