// The default catalogue's shape: what a reader and the library rely on beyond the schema.
#include "CatalogueFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using CatalogueData::DefaultCatalogue;
using CatalogueData::UnitEntry;

// A text such as "5 ft" is parsed into the measurement named like the unit's dimension; the
// library gives "Unitless", "Dimensionless" and the four unit systems roles of their own.
TEST(DefaultCatalogue, IsAFullCatalogueWithTheNamesTheLibraryReliesOn) {
    const auto& file = DefaultCatalogue();
    EXPECT_GE(file.dimensions.size(), 40u);
    EXPECT_GE(file.measurements.size(), 150u);
    EXPECT_GE(file.units.size(), 600u) << "units and aliases together";
    EXPECT_EQ(file.FindMeasurement("Unitless")->dimension, "Dimensionless");
    for (const auto& dimension : file.dimensions) {
        ASSERT_NE(file.FindMeasurement(dimension.name), nullptr) << dimension.name;
        EXPECT_EQ(file.FindMeasurement(dimension.name)->dimension, dimension.name);
        // Every base unit is a unit of its dimension whose definition is the identity.
        const UnitEntry* base = file.FindUnit(dimension.baseUnit);
        ASSERT_NE(base, nullptr) << dimension.name << " base " << dimension.baseUnit;
        EXPECT_FALSE(base->isAlias) << dimension.baseUnit;
        EXPECT_EQ(base->dimension, dimension.name) << dimension.baseUnit;
        EXPECT_TRUE(base->IsLinear() && base->ToBase(0) == 0 && base->ToBase(1) == 1)
            << dimension.baseUnit;
    }
    std::set<std::string> systems;
    for (const auto& system : file.systems) {
        systems.insert(system.name);
    }
    EXPECT_EQ(systems, (std::set<std::string>{"Imperial", "Metric", "SI", "US Customary"}));
}

// The schema keeps names unique; a blank in a symbol would split the text form "12.5 ft" and the
// measurement's list of symbols.
TEST(DefaultCatalogue, GivesEveryUnitASymbolWithoutBlanksAndADescription) {
    for (const auto& unit : DefaultCatalogue().units) {
        EXPECT_FALSE(unit.symbol.empty() || unit.desc.empty()) << unit.symbol;
        EXPECT_EQ(unit.symbol.find_first_of(" \t\r\n"), std::string::npos) << unit.symbol;
    }
}

// Every Unit states its exact definition, a usable one, and the export-style scale and offset of
// a linear unit say the same to their 6 significant digits.
TEST(DefaultCatalogue, DefinesEveryUnitExactlyAndConsistently) {
    for (const auto& unit : DefaultCatalogue().units) {
        SCOPED_TRACE(unit.symbol);
        ASSERT_TRUE(unit.A || unit.B || unit.C || unit.D);
        if (!unit.IsLinear()) {
            // The export cannot describe a non-linear unit, so the file must not pretend to.
            EXPECT_FALSE(unit.scale || unit.offset);
            continue;
        }
        const long double slope = unit.ToBase(1) - unit.ToBase(0);
        ASSERT_TRUE(std::isfinite(slope) && slope != 0.0L);
        ASSERT_TRUE(unit.scale && unit.offset);
        // The export's numbers convert the base unit into the unit: x = scale * base + offset.
        const double scale = static_cast<double>(1.0L / slope);
        const double offset = static_cast<double>(-unit.ToBase(0) / slope);
        EXPECT_NEAR(std::strtod(unit.scale->c_str(), nullptr), scale, 5e-6 * std::fabs(scale));
        EXPECT_NEAR(std::strtod(unit.offset->c_str(), nullptr), offset, 5e-6 * std::fabs(offset));
    }
}

// A measurement offers standard units of its dimension, and every unit system maps every
// measurement, once, to one of them.
TEST(DefaultCatalogue, MapsEveryMeasurementInEveryUnitSystemToAUnitItOffers) {
    const auto& file = DefaultCatalogue();
    for (const auto& measurement : file.measurements) {
        EXPECT_FALSE(measurement.units.empty()) << measurement.name;
        std::set<std::string> seen;
        for (const auto& symbol : measurement.units) {
            const UnitEntry* unit = file.FindUnit(symbol);
            ASSERT_NE(unit, nullptr) << measurement.name << ": " << symbol;
            EXPECT_TRUE(seen.insert(symbol).second && !unit->isAlias &&
                        unit->dimension == measurement.dimension)
                << measurement.name << ": " << symbol;
        }
    }
    for (const auto& system : file.systems) {
        std::set<std::string> mapped;
        for (const auto& [name, unit] : system.mappings) {
            const auto* measurement = file.FindMeasurement(name);
            ASSERT_TRUE(measurement != nullptr && unit.has_value()) << system.name << ": " << name;
            const auto& offered = measurement->units;
            EXPECT_NE(std::find(offered.begin(), offered.end(), *unit), offered.end())
                << system.name << ": " << name << " in " << *unit;
            EXPECT_TRUE(mapped.insert(name).second) << system.name << ": " << name;
        }
        EXPECT_EQ(mapped.size(), file.measurements.size()) << system.name;
    }
}

// The definitions engineers check first, written with the defining decimals themselves.
TEST(DefaultCatalogue, WritesTheDefiningValuesOfKeyUnits) {
    const std::pair<const char*, const char*> expected[] = {
        {"ft", "-|0.3048|-|-"},
        {"in", "-|0.0254|-|-"},
        {"lbm", "-|0.45359237|-|-"},
        {"lbf", "-|4.4482216152605|-|-"},
        {"psi", "-|4.4482216152605|0.00064516|-"},
        {"psig", "65.370837|4.4482216152605|0.00064516|-"},
        {"bbl", "-|0.158987294928|-|-"},
        {"galUS", "-|0.003785411784|-|-"},
        {"Btu", "-|1055.05585262|-|-"},
        {"cP", "-|0.001|-|-"},
        {"degC", "273.15|1|-|-"},
        {"degF", "2298.35|5|9|-"},
        {"API", "141.5|0|131.5|1"},
        {"mpg", "0.003785411784|0|0|1609.344"},
        {"eV", "-|0.0000000000000000001602176634|-|-"},
    };
    for (const auto& [symbol, definition] : expected) {
        const UnitEntry* unit = DefaultCatalogue().FindUnit(symbol);
        ASSERT_NE(unit, nullptr) << symbol;
        EXPECT_EQ(unit->A.value_or("-") + "|" + unit->B.value_or("-") + "|" +
                      unit->C.value_or("-") + "|" + unit->D.value_or("-"),
                  definition)
            << symbol;
    }
}

} // namespace
