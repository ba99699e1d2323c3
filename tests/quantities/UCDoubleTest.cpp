// Values that carry their measurement: conversion, comparison, arithmetic, and text: a number,
// optionally one blank and a unit symbol, read and written in the "C" locale whatever the host's.
// Every refusal's message is checked with the others in tests/reliability.
#include "OrvTesting.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

// Without a usable unit (none, or one without an inverse) the conversion gives 0. Into a unit,
// it gives to the bit what a converter from the base unit gives (tests/conversion).
TEST(UCDouble, KeepsItsBaseValueAndConvertsItIntoAUnitOrTheUnitOfASystem) {
    UCDouble depth(1.0, M("Depth"));
    depth.BaseValue(3.048);

    EXPECT_EQ(UCDouble().GetMeasurement(), M("Unitless"));
    EXPECT_EQ(UCDouble(5.0).BaseUnit(), U("1"));
    EXPECT_EQ(depth.BaseUnit(), U("m"));
    EXPECT_THAT(depth.Convert(UnitSystem::GetUnitSystem("Imperial")), NearInUlps(10.0, 1));
    EXPECT_EQ(depth.Convert(UnitSystem::GetUnitSystem("Metric")), 3.048);
    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_THAT(depth.Convert(), NearInUlps(10.0, 1));
    EXPECT_THAT(UCDouble(373.15, M("Temperature")).Convert(), NearInUlps(212.0, 16));
    EXPECT_THAT(UCDouble(4.0, M("Burn rate")).Convert(U("km/L")), NearInUlps(25.0, 1));
    EXPECT_EQ(depth.Convert(static_cast<Unit const*>(nullptr)), 0.0);
    EXPECT_EQ(depth.Convert(static_cast<UnitSystem*>(nullptr)), 0.0);
    EXPECT_EQ(depth.Convert(U("zero")), 0.0);
}

TEST(UCDouble, EqualsAValueOfTheSameMeasurementAndBaseValueButNeverNaN) {
    UCDouble const depth(2.0, M("Depth"));
    UCDouble const nan(std::numeric_limits<double>::quiet_NaN(), M("Depth"));

    EXPECT_TRUE(depth == UCDouble(2.0, M("Depth")));
    EXPECT_FALSE(depth != UCDouble(2.0, M("Depth")));
    EXPECT_TRUE(depth != UCDouble(2.0, M("Length"))); // of the same dimension
    EXPECT_FALSE(depth.Equals(UCDouble(2.5, M("Depth"))));
    EXPECT_FALSE(nan.Equals(nan) || nan == nan);
    EXPECT_TRUE(nan != nan);
}

// Every operator gives a new value, owned by the caller, and leaves its operands alone. A product
// takes the measurement of its dimensional side, or of the right side when both are
// dimensionless; a left operand without a measurement adds to anything and scales by a
// dimensionless value.
TEST(UCDouble, ComputesNewValuesWhoseMeasurementFollowsTheOperands) {
    UCDouble const depth(2.0, M("Depth")), half(0.5, M("Depth")), three(3.0),
        ratio(0.5, M("Ratio")), bare(4.0, nullptr);
    const struct {
        std::function<UCDouble&()> compute;
        double base;
        Measurement* measurement;
    } cases[] = {
        {[&]() -> UCDouble& { return depth + half; }, 2.5, M("Depth")},
        {[&]() -> UCDouble& { return depth - half; }, 1.5, M("Depth")},
        {[&]() -> UCDouble& { return three * depth; }, 6.0, M("Depth")},
        {[&]() -> UCDouble& { return depth * three; }, 6.0, M("Depth")},
        {[&]() -> UCDouble& { return depth / UCDouble(4.0); }, 0.5, M("Depth")},
        {[&]() -> UCDouble& { return depth * 1.5; }, 3.0, M("Depth")},
        {[&]() -> UCDouble& { return three * ratio; }, 1.5, M("Ratio")},
        {[&]() -> UCDouble& { return ratio * three; }, 1.5, M("Unitless")},
        {[&]() -> UCDouble& { return bare + depth; }, 6.0, nullptr},
        {[&]() -> UCDouble& { return bare - depth; }, 2.0, nullptr},
        {[&]() -> UCDouble& { return three * bare; }, 12.0, nullptr},
        {[&]() -> UCDouble& { return bare * 0.5; }, 2.0, nullptr},
    };
    for (const auto& c : cases) {
        auto first = Owned(c.compute());
        auto second = Owned(c.compute());
        EXPECT_NE(first.get(), second.get());
        EXPECT_EQ(first->BaseValue(), c.base);
        EXPECT_EQ(first->GetMeasurement(), c.measurement) << c.base;
    }
    EXPECT_EQ(depth.BaseValue(), 2.0);
    EXPECT_TRUE(std::isinf(Owned(depth / UCDouble(0.0))->BaseValue()));
}

