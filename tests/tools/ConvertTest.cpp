// orvunits convert: streams of numbers on standard input.
#include "ToolTesting.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

namespace {

using namespace orv_tool_testing;
namespace Units = Orv::Pim::Core::Service::Units;

// The stream goes through the same vector conversion as a host would use; a unity conversion
// must give back every double bit for bit, subnormals, extremes and -0 included.
TEST(OrvUnitsConvert, StreamRoundTripsEveryDoubleExactly) {
    std::mt19937_64 random(20240521);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(),
                                  0.1,
                                  1.0 / 3.0};
    std::string input;
    for (std::size_t i = 0; i < 200000; ++i) {
        if (i >= values.size()) {
            const std::uint64_t bits = random();
            double value;
            std::memcpy(&value, &bits, sizeof value);
            values.push_back(std::isfinite(value) && value != 0.0 ? value : 1.0);
        }
        char text[32];
        input.append(text, std::to_chars(text, text + sizeof text, values[i]).ptr) += '\n';
    }
    ASSERT_GT(input.size(), std::size_t{2} << 20) << "the input should span several blocks";

    const auto result = RunTool({"convert", "--from", "m", "--to", "m"}, input);
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream out(result.out);
    std::string token;
    std::size_t i = 0;
    for (; out >> token && i < values.size(); ++i) {
        double back = 0.0;
        std::from_chars(token.data(), token.data() + token.size(), back);
        ASSERT_EQ(std::memcmp(&back, &values[i], sizeof back), 0) << i << " written as " << token;
    }
    EXPECT_EQ(i, values.size());
}

TEST(OrvUnitsConvert, StreamKeepsTheLayout) {
    const auto result =
        RunTool({"convert", "--from", "ft", "--to", "m"}, "  1 2.5\t-3e2\n\n+4 .5\r\n1e-3");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "  0.3048 0.762\t-91.44\n\n1.2192 0.1524\r\n0.0003048");
}

TEST(OrvUnitsConvert, StreamRefusesABadTokenNamingItsLineAndColumnAfterWritingTheOthers) {
    const struct {
        std::string input;
        const char* out;
        const char* err;
    } cases[] = {
        {"1 2\n3 4x 5\n", "1 2\n3", "orvunits: bad number '4x' at line 2, column 3\n"},
        {"1e400", "", "orvunits: number out of range '1e400' at line 1, column 1\n"},
        {std::string(3 << 20, ' ') + "\n\n   1,5", nullptr,
         "orvunits: bad number '1,5' at line 3, column 4\n"}, // past the first block
    };
    for (const auto& c : cases) {
        const auto result = RunTool({"convert", "--from", "m", "--to", "m"}, c.input);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        if (c.out != nullptr) {
            EXPECT_EQ(result.out, c.out);
        }
    }
}

} // namespace
