#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

std::string Text(const ExactDefinition& d) {
    return d.A + " " + d.B + " " + d.C + " " + d.D;
}

// Each result is exact; composing the rounded doubles misses some of them by a place
// (0.3048 / 0.0254 gives 12.000000000000002). Units are defined as base = (A + B*x) / C.
TEST(ExactEngines, ConvertBetweenUnitsOfOneBaseWithoutRoundingTwice) {
    struct Case {
        ExactDefinition from;
        ExactDefinition to;
        double value;
        double expected;
    };
    const Case cases[] = {
        {{"0", "0.3048"}, {"0", "0.0254"}, 1.0, 12.0},                 // ft in in
        {{"0", "1609.344"}, {"0", "0.3048"}, 1.0, 5280.0},             // mi in ft
        {{"0", "0.9144"}, {"0", "0.3048"}, 1.0, 3.0},                  // yd in ft
        {{"0", "0.158987294928"}, {"0", "0.003785411784"}, 1.0, 42.0}, // bbl in galUS
        {{"273.15"}, {"459.67", "1", "1.8"}, 100.0, 212.0},            // degC in degF
        {{"273.15"}, {"459.67", "1", "1.8"}, -40.0, -40.0},
    };
    for (const Case& c : cases) {
        auto from = MakeExactEngine(c.from);
        std::unique_ptr<IUnitConverterEngine> back = MakeExactEngine(c.to)->GetInverse();
        ASSERT_EQ(back->m_eType, e_LinearEngine);
        LinearUnitConverter both(static_cast<LinearUnitConverter*>(from.get()),
                                 static_cast<LinearUnitConverter*>(back.get()));
        EXPECT_EQ(both.Convert(c.value), c.expected) << Text(c.from) << " in " << Text(c.to);
    }
}

// psi in Pa is lbf in N over in^2 in m^2: dividing the two doubles gives the double just below
// the nearest one. Likewise 1.0 / 0.3048 is not the double nearest the inverse of ft.
TEST(ExactEngines, RoundTheExactQuotientNotAQuotientOfRoundedNumbers) {
    double scale = 0.0;
    double offset = 0.0;
    auto psi = MakeExactEngine({"0", "4.4482216152605", "0.00064516", "0"});
    static_cast<LinearUnitConverter&>(*psi).GetScaleAndOffset(scale, offset);
    EXPECT_EQ(scale, std::strtod("6894.757293168361336722673445", nullptr));
    EXPECT_NE(scale, 4.4482216152605 / 0.00064516);

    std::unique_ptr<IUnitConverterEngine> mToFt = MakeExactLinear("0.3048")->GetInverse();
    EXPECT_EQ(mToFt->Convert(1.0),
              std::strtod("3.2808398950131233595800524934383202099737532808", nullptr));
    EXPECT_NE(mToFt->Convert(1.0), 1.0 / 0.3048);
}

TEST(ExactEngines, RoundEachCoefficientToNearestTiesToEven) {
    for (const char* decimal : {
             "0.1",
             "1.00000000000000011102230246251565404236316680908203125",  // 1 + 2^-53: tie, down
             "1.00000000000000033306690738754696212708950042724609375",  // 1 + 3 * 2^-53: tie, up
             "1.000000000000000111022302462515654042363166809082031251", // just above a tie
             "1e-310",                                                   // subnormal
             "4.9406564584124654e-324",                                  // smallest subnormal
             "1.7976931348623157e308",                                   // largest double
             "-2.5e-5",
         }) {
        double scale = 0.0;
        double offset = 0.0;
        MakeExactLinear(decimal)->GetScaleAndOffset(scale, offset);
        EXPECT_EQ(scale, std::strtod(decimal, nullptr)) << decimal;
    }
    // A quotient of numbers far beyond the range of double.
    EXPECT_EQ(MakeExactEngine({"0", "1e500", "1e499", "0"})->Convert(1.0), 10.0);
}

