// Conversions between linear units of the default catalogue give the doubles nearest to their
// exact factors and offsets. The exact values are worked out here, with a small rational
// arithmetic of the test's own, from the decimal definitions in the catalogue file.
#include "CatalogueFile.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/interfaces/ConverterEngine.h>
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

Natural Times(const Natural& a, const Natural& b) {
    std::vector<std::uint64_t> sum(a.size() + b.size(), 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            carry += sum[i + j] + std::uint64_t{a[i]} * b[j];
            sum[i + j] = carry % kBase;
            carry /= kBase;
        }
        sum[i + b.size()] = carry;
    }
    return Trimmed(Natural(sum.begin(), sum.end()));
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
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
    }
    return 0;
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

// A decimal such as "-0.0254" or "1e-3".
Rational Parse(const std::string& text) {
    Rational r;
    std::size_t i = 0;
    if (text[0] == '-' || text[0] == '+') {
        r.negative = text[i++] == '-';
    }
    int exponent = 0;
    bool point = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        r.num = MulAdd(r.num, 10, static_cast<std::uint64_t>(text[i] - '0'));
        exponent -= point ? 1 : 0;
    }
    if (i < text.size()) {
        exponent += std::stoi(text.substr(i + 1));
    }
    for (; exponent > 0; --exponent) {
        r.num = MulAdd(r.num, 10, 0);
    }
    for (; exponent < 0; ++exponent) {
        r.den = MulAdd(r.den, 10, 0);
    }
    return r;
}

Rational operator*(const Rational& a, const Rational& b) {
    return {a.negative != b.negative, Times(a.num, b.num), Times(a.den, b.den)};
}

Rational operator/(const Rational& a, const Rational& b) {
    return a * Rational{b.negative, b.den, b.num};
}

Rational operator-(const Rational& a, const Rational& b) {
    const Natural x = Times(a.num, b.den);
    const Natural y = Times(b.num, a.den);
    const Natural den = Times(a.den, b.den);
    if (a.negative != b.negative) {
        return {a.negative, PlusOrMinus(x, y, false), den};
    }
    const bool aIsLarger = Compare(x, y) >= 0;
    return {a.negative != !aIsLarger, aIsLarger ? PlusOrMinus(x, y, true) : PlusOrMinus(y, x, true),
            den};
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

void PrintShare(const char* label, int exact, int scales, int offsets, int pairs) {
    std::cout << label << ": " << exact << " of " << pairs << " pairs correctly rounded ("
              << std::fixed << std::setprecision(1) << 100.0 * exact / pairs << "%; scales "
              << scales << ", offsets " << offsets << ")\n";
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

    int pairs = 0;
    int exactBefore = 0, scalesBefore = 0, offsetsBefore = 0;
    int exactAfter = 0, scalesAfter = 0, offsetsAfter = 0;
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
                const bool scaleIsNearest = IsNearest(s, scale),
                           offsetIsNearest = IsNearest(o, offset);
                EXPECT_TRUE(scaleIsNearest && offsetIsNearest)
                    << dimension << ": " << from.symbol << " -> " << to.symbol << " gives "
                    << std::setprecision(17) << s << " x + " << o;
                scalesAfter += scaleIsNearest;
                offsetsAfter += offsetIsNearest;
                exactAfter += scaleIsNearest && offsetIsNearest;

                // The same pair from engines of plain doubles, composed as before exact engines.
                double fromScale = 0.0, fromOffset = 0.0, toScale = 0.0, toOffset = 0.0;
                AsLinear(fromUnit->Converter())->GetScaleAndOffset(fromScale, fromOffset);
                AsLinear(toUnit->Converter())->GetScaleAndOffset(toScale, toOffset);
                LinearUnitConverter plainFrom(fromScale, fromOffset);
                const auto plainInverse = LinearUnitConverter(toScale, toOffset).GetInverse();
                LinearUnitConverter(&plainFrom, AsLinear(plainInverse.get()))
                    .GetScaleAndOffset(s, o);
                scalesBefore += IsNearest(s, scale);
                offsetsBefore += IsNearest(o, offset);
                exactBefore += IsNearest(s, scale) && IsNearest(o, offset);
            }
        }
    }
    PrintShare("before exact engines", exactBefore, scalesBefore, offsetsBefore, pairs);
    PrintShare("with exact engines", exactAfter, scalesAfter, offsetsAfter, pairs);
    EXPECT_GT(pairs, 7000);
}

TEST(ExactConversion, KeepsTheDefinedRatiosOfTheDefaultCatalogue) {
    const auto reader = Units::Reader::XmlUnitReader::Default();
    Units::UnitService::UnitReader(reader.get());
    const auto convert = [](double value, const char* from, const char* to) {
        return Units::UnitConverter(Units::Unit::GetUnit(from), Units::Unit::GetUnit(to))
            .Convert(value);
    };

    EXPECT_EQ(convert(1.0, "ft", "in"), 12.0);
    EXPECT_EQ(convert(1.0, "mi", "ft"), 5280.0);
    EXPECT_EQ(convert(1.0, "yd", "ft"), 3.0);
    EXPECT_EQ(convert(100.0, "degC", "degF"), 212.0);
    EXPECT_EQ(convert(1.0, "bbl", "galUS"), 42.0);
    // 4.4482216152605 N on 0.00064516 m2; the compiler rounds the literal to the nearest double.
    EXPECT_EQ(convert(1.0, "psi", "Pa"), 6894.757293168361336722673445);
}
