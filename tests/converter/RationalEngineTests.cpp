#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

// Fuel consumption on the base m^3/m = m^2: mpg is the reciprocal galUS / (mi * x).
std::unique_ptr<IUnitConverterEngine> MilesPerGallon() {
    return MakeExactEngine({"0.003785411784", "0", "0", "1609.344"});
}
// A gravity scale: specific gravity = 141.5 / (131.5 + x).
std::unique_ptr<IUnitConverterEngine> Gravity() {
    return MakeExactEngine({"141.5", "0", "131.5", "1"});
}

std::string Text(const ExactDefinition& d) {
    return d.A + " " + d.B + " " + d.C + " " + d.D;
}

// L/100km = 235.2145833... / mpg, which is 112903 / (480 x) in lowest terms. A composite of the
// two engines agrees to rounding.
TEST(RationalUnitConverter, ConvertsReciprocalUnitsThroughAnExactComposition) {
    std::unique_ptr<IUnitConverterEngine> mpg = MilesPerGallon();
    std::unique_ptr<IUnitConverterEngine> toL100 = MakeExactLinear("1e-8")->GetInverse();
    std::unique_ptr<IUnitConverterEngine> mpgToL100 = ComposeExact(*mpg, *toL100);
    ASSERT_NE(mpgToL100, nullptr);
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*mpgToL100, definition));

    EXPECT_EQ(mpg->m_eType, e_RationalEngine);
    EXPECT_EQ(mpgToL100->m_eType, e_RationalEngine);
    EXPECT_EQ(Text(definition), "112903 0 0 480");
    EXPECT_EQ(mpgToL100->Convert(25.0), 9.408583333333333);
    EXPECT_DOUBLE_EQ(CompositeUnitConverter(mpg.get(), toL100.release()).Convert(25.0),
                     9.408583333333333);
}

// x = (141.5 - 131.5 y) / y, in lowest terms with a positive denominator; composed with its
// inverse either way round, an engine is exactly the identity, and linear.
TEST(RationalUnitConverter, InverseIsExactAndOfTheSameKind) {
    std::unique_ptr<IUnitConverterEngine> gravity = Gravity();
    ASSERT_TRUE(gravity->IsInvertible());
    EXPECT_FALSE(gravity->IsUnity());
    std::unique_ptr<IUnitConverterEngine> inverse = gravity->GetInverse();
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*inverse, definition));

    EXPECT_EQ(inverse->m_eType, e_RationalEngine);
    EXPECT_EQ(Text(definition), "283 -263 0 2");
    EXPECT_EQ(gravity->Convert(10.0), 1.0);
    EXPECT_EQ(inverse->Convert(1.0), 10.0);
    for (auto make : {&MilesPerGallon, &Gravity}) {
        std::unique_ptr<IUnitConverterEngine> engine = make();
        std::unique_ptr<IUnitConverterEngine> back = engine->GetInverse();
        for (const bool engineFirst : {true, false}) {
            std::unique_ptr<IUnitConverterEngine> both =
                engineFirst ? ComposeExact(*engine, *back) : ComposeExact(*back, *engine);
            EXPECT_EQ(both->m_eType, e_LinearEngine);
            EXPECT_TRUE(both->IsUnity());
        }
    }
}

// The coefficients of p + q / (r + x); a clone and an assigned copy outlive their source.
TEST(RationalUnitConverter, ACopyConvertsLikeItsSource) {
    std::unique_ptr<IUnitConverterEngine> source = Gravity();
    RationalUnitConverter copy(ExactDefinition{"1", "0", "0", "1"});
    copy = static_cast<RationalUnitConverter&>(*source->Clone());
    source.reset();
    double p = 1.0;
    double q = 0.0;
    double r = 0.0;
    copy.GetCoefficients(p, q, r);

    EXPECT_EQ(p, 0.0);
    EXPECT_EQ(q, 141.5);
    EXPECT_EQ(r, 131.5);
    EXPECT_EQ(copy.Convert(-3.0), 141.5 / 128.5);
    EXPECT_EQ(copy.Convert(10.0f), 1.0f);
    std::vector<double> values{10.0, -3.0};
    copy.Convert(values);
    EXPECT_EQ(values, (std::vector<double>{1.0, 141.5 / 128.5}));
}

} // namespace
