// Engines made from exact definitions: each double they use is the one nearest its exact value.
#include "OrvTesting.h"

#include <units/converter/ExactEngines.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

std::string Text(const ExactDefinition& d) {
    return d.A + " " + d.B + " " + d.C + " " + d.D;
}

// The first composed with the inverse of the second, as a converter composes units.
std::unique_ptr<LinearUnitConverter> Between(const ExactDefinition& from,
                                             const ExactDefinition& to) {
    auto first = MakeExactEngine(from);
    auto back = MakeExactEngine(to)->GetInverse();
    return std::make_unique<LinearUnitConverter>(static_cast<LinearUnitConverter*>(first.get()),
                                                 static_cast<LinearUnitConverter*>(back.get()));
}

// Not a quotient of rounded numbers: 4.4482216152605 / 0.00064516 (psi in Pa) would be a place
// off; random definitions are checked so in the exactness tests. 2^53 + 3 lies halfway between
// 2^53 + 2 and 2^53 + 4, and 1 + 2^-53 halfway between 1 and the next double.
TEST(ExactEngines, RoundEachCoefficientOnceToTheNearestDoubleTiesToEven) {
    struct Case {
        ExactDefinition from, to;
        const char* scale;
        const char* offset;
    };
    const Case cases[] = {
        {{"0", "4.4482216152605"}, {"0", "0.00064516"}, "6894.757293168361336722673445", "0"},
        {{"273.15"}, {"459.67", "1", "1.8"}, "1.8", "32"}, // degC in degF
        {{"0", "1e500", "1e499"}, {}, "10", "0"},          // far beyond the range of double
        {{"9007199254740995"}, {}, "1", "9007199254740996"},
        {{"9007199254740995.000000000000000001"}, {}, "1", "9007199254740996"},
        {{"9007199254740994.999999999999999999"}, {}, "1", "9007199254740994"},
        {{"0", "1.00000000000000011102230246251565404236316680908203125"}, {}, "1", "0"},
        {{"0", "1.00000000000000033306690738754696212708950042724609375"},
         {},
         "1.0000000000000004440892098500626",
         "0"},
        {{"0", "1e-310"}, {}, "1e-310", "0"},                                   // subnormal
        {{"0", "4.9406564584124654e-324"}, {}, "4.9406564584124654e-324", "0"}, // the smallest
        {{"0", "1.7976931348623157e308"}, {}, "1.7976931348623157e308", "0"},   // the largest
    };
    for (const Case& c : cases) {
        double scale = 0.0;
        double offset = 0.0;
        Between(c.from, c.to)->GetScaleAndOffset(scale, offset);
        EXPECT_EQ(scale, std::strtod(c.scale, nullptr)) << Text(c.from) << " in " << Text(c.to);
        EXPECT_EQ(offset, std::strtod(c.offset, nullptr)) << Text(c.from) << " in " << Text(c.to);
    }
}

// One rounding of the exact map where scale * x + offset in doubles would round twice: 32.01
// degF is 0.00555555555555445 degC, not 0.005555555555552871, 1820 places off. An engine of
// doubles rounds the exact map of its own doubles: 0.1 * 7 + 0.2 gives 0.9, not
// 0.9000000000000001. A float is the float nearest the exact value, not the float nearest the
// nearest double: 1 + 2^-24 + 2^-60 lies just above the midpoint between 1 and the next float,
// and its nearest double is that midpoint.
TEST(ExactEngines, ConvertEachValueWithOneRounding) {
    EXPECT_EQ(Between({"2298.35", "5", "9"}, {"273.15"})->Convert(32.01), 0.00555555555555445);
    EXPECT_EQ(LinearUnitConverter(0.1, 0.2).Convert(7.0), 0.9);
    auto justAbove =
        MakeExactLinear("1.000000059604644776257986737988403547205962240695953369140625");
    const float next = std::nextafter(1.0f, 2.0f);
    std::vector<float> ones(20, 1.0f);
    justAbove->Convert(ones);
    EXPECT_EQ(justAbove->Convert(1.0f), next);
    EXPECT_EQ(ones, std::vector<float>(20, next));
}

// A product beyond the doubles is the infinity of its own sign, also where the scale's low part
// has the other sign and its product with the value overflows on its own: 5 * 2^59 / 7, 10^30
// and 10^30 with an offset lie above their doubles. Single values, and vectors of the two lengths
// that the loops take in different ways, alike.
TEST(ExactEngines, OverflowToTheInfinityOfTheProductsSign) {
    const std::unique_ptr<LinearUnitConverter> engines[] = {
        MakeExactLinear(0, 5 * (std::int64_t{1} << 59), 7), MakeExactLinear("1e30"),
        MakeExactLinear("1e30", "1")};
    for (const auto& engine : engines) {
        for (const double x : {1e308, -1.4414576026928965e304, -1.7976931348623157e308}) {
            const double infinity = std::copysign(HUGE_VAL, x);
            EXPECT_EQ(engine->Convert(x), infinity) << x;
            for (const std::size_t count : {64, 300000}) {
                std::vector<double> values(count, x);
                engine->Convert(values);
                EXPECT_EQ(values.front(), infinity) << x << " in " << count;
                EXPECT_EQ(values.back(), infinity) << x << " in " << count;
            }
        }
    }
}

