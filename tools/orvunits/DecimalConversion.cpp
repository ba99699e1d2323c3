#include "DecimalConversion.h"

#include "Output.h"

#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace Orv::UnitsTool {

namespace Converter = Orv::Pim::Core::Service::Units::Converter;

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
// whose library call would cost more than this.
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

// An integer of the exact definition below 2^62 in magnitude, exactly; false for larger ones.
bool ReadInteger(const std::string& text, Pair& value) {
    long long integer = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), integer);
    if (result.ec != std::errc() || std::llabs(integer) >= (1LL << 62)) {
        return false;
    }
    const double high = static_cast<double>(integer);
    value = {high, static_cast<double>(integer - static_cast<long long>(high))};
    return true;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

using Reading = TypedNumber::Kind;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Reads `[+-]digits[.digits][(e|E)[+-]digits]` of at most 19 significant digits and a power of
// ten within what a double holds exactly (10^22) into `x`. When the digits are below 2^53, the
// product or quotient of two exact doubles rounded once is the double nearest the decimal: then
// sets `nearest` to it.
Reading Read(std::string_view token, Pair& x, double& nearest) {
    std::size_t i = 0;
    const std::size_t n = token.size();
    bool negative = false;
    if (i < n && (token[i] == '+' || token[i] == '-')) {
        negative = token[i++] == '-';
    }
    // The digits after any leading zeros, the point skipped; 20 or more may have wrapped round,
    // and are refused after the loops.
    std::uint64_t digits = 0;
    int significant = 0;
    long exponent = 0;
    const std::size_t start = i;
    for (; i < n && token[i] == '0'; ++i) {
    }
    for (; i < n && static_cast<unsigned>(token[i] - '0') < 10; ++i, ++significant) {
        digits = digits * 10 + static_cast<std::uint64_t>(token[i] - '0');
    }
    bool any = i != start;
    if (i < n && token[i] == '.') {
        const std::size_t fraction = ++i;
        if (significant == 0) {
            for (; i < n && token[i] == '0'; ++i) {
            }
        }
        for (; i < n && static_cast<unsigned>(token[i] - '0') < 10; ++i, ++significant) {
            digits = digits * 10 + static_cast<std::uint64_t>(token[i] - '0');
        }
        exponent = -static_cast<long>(i - fraction);
        any = any || i != fraction;
    }
    if (!any || significant > 19) {
        return Reading::e_Other;
    }
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (token[i] == '+' || token[i] == '-')) {
            negativeExponent = token[i++] == '-';
        }
        const std::size_t first = i;
        long written = 0;
        for (; i < n && token[i] >= '0' && token[i] <= '9' && written < 10000; ++i) {
            written = written * 10 + (token[i] - '0');
        }
        if (i == first) {
            return Reading::e_Other;
        }
        exponent += negativeExponent ? -written : written;
    }
    if (i != n) {
        return Reading::e_Other;
    }
    if (digits == 0) {
        nearest = negative ? -0.0 : 0.0;
        return Reading::e_Exact;
    }
    if (std::labs(exponent) > 22) {
        return Reading::e_Other;
    }
    // digits = high + low exactly; then times or over an exact power of ten.
    const double high = static_cast<double>(digits);
    const double low =
        static_cast<double>(static_cast<std::int64_t>(digits - static_cast<std::uint64_t>(high)));
    const double power = kPowersOfTen[std::labs(exponent)];
    double rest = 0.0;
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
    if (negative) {
        x = {-x.high, -x.low};
        nearest = -nearest;
    }
    if (low != 0.0) {
        nearest = kNaN; // the digits were rounded first
    }
    return rest == 0.0 && low == 0.0 ? Reading::e_Exact : Reading::e_Inexact;
}

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

// `value` written with `digits` significant digits in the general form, without trailing zeros.
char* WriteDigits(char* first, double value, int digits) {
    return std::to_chars(first, first + e_MaxNumberLength, value, std::chars_format::general,
                         digits)
        .ptr;
}

// significand * 10^exponent, of `digits` significant digits, written as WriteDigits writes a
// double: scientific when the first digit's power is below -4 or at least `digits`.
char* WriteDecimal(char* out, std::int64_t significand, long exponent, int digits) {
    if (significand < 0) {
        *out++ = '-';
    }
    std::string text = std::to_string(std::llabs(significand));
    const long first = exponent + static_cast<long>(text.size()) - 1;
    text.erase(text.find_last_not_of('0') + 1);
    const auto length = static_cast<long>(text.size());
    if (first < -4 || first >= digits) {
        *out++ = text[0];
        if (length > 1) {
            *out++ = '.';
            out = std::copy(text.begin() + 1, text.end(), out);
        }
        *out++ = 'e';
        *out++ = first < 0 ? '-' : '+';
        if (std::labs(first) < 10) {
            *out++ = '0';
        }
        return std::to_chars(out, out + 8, std::labs(first)).ptr;
    }
    if (first < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -first - 1, '0');
        return std::copy(text.begin(), text.end(), out);
    }
    for (long i = 0; i <= std::max(first, length - 1); ++i) {
        if (i == first + 1) {
            *out++ = '.';
        }
        *out++ = i < length ? text[static_cast<std::size_t>(i)] : '0';
    }
    return out;
}

} // namespace