// 2^53 + 3 lies halfway between 2^53 + 2 and 2^53 + 4. Composing "x + 1e-18" with
// "x + (2^53 + 3)" gives an offset 2^-113 of its size beside that midpoint: far too close for a
// rounding in floating point to decide, so it must fall back to exact arithmetic. A wrong side
// shows as an offset off by 2, and the inverse rounds the same way, mirrored. Likewise
// 3 * 3002399751580331 is the midpoint 2^53 + 1, which rounds to the even 2^53, and one part in
// 10^18 more rounds up.
TEST(ExactEngines, RoundCompositionsThatLieWithinAHairOfATie) {
    struct Case {
        ExactDefinition first;
        ExactDefinition second;
        double scale;
        double offset;
    };
    const Case cases[] = {
        {{"1e-18"}, {"9007199254740995"}, 1.0, 9007199254740996.0},  // above the midpoint: up
        {{"0"}, {"9007199254740995"}, 1.0, 9007199254740996.0},      // on it: to the even one
        {{"-1e-18"}, {"9007199254740995"}, 1.0, 9007199254740994.0}, // below it: down
        {{"0", "3"}, {"0", "3002399751580331"}, 9007199254740992.0, 0.0},
        {{"0", "3.000000000000000003"}, {"0", "3002399751580331"}, 9007199254740994.0, 0.0},
    };
    for (const Case& c : cases) {
        auto first = MakeExactEngine(c.first);
        auto second = MakeExactEngine(c.second);
        LinearUnitConverter both(static_cast<LinearUnitConverter*>(first.get()),
                                 static_cast<LinearUnitConverter*>(second.get()));
        double scale = 0.0;
        double offset = 0.0;
        both.GetScaleAndOffset(scale, offset);
        EXPECT_EQ(scale, c.scale) << Text(c.first);
        EXPECT_EQ(offset, c.offset) << Text(c.first);
        static_cast<LinearUnitConverter&>(*both.GetInverse()).GetScaleAndOffset(scale, offset);
        EXPECT_EQ(offset, -c.offset) << Text(c.first);
    }
}

// Compiled catalogues build engines from integers, as GetExactDefinition gives them, without
// parsing: the same engines as from the decimals.
TEST(ExactEngines, BuildFromSmallIntegersAsFromDecimals) {
    struct Case {
        std::int64_t a;
        std::int64_t b;
        std::int64_t c;
        const char* scale;
        const char* offset;
    };
    const Case cases[] = {
        {0, 381, 1250, "0.3048", "0"},
        {45967, 100, 180, "0.5555555555555555555555555555555555555", "255.3722222222222222222222"},
        {-7, -3, -2, "1.5", "3.5"}, // the signs of a common factor do not matter
        {(std::int64_t{1} << 62) - 1, 1, 3, "0.33333333333333333333333333333333",
         "1537228672809129301"},
    };
    for (const Case& c : cases) {
        auto fromIntegers = MakeExactLinear(c.a, c.b, c.c);
        ExactDefinition definition;
        ASSERT_TRUE(GetExactDefinition(*fromIntegers, definition));
        auto fromDecimals = MakeExactEngine(definition);
        double scale = 0.0;
        double offset = 0.0;
        fromIntegers->GetScaleAndOffset(scale, offset);
        EXPECT_EQ(scale, std::strtod(c.scale, nullptr)) << c.b << "/" << c.c;
        EXPECT_EQ(offset, std::strtod(c.offset, nullptr)) << c.a << "/" << c.c;
        double scale2 = 0.0;
        double offset2 = 0.0;
        static_cast<LinearUnitConverter&>(*fromDecimals).GetScaleAndOffset(scale2, offset2);
        EXPECT_EQ(scale2, scale);
        EXPECT_EQ(offset2, offset);
    }
    EXPECT_THROW(MakeExactLinear(0, 0, 1), std::invalid_argument);
    EXPECT_THROW(MakeExactLinear(1, 1, 0), std::invalid_argument);
    EXPECT_THROW(MakeExactLinear(std::int64_t{1} << 62, 1, 1), std::invalid_argument);
}