// Compiled catalogues build engines from integers, as GetExactDefinition gives them.
TEST(ExactEngines, BuildFromSmallIntegersInLowestTerms) {
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*MakeExactLinear(-14, -6, -4), definition));
    EXPECT_EQ(Text(definition), "7 3 2 0");
    EXPECT_EQ(MakeExactLinear(0, 381, 1250)->Convert(1.0), 0.3048);
    const auto refusal = [](std::int64_t a, std::int64_t b, std::int64_t c) {
        return orv_testing::MessageOf<std::invalid_argument>([&] { MakeExactLinear(a, b, c); });
    };
    EXPECT_EQ(refusal(0, 0, 1), "exact definition (A 0, B 0, C 1): B and C must not be 0");
    EXPECT_EQ(refusal(1, 1, 0), "exact definition (A 1, B 1, C 0): B and C must not be 0");
    EXPECT_EQ(refusal(-(std::int64_t{1} << 62), 1, 1),
              "exact definition (A -4611686018427387904, B 1, C 1): an integer is 2^62 or more in "
              "magnitude");
}

// Clones and composites of exact engines have exact forms in lowest terms (folds, inverses and
// exact compositions of random definitions are checked so in the exactness tests); one engine of
// doubles makes a composition of doubles.
TEST(ExactEngines, KeepExactnessThroughCloneInverseAndCompositionOnly) {
    std::unique_ptr<IUnitConverterEngine> ft = MakeExactLinear("0.3048")->Clone();
    std::unique_ptr<IUnitConverterEngine> mToIn = MakeExactLinear("0.0254")->GetInverse();
    CompositeUnitConverter composite(ft.get(), mToIn->Clone().release());
    ExactDefinition definition;
    ASSERT_TRUE(IsExact(*ft));
    ASSERT_TRUE(GetExactDefinition(composite, definition));
    EXPECT_EQ(Text(definition), "0 12 1 0");

    LinearUnitConverter doubles(0.3048, 0.0);
    LinearUnitConverter mixed(&doubles, static_cast<LinearUnitConverter*>(mToIn.get()));
    ExactDefinition untouched{"a", "b", "c", "d"};
    EXPECT_FALSE(IsExact(doubles));
    EXPECT_FALSE(GetExactDefinition(mixed, untouched));
    EXPECT_EQ(Text(untouched), "a b c d");
    EXPECT_EQ(ComposeExact(doubles, *mToIn), nullptr);
}

std::string RefusalOf(const ExactDefinition& definition) {
    return orv_testing::MessageOf<std::invalid_argument>([&] { MakeExactEngine(definition); });
}

// The factories and the checks a catalogue reader makes read decimals alike.
TEST(ExactEngines, ReadOnlyDecimalsWithinTheirLimits) {
    for (const std::string& text : std::vector<std::string>{
             "", "abc", "1.2.3", "1e", "1e+", ".", "-", "inf", "nan", " 1", "1 ", "0x10", "1,5",
             "1e5.5", "--1", "1e1001", std::string(1001, '1')}) {
        EXPECT_FALSE(IsExactDecimal(text)) << text;
        EXPECT_NE(RefusalOf({"0", text}).find("B \"" + text + "\" "), std::string::npos) << text;
    }
    for (const std::string& text : std::vector<std::string>{
             "+1", ".5", "5.", "-0.0e+3", "1E-3", "007", "1e-1000", "0." + std::string(999, '9')}) {
        EXPECT_TRUE(IsExactDecimal(text)) << text;
        EXPECT_EQ(RefusalOf({text}), "(nothing thrown)") << text;
    }
    EXPECT_EQ(RefusalOf({"0", "1.5e"}), "exact definition (A \"0\", B \"1.5e\", C \"1\", D \"0\"): "
                                        "B \"1.5e\" is not a decimal number");
    EXPECT_EQ(RefusalOf({"0", "1e1001"}),
              "exact definition (A \"0\", B \"1e1001\", C \"1\", D \"0\"): B \"1e1001\" has more "
              "than 1000 digits or an exponent beyond 1000");
}

TEST(ExactEngines, TellIdentityInvertibleAndConstantMapsApart) {
    const std::pair<ExactDefinition, std::optional<ExactMapKind>> cases[] = {
        {{"0", "1.0", "1e0", "0.0"}, ExactMapKind::e_Identity},
        {{"0", "-2", "-2", "0"}, ExactMapKind::e_Identity},
        {{"0", "0.001"}, ExactMapKind::e_Invertible},
        {{"2", "4", "1", "2"}, ExactMapKind::e_Constant},
        {{"0", "0", "0", "0"}, ExactMapKind::e_Constant},
        {{"0", "1", "1x", "0"}, std::nullopt},
    };
    for (const auto& [definition, kind] : cases) {
        EXPECT_EQ(ClassifyExactDefinition(definition), kind) << Text(definition);
    }
}

TEST(ExactEngines, RefuseDefinitionsWithoutInverseOrBeyondDouble) {
    EXPECT_EQ(RefusalOf({"5", "0", "1", "0"}),
              "exact definition (A \"5\", B \"0\", C \"1\", D \"0\"): B*C - A*D is 0, so it maps "
              "every value to one number");
    EXPECT_EQ(RefusalOf({"0", "1e400", "1", "0"}),
              "exact definition (A \"0\", B \"1e400\", C \"1\", D \"0\"): the scale B/C is "
              "beyond the range of double");
    EXPECT_NE(RefusalOf({"0", "1e-400", "1", "0"}).find("scale B/C"), std::string::npos);
    EXPECT_NE(RefusalOf({"1e400", "1", "1", "0"}).find("offset A/C"), std::string::npos);
    EXPECT_NE(RefusalOf({"1", "1e400", "1", "1"}).find("p + q / (r + x)"), std::string::npos);
    EXPECT_EQ(orv_testing::MessageOf<std::invalid_argument>([] {
                  RationalUnitConverter(ExactDefinition{"0", "2", "1", "0"});
              }),
              "exact definition (A \"0\", B \"2\", C \"1\", D \"0\"): D is 0, which makes a "
              "linear engine; use MakeExactEngine");
}

} // namespace
