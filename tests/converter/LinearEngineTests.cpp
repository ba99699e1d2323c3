#include <units/interfaces/ConverterEngine.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

using Orv::Pim::Core::Service::Units::Converter::e_LinearEngine;
using Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine;
using Orv::Pim::Core::Service::Units::Converter::LinearUnitConverter;

TEST(LinearUnitConverter, AppliesScaleThenOffset) {
    LinearUnitConverter degFToK(5.0 / 9.0, 255.3722222222222);
    EXPECT_EQ(degFToK.m_eType, e_LinearEngine);
    EXPECT_DOUBLE_EQ(degFToK.Convert(32.0), 273.15);
    // Scale before offset: (x + offset) * scale would give a very different number.
    LinearUnitConverter engine(2.0, 3.0);
    EXPECT_EQ(engine.Convert(10.0), 23.0);
    double scale = 0.0;
    double offset = 0.0;
    engine.GetScaleAndOffset(scale, offset);
    EXPECT_EQ(scale, 2.0);
    EXPECT_EQ(offset, 3.0);
}

TEST(LinearUnitConverter, ComposesFirstThenSecond) {
    LinearUnitConverter first(2.0, 1.0);
    LinearUnitConverter second(10.0, 5.0);
    LinearUnitConverter both(&first, &second);
    // second(first(3)) = 10 * 7 + 5; the other order would give 2 * 35 + 1.
    EXPECT_EQ(both.Convert(3.0), 75.0);
    double scale = 0.0;
    double offset = 0.0;
    both.GetScaleAndOffset(scale, offset);
    EXPECT_EQ(scale, 20.0);
    EXPECT_EQ(offset, 15.0);
    // The composition copied what it needed: the parts are untouched.
    EXPECT_EQ(first.Convert(3.0), 7.0);
    EXPECT_EQ(second.Convert(3.0), 35.0);
}

TEST(LinearUnitConverter, InverseUndoesTheConversion) {
    LinearUnitConverter degCToDegF(1.8, 32.0);
    std::unique_ptr<IUnitConverterEngine> inverse = degCToDegF.GetInverse();
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(inverse->m_eType, e_LinearEngine);
    EXPECT_DOUBLE_EQ(inverse->Convert(212.0), 100.0);
    EXPECT_DOUBLE_EQ(inverse->Convert(-40.0), -40.0);
    for (double x : {-1e6, -3.25, 0.0, 0.1, 42.0, 7e9}) {
        EXPECT_NEAR(inverse->Convert(degCToDegF.Convert(x)), x, 1e-12 * (1.0 + std::fabs(x)));
    }
}

TEST(LinearUnitConverter, RefusesToInvertAZeroOrNonFiniteScale) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double scale : {0.0, -0.0, inf, -inf, nan}) {
        LinearUnitConverter engine(scale, 1.0);
        EXPECT_FALSE(engine.IsInvertible()) << scale;
        EXPECT_EQ(engine.GetInverse(), nullptr) << scale;
    }
    LinearUnitConverter tiny(1e-300, 0.0);
    EXPECT_TRUE(tiny.IsInvertible());
    LinearUnitConverter negative(-2.0, 0.0);
    EXPECT_TRUE(negative.IsInvertible());
}

TEST(LinearUnitConverter, IsUnityOnlyForScaleOneAndNoOffset) {
    EXPECT_TRUE(LinearUnitConverter(1.0, 0.0).IsUnity());
    EXPECT_TRUE(LinearUnitConverter(1.0, -0.0).IsUnity());
    EXPECT_FALSE(LinearUnitConverter(1.0, 1e-300).IsUnity());
    EXPECT_FALSE(LinearUnitConverter(1.0000000000000002, 0.0).IsUnity());
    EXPECT_FALSE(LinearUnitConverter(0.0, 0.0).IsUnity());
}

TEST(LinearUnitConverter, CloneOutlivesItsSource) {
    auto source = std::make_unique<LinearUnitConverter>(0.3048, 0.0);
    std::unique_ptr<IUnitConverterEngine> clone = source->Clone();
    source.reset();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->m_eType, e_LinearEngine);
    EXPECT_EQ(clone->Convert(10.0), 0.3048 * 10.0);
}

TEST(LinearUnitConverter, ConvertsVectorsInPlaceLikeSingleValues) {
    LinearUnitConverter engine(0.3048, -1.5);
    std::vector<double> values;
    for (int i = 0; i < 37; ++i) { // odd length: covers the tail after any vector chunks
        values.push_back(i * 1.25 - 20.0);
    }
    const std::vector<double> original = values;
    engine.Convert(values);
    ASSERT_EQ(values.size(), original.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i], engine.Convert(original[i])) << i;
    }
    std::vector<double> empty;
    engine.Convert(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(LinearUnitConverter, FloatFormsWorkInSinglePrecision) {
    LinearUnitConverter engine(1.8, 32.0);
    EXPECT_EQ(engine.Convert(100.0f), 1.8f * 100.0f + 32.0f);
    std::vector<float> values{-40.0f, 0.0f, 37.0f, 100.0f};
    engine.Convert(values);
    EXPECT_EQ(values, (std::vector<float>{-40.0f, 32.0f, 1.8f * 37.0f + 32.0f, 212.0f}));
}

} // namespace
