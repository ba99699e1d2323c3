#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

std::unique_ptr<LinearUnitConverter> Linear(const std::string& scale,
                                            const std::string& offset = "0") {
    return MakeExactLinear(scale, offset);
}

// The coefficients of the engine that converts a value in `from` into `to`, both defined on one
// base, composed the way a converter between two units composes them.
void FromUnitToUnit(LinearUnitConverter& from, LinearUnitConverter& to, double& scale,
                    double& offset) {
    std::unique_ptr<IUnitConverterEngine> back = to.GetInverse();
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->m_eType, e_LinearEngine);
    LinearUnitConverter both(&from, static_cast<LinearUnitConverter*>(back.get()));
    both.GetScaleAndOffset(scale, offset);
}

double Nearest(const char* decimal) {
    return std::strtod(decimal, nullptr);
}

TEST(ExactEngines, ConvertBetweenUnitsOfOneBaseWithoutRoundingTwice) {
    struct Case {
        const char* from;
        const char* to;
        double scale;
    };
    // Each scale is an exact integer; composing the rounded doubles misses some of them by a
    // place (0.3048 / 0.0254 gives 12.000000000000002).
    const Case cases[] = {
        {"0.3048", "0.0254", 12.0},                // ft in in
        {"1609.344", "0.3048", 5280.0},            // mi in ft
        {"0.9144", "0.3048", 3.0},                 // yd in ft
        {"0.158987294928", "0.003785411784", 42.0} // bbl in galUS
    };
    for (const Case& c : cases) {
        auto from = Linear(c.from);
        auto to = Linear(c.to);
        double scale = 0.0;
        double offset = 1.0;
        FromUnitToUnit(*from, *to, scale, offset);
        EXPECT_EQ(scale, c.scale) << c.from << " in " << c.to;
        EXPECT_EQ(offset, 0.0) << c.from << " in " << c.to;
    }
}

TEST(ExactEngines, ConvertOffsetUnitsExactly) {
    auto degC = Linear("1", "273.15");
    auto degF = MakeExactEngine({"459.67", "1", "1.8", "0"}); // K = (degF + 459.67) / 1.8
    ASSERT_EQ(degF->m_eType, e_LinearEngine);
    double scale = 0.0;
    double offset = 0.0;
    FromUnitToUnit(*degC, static_cast<LinearUnitConverter&>(*degF), scale, offset);
    EXPECT_EQ(scale, 1.8);
    EXPECT_EQ(offset, 32.0);
    EXPECT_EQ(scale * 100.0 + offset, 212.0);
    EXPECT_EQ(scale * -40.0 + offset, -40.0);
}

TEST(ExactEngines, RoundTheExactQuotientNotAQuotientOfRoundedNumbers) {
    // psi in Pa is lbf in N over in^2 in m^2. Dividing the two doubles gives the double just
    // below the nearest one.
    auto psi = MakeExactEngine({"0", "4.4482216152605", "0.00064516", "0"});
    double scale = 0.0;
    double offset = 0.0;
    static_cast<LinearUnitConverter&>(*psi).GetScaleAndOffset(scale, offset);
    EXPECT_EQ(scale, Nearest("6894.757293168361336722673445"));
    EXPECT_NE(scale, 4.4482216152605 / 0.00064516);

    // Likewise the inverse of ft is the double nearest 1 / 0.3048, which 1.0 / 0.3048 is not.
    std::unique_ptr<IUnitConverterEngine> mToFt = Linear("0.3048")->GetInverse();
    EXPECT_EQ(mToFt->Convert(1.0), Nearest("3.2808398950131233595800524934383202099737532808"));
    EXPECT_NE(mToFt->Convert(1.0), 1.0 / 0.3048);
}