// A number alone is unitless, and whatever follows it up to the blank is ignored; with a unit it
// goes into the measurement named like the unit's dimension, or without one into the first
// measurement by name (Burn rate, for Consumption).
TEST(UCDoubleText, ReadsANumberAndAUnitIntoTheMeasurementOfTheUnitsDimension) {
    Catalogue();
    const struct {
        const char* text;
        double base;
        const char* measurement;
    } cases[] = {
        {"5", 5.0, "Unitless"},
        {"-2.5e3", -2500.0, "Unitless"},
        {"", 0.0, "Unitless"},
        {"5x", 5.0, "Unitless"},
        {"5\tm", 5.0, "Unitless"},
        {"5 ft", 1.524, "Length"},
        {"100 degC", 373.15, "Temperature"},
        {"20 km/L", 5.0, "Burn rate"},
        {"abc m", 0.0, "Length"},
    };
    for (const auto& c : cases) {
        auto value = Owned(UCDouble::Parse(c.text));
        EXPECT_THAT(value->BaseValue(), NearInUlps(c.base, 4)) << '"' << c.text << '"';
        EXPECT_EQ(value->GetMeasurement(), M(c.measurement)) << '"' << c.text << '"';
    }
}

// Usual decimals take a faster path than strtod; every text must still read as strtod reads it
// in the "C" locale, to the bit: hexadecimal, signs, infinities, NaN, range errors, halfway cases.
// The C runtime's strtod in the "C" locale: on Windows the runtime's own _strtod_l, which reads
// neither hexadecimal nor infinities, rather than MinGW's replacement of strtod.
double CStrtod(const char* text) {
#if defined(_WIN32)
    static const _locale_t c = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text, nullptr, c);
#else
    return std::strtod(text, nullptr);
#endif
}

// Listed texts, then random decimals of up to 24 digits with the point anywhere or nowhere and an
// exponent now and then: the plain ones take the quick path, the others the general one.
TEST(UCDoubleText, ReadsEachNumberAsStrtodDoesInTheCLocale) {
    Catalogue();
    // Blank-separated, after a leading tab that strtod skips.
    std::vector<std::string> texts = {"\t7"};
    std::istringstream words(
        "12.5 -0 .5 5. 1e 1e+ --5 +5 +-5 0x1p3 -0X1.8 0x inf -Infinity nan nan(12) 1e400 -1e400 "
        "1e-400 4.9e-324 2.2250738585072011e-308 1.7976931348623157e308 9007199254740993 "
        "0.1000000000000000055511151231257827021181583404541015625 . - x1 5x 1.2.3 -.5e1 "
        "9007199254740992 9007199254740993.5 "
        "0.0000000000000000000001 0.00000000000000000000001 1234567890123456789 "
        "12345678901234567890 0.30000000000000001665");
    for (std::string word; words >> word;) {
        texts.push_back(word);
    }
    std::mt19937_64 random(2024);
    for (int i = 0; i < 100000; ++i) {
        std::string& text = texts.emplace_back(random() % 4 == 0 ? "-" : "");
        const int digits = 1 + static_cast<int>(random() % 24);
        const int point = static_cast<int>(random() % (digits + 2));
        for (int d = 0; d < digits; ++d) {
            text += std::string(d == point ? "." : "") + static_cast<char>('0' + random() % 10);
        }
        if (random() % 8 == 0) {
            text += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
        }
    }
    for (const std::string& text : texts) {
        const double expected = CStrtod(text.c_str());
        const double read = Owned(UCDouble::Parse(text))->BaseValue();
        // To the bit, NaN's sign and payload included.
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0)
            << text << ": " << read << " against " << expected;
    }
}

