#include "Integer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

using Limbs = std::vector<std::uint32_t>;

constexpr std::uint64_t kLimbBase = std::uint64_t{1} << 32;

void Trim(Limbs& x) {
    while (!x.empty() && x.back() == 0) {
        x.pop_back();
    }
}

int CompareMagnitudes(const Limbs& a, const Limbs& b) {
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

Limbs AddMagnitudes(const Limbs& a, const Limbs& b) {
    const Limbs& longer = a.size() >= b.size() ? a : b;
    const Limbs& shorter = a.size() >= b.size() ? b : a;
    Limbs sum(longer.size() + 1, 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < longer.size(); ++i) {
        carry += longer[i];
        if (i < shorter.size()) {
            carry += shorter[i];
        }
        sum[i] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    sum[longer.size()] = static_cast<std::uint32_t>(carry);
    Trim(sum);
    return sum;
}

// a -= b, where a >= b.
void SubtractInPlace(Limbs& a, const Limbs& b) {
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::uint64_t take = (i < b.size() ? b[i] : 0) + borrow;
        const std::uint64_t have = a[i];
        borrow = have < take ? 1 : 0;
        a[i] = static_cast<std::uint32_t>(have + borrow * kLimbBase - take);
    }
    Trim(a);
}

Limbs MultiplyMagnitudes(const Limbs& a, const Limbs& b) {
    if (a.empty() || b.empty()) {
        return {};
    }
    Limbs product(a.size() + b.size(), 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            // At most (2^32 - 1)^2 + 2 * (2^32 - 1) = 2^64 - 1: never overflows.
            const std::uint64_t t = std::uint64_t{a[i]} * b[j] + product[i + j] + carry;
            product[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product[i + b.size()] = static_cast<std::uint32_t>(carry);
    }
    Trim(product);
    return product;
}

// a = a * factor + addend.
void MultiplyAddInPlace(Limbs& a, std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : a) {
        const std::uint64_t t = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    if (carry != 0) {
        a.push_back(static_cast<std::uint32_t>(carry));
    }
    Trim(a);
}

// a /= divisor; returns the remainder.
std::uint32_t DivideInPlace(Limbs& a, std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const std::uint64_t current = (remainder << 32) | a[i];
        a[i] = static_cast<std::uint32_t>(current / divisor);
        remainder = current % divisor;
    }
    Trim(a);
    return static_cast<std::uint32_t>(remainder);
}

std::size_t BitLengthOf(const Limbs& a) {
    if (a.empty()) {
        return 0;
    }
    std::size_t bits = 0;
    for (std::uint32_t top = a.back(); top != 0; top >>= 1) {
        ++bits;
    }
    return (a.size() - 1) * 32 + bits;
}

Limbs ShiftLeftMagnitude(const Limbs& a, std::size_t bits) {
    if (a.empty()) {
        return {};
    }
    const std::size_t limbShift = bits / 32;
    const std::size_t bitShift = bits % 32;
    Limbs shifted(a.size() + limbShift + 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::uint64_t v = std::uint64_t{a[i]} << bitShift;
        shifted[i + limbShift] |= static_cast<std::uint32_t>(v);
        shifted[i + limbShift + 1] |= static_cast<std::uint32_t>(v >> 32);
    }
    Trim(shifted);
    return shifted;
}

void ShiftRightInPlace(Limbs& a, std::size_t bits) {
    const std::size_t limbShift = bits / 32;
    const std::size_t bitShift = bits % 32;
    if (limbShift >= a.size()) {
        a.clear();
        return;
    }
    a.erase(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(limbShift));
    if (bitShift != 0) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            const std::uint32_t high = i + 1 < a.size() ? a[i + 1] << (32 - bitShift) : 0;
            a[i] = (a[i] >> bitShift) | high;
        }
    }
    Trim(a);
}

// Number of zero bits below the lowest set bit of a non-zero magnitude.
std::size_t TrailingZeroBits(const Limbs& a) {
    std::size_t i = 0;
    while (a[i] == 0) {
        ++i;
    }
    std::size_t bits = i * 32;
    for (std::uint32_t v = a[i]; (v & 1) == 0; v >>= 1) {
        ++bits;
    }
    return bits;
}

void DivModMagnitudes(const Limbs& a, const Limbs& b, Limbs& quotient, Limbs& remainder) {
    if (CompareMagnitudes(a, b) < 0) {
        quotient.clear();
        remainder = a;
        return;
    }
    if (b.size() == 1) {
        quotient = a;
        remainder.clear();
        if (const std::uint32_t rest = DivideInPlace(quotient, b[0]); rest != 0) {
            remainder.push_back(rest);
        }
        return;
    }
    // Binary long division: bring down one bit of `a` at a time. The numbers met here are a few
    // hundred bits long and divided a handful of times per engine, so simplicity wins.
    quotient.assign(a.size(), 0);
    remainder.clear();
    for (std::size_t bit = BitLengthOf(a); bit-- > 0;) {
        std::uint32_t carry = (a[bit / 32] >> (bit % 32)) & 1;
        for (std::uint32_t& limb : remainder) {
            const std::uint32_t next = limb >> 31;
            limb = (limb << 1) | carry;
            carry = next;
        }
        if (carry != 0) {
            remainder.push_back(carry);
        }
        if (CompareMagnitudes(remainder, b) >= 0) {
            SubtractInPlace(remainder, b);
            quotient[bit / 32] |= std::uint32_t{1} << (bit % 32);
        }
    }
    Trim(quotient);
}

