#include "Decimal.h"

#include <cstddef>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Moves trailing zeros of the digits into the exponent and drops leading zeros.
void Normalise(Decimal& number) {
    const std::size_t first = number.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        number = Decimal{};
        return;
    }
    number.digits.erase(0, first);
    const std::size_t last = number.digits.find_last_not_of('0');
    number.exponent += static_cast<long>(number.digits.size() - last - 1);
    number.digits.erase(last + 1);
}

} // namespace

std::optional<Decimal> ParseDecimal(const std::string& text) {
    Decimal number;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        number.negative = text[at] == '-';
        ++at;
    }
    std::size_t mantissaDigits = 0;
    long fractionDigits = 0;
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (IsDigit(c)) {
            if (++mantissaDigits > kMaxDecimalDigits) {
                return std::nullopt;
            }
            number.digits.push_back(c);
            fractionDigits += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    long exponent = 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        bool negativeExponent = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            negativeExponent = text[at] == '-';
            ++at;
        }
        const std::size_t exponentStart = at;
        for (; at < text.size() && IsDigit(text[at]); ++at) {
            exponent = exponent * 10 + (text[at] - '0');
            if (exponent > kMaxDecimalExponent) {
                return std::nullopt;
            }
        }
        if (at == exponentStart) {
            return std::nullopt;
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    number.exponent = exponent - fractionDigits;
    Normalise(number);
    return number;
}

Decimal Multiply(const Decimal& left, const Decimal& right) {
    if (left.IsZero() || right.IsZero()) {
        return Decimal{};
    }
    // Schoolbook multiplication on base-10 digits, least significant first.
    std::vector<unsigned> sum(left.digits.size() + right.digits.size(), 0);
    for (std::size_t i = 0; i < left.digits.size(); ++i) {
        const unsigned a = static_cast<unsigned>(left.digits[left.digits.size() - 1 - i] - '0');
        for (std::size_t j = 0; j < right.digits.size(); ++j) {
            const unsigned b =
                static_cast<unsigned>(right.digits[right.digits.size() - 1 - j] - '0');
            sum[i + j] += a * b;
            // Carry at once so no cell overflows, however long the operands are.
            sum[i + j + 1] += sum[i + j] / 10;
            sum[i + j] %= 10;
        }
    }
    Decimal product;
    product.negative = left.negative != right.negative;
    product.exponent = left.exponent + right.exponent;
    product.digits.reserve(sum.size());
    for (std::size_t i = sum.size(); i-- > 0;) {
        product.digits.push_back(static_cast<char>('0' + sum[i]));
    }
    Normalise(product);
    return product;
}

bool operator==(const Decimal& left, const Decimal& right) {
    return left.negative == right.negative && left.digits == right.digits &&
           left.exponent == right.exponent;
}

std::string NegatedText(const std::string& text) {
    if (!text.empty() && text[0] == '-') {
        return text.substr(1);
    }
    if (!text.empty() && text[0] == '+') {
        return "-" + text.substr(1);
    }
    return "-" + text;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
