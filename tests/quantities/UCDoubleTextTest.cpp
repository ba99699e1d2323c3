#include "QuantityCatalogue.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::M;
using orv_testing::Owned;
using orv_testing::RefusalOf;
using orv_testing::U;
using Units::Measurement;
using Units::UCDouble;
using Units::Unit;
using Units::UnitException;
using Units::UnitSystem;

std::unique_ptr<UCDouble> Parse(const std::string& text) {
    orv_testing::QuantityCatalogue();
    return Owned(UCDouble::Parse(text));
}

TEST(UCDoubleText, ReadsANumberWithoutUnitAsUnitless) {
    for (auto const& [text, expected] : {std::pair<std::string, double>{"5", 5.0},
                                         {"-2.5e3", -2500.0},
                                         {"", 0.0},
                                         {"5x", 5.0},
                                         {"5\tm", 5.0},
                                         {"\t7", 7.0}}) {
        auto value = Parse(text);
        EXPECT_EQ(value->BaseValue(), expected) << '"' << text << '"';
        EXPECT_EQ(value->GetMeasurement(), M("Unitless")) << '"' << text << '"';
    }
}

TEST(UCDoubleText, ReadsANumberAndUnitIntoTheMeasurementNamedLikeTheDimension) {
    auto depth = Parse("5 ft");
    EXPECT_EQ(depth->GetMeasurement(), M("Length"));
    EXPECT_DOUBLE_EQ(depth->BaseValue(), 1.524);

    auto temperature = Parse("100 degC");
    EXPECT_EQ(temperature->GetMeasurement(), M("Temperature"));
    EXPECT_NEAR(temperature->BaseValue(), 373.15, 1e-9);

    auto power = Parse("20 dBW");
    EXPECT_NEAR(power->BaseValue(), 100.0, 1e-12);

    auto garbage = Parse("abc m");
    EXPECT_EQ(garbage->BaseValue(), 0.0);
    EXPECT_EQ(garbage->GetMeasurement(), M("Length"));
}

TEST(UCDoubleText, RefusesALeadingBlankOrASecondBlank) {
    for (std::string const text : {" 5 m", " 5", "5  m", "5 m x", "5 m ", " "}) {
        EXPECT_EQ(RefusalOf([&] { Parse(text); }), "Badly formed input") << '"' << text << '"';
    }
}

// Without a measurement named like the dimension, the first measurement in name order stands
// in; here that is Azimuth, of dimension Angle.
TEST(UCDoubleText, FallsBackToTheFirstMeasurementByName) {
    auto angle = Parse("180 deg");
    EXPECT_EQ(angle->GetMeasurement(), M("Azimuth"));
    EXPECT_NEAR(angle->BaseValue(), 3.14159265358979, 1e-12);

    EXPECT_EQ(RefusalOf([] { Parse("5 min"); }), "Cannot convert from min to rad");
}

TEST(UCDoubleText, PassesOnTheRefusalOfAnUnknownOrEmptySymbol) {
    EXPECT_THROW(Parse("5 furlong"), UnitException);
    EXPECT_THROW(Parse("5 "), UnitException);
}

TEST(UCDoubleText, ReadsABareNumberInTheGivenUnitAndAWrittenUnitInsteadOfIt) {
    Measurement* temperature = M("Temperature");
    auto bare = Owned(UCDouble::Parse("5", temperature, U("degC")));
    EXPECT_EQ(bare->GetMeasurement(), temperature);
    EXPECT_NEAR(bare->BaseValue(), 278.15, 1e-9);

    auto written = Owned(UCDouble::Parse("5 m", M("Depth"), U("ft")));
    EXPECT_EQ(written->GetMeasurement(), M("Depth"));
    EXPECT_EQ(written->BaseValue(), 5.0);
}

TEST(UCDoubleText, RefusesAMissingMeasurementBeforeLookingAtTheText) {
    EXPECT_EQ(RefusalOf([] { UCDouble::Parse("  bad  ", nullptr, U("m")); }),
              "Null Measurement passed.");
    EXPECT_EQ(RefusalOf([] { UCDouble::Parse("5", nullptr, UnitSystem::GetUnitSystem("Metric")); }),
              "Null Measurement passed.");
}

