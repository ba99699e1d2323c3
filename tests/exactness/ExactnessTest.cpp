// Conversions between linear units of the default catalogue give the doubles nearest to their
// exact factors and offsets. The exact values are worked out here, with a small rational
// arithmetic of the test's own, from the decimal definitions in the catalogue file.
#include "CatalogueFile.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/converter/Engines.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using Units::Converter::LinearUnitConverter;

// A natural number in base 1e9, least significant limb first, without zero limbs on top; zero is
// empty.
using Natural = std::vector<std::uint32_t>;
constexpr std::uint64_t kBase = 1000000000;

// n * factor + addend, for a factor below 2^32.
Natural MulAdd(const Natural& n, std::uint64_t factor, std::uint64_t addend) {
    Natural result;
    std::uint64_t carry = addend;
    for (const std::uint32_t limb : n) {
        carry += limb * factor;
        result.push_back(static_cast<std::uint32_t>(carry % kBase));
        carry /= kBase;
    }
    for (; carry != 0; carry /= kBase) {
        result.push_back(static_cast<std::uint32_t>(carry % kBase));
    }
    return result;
}

Natural Trimmed(Natural n) {
    while (!n.empty() && n.back() == 0) {
        n.pop_back();
    }
    return n;
}

// a + b, or a - b when `subtract` (then a >= b).
Natural PlusOrMinus(const Natural& a, const Natural& b, bool subtract) {
    Natural result;
    std::int64_t carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::int64_t other = i < b.size() ? b[i] : 0;
        carry += (i < a.size() ? a[i] : 0) + (subtract ? -other : other);
        std::int64_t digit = carry % std::int64_t{kBase};
        carry /= std::int64_t{kBase};
        if (digit < 0) {
            digit += std::int64_t{kBase};
            --carry;
        }
        result.push_back(static_cast<std::uint32_t>(digit));
    }
    result.push_back(static_cast<std::uint32_t>(carry));
    return Trimmed(result);
}

int Compare(const Natural& a, const Natural& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    const auto differ = std::mismatch(a.rbegin(), a.rend(), b.rbegin());
    return differ.first == a.rend() ? 0 : *differ.first < *differ.second ? -1 : 1;
}

// a * b, by Horner's rule over the limbs of b.
Natural Times(const Natural& a, const Natural& b) {
    Natural product;
    for (std::size_t j = b.size(); j-- > 0;) {
        product.insert(product.begin(), 0);
        product = PlusOrMinus(product, MulAdd(a, b[j], 0), false);
    }
    return product;
}

// n * 2^bits; nothing for bits <= 0.
Natural Shifted(Natural n, int bits) {
    for (; bits > 0; bits -= 16) {
        n = MulAdd(n, std::uint64_t{1} << std::min(bits, 16), 0);
    }
    return n;
}

// A rational number; the denominator is never zero.
struct Rational {
    bool negative = false;
    Natural num;
    Natural den{1};
};

// A plain decimal such as "-0.0254", the only form the catalogue's schema allows.
Rational Parse(const std::string& text) {
    Rational r;
    r.negative = text[0] == '-';
    bool point = false;
    for (const char c : text.substr(r.negative ? 1 : 0)) {
        point = point || c == '.';
        if (c != '.') {
            r.num = MulAdd(r.num, 10, static_cast<std::uint64_t>(c - '0'));
            r.den = point ? MulAdd(r.den, 10, 0) : r.den;
        }
    }
    r.num = Trimmed(r.num);
    return r;
}

Rational operator*(const Rational& a, const Rational& b) {
    return {a.negative != b.negative, Times(a.num, b.num), Times(a.den, b.den)};
}

Rational operator/(const Rational& a, const Rational& b) {
    return a * Rational{b.negative, b.den, b.num};
}

Rational operator-(const Rational& a, const Rational& b) {
    const Natural x = Times(a.num, b.den), y = Times(b.num, a.den), den = Times(a.den, b.den);
    if (a.negative != b.negative) {
        return {a.negative, PlusOrMinus(x, y, false), den};
    }
    const bool larger = Compare(x, y) >= 0;
    return {a.negative == larger, PlusOrMinus(larger ? x : y, larger ? y : x, true), den};
}

// The sign of |r| - x * 2^shift.
int CompareMagnitude(const Rational& r, std::uint64_t x, int shift) {
    return Compare(Shifted(r.num, -shift), Times(r.den, Shifted(MulAdd({}, 1, x), shift)));
}

