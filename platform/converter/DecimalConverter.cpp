// Conversion of decimal texts as the decimals typed: "0.1" is one tenth, not the double nearest
// it. A decimal of few digits is held as the sum of two doubles and the exact map evaluated on it
// to about 106 bits; only results too near the midpoint between two doubles, and decimals of more
// digits, are worked out in exact arithmetic.
#include "ExactMap.h"

#include <units/converter/ExactEngines.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace Orv::Pim::Core::Service::Units::Converter {

using Detail::ExactMap;
using Detail::Integer;

namespace {

// A number held as the unevaluated sum of two doubles, the low part below half a place of the
// high one: about 106 bits.
struct Pair {
    double high;
    double low;
};

Pair TwoSum(double a, double b) {
    const double sum = a + b;
    const double b1 = sum - a;
    return {sum, (a - (sum - b1)) + (b - b1)};
}

Pair Normalized(double high, double low) {
    const double sum = high + low;
    return {sum, low - (sum - high)};
}

// a * b exactly, splitting each factor into halves of 26 bits: no fused multiply-add is assumed,
// whose library call on processors built for without one would cost more than this.
Pair TwoProduct(double a, double b) {
    constexpr double kSplit = 134217729.0; // 2^27 + 1
    const double product = a * b;
    const double ta = kSplit * a;
    const double aHigh = ta - (ta - a);
    const double aLow = a - aHigh;
    const double tb = kSplit * b;
    const double bHigh = tb - (tb - b);
    const double bLow = b - bHigh;
    return {product, ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
}

Pair Add(Pair a, Pair b) {
    const Pair sum = TwoSum(a.high, b.high);
    return Normalized(sum.high, sum.low + (a.low + b.low));
}

Pair Multiply(Pair a, Pair b) {
    const Pair product = TwoProduct(a.high, b.high);
    return Normalized(product.high, product.low + (a.high * b.low + a.low * b.high));
}

Pair Divide(Pair a, Pair b) {
    const double first = a.high / b.high;
    const Pair back = Multiply({first, 0.0}, b);
    const double second = ((a.high - back.high) - back.low + a.low) / b.high;
    return Normalized(first, second);
}

// A coefficient of an exact map below 2^62 in magnitude, exactly; false for larger ones.
bool SmallInteger(const Integer& integer, Pair& value) {
    if (integer != 0 && msb(abs(integer)) >= 62) {
        return false;
    }
    const auto whole = static_cast<long long>(integer);
    const double high = static_cast<double>(whole);
    value = {high, static_cast<double>(whole - static_cast<long long>(high))};
    return true;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The double nearest y = high + low when every exact value within `error` of y rounds to it;
// NaN when the exact evaluation must decide. Results near the ends of the range of double go
// there too.
double RoundedWithin(Pair y, double error) {
    const Pair rounded = TwoSum(y.high, y.low);
    const double magnitude = std::fabs(rounded.high);
    if (!(magnitude >= 0x1p-1000 && magnitude <= 0x1p1000)) {
        return kNaN;
    }
    // Half the gap to the next double on the side of the rest: half a place, or a quarter below
    // a power of two.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    bits &= 0x7FF0000000000000;
    double power = 0.0;
    std::memcpy(&power, &bits, sizeof power);
    const bool towardZero = (rounded.low < 0.0) != (rounded.high < 0.0);
    const double halfGap = power * (magnitude == power && towardZero ? 0x1p-54 : 0x1p-53);
    return std::fabs(rounded.low) + error < halfGap ? rounded.high : kNaN;
}

// The exact value of `map` at the decimal `text`, as numerator / denominator; false when the text
// is no decimal (IsExactDecimal).
bool ExactValueAt(const ExactMap& map, std::string_view text, Integer& numerator,
                  Integer& denominator) {
    Integer mantissa;
    long exponent = 0;
    if (Detail::ParseDecimal(std::string(text), mantissa, exponent) !=
        Detail::DecimalError::e_None) {
        return false;
    }
    // x = mantissa * 10^exponent = up / down.
    const Integer power =
        boost::multiprecision::pow(Integer(10), static_cast<unsigned>(std::labs(exponent)));
    const Integer up = exponent >= 0 ? mantissa * power : mantissa;
    const Integer& down = exponent >= 0 ? Integer(1) : power;
    numerator = map.a * down + map.b * up;
    denominator = map.c * down + map.d * up;
    return true;
}

} // namespace

DecimalConverter::DecimalConverter(IUnitConverterEngine& engine) : m_engine(engine) {
    std::optional<ExactMap> map = Detail::ExactFormOf(engine);
    if (!map) {
        return;
    }
    m_pMap = std::make_unique<const ExactMap>(std::move(*map));
    Pair a{}, b{}, c{}, d{};
    m_bQuick = SmallInteger(m_pMap->a, a) && SmallInteger(m_pMap->b, b) &&
               SmallInteger(m_pMap->c, c) && SmallInteger(m_pMap->d, d);
    if (!m_bQuick) {
        return;
    }
    m_bLinear = d.high == 0.0;
    if (m_bLinear) {
        SetShort();
    }
    // A linear map is kept as its scale B/C and offset A/C, which spares a division a number.
    const Pair parts[] = {m_bLinear ? Divide(b, c) : a, m_bLinear ? Divide(a, c) : b, c, d};
    for (std::size_t i = 0; i < 4; ++i) {
        m_coefficients[2 * i] = parts[i].high;
        m_coefficients[2 * i + 1] = parts[i].low;
    }
}

DecimalConverter::~DecimalConverter() = default;

void DecimalConverter::SetShort() {
    // C = 2^twos * 5^fives makes C * 2^(power - twos) * 5^(power - fives) = 10^power.
    Integer rest = m_pMap->c;
    int twos = 0;
    int fives = 0;
    for (; rest % 2 == 0; rest /= 2) {
        ++twos;
    }
    for (; rest % 5 == 0; rest /= 5) {
        ++fives;
    }
    const int power = std::max(twos, fives);
    if (rest != 1 || power > 22) {
        return;
    }
    const Integer factor =
        boost::multiprecision::pow(Integer(2), static_cast<unsigned>(power - twos)) *
        boost::multiprecision::pow(Integer(5), static_cast<unsigned>(power - fives));
    const Integer offset = m_pMap->a * factor;
    const Integer scale = m_pMap->b * factor;
    const Integer limit = Integer(1) << 62;
    if (abs(offset) >= limit || abs(scale) >= limit) {
        return;
    }
    m_shortOffset = static_cast<std::int64_t>(offset);
    m_shortScale = static_cast<std::int64_t>(scale);
    m_shortPower = power;
    m_bShort = true;
}

bool DecimalConverter::Short(const TypedDecimal& decimal, ShortDecimal& result,
                             double& value) const {
#if defined(__SIZEOF_INT128__) && defined(__GNUC__)
    __extension__ typedef __int128 Wide;
    if (!m_bShort || decimal.kind == TypedDecimal::e_Other || decimal.digits == 0) {
        return false;
    }
    // 10^n for n up to 22, beyond 64 bits from 10^20.
    const auto tenTo = [](int n) {
        constexpr std::uint64_t kTens[] = {1,
                                           10,
                                           100,
                                           1000,
                                           10000,
                                           100000,
                                           1000000,
                                           10000000,
                                           100000000,
                                           1000000000,
                                           10000000000,
                                           100000000000,
                                           1000000000000,
                                           10000000000000,
                                           100000000000000,
                                           1000000000000000,
                                           10000000000000000,
                                           100000000000000000,
                                           1000000000000000000,
                                           10000000000000000000u};
        return n <= 19 ? Wide(kTens[n]) : Wide(kTens[19]) * Wide(kTens[n - 19]);
    };
    // (offset + scale * digits * 10^e) / 10^power, brought to one power of ten.
    const Wide digits = decimal.negative ? -Wide(decimal.digits) : Wide(decimal.digits);
    Wide scaled = 0;
    Wide offset = m_shortOffset;
    int power = m_shortPower;
    if (__builtin_mul_overflow(Wide(m_shortScale), digits, &scaled)) {
        return false;
    }
    const bool overflows = decimal.exponent >= 0
                               ? __builtin_mul_overflow(scaled, tenTo(decimal.exponent), &scaled)
                               : __builtin_mul_overflow(offset, tenTo(-decimal.exponent), &offset);
    power -= decimal.exponent < 0 ? decimal.exponent : 0;
    Wide sum = 0;
    if (overflows || __builtin_add_overflow(scaled, offset, &sum) || sum == 0 ||
        sum > Wide(INT64_MAX) || sum < -Wide(INT64_MAX)) {
        return false;
    }
    auto significand = static_cast<std::int64_t>(sum);
    int exponent = -power;
    for (; significand % 10 == 0; significand /= 10) {
        ++exponent;
    }
    // At most 15 digits, and a double that one rounding of exact operands gives.
    constexpr std::int64_t kShortLimit = 1000000000000000;
    if (significand >= kShortLimit || significand <= -kShortLimit || exponent < -22 ||
        exponent > 22) {
        return false;
    }
    const auto exact = static_cast<double>(significand);
    value = exponent >= 0 ? exact * kPowersOfTen[exponent] : exact / kPowersOfTen[-exponent];
    result = {significand, exponent};
    return true;
#else
    static_cast<void>(decimal);
    static_cast<void>(result);
    static_cast<void>(value);
    return false;
#endif
}

bool DecimalConverter::Read(std::string_view text, TypedDecimal& decimal) {
    decimal.kind = TypedDecimal::e_Other;
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i++] == '-';
    }
    // The digits after any leading zeros, the point skipped; 20 or more may have wrapped round,
    // and are refused after the loops.
    std::uint64_t digits = 0;
    int significant = 0;
    long exponent = 0;
    const std::size_t start = i;
    for (; i < n && text[i] == '0'; ++i) {
    }
    for (; i < n && static_cast<unsigned>(text[i] - '0') < 10; ++i, ++significant) {
        digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    bool any = i != start;
    if (i < n && text[i] == '.') {
        const std::size_t fraction = ++i;
        if (significant == 0) {
            for (; i < n && text[i] == '0'; ++i) {
            }
        }
        for (; i < n && static_cast<unsigned>(text[i] - '0') < 10; ++i, ++significant) {
            digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
        }
        exponent = -static_cast<long>(i - fraction);
        any = any || i != fraction;
    }
    if (!any || significant > 19) {
        return false;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i++] == '-';
        }
        const std::size_t first = i;
        long written = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9' && written < 10000; ++i) {
            written = written * 10 + (text[i] - '0');
        }
        if (i == first) {
            return false;
        }
        exponent += negativeExponent ? -written : written;
    }
    if (i != n) {
        return false;
    }
    if (digits == 0) {
        // A zero whose power of ten is beyond the exact evaluation's is left to the caller, so
        // that whatever this reads is a decimal that the exact evaluation takes too.
        if (std::labs(exponent) > kMaxExactExponent) {
            return false;
        }
        decimal.value = decimal.high = negative ? -0.0 : 0.0;
        decimal.low = 0.0;
        decimal.digits = 0;
        decimal.exponent = static_cast<int>(exponent);
        decimal.negative = negative;
        decimal.kind = TypedDecimal::e_Exact;
        return true;
    }
    if (std::labs(exponent) > 22) {
        return false;
    }
    // digits = high + low exactly; then times or over an exact power of ten. When the digits are
    // below 2^53, the product or quotient of two exact doubles rounded once is the double nearest
    // the decimal.
    const double high = static_cast<double>(digits);
    const double low =
        static_cast<double>(static_cast<std::int64_t>(digits - static_cast<std::uint64_t>(high)));
    const double power = kPowersOfTen[std::labs(exponent)];
    double nearest = 0.0;
    double rest = 0.0;
    Pair x{};
    if (exponent >= 0) {
        const Pair product = TwoProduct(high, power);
        nearest = product.high;
        rest = product.low;
        x = Normalized(product.high, rest + low * power);
    } else {
        const double quotient = high / power;
        const Pair back = TwoProduct(quotient, power);
        nearest = quotient;
        rest = (high - back.high) - back.low; // exact: the remainder of a rounded quotient
        x = Normalized(quotient, (rest + low) / power);
    }
    decimal.digits = digits;
    decimal.exponent = static_cast<int>(exponent);
    decimal.negative = negative;
    decimal.high = negative ? -x.high : x.high;
    decimal.low = negative ? -x.low : x.low;
    decimal.kind = rest == 0.0 && low == 0.0 ? TypedDecimal::e_Exact : TypedDecimal::e_Inexact;
    if (low != 0.0) {
        return false; // the digits were rounded first, so `nearest` may not be
    }
    decimal.value = negative ? -nearest : nearest;
    return true;
}