// Clones, inverses and compositions of exact engines, linear or composite, have exact forms in
// lowest terms; one engine of doubles makes a composition of doubles.
TEST(ExactEngines, KeepExactnessThroughCloneInverseAndCompositionOnly) {
    std::unique_ptr<IUnitConverterEngine> ft = MakeExactLinear("0.3048")->Clone();
    std::unique_ptr<IUnitConverterEngine> mToIn = MakeExactLinear("0.0254")->GetInverse();
    LinearUnitConverter ftToIn(static_cast<LinearUnitConverter*>(ft.get()),
                               static_cast<LinearUnitConverter*>(mToIn.get()));
    CompositeUnitConverter composite(ft.get(), mToIn->Clone().release());
    std::unique_ptr<IUnitConverterEngine> single = ComposeExact(*ft, *mToIn);
    ExactDefinition definition;
    for (IUnitConverterEngine* engine :
         {static_cast<IUnitConverterEngine*>(&ftToIn),
          static_cast<IUnitConverterEngine*>(&composite), single.get()}) {
        ASSERT_TRUE(IsExact(*engine));
        ASSERT_TRUE(GetExactDefinition(*engine, definition));
        EXPECT_EQ(Text(definition), "0 12 1 0");
    }
    EXPECT_EQ(single->m_eType, e_LinearEngine);

    LinearUnitConverter doubles(0.3048, 0.0);
    LinearUnitConverter mixed(&doubles, static_cast<LinearUnitConverter*>(mToIn.get()));
    ExactDefinition untouched{"a", "b", "c", "d"};
    EXPECT_FALSE(IsExact(doubles));
    EXPECT_FALSE(GetExactDefinition(mixed, untouched));
    EXPECT_EQ(Text(untouched), "a b c d");
    EXPECT_EQ(mixed.Convert(1.0), 0.3048 * mToIn->Convert(1.0));
    EXPECT_EQ(ComposeExact(doubles, *mToIn), nullptr);
}

std::string RefusalOf(const ExactDefinition& definition) {
    try {
        MakeExactEngine(definition);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "accepted";
}

TEST(ExactEngines, RefuseTextsThatAreNotDecimals) {
    for (const std::string text : {"", "abc", "1.2.3", "1e", "1e+", ".", "-", "inf", "nan", " 1",
                                   "1 ", "0x10", "1,5", "1e5.5", "--1"}) {
        EXPECT_NE(RefusalOf({"0", text}).find("B \"" + text + "\" is not a decimal number"),
                  std::string::npos)
            << text;
    }
    for (const char* text : {"+1", ".5", "5.", "-0.0e+3", "1E-3", "007"}) {
        EXPECT_EQ(RefusalOf({text}), "accepted") << text;
    }
    EXPECT_NE(RefusalOf({"0", "1e1001"}), "accepted");
    EXPECT_NE(RefusalOf({"0", std::string(1001, '1')}), "accepted");
}

TEST(ExactEngines, RefuseDefinitionsWithoutInverseOrBeyondDouble) {
    EXPECT_EQ(RefusalOf({"5", "0", "1", "0"}),
              "exact definition (A \"5\", B \"0\", C \"1\", D \"0\"): B*C - A*D is 0, so it maps "
              "every value to one number");
    EXPECT_NE(RefusalOf({"2", "4", "1", "2"}).find("B*C - A*D is 0"), std::string::npos);
    EXPECT_EQ(RefusalOf({"0", "1e400", "1", "0"}),
              "exact definition (A \"0\", B \"1e400\", C \"1\", D \"0\"): the scale B/C is "
              "beyond the range of double");
    EXPECT_NE(RefusalOf({"0", "1e-400", "1", "0"}).find("scale B/C"), std::string::npos);
    EXPECT_NE(RefusalOf({"1e400", "1", "1", "0"}).find("offset A/C"), std::string::npos);
    EXPECT_NE(RefusalOf({"1", "1e400", "1", "1"}).find("p + q / (r + x)"), std::string::npos);
    EXPECT_THROW(RationalUnitConverter(ExactDefinition{"0", "2", "1", "0"}), std::invalid_argument);
}

} // namespace