e_NumberRead ReadTyped(std::string_view token, TypedNumber& number) {
    Pair x{};
    double nearest = kNaN;
    number.kind = Read(token, x, nearest);
    number.high = x.high;
    number.low = x.low;
    if (number.kind != TypedNumber::e_Other && !std::isnan(nearest)) {
        number.value = nearest;
        return e_NumberRead::e_Ok;
    }
    return ReadNumber(token, number.value);
}

DecimalConverter::DecimalConverter(Converter::IUnitConverterEngine& engine, int digits)
    : m_engine(engine), m_digits(digits) {
    Converter::ExactDefinition definition;
    m_bExact = Converter::GetExactDefinition(engine, definition);
    Pair a{}, b{}, c{}, d{};
    m_bQuick = m_bExact && ReadInteger(definition.A, a) && ReadInteger(definition.B, b) &&
               ReadInteger(definition.C, c) && ReadInteger(definition.D, d);
    if (!m_bQuick) {
        return;
    }
    m_bLinear = d.high == 0.0;
    // A linear map is kept as its scale B/C and offset A/C, which spares a division a number.
    const Pair parts[] = {m_bLinear ? Divide(b, c) : a, m_bLinear ? Divide(a, c) : b, c, d};
    for (std::size_t i = 0; i < 4; ++i) {
        m_coefficients[2 * i] = parts[i].high;
        m_coefficients[2 * i + 1] = parts[i].low;
    }
}

void DecimalConverter::Convert(const std::string_view* tokens, const TypedNumber* numbers,
                               double* results, std::size_t count) const {
    for (std::size_t i = 0; i < count; ++i) {
        results[i] = numbers[i].value;
    }
    Converter::ConvertValues(m_engine, results, count);
    if (!m_bExact) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        switch (numbers[i].kind) {
        case TypedNumber::e_Exact:
            break;
        case TypedNumber::e_Inexact:
            results[i] =
                m_bQuick ? ConvertInexact(tokens[i], numbers[i].high, numbers[i].low, results[i])
                         : ConvertExactly(tokens[i], results[i]);
            break;
        case TypedNumber::e_Other:
            results[i] = ConvertExactly(tokens[i], results[i]);
            break;
        }
    }
}

double DecimalConverter::ConvertInexact(std::string_view token, double high, double low,
                                        double converted) const {
    const Pair x{high, low};
    const double* k = m_coefficients;
    double result = 0.0;
    if (m_bLinear) {
        const Pair product = Multiply({k[0], k[1]}, x);
        const Pair y = Add(product, {k[2], k[3]});
        result = RoundedWithin(y, 0x1p-96 * (std::fabs(product.high) + std::fabs(k[2])));
    } else {
        const Pair bx = Multiply({k[2], k[3]}, x);
        const Pair dx = Multiply({k[6], k[7]}, x);
        const Pair numerator = Add({k[0], k[1]}, bx);
        const Pair denominator = Add({k[4], k[5]}, dx);
        const Pair y = Divide(numerator, denominator);
        // The error of each sum grows as much as it cancels.
        const double spread = (std::fabs(k[0]) + std::fabs(bx.high)) / std::fabs(numerator.high) +
                              (std::fabs(k[4]) + std::fabs(dx.high)) / std::fabs(denominator.high) +
                              1.0;
        result = RoundedWithin(y, 0x1p-96 * spread * std::fabs(y.high));
    }
    return std::isnan(result) ? ConvertExactly(token, converted) : result;
}

double DecimalConverter::ConvertExactly(std::string_view token, double converted) const {
    const std::optional<double> exact = Converter::ConvertDecimal(m_engine, std::string(token));
    return exact ? *exact : converted;
}

char* DecimalConverter::Write(char* first, std::string_view token, double result) const {
    if (m_digits == 0 || !std::isfinite(result)) {
        return WriteNumber(first, result);
    }
    if (!m_bExact) {
        return WriteDigits(first, result, m_digits);
    }
    // The exact value lies between the doubles beside the correctly rounded result: where both
    // round to the same digits, so does it.
    char above[e_MaxNumberLength];
    const char* aboveEnd = WriteDigits(above, std::nextafter(result, HUGE_VAL), m_digits);
    char* end = WriteDigits(first, std::nextafter(result, -HUGE_VAL), m_digits);
    if (std::string_view(first, static_cast<std::size_t>(end - first)) ==
        std::string_view(above, static_cast<std::size_t>(aboveEnd - above))) {
        return end;
    }
    const auto rounded = Converter::RoundDecimal(m_engine, std::string(token), m_digits);
    if (!rounded || rounded->first == 0) {
        return rounded ? WriteNumber(first, result) : WriteDigits(first, result, m_digits);
    }
    return WriteDecimal(first, rounded->first, rounded->second, m_digits);
}

} // namespace Orv::UnitsTool
