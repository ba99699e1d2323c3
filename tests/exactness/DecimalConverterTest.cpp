// Decimal texts converted as the decimals typed, checked against rational arithmetic: the quick
// evaluation to about 106 bits must never settle on a double that is not the nearest, and the
// stream form must give what the one-text form gives.
#include "RationalReference.h"

#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace Converter = Orv::Pim::Core::Service::Units::Converter;
using Reference::Rational;

// Decimals as measurements are typed, and ones of up to 19 digits whose results fall anywhere,
// so that some land near the midpoint between two doubles.
std::vector<std::string> RandomDecimals(std::size_t count) {
    std::mt19937_64 random(41);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i) {
        std::string digits =
            std::to_string(random() % (i % 2 == 0 ? 1000000 : 10000000000000000000u));
        digits.insert(random() % digits.size(), ".");
        const int exponent = static_cast<int>(random() % 41) - 20;
        texts.push_back((random() % 3 == 0 ? "-" : "") + digits +
                        (exponent != 0 ? "e" + std::to_string(exponent) : ""));
    }
    return texts;
}

// A scale, a scale and an offset, a scale whose double is not exact, a map with D not 0, and one
// whose coefficients are too large for the quick evaluation.
const Converter::ExactDefinition kMaps[] = {
    {"0", "0.3048", "1", "0"},
    {"32", "9", "5", "0"},
    {"0", "1", "0.45359237", "0"},
    {"1", "3", "7", "11"},
    {"0", "1234567890123456789012", "7", "0"},
};

// (a + b x) / (c + d x), exactly.
Rational ExactAt(const Converter::ExactDefinition& map, const std::string& text) {
    using Reference::Decimal;
    const Rational x = Decimal(text);
    return (Decimal(map.A) + Decimal(map.B) * x) / (Decimal(map.C) + Decimal(map.D) * x);
}

TEST(DecimalConverter, GivesTheDoubleNearestTheExactMapOfTheTypedDecimal) {
    const std::vector<std::string> texts = RandomDecimals(2000);
    for (const Converter::ExactDefinition& map : kMaps) {
        const auto engine = Converter::MakeExactEngine(map);
        const Converter::DecimalConverter converter(*engine);
        ASSERT_TRUE(converter.IsExact());
        for (const std::string& text : texts) {
            const std::optional<double> result = converter.Convert(text);
            ASSERT_TRUE(result) << text;
            EXPECT_TRUE(Reference::IsNearest(*result, ExactAt(map, text)))
                << text << " through " << map.B << " gives " << *result;
        }
    }
}

// The stream form reads each text once and converts the values as a vector first: what it puts
// right must end where the one-text form ends, text for text.
TEST(DecimalConverter, ConvertsAStreamAsItConvertsEachText) {
    std::vector<std::string> texts = RandomDecimals(500);
    for (const char* more : {"0", "-0", "0e5000", "1e-400", "123456789012345678901234", "7e30",
                             "0.1", "-.5", "+2.25", "5."}) {
        texts.push_back(more);
    }
    for (const Converter::ExactDefinition& map : kMaps) {
        const auto engine = Converter::MakeExactEngine(map);
        const Converter::DecimalConverter converter(*engine);
        std::vector<std::string_view> views(texts.begin(), texts.end());
        std::vector<Converter::TypedDecimal> decimals(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!Converter::DecimalConverter::Read(views[i], decimals[i])) {
                std::from_chars(texts[i].data() + (texts[i][0] == '+'),
                                texts[i].data() + texts[i].size(), decimals[i].value);
            }
        }
        std::vector<double> results(texts.size());
        std::vector<Converter::ShortDecimal> shorts(texts.size());
        converter.Convert(views.data(), decimals.data(), results.data(), results.size(),
                          shorts.data());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::optional<double> one = converter.Convert(texts[i]);
            if (one) {
                EXPECT_EQ(results[i], *one) << texts[i];
            }
            // A short result is the exact value itself, and only where the divisor allows it.
            if (shorts[i].significand != 0) {
                EXPECT_EQ(Rational(shorts[i].significand) *
                              Reference::Power(10, shorts[i].exponent),
                          ExactAt(map, texts[i]))
                    << texts[i];
                EXPECT_NE(shorts[i].significand % 10, 0) << texts[i];
                EXPECT_TRUE(map.D == "0" && map.C != "0.45359237");
            }
        }
    }
}

TEST(DecimalConverter, ReadsTheNearestDoubleOrLeavesItToTheCaller) {
    const struct {
        const char* text;
        bool read;
        Converter::TypedDecimal::Kind kind;
    } cases[] = {
        {"2.5", true, Converter::TypedDecimal::e_Exact},
        {"-0.1", true, Converter::TypedDecimal::e_Inexact},
        {"1e22", true, Converter::TypedDecimal::e_Exact},
        {"1e23", false, Converter::TypedDecimal::e_Other},
        {"-0e99", true, Converter::TypedDecimal::e_Exact},
        {"0e1001", false, Converter::TypedDecimal::e_Other},
        {"9007199254740993", false, Converter::TypedDecimal::e_Inexact},
        {"12345678901234567890", false, Converter::TypedDecimal::e_Other},
        {"inf", false, Converter::TypedDecimal::e_Other},
        {"1e", false, Converter::TypedDecimal::e_Other},
        {".", false, Converter::TypedDecimal::e_Other},
        {"1.5x", false, Converter::TypedDecimal::e_Other},
    };
    for (const auto& c : cases) {
        Converter::TypedDecimal decimal;
        EXPECT_EQ(Converter::DecimalConverter::Read(c.text, decimal), c.read) << c.text;
        EXPECT_EQ(decimal.kind, c.kind) << c.text;
        if (c.read) {
            double expected = 0.0;
            std::from_chars(c.text, c.text + std::char_traits<char>::length(c.text), expected);
            EXPECT_EQ(decimal.value, expected) << c.text;
            EXPECT_EQ(std::signbit(decimal.value), c.text[0] == '-') << c.text;
        }
    }
}

TEST(DecimalConverter, LeavesWhatIsNotAnExactDecimalOrMapEmpty) {
    const auto engine = Converter::MakeExactEngine({"1", "0", "0", "1"}); // 1 / x
    const Converter::DecimalConverter converter(*engine);
    EXPECT_TRUE(std::isnan(converter.Convert("0").value_or(0.0))); // a pole
    EXPECT_FALSE(converter.Convert("0e5000"));
    EXPECT_FALSE(converter.Convert("inf"));
    EXPECT_FALSE(converter.Convert(std::string(1001, '1')));
    EXPECT_FALSE(converter.Round("0", 3));
    EXPECT_EQ(converter.Round("3", 3), (std::pair<std::int64_t, long>{333, -3}));

    Converter::LinearUnitConverter host(0.3048, 0.0); // doubles, no exact definition
    const Converter::DecimalConverter plain(host);
    EXPECT_FALSE(plain.IsExact());
    EXPECT_FALSE(plain.Convert("0.1"));
    const std::string_view text = "0.1";
    Converter::TypedDecimal decimal;
    Converter::DecimalConverter::Read(text, decimal);
    double result = 0.0;
    plain.Convert(&text, &decimal, &result, 1);
    EXPECT_EQ(result, 0.1 * 0.3048);
}

} // namespace
