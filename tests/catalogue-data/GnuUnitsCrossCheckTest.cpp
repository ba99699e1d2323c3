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
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

using CatalogueData::DefaultCatalogue;
using CatalogueData::UnitEntry;

// Relative agreement required between the catalogue and GNU units, which computes in double.
constexpr double kTolerance = 1e-12;
// The values x at which each unit is evaluated; three points pin a linear unit's factor and
// offset and exercise the curve of a non-linear one.
const char* const kPoints[] = {"1", "2.5", "40"};

struct TableEntry {
    std::string symbol;
    std::string expression;
    int line = 0;
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::vector<TableEntry> LoadTable() {
    std::ifstream in(ORV_GNU_UNITS_TABLE);
    EXPECT_TRUE(in.good()) << "cannot read " << ORV_GNU_UNITS_TABLE;
    std::vector<TableEntry> table;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        text = Trim(text.substr(0, text.find('#')));
        if (text.empty()) {
            continue;
        }
        const auto blank = text.find_first_of(" \t");
        if (blank == std::string::npos) {
            ADD_FAILURE() << "GnuUnitsExpressions.txt:" << line << ": no expression";
            continue;
        }
        table.push_back({text.substr(0, blank), Trim(text.substr(blank)), line});
    }
    return table;
}

std::map<std::string, std::string> TableBySymbol() {
    std::map<std::string, std::string> bySymbol;
    for (const auto& entry : LoadTable()) {
        bySymbol.emplace(entry.symbol, entry.expression);
    }
    return bySymbol;
}

TEST(GnuUnitsTable, ListsEverySymbolOfTheCatalogueOnce) {
    const auto table = LoadTable();
    ASSERT_FALSE(table.empty());
    std::set<std::string> listed;
    for (const auto& entry : table) {
        EXPECT_TRUE(listed.insert(entry.symbol).second)
            << "line " << entry.line << ": " << entry.symbol << " listed twice";
        // Expressions go to GNU units quoted and one per line.
        EXPECT_EQ(entry.expression.find('\''), std::string::npos) << "line " << entry.line;
    }
    std::set<std::string> catalogue;
    for (const auto& unit : DefaultCatalogue().units) {
        catalogue.insert(unit.symbol);
        EXPECT_TRUE(listed.count(unit.symbol)) << unit.symbol << " has no GNU units expression";
    }
    for (const auto& entry : table) {
        EXPECT_TRUE(catalogue.count(entry.symbol))
            << "line " << entry.line << ": " << entry.symbol << " is not in the catalogue";
    }
}

// ---------------------------------------------------------------------------------------------
// Running GNU units

bool GnuUnitsInstalled() {
#ifdef _WIN32
    return false;
#else
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/units";
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
#endif
}

// The default units file only (no personal one), U.S. gallons, C number format, 17 digits.
const char* const kGnuUnits = "LC_ALL=C UNITS_ENGLISH=US units -f '' -o %.17g -t";

