// Checks exact composition against a small big-integer arithmetic of the test's own, written
// independently of the library's (decimal limbs rather than binary ones).
#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

// A signed integer in base 10^9 limbs, least significant first.
struct Big {
    bool negative = false;
    std::vector<std::uint32_t> limbs;

    static constexpr std::uint32_t kBase = 1000000000;

    static Big Parse(const std::string& text) { // an optional '-' and decimal digits
        Big value;
        std::size_t start = 0;
        if (!text.empty() && text[0] == '-') {
            value.negative = true;
            start = 1;
        }
        for (std::size_t end = text.size(); end > start;) {
            const std::size_t begin = end >= start + 9 ? end - 9 : start;
            value.limbs.push_back(
                static_cast<std::uint32_t>(std::stoul(text.substr(begin, end - begin))));
            end = begin;
        }
        value.Trim();
        return value;
    }
    static Big Of(std::int64_t v) { return Parse(std::to_string(v)); }

    void Trim() {
        while (!limbs.empty() && limbs.back() == 0) {
            limbs.pop_back();
        }
        if (limbs.empty()) {
            negative = false;
        }
    }
    bool IsZero() const { return limbs.empty(); }

    static int CompareMagnitude(const Big& a, const Big& b) {
        if (a.limbs.size() != b.limbs.size()) {
            return a.limbs.size() < b.limbs.size() ? -1 : 1;
        }
        for (std::size_t i = a.limbs.size(); i-- > 0;) {
            if (a.limbs[i] != b.limbs[i]) {
                return a.limbs[i] < b.limbs[i] ? -1 : 1;
            }
        }
        return 0;
    }
    static int Compare(const Big& a, const Big& b) {
        const int sa = a.IsZero() ? 0 : (a.negative ? -1 : 1);
        const int sb = b.IsZero() ? 0 : (b.negative ? -1 : 1);
        if (sa != sb) {
            return sa < sb ? -1 : 1;
        }
        return sa < 0 ? -CompareMagnitude(a, b) : CompareMagnitude(a, b);
    }

    friend Big operator*(const Big& a, const Big& b) {
        Big product;
        product.limbs.assign(a.limbs.size() + b.limbs.size() + 1, 0);
        for (std::size_t i = 0; i < a.limbs.size(); ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < b.limbs.size() || carry != 0; ++j) {
                std::uint64_t t = product.limbs[i + j] + carry;
                if (j < b.limbs.size()) {
                    t += std::uint64_t{a.limbs[i]} * b.limbs[j];
                }
                product.limbs[i + j] = static_cast<std::uint32_t>(t % kBase);
                carry = t / kBase;
            }
        }
        product.negative = a.negative != b.negative;
        product.Trim();
        return product;
    }
    friend Big operator+(const Big& a, const Big& b) {
        Big sum;
        if (a.negative == b.negative) {
            sum.negative = a.negative;
            std::uint64_t carry = 0;
            for (std::size_t i = 0; i < std::max(a.limbs.size(), b.limbs.size()) || carry; ++i) {
                std::uint64_t t = carry;
                t += i < a.limbs.size() ? a.limbs[i] : 0;
                t += i < b.limbs.size() ? b.limbs[i] : 0;
                sum.limbs.push_back(static_cast<std::uint32_t>(t % kBase));
                carry = t / kBase;
            }
        } else {
            const bool aLarger = CompareMagnitude(a, b) >= 0;
            const Big& large = aLarger ? a : b;
            const Big& small = aLarger ? b : a;
            sum.negative = large.negative;
            std::int64_t borrow = 0;
            for (std::size_t i = 0; i < large.limbs.size(); ++i) {
                std::int64_t t = std::int64_t{large.limbs[i]} - borrow -
                                 (i < small.limbs.size() ? small.limbs[i] : 0);
                borrow = t < 0 ? 1 : 0;
                sum.limbs.push_back(static_cast<std::uint32_t>(t + borrow * kBase));
            }
        }
        sum.Trim();
        return sum;
    }
    friend Big operator-(const Big& a, Big b) {
        b.negative = !b.negative;
        b.Trim();
        return a + b;
    }
    Big TimesPowerOf(std::uint32_t radix, int times) const {
        Big factor = Of(1);
        for (int i = 0; i < times; ++i) {
            factor = factor * Of(radix);
        }
        return *this * factor;
    }
};

