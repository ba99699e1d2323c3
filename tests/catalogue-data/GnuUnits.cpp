#include "GnuUnits.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace CatalogueData {

namespace {

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

} // namespace

bool HaveGnuUnits() {
    return !LinesOf("command -v units").empty();
}

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

std::vector<std::string>
GnuConvertAll(const std::vector<std::pair<std::string, std::string>>& pairs) {
    // One GNU units process fed through a file, one answer a line.
    const std::string input =
        ::testing::TempDir() + "orv_gnu_units_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(input);
        for (const auto& [from, to] : pairs) {
            out << from << '\n' << to << '\n';
        }
    }
    // The default units file only (no personal one), U.S. gallons, C number format, 17 digits;
    // UTF-8 so that µ and Ω read as such.
    const auto answers =
        LinesOf("LC_ALL=C.UTF-8 UNITS_ENGLISH=US units -f '' -o %.17g -t < '" + input + "' 2>&1");
    std::remove(input.c_str());
    return answers;
}

} // namespace CatalogueData