TEST(ExactEngines, RoundEachCoefficientToNearestTiesToEven) {
    const char* decimals[] = {
        "0.1",
        "1.00000000000000011102230246251565404236316680908203125",  // 1 + 2^-53: tie, down
        "1.00000000000000033306690738754696212708950042724609375",  // 1 + 3 * 2^-53: tie, up
        "1.000000000000000111022302462515654042363166809082031251", // just above a tie
        "1e-310",                                                   // subnormal
        "4.9406564584124654e-324",                                  // smallest subnormal
        "1.7976931348623157e308",                                   // largest double
        "-2.5e-5",
    };
    for (const char* decimal : decimals) {
        double scale = 0.0;
        double offset = 0.0;
        Linear(decimal)->GetScaleAndOffset(scale, offset);
        EXPECT_EQ(scale, Nearest(decimal)) << decimal;
    }
    // A quotient of numbers far beyond the range of double.
    auto big = MakeExactEngine({"0", "1e500", "1e499", "0"});
    EXPECT_EQ(big->Convert(1.0), 10.0);
}

TEST(ExactEngines, RoundCompositionsThatLieWithinAHairOfATie) {
    // 2^53 + 3 lies halfway between 2^53 + 2 and 2^53 + 4. Composing "x + 1e-18" with
    // "x + (2^53 + 3)" gives an offset 2^-113 of its size beside that midpoint: far too close
    // for the quick floating-point rounding to decide, so it must fall back to exact arithmetic.
    // A wrong side shows as an offset off by 2.
    struct Case {
        const char* nudge;
        double offset;
    };
    const Case cases[] = {
        {"1e-18", 9007199254740996.0},  // above the midpoint: up
        {"0", 9007199254740996.0},      // on it: to the even neighbour, up here
        {"-1e-18", 9007199254740994.0}, // below it: down
    };
    auto shift = Linear("1", "9007199254740995");
    for (const Case& c : cases) {
        auto nudge = Linear("1", c.nudge);
        LinearUnitConverter both(nudge.get(), shift.get());
        double scale = 0.0;
        double offset = 0.0;
        both.GetScaleAndOffset(scale, offset);
        EXPECT_EQ(scale, 1.0) << c.nudge;
        EXPECT_EQ(offset, c.offset) << c.nudge;
        // The inverse rounds -(2^53 + 3 + nudge) the same way, mirrored.
        std::unique_ptr<IUnitConverterEngine> back = both.GetInverse();
        static_cast<LinearUnitConverter&>(*back).GetScaleAndOffset(scale, offset);
        EXPECT_EQ(offset, -c.offset) << c.nudge;
    }
    // Scales: 3 * 3002399751580331 is the midpoint 2^53 + 1, which rounds to the even 2^53; one
    // part in 10^18 more rounds up to 2^53 + 2.
    auto three = Linear("3");
    auto tie = Linear("3002399751580331");
    LinearUnitConverter onTie(three.get(), tie.get());
    EXPECT_EQ(onTie.Convert(1.0), 9007199254740992.0);
    auto above = Linear("3.000000000000000003");
    LinearUnitConverter aboveTie(above.get(), tie.get());
    EXPECT_EQ(aboveTie.Convert(1.0), 9007199254740994.0);
}

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
        EXPECT_EQ(scale, Nearest(c.scale)) << c.b << "/" << c.c;
        EXPECT_EQ(offset, Nearest(c.offset)) << c.a << "/" << c.c;
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

TEST(ExactEngines, KeepExactnessThroughCloneInverseAndComposition) {
    auto ft = Linear("0.3048");
    auto in = Linear("0.0254");
    std::unique_ptr<IUnitConverterEngine> clone = ft->Clone();
    ft.reset();
    std::unique_ptr<IUnitConverterEngine> mToIn = in->GetInverse();
    ASSERT_TRUE(IsExact(*clone));
    ASSERT_TRUE(IsExact(*mToIn));
    LinearUnitConverter ftToIn(static_cast<LinearUnitConverter*>(clone.get()),
                               static_cast<LinearUnitConverter*>(mToIn.get()));
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(ftToIn, definition));
    EXPECT_EQ(definition.A, "0");
    EXPECT_EQ(definition.B, "12");
    EXPECT_EQ(definition.C, "1");
    EXPECT_EQ(definition.D, "0");

    // A composite of exact engines has an exact form too.
    CompositeUnitConverter composite(clone.get(), in->GetInverse().release());
    ASSERT_TRUE(GetExactDefinition(composite, definition));
    EXPECT_EQ(definition.B, "12");
    std::unique_ptr<IUnitConverterEngine> single = ComposeExact(*clone, *mToIn);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->m_eType, e_LinearEngine);
    EXPECT_EQ(single->Convert(1.0), 12.0);
}

