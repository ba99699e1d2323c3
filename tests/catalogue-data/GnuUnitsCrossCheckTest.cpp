// Cross-checks every unit of the default catalogue against GNU units, an independent units
// database: each symbol has a hand-written GNU units expression in GnuUnitsExpressions.txt, and
// the catalogue's exact definition must give the same base value at several points.
#include "CatalogueFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using CatalogueData::DefaultCatalogue;
using CatalogueData::UnitEntry;

// The values x at which each unit is evaluated; three points pin a linear unit's factor and
// offset and exercise the curve of a non-linear one.
const double kPoints[] = {1, 2.5, 40};

// The table's expressions by symbol; every line of it is "symbol expression # comment".
std::map<std::string, std::string> LoadTable() {
    std::ifstream in(ORV_GNU_UNITS_TABLE);
    EXPECT_TRUE(in.good()) << "cannot read " << ORV_GNU_UNITS_TABLE;
    std::map<std::string, std::string> table;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        text = text.substr(0, text.find('#'));
        text = text.substr(0, text.find_last_not_of(" \t") + 1);
        const auto symbol = text.find_first_not_of(" \t");
        if (symbol == std::string::npos) {
            continue;
        }
        const auto blank = text.find_first_of(" \t", symbol);
        const auto expression = text.find_first_not_of(" \t", blank);
        // Expressions go to GNU units quoted and one per line.
        EXPECT_TRUE(
            expression != std::string::npos && text.find('\'') == std::string::npos &&
            table.emplace(text.substr(symbol, blank - symbol), text.substr(expression)).second)
            << "GnuUnitsExpressions.txt:" << line
            << ": no expression, a quote or a repeated symbol";
    }
    return table;
}

TEST(GnuUnitsTable, ListsEverySymbolOfTheCatalogueOnce) {
    auto table = LoadTable();
    ASSERT_FALSE(table.empty());
    std::string missing;
    for (const UnitEntry& unit : DefaultCatalogue().units) {
        missing += table.erase(unit.symbol) == 0 ? " " + unit.symbol : "";
    }
    EXPECT_EQ(missing, "") << "symbols of the catalogue without an expression";
    for (const auto& [symbol, expression] : table) {
        ADD_FAILURE() << symbol << " is not in the catalogue";
    }
}

// The lines that `command` writes on its standard output.
std::vector<std::string> LinesOf(const std::string& command) {
    std::vector<std::string> lines(1);
    if (FILE* out = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(out)) != EOF;) {
            if (c == '\n') {
                lines.emplace_back();
            } else {
                lines.back() += static_cast<char>(c);
            }
        }
        pclose(out);
    }
    if (lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

// Converts every pair (from, to) in one GNU units process fed through a file, one answer a line.
std::vector<std::string> ConvertAll(const std::vector<std::pair<std::string, std::string>>& pairs) {
    const std::string input =
        ::testing::TempDir() + "orv_gnu_units_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(input);
        for (const auto& [from, to] : pairs) {
            out << from << '\n' << to << '\n';
        }
    }
    // The default units file only (no personal one), U.S. gallons, C number format, 17 digits.
    // An error message takes the place of an answer, and shifts the answers after it.
    const auto answers =
        LinesOf("LC_ALL=C UNITS_ENGLISH=US units -f '' -o %.17g -t < '" + input + "' 2>&1");
    std::remove(input.c_str());
    return answers;
}

TEST(GnuUnitsCrossCheck, AgreesWithEveryUnitOfTheCatalogue) {
#if defined(_WIN32)
    GTEST_SKIP() << "GNU units is a Linux program: the Linux build cross-checks the catalogue";
#endif
    if (LinesOf("command -v units").empty()) {
        GTEST_SKIP() << "GNU units (the program 'units') is not installed, so the catalogue "
                        "cannot be cross-checked; scripts/setup.sh installs it";
    }
    const auto& file = DefaultCatalogue();
    const auto table = LoadTable();
    std::map<std::string, std::string> baseUnits;
    for (const auto& dimension : file.dimensions) {
        baseUnits[dimension.name] = dimension.baseUnit;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const UnitEntry& unit : file.units) {
        const std::string expression = table.at(unit.symbol);
        const std::string to = "(" + table.at(baseUnits.at(unit.dimension)) + ")";
        for (const double x : kPoints) {
            const std::string value = std::to_string(x);
            const auto at = expression.find("{x}");
            pairs.emplace_back(at == std::string::npos
                                   ? value + " * (" + expression + ")"
                                   : std::string(expression).replace(at, 3, value),
                               to);
        }
    }
    ASSERT_GE(pairs.size(), 3 * 600u);

    const auto answers = ConvertAll(pairs);
    double ignored = 0;
    const auto refused = std::find_if(answers.begin(), answers.end(), [&](const std::string& a) {
        return !ParseNumber(a, ignored);
    });
    ASSERT_TRUE(refused == answers.end()) << "GNU units: " << *refused << " (the first error)";
    ASSERT_EQ(answers.size(), pairs.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const UnitEntry& unit = file.units[i / 3];
        const double x = kPoints[i % 3], ours = static_cast<double>(unit.ToBase(x));
        double gnu = 0;
        // GNU units computes in double: agreement to 1e-12 relative.
        EXPECT_TRUE(ParseNumber(answers[i], gnu) &&
                    std::fabs(ours - gnu) <= 1e-12 * std::max(std::fabs(ours), std::fabs(gnu)))
            << unit.symbol << " = " << table.at(unit.symbol) << " at x = " << x << ": catalogue "
            << ours << ", GNU units " << answers[i];
    }
}

} // namespace
