// orvunits convert: single values, and streams of numbers on standard input.
#include "ToolTesting.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

namespace {

using orv_tool_testing::IsValidJson;
using orv_tool_testing::RunTool;
using orv_tool_testing::SmallCatalogue;
using orv_tool_testing::TempDir;
namespace Units = Orv::Pim::Core::Service::Units;

TEST(OrvUnitsConvert, ConvertsOneValueOnTheDefaultCatalogue) {
    const auto result = RunTool({"convert", "12.5", "ft", "m"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "3.81\n");
    EXPECT_EQ(result.err, "");
}

TEST(OrvUnitsConvert, ReadsNegativeNumbersAndOffsetsAndWritesJson) {
    TempDir dir;
    const std::string catalogue = dir.Write("small.xml", SmallCatalogue());
    const auto plain = RunTool({"--catalogue", catalogue, "convert", "-40", "degC", "K"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, "233.14999999999998\n");

    const auto json = RunTool({"convert", "1.5", "km", "m", "--json", "--catalogue", catalogue});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, "{\n  \"value\": 1.5,\n  \"from\": \"km\",\n  \"to\": \"m\",\n"
                        "  \"result\": 1500\n}\n");
}

// The stream goes through the same vector conversion as a host would use; a unity conversion
// must give back every double bit for bit, subnormals and extremes included. (Not -0: the engine
// adds its offset of 0, which makes it +0.)
TEST(OrvUnitsConvert, StreamRoundTripsEveryDoubleExactly) {
    std::mt19937_64 random(20240521);
    std::vector<double> values = {0.0,
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(),
                                  0.1,
                                  1.0 / 3.0};
    while (values.size() < 200000) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value) && value != 0.0) {
            values.push_back(value);
        }
    }
    std::string input;
    for (const double value : values) {
        char text[32];
        input.append(text, std::to_chars(text, text + sizeof text, value).ptr);
        input += '\n';
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
        std::uint64_t expectedBits;
        std::uint64_t backBits;
        std::memcpy(&expectedBits, &values[i], sizeof expectedBits);
        std::memcpy(&backBits, &back, sizeof backBits);
        ASSERT_EQ(backBits, expectedBits) << "value " << i << " written as " << token;
    }
    EXPECT_EQ(i, values.size());
}

TEST(OrvUnitsConvert, StreamKeepsTheLayoutAndMatchesTheConverter) {
    const std::string input = "  1 2.5\t-3e2\n\n+4 .5\r\n1e-3";
    const auto result = RunTool({"convert", "--from", "ft", "--to", "m"}, input);
    ASSERT_EQ(result.status, 0) << result.err;

    const Units::UnitConverter converter(Units::Unit::GetUnit("ft"), Units::Unit::GetUnit("m"));
    const auto text = [&](double value) {
        char buffer[32];
        return std::string(
            buffer, std::to_chars(buffer, buffer + sizeof buffer, converter.Convert(value)).ptr);
    };
    EXPECT_EQ(result.out, "  " + text(1) + " " + text(2.5) + "\t" + text(-300) + "\n\n" + text(4) +
                              " " + text(0.5) + "\r\n" + text(1e-3));
}

TEST(OrvUnitsConvert, StreamAsJsonIsOneArray) {
    EXPECT_EQ(RunTool({"--json", "convert", "--from", "m", "--to", "m"}, "1 2\n3").out,
              "[\n  1,\n  2,\n  3\n]\n");
    EXPECT_EQ(RunTool({"--json", "convert", "--from", "m", "--to", "m"}, " \n").out, "[]\n");
    const auto withNan = RunTool({"--json", "convert", "--from", "m", "--to", "m"}, "nan inf 1");
    EXPECT_EQ(withNan.status, 0);
    EXPECT_TRUE(IsValidJson(withNan.out)) << withNan.out;
}

TEST(OrvUnitsConvert, StreamRefusesABadTokenNamingItsLineAndColumn) {
    const auto result = RunTool({"convert", "--from", "m", "--to", "m"}, "1 2\n3 4x 5\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "orvunits: bad number '4x' at line 2, column 3\n");
    EXPECT_EQ(result.out, "1 2\n3") << "the numbers before the bad one are written";

    const auto tooLarge = RunTool({"convert", "--from", "m", "--to", "m"}, "1e400");
    EXPECT_EQ(tooLarge.status, 1);
    EXPECT_EQ(tooLarge.err, "orvunits: number out of range '1e400' at line 1, column 1\n");
}

TEST(OrvUnitsConvert, StreamFindsABadTokenPastTheFirstBlock) {
    std::string input(3 << 20, ' ');
    input += "\n\n   1,5";
    const auto result = RunTool({"convert", "--from", "m", "--to", "m"}, input);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "orvunits: bad number '1,5' at line 3, column 4\n");
}

TEST(OrvUnitsConvert, RefusesBadNumbersUnknownUnitsAndOtherDimensions) {
    const auto badNumber = RunTool({"convert", "12,5", "ft", "m"});
    EXPECT_EQ(badNumber.status, 1);
    EXPECT_EQ(badNumber.err, "orvunits: bad number '12,5'\n");

    const auto unknownUnit = RunTool({"convert", "1", "furlongs", "m"});
    EXPECT_EQ(unknownUnit.status, 1);
    EXPECT_EQ(unknownUnit.err.rfind("orvunits: ", 0), 0u);
    EXPECT_NE(unknownUnit.err.find("furlongs"), std::string::npos) << unknownUnit.err;

    TempDir dir;
    const std::string catalogue = dir.Write("small.xml", SmallCatalogue());
    const auto otherDimension = RunTool({"--catalogue", catalogue, "convert", "1", "m", "K"});
    EXPECT_EQ(otherDimension.status, 1);
    EXPECT_EQ(otherDimension.out, "");
}

TEST(OrvUnitsConvert, TellsBadUsageApartFromBadInput) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"convert", "12.5", "ft"},
                                               {"convert", "12.5"},
                                               {"convert", "--from", "ft"},
                                               {"convert", "12.5", "ft", "m", "--to", "m"},
                                               {"convert", "1", "ft", "m", "extra"}}) {
        const auto result = RunTool(args);
        EXPECT_EQ(result.status, 2) << args.size();
        EXPECT_EQ(result.err.rfind("orvunits: ", 0), 0u) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

} // namespace