// A definition as decimal texts, and the same numbers as mantissa * 10^exponent.
struct Coefficient {
    std::string text;
    Big mantissa;
    int exponent;
};

Coefficient RandomCoefficient(std::mt19937_64& random, bool zero) {
    Coefficient c;
    std::string digits = "0";
    if (!zero) {
        const int count = std::uniform_int_distribution<int>(1, 22)(random);
        digits.clear();
        for (int i = 0; i < count; ++i) {
            digits.push_back(static_cast<char>('0' + random() % 10));
        }
        digits.back() = static_cast<char>('1' + random() % 9); // not zero
    }
    const bool negative = !zero && random() % 3 == 0;
    c.exponent = std::uniform_int_distribution<int>(-8, 4)(random);
    c.mantissa = Big::Parse((negative ? "-" : "") + digits);
    // Write it with a point somewhere and the exponent that compensates.
    const std::size_t point = random() % (digits.size() + 1);
    const int written = c.exponent + static_cast<int>(digits.size() - point);
    c.text = (negative ? "-" : "") + digits.substr(0, point) + "." + digits.substr(point) + "e" +
             std::to_string(written);
    if (point == 0) {
        c.text = (negative ? "-0" : "0") + c.text.substr(negative ? 1 : 0);
    }
    return c;
}

// The projective coefficients (a, b, c, d) of a map: integers, up to a common factor.
using Map = std::vector<Big>;

Map ToIntegers(const Coefficient (&parts)[4]) {
    int lowest = 1 << 20;
    for (const Coefficient& part : parts) {
        lowest = std::min(lowest, part.exponent);
    }
    Map map;
    for (const Coefficient& part : parts) {
        map.push_back(part.mantissa.TimesPowerOf(10, part.exponent - lowest));
    }
    return map;
}

Map Then(const Map& f, const Map& g) { // g after f
    return {g[0] * f[2] + g[1] * f[0], g[0] * f[3] + g[1] * f[1], g[2] * f[2] + g[3] * f[0],
            g[2] * f[3] + g[3] * f[1]};
}

Map Inverse(const Map& f) {
    return {Big::Of(0) - f[0], f[2], f[1], Big::Of(0) - f[3]};
}

// True when the two maps are the same: their coefficients are proportional.
bool SameMap(const Map& expected, const ExactDefinition& got) {
    const Map g{Big::Parse(got.A), Big::Parse(got.B), Big::Parse(got.C), Big::Parse(got.D)};
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            if (Big::Compare(expected[i] * g[j], expected[j] * g[i]) != 0) {
                return false;
            }
        }
    }
    return !(g[0].IsZero() && g[1].IsZero() && g[2].IsZero() && g[3].IsZero());
}

// x = mantissa * 2^exponent exactly.
struct Dyadic {
    Big mantissa;
    int exponent;
};

Dyadic ToDyadic(double x) {
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent);
    return {Big::Of(static_cast<std::int64_t>(std::ldexp(fraction, 53))), exponent - 53};
}

Dyadic Midpoint(double x, double y) {
    Dyadic a = ToDyadic(x);
    Dyadic b = ToDyadic(y);
    const int lowest = std::min(a.exponent, b.exponent);
    return {a.mantissa.TimesPowerOf(2, a.exponent - lowest) +
                b.mantissa.TimesPowerOf(2, b.exponent - lowest),
            lowest - 1};
}

// Compares numerator / denominator (denominator > 0) with a dyadic number.
int CompareWith(const Big& numerator, const Big& denominator, const Dyadic& value) {
    if (value.exponent >= 0) {
        return Big::Compare(numerator,
                            value.mantissa.TimesPowerOf(2, value.exponent) * denominator);
    }
    return Big::Compare(numerator.TimesPowerOf(2, -value.exponent), value.mantissa * denominator);
}

