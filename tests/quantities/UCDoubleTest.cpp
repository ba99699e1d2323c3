#include "QuantityCatalogue.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

TEST(UCDouble, ValuesMadeWithoutAMeasurementAreUnitless) {
    orv_testing::QuantityCatalogue();
    UCDouble const zero;
    UCDouble const five(5.0);
    EXPECT_EQ(zero.BaseValue(), 0.0);
    EXPECT_EQ(zero.GetMeasurement(), M("Unitless"));
    EXPECT_EQ(five.BaseValue(), 5.0);
    EXPECT_EQ(five.GetMeasurement(), M("Unitless"));
    EXPECT_EQ(five.BaseUnit(), U("1"));
}

TEST(UCDouble, StoresTheGivenBaseValueWithoutConverting) {
    orv_testing::QuantityCatalogue();
    UCDouble value(1.0, M("Depth"));
    EXPECT_EQ(value.BaseValue(), 1.0);
    EXPECT_EQ(value.GetMeasurement(), M("Depth"));
    EXPECT_EQ(value.BaseUnit(), U("m"));
    value.BaseValue(2.5);
    EXPECT_EQ(value.BaseValue(), 2.5);

    UCDouble const bare(3.0, nullptr);
    EXPECT_EQ(bare.GetMeasurement(), nullptr);
    EXPECT_EQ(RefusalOf([&] { bare.BaseUnit(); }),
              "A value without a measurement has no base unit; construct it with a measurement "
              "to read it in units");
}

