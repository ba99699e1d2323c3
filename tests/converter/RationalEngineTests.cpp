#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

// Fuel consumption on the base m^3/m = m^2: L/100km is linear, mpg its reciprocal.
std::unique_ptr<IUnitConverterEngine> LitresPer100Km() {
    return MakeExactLinear("1e-8");
}
std::unique_ptr<IUnitConverterEngine> MilesPerGallon() {
    return MakeExactEngine({"0.003785411784", "0", "0", "1609.344"}); // galUS / (mi * x)
}
// A gravity scale: specific gravity = 141.5 / (131.5 + x).
std::unique_ptr<IUnitConverterEngine> Gravity() {
    return MakeExactEngine({"141.5", "0", "131.5", "1"});
}

TEST(RationalUnitConverter, ConvertsReciprocalUnits) {
    std::unique_ptr<IUnitConverterEngine> mpg = MilesPerGallon();
    ASSERT_EQ(mpg->m_eType, e_RationalEngine);
    std::unique_ptr<IUnitConverterEngine> toL100 = LitresPer100Km()->GetInverse();
    std::unique_ptr<IUnitConverterEngine> mpgToL100 = ComposeExact(*mpg, *toL100);
    ASSERT_NE(mpgToL100, nullptr);
    EXPECT_EQ(mpgToL100->m_eType, e_RationalEngine);
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*mpgToL100, definition));
    // L/100km = 235.2145833... / mpg, which is 112903 / (480 x) in lowest terms.
    EXPECT_EQ(definition.A, "112903");
    EXPECT_EQ(definition.B, "0");
    EXPECT_EQ(definition.C, "0");
    EXPECT_EQ(definition.D, "480");
    EXPECT_EQ(mpgToL100->Convert(25.0), 9.408583333333333);

    // The same conversion through a composite of the two engines agrees to rounding.
    CompositeUnitConverter composite(mpg.get(), toL100->Clone().release());
    EXPECT_DOUBLE_EQ(composite.Convert(25.0), 9.408583333333333);
}

TEST(RationalUnitConverter, InverseIsExactAndOfTheSameKind) {
    std::unique_ptr<IUnitConverterEngine> gravity = Gravity();
    EXPECT_EQ(gravity->Convert(10.0), 1.0);
    ASSERT_TRUE(gravity->IsInvertible());
    EXPECT_FALSE(gravity->IsUnity());
    std::unique_ptr<IUnitConverterEngine> inverse = gravity->GetInverse();
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(inverse->m_eType, e_RationalEngine);
    EXPECT_EQ(inverse->Convert(1.0), 10.0);
    // x = (141.5 - 131.5 y) / y in lowest terms, denominator positive.
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*inverse, definition));
    EXPECT_EQ(definition.A, "283");
    EXPECT_EQ(definition.B, "-263");
    EXPECT_EQ(definition.C, "0");
    EXPECT_EQ(definition.D, "2");
    for (double x : {-100.0, -3.5, 0.0, 12.25, 60.0}) {
        EXPECT_NEAR(inverse->Convert(gravity->Convert(x)), x, 1e-12 * (1.0 + x * x));
    }
}

TEST(RationalUnitConverter, ComposedWithItsInverseIsExactlyUnity) {
    for (auto make : {&MilesPerGallon, &Gravity}) {
        std::unique_ptr<IUnitConverterEngine> engine = make();
        std::unique_ptr<IUnitConverterEngine> inverse = engine->GetInverse();
        std::unique_ptr<IUnitConverterEngine> both = ComposeExact(*engine, *inverse);
        ASSERT_NE(both, nullptr);
        EXPECT_EQ(both->m_eType, e_LinearEngine);
        EXPECT_TRUE(both->IsUnity());
        both = ComposeExact(*inverse, *engine);
        EXPECT_TRUE(both->IsUnity());
    }
}

TEST(RationalUnitConverter, ConvertsVectorsAndFloatsLikeSingleValues) {
    std::unique_ptr<IUnitConverterEngine> gravity = Gravity();
    auto& rational = static_cast<RationalUnitConverter&>(*gravity);
    double p = 1.0;
    double q = 0.0;
    double r = 0.0;
    rational.GetCoefficients(p, q, r);
    EXPECT_EQ(p, 0.0);
    EXPECT_EQ(q, 141.5);
    EXPECT_EQ(r, 131.5);

    std::vector<double> values;
    for (int i = 0; i < 35; ++i) {
        values.push_back(i * 3.0 - 40.0);
    }
    const std::vector<double> original = values;
    gravity->Convert(values);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i], gravity->Convert(original[i])) << i;
    }
    EXPECT_EQ(gravity->Convert(10.0f), 1.0f);
    std::vector<float> floats{10.0f, -131.5f + 141.5f};
    gravity->Convert(floats);
    EXPECT_EQ(floats, (std::vector<float>{1.0f, 1.0f}));
}

TEST(RationalUnitConverter, CloneOutlivesItsSource) {
    std::unique_ptr<IUnitConverterEngine> source = Gravity();
    std::unique_ptr<IUnitConverterEngine> clone = source->Clone();
    source.reset();
    EXPECT_EQ(clone->m_eType, e_RationalEngine);
    EXPECT_EQ(clone->Convert(10.0), 1.0);
    EXPECT_EQ(clone->GetInverse()->Convert(1.0), 10.0);
    RationalUnitConverter copy(ExactDefinition{"1", "0", "0", "1"});
    copy = static_cast<RationalUnitConverter&>(*clone);
    clone.reset();
    EXPECT_EQ(copy.Convert(10.0), 1.0);
}

} // namespace
