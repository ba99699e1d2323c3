// Checks exact composition against arithmetic of the test's own: the exact maps are followed
// modulo a prime, independently of the library's big integers, and the doubles that the engines
// use are compared with the exact quotients worked out in long double.
#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

// The largest prime below 2^32: products of two residues fit in 64 bits.
constexpr std::uint64_t kPrime = 4294967291u;

// The coefficients (A, B, C, D) of x -> (A + B*x) / (C + D*x) modulo kPrime. Two maps are the
// same when their coefficients are proportional.
using Map = std::array<std::uint64_t, 4>;

std::uint64_t Residue(const std::string& integer) { // an optional '-' and decimal digits
    std::uint64_t residue = 0;
    for (const char digit : integer.substr(integer[0] == '-' ? 1 : 0)) {
        residue = (residue * 10 + static_cast<std::uint64_t>(digit - '0')) % kPrime;
    }
    return integer[0] == '-' ? (kPrime - residue) % kPrime : residue;
}

Map Then(const Map& f, const Map& g) { // g after f
    const auto dot = [](std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) {
        return (a * b % kPrime + c * d % kPrime) % kPrime;
    };
    return {dot(g[0], f[2], g[1], f[0]), dot(g[0], f[3], g[1], f[1]), dot(g[2], f[2], g[3], f[0]),
            dot(g[2], f[3], g[3], f[1])};
}

Map Inverse(const Map& f) {
    return {(kPrime - f[0]) % kPrime, f[2], f[1], (kPrime - f[3]) % kPrime};
}

// True when x is the double nearest `exact`. Where long double carries at least 64 bits, `exact`
// is off the true value by a small fraction of a unit in the last place of x, which the slack
// allows for; elsewhere only closeness can be checked.
bool IsNearest(double x, long double exact) {
    const long double ulp = std::fabs(std::nexttoward(x, exact) - static_cast<long double>(x));
    const long double slack =
        std::numeric_limits<long double>::digits >= 64 ? 0.5L + 1.0L / 128 : 4.0L;
    return std::fabs(x - exact) <= ulp * slack;
}

// Checks an engine against the map it should be: the same exact form, and each double it uses
// the one nearest its exact value.
void ExpectEngineOf(IUnitConverterEngine& engine, const Map& expected) {
    ExactDefinition got;
    ASSERT_TRUE(GetExactDefinition(engine, got));
    const Map g = {Residue(got.A), Residue(got.B), Residue(got.C), Residue(got.D)};
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            ASSERT_EQ(expected[i] * g[j] % kPrime, expected[j] * g[i] % kPrime)
                << got.A << " " << got.B << " " << got.C << " " << got.D;
        }
    }
    const long double a = std::strtold(got.A.c_str(), nullptr);
    const long double b = std::strtold(got.B.c_str(), nullptr);
    const long double c = std::strtold(got.C.c_str(), nullptr);
    const long double d = std::strtold(got.D.c_str(), nullptr);
    if (got.D == "0") {
        ASSERT_EQ(engine.m_eType, e_LinearEngine);
        double scale = 0.0;
        double offset = 0.0;
        static_cast<LinearUnitConverter&>(engine).GetScaleAndOffset(scale, offset);
        EXPECT_TRUE(IsNearest(scale, b / c)) << scale;
        EXPECT_TRUE(IsNearest(offset, a / c)) << offset;
    } else {
        ASSERT_EQ(engine.m_eType, e_RationalEngine);
        double p = 0.0;
        double q = 0.0;
        double r = 0.0;
        static_cast<RationalUnitConverter&>(engine).GetCoefficients(p, q, r);
        EXPECT_TRUE(IsNearest(p, b / d)) << p;
        EXPECT_TRUE(IsNearest(r, c / d)) << r;
        // A difference that may cancel: long double tells it only to a fraction of its terms.
        EXPECT_NEAR(q, (a * d - b * c) / (d * d),
                    1e-15 * (std::fabs(a * d) + std::fabs(b * c)) / (d * d));
    }
}

// A random decimal text of up to 19 digits, or up to 9 when small, with the point anywhere, and
// its value as the residue of its digits times 10^exponent; zero when asked.
struct Decimal {
    std::string text;
    std::uint64_t residue;
    int exponent;
};