TEST(UCDouble, ConvertsIntoAUnitAUnitSystemOrTheCurrentUnitSystem) {
    orv_testing::QuantityCatalogue();
    UCDouble const depth(3.048, M("Depth"));
    EXPECT_DOUBLE_EQ(depth.Convert(U("ft")), 10.0);
    EXPECT_DOUBLE_EQ(depth.Convert(Units::UnitSystem::GetUnitSystem("Imperial")), 10.0);
    EXPECT_DOUBLE_EQ(depth.Convert(Units::UnitSystem::GetUnitSystem("Metric")), 3.048);

    Units::UnitService::SetUnitSystem(Units::UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_DOUBLE_EQ(depth.Convert(), 10.0);
    UCDouble const boiling(373.15, M("Temperature"));
    EXPECT_NEAR(boiling.Convert(), 212.0, 1e-9);
    EXPECT_NEAR(boiling.Convert(U("degC")), 100.0, 1e-9);
    UCDouble const power(1000.0, M("Power"));
    EXPECT_NEAR(power.Convert(U("dBW")), 30.0, 1e-12);
}

TEST(UCDouble, ConversionWithoutAUsableUnitGivesZero) {
    orv_testing::QuantityCatalogue();
    UCDouble const depth(3.0, M("Depth"));
    EXPECT_EQ(depth.Convert(static_cast<Unit const*>(nullptr)), 0.0);
    EXPECT_EQ(depth.Convert(static_cast<Units::UnitSystem*>(nullptr)), 0.0);
    EXPECT_EQ(depth.Convert(U("zero")), 0.0);
}

TEST(UCDouble, EqualValuesShareMeasurementAndBaseValue) {
    orv_testing::QuantityCatalogue();
    UCDouble const a(2.0, M("Depth"));
    UCDouble const b(2.0, M("Depth"));
    UCDouble const otherMeasurement(2.0, M("Length"));
    UCDouble const otherValue(2.5, M("Depth"));
    EXPECT_TRUE(a.Equals(b));
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_FALSE(a == otherMeasurement);
    EXPECT_TRUE(a != otherMeasurement);
    EXPECT_FALSE(a.Equals(otherValue));
}

TEST(UCDouble, ValuesHoldingNaNAreNeverEqualNotEvenToThemselves) {
    orv_testing::QuantityCatalogue();
    UCDouble const nan(std::numeric_limits<double>::quiet_NaN(), M("Depth"));
    UCDouble const& same = nan;
    EXPECT_FALSE(nan.Equals(same));
    EXPECT_FALSE(nan == same);
    EXPECT_TRUE(nan != same);
}

TEST(UCDouble, AddsAndSubtractsValuesOfOneMeasurementIntoNewValues) {
    orv_testing::QuantityCatalogue();
    UCDouble const a(2.0, M("Depth"));
    UCDouble const b(0.5, M("Depth"));
    auto sum = Owned(a + b);
    auto again = Owned(a + b);
    auto difference = Owned(a - b);
    EXPECT_NE(sum.get(), &a);
    EXPECT_NE(sum.get(), &b);
    EXPECT_NE(sum.get(), again.get());
    EXPECT_EQ(sum->BaseValue(), 2.5);
    EXPECT_EQ(sum->GetMeasurement(), M("Depth"));
    EXPECT_EQ(difference->BaseValue(), 1.5);
    EXPECT_EQ(a.BaseValue(), 2.0);
    EXPECT_EQ(b.BaseValue(), 0.5);
}

// The test is on the measurement, not the dimension: Depth and Length share a dimension.
TEST(UCDouble, RefusesToAddOrSubtractValuesOfDifferentMeasurements) {
    orv_testing::QuantityCatalogue();
    UCDouble const depth(2.0, M("Depth"));
    UCDouble const length(1.0, M("Length"));
    UCDouble const bare(1.0, nullptr);
    EXPECT_EQ(RefusalOf([&] { delete &(depth + length); }),
              "Attempting to add values of Depth and Length measurements");
    EXPECT_EQ(RefusalOf([&] { delete &(length - depth); }),
              "Attempting to subtract values of Length and Depth measurements");
    EXPECT_EQ(RefusalOf([&] { delete &(depth + bare); }),
              "Attempting to add a value without a measurement to a value of Depth measurement; "
              "both values need the same measurement");
    EXPECT_EQ(RefusalOf([&] { delete &(depth - bare); }),
              "Attempting to subtract a value without a measurement from a value of Depth "
              "measurement; both values need the same measurement");
}

TEST(UCDouble, ALeftOperandWithoutMeasurementAddsToAnythingAndGivesNoMeasurement) {
    orv_testing::QuantityCatalogue();
    UCDouble const bare(1.0, nullptr);
    UCDouble const depth(2.0, M("Depth"));
    auto sum = Owned(bare + depth);
    auto difference = Owned(bare - depth);
    EXPECT_EQ(sum->BaseValue(), 3.0);
    EXPECT_EQ(sum->GetMeasurement(), nullptr);
    EXPECT_EQ(difference->BaseValue(), -1.0);
    EXPECT_EQ(difference->GetMeasurement(), nullptr);
}

TEST(UCDouble, MultipliesByADimensionlessValueOnEitherSide) {
    orv_testing::QuantityCatalogue();
    UCDouble const three(3.0);
    UCDouble const depth(2.0, M("Depth"));
    auto left = Owned(three * depth);
    auto right = Owned(depth * three);
    EXPECT_EQ(left->BaseValue(), 6.0);
    EXPECT_EQ(left->GetMeasurement(), M("Depth"));
    EXPECT_EQ(right->BaseValue(), 6.0);
    EXPECT_EQ(right->GetMeasurement(), M("Depth"));

    // Both dimensionless: the right operand's measurement wins.
    UCDouble const ratio(0.5, M("Ratio"));
    EXPECT_EQ(Owned(three * ratio)->GetMeasurement(), M("Ratio"));
    EXPECT_EQ(Owned(ratio * three)->GetMeasurement(), M("Unitless"));

    // A value without measurement may be scaled by a dimensionless one, on either side.
    UCDouble const bare(4.0, nullptr);
    EXPECT_EQ(Owned(three * bare)->GetMeasurement(), nullptr);
    EXPECT_EQ(Owned(bare * three)->BaseValue(), 12.0);

    // Scaling by a plain number keeps the measurement, whatever it is.
    auto scaled = Owned(depth * 1.5);
    EXPECT_EQ(scaled->BaseValue(), 3.0);
    EXPECT_EQ(scaled->GetMeasurement(), M("Depth"));
    EXPECT_EQ(Owned(bare * 2.0)->GetMeasurement(), nullptr);
}

TEST(UCDouble, RefusesProductsWithoutADimensionlessSide) {
    orv_testing::QuantityCatalogue();
    UCDouble const depth(2.0, M("Depth"));
    UCDouble const length(1.0, M("Length"));
    UCDouble const bare(1.0, nullptr);
    EXPECT_EQ(RefusalOf([&] { delete &(depth * length); }),
              "Don't know how to multiply Depth and Length measurements");
    EXPECT_EQ(RefusalOf([&] { delete &(depth * bare); }), "Null Measurement");
    EXPECT_EQ(RefusalOf([&] { delete &(bare * depth); }), "Null Measurement");
}

TEST(UCDouble, DividesByADimensionlessValueOnly) {
    orv_testing::QuantityCatalogue();
    UCDouble const depth(3.0, M("Depth"));
    UCDouble const two(2.0);
    auto quotient = Owned(depth / two);
    EXPECT_EQ(quotient->BaseValue(), 1.5);
    EXPECT_EQ(quotient->GetMeasurement(), M("Depth"));
    EXPECT_TRUE(std::isinf(Owned(depth / UCDouble(0.0))->BaseValue()));

    EXPECT_EQ(RefusalOf([&] { delete &(depth / depth); }),
              "Don't know how to divide Depth by Depth measurement");
    EXPECT_EQ(RefusalOf([&] { delete &(two / depth); }),
              "Don't know how to divide Unitless by Depth measurement");
    EXPECT_EQ(RefusalOf([&] { delete &(depth / UCDouble(2.0, nullptr)); }),
              "Don't know how to divide Depth by a value without a measurement; the divisor "
              "needs a dimensionless measurement");
    EXPECT_EQ(RefusalOf([&] { delete &(UCDouble(2.0, nullptr) / two); }),
              "Don't know how to divide a value without a measurement; construct the dividend "
              "with a measurement");
}

// Destroying results must not disturb the cached dimension that later products rely on.
TEST(UCDouble, DestroyingResultsLeavesLaterArithmeticIntact) {
    orv_testing::QuantityCatalogue();
    UCDouble const three(3.0);
    UCDouble const depth(2.0, M("Depth"));
    for (int i = 0; i < 3; ++i) {
        delete &(three * depth);
        delete &(depth / three);
    }
    auto product = Owned(depth * three);
    EXPECT_EQ(product->BaseValue(), 6.0);
    EXPECT_EQ(product->GetMeasurement(), M("Depth"));
}

} // namespace
