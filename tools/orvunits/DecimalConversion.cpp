#include "DecimalConversion.h"

#include "Output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace Orv::UnitsTool {

namespace Converter = Orv::Pim::Core::Service::Units::Converter;

namespace {

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

char* WriteShortest(char* out, std::int64_t significand, int exponent) {
    if (significand < 0) {
        *out++ = '-';
    }
    char digits[20];
    char* end =
        std::to_chars(digits, digits + sizeof digits, significand < 0 ? -significand : significand)
            .ptr;
    const int length = static_cast<int>(end - digits);
    // Fixed or scientific, whichever is shorter; fixed when they are as long.
    const int scientific = exponent + length - 1;
    const int scientificLength =
        length + (length > 1 ? 1 : 0) + 2 + (scientific >= 100 || scientific <= -100 ? 3 : 2);
    const int fixedLength = exponent >= 0        ? length + exponent
                            : -exponent < length ? length + 1
                                                 : 2 - exponent;
    if (fixedLength > scientificLength) {
        *out++ = digits[0];
        if (length > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, end, out);
        }
        *out++ = 'e';
        *out++ = scientific < 0 ? '-' : '+';
        const int magnitude = scientific < 0 ? -scientific : scientific;
        if (magnitude < 10) {
            *out++ = '0';
        }
        return std::to_chars(out, out + 3, magnitude).ptr;
    }
    if (exponent >= 0) {
        out = std::copy(digits, end, out);
        return std::fill_n(out, exponent, '0');
    }
    if (-exponent < length) {
        out = std::copy(digits, end + exponent, out);
        *out++ = '.';
        return std::copy(end + exponent, end, out);
    }
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -exponent - length, '0');
    return std::copy(digits, end, out);
}

e_NumberRead ReadTyped(std::string_view token, TypedNumber& number) {
    if (Converter::DecimalConverter::Read(token, number)) {
        return e_NumberRead::e_Ok;
    }
    return ReadNumber(token, number.value);
}

DecimalConverter::DecimalConverter(Converter::IUnitConverterEngine& engine, int digits)
    : m_decimals(engine), m_digits(digits) {}

char* DecimalConverter::Write(char* first, std::string_view token, double result,
                              const ShortResult& exact) const {
    // Beyond 2^53 a whole number is written with every digit of its double, not the shortest.
    if (m_digits == 0 && exact.significand != 0 && std::fabs(result) < 0x1p53) {
        return WriteShortest(first, exact.significand, exact.exponent);
    }
    if (m_digits == 0 || !std::isfinite(result)) {
        return WriteNumber(first, result);
    }
    if (!m_decimals.IsExact()) {
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
    const auto rounded = m_decimals.Round(token, m_digits);
    if (!rounded || rounded->first == 0) {
        return rounded ? WriteNumber(first, result) : WriteDigits(first, result, m_digits);
    }
    return WriteDecimal(first, rounded->first, rounded->second, m_digits);
}

} // namespace Orv::UnitsTool