// Binary greatest common divisor: shifts and subtractions only.
Limbs GcdMagnitudes(Limbs a, Limbs b) {
    if (a.empty()) {
        return b;
    }
    if (b.empty()) {
        return a;
    }
    const std::size_t zerosA = TrailingZeroBits(a);
    const std::size_t zerosB = TrailingZeroBits(b);
    ShiftRightInPlace(a, zerosA);
    ShiftRightInPlace(b, zerosB);
    for (;;) { // both odd here
        const int order = CompareMagnitudes(a, b);
        if (order == 0) {
            break;
        }
        if (order > 0) {
            std::swap(a, b);
        }
        SubtractInPlace(b, a); // even and not zero
        ShiftRightInPlace(b, TrailingZeroBits(b));
    }
    return ShiftLeftMagnitude(a, std::min(zerosA, zerosB));
}

} // namespace

Integer::Integer(std::int64_t value) {
#if ORV_CONVERTER_HAVE_INT128
    m_native = value;
#else
    m_limbs.negative = value < 0;
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    for (; magnitude != 0; magnitude >>= 32) {
        m_limbs.magnitude.push_back(static_cast<std::uint32_t>(magnitude));
    }
#endif
}

Integer Integer::FromDigits(const std::string& digits) {
    Wide value;
    for (char digit : digits) {
        MultiplyAddInPlace(value.magnitude, 10, static_cast<std::uint32_t>(digit - '0'));
    }
    return FromWide(std::move(value));
}

Integer Integer::PowerOfTen(unsigned exponent) {
    Wide value;
    value.magnitude.push_back(1);
    for (; exponent >= 9; exponent -= 9) {
        MultiplyAddInPlace(value.magnitude, 1000000000u, 0);
    }
    for (; exponent > 0; --exponent) {
        MultiplyAddInPlace(value.magnitude, 10, 0);
    }
    return FromWide(std::move(value));
}

#if ORV_CONVERTER_HAVE_INT128
Integer Integer::FromNative(Native value) {
    // The most negative value has no negation in the native type, so it goes to limbs.
    constexpr Native kMax = static_cast<Native>((NativeUnsigned{1} << 127) - 1);
    if (value < -kMax) {
        return FromWide(Wide{true, Limbs{0, 0, 0, 0x80000000u}});
    }
    Integer result;
    result.m_native = value;
    return result;
}
#endif

Integer::Wide Integer::ToWide() const {
#if ORV_CONVERTER_HAVE_INT128
    if (!m_wide) {
        Wide value;
        value.negative = m_native < 0;
        NativeUnsigned magnitude = value.negative ? ~static_cast<NativeUnsigned>(m_native) + 1
                                                  : static_cast<NativeUnsigned>(m_native);
        for (; magnitude != 0; magnitude >>= 32) {
            value.magnitude.push_back(static_cast<std::uint32_t>(magnitude));
        }
        return value;
    }
#endif
    return m_limbs;
}

Integer Integer::FromWide(Wide value) {
    Trim(value.magnitude);
    if (value.magnitude.empty()) {
        value.negative = false;
    }
#if ORV_CONVERTER_HAVE_INT128
    if (BitLengthOf(value.magnitude) <= 127) {
        Native magnitude = 0;
        for (std::size_t i = value.magnitude.size(); i-- > 0;) {
            magnitude = (magnitude << 32) | value.magnitude[i];
        }
        return FromNative(value.negative ? -magnitude : magnitude);
    }
#endif
    Integer result;
    result.m_wide = true;
    result.m_limbs = std::move(value);
    return result;
}

bool Integer::IsZero() const {
    return Sign() == 0;
}

int Integer::Sign() const {
#if ORV_CONVERTER_HAVE_INT128
    if (!m_wide) {
        return (m_native > 0) - (m_native < 0);
    }
#endif
    if (m_limbs.magnitude.empty()) {
        return 0;
    }
    return m_limbs.negative ? -1 : 1;
}

std::size_t Integer::BitLength() const {
    return BitLengthOf(ToWide().magnitude);
}

std::uint64_t Integer::LowBits() const {
    const Limbs magnitude = ToWide().magnitude;
    std::uint64_t bits = 0;
    if (!magnitude.empty()) {
        bits = magnitude[0];
    }
    if (magnitude.size() > 1) {
        bits |= std::uint64_t{magnitude[1]} << 32;
    }
    return bits;
}

Integer Integer::Abs() const {
    return Sign() < 0 ? -*this : *this;
}

