#include "QuantityCatalogue.h"

#include <units/UnitSystem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::M;
using orv_testing::Owned;
using orv_testing::RefusalOf;
using orv_testing::U;
using Units::UCDouble;
using Units::UnitSystem;

// A number alone is unitless; with a unit it goes into the measurement named like the unit's
// dimension, or without one into the first measurement by name (Azimuth here, for Angle).
TEST(UCDoubleText, ReadsANumberAndAUnitIntoTheMeasurementOfTheUnitsDimension) {
    orv_testing::QuantityCatalogue();
    const struct {
        const char* text;
        double base;
        const char* measurement;
    } cases[] = {
        {"5", 5.0, "Unitless"},
        {"-2.5e3", -2500.0, "Unitless"},
        {"", 0.0, "Unitless"},
        {"5x", 5.0, "Unitless"},
        {"5\tm", 5.0, "Unitless"},
        {"\t7", 7.0, "Unitless"},
        {"5 ft", 1.524, "Length"},
        {"100 degC", 373.15, "Temperature"},
        {"20 dBW", 100.0, "Power"},
        {"abc m", 0.0, "Length"},
        {"180 deg", 3.14159265358979323846, "Azimuth"},
    };
    for (const auto& c : cases) {
        auto value = Owned(UCDouble::Parse(c.text));
        EXPECT_NEAR(value->BaseValue(), c.base, 1e-12 * std::fabs(c.base)) << '"' << c.text << '"';
        EXPECT_EQ(value->GetMeasurement(), M(c.measurement)) << '"' << c.text << '"';
    }
}

TEST(UCDoubleText, ReadsABareNumberInTheGivenUnitOrTheUnitOfASystem) {
    EXPECT_NEAR(Owned(UCDouble::Parse("5", M("Temperature"), U("degC")))->BaseValue(), 278.15,
                1e-9);
    auto written = Owned(UCDouble::Parse("5 m", M("Depth"), U("ft"))); // the written unit wins
    EXPECT_EQ(written->BaseValue(), 5.0);
    EXPECT_EQ(written->GetMeasurement(), M("Depth"));
    EXPECT_DOUBLE_EQ(Owned(UCDouble::Parse("10", M("Depth"), UnitSystem::GetUnitSystem("Imperial")))
                         ->BaseValue(),
                     3.048);
    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Metric"));
    EXPECT_DOUBLE_EQ(Owned(UCDouble::Parse("10", M("Depth")))->BaseValue(), 10.0);
    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_DOUBLE_EQ(Owned(UCDouble::Parse("10", M("Depth")))->BaseValue(), 3.048);
}

TEST(UCDoubleText, RefusesBadTextMissingArgumentsAndUnitsOfAnotherDimension) {
    std::vector<std::pair<std::function<void()>, std::string>> refusals = {
        // The measurement is checked before the text.
        {[] { UCDouble::Parse("  bad  ", nullptr, U("m")); }, "Null Measurement passed."},
        {[] { UCDouble::Parse("5", nullptr, UnitSystem::GetUnitSystem("Metric")); },
         "Null Measurement passed."},
        {[] { UCDouble::Parse("5", M("Depth"), static_cast<UnitSystem*>(nullptr)); },
         "Null Unit System passed."},
        {[] { UCDouble::Parse("5", M("Depth"), static_cast<Units::Unit*>(nullptr)); },
         "NULL arguments passed to UnitConverter"},
        {[] { UCDouble::Parse("5", M("Depth"), U("kg")); }, "Cannot convert from kg to m"},
        {[] { UCDouble::Parse("5 lb", M("Depth"), U("m")); }, "Cannot convert from lb to m"},
        {[] { delete &UCDouble::Parse("5 min"); }, "Cannot convert from min to rad"},
    };
    for (const char* text : {" 5 m", " 5", "5  m", "5 m x", "5 m ", " "}) {
        refusals.emplace_back([=] { delete &UCDouble::Parse(text); }, "Badly formed input");
    }
    for (const auto& [action, message] : refusals) {
        EXPECT_EQ(RefusalOf(action), message);
    }
    EXPECT_THROW(UCDouble::Parse("5 furlong"), Units::UnitException);
}

TEST(UCDoubleText, WritesSixSignificantDigitsAndTheSymbolInAUnitOrTheUnitOfASystem) {
    UCDouble const depth(3.048, M("Depth"));
    const std::pair<double, const char*> numbers[] = {{2.5, "2.5 m"},
                                                      {100.0, "100 m"},
                                                      {1.0 / 3.0, "0.333333 m"},
                                                      {1234567.0, "1.23457e+06 m"},
                                                      {0.0000001, "1e-07 m"},
                                                      {-0.5, "-0.5 m"}};
    for (const auto& [base, text] : numbers) {
        EXPECT_EQ(UCDouble(base, M("Depth")).ToString(U("m")), text);
    }
    EXPECT_EQ(depth.ToString(UnitSystem::GetUnitSystem("Imperial")), "10 ft");
    EXPECT_EQ(depth.ToString(UnitSystem::GetUnitSystem("Metric")), "3.048 m");
    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_EQ(UCDouble(373.15, M("Temperature")).ToString(), "212 degF");
    // Nothing to convert with: "0" for a missing unit, "0 zero" for a unit without inverse.
    EXPECT_EQ(depth.ToString(static_cast<Units::Unit const*>(nullptr)), "0");
    EXPECT_EQ(depth.ToString(static_cast<UnitSystem*>(nullptr)), "");
    EXPECT_EQ(depth.ToString(U("zero")), "0 zero");
    // Only six significant digits survive a trip through text.
    auto back = Owned(UCDouble::Parse(UCDouble(1.0 / 3.0, M("Length")).ToString(U("m"))));
    EXPECT_EQ(back->BaseValue(), 0.333333);
}

// The empty symbol is a unit like any other: "5 " reads it, and no measurement is named like
// its dimension, so the fallback (Azimuth) refuses it.
TEST(UCDoubleText, WritesATrailingBlankForAUnitWithAnEmptySymbol) {
    orv_testing::QuantityCatalogue().AddUnit("", "bare count", "Dimensionless", 1.0);
    EXPECT_EQ(UCDouble(2.5).ToString(U("")), "2.5 ");
    EXPECT_EQ(RefusalOf([] { delete &UCDouble::Parse("5 "); }), "Cannot convert from  to rad");
}

} // namespace
