// Texts of quantities must not depend on the host's locale: a host that switches its C and C++
// locales to one with a decimal comma still reads and writes "2.5 m".
#include "QuantityCatalogue.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <locale>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::Owned;
using Units::Measurement;
using Units::UCDouble;
using Units::Unit;

// Restores the "C" locale for both libraries when a test ends, however it ends, and removes a
// locale the test compiled for itself.
class HostLocaleGuard {
public:
    HostLocaleGuard() = default;
    HostLocaleGuard(HostLocaleGuard const&) = delete;
    HostLocaleGuard& operator=(HostLocaleGuard const&) = delete;
    ~HostLocaleGuard() {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
        if (!generatedDirectory.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(generatedDirectory, ignored);
        }
    }

    std::string generatedDirectory;
};

// A C++ numeric punctuation that writes 1234567.5 as 1.234.567,5.
class CommaPunctuation final : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

bool SelectCommaLocale(char const* name) {
    if (std::setlocale(LC_ALL, name) == nullptr) {
        return false;
    }
    if (std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        return true;
    }
    std::setlocale(LC_ALL, "C");
    return false;
}

// Makes an installed locale with a decimal comma the host's C locale. When the machine has
// none, compiles de_DE.UTF-8 from the "locales" package's sources into a private directory,
// which LOCPATH then points at. Returns the locale's name, or "" when neither works.
std::string SelectAnyCommaLocale(HostLocaleGuard& guard) {
    for (char const* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                             "nl_NL.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
        if (SelectCommaLocale(name)) {
            return name;
        }
    }
    std::string const directory =
        ::testing::TempDir() + "orv_comma_locale_" + std::to_string(::getpid());
    std::string const command = "localedef -i de_DE -f UTF-8 " + directory +
                                "/de_DE.UTF-8 >/dev/null 2>&1; test -f " + directory +
                                "/de_DE.UTF-8/LC_NUMERIC";
    guard.generatedDirectory = directory;
    std::error_code failed;
    if (!std::filesystem::create_directories(directory, failed)) {
        return "";
    }
    if (std::system(command.c_str()) != 0) {
        return "";
    }
    ::setenv("LOCPATH", directory.c_str(), 1);
    return SelectCommaLocale("de_DE.UTF-8") ? "de_DE.UTF-8" : "";
}

// std::ostream would write 2,5 and 1.234.567 under this locale unless the library sets its own.
TEST(UCDoubleLocale, WritesAPointAndNoGroupingUnderACommaGlobalCppLocale) {
    orv_testing::QuantityCatalogue();
    HostLocaleGuard const guard;
    std::locale::global(std::locale(std::locale::classic(), new CommaPunctuation));

    Measurement* depth = Measurement::GetMeasurement("Depth");
    Unit* metre = Unit::GetUnit("m");
    EXPECT_EQ(UCDouble(2.5, depth).ToString(metre), "2.5 m");
    EXPECT_EQ(UCDouble(100000.0, depth).ToString(metre), "100000 m");
    EXPECT_EQ(UCDouble(1234567.0, depth).ToString(metre), "1.23457e+06 m");
}

TEST(UCDoubleLocale, ReadsAndWritesAPointUnderACommaHostLocale) {
    orv_testing::QuantityCatalogue();
    Measurement* depth = Measurement::GetMeasurement("Depth");
    Unit* metre = Unit::GetUnit("m");
    HostLocaleGuard guard;
    std::string const name = SelectAnyCommaLocale(guard);
    if (name.empty()) {
        GTEST_SKIP() << "no locale with a decimal comma is installed and de_DE.UTF-8 could not "
                        "be compiled: install the Debian package 'locales' (for localedef and "
                        "its sources) or 'locales-all'";
    }
    // The C++ side gets the comma from a facet rather than std::locale(name): glibc's newlocale
    // leaks its copy of LOCPATH, which the leak checker would blame on this test.
    std::locale::global(std::locale(std::locale::classic(), new CommaPunctuation));
    ASSERT_EQ(std::strtod("2,5", nullptr), 2.5) << name << " is not in effect";

    EXPECT_EQ(Owned(UCDouble::Parse("2.5 m"))->BaseValue(), 2.5);
    EXPECT_EQ(Owned(UCDouble::Parse("2,5 m"))->BaseValue(), 2.0);
    EXPECT_EQ(Owned(UCDouble::Parse("0.125", depth, metre))->BaseValue(), 0.125);
    EXPECT_EQ(UCDouble(2.5, depth).ToString(metre), "2.5 m");
    EXPECT_EQ(UCDouble(100000.0, depth).ToString(metre), "100000 m");
    EXPECT_EQ(UCDouble(1234567.0, depth).ToString(metre), "1.23457e+06 m");
}

} // namespace
