// orvunits convert reads each number as the decimal typed: its results are checked against big
// rational arithmetic over the units' exact definitions; its stream of numbers keeps its layout,
// gives back every double, and on two threads writes what one thread writes.
#include "NumberStream.h"
#include "RationalReference.h"
#include "ToolTesting.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <utility>

namespace {

using namespace orv_tool_testing;
namespace Units = Orv::Pim::Core::Service::Units;
using Reference::Decimal;
using Reference::Integer;
using Reference::Rational;

// The exact conversion of `text` from one unit to another: into the base unit by the first's
// definition, out of it by solving the second's.
Rational ExactConversion(const std::string& text, const std::string& from, const std::string& to) {
    const auto definition = [](const std::string& symbol) {
        Units::Converter::ExactDefinition exact;
        EXPECT_TRUE(
            Units::Converter::GetExactDefinition(*Units::Unit::GetUnit(symbol)->Converter(), exact))
            << symbol;
        return std::array<Rational, 4>{Integer(exact.A), Integer(exact.B), Integer(exact.C),
                                       Integer(exact.D)};
    };
    const auto f = definition(from);
    const auto g = definition(to);
    const Rational x = Decimal(text);
    const Rational base = (f[0] + f[1] * x) / (f[2] + f[3] * x);
    return (g[2] * base - g[0]) / (g[1] - g[3] * base);
}

std::string Shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

TEST(OrvUnitsConvert, WritesTheCorrectlyRoundedDoubleOfTheTypedDecimalsExactConversion) {
    // The typed values are converted as arguments too; the random ones only in the stream.
    std::vector<std::string> values;
    std::istringstream words(
        "0.1 37 1 -40 98.6 1e-3 -.5 +2.25 123456.789 7.2e-12 3.0000000000000001 "
        "0.30000000000000004441 1.5e30 12345678901234567890123");
    for (std::string word; words >> word;) {
        values.push_back(word);
    }
    const std::size_t typed = values.size();
    std::mt19937_64 random(14);
    for (int i = 0; i < 300; ++i) {
        std::string digits = std::to_string(random() % 100000000000000000ull);
        digits.insert(random() % digits.size(), ".");
        values.push_back(digits + "e" + std::to_string(static_cast<int>(random() % 21) - 10));
    }
    std::string stream;
    for (const std::string& value : values) {
        stream += value + '\n';
    }
    const std::pair<const char*, const char*> pairs[] = {
        {"ft", "m"},   {"degC", "degF"},   {"psi", "Pa"}, {"bar", "psi"},
        {"degF", "K"}, {"mpg", "L/100km"}, {"API", "SG"}, {"in", "ft"}};
    for (const auto& [from, to] : pairs) {
        const auto streamed = RunTool({"convert", "--from", from, "--to", to}, stream);
        ASSERT_EQ(streamed.status, 0) << streamed.err;
        std::istringstream lines(streamed.out);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string expected =
                Shortest(Reference::NearestTo<double>(ExactConversion(values[i], from, to)));
            std::string line;
            std::getline(lines, line);
            EXPECT_EQ(line, expected) << values[i] << " " << from << " to " << to;
            if (i < typed) {
                EXPECT_EQ(RunTool({"convert", values[i], from, to}).out, expected + "\n");
            }
        }
    }
}

// Short decimal results are written from their digits, not their doubles: the text must be what
// to_chars writes for the double, fixed or scientific, whichever it picks.
TEST(OrvUnitsConvert, WritesShortDecimalsAsTheirDoublesAreWritten) {
    constexpr double kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::mt19937_64 random(15);
    for (int i = 0; i < 20000; ++i) {
        auto significand =
            static_cast<std::int64_t>((random() % 1000000000000000) >> (random() % 50));
        for (; significand != 0 && significand % 10 == 0; significand /= 10) {
        }
        significand = (significand == 0 ? 7 : significand) * (random() % 2 == 0 ? 1 : -1);
        const int exponent = static_cast<int>(random() % 45) - 22;
        const auto exact = static_cast<double>(significand);
        const double value = exponent >= 0 ? exact * kTens[exponent] : exact / kTens[-exponent];
        if (std::fabs(value) >= 0x1p53) {
            continue; // written with every digit of the double, which the tool leaves to to_chars
        }
        char text[32];
        char* end = Orv::UnitsTool::WriteShortest(text, significand, exponent);
        EXPECT_EQ(std::string(text, end), Shortest(value)) << significand << "e" << exponent;
    }
}