// A unit written in the text wins over the unit given.
TEST(UCDoubleText, ReadsABareNumberInTheGivenUnitOrTheUnitOfASystem) {
    auto written = Owned(UCDouble::Parse("5 m", M("Depth"), U("ft")));
    EXPECT_EQ(written->BaseValue(), 5.0);
    EXPECT_EQ(written->GetMeasurement(), M("Depth"));
    EXPECT_THAT(Owned(UCDouble::Parse("5", M("Temperature"), U("degC")))->BaseValue(),
                NearInUlps(278.15, 1));
    EXPECT_THAT(Owned(UCDouble::Parse("10", M("Depth"), UnitSystem::GetUnitSystem("Imperial")))
                    ->BaseValue(),
                NearInUlps(3.048, 1));
    EXPECT_EQ(Owned(UCDouble::Parse("10", M("Depth")))->BaseValue(), 10.0);
    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_THAT(Owned(UCDouble::Parse("10", M("Depth")))->BaseValue(), NearInUlps(3.048, 1));
}

// Nothing to convert with: "0" for a missing unit, "" for a missing system, "0 zero" for a unit
// without an inverse. Only six significant digits survive a trip through text; how each number
// is written is checked against a stream below.
TEST(UCDoubleText, WritesSixSignificantDigitsAndTheSymbolInAUnitOrTheUnitOfASystem) {
    UCDouble const depth(3.048, M("Depth"));
    EXPECT_EQ(depth.ToString(UnitSystem::GetUnitSystem("Imperial")), "10 ft");
    EXPECT_EQ(depth.ToString(UnitSystem::GetUnitSystem("Metric")), "3.048 m");
    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_EQ(UCDouble(373.15, M("Temperature")).ToString(), "212 degF");
    EXPECT_EQ(depth.ToString(static_cast<Unit const*>(nullptr)), "0");
    EXPECT_EQ(depth.ToString(static_cast<UnitSystem*>(nullptr)), "");
    EXPECT_EQ(depth.ToString(U("zero")), "0 zero");
    auto back = Owned(UCDouble::Parse(UCDouble(1.0 / 3.0, M("Length")).ToString(U("m"))));
    EXPECT_EQ(back->BaseValue(), 0.333333);
}

// The empty symbol is a unit like any other: "5 " reads it, and no measurement is named like its
// dimension, so the stand-in (Burn rate) refuses it.
TEST(UCDoubleText, WritesATrailingBlankForAUnitWithAnEmptySymbol) {
    Catalogue().records.AddUnit("", "bare count", "Dimensionless", 1.0);
    EXPECT_EQ(UCDouble(2.5).ToString(U("")), "2.5 ");
    EXPECT_EQ(MessageOf([] { delete &UCDouble::Parse("5 "); }), "Cannot convert from  to L/100km");
}

