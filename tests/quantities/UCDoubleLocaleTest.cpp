// Texts of quantities must not depend on the host's locale: a host that switches its C and C++
// locales to one with a decimal comma still reads and writes "2.5 m".
#include "QuantityCatalogue.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <locale>
#include <string>
#include <unistd.h>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::M;
using orv_testing::Owned;
using orv_testing::U;
using Units::UCDouble;

// A C++ numeric punctuation that writes 1234567.5 as 1.234.567,5.
class CommaPunctuation final : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

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

TEST(UCDoubleLocale, ReadsAndWritesAPointUnderACommaHostLocale) {
    HostLocaleGuard guard;
    const auto expectPointWritten = [] {
        EXPECT_EQ(UCDouble(2.5, M("Depth")).ToString(U("m")), "2.5 m");
        EXPECT_EQ(UCDouble(100000.0, M("Depth")).ToString(U("m")), "100000 m");
        EXPECT_EQ(UCDouble(1234567.0, M("Depth")).ToString(U("m")), "1.23457e+06 m");
    };
    // std::ostream would write 2,5 and 1.234.567 unless the library sets its own locale. The C++
    // side gets the comma from a facet rather than a named locale: glibc's newlocale leaks its
    // copy of LOCPATH, which the leak checker would blame on this test.
    std::locale::global(std::locale(std::locale::classic(), new CommaPunctuation));
    expectPointWritten();

    // An installed locale with a decimal comma (Windows names the German one differently), or
    // de_DE.UTF-8 compiled from the "locales" package's sources into a private directory that
    // LOCPATH then points at.
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
    EXPECT_EQ(Owned(UCDouble::Parse("2,5 m"))->BaseValue(), 2.0);
    EXPECT_EQ(Owned(UCDouble::Parse("0.125", M("Depth"), U("m")))->BaseValue(), 0.125);
    expectPointWritten();
}

} // namespace
