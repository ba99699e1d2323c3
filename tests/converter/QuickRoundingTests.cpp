// The floating-point rounding of integer quotients that spares most compositions the exact
// big-integer division. It may decline to answer, but an answer it gives must be the correctly
// rounded one, however close to a tie the quotient lies.
#include "Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

using Orv::Pim::Core::Service::Units::Converter::Detail::Integer;
using Orv::Pim::Core::Service::Units::Converter::Detail::QuickNearestDouble;

using Native = Integer::Native;

TEST(QuickNearestDouble, NeverAnswersWronglyBesideATie) {
    // Doubles in [2^52, 2^53) are the integers, so M + 1/2 is a tie. Quotients N / D with
    // N = (2M + 1) * D/2 + delta lie delta / D beside it, down to 2^-114 of their size, far
    // inside the rounding error of double-double arithmetic: only exact reasoning can place them.
    std::mt19937_64 random(2024);
    int declined = 0;
    int answered = 0;
    for (int round = 0; round < 20000; ++round) {
        const Native mantissa = static_cast<Native>((std::uint64_t{1} << 52) |
                                                    (random() & ((std::uint64_t{1} << 52) - 1)));
        const Native half = static_cast<Native>((random() >> 3) | (std::uint64_t{1} << 59));
        const Native denominator = 2 * half;
        const int delta = static_cast<int>(random() % 7) - 3;
        const Native numerator = (2 * mantissa + 1) * half + delta;
        const double expected =
            delta > 0   ? static_cast<double>(mantissa + 1)
            : delta < 0 ? static_cast<double>(mantissa)
                        : static_cast<double>(mantissa % 2 == 0 ? mantissa : mantissa + 1);
        double nearest = 0.0;
        if (QuickNearestDouble(numerator, denominator, nearest)) {
            ++answered;
            ASSERT_EQ(nearest, expected) << static_cast<double>(mantissa) << " delta " << delta;
        } else {
            ++declined;
        }
        // The same quotients, negated, mirror the answer.
        if (QuickNearestDouble(-numerator, denominator, nearest)) {
            ASSERT_EQ(nearest, -expected);
        }
    }
    EXPECT_GT(declined, 0); // the ties themselves can never be decided in floating point
}

TEST(QuickNearestDouble, AnswersQuotientsThatAreNotNearATie) {
    std::mt19937_64 random(99);
    for (int round = 0; round < 2000; ++round) {
        // A quarter of the way between two doubles: as far from a tie as can be.
        const Native mantissa = static_cast<Native>((std::uint64_t{1} << 52) |
                                                    (random() & ((std::uint64_t{1} << 52) - 1)));
        const Native quarter = static_cast<Native>(random() >> 4) + 1;
        const Native numerator = mantissa * 4 * quarter + quarter;
        double nearest = 0.0;
        ASSERT_TRUE(QuickNearestDouble(numerator, 4 * quarter, nearest));
        EXPECT_EQ(nearest, static_cast<double>(mantissa));
    }
    double nearest = 1.0;
    ASSERT_TRUE(QuickNearestDouble(0, -7, nearest));
    EXPECT_EQ(std::signbit(nearest), false); // the rational 0 has no sign
    ASSERT_TRUE(QuickNearestDouble(381, 1250, nearest));
    EXPECT_EQ(nearest, 0.3048);
}

} // namespace