// True when x is the double nearest numerator / denominator: the quotient lies between the
// midpoints from x to its neighbours.
bool IsNearest(double x, Big numerator, Big denominator) {
    if (!std::isfinite(x)) {
        return false;
    }
    if (denominator.negative) {
        numerator.negative = !numerator.negative;
        denominator.negative = false;
        numerator.Trim();
    }
    const double below = std::nextafter(x, -INFINITY);
    const double above = std::nextafter(x, INFINITY);
    return CompareWith(numerator, denominator, Midpoint(below, x)) >= 0 &&
           CompareWith(numerator, denominator, Midpoint(x, above)) <= 0;
}

// Checks an engine against the map it should be: same exact form, correctly rounded doubles.
void ExpectEngineOf(IUnitConverterEngine& engine, const Map& expected) {
    ExactDefinition got;
    ASSERT_TRUE(GetExactDefinition(engine, got));
    ASSERT_TRUE(SameMap(expected, got)) << got.A << " " << got.B << " " << got.C << " " << got.D;
    const Map m{Big::Parse(got.A), Big::Parse(got.B), Big::Parse(got.C), Big::Parse(got.D)};
    if (m[3].IsZero()) {
        ASSERT_EQ(engine.m_eType, e_LinearEngine);
        double scale = 0.0;
        double offset = 0.0;
        static_cast<LinearUnitConverter&>(engine).GetScaleAndOffset(scale, offset);
        EXPECT_TRUE(IsNearest(scale, m[1], m[2])) << scale;
        if (!m[0].IsZero()) {
            EXPECT_TRUE(IsNearest(offset, m[0], m[2])) << offset;
        }
    } else {
        ASSERT_EQ(engine.m_eType, e_RationalEngine);
        double p = 0.0;
        double q = 0.0;
        double r = 0.0;
        static_cast<RationalUnitConverter&>(engine).GetCoefficients(p, q, r);
        if (!m[1].IsZero()) {
            EXPECT_TRUE(IsNearest(p, m[1], m[3])) << p;
        }
        EXPECT_TRUE(IsNearest(q, m[0] * m[3] - m[1] * m[2], m[3] * m[3])) << q;
        if (!m[2].IsZero()) {
            EXPECT_TRUE(IsNearest(r, m[2], m[3])) << r;
        }
    }
}

// A random definition that the factory accepts, with its exact map.
std::unique_ptr<IUnitConverterEngine> RandomEngine(std::mt19937_64& random, bool linear, Map& map) {
    for (;;) {
        const Coefficient parts[4] = {
            RandomCoefficient(random, random() % 4 == 0), RandomCoefficient(random, false),
            RandomCoefficient(random, random() % 4 == 0), RandomCoefficient(random, linear)};
        map = ToIntegers(parts);
        if ((map[1] * map[2] - map[0] * map[3]).IsZero()) {
            continue; // no inverse: refused, as another test checks
        }
        return MakeExactEngine({parts[0].text, parts[1].text, parts[2].text, parts[3].text});
    }
}

TEST(ExactComposition, MatchesAnIndependentRationalComputation) {
    std::mt19937_64 random(20240611);
    for (int round = 0; round < 150; ++round) {
        const bool linear = round % 2 == 0;
        Map expected;
        std::unique_ptr<IUnitConverterEngine> engine = RandomEngine(random, linear, expected);
        ExpectEngineOf(*engine, expected);
        // A chain of up to five more steps, each a new engine or an inverse: the coefficients grow
        // far beyond 128 bits.
        const int steps = 1 + static_cast<int>(random() % 5);
        for (int step = 0; step < steps; ++step) {
            std::unique_ptr<IUnitConverterEngine> next;
            if (random() % 4 == 0) {
                next = engine->GetInverse();
                expected = Inverse(expected);
            } else {
                Map other;
                std::unique_ptr<IUnitConverterEngine> second = RandomEngine(random, linear, other);
                if (linear && random() % 2 == 0) {
                    next = std::make_unique<LinearUnitConverter>(
                        static_cast<LinearUnitConverter*>(engine.get()),
                        static_cast<LinearUnitConverter*>(second.get()));
                } else {
                    next = ComposeExact(*engine, *second);
                }
                expected = Then(expected, other);
            }
            ASSERT_NE(next, nullptr);
            engine = std::move(next);
            ExpectEngineOf(*engine, expected);
            if (HasFatalFailure() || HasNonfatalFailure()) {
                return;
            }
        }
    }
}

