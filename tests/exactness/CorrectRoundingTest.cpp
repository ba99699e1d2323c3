// Every conversion rounds once: for unit pairs of the default catalogue, offsets and reciprocal
// units included, each result is the double (or float) nearest the exact value, worked out here
// with rationals from the decimal definitions in the catalogue file (read with the independent
// loader of tests/catalogue-data, not the library's reader). The inputs reach everywhere a
// rounding can go wrong: ordinary and decimal values, the whole exponent range with subnormals and
// overflow, results near zero, and results near the midpoint between two doubles.
#include "CatalogueFile.h"
#include "RationalReference.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using Reference::Decimal;
using Reference::Dyadic;
using Reference::DyadicOf;
using Reference::Fraction;
using Reference::Integer;
using Reference::IsNearest;
using Reference::NearestTo;
using Reference::Rational;
using Reference::ValueOf;

// base = (a + b*x) / (c + d*x), a unit's definition in the file as integers: its four decimals
// scaled by one power of ten.
struct Definition {
    std::string symbol;
    Integer a, b, c, d;
};

Definition DefinitionOf(const std::string& symbol) {
    const CatalogueData::UnitEntry* unit = CatalogueData::DefaultCatalogue().FindUnit(symbol);
    const Rational parts[] = {Decimal(unit->A.value_or("0")), Decimal(unit->B.value_or("1")),
                              Decimal(unit->C.value_or("1")), Decimal(unit->D.value_or("0"))};
    Integer scale = 1;
    for (const Rational& part : parts) {
        scale = lcm(scale, denominator(part));
    }
    Integer scaled[4];
    for (int i = 0; i < 4; ++i) {
        scaled[i] = numerator(Rational(parts[i] * scale));
    }
    return {symbol, scaled[0], scaled[1], scaled[2], scaled[3]};
}

// A conversion from one unit into another and its exact map.
struct Pair {
    Definition from, to;

    template <typename T>
    std::optional<Fraction> Exact(T x) const {
        const Dyadic value = DyadicOf(x);
        const Integer up = Integer(1) << static_cast<unsigned>(std::max(value.exponent, 0));
        const Integer down = Integer(1) << static_cast<unsigned>(std::max(-value.exponent, 0));
        const Integer xn = value.mantissa * up;
        const Integer p = from.a * down + from.b * xn;
        const Integer q = from.c * down + from.d * xn;
        Fraction y{to.c * p - to.a * q, to.b * q - to.d * p};
        if (q == 0 || y.d == 0) {
            return std::nullopt;
        }
        if (y.d < 0) {
            y = {-y.n, -y.d};
        }
        return y;
    }
};

std::vector<Pair> Pairs() {
    // Every pair among units with offsets and their neighbours, and among reciprocal units.
    const std::vector<std::vector<const char*>> groups = {
        {"K", "degC", "degF", "degR"},
        {"Pa", "psig", "barg", "kPag", "psi", "bar"},
        {"SG", "API", "degBe"},
        {"m3/m", "km/L", "mpg", "mpgUK"},
    };
    std::vector<Pair> pairs;
    for (const auto& group : groups) {
        for (const char* from : group) {
            for (const char* to : group) {
                if (from != to) {
                    pairs.push_back({DefinitionOf(from), DefinitionOf(to)});
                }
            }
        }
    }
    // And scales alone, between units of one dimension with factors far from 1 and near it.
    const char* scales[][2] = {{"ft", "m"},    {"m", "ft"},   {"in", "ft"},   {"mi", "ft"},
                               {"km", "m"},    {"lbf", "N"},  {"psi", "kPa"}, {"bbl", "m3"},
                               {"galUS", "L"}, {"lbm", "kg"}, {"h", "s"},     {"m", "km"}};
    for (const auto& scale : scales) {
        pairs.push_back({DefinitionOf(scale[0]), DefinitionOf(scale[1])});
    }
    return pairs;
}

// Every pair of linear units of one dimension, itself included.
std::vector<Pair> LinearPairs() {
    std::map<std::string, std::vector<Definition>> byDimension;
    for (const CatalogueData::UnitEntry& unit : CatalogueData::DefaultCatalogue().units) {
        if (!unit.isAlias && unit.IsLinear()) {
            byDimension[unit.dimension].push_back(DefinitionOf(unit.symbol));
        }
    }
    std::vector<Pair> pairs;
    for (const auto& [dimension, units] : byDimension) {
        for (const Definition& from : units) {
            for (const Definition& to : units) {
                pairs.push_back({from, to});
            }
        }
    }
    return pairs;
}

// The double whose bits are a random mantissa and the given binary exponent.
double RandomDouble(std::mt19937_64& random, int exponent) {
    const auto mantissa = static_cast<double>(random() >> 11); // 53 bits
    return std::ldexp(random() % 2 == 0 ? mantissa : -mantissa, exponent - 52);
}