void DecimalConverter::Convert(const std::string_view* texts, const TypedDecimal* decimals,
                               double* results, std::size_t count, ShortDecimal* shorts) const {
    for (std::size_t i = 0; i < count; ++i) {
        results[i] = decimals[i].value;
    }
    ConvertValues(m_engine, results, count);
    if (shorts != nullptr) {
        std::fill(shorts, shorts + count, ShortDecimal{});
    }
    if (!m_pMap) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const TypedDecimal& decimal = decimals[i];
        if (shorts != nullptr && Short(decimal, shorts[i], results[i])) {
            continue;
        }
        if (decimal.kind == TypedDecimal::e_Exact) {
            continue;
        }
        const double quick = decimal.kind == TypedDecimal::e_Inexact && m_bQuick
                                 ? Quick(decimal.high, decimal.low)
                                 : kNaN;
        if (!std::isnan(quick)) {
            results[i] = quick;
        } else if (const std::optional<double> exact = Exactly(texts[i])) {
            results[i] = *exact;
        }
    }
}

std::optional<double> DecimalConverter::Convert(std::string_view text) const {
    if (!m_pMap) {
        return std::nullopt;
    }
    // A text longer than the most digits the exact evaluation takes is left to it, to refuse.
    TypedDecimal decimal;
    if (m_bQuick && text.size() <= kMaxExactDigits) {
        Read(text, decimal);
    }
    const double quick =
        decimal.kind != TypedDecimal::e_Other ? Quick(decimal.high, decimal.low) : kNaN;
    return std::isnan(quick) ? Exactly(text) : quick;
}

