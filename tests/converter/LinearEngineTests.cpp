#include <units/converter/Engines.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

using Orv::Pim::Core::Service::Units::Converter::e_LinearEngine;
using Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine;
using Orv::Pim::Core::Service::Units::Converter::LinearUnitConverter;

// Scale before offset: (x + offset) * scale would give other numbers; and second(first(x)), not
// first(second(x)), for a composition.
TEST(LinearUnitConverter, AppliesScaleThenOffsetAndComposesFirstThenSecond) {
    LinearUnitConverter first(2.0, 1.0);
    LinearUnitConverter second(10.0, 5.0);
    LinearUnitConverter both(&first, &second);

    EXPECT_EQ(first.m_eType, e_LinearEngine);
    EXPECT_EQ(first.Convert(3.0), 7.0);
    EXPECT_EQ(both.Convert(3.0), 75.0);
    double scale = 0.0;
    double offset = 0.0;
    both.GetScaleAndOffset(scale, offset);
    EXPECT_EQ(scale, 20.0);
    EXPECT_EQ(offset, 15.0);
    EXPECT_EQ(second.Convert(3.0), 35.0); // the parts are untouched
}

TEST(LinearUnitConverter, InvertsOnlyAFiniteNonZeroScale) {
    LinearUnitConverter degCToDegF(1.8, 32.0);
    std::unique_ptr<IUnitConverterEngine> inverse = degCToDegF.GetInverse();
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(inverse->m_eType, e_LinearEngine);
    EXPECT_DOUBLE_EQ(inverse->Convert(212.0), 100.0);
    for (double x : {-1e6, -40.0, 0.0, 0.1, 7e9}) {
        EXPECT_NEAR(inverse->Convert(degCToDegF.Convert(x)), x, 1e-12 * (1.0 + std::fabs(x)));
    }

    const double inf = std::numeric_limits<double>::infinity();
    for (double scale : {0.0, -0.0, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
        LinearUnitConverter flat(scale, 1.0);
        EXPECT_FALSE(flat.IsInvertible()) << scale;
        EXPECT_EQ(flat.GetInverse(), nullptr) << scale;
    }
    EXPECT_TRUE(LinearUnitConverter(1e-300, 0.0).IsInvertible());
    EXPECT_TRUE(LinearUnitConverter(-2.0, 0.0).IsInvertible());
}

TEST(LinearUnitConverter, IsUnityOnlyForScaleOneAndNoOffset) {
    EXPECT_TRUE(LinearUnitConverter(1.0, 0.0).IsUnity());
    EXPECT_TRUE(LinearUnitConverter(1.0, -0.0).IsUnity());
    EXPECT_FALSE(LinearUnitConverter(1.0, 1e-300).IsUnity());
    EXPECT_FALSE(LinearUnitConverter(1.0000000000000002, 0.0).IsUnity());
}

// Floats are worked in single precision. (Vectors are compared with single values in
// VectorLoopTests.cpp.)
TEST(LinearUnitConverter, ACloneConvertsFloatsInSinglePrecision) {
    auto source = std::make_unique<LinearUnitConverter>(1.8, 32.0);
    std::unique_ptr<IUnitConverterEngine> engine = source->Clone();
    source.reset();

    EXPECT_EQ(engine->Convert(37.0), 1.8 * 37.0 + 32.0);
    EXPECT_EQ(engine->Convert(37.0f), 1.8f * 37.0f + 32.0f);
    std::vector<float> floats{-40.0f, 37.0f, 100.0f};
    engine->Convert(floats);
    EXPECT_EQ(floats, (std::vector<float>{-40.0f, 1.8f * 37.0f + 32.0f, 212.0f}));
}

} // namespace
