// ToString writes numbers without a stream, so it is checked against one over many doubles: every
// binade by random bit patterns (NaNs of either sign, infinities, subnormals included), and the
// places where six-digit rounding or the switch between fixed and exponent form happens.
#include "QuantityCatalogue.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>

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

std::string AsAStreamWrites(double number, const std::string& symbol) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << number << ' ' << symbol;
    return out.str();
}

std::vector<double> Doubles() {
    std::vector<double> values;
    std::mt19937_64 random(1961);
    for (int i = 0; i < 60000; ++i) {
        const std::uint64_t bits = random();
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
    }
    // Around every power of ten: the 6-digit rounding carries into a new digit at 9.999995, and
    // the form switches to an exponent below 1e-4 and from 1e6 on.
    const double mantissas[] = {1.0,      9.999995,  9.9999949999999, 9.99999500000001,
                                1.000005, 1.2345650, 1.2345649999999, 5.0,
                                9.99999};
    for (int exponent = -320; exponent <= 308; ++exponent) {
        for (double mantissa : mantissas) {
            const double value = mantissa * std::pow(10.0, exponent);
            values.push_back(value);
            values.push_back(-value);
            values.push_back(std::nextafter(value, 0.0));
            values.push_back(std::nextafter(value, std::numeric_limits<double>::infinity()));
        }
    }
    const double specials[] = {0.0,
                               -0.0,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::min(),
                               0.0001,
                               0.00009999995,
                               999999.5,
                               999999.49999999,
                               123456.5,
                               1.0 / 3.0};
    values.insert(values.end(), std::begin(specials), std::end(specials));
    return values;
}

TEST(UCDoubleText, WritesEveryNumberAsADefaultStreamDoes) {
    orv_testing::QuantityCatalogue();
    Units::Measurement* depth = Units::Measurement::GetMeasurement("Depth");
    Units::Unit* metre = Units::Unit::GetUnit("m");
    int checked = 0;
    for (double base : Doubles()) {
        const Units::UCDouble value(base, depth);
        // The number written is the value in the unit, so the stream gets that same number.
        ASSERT_EQ(value.ToString(metre), AsAStreamWrites(value.Convert(metre), "m")) << base;
        ++checked;
    }
    EXPECT_GT(checked, 80000);
}

} // namespace