Decimal RandomDecimal(std::mt19937_64& random, bool small, bool zero) {
    const std::uint64_t digits =
        zero ? 0 : random() % (small ? 1000000000u : 10000000000000000000u);
    const bool negative = random() % 3 == 0;
    const int exponent = std::uniform_int_distribution<int>(small ? -9 : -8, small ? 3 : 4)(random);
    const std::string written = std::to_string(digits);
    const std::size_t point = random() % (written.size() + 1);
    return {(negative ? "-" : "") + written.substr(0, point) + "." + written.substr(point) + "e" +
                std::to_string(exponent + static_cast<int>(written.size() - point)),
            negative ? (kPrime - digits % kPrime) % kPrime : digits % kPrime, exponent};
}

// A random definition that the factory accepts, linear or not, and its map.
std::unique_ptr<IUnitConverterEngine> RandomEngine(std::mt19937_64& random, bool linear, bool small,
                                                   Map& map) {
    for (;;) {
        const Decimal parts[4] = {
            RandomDecimal(random, small, random() % 4 == 0), RandomDecimal(random, small, false),
            RandomDecimal(random, small, random() % 4 == 0), RandomDecimal(random, small, linear)};
        int lowest = 0;
        for (const Decimal& part : parts) {
            lowest = std::min(lowest, part.exponent);
        }
        for (int i = 0; i < 4; ++i) {
            map[i] = parts[i].residue;
            for (int k = lowest; k < parts[i].exponent; ++k) {
                map[i] = map[i] * 10 % kPrime;
            }
        }
        if (map[1] * map[2] % kPrime != map[0] * map[3] % kPrime) { // else refused: no inverse
            return MakeExactEngine({parts[0].text, parts[1].text, parts[2].text, parts[3].text});
        }
    }
}

// Chains of up to five more steps, each a new engine or an inverse, make coefficients far wider
// than 128 bits. Definitions of up to 9 digits, as most units have, are composed in native
// integers and rounded in floating point, which must agree with the exact quotient all the same.
TEST(ExactComposition, MatchesAnIndependentComputation) {
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
            } else {
                Map other;
                std::unique_ptr<IUnitConverterEngine> second =
                    RandomEngine(random, linear, small, other);
                engine = linear && random() % 2 == 0
                             ? std::make_unique<LinearUnitConverter>(
                                   static_cast<LinearUnitConverter*>(engine.get()),
                                   static_cast<LinearUnitConverter*>(second.get()))
                             : ComposeExact(*engine, *second);
                expected = Then(expected, other);
            }
            ASSERT_NE(engine, nullptr);
            ExpectEngineOf(*engine, expected);
        }
    }
}

// Ten steps of a 30-digit scale and offset need about 1000 bits; undoing them must come back to
// exactly the identity. Doubling 2^160 - 1 carries into a new top word, which random numbers,
// whose top words are mostly small, would seldom do.
TEST(ExactComposition, ComesBackToSmallNumbersAfterWideOnesAndCarries) {
    std::unique_ptr<IUnitConverterEngine> step =
        MakeExactLinear("1.23456789012345678901234567891", "-9.87654321098765432109876543211");
    std::unique_ptr<IUnitConverterEngine> undo = step->GetInverse();
    std::unique_ptr<IUnitConverterEngine> chain = step->Clone();
    for (int i = 1; i < 10; ++i) {
        chain = ComposeExact(*chain, *step);
    }
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*chain, definition));
    EXPECT_GT(definition.C.size(), 250u); // 10^290: well past 128 bits
    for (int i = 0; i < 10; ++i) {
        chain = ComposeExact(*chain, *undo);
    }
    ASSERT_TRUE(GetExactDefinition(*chain, definition));
    EXPECT_EQ(definition.A + " " + definition.B + " " + definition.C + " " + definition.D,
              "0 1 1 0");
    EXPECT_TRUE(chain->IsUnity());

    const std::string allOnes = "1461501637330902918203684832716283019655932542975";
    std::unique_ptr<IUnitConverterEngine> shift = MakeExactLinear("1", allOnes);
    ASSERT_TRUE(GetExactDefinition(*ComposeExact(*shift, *shift), definition));
    EXPECT_EQ(definition.A, "2923003274661805836407369665432566039311865085950");
}

} // namespace
