#include "QuantityCatalogue.h"

#include <units/UnitSystem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
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

TEST(UCDouble, KeepsItsBaseValueAndConvertsItIntoAUnitOrTheUnitOfASystem) {
    orv_testing::QuantityCatalogue();
    EXPECT_EQ(UCDouble().GetMeasurement(), M("Unitless"));
    EXPECT_EQ(UCDouble(5.0).BaseUnit(), U("1"));
    UCDouble depth(1.0, M("Depth"));
    depth.BaseValue(3.048);
    EXPECT_EQ(depth.BaseUnit(), U("m"));
    EXPECT_DOUBLE_EQ(depth.Convert(U("ft")), 10.0);
    EXPECT_DOUBLE_EQ(depth.Convert(UnitSystem::GetUnitSystem("Imperial")), 10.0);
    EXPECT_DOUBLE_EQ(depth.Convert(UnitSystem::GetUnitSystem("Metric")), 3.048);
    Units::UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_DOUBLE_EQ(depth.Convert(), 10.0);
    EXPECT_NEAR(UCDouble(373.15, M("Temperature")).Convert(), 212.0, 1e-9);
    EXPECT_NEAR(UCDouble(1000.0, M("Power")).Convert(U("dBW")), 30.0, 1e-12);
    // Without a usable unit the conversion gives 0.
    EXPECT_EQ(depth.Convert(static_cast<Units::Unit const*>(nullptr)), 0.0);
    EXPECT_EQ(depth.Convert(static_cast<UnitSystem*>(nullptr)), 0.0);
    EXPECT_EQ(depth.Convert(U("zero")), 0.0);
}

TEST(UCDouble, EqualsAValueOfTheSameMeasurementAndBaseValueButNeverNaN) {
    UCDouble const depth(2.0, M("Depth"));
    EXPECT_TRUE(depth == UCDouble(2.0, M("Depth")));
    EXPECT_FALSE(depth != UCDouble(2.0, M("Depth")));
    EXPECT_TRUE(depth != UCDouble(2.0, M("Length"))); // the same dimension
    EXPECT_FALSE(depth.Equals(UCDouble(2.5, M("Depth"))));
    UCDouble const nan(std::numeric_limits<double>::quiet_NaN(), M("Depth"));
    EXPECT_FALSE(nan.Equals(nan) || nan == nan);
    EXPECT_TRUE(nan != nan);
}

// Every operator gives a new value, owned by the caller, and leaves its operands alone.
TEST(UCDouble, ComputesNewValuesWhoseMeasurementFollowsTheOperands) {
    UCDouble const depth(2.0, M("Depth")), half(0.5, M("Depth")), three(3.0),
        ratio(0.5, M("Ratio")), bare(4.0, nullptr);
    const struct {
        std::function<UCDouble&()> compute;
        double base;
        Units::Measurement* measurement;
    } cases[] = {
        {[&]() -> UCDouble& { return depth + half; }, 2.5, M("Depth")},
        {[&]() -> UCDouble& { return depth - half; }, 1.5, M("Depth")},
        {[&]() -> UCDouble& { return three * depth; }, 6.0, M("Depth")},
        {[&]() -> UCDouble& { return depth * three; }, 6.0, M("Depth")},
        {[&]() -> UCDouble& { return depth / UCDouble(4.0); }, 0.5, M("Depth")},
        {[&]() -> UCDouble& { return depth * 1.5; }, 3.0, M("Depth")},
        // Both dimensionless: the right operand's measurement wins.
        {[&]() -> UCDouble& { return three * ratio; }, 1.5, M("Ratio")},
        {[&]() -> UCDouble& { return ratio * three; }, 1.5, M("Unitless")},
        // A left operand without a measurement adds to anything; it scales by a dimensionless.
        {[&]() -> UCDouble& { return bare + depth; }, 6.0, nullptr},
        {[&]() -> UCDouble& { return bare - depth; }, 2.0, nullptr},
        {[&]() -> UCDouble& { return three * bare; }, 12.0, nullptr},
        {[&]() -> UCDouble& { return bare * three; }, 12.0, nullptr},
        {[&]() -> UCDouble& { return bare * 0.5; }, 2.0, nullptr},
    };
    for (const auto& c : cases) {
        auto first = Owned(c.compute());
        auto second = Owned(c.compute());
        EXPECT_NE(first.get(), second.get());
        EXPECT_EQ(first->BaseValue(), c.base);
        EXPECT_EQ(first->GetMeasurement(), c.measurement) << c.base;
    }
    EXPECT_EQ(depth.BaseValue(), 2.0);
    EXPECT_TRUE(std::isinf(Owned(depth / UCDouble(0.0))->BaseValue()));
    // Destroying results must not disturb the cached dimension that later products rely on.
    EXPECT_EQ(Owned(depth * three)->GetMeasurement(), M("Depth"));
}

TEST(UCDouble, RefusesOperandsItCannotCombineNamingTheirMeasurements) {
    UCDouble const depth(2.0, M("Depth")), length(1.0, M("Length")), two(2.0), bare(1.0, nullptr);
    const std::pair<std::function<void()>, const char*> refusals[] = {
        {[&] { bare.BaseUnit(); },
         "A value without a measurement has no base unit; construct it with a measurement to "
         "read it in units"},
        {[&] { delete &(depth + length); },
         "Attempting to add values of Depth and Length measurements"},
        {[&] { delete &(length - depth); },
         "Attempting to subtract values of Length and Depth measurements"},
        {[&] { delete &(depth + bare); },
         "Attempting to add a value without a measurement to a value of Depth measurement; both "
         "values need the same measurement"},
        {[&] { delete &(depth - bare); },
         "Attempting to subtract a value without a measurement from a value of Depth "
         "measurement; both values need the same measurement"},
        {[&] { delete &(depth * length); },
         "Don't know how to multiply Depth and Length measurements"},
        {[&] { delete &(depth * bare); }, "Null Measurement"},
        {[&] { delete &(bare * depth); }, "Null Measurement"},
        {[&] { delete &(depth / depth); }, "Don't know how to divide Depth by Depth measurement"},
        {[&] { delete &(two / depth); }, "Don't know how to divide Unitless by Depth measurement"},
        {[&] { delete &(depth / bare); },
         "Don't know how to divide Depth by a value without a measurement; the divisor needs a "
         "dimensionless measurement"},
        {[&] { delete &(bare / two); },
         "Don't know how to divide a value without a measurement; construct the dividend with a "
         "measurement"},
    };
    for (const auto& [action, message] : refusals) {
        EXPECT_EQ(RefusalOf(action), message);
    }
}

} // namespace