TEST(ExactComposition, RoundsCompositionsOfSmallDefinitionsLikeTheExactQuotient) {
    // Definitions of up to 9 digits, as most units have: their compositions and inverses are
    // worked out in native integers and rounded in floating point, which must agree with the
    // exact quotient every time.
    std::mt19937_64 random(5150);
    const auto small = [&random](bool zero) {
        Coefficient c;
        const std::int64_t magnitude =
            zero ? 0 : std::uniform_int_distribution<std::int64_t>(1, 999999999)(random);
        const bool negative = !zero && random() % 4 == 0;
        c.exponent = std::uniform_int_distribution<int>(-9, 3)(random);
        c.mantissa = Big::Of(negative ? -magnitude : magnitude);
        c.text =
            (negative ? "-" : "") + std::to_string(magnitude) + "e" + std::to_string(c.exponent);
        return c;
    };
    for (int round = 0; round < 400; ++round) {
        Map maps[2];
        std::unique_ptr<IUnitConverterEngine> engines[2];
        for (int k = 0; k < 2; ++k) {
            const Coefficient parts[4] = {small(random() % 3 == 0), small(false), small(false),
                                          small(true)};
            maps[k] = ToIntegers(parts);
            engines[k] = MakeExactEngine({parts[0].text, parts[1].text, parts[2].text, "0"});
            ExpectEngineOf(*engines[k], maps[k]);
        }
        LinearUnitConverter both(static_cast<LinearUnitConverter*>(engines[0].get()),
                                 static_cast<LinearUnitConverter*>(engines[1].get()));
        ExpectEngineOf(both, Then(maps[0], maps[1]));
        std::unique_ptr<IUnitConverterEngine> back = both.GetInverse();
        ExpectEngineOf(*back, Inverse(Then(maps[0], maps[1])));
        if (HasFatalFailure() || HasNonfatalFailure()) {
            return;
        }
    }
}

TEST(ExactComposition, ComesBackToSmallNumbersAfterWideOnes) {
    // Ten steps of a 30-digit scale and offset need about 1000 bits; undoing them must come back
    // to exactly the identity.
    std::unique_ptr<IUnitConverterEngine> step =
        MakeExactLinear("1.23456789012345678901234567891", "-9.87654321098765432109876543211");
    std::unique_ptr<IUnitConverterEngine> undo = step->GetInverse();
    std::unique_ptr<IUnitConverterEngine> chain = step->Clone();
    for (int i = 1; i < 10; ++i) {
        chain = ComposeExact(*chain, *step);
    }
    ExactDefinition wide;
    ASSERT_TRUE(GetExactDefinition(*chain, wide));
    EXPECT_GT(wide.C.size(), 250u); // 10^290: well past 128 bits
    for (int i = 0; i < 10; ++i) {
        chain = ComposeExact(*chain, *undo);
    }
    ExactDefinition back;
    ASSERT_TRUE(GetExactDefinition(*chain, back));
    EXPECT_EQ(back.A, "0");
    EXPECT_EQ(back.B, "1");
    EXPECT_EQ(back.C, "1");
    EXPECT_EQ(back.D, "0");
    EXPECT_TRUE(chain->IsUnity());
}

TEST(ExactComposition, AddsOffsetsThatCarryPastTheirWidth) {
    // 2^160 - 1 has every bit set, so doubling it carries into a new top word; a dropped carry
    // would go unseen with random numbers, whose top words are mostly small.
    const std::string allOnes = "1461501637330902918203684832716283019655932542975";
    std::unique_ptr<IUnitConverterEngine> shift = MakeExactLinear("1", allOnes);
    std::unique_ptr<IUnitConverterEngine> twice = ComposeExact(*shift, *shift);
    ExactDefinition definition;
    ASSERT_TRUE(GetExactDefinition(*twice, definition));
    EXPECT_EQ(definition.A, "2923003274661805836407369665432566039311865085950");
    std::unique_ptr<IUnitConverterEngine> back = ComposeExact(*twice, *shift->GetInverse());
    ASSERT_TRUE(GetExactDefinition(*back, definition));
    EXPECT_EQ(definition.A, allOnes);
}

} // namespace
