// Scales whose products need no test of their distance to a midpoint, told apart by the powers of
// two in the exact scale; the loops that skip the test for them must still give the nearest
// doubles, and the scales that do not qualify must still take the test.
#include "LoopSets.h"
#include "RationalReference.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;
using Detail::Integer;
using Detail::ScaleKind;
using OrvTesting::Engine;
using OrvTesting::Loops;
using OrvTesting::Runnable;

// Each runnable set's vector conversion of `values` gives the doubles nearest p / q * x.
void ExpectNearest(std::int64_t p, std::int64_t q, const std::vector<double>& values) {
    const Engine engine(0, p, q);
    for (const Loops& set : Runnable()) {
        std::vector<double> converted = values;
        set.loops->many(engine.parts, converted.data(), converted.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(converted[i], Reference::NearestTo<double>(Reference::ValueOf(values[i]) *
                                                                 Reference::Rational(p, q)))
                << p << "/" << q << ", " << set.name << ": " << values[i];
        }
    }
}

// The two powers in p = 2^b p' and q = 2^a q' against the exponent of p/q decide. The searches
// below check the kinds of their own scales: ft in m (381/1250) and in in m qualify, m in ft, lb
// in kg (45359237/10^8) and psi in Pa do not. Here the other cases: a scale that is a double needs
// one multiplication; a q' beyond 2^36 or an offset keeps the test.
TEST(ScaleKinds, FollowThePowersOfTwoInTheExactScale) {
    struct Case {
        std::int64_t a, b, c;
        ScaleKind kind;
    };
    const Case cases[] = {
        {0, 9, 5, ScaleKind::e_Tested},
        {0, std::int64_t{1} << 40, 68719476737, ScaleKind::e_Tested}, // q' just above 2^36
        {0, 1000, 1, ScaleKind::e_Double},
        {0, 3, std::int64_t{1} << 40, ScaleKind::e_Double},
        {-45967, 5, 9, ScaleKind::e_Tested},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Detail::ScaleKindOf(Engine(c.a, c.b, c.c).parts), c.kind)
            << c.a << " + " << c.b << "/" << c.c;
    }
    EXPECT_EQ(Detail::ScaleKindOf(Engine(0.3048, 0.0).parts), ScaleKind::e_Double);
}

// Of the 128 integers from `start`, the X whose product X * |p| / q, its places counted as those
// of a double's significand, lies nearest a midpoint between two places. The places are those of
// [2^52, 2^53) when `shift` is absent; else those of the integers after scaling by 2^shift, as
// for results among the subnormals.
std::int64_t NearestToMidpoint(std::int64_t start, const Integer& p, std::int64_t q,
                               std::optional<int> shift) {
    std::int64_t best = start;
    Integer bestDistance = -1;
    for (std::int64_t x = start; x < start + 128; ++x) {
        Integer product = x * p;
        Integer denominator = q;
        if (shift) {
            (*shift >= 0 ? product : denominator) <<= std::abs(*shift);
        } else {
            while (product < (denominator << 52)) {
                product <<= 1;
            }
            while (product >= (denominator << 53)) {
                denominator <<= 1;
            }
        }
        // The distance to a midpoint is |2 * (product mod denominator) - denominator| over twice
        // the denominator; compared on a common denominator.
        const Integer twice = 2 * (product % denominator) - denominator;
        const Integer distance = (twice < 0 ? -twice : twice) * q * 256 / denominator;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = x;
        }
    }
    return best;
}

