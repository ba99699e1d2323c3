// Cross-checks unit expressions over the default catalogue against GNU units: every expression
// of GnuUnitsUnitExpressions.txt must give the same base value as the same quantity in GNU
// units, and every refused one must be refused for the reason the table gives. A line of the
// table is "expression [GNU units' expression]", the second one when GNU units writes the
// quantity otherwise, or "! expression reason" for an expression that must be refused.
#include "GnuUnits.h"

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Orv::Pim::Core::Service::Units::Reader::XmlUnitReader;

using CatalogueData::TableRow;

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
    const std::vector<TableRow> table = CatalogueData::ReadTable(ORV_GNU_UNITS_EXPRESSIONS);
    std::vector<const TableRow*> asked;
    for (const TableRow& row : table) {
        if (row.key == "!") {
            continue;
        }
        SCOPED_TRACE("line " + std::to_string(row.line) + ": " + row.key);
        const auto* unit = reader->GetUnitSpec(row.key);
        ASSERT_NE(unit, nullptr) << reader->ExplainMissingUnit(row.key)->ToString();
        // The table checks expressions, not the catalogue's own symbols.
        ASSERT_EQ(std::find(listed.begin(), listed.end(), unit), listed.end());
        EXPECT_EQ(unit->symbol, row.key);
        const auto signature = reader->GetDimensionSignature(unit->dimensionName);
        ASSERT_TRUE(signature.has_value()) << unit->dimensionName;
        for (const double x : points) {
            pairs.emplace_back(std::to_string(x) + " * (" +
                                   (row.rest.empty() ? row.key : row.rest) + ")",
                               GnuBaseUnit(*signature));
            ours.push_back(unit->converter->Convert(x));
            asked.push_back(&row);
        }
    }
    CatalogueData::ExpectGnuUnitsAgree(pairs, ours, [&](std::size_t i) {
        return "line " + std::to_string(asked[i]->line) + ": " + asked[i]->key;
    });
}

TEST(GnuUnitsExpressions, AreRefusedForTheirReasons) {
    const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::Default();
    for (const TableRow& row : CatalogueData::ReadTable(ORV_GNU_UNITS_EXPRESSIONS)) {
        if (row.key != "!") {
            continue;
        }
        std::istringstream words(row.rest);
        std::string expression, reason;
        std::getline(words >> expression >> std::ws, reason);
        SCOPED_TRACE("line " + std::to_string(row.line) + ": " + expression);
        EXPECT_EQ(reader->GetUnitSpec(expression), nullptr);
        const auto problem = reader->ExplainMissingUnit(expression);
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->reason.find(reason), std::string::npos) << problem->reason;
    }
}

} // namespace