// Digits are rounded once from the exact value, ties to even: -0.35 is the tie it is typed as,
// not the double nearer zero, and keeps its sign.
TEST(OrvUnitsConvert, WritesDigitsRoundedOnceFromTheExactResult) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"--digits", "4", "1", "psi", "Pa"}, "6895\n"},
        {{"--digits", "3", "0.1", "ft", "m"}, "0.0305\n"},
        {{"--digits", "1", "-0.35", "m", "m"}, "-0.4\n"},
        {{"--digits", "1", "0.00025", "m", "m"}, "0.0002\n"},
        {{"--digits", "2", "0.0000125", "m", "m"}, "1.2e-05\n"},
        {{"--digits", "1", "2.5e10", "m", "m"}, "2e+10\n"},
        {{"--digits", "3", "1234567", "m", "m"}, "1.23e+06\n"},
        {{"--digits", "15", "-0.5", "ft", "m"}, "-0.1524\n"},
        {{"--digits", "2", "-0", "m", "ft"}, "-0\n"},
        {{"--digits", "6", "--from", "m", "--to", "m"}, "0.4 1.5e+20\n-2\n"},
        {{"--json", "--digits", "3", "1", "psi", "Pa"},
         "{\n  \"value\": 1,\n  \"from\": \"psi\",\n  \"to\": \"Pa\",\n  \"result\": "
         "6.89e+03\n}\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "convert");
        const auto result = RunTool(args, "0.4 150000000000000000000\n-2\n");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.out) << c.args[2];
    }
    EXPECT_EQ(RunTool({"convert", "--digits", "16", "1", "m", "m"}).status, 2);
}

// The stream goes through the same vector conversion as a host would use; a unity conversion
// must give back every double bit for bit, subnormals, extremes and -0 included.
TEST(OrvUnitsConvert, StreamRoundTripsEveryDoubleExactly) {
    std::mt19937_64 random(20240521);
    using Limits = std::numeric_limits<double>;
    std::vector<double> values = {
        0.0,           -0.0,           Limits::min(), Limits::denorm_min(),
        Limits::max(), -Limits::max(), 0.1,           1.0 / 3};
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

// The stream keeps the layout of its input, and stops at a bad token, naming its line and column
// (also past the first block), after writing the results before it.
TEST(OrvUnitsConvert, StreamKeepsTheLayoutAndStopsAtABadTokenNamingItsLineAndColumn) {
    const struct {
        std::string input;
        const char* out;
        const char* err;
    } cases[] = {
        {"  1 2.5\t-3e2\n\n+4 .5\r\n1e-3", "  0.3048 0.762\t-91.44\n\n1.2192 0.1524\r\n0.0003048",
         ""},
        {"1 2\n3 4x 5\n", "0.3048 0.6096\n0.9144",
         "orvunits: bad number '4x' at line 2, column 3\n"},
        {"1e400", "", "orvunits: number out of range '1e400' at line 1, column 1\n"},
        {std::string(3 << 20, ' ') + "\n\n   1,5", nullptr,
         "orvunits: bad number '1,5' at line 3, column 4\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool({"convert", "--from", "ft", "--to", "m"}, c.input);
        EXPECT_EQ(result.status, *c.err == '\0' ? 0 : 1);
        EXPECT_EQ(result.err, c.err);
        if (c.out != nullptr) {
            EXPECT_EQ(result.out, c.out);
        }
    }
}

// Several blocks converted on two threads give what one thread gives, byte for byte, up to a
// refusal in a late block and the refusal itself.
TEST(OrvUnitsConvert, StreamOnTwoThreadsWritesWhatOneThreadWrites) {
    std::mt19937_64 random(18);
    std::string input;
    while (input.size() < (std::size_t{5} << 19)) {
        input += std::to_string(random() % 1000000) + "." + std::to_string(random() % 1000) +
                 (random() % 8 == 0 ? "\n" : " ");
    }
    const std::string bad = input.substr(0, input.size() - 100) + " 12x " + input.substr(100);
    const std::string overflow = input.substr(0, input.size() - 100) + " 1e308 ";
    RunTool({"convert", "1", "ft", "m"}); // the catalogue
    const Units::UnitConverter converter(Units::Unit::GetUnit("ft"), Units::Unit::GetUnit("mm"));
    const Orv::UnitsTool::DecimalConverter decimals(*converter.Converter(), 0);
    const std::pair<const std::string*, bool> cases[] = {
        {&input, false}, {&bad, false}, {&bad, true}, {&overflow, false}};
    for (const auto& [text, json] : cases) {
        std::string outs[2], errors[2];
        for (unsigned threads = 1; threads <= 2; ++threads) {
            std::istringstream in(*text);
            std::ostringstream out;
            try {
                Orv::UnitsTool::ConvertNumberStream(in, out, decimals, json, threads);
            } catch (const std::exception& error) {
                errors[threads - 1] = error.what();
            }
            outs[threads - 1] = out.str();
        }
        EXPECT_EQ(errors[0], errors[1]);
        EXPECT_EQ(errors[0].empty(), text == &input) << errors[0];
        EXPECT_TRUE(outs[0] == outs[1]) << "the outputs differ";
        EXPECT_GT(outs[0].size(), std::size_t{2} << 20);
    }
}

} // namespace
