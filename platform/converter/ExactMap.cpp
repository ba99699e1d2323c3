#include "ExactMap.h"

#include "Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

constexpr std::size_t kMaxDigits = 1000;
constexpr long kMaxExponent = 1000;

// The decimal `mantissa * 10^exponent`.
struct Decimal {
    Integer mantissa;
    long exponent = 0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads `[+-]digits[.digits][(e|E)[+-]digits]`, with digits on at least one side of the point.
Decimal ParseDecimal(const ExactDefinition& definition, const char* name, const std::string& text) {
    const auto refuse = [&](const std::string& why) {
        return std::invalid_argument(DescribeDefinition(definition) + ": " + name + " \"" + text +
                                     "\" " + why);
    };
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string digits;
    long fractionDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
        digits.push_back(text[i]);
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && IsDigit(text[i]); ++i) {
            digits.push_back(text[i]);
            ++fractionDigits;
        }
    }
    if (digits.empty()) {
        throw refuse("is not a decimal number");
    }
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i == n || !IsDigit(text[i])) {
            throw refuse("is not a decimal number");
        }
        for (; i < n && IsDigit(text[i]); ++i) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), kMaxExponent + 1);
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i != n) {
        throw refuse("is not a decimal number");
    }
    if (digits.size() > kMaxDigits || std::labs(exponent) > kMaxExponent) {
        throw refuse("has more than 1000 digits or an exponent beyond 1000");
    }
    Decimal value;
    value.mantissa = Integer::FromDigits(digits);
    if (negative) {
        value.mantissa = -value.mantissa;
    }
    value.exponent = exponent - fractionDigits;
    return value;
}

} // namespace

std::string DescribeDefinition(const ExactDefinition& definition) {
    return "exact definition (A \"" + definition.A + "\", B \"" + definition.B + "\", C \"" +
           definition.C + "\", D \"" + definition.D + "\")";
}

ExactMap::ExactMap(Integer a, Integer b, Integer c, Integer d)
    : m_a(std::move(a)), m_b(std::move(b)), m_c(std::move(c)), m_d(std::move(d)) {
    const Integer divisor = Integer::Gcd(Integer::Gcd(m_a, m_b), Integer::Gcd(m_c, m_d));
    if (!divisor.IsZero() && divisor != Integer(1)) {
        m_a = m_a.DividedBy(divisor);
        m_b = m_b.DividedBy(divisor);
        m_c = m_c.DividedBy(divisor);
        m_d = m_d.DividedBy(divisor);
    }
    if (m_c.Sign() < 0 || (m_c.IsZero() && m_d.Sign() < 0)) {
        m_a = -m_a;
        m_b = -m_b;
        m_c = -m_c;
        m_d = -m_d;
    }
}

ExactMap ExactMap::FromIntegers(Integer a, Integer b, Integer c, Integer d) {
    return ExactMap(std::move(a), std::move(b), std::move(c), std::move(d));
}

ExactMap ExactMap::FromDefinition(const ExactDefinition& definition) {
    Decimal parts[] = {
        ParseDecimal(definition, "A", definition.A), ParseDecimal(definition, "B", definition.B),
        ParseDecimal(definition, "C", definition.C), ParseDecimal(definition, "D", definition.D)};
    // Bring the four decimals to one power of ten; the common factor drops out of the map.
    long lowest = 0;
    bool any = false;
    for (const Decimal& part : parts) {
        if (!part.mantissa.IsZero()) {
            lowest = any ? std::min(lowest, part.exponent) : part.exponent;
            any = true;
        }
    }
    for (Decimal& part : parts) {
        if (!part.mantissa.IsZero() && part.exponent > lowest) {
            part.mantissa =
                part.mantissa * Integer::PowerOfTen(static_cast<unsigned>(part.exponent - lowest));
        }
    }
    ExactMap map(parts[0].mantissa, parts[1].mantissa, parts[2].mantissa, parts[3].mantissa);
    if ((map.m_b * map.m_c - map.m_a * map.m_d).IsZero()) {
        throw std::invalid_argument(DescribeDefinition(definition) +
                                    ": B*C - A*D is 0, so it maps every value to one number");
    }
    return map;
}