std::vector<std::string> RunCommand(const std::string& command) {
    std::vector<std::string> lines;
#ifndef _WIN32
    FILE* out = popen(command.c_str(), "r");
    if (out == nullptr) {
        return lines;
    }
    std::string line;
    for (int c; (c = std::fgetc(out)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    pclose(out);
#endif
    return lines;
}

long ProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

struct Conversion {
    std::string from;
    std::string to;
};

// Converts every pair in one GNU units process, fed through standard input. Any error message
// would shift the answers against the questions, so then each conversion runs on its own and
// carries its own message.
std::vector<std::string> ConvertAll(const std::vector<Conversion>& conversions) {
    // Named after the process, so that test runs of two build trees never share the file.
    const std::string input =
        ::testing::TempDir() + "orv_gnu_units_input_" + std::to_string(ProcessId()) + ".txt";
    {
        std::ofstream out(input);
        for (const auto& c : conversions) {
            out << c.from << '\n' << c.to << '\n';
        }
    }
    auto answers = RunCommand(std::string(kGnuUnits) + " < '" + input + "' 2>/dev/null");
    std::remove(input.c_str());
    double ignored = 0;
    const bool clean = answers.size() == conversions.size() &&
                       std::all_of(answers.begin(), answers.end(), [&](const std::string& answer) {
                           return ParseNumber(answer, ignored);
                       });
    if (clean) {
        return answers;
    }
    answers.clear();
    for (const auto& c : conversions) {
        const auto lines =
            RunCommand(std::string(kGnuUnits) + " '" + c.from + "' '" + c.to + "' 2>&1");
        std::string joined;
        for (const auto& line : lines) {
            joined += (joined.empty() ? "" : " / ") + line;
        }
        answers.push_back(joined);
    }
    return answers;
}

std::string Substitute(const std::string& expression, const std::string& x) {
    std::string result = expression;
    for (auto at = result.find("{x}"); at != std::string::npos; at = result.find("{x}", at)) {
        result.replace(at, 3, x);
        at += x.size();
    }
    return result;
}

bool Close(double a, double b, double scale) {
    return std::fabs(a - b) <= kTolerance * scale;
}

TEST(GnuUnitsCrossCheck, AgreesWithEveryUnitOfTheCatalogue) {
    if (!GnuUnitsInstalled()) {
        GTEST_SKIP() << "GNU units (the program 'units') is not installed, so the catalogue "
                        "cannot be cross-checked; scripts/setup.sh installs it";
    }
    const auto& file = DefaultCatalogue();
    const auto table = TableBySymbol();

    struct Check {
        const UnitEntry* unit;
        std::string expression;
    };
    std::vector<Check> checks;
    std::vector<Conversion> conversions;
    for (const auto& unit : file.units) {
        const auto expression = table.find(unit.symbol);
        const auto* dimension = file.FindDimension(unit.dimension);
        if (expression == table.end() || dimension == nullptr || !dimension->baseUnit ||
            !table.count(*dimension->baseUnit)) {
            ADD_FAILURE() << unit.symbol << ": no expression for the unit or its base unit";
            continue;
        }
        const std::string to = "(" + table.at(*dimension->baseUnit) + ")";
        const bool function = expression->second.find("{x}") != std::string::npos;
        for (const char* x : kPoints) {
            conversions.push_back({function ? Substitute(expression->second, x)
                                            : std::string(x) + " * (" + expression->second + ")",
                                   to});
        }
        checks.push_back({&unit, expression->second});
    }
    ASSERT_GE(checks.size(), 600u);

    const auto answers = ConvertAll(conversions);
    ASSERT_EQ(answers.size(), conversions.size());
    const std::size_t points = std::size(kPoints);
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const UnitEntry& unit = *checks[i].unit;
        SCOPED_TRACE(unit.symbol + " = " + checks[i].expression);
        double gnu[std::size(kPoints)] = {};
        bool answered = true;
        for (std::size_t p = 0; p < points; ++p) {
            const auto& answer = answers[i * points + p];
            if (!ParseNumber(answer, gnu[p])) {
                ADD_FAILURE() << "GNU units says: " << answer << " (converting "
                              << conversions[i * points + p].from << " to "
                              << conversions[i * points + p].to << ")";
                answered = false;
                break;
            }
        }
        if (!answered) {
            continue;
        }
        for (std::size_t p = 0; p < points; ++p) {
            const double x = std::strtod(kPoints[p], nullptr);
            const double ours = static_cast<double>(unit.ToBase(x));
            EXPECT_TRUE(Close(ours, gnu[p], std::max(std::fabs(ours), std::fabs(gnu[p]))))
                << "at x = " << kPoints[p] << ": catalogue " << ours << ", GNU units " << gnu[p]
                << ", relative difference " << (ours - gnu[p]) / gnu[p];
        }
        if (unit.IsLinear()) {
            // Factor and offset on their own, so that a small offset is not hidden in a large
            // value: GNU units' line through the first and last points.
            const double x0 = std::strtod(kPoints[0], nullptr);
            const double x1 = std::strtod(kPoints[points - 1], nullptr);
            const double gnuFactor = (gnu[points - 1] - gnu[0]) / (x1 - x0);
            const double gnuOffset = gnu[0] - gnuFactor * x0;
            const double factor = static_cast<double>(unit.ToBase(1) - unit.ToBase(0));
            const double offset = static_cast<double>(unit.ToBase(0));
            EXPECT_TRUE(Close(factor, gnuFactor, 4 * std::fabs(gnuFactor)))
                << "factor: catalogue " << factor << ", GNU units " << gnuFactor;
            EXPECT_TRUE(Close(offset, gnuOffset, 4 * std::max(std::fabs(gnu[0]), 1e-300)))
                << "offset: catalogue " << offset << ", GNU units " << gnuOffset;
        }
    }
}

} // namespace
