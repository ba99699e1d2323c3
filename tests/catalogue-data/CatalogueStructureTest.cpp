// The default catalogue's shape: what a reader and the library rely on beyond the schema.

#include "CatalogueFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace {

using CatalogueData::DefaultCatalogue;
using CatalogueData::UnitEntry;

const char* const kSystems[] = {"Metric", "SI", "Imperial", "US Customary"};

TEST(DefaultCatalogue, IsAFullEngineeringCatalogue) {
    const auto& file = DefaultCatalogue();
    EXPECT_GE(file.dimensions.size(), 40u);
    EXPECT_GE(file.measurements.size(), 150u);
    EXPECT_GE(file.units.size(), 600u) << "units and aliases together";
}

TEST(DefaultCatalogue, HasTheNamesTheLibraryGivesARole) {
    const auto& file = DefaultCatalogue();
    const auto* unitless = file.FindMeasurement("Unitless");
    ASSERT_NE(unitless, nullptr);
    EXPECT_EQ(unitless->dimension, "Dimensionless");
    ASSERT_NE(file.FindDimension("Dimensionless"), nullptr);
    for (const char* system : kSystems) {
        EXPECT_NE(file.FindSystem(system), nullptr) << system;
    }
}

// A text such as "5 ft" is parsed into the measurement named like the unit's dimension; without
// one, it would land in whatever measurement sorts first.
TEST(DefaultCatalogue, GivesEveryDimensionAMeasurementOfItsOwnName) {
    const auto& file = DefaultCatalogue();
    for (const auto& dimension : file.dimensions) {
        const auto* measurement = file.FindMeasurement(dimension.name);
        ASSERT_NE(measurement, nullptr) << dimension.name;
        EXPECT_EQ(measurement->dimension, dimension.name);
    }
}

TEST(DefaultCatalogue, KeepsNamesAndSymbolsUnique) {
    const auto& file = DefaultCatalogue();
    std::set<std::string> dimensions, measurements, symbols, systems;
    for (const auto& d : file.dimensions) {
        EXPECT_TRUE(dimensions.insert(d.name).second) << "dimension " << d.name;
    }
    for (const auto& m : file.measurements) {
        EXPECT_TRUE(measurements.insert(m.name).second) << "measurement " << m.name;
    }
    for (const auto& u : file.units) {
        EXPECT_TRUE(symbols.insert(u.symbol).second) << "symbol " << u.symbol;
        // A blank would split the text form "12.5 ft" and the measurement's list of symbols.
        EXPECT_FALSE(u.symbol.empty());
        EXPECT_EQ(u.symbol.find_first_of(" \t\r\n"), std::string::npos) << u.symbol;
        EXPECT_FALSE(u.desc.empty()) << u.symbol;
    }
    for (const auto& s : file.systems) {
        EXPECT_TRUE(systems.insert(s.name).second) << "unit system " << s.name;
    }
}

TEST(DefaultCatalogue, MakesEveryBaseUnitAnIdentityUnitOfItsDimension) {
    const auto& file = DefaultCatalogue();
    for (const auto& dimension : file.dimensions) {
        ASSERT_TRUE(dimension.baseUnit.has_value()) << dimension.name;
        const UnitEntry* base = file.FindUnit(*dimension.baseUnit);
        ASSERT_NE(base, nullptr) << dimension.name << " base " << *dimension.baseUnit;
        EXPECT_FALSE(base->isAlias) << *dimension.baseUnit;
        EXPECT_EQ(base->dimension, dimension.name) << *dimension.baseUnit;
        EXPECT_TRUE(base->IsIdentity()) << *dimension.baseUnit;
    }
}

// Every Unit states its exact definition, a usable one, and the export-style scale and offset of
// a linear unit say the same to their 6 significant digits.
TEST(DefaultCatalogue, DefinesEveryUnitExactlyAndConsistently) {
    const auto& file = DefaultCatalogue();
    for (const auto& unit : file.units) {
        if (unit.isAlias) {
            continue;
        }
        SCOPED_TRACE(unit.symbol);
        ASSERT_TRUE(unit.HasExactDefinition());
        const long double c = unit.C ? CatalogueData::ParseDecimal(*unit.C) : 1.0L;
        const long double d = unit.D ? CatalogueData::ParseDecimal(*unit.D) : 0.0L;
        EXPECT_FALSE(c == 0.0L && d == 0.0L) << "the denominator C + D x is zero";
        if (!unit.IsLinear()) {
            // The export cannot describe a non-linear unit, so the file must not pretend to.
            EXPECT_FALSE(unit.scale || unit.offset);
            continue;
        }
        EXPECT_NE(unit.ToBase(1) - unit.ToBase(0), 0.0L) << "a linear unit needs a slope";
        ASSERT_TRUE(unit.scale && unit.offset);
        // The export's numbers convert the base unit into the unit: x = scale * base + offset.
        const long double slope = unit.ToBase(1) - unit.ToBase(0);
        const double scale = static_cast<double>(1.0L / slope);
        const double offset = static_cast<double>(-unit.ToBase(0) / slope);
        const double writtenScale = std::strtod(unit.scale->c_str(), nullptr);
        const double writtenOffset = std::strtod(unit.offset->c_str(), nullptr);
        EXPECT_NEAR(writtenScale, scale, 5e-6 * std::fabs(scale));
        EXPECT_NEAR(writtenOffset, offset, 5e-6 * std::fabs(offset));
    }
}

