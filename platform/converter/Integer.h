// Signed integers of any size, for the exact definitions behind converter engines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#if defined(__SIZEOF_INT128__) && !defined(ORV_CONVERTER_NO_INT128)
#define ORV_CONVERTER_HAVE_INT128 1
#else
#define ORV_CONVERTER_HAVE_INT128 0
#endif

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

/// A signed integer of any size. A value whose magnitude fits in 127 bits is held and worked on as
/// a native 128-bit integer where the compiler has one; an operation that would overflow it, and
/// every operation where there is no such type, falls back to 32-bit limbs. Results are always
/// exact; they move back to the native form whenever they fit again.
class Integer {
public:
    Integer() = default;
    explicit Integer(std::int64_t value);
    /// The value of a non-empty string of decimal digits.
    static Integer FromDigits(const std::string& digits);
    /// Ten to the power `exponent`.
    static Integer PowerOfTen(unsigned exponent);

    bool IsZero() const;
    /// -1, 0 or 1.
    int Sign() const;
    /// True when the value is held in limbs rather than natively.
    bool IsWide() const { return m_wide; }
    /// Number of bits of the magnitude; 0 for zero.
    std::size_t BitLength() const;
    /// The low 64 bits of the magnitude.
    std::uint64_t LowBits() const;
    Integer Abs() const;
    Integer operator-() const;
    /// The value times two to the power `bits`.
    Integer ShiftedLeft(std::size_t bits) const;
    /// Decimal text, with a leading '-' when negative.
    std::string ToString() const;

    friend Integer operator+(const Integer& a, const Integer& b);
    friend Integer operator-(const Integer& a, const Integer& b);
    friend Integer operator*(const Integer& a, const Integer& b);
    /// Truncating division: `quotient` rounds toward zero, `remainder` has the sign of `a`.
    static void DivMod(const Integer& a, const Integer& b, Integer& quotient, Integer& remainder);
    /// The quotient of a division known to leave no remainder.
    Integer DividedBy(const Integer& divisor) const;
    /// The greatest common divisor of the magnitudes; 0 when both are 0.
    static Integer Gcd(const Integer& a, const Integer& b);
    /// -1, 0 or 1 as `a` is less than, equal to or greater than `b`.
    static int Compare(const Integer& a, const Integer& b);

    friend bool operator==(const Integer& a, const Integer& b) { return Compare(a, b) == 0; }
    friend bool operator!=(const Integer& a, const Integer& b) { return Compare(a, b) != 0; }

#if ORV_CONVERTER_HAVE_INT128
    __extension__ typedef __int128 Native;
    __extension__ typedef unsigned __int128 NativeUnsigned;
    /// The value of a native integer.
    static Integer OfNative(Native value) {
        return FromNative(value);
    }
    /// True, with the value in `value`, when it is held natively.
    bool GetNative(Native& value) const {
        value = m_native;
        return !m_wide;
    }
#endif

private:
    using Limbs = std::vector<std::uint32_t>;

    // A value in limbs: sign and magnitude, least significant limb first, no leading zero limb.
    struct Wide {
        bool negative = false;
        Limbs magnitude;
    };

    Wide ToWide() const;
    static Integer FromWide(Wide value);

    bool m_wide = !ORV_CONVERTER_HAVE_INT128;
#if ORV_CONVERTER_HAVE_INT128
    static Integer FromNative(Native value);
    Native m_native = 0; // the value, when not wide
#endif
    Wide m_limbs; // the value, when wide
};

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
