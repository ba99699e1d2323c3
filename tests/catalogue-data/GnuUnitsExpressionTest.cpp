// Cross-checks unit expressions over the default catalogue against GNU units: every expression
// of GnuUnitsUnitExpressions.txt must give the same base value as the same quantity in GNU
// units, and every refused one must be refused for the reason the table gives.
#include "GnuUnits.h"

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Orv::Pim::Core::Service::Units::Reader::XmlUnitReader;

struct Expression {
    int line;
    std::string ours;
    std::string gnu;    // the same quantity for GNU units; empty when refused
    std::string reason; // part of the reason for refusing it; empty when accepted
};

std::vector<Expression> LoadTable() {
    std::ifstream in(ORV_GNU_UNITS_EXPRESSIONS);
    EXPECT_TRUE(in.good()) << "cannot read " << ORV_GNU_UNITS_EXPRESSIONS;
    std::vector<Expression> table;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (text.empty() || text[0] == '#') {
            continue;
        }
        const bool refused = text.rfind("! ", 0) == 0;
        std::istringstream words(refused ? text.substr(2) : text);
        Expression expression{line, {}, {}, {}};
        words >> expression.ours;
        std::string rest;
        std::getline(words >> std::ws, rest);
        if (refused) {
            expression.reason = rest;
        } else {
            rest = rest.substr(0, rest.find('#'));
            expression.gnu = rest.substr(0, rest.find_last_not_of(' ') + 1);
            expression.gnu = expression.gnu.empty() ? expression.ours : expression.gnu;
        }
        table.push_back(expression);
    }
    return table;
}

// The coherent unit of a signature ("L M T-2") as GNU units writes it.
std::string GnuBaseUnit(const std::string& signature) {
    static const std::map<std::string, std::string> units = {
        {"L", "m"},   {"M", "kg"}, {"T", "s"},          {"I", "A"},      {"\xCE\x98", "K"},
        {"N", "mol"}, {"J", "cd"}, {"Angle", "radian"}, {"Info", "bit"}, {"StdVol", "m^3"}};
    std::istringstream items(signature);
    std::string text = "1";
    for (std::string item; items >> item;) {
        const std::size_t exponent = item.find_first_of("-0123456789");
        text += " " + units.at(item.substr(0, exponent)) + "^" +
                (exponent == std::string::npos ? "1" : item.substr(exponent));
    }
    return text;
}

TEST(GnuUnitsExpressions, AgreeWithGnuUnits) {
    if (const std::string why = CatalogueData::WhyNoGnuUnits(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::Default();
    const auto listed = reader->GetAllUnitSpecs();
    const double points[] = {1, 2.5};
    std::vector<std::pair<std::string, std::string>> pairs;
    std::vector<double> ours;
    std::vector<const Expression*> asked;
    for (const Expression& expression : LoadTable()) {
        if (!expression.reason.empty()) {
            continue;
        }
        SCOPED_TRACE("line " + std::to_string(expression.line) + ": " + expression.ours);
        const auto* unit = reader->GetUnitSpec(expression.ours);
        ASSERT_NE(unit, nullptr) << reader->ExplainMissingUnit(expression.ours)->ToString();
        // The table checks expressions, not the catalogue's own symbols.
        ASSERT_EQ(std::find(listed.begin(), listed.end(), unit), listed.end());
        EXPECT_EQ(unit->symbol, expression.ours);
        const auto signature = reader->GetDimensionSignature(unit->dimensionName);
        ASSERT_TRUE(signature.has_value()) << unit->dimensionName;
        for (const double x : points) {
            pairs.emplace_back(std::to_string(x) + " * (" + expression.gnu + ")",
                               GnuBaseUnit(*signature));
            ours.push_back(unit->converter->Convert(x));
            asked.push_back(&expression);
        }
    }
    CatalogueData::ExpectGnuUnitsAgree(pairs, ours, [&](std::size_t i) {
        return "line " + std::to_string(asked[i]->line) + ": " + asked[i]->ours;
    });
}

TEST(GnuUnitsExpressions, AreRefusedForTheirReasons) {
    const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::Default();
    for (const Expression& expression : LoadTable()) {
        if (expression.reason.empty()) {
            continue;
        }
        SCOPED_TRACE("line " + std::to_string(expression.line) + ": " + expression.ours);
        EXPECT_EQ(reader->GetUnitSpec(expression.ours), nullptr);
        const auto problem = reader->ExplainMissingUnit(expression.ours);
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->reason.find(expression.reason), std::string::npos) << problem->reason;
    }
}

} // namespace
