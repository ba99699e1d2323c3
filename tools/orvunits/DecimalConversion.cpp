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

e_NumberRead ReadTyped(std::string_view token, TypedNumber& number) {
    if (Converter::DecimalConverter::Read(token, number)) {
        return e_NumberRead::e_Ok;
    }
    return ReadNumber(token, number.value);
}

DecimalConverter::DecimalConverter(Converter::IUnitConverterEngine& engine, int digits)
    : m_decimals(engine), m_digits(digits) {}

char* DecimalConverter::Write(char* first, std::string_view token, double result) const {
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