// Values chosen, among neighbours of random ones, for the products nearest a midpoint that each
// scale allows: 1/(2q') of a place away. A sum of the parts that fell on the wrong side of one
// would show here first. Some results lie among the subnormals, just below the least normal
// double, where the low part's product loses its precision and so must take the tested way.
TEST(SureProducts, AreTheNearestDoublesEvenNextToMidpoints) {
    struct Scale {
        std::int64_t p, q;
    };
    const Scale scales[] = {{381, 1250}, {-381, 1250}, {127, 5000},
                            {1, 1000},   {5, 9},       {std::int64_t{1} << 40, 68719476731}};
    std::mt19937_64 random(11);
    for (const Scale& scale : scales) {
        ASSERT_EQ(Detail::ScaleKindOf(Engine(0, scale.p, scale.q).parts), ScaleKind::e_Sure);
        const Integer p = scale.p < 0 ? -scale.p : scale.p;
        // x = X * 2^(exponent - 52) puts the result near 2^-1023 for X in [2^52, 2^53).
        const int belowNormal =
            -1023 - static_cast<int>(std::floor(std::log2(std::fabs(static_cast<double>(scale.p)) /
                                                          static_cast<double>(scale.q))));
        std::vector<double> values;
        while (values.size() < 300) {
            const std::int64_t start = std::int64_t{1} << 52 | (random() >> 13);
            const bool subnormal = values.size() % 4 == 0;
            const int exponent = subnormal ? belowNormal : static_cast<int>(random() % 1200) - 600;
            const std::optional<int> shift =
                subnormal ? std::optional<int>(exponent - 52 + 1074) : std::nullopt;
            const double value = std::ldexp(
                static_cast<double>(NearestToMidpoint(start, p, scale.q, shift)), exponent - 52);
            values.push_back(values.size() % 2 == 0 ? value : -value);
        }
        ExpectNearest(scale.p, scale.q, values);
    }
}

// Scales that do not qualify have values whose exact products are midpoints: m in ft at 381k,
// lb in kg at 390625k and psi in Pa at 2^19 * 10080625k, for odd k that make the product's odd
// part 54 bits long. The test must find them and round them to even.
TEST(TestedScales, ExactMidpointsStillRoundToEven) {
    struct Case {
        std::int64_t p, q, step, kFrom;
    };
    const Case cases[] = {
        {1250, 381, 381, 14411518807587},
        {45359237, 100000000, 390625, 198574753},
        {8896443230521, 1290320000, (std::int64_t{1} << 19) * 10080625, 1013},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Detail::ScaleKindOf(Engine(0, c.p, c.q).parts), ScaleKind::e_Tested);
        std::vector<double> values;
        for (std::int64_t k = c.kFrom | 1; values.size() < 200; k += 2) {
            values.push_back(static_cast<double>(c.step * k));
        }
        ExpectNearest(c.p, c.q, values);
    }
}

// The exact fused multiply-add that stands in for a C runtime's own where that one rounds twice,
// against the C runtime's, which rounds once here: random operands over a wide range of sizes,
// cancellations, subnormals and zeros of both signs.
TEST(FusedExactly, RoundsOnceAsTheCRuntimesFmaDoes) {
#if defined(__MINGW32__)
    GTEST_SKIP() << "this C runtime's fma is the one that rounds twice";
#endif
    std::mt19937_64 random(17);
    const auto draw = [&](int spread) {
        const double significand = std::ldexp(static_cast<double>(random() >> 11), -53) + 0.5;
        const int exponent = static_cast<int>(random() % (2 * spread + 1)) - spread;
        return ((random() & 1) != 0 ? -1.0 : 1.0) * std::ldexp(significand, exponent);
    };
    std::vector<std::array<double, 3>> cases = {{0.0, 5.0, -0.0},
                                                {-0.0, 5.0, -0.0},
                                                {3.0, 0.1, -0.3},
                                                {0x1p-1074, 0.5, 0.0},
                                                {0x1p-600, 0x1p-500, 0x1p-1070},
                                                {1e308, 10.0, -1e308}};
    for (int i = 0; i < 100000; ++i) {
        const double a = draw(i % 2 == 0 ? 30 : 600);
        const double b = draw(i % 2 == 0 ? 30 : 600);
        // Every third addend near minus the product, so that most of it cancels.
        const double c = i % 3 == 0 ? -(a * b) * (1.0 + std::ldexp(draw(0), -40)) : draw(700);
        cases.push_back({a, b, c});
    }
    for (const auto& [a, b, c] : cases) {
        const double expected = std::fma(a, b, c);
        const double fused = Detail::FusedExactly(a, b, c);
        ASSERT_EQ(std::memcmp(&fused, &expected, sizeof fused), 0)
            << std::hexfloat << a << " * " << b << " + " << c << ": " << fused << ", not "
            << expected;
    }
}

} // namespace