// ToString writes numbers without a stream, so it is checked against one: every binade by random
// bit patterns (NaNs of either sign, infinities and subnormals included), and the places where
// six-digit rounding carries into a new digit or the form switches to an exponent.
TEST(UCDoubleText, WritesEveryNumberAsADefaultStreamDoes) {
    using Limits = std::numeric_limits<double>;
    std::vector<double> values = {
        0.0, -0.0, Limits::infinity(), -Limits::quiet_NaN(), Limits::denorm_min(), Limits::max()};
    std::mt19937_64 random(1961);
    for (int i = 0; i < 60000; ++i) {
        const std::uint64_t bits = random();
        std::memcpy(&values.emplace_back(), &bits, sizeof bits);
    }
    for (int exponent = -320; exponent <= 308; ++exponent) {
        for (const double mantissa : {1.0, 9.999995, 9.9999949999999, 1.000005, 1.2345650}) {
            const double value = mantissa * std::pow(10.0, exponent);
            values.insert(values.end(), {value, -std::nextafter(value, 0.0),
                                         std::nextafter(value, Limits::infinity())});
        }
    }
    // Halfway between two six-digit numbers exactly, where rounding goes to the even one.
    values.insert(values.end(), {1234565.0, 1234575.0, 123456.5, 100000.5, 100001.5, 999999.5,
                                 999998.5, 0.5, 2.5e-5, 9999995.0, 1.5e22, 1e27, 1e-17});
    for (const double base : values) {
        const UCDouble value(base, M("Depth"));
        // The number written is the value in the unit (0 for -0), so the stream gets that number.
        std::ostringstream stream;
        stream.imbue(std::locale::classic());
        stream << value.Convert(U("m")) << " m";
        ASSERT_EQ(value.ToString(U("m")), stream.str()) << base;
    }
}

// Restores the "C" locale of both libraries when the test ends, however it ends, and removes the
// locale the test compiled for itself.
struct HostLocaleGuard {
    std::string compiled = ::testing::TempDir() + "orv_comma_locale_" + std::to_string(getpid());
    ~HostLocaleGuard() {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
        std::error_code ignored;
        std::filesystem::remove_all(compiled, ignored);
    }
};

bool SelectCommaLocale(char const* name) {
    return std::setlocale(LC_ALL, name) != nullptr &&
           std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

// The C++ side gets its comma from a facet rather than a named locale: glibc's newlocale leaks
// its copy of LOCPATH, which the leak checker would blame on this test. The C side gets an
// installed locale with a decimal comma (Windows names the German one differently), or on Linux
// de_DE.UTF-8 compiled from the "locales" package's sources into a private directory that
// LOCPATH then points at.
TEST(UCDoubleText, ReadsAndWritesAPointUnderACommaHostLocale) {
    HostLocaleGuard guard;
    std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    EXPECT_EQ(UCDouble(1234.5, M("Depth")).ToString(U("m")), "1234.5 m");

    bool selected = false;
    for (char const* name :
         {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "German_Germany.1252"}) {
        selected = selected || SelectCommaLocale(name);
    }
#if !defined(_WIN32)
    if (!selected && std::filesystem::create_directories(guard.compiled) &&
        std::system(
            ("localedef -i de_DE -f UTF-8 " + guard.compiled + "/de_DE.UTF-8 >/dev/null 2>&1")
                .c_str()) == 0) {
        ::setenv("LOCPATH", guard.compiled.c_str(), 1);
        selected = SelectCommaLocale("de_DE.UTF-8");
    }
#endif
    if (!selected) {
        GTEST_SKIP() << "no locale with a decimal comma is installed and de_DE.UTF-8 could not "
                        "be compiled: install the Debian package 'locales' (for localedef and "
                        "its sources) or 'locales-all'";
    }
    ASSERT_EQ(std::strtod("2,5", nullptr), 2.5) << "the comma locale is not in effect";
    EXPECT_EQ(Owned(UCDouble::Parse("2.5 m"))->BaseValue(), 2.5);
    EXPECT_EQ(Owned(UCDouble::Parse("0.125", M("Depth"), U("m")))->BaseValue(), 0.125);
    EXPECT_EQ(UCDouble(1234.5, M("Depth")).ToString(U("m")), "1234.5 m");
}

} // namespace