TEST(UCDoubleText, RefusesAMissingUnitSystemAndUnitsOfAnotherDimension) {
    EXPECT_EQ(
        RefusalOf([] { UCDouble::Parse("5", M("Depth"), static_cast<UnitSystem*>(nullptr)); }),
        "Null Unit System passed.");
    EXPECT_EQ(RefusalOf([] { UCDouble::Parse("5", M("Depth"), static_cast<Unit*>(nullptr)); }),
              "NULL arguments passed to UnitConverter");
    EXPECT_EQ(RefusalOf([] { UCDouble::Parse("5", M("Depth"), U("kg")); }),
              "Cannot convert from kg to m");
    EXPECT_EQ(RefusalOf([] { UCDouble::Parse("5 lb", M("Depth"), U("m")); }),
              "Cannot convert from lb to m");
}

TEST(UCDoubleText, ReadsABareNumberInTheUnitOfAUnitSystemOrOfTheCurrentOne) {
    Measurement* depth = M("Depth");
    auto imperial = Owned(UCDouble::Parse("10", depth, UnitSystem::GetUnitSystem("Imperial")));
    EXPECT_DOUBLE_EQ(imperial->BaseValue(), 3.048);

    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Metric"));
    EXPECT_DOUBLE_EQ(Owned(UCDouble::Parse("10", depth))->BaseValue(), 10.0);
    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_DOUBLE_EQ(Owned(UCDouble::Parse("10", depth))->BaseValue(), 3.048);
}

TEST(UCDoubleText, WritesSixSignificantDigitsAndTheSymbol) {
    Unit* metre = U("m");
    EXPECT_EQ(UCDouble(2.5, M("Depth")).ToString(metre), "2.5 m");
    EXPECT_EQ(UCDouble(100.0, M("Depth")).ToString(metre), "100 m");
    EXPECT_EQ(UCDouble(1.0 / 3.0, M("Depth")).ToString(metre), "0.333333 m");
    EXPECT_EQ(UCDouble(1234567.0, M("Depth")).ToString(metre), "1.23457e+06 m");
    EXPECT_EQ(UCDouble(0.0000001, M("Depth")).ToString(metre), "1e-07 m");
    EXPECT_EQ(UCDouble(-0.5, M("Depth")).ToString(metre), "-0.5 m");
    EXPECT_EQ(UCDouble(1234567.0 * 0.3048, M("Depth")).ToString(U("ft")), "1.23457e+06 ft");
}

TEST(UCDoubleText, WritesZeroForAMissingUnitOrEngineAndNothingForAMissingSystem) {
    UCDouble const depth(2.5, M("Depth"));
    EXPECT_EQ(depth.ToString(static_cast<Unit const*>(nullptr)), "0");
    EXPECT_EQ(depth.ToString(static_cast<UnitSystem*>(nullptr)), "");
    EXPECT_EQ(depth.ToString(U("zero")), "0 zero");
}

TEST(UCDoubleText, WritesInTheUnitThatAUnitSystemGivesTheMeasurement) {
    UCDouble const depth(3.048, M("Depth"));
    EXPECT_EQ(depth.ToString(UnitSystem::GetUnitSystem("Imperial")), "10 ft");
    EXPECT_EQ(depth.ToString(UnitSystem::GetUnitSystem("Metric")), "3.048 m");
    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_EQ(depth.ToString(), "10 ft");
    EXPECT_EQ(UCDouble(373.15, M("Temperature")).ToString(), "212 degF");
}

// Only six significant digits survive a trip through text.
TEST(UCDoubleText, ReadsBackWhatItWritesToSixSignificantDigits) {
    UCDouble const third(1.0 / 3.0, M("Length"));
    auto back = Parse(third.ToString(U("m")));
    EXPECT_EQ(back->GetMeasurement(), M("Length"));
    EXPECT_EQ(back->BaseValue(), 0.333333);
    EXPECT_FALSE(*back == third);
}

// The empty symbol is a unit like any other: "5 " reads it, and no measurement is named like
// its dimension, so the fallback (Azimuth) refuses it.
TEST(UCDoubleText, WritesATrailingBlankForAUnitWithAnEmptySymbol) {
    orv_testing::QuantityCatalogue().AddUnit("", "bare count", "Dimensionless", 1.0);
    EXPECT_EQ(UCDouble(2.5).ToString(U("")), "2.5 ");
    EXPECT_EQ(RefusalOf([] { Parse("5 "); }), "Cannot convert from  to rad");
}

} // namespace