Integer Integer::operator-() const {
#if ORV_CONVERTER_HAVE_INT128
    if (!m_wide) {
        return FromNative(-m_native); // never the most negative value, so no overflow
    }
#endif
    Wide value = m_limbs;
    value.negative = !value.negative;
    return FromWide(std::move(value));
}

Integer Integer::ShiftedLeft(std::size_t bits) const {
#if ORV_CONVERTER_HAVE_INT128
    if (!m_wide && BitLength() + bits <= 126) {
        return FromNative(m_native * (Native{1} << bits));
    }
#endif
    Wide value = ToWide();
    value.magnitude = ShiftLeftMagnitude(value.magnitude, bits);
    return FromWide(std::move(value));
}

std::string Integer::ToString() const {
    Wide value = ToWide();
    if (value.magnitude.empty()) {
        return "0";
    }
    std::string digits;
    while (!value.magnitude.empty()) {
        std::uint32_t chunk = DivideInPlace(value.magnitude, 1000000000u);
        for (int i = 0; i < 9 && (chunk != 0 || !value.magnitude.empty()); ++i) {
            digits.push_back(static_cast<char>('0' + chunk % 10));
            chunk /= 10;
        }
    }
    if (value.negative) {
        digits.push_back('-');
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

Integer operator+(const Integer& a, const Integer& b) {
#if ORV_CONVERTER_HAVE_INT128
    if (!a.m_wide && !b.m_wide) {
        Integer::Native sum;
        if (!__builtin_add_overflow(a.m_native, b.m_native, &sum)) {
            return Integer::FromNative(sum);
        }
    }
#endif
    Integer::Wide x = a.ToWide();
    Integer::Wide y = b.ToWide();
    if (x.negative == y.negative) {
        return Integer::FromWide({x.negative, AddMagnitudes(x.magnitude, y.magnitude)});
    }
    if (CompareMagnitudes(x.magnitude, y.magnitude) < 0) {
        std::swap(x, y);
    }
    SubtractInPlace(x.magnitude, y.magnitude);
    return Integer::FromWide(std::move(x));
}

Integer operator-(const Integer& a, const Integer& b) {
    return a + -b;
}

Integer operator*(const Integer& a, const Integer& b) {
#if ORV_CONVERTER_HAVE_INT128
    if (!a.m_wide && !b.m_wide) {
        Integer::Native product;
        if (!__builtin_mul_overflow(a.m_native, b.m_native, &product)) {
            return Integer::FromNative(product);
        }
    }
#endif
    const Integer::Wide x = a.ToWide();
    const Integer::Wide y = b.ToWide();
    return Integer::FromWide(
        {x.negative != y.negative, MultiplyMagnitudes(x.magnitude, y.magnitude)});
}

void Integer::DivMod(const Integer& a, const Integer& b, Integer& quotient, Integer& remainder) {
    if (b.IsZero()) {
        throw std::domain_error("integer division by zero");
    }
#if ORV_CONVERTER_HAVE_INT128
    if (!a.m_wide && !b.m_wide) {
        // Neither is the most negative value, so neither result overflows.
        quotient = FromNative(a.m_native / b.m_native);
        remainder = FromNative(a.m_native % b.m_native);
        return;
    }
#endif
    const Wide x = a.ToWide();
    const Wide y = b.ToWide();
    Wide q{x.negative != y.negative, {}};
    Wide r{x.negative, {}};
    DivModMagnitudes(x.magnitude, y.magnitude, q.magnitude, r.magnitude);
    quotient = FromWide(std::move(q));
    remainder = FromWide(std::move(r));
}

Integer Integer::DividedBy(const Integer& divisor) const {
    Integer quotient;
    Integer remainder;
    DivMod(*this, divisor, quotient, remainder);
    return quotient;
}

Integer Integer::Gcd(const Integer& a, const Integer& b) {
#if ORV_CONVERTER_HAVE_INT128
    if (!a.m_wide && !b.m_wide) {
        Native x = a.m_native < 0 ? -a.m_native : a.m_native;
        Native y = b.m_native < 0 ? -b.m_native : b.m_native;
        while (y != 0) {
            const Native rest = x % y;
            x = y;
            y = rest;
        }
        return FromNative(x);
    }
#endif
    return FromWide({false, GcdMagnitudes(a.ToWide().magnitude, b.ToWide().magnitude)});
}

int Integer::Compare(const Integer& a, const Integer& b) {
#if ORV_CONVERTER_HAVE_INT128
    if (!a.m_wide && !b.m_wide) {
        return (a.m_native > b.m_native) - (a.m_native < b.m_native);
    }
#endif
    const int signA = a.Sign();
    const int signB = b.Sign();
    if (signA != signB) {
        return signA < signB ? -1 : 1;
    }
    const int magnitudeOrder = CompareMagnitudes(a.ToWide().magnitude, b.ToWide().magnitude);
    return signA < 0 ? -magnitudeOrder : magnitudeOrder;
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