double DecimalConverter::Quick(double high, double low) const {
    const Pair x{high, low};
    const double* k = m_coefficients;
    if (m_bLinear) {
        const Pair product = Multiply({k[0], k[1]}, x);
        const Pair y = Add(product, {k[2], k[3]});
        return RoundedWithin(y, 0x1p-96 * (std::fabs(product.high) + std::fabs(k[2])));
    }
    const Pair bx = Multiply({k[2], k[3]}, x);
    const Pair dx = Multiply({k[6], k[7]}, x);
    const Pair numerator = Add({k[0], k[1]}, bx);
    const Pair denominator = Add({k[4], k[5]}, dx);
    const Pair y = Divide(numerator, denominator);
    // The error of each sum grows as much as it cancels.
    const double spread = (std::fabs(k[0]) + std::fabs(bx.high)) / std::fabs(numerator.high) +
                          (std::fabs(k[4]) + std::fabs(dx.high)) / std::fabs(denominator.high) +
                          1.0;
    return RoundedWithin(y, 0x1p-96 * spread * std::fabs(y.high));
}

std::optional<double> DecimalConverter::Exactly(std::string_view text) const {
    Integer numerator;
    Integer denominator;
    if (!m_pMap || !ExactValueAt(*m_pMap, text, numerator, denominator)) {
        return std::nullopt;
    }
    return denominator == 0 ? kNaN : Detail::NearestDouble(numerator, denominator);
}

