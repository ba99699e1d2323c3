// ToString writes numbers without a stream, so it is checked against one over many doubles: every
// binade by random bit patterns (NaNs of either sign, infinities, subnormals included), and the
// places where six-digit rounding or the switch between fixed and exponent form happens.
#include "QuantityCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using Limits = std::numeric_limits<double>;

TEST(UCDoubleText, WritesEveryNumberAsADefaultStreamDoes) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  Limits::infinity(),
                                  -Limits::infinity(),
                                  Limits::quiet_NaN(),
                                  -Limits::quiet_NaN(),
                                  Limits::denorm_min(),
                                  Limits::max(),
                                  Limits::min(),
                                  0.0001,
                                  0.00009999995,
                                  999999.5,
                                  999999.49999999,
                                  123456.5,
                                  1.0 / 3.0};
    std::mt19937_64 random(1961);
    for (int i = 0; i < 60000; ++i) {
        const std::uint64_t bits = random();
        std::memcpy(&values.emplace_back(), &bits, sizeof bits);
    }
    // Around every power of ten: the 6-digit rounding carries into a new digit at 9.999995, and
    // the form switches to an exponent below 1e-4 and from 1e6 on.
    for (int exponent = -320; exponent <= 308; ++exponent) {
        for (const double mantissa : {1.0, 9.999995, 9.9999949999999, 9.99999500000001, 1.000005,
                                      1.2345650, 1.2345649999999, 5.0, 9.99999}) {
            const double value = mantissa * std::pow(10.0, exponent);
            values.insert(values.end(), {value, -value, std::nextafter(value, 0.0),
                                         std::nextafter(value, Limits::infinity())});
        }
    }
    for (const double base : values) {
        const Units::UCDouble value(base, orv_testing::M("Depth"));
        // The number written is the value in the unit, so the stream gets that same number.
        std::ostringstream stream;
        stream.imbue(std::locale::classic());
        stream << value.Convert(orv_testing::U("m")) << " m";
        ASSERT_EQ(value.ToString(orv_testing::U("m")), stream.str()) << base;
    }
}

} // namespace
