// The default catalogue's data, read with Xerces-C directly rather than with the library's reader
// (which refuses a catalogue whose base units, definitions, offered units or mappings do not fit
// together): the schema of catalogue files, what the library relies on beyond both, and a
// cross-check of every unit against GNU units, an independent units database.
#include "CatalogueFile.h"
#include "GnuUnits.h"
#include "OrvTesting.h"
#include "XmlReadBack.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>

namespace {

using CatalogueData::DefaultCatalogue;
using CatalogueData::UnitEntry;

// The parser's first complaint about each file of schema/<folder>/, if any.
std::vector<std::string> ErrorsOfSamples(const std::string& folder) {
    std::vector<std::string> errors;
    for (const auto& entry : std::filesystem::directory_iterator(ORV_SCHEMA_SAMPLES + folder)) {
        errors.push_back(orv_testing::MessageOf<std::runtime_error>(
            [&] { orv_testing::ReadXmlFile(entry.path().string(), ORV_CATALOGUE_SCHEMA); }));
    }
    return errors;
}

// The default catalogue is read against the schema by every other test here, and what the export
// writes by tests/export. Each file of schema/invalid/ differs from valid/ExactDefinitions.xml by
// the one fault in its name.
TEST(CatalogueSchema, AcceptsWhatTheExportWritesAndRefusesEachMalformedFile) {
    const std::string valid = "(nothing thrown)";
    EXPECT_EQ(ErrorsOfSamples("/valid"), std::vector<std::string>(3, valid));
    const std::vector<std::string> refused = ErrorsOfSamples("/invalid");
    EXPECT_EQ(refused.size(), 18u);
    EXPECT_EQ(std::count(refused.begin(), refused.end(), valid), 0);
}

// A text such as "5 ft" is parsed into the measurement named like the unit's dimension; the
// library gives "Unitless", "Dimensionless" and the unit systems roles of their own. A blank in
// a symbol would split the text form and a measurement's list of symbols.
TEST(DefaultCatalogue, IsAFullCatalogueWithTheNamesTheLibraryReliesOn) {
    const auto& file = DefaultCatalogue();
    EXPECT_GE(file.dimensions.size(), 40u);
    EXPECT_GE(file.measurements.size(), 150u);
    EXPECT_GE(file.units.size(), 600u) << "units and aliases together";
    EXPECT_EQ(file.FindMeasurement("Unitless")->dimension, "Dimensionless");
    for (const auto& dimension : file.dimensions) {
        const auto* measurement = file.FindMeasurement(dimension.name);
        EXPECT_TRUE(measurement && measurement->dimension == dimension.name) << dimension.name;
    }
    for (const auto& unit : file.units) {
        EXPECT_TRUE(!unit.desc.empty() && !unit.symbol.empty() &&
                    unit.symbol.find_first_of(" \t\r\n") == std::string::npos)
            << unit.symbol;
    }
    std::set<std::string> systems;
    for (const auto& system : file.systems) {
        systems.insert(system.name);
    }
    EXPECT_EQ(systems, (std::set<std::string>{"Imperial", "Metric", "SI", "US Customary"}));
}

// The export-style scale and offset of a linear unit (base unit into the unit) say what its exact
// definition says, to their 6 significant digits. The export cannot describe a non-linear unit,
// so the file must not pretend to.
TEST(DefaultCatalogue, GivesLinearUnitsAScaleAndOffsetThatAgreeWithTheirDefinitions) {
    for (const auto& unit : DefaultCatalogue().units) {
        ASSERT_TRUE(unit.A || unit.B || unit.C || unit.D) << unit.symbol;
        if (!unit.IsLinear()) {
            EXPECT_FALSE(unit.scale || unit.offset) << unit.symbol;
            continue;
        }
        const long double slope = unit.ToBase(1) - unit.ToBase(0);
        const double scale = static_cast<double>(1.0L / slope);
        const double offset = static_cast<double>(-unit.ToBase(0) / slope);
        ASSERT_TRUE(unit.scale && unit.offset) << unit.symbol;
        EXPECT_NEAR(std::strtod(unit.scale->c_str(), nullptr), scale, 5e-6 * std::fabs(scale));
        EXPECT_NEAR(std::strtod(unit.offset->c_str(), nullptr), offset, 5e-6 * std::fabs(offset));
    }
}

// Every measurement offers standard units, and every unit system maps every measurement, once, to
// one of them.
TEST(DefaultCatalogue, MapsEveryMeasurementInEveryUnitSystemToAStandardUnitItOffers) {
    const auto& file = DefaultCatalogue();
    for (const auto& measurement : file.measurements) {
        EXPECT_FALSE(measurement.units.empty()) << measurement.name;
        for (const auto& symbol : measurement.units) {
            EXPECT_FALSE(file.FindUnit(symbol)->isAlias) << measurement.name << ": " << symbol;
        }
    }
    for (const auto& system : file.systems) {
        std::set<std::string> mapped;
        for (const auto& [name, unit] : system.mappings) {
            const auto& offered = file.FindMeasurement(name)->units;
            EXPECT_TRUE(unit && std::count(offered.begin(), offered.end(), *unit) == 1 &&
                        mapped.insert(name).second)
                << system.name << ": " << name;
        }
        EXPECT_EQ(mapped.size(), file.measurements.size()) << system.name;
    }
}

// GnuUnitsExpressions.txt gives every symbol of the catalogue a GNU units expression, one a line:
// "symbol expression # comment". The catalogue's definition at x must give the base value that
// GNU units gives for x * (expression), or for the expression at x when it holds {x}, converted
// into the base unit's expression. Three points pin a linear unit's factor and offset and
// exercise the curve of a non-linear one.
TEST(GnuUnitsCrossCheck, AgreesWithEveryUnitOfTheCatalogue) {
    std::map<std::string, std::string> expressions;
    for (const CatalogueData::TableRow& row : CatalogueData::ReadTable(ORV_GNU_UNITS_TABLE)) {
        // Expressions go to GNU units quoted and one per line.
        EXPECT_TRUE(!row.rest.empty() && row.rest.find('\'') == std::string::npos) << row.line;
        EXPECT_TRUE(expressions.emplace(row.key, row.rest).second) << "twice: " << row.key;
    }
    std::string missing;
    for (const UnitEntry& unit : DefaultCatalogue().units) {
        missing += expressions.count(unit.symbol) ? "" : " " + unit.symbol;
    }
    ASSERT_EQ(missing, "") << "symbols without an expression";
    if (const std::string why = CatalogueData::WhyNoGnuUnits(); !why.empty()) {
        GTEST_SKIP() << why;
    }

    const double points[] = {1, 2.5, 40};
    std::map<std::string, std::string> baseUnits;
    for (const auto& dimension : DefaultCatalogue().dimensions) {
        baseUnits[dimension.name] = expressions.at(dimension.baseUnit);
    }
    std::vector<std::pair<std::string, std::string>> questions;
    std::vector<double> ours;
    for (const UnitEntry& unit : DefaultCatalogue().units) {
        const std::string& expression = expressions.at(unit.symbol);
        for (const double x : points) {
            const std::string value = std::to_string(x);
            const auto at = expression.find("{x}");
            questions.emplace_back(at == std::string::npos
                                       ? value + " * (" + expression + ")"
                                       : std::string(expression).replace(at, 3, value),
                                   baseUnits.at(unit.dimension));
            ours.push_back(static_cast<double>(unit.ToBase(x)));
        }
    }
    CatalogueData::ExpectGnuUnitsAgree(questions, ours, [&](std::size_t i) {
        const UnitEntry& unit = DefaultCatalogue().units.at(i / 3);
        return unit.symbol + " = " + expressions.at(unit.symbol) +
               " at x = " + std::to_string(points[i % 3]);
    });
}

} // namespace
