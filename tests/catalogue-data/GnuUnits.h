// GNU units, the independent units database that the catalogue and unit expressions are checked
// against, run as a program on a file of questions.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace CatalogueData {

/// One line of a table of expressions: its number, its first word and the rest, without a "#"
/// comment and the blanks around it.
struct TableRow {
    int line;
    std::string key;
    std::string rest;
};

/// The rows of the table at `path`; blank lines and comments are skipped.
inline std::vector<TableRow> ReadTable(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::vector<TableRow> rows;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::istringstream words(text.substr(0, text.find('#')));
        TableRow row{line, {}, {}};
        if (words >> row.key) {
            std::getline(words >> std::ws, row.rest);
            row.rest.erase(row.rest.find_last_not_of(" \t") + 1);
            rows.push_back(row);
        }
    }
    return rows;
}

/// Why GNU units cannot answer here, or an empty text when it can.
inline std::string WhyNoGnuUnits() {
#if defined(_WIN32)
    return "GNU units is a Linux program: the Linux build cross-checks the catalogue";
#else
    return std::system("command -v units > /dev/null") == 0
               ? ""
               : "GNU units (the program 'units') is not installed; scripts/setup.sh installs it";
#endif
}

/// GNU units' answer to each question (an expression, and the unit to give it in), one a line:
/// the value with 17 significant digits, or an error message in its place. The default units
/// file only, U.S. gallons and the C number format.
inline std::vector<std::string>
AskGnuUnits(const std::vector<std::pair<std::string, std::string>>& questions) {
    const std::string path = ::testing::TempDir() + "orv_gnu_units_" + std::to_string(getpid());
    {
        std::ofstream out(path + ".in");
        for (const auto& [expression, unit] : questions) {
            out << expression << "\n(" << unit << ")\n";
        }
    }
    std::vector<std::string> answers;
    if (std::system(("LC_ALL=C UNITS_ENGLISH=US units -f '' -o %.17g -t < '" + path + ".in' > '" +
                     path + ".out' 2>&1")
                        .c_str()) == 0) {
        std::ifstream in(path + ".out");
        for (std::string answer; std::getline(in, answer);) {
            answers.push_back(answer);
        }
    }
    std::remove((path + ".in").c_str());
    std::remove((path + ".out").c_str());
    return answers;
}

/// Checks GNU units' answer to each question against `ours`, the base value our side gives for it.
/// GNU units computes in double, so the two agree to 1e-12 relative. `what(i)` names question i.
template <typename Describe>
void ExpectGnuUnitsAgree(const std::vector<std::pair<std::string, std::string>>& questions,
                         const std::vector<double>& ours, Describe what) {
    const std::vector<std::string> answers = AskGnuUnits(questions);
    for (std::size_t i = 0; i < answers.size() && i < ours.size(); ++i) {
        char* end = nullptr;
        const double gnu = std::strtod(answers[i].c_str(), &end);
        ASSERT_TRUE(!answers[i].empty() && *end == '\0')
            << "GNU units: " << answers[i] << " for " << questions[i].first;
        EXPECT_LE(std::fabs(ours[i] - gnu), 1e-12 * std::max(std::fabs(ours[i]), std::fabs(gnu)))
            << what(i) << ": ours " << ours[i] << " " << questions[i].second << ", GNU units "
            << answers[i] << " for " << questions[i].first;
    }
    EXPECT_EQ(answers.size(), questions.size());
}

} // namespace CatalogueData