std::optional<std::pair<std::int64_t, long>> DecimalConverter::Round(std::string_view text,
                                                                     int digits) const {
    Integer numerator;
    Integer denominator;
    if (digits < 1 || digits > 18 || !m_pMap ||
        !ExactValueAt(*m_pMap, text, numerator, denominator) || denominator == 0) {
        return std::nullopt;
    }
    if (numerator == 0) {
        return std::pair<std::int64_t, long>{0, 0};
    }
    const bool negative = (numerator < 0) != (denominator < 0);
    const Integer p = abs(numerator);
    const Integer q = abs(denominator);
    // The power of ten of the first digit, from the binary exponents; then put right.
    long exponent = static_cast<long>(std::floor(
        (static_cast<double>(msb(p)) - static_cast<double>(msb(q))) * 0.30102999566398120));
    const auto scaled = [&](long power, Integer& quotient, Integer& rest) {
        const Integer ten =
            boost::multiprecision::pow(Integer(10), static_cast<unsigned>(std::labs(power)));
        divide_qr(power >= 0 ? Integer(p * ten) : p, power >= 0 ? q : Integer(q * ten), quotient,
                  rest);
    };
    const Integer low = boost::multiprecision::pow(Integer(10), static_cast<unsigned>(digits - 1));
    const Integer high = low * 10;
    Integer kept;
    Integer rest;
    for (;;) {
        scaled(digits - 1 - exponent, kept, rest);
        if (kept < low) {
            --exponent;
        } else if (kept >= high) {
            ++exponent;
        } else {
            break;
        }
    }
    // Half to even: compare twice the rest with the divisor it is a remainder of.
    const long power = digits - 1 - exponent;
    const Integer divisor =
        power >= 0
            ? q
            : Integer(q * boost::multiprecision::pow(Integer(10), static_cast<unsigned>(-power)));
    const int side = Integer(rest * 2).compare(divisor);
    if (side > 0 || (side == 0 && (kept & 1) != 0)) {
        ++kept;
        if (kept == high) {
            kept /= 10;
            ++exponent;
        }
    }
    const auto significand = static_cast<std::int64_t>(kept);
    return std::pair<std::int64_t, long>{negative ? -significand : significand,
                                         exponent - (digits - 1)};
}

std::optional<double> ConvertDecimal(IUnitConverterEngine& engine, const std::string& text) {
    return DecimalConverter(engine).Convert(text);
}

std::optional<std::pair<std::int64_t, long>> RoundDecimal(IUnitConverterEngine& engine,
                                                          const std::string& text, int digits) {
    return DecimalConverter(engine).Round(text, digits);
}

} // namespace Orv::Pim::Core::Service::Units::Converter