TEST(ExactEngines, LeaveEnginesOfDoublesAsTheyWere) {
    LinearUnitConverter ft(0.3048, 0.0);
    LinearUnitConverter in(0.0254, 0.0);
    EXPECT_FALSE(IsExact(ft));
    ExactDefinition untouched{"a", "b", "c", "d"};
    EXPECT_FALSE(GetExactDefinition(ft, untouched));
    EXPECT_EQ(untouched.A, "a");

    // One side of doubles makes the composition one of doubles.
    auto exactIn = Linear("0.0254");
    std::unique_ptr<IUnitConverterEngine> back = exactIn->GetInverse();
    LinearUnitConverter mixed(&ft, static_cast<LinearUnitConverter*>(back.get()));
    EXPECT_FALSE(IsExact(mixed));
    double scale = 0.0;
    double offset = 0.0;
    mixed.GetScaleAndOffset(scale, offset);
    double backScale = 0.0;
    double backOffset = 0.0;
    static_cast<LinearUnitConverter&>(*back).GetScaleAndOffset(backScale, backOffset);
    EXPECT_EQ(scale, backScale * 0.3048);
    EXPECT_EQ(ComposeExact(ft, *back), nullptr);
}

TEST(ExactEngines, RefuseTextsThatAreNotDecimals) {
    for (const char* text : {"", "abc", "1.2.3", "1e", "1e+", ".", "-", "inf", "nan", " 1", "1 ",
                             "0x10", "1,5", "1e5.5", "--1"}) {
        try {
            MakeExactLinear(text);
            ADD_FAILURE() << "accepted \"" << text << "\"";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what())
                          .find("B \"" + std::string(text) + "\" is not a decimal number"),
                      std::string::npos)
                << error.what();
        }
    }
    for (const char* text : {"+1", ".5", "5.", "-0.0e+3", "1E-3", "007"}) {
        EXPECT_NO_THROW(MakeExactLinear("1", text)) << text;
    }
    EXPECT_THROW(MakeExactLinear("1e1001"), std::invalid_argument);
    EXPECT_THROW(MakeExactLinear(std::string(1001, '1')), std::invalid_argument);
}

TEST(ExactEngines, RefuseDefinitionsWithoutInverseOrBeyondDouble) {
    const auto messageOf = [](const ExactDefinition& definition) -> std::string {
        try {
            MakeExactEngine(definition);
        } catch (const std::invalid_argument& error) {
            return error.what();
        }
        return "accepted";
    };
    // B*C - A*D == 0: a constant map.
    EXPECT_EQ(messageOf({"5", "0", "1", "0"}),
              "exact definition (A \"5\", B \"0\", C \"1\", D \"0\"): B*C - A*D is 0, so it maps "
              "every value to one number");
    EXPECT_NE(messageOf({"2", "4", "1", "2"}).find("B*C - A*D is 0"), std::string::npos);
    EXPECT_NE(messageOf({"1", "1", "0", "0"}).find("B*C - A*D is 0"), std::string::npos);
    EXPECT_EQ(messageOf({"0", "1e400", "1", "0"}),
              "exact definition (A \"0\", B \"1e400\", C \"1\", D \"0\"): the scale B/C is "
              "beyond the range of double");
    EXPECT_NE(messageOf({"0", "1e-400", "1", "0"}).find("scale B/C"), std::string::npos);
    EXPECT_NE(messageOf({"1e400", "1", "1", "0"}).find("offset A/C"), std::string::npos);
    EXPECT_NE(messageOf({"1", "1e400", "1", "1"}).find("p + q / (r + x)"), std::string::npos);
    EXPECT_THROW(RationalUnitConverter(ExactDefinition{"0", "2", "1", "0"}), std::invalid_argument);
}

} // namespace