ExactMap ExactMap::Then(const ExactMap& second) const {
    // second(first(x)) = (a2 + b2*y) / (c2 + d2*y) with y = (a1 + b1*x) / (c1 + d1*x); multiply
    // through by (c1 + d1*x).
    return ExactMap(second.m_a * m_c + second.m_b * m_a, second.m_a * m_d + second.m_b * m_b,
                    second.m_c * m_c + second.m_d * m_a, second.m_c * m_d + second.m_d * m_b);
}

ExactMap ExactMap::Inverse() const {
    // y = (a + b*x) / (c + d*x) solves to x = (-a + c*y) / (b - d*y).
    return ExactMap(-m_a, m_c, m_b, -m_d);
}

ExactDefinition ExactMap::ToDefinition() const {
    return ExactDefinition{m_a.ToString(), m_b.ToString(), m_c.ToString(), m_d.ToString()};
}

double ExactMap::Scale() const {
    return NearestDouble(m_b, m_c);
}

double ExactMap::Offset() const {
    return NearestDouble(m_a, m_c);
}

void ExactMap::RationalCoefficients(double& p, double& q, double& r) const {
    p = NearestDouble(m_b, m_d);
    q = NearestDouble(m_a * m_d - m_b * m_c, m_d * m_d);
    r = NearestDouble(m_c, m_d);
}

double NearestDouble(const Integer& numerator, const Integer& denominator) {
    if (numerator.IsZero()) {
        return 0.0;
    }
#if ORV_CONVERTER_HAVE_INT128
    Integer::Native n = 0;
    Integer::Native d = 0;
    if (numerator.GetNative(n) && denominator.GetNative(d) && n > -kQuickLimit && n < kQuickLimit &&
        d > -kQuickLimit && d < kQuickLimit) {
        double nearest = 0.0;
        if (QuickNearestDouble(n, d, nearest)) {
            return nearest;
        }
    }
#endif
    const bool negative = (numerator.Sign() < 0) != (denominator.Sign() < 0);
    const Integer p = numerator.Abs();
    const Integer q = denominator.Abs();

    // The binary exponent e of p/q, so that 2^e <= p/q < 2^(e+1).
    const long lengthDifference =
        static_cast<long>(p.BitLength()) - static_cast<long>(q.BitLength());
    const bool reaches =
        lengthDifference >= 0
            ? Integer::Compare(p, q.ShiftedLeft(static_cast<std::size_t>(lengthDifference))) >= 0
            : Integer::Compare(p.ShiftedLeft(static_cast<std::size_t>(-lengthDifference)), q) >= 0;
    const long exponent = reaches ? lengthDifference : lengthDifference - 1;
    if (exponent > std::numeric_limits<double>::max_exponent - 1) {
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }

    // The weight of the last place kept: 53 significant bits, or fewer among the subnormals.
    const long lastPlace = std::max(exponent - 52, -1074L);
    // Divide in units of half that place; the remainder tells whether anything lies below.
    const long shift = 1 - lastPlace;
    const Integer scaledP = shift >= 0 ? p.ShiftedLeft(static_cast<std::size_t>(shift)) : p;
    const Integer scaledQ = shift >= 0 ? q : q.ShiftedLeft(static_cast<std::size_t>(-shift));
    Integer halves;
    Integer rest;
    Integer::DivMod(scaledP, scaledQ, halves, rest);
    const std::uint64_t count = halves.LowBits(); // below 2^54
    std::uint64_t mantissa = count >> 1;
    const bool half = (count & 1) != 0;
    if (half && (!rest.IsZero() || (mantissa & 1) != 0)) {
        ++mantissa; // round half to even; may carry into the next binade, which ldexp handles
    }
    const double magnitude = std::ldexp(static_cast<double>(mantissa), static_cast<int>(lastPlace));
    return negative ? -magnitude : magnitude;
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