// Inputs of every kind for one pair.
std::vector<double> Inputs(const Pair& pair, std::mt19937_64& random, std::size_t count) {
    // The results at 0 and 1, which give a linear map's input for any result.
    const auto exactAt = [&](double x) -> std::optional<Rational> {
        const std::optional<Fraction> y = pair.Exact(x);
        return y ? std::optional(Rational(y->n, y->d)) : std::nullopt;
    };
    const std::optional<Rational> atZero = exactAt(0.0);
    const std::optional<Rational> atOne = exactAt(1.0);
    const bool linear = pair.from.d == 0 && pair.to.d == 0 && atZero && atOne && *atOne != *atZero;
    const double zeroInput = linear ? NearestTo<double>(-*atZero / (*atOne - *atZero)) : 0.0;
    std::vector<double> inputs;
    while (inputs.size() < count) {
        double x = 0.0;
        switch (inputs.size() % 8) {
        case 0: // ordinary magnitudes
        case 1:
            x = RandomDouble(random, static_cast<int>(random() % 61) - 30);
            break;
        case 2: // decimals as people write them, such as 12.5
            x = static_cast<double>(random() % 2000001) / std::pow(10.0, random() % 5) - 1e5;
            break;
        case 3: // the whole range of exponents, subnormals included
            x = RandomDouble(random, static_cast<int>(random() % 2098) - 1074);
            break;
        case 4: // near the input whose result is 0
        case 5: {
            x = zeroInput;
            for (int steps = static_cast<int>(random() % 41) - 20; steps != 0;
                 steps += steps > 0 ? -1 : 1) {
                x = std::nextafter(x, steps > 0 ? 1e308 : -1e308);
            }
            break;
        }
        default: { // near an input whose result is a midpoint between two doubles
            const double y = RandomDouble(random, static_cast<int>(random() % 41) - 20);
            const Rational midpoint = (ValueOf(y) + ValueOf(std::nextafter(y, 1e308))) / 2;
            // For a linear map the input is found directly; otherwise y itself serves.
            x = linear ? NearestTo<double>((midpoint - *atZero) / (*atOne - *atZero)) : y;
            break;
        }
        }
        inputs.push_back(x);
    }
    return inputs;
}

std::string Show(double x) {
    std::ostringstream text;
    text << std::setprecision(17) << x << " (" << std::hexfloat << x << ")";
    return text.str();
}

// Checks one pair's conversions of `inputs`: the single values against the exact results, and
// the vectors against the single values, bit for bit; doubles and floats alike.
template <typename T>
int ExpectCorrectlyRounded(const Pair& pair, const Units::UnitConverter& converter,
                           const std::vector<double>& inputs) {
    std::vector<T> values(inputs.begin(), inputs.end());
    std::vector<T> vector = values;
    converter.Convert(vector);
    int checked = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const T x = values[i];
        const T y = converter.Convert(x);
        EXPECT_EQ(std::memcmp(&y, &vector[i], sizeof y), 0)
            << pair.from.symbol << " -> " << pair.to.symbol << ": " << Show(x) << " gives "
            << Show(y) << " alone and " << Show(vector[i]) << " in a vector";
        const std::optional<Fraction> exact = std::isfinite(x) ? pair.Exact(x) : std::nullopt;
        if (!exact) {
            continue;
        }
        ++checked;
        if (!IsNearest(y, *exact)) {
            ADD_FAILURE() << pair.from.symbol << " -> " << pair.to.symbol << ": " << Show(x)
                          << " gives " << Show(y) << ", not "
                          << Show(NearestTo<T>(Rational(exact->n, exact->d)));
        }
    }
    return checked;
}

// Checks `count` inputs of each pair, 0 and 1 first, in doubles and floats; returns the numbers
// of pairs, doubles and floats checked.
std::array<int, 3> ExpectPairsCorrectlyRounded(const std::vector<Pair>& pairs, std::size_t count) {
    const auto reader = Units::Reader::XmlUnitReader::Default();
    Units::UnitService::UnitReader(reader.get());
    std::mt19937_64 random(20240614);
    std::array<int, 3> checked = {};
    for (const Pair& pair : pairs) {
        const Units::UnitConverter converter(Units::Unit::GetUnit(pair.from.symbol),
                                             Units::Unit::GetUnit(pair.to.symbol));
        std::vector<double> inputs = Inputs(pair, random, count - 2);
        inputs.insert(inputs.begin(), {0.0, 1.0});
        checked[0] += 1;
        checked[1] += ExpectCorrectlyRounded<double>(pair, converter, inputs);
        checked[2] += ExpectCorrectlyRounded<float>(pair, converter, inputs);
        if (::testing::Test::HasFailure()) {
            break;
        }
    }
    std::cout << checked[0] << " unit pairs, " << checked[1] << " doubles and " << checked[2]
              << " floats checked\n";
    return checked;
}

} // namespace

// At 0 and 1 the results are the offset and the scale plus it, so that a wrong coefficient of any
// pair shows.
TEST(CorrectRounding, EveryPairOfLinearUnitsOfTheDefaultCatalogueConvertsToTheNearestDouble) {
    EXPECT_GT(ExpectPairsCorrectlyRounded(LinearPairs(), 4)[0], 7000);
}

TEST(CorrectRounding, EveryConversionOfChosenPairsIsTheNearestDoubleAndFloatAtEveryKindOfInput) {
    const std::array<int, 3> checked = ExpectPairsCorrectlyRounded(Pairs(), 2000);
    EXPECT_GE(checked[0], 50);
    EXPECT_GE(checked[1], 100000);
    EXPECT_GE(checked[2], 100000);
}
