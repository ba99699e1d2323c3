// Exact compositions and inverses of random definitions, checked against the maps followed with
// rationals of the test's own: the definition each engine keeps, and the doubles it converts with.
#include "RationalReference.h"

#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using namespace Units::Converter;
using Reference::Integer;
using Reference::IsNearest;
using Reference::Rational;

// x -> (a + b*x) / (c + d*x) as {a, b, c, d}; maps are equal when their entries are proportional.
using Map = std::array<Rational, 4>;

Map Then(const Map& f, const Map& g) { // g after f
    return {g[0] * f[2] + g[1] * f[0], g[0] * f[3] + g[1] * f[1], g[2] * f[2] + g[3] * f[0],
            g[2] * f[3] + g[3] * f[1]};
}

Map Inverse(const Map& f) {
    return {-f[0], f[2], f[1], -f[3]};
}

void ExpectEngineOf(IUnitConverterEngine& engine, const Map& e) {
    ExactDefinition got;
    ASSERT_TRUE(GetExactDefinition(engine, got));
    const Map g = {Rational(Integer(got.A)), Rational(Integer(got.B)), Rational(Integer(got.C)),
                   Rational(Integer(got.D))};
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            ASSERT_EQ(e[i] * g[j], e[j] * g[i])
                << got.A << " " << got.B << " " << got.C << " " << got.D;
        }
    }
    double x[3] = {};
    if (e[3] == 0) {
        ASSERT_EQ(engine.m_eType, e_LinearEngine);
        static_cast<LinearUnitConverter&>(engine).GetScaleAndOffset(x[0], x[1]);
        EXPECT_TRUE(IsNearest(x[0], e[1] / e[2]) && IsNearest(x[1], e[0] / e[2]))
            << x[0] << " " << x[1];
    } else {
        ASSERT_EQ(engine.m_eType, e_RationalEngine);
        static_cast<RationalUnitConverter&>(engine).GetCoefficients(x[0], x[1], x[2]);
        EXPECT_TRUE(IsNearest(x[0], e[1] / e[3]) && IsNearest(x[2], e[2] / e[3]) &&
                    IsNearest(x[1], (e[0] * e[3] - e[1] * e[2]) / (e[3] * e[3])));
    }
}

// A random coefficient, zero when asked: up to 19 digits, or 9 for a small one as most units have,
// with the point anywhere and an exponent; its text, and its value as the reference reads it.
std::string RandomDecimal(std::mt19937_64& random, bool small, bool zero, Rational& value) {
    const std::uint64_t mantissa =
        zero ? 0 : random() % (small ? 1000000000u : 10000000000000000000u);
    const std::string digits = std::to_string(mantissa);
    const std::size_t point = random() % (digits.size() + 1);
    const std::string text = (random() % 3 == 0 ? "-" : "") + digits.substr(0, point) + "." +
                             digits.substr(point) + "e" +
                             std::to_string(static_cast<int>(random() % 14) - 9);
    value = Reference::Decimal(text);
    return text;
}

// A random definition that the factory accepts, linear or not, and its map.
std::unique_ptr<IUnitConverterEngine> RandomEngine(std::mt19937_64& random, bool linear, bool small,
                                                   Map& map) {
    for (;;) {
        ExactDefinition d;
        d.A = RandomDecimal(random, small, random() % 4 == 0, map[0]);
        d.B = RandomDecimal(random, small, false, map[1]);
        d.C = RandomDecimal(random, small, random() % 4 == 0, map[2]);
        d.D = RandomDecimal(random, small, linear, map[3]);
        if (map[1] * map[2] != map[0] * map[3]) { // else refused: no inverse
            return MakeExactEngine(d);
        }
    }
}

} // namespace

// Chains of up to five more steps, each a new engine or an inverse, make coefficients far wider
// than 128 bits; small definitions are composed in 64-bit coefficients where they fit.
TEST(ExactComposition, MatchesMapsFollowedWithRationals) {
    std::mt19937_64 random(20240611);
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        const bool linear = round % 2 == 0;
        const bool small = round % 4 >= 2;
        Map expected;
        std::unique_ptr<IUnitConverterEngine> engine =
            RandomEngine(random, linear, small, expected);
        ExpectEngineOf(*engine, expected);
        for (int step = 1 + static_cast<int>(random() % 5); step > 0 && !HasFailure(); --step) {
            if (random() % 4 == 0) {
                engine = engine->GetInverse();
                expected = Inverse(expected);
                ExpectEngineOf(*engine, expected);
                continue;
            }
            Map other;
            std::unique_ptr<IUnitConverterEngine> second =
                RandomEngine(random, linear, small, other);
            engine = linear && random() % 2 == 0
                         ? std::make_unique<LinearUnitConverter>(
                               static_cast<LinearUnitConverter*>(engine.get()),
                               static_cast<LinearUnitConverter*>(second.get()))
                         : ComposeExact(*engine, *second);
            expected = Then(expected, other);
            ExpectEngineOf(*engine, expected);
        }
    }
}