// True when `value` is the double nearest to `exact`, ties going to the even one.
bool IsNearest(double value, const Rational& exact) {
    if (exact.num.empty()) {
        return value == 0.0;
    }
    if (!std::isnormal(value) || std::signbit(value) != exact.negative) {
        return false;
    }
    int exponent = 0;
    const auto m =
        static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(value), &exponent), 53));
    // In units of 2^(exponent - 55) the value is 4m and the midpoints to its neighbours are
    // 4m + 2 and 4m - 2, or 4m - 1 when m is a power of two, whose lower neighbour is nearer.
    const int shift = exponent - 55;
    const int low =
        CompareMagnitude(exact, m == (std::uint64_t{1} << 52) ? 4 * m - 1 : 4 * m - 2, shift);
    const int high = CompareMagnitude(exact, 4 * m + 2, shift);
    const bool even = m % 2 == 0;
    return (low > 0 || (low == 0 && even)) && (high < 0 || (high == 0 && even));
}

// A linear definition base = scale * x + offset, from the file's A, B and C.
struct LinearDefinition {
    std::string symbol;
    Rational scale;
    Rational offset;
};

LinearDefinition DefinitionOf(const CatalogueData::UnitEntry& unit) {
    const Rational c = Parse(unit.C.value_or("1"));
    return {unit.symbol, Parse(unit.B.value_or("1")) / c, Parse(unit.A.value_or("0")) / c};
}

LinearUnitConverter* AsLinear(Units::Converter::IUnitConverterEngine* engine) {
    return engine->m_eType == Units::Converter::e_LinearEngine
               ? static_cast<LinearUnitConverter*>(engine)
               : nullptr;
}

} // namespace

TEST(ExactConversion, GivesTheNearestDoublesForEveryPairOfLinearUnitsInTheDefaultCatalogue) {
    const auto reader = Units::Reader::XmlUnitReader::Default();
    Units::UnitService::UnitReader(reader.get());
    std::map<std::string, std::vector<LinearDefinition>> byDimension;
    for (const CatalogueData::UnitEntry& unit : CatalogueData::DefaultCatalogue().units) {
        if (!unit.isAlias && unit.IsLinear()) {
            byDimension[unit.dimension].push_back(DefinitionOf(unit));
        }
    }

    // Correctly rounded scales, offsets and both, with exact engines and as before them.
    int pairs = 0, after[3] = {}, before[3] = {};
    const auto count = [](int* counts, bool scale, bool offset) {
        counts[0] += scale, counts[1] += offset, counts[2] += scale && offset;
    };
    for (const auto& [dimension, units] : byDimension) {
        for (const LinearDefinition& from : units) {
            for (const LinearDefinition& to : units) {
                if (&from == &to) {
                    continue;
                }
                ++pairs;
                // to.scale * y + to.offset = from.scale * x + from.offset, solved for y.
                const Rational scale = from.scale / to.scale;
                const Rational offset = (from.offset - to.offset) / to.scale;

                Units::Unit* const fromUnit = Units::Unit::GetUnit(from.symbol);
                Units::Unit* const toUnit = Units::Unit::GetUnit(to.symbol);
                const Units::UnitConverter converter(fromUnit, toUnit);
                LinearUnitConverter* const engine = AsLinear(converter.Converter());
                ASSERT_NE(engine, nullptr) << from.symbol << " -> " << to.symbol;
                double s = 0.0, o = 0.0;
                engine->GetScaleAndOffset(s, o);
                EXPECT_TRUE(IsNearest(s, scale) && IsNearest(o, offset))
                    << dimension << ": " << from.symbol << " -> " << to.symbol << " gives "
                    << std::setprecision(17) << s << " x + " << o;
                count(after, IsNearest(s, scale), IsNearest(o, offset));

                // The same pair from engines of plain doubles, composed as before exact engines.
                double fromScale = 0.0, fromOffset = 0.0, toScale = 0.0, toOffset = 0.0;
                AsLinear(fromUnit->Converter())->GetScaleAndOffset(fromScale, fromOffset);
                AsLinear(toUnit->Converter())->GetScaleAndOffset(toScale, toOffset);
                LinearUnitConverter plainFrom(fromScale, fromOffset);
                const auto plainInverse = LinearUnitConverter(toScale, toOffset).GetInverse();
                LinearUnitConverter(&plainFrom, AsLinear(plainInverse.get()))
                    .GetScaleAndOffset(s, o);
                count(before, IsNearest(s, scale), IsNearest(o, offset));
            }
        }
    }
    for (const auto& [label, counts] :
         {std::pair{"before exact engines", before}, std::pair{"with exact engines", after}}) {
        std::cout << label << ": " << counts[2] << " of " << pairs << " pairs correctly rounded ("
                  << std::fixed << std::setprecision(1) << 100.0 * counts[2] / pairs << "%; scales "
                  << counts[0] << ", offsets " << counts[1] << ")\n";
    }
    EXPECT_GT(pairs, 7000);
}