TEST(DefaultCatalogue, OffersForEachMeasurementOnlyStandardUnitsOfItsDimension) {
    const auto& file = DefaultCatalogue();
    for (const auto& measurement : file.measurements) {
        SCOPED_TRACE(measurement.name);
        ASSERT_TRUE(measurement.hasUnitsAttribute);
        EXPECT_FALSE(measurement.units.empty());
        std::set<std::string> seen;
        for (const auto& symbol : measurement.units) {
            EXPECT_TRUE(seen.insert(symbol).second) << symbol << " offered twice";
            const UnitEntry* unit = file.FindUnit(symbol);
            ASSERT_NE(unit, nullptr) << symbol;
            EXPECT_EQ(unit->dimension, measurement.dimension) << symbol;
            EXPECT_FALSE(unit->isAlias) << symbol << " is an alias";
        }
    }
}

TEST(DefaultCatalogue, MapsEveryMeasurementInEveryUnitSystemToAnOfferedUnit) {
    const auto& file = DefaultCatalogue();
    for (const char* name : kSystems) {
        const auto* system = file.FindSystem(name);
        ASSERT_NE(system, nullptr) << name;
        std::map<std::string, std::string> mapped;
        for (const auto& mapping : system->mappings) {
            SCOPED_TRACE(std::string(name) + ": " + mapping.measurement);
            const auto* measurement = file.FindMeasurement(mapping.measurement);
            ASSERT_NE(measurement, nullptr);
            ASSERT_TRUE(mapping.unit.has_value());
            const UnitEntry* unit = file.FindUnit(*mapping.unit);
            ASSERT_NE(unit, nullptr) << *mapping.unit;
            EXPECT_EQ(unit->dimension, measurement->dimension) << *mapping.unit;
            const auto& offered = measurement->units;
            EXPECT_TRUE(std::find(offered.begin(), offered.end(), *mapping.unit) != offered.end())
                << *mapping.unit << " is not offered";
            EXPECT_TRUE(mapped.emplace(mapping.measurement, *mapping.unit).second)
                << "mapped twice";
        }
        EXPECT_EQ(mapped.size(), file.measurements.size()) << name << " misses measurements";
    }
}

// The definitions engineers check first, written with the defining decimals themselves.
TEST(DefaultCatalogue, WritesTheDefiningValuesOfKeyUnits) {
    struct Expected {
        const char* symbol;
        const char *A, *B, *C, *D; // nullptr: the attribute is absent
    };
    const Expected expected[] = {
        {"ft", nullptr, "0.3048", nullptr, nullptr},
        {"in", nullptr, "0.0254", nullptr, nullptr},
        {"lbm", nullptr, "0.45359237", nullptr, nullptr},
        {"lbf", nullptr, "4.4482216152605", nullptr, nullptr},
        {"psi", nullptr, "4.4482216152605", "0.00064516", nullptr},
        {"psig", "65.370837", "4.4482216152605", "0.00064516", nullptr},
        {"bbl", nullptr, "0.158987294928", nullptr, nullptr},
        {"galUS", nullptr, "0.003785411784", nullptr, nullptr},
        {"Btu", nullptr, "1055.05585262", nullptr, nullptr},
        {"cP", nullptr, "0.001", nullptr, nullptr},
        {"degC", "273.15", "1", nullptr, nullptr},
        {"degF", "2298.35", "5", "9", nullptr},
        {"API", "141.5", "0", "131.5", "1"},
        {"mpg", "0.003785411784", "0", "0", "1609.344"},
        {"eV", nullptr, "0.0000000000000000001602176634", nullptr, nullptr},
    };
    const auto& file = DefaultCatalogue();
    auto same = [](const std::optional<std::string>& written, const char* want) {
        return want == nullptr ? !written.has_value() : written == std::string(want);
    };
    for (const auto& e : expected) {
        const UnitEntry* unit = file.FindUnit(e.symbol);
        ASSERT_NE(unit, nullptr) << e.symbol;
        EXPECT_TRUE(same(unit->A, e.A) && same(unit->B, e.B) && same(unit->C, e.C) &&
                    same(unit->D, e.D))
            << e.symbol << ": A=" << unit->A.value_or("-") << " B=" << unit->B.value_or("-")
            << " C=" << unit->C.value_or("-") << " D=" << unit->D.value_or("-");
    }
}

} // namespace
