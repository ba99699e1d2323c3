// The text form of a unit-carrying double: a number, optionally one blank and a unit symbol.
// Numbers are read and written in the "C" locale whatever the host's locale is, so that a text
// written on one machine reads the same on another.
#include "conversion/EngineComposition.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale.h> // newlocale, _create_locale: the C++ headers do not declare them
#include <locale>
#include <sstream>
#include <stdlib.h> // strtod_l, _strtod_l
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

namespace {

#if defined(_WIN32)
using CLocaleHandle = _locale_t;
#else
using CLocaleHandle = locale_t;
#endif

// The "C" locale, made once for the process and freed when the library is unloaded: making one
// for each number would cost more than reading it.
CLocaleHandle CLocale() {
    struct Holder {
#if defined(_WIN32)
        Holder() : handle(_create_locale(LC_ALL, "C")) {}
        ~Holder() {
            if (handle != nullptr) {
                _free_locale(handle);
            }
        }
#else
        Holder() : handle(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0))) {}
        ~Holder() {
            if (handle != static_cast<locale_t>(0)) {
                freelocale(handle);
            }
        }
#endif
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        CLocaleHandle handle;
    };
    static const Holder locale;
    if (!locale.handle) {
        throw UnitException("Out of Memory");
    }
    return locale.handle;
}

// strtod in the "C" locale. A process-wide setlocale would race with the host's threads and
// change its behaviour, so the locale is passed to the call instead.
double ReadWithCLibrary(char const* text) {
#if defined(_WIN32)
    return _strtod_l(text, nullptr, CLocale());
#else
    return strtod_l(text, nullptr, CLocale());
#endif
}

// The leading number of `text` when it is a plain decimal, [-]digits[.digits] with at most 19
// digits, whose digits make an integer below 2^53 and whose fraction has at most 22 digits: that
// integer and the power of ten are then both doubles exactly, and one division rounds their
// quotient as strtod rounds the decimal. False for anything else, such as an exponent, a
// hexadecimal prefix or a longer number, which the general readers take.
bool ReadPlainDecimal(char const* first, char const* last, double& value) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    bool const negative = first != last && *first == '-';
    char const* p = first + (negative ? 1 : 0);
    std::uint64_t digits = 0;
    int count = 0;
    int fraction = 0;
    bool point = false;
    for (; p != last; ++p) {
        unsigned const digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit <= 9) {
            if (++count > 19) {
                return false;
            }
            digits = digits * 10 + digit;
            fraction += point ? 1 : 0;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // An exponent or a hexadecimal prefix makes this a number of another form.
    bool const other = p != last && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X');
    if (count == 0 || other || digits > (std::uint64_t{1} << 53)) {
        return false;
    }
    double const magnitude = static_cast<double>(digits) / kPowers[fraction];
    value = negative ? -magnitude : magnitude;
    return true;
}

// The leading number of `text` as strtod reads it in the "C" locale. Plain decimals, the usual
// case, take ReadPlainDecimal; other decimals with an optional minus sign go through from_chars,
// which rounds the same way and is several times faster than strtod; white space, a plus sign,
// hexadecimal, infinities, NaN (whose payload strtod keeps), a range error and a text without a
// number go to strtod itself. The number stops at the first blank at the latest, since no number
// holds one, so `text` may run on after it.
double ReadNumber(std::string const& text) {
    char const* first = text.c_str();
    char const* const last = first + text.size();
    double value = 0.0;
    if (ReadPlainDecimal(first, last, value)) {
        return value;
    }
#if defined(__cpp_lib_to_chars)
    char const* digits = first + (first != last && *first == '-');
    bool const decimal =
        digits != last && (std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.');
    bool const hexadecimal =
        digits + 1 < last && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (decimal && !hexadecimal && std::from_chars(first, last, value).ec == std::errc()) {
        return value;
    }
#endif
    return ReadWithCLibrary(text.c_str());
}

// A quantity text cut at its one blank.
struct SplitText {
    double number;
    bool hasUnit;
    std::string unitPart;
};

SplitText Split(std::string const& text) {
    // One pass finds the first blank and tells whether another follows it.
    std::size_t blank = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            if (i == 0 || blank != std::string::npos) {
                throw UnitException("Badly formed input");
            }
            blank = i;
        }
    }
    // Whatever follows the number in the number part (the x of "5x") is ignored.
    if (blank == std::string::npos) {
        return {ReadNumber(text), false, std::string()};
    }
    return {ReadNumber(text), true, text.substr(blank + 1)};
}

#if defined(__cpp_lib_to_chars)

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 Wide;

// The six significant digits of a normal, positive `magnitude` between about 1e-17 and 1e27, as
// an integer from 100000 to 999999, and the power of ten of the first: `magnitude` is
// m * 2^q for integers m < 2^53 and q, and m * 2^q * 10^k rounded to an integer, for the k that
// leaves six digits before the point, is worked out exactly in 128 bits, ties to even as printf
// rounds. False outside that range.
bool SixDigitsOf(double magnitude, std::uint32_t& six, int& exponent) {
    static constexpr std::uint64_t kPowers[] = {1ull,
                                                10ull,
                                                100ull,
                                                1000ull,
                                                10000ull,
                                                100000ull,
                                                1000000ull,
                                                10000000ull,
                                                100000000ull,
                                                1000000000ull,
                                                10000000000ull,
                                                100000000000ull,
                                                1000000000000ull,
                                                10000000000000ull,
                                                100000000000000ull,
                                                1000000000000000ull,
                                                10000000000000000ull,
                                                100000000000000000ull,
                                                1000000000000000000ull,
                                                10000000000000000000ull};
    auto const power = [](int n) -> Wide {
        // 10^n for n up to 22, beyond 64 bits from 20 on.
        return n < 20 ? Wide{kPowers[n]} : Wide{kPowers[19]} * kPowers[n - 19];
    };
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    std::uint64_t const mantissa = (bits & 0xFFFFFFFFFFFFFull) | (1ull << 52);
    int const q = static_cast<int>(bits >> 52) - 1075;
    // floor(log10(2^(q + 52))): the power of ten of the first digit, or one below it.
    int first = ((q + 52) * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int const k = 5 - first;
        if (k > 22 || k < -22) {
            return false;
        }
        Wide quotient = 0;
        Wide remainder = 0;
        Wide half = 0; // the remainder of a tie; the divisor is 2 * half
        if (k >= 0) {
            // m * 10^k / 2^-q, where m * 10^k < 2^127 and q < 0 in this range.
            Wide const scaled = Wide{mantissa} * power(k);
            int const shift = -q;
            if (shift <= 0 || shift >= 127) {
                return false;
            }
            quotient = scaled >> shift;
            remainder = scaled & ((Wide{1} << shift) - 1);
            half = Wide{1} << (shift - 1);
        } else if (q >= 0) {
            // m * 2^q / 10^-k, where m * 2^q < 2^127.
            if (q > 73) {
                return false;
            }
            Wide const scaled = Wide{mantissa} << q;
            Wide const divisor = power(-k);
            quotient = scaled / divisor;
            remainder = scaled % divisor;
            half = divisor / 2; // 10^n is even
        } else {
            // m / (10^-k * 2^-q), where the divisor is below 2^22 * 10^22.
            Wide const divisor = power(-k) << -q;
            quotient = mantissa / divisor;
            remainder = mantissa % divisor;
            half = divisor / 2;
        }
        if (quotient >= 1000000 && attempt == 0) {
            ++first; // the first digit is one place higher than estimated
            continue;
        }
        bool const up = remainder > half || (remainder == half && (quotient & 1) != 0);
        quotient += up ? 1 : 0;
        if (quotient == 1000000) {
            // 999999.5 and above carry into the next power of ten.
            quotient = 100000;
            ++first;
        }
        if (quotient < 100000 || quotient > 999999) {
            return false;
        }
        six = static_cast<std::uint32_t>(quotient);
        exponent = first;
        return true;
    }
    return false;
}
#else
bool SixDigitsOf(double, std::uint32_t&, int&) {
    return false;
}
#endif

// `number` as printf's "%.6g" writes it in the "C" locale, into `out`; returns the end. The six
// digits come from SixDigitsOf; numbers beyond its range, zeros, subnormals, infinities and NaN
// are written by to_chars with a precision, which gives the same text several times slower.
char* WriteSixDigits(double number, char* out, char* end) {
    constexpr int kDigits = 6;
    double const magnitude = std::fabs(number);
    std::uint32_t six = 0;
    int exponent = 0;
    if (!(magnitude >= std::numeric_limits<double>::min() &&
          magnitude <= std::numeric_limits<double>::max()) ||
        !SixDigitsOf(magnitude, six, exponent)) {
        return std::to_chars(out, end, number, std::chars_format::general, kDigits).ptr;
    }
    // Six digits and room behind them, so that every copy below has a fixed size: the compiler
    // turns those into a few moves, where copies of the exact length would be calls.
    char digits[2 * kDigits] = {};
    for (int i = kDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + six % 10);
        six /= 10;
    }
    int count = kDigits;
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }

    char* o = out;
    if (std::signbit(number)) {
        *o++ = '-';
    }
    if (exponent < -4 || exponent >= kDigits) {
        o[0] = digits[0];
        o[1] = '.';
        std::memcpy(o + 2, digits + 1, kDigits);
        o += count > 1 ? count + 1 : 1;
        *o++ = 'e';
        *o++ = exponent < 0 ? '-' : '+';
        int const power = exponent < 0 ? -exponent : exponent;
        if (power >= 100) {
            *o++ = static_cast<char>('0' + power / 100);
        }
        *o++ = static_cast<char>('0' + power / 10 % 10);
        *o++ = static_cast<char>('0' + power % 10);
    } else if (exponent < 0) {
        // "0." and up to three zeros before the digits.
        std::memcpy(o, "0.0000", kDigits);
        std::memcpy(o + 1 - exponent, digits, kDigits);
        o += 1 - exponent + count;
    } else {
        // The whole part keeps its zeros; a fraction follows the point when digits remain.
        int const whole = exponent + 1;
        std::memcpy(o, digits, kDigits);
        if (count > whole) {
            std::memcpy(o + whole + 1, digits + whole, kDigits);
            o[whole] = '.';
            o += count + 1;
        } else {
            o += whole;
        }
    }
    return o;
}

#endif

// As a default std::ostream writes a double: general notation, 6 significant digits, a '.' and
// no digit grouping whatever the host's locale, "inf" and "nan" as the C library writes them.
// That is printf's "%.6g" in the "C" locale, which WriteSixDigits writes without a stream's
// set-up and locale. The text is made once, in place, and the string from it.
std::string WriteNumber(double number, Unit const* unit) {
#if defined(__MINGW32__)
    // MinGW-w64's printf, which its streams use, writes a NaN without the sign that to_chars
    // gives a negative one.
    if (std::isnan(number)) {
        number = std::numeric_limits<double>::quiet_NaN();
    }
#endif
#if defined(__cpp_lib_to_chars)
    char buffer[40]; // "-1.23457e-308" is the longest number; the rest is WriteSixDigits' room
    char* const written = WriteSixDigits(number, buffer, buffer + sizeof buffer);
    auto const length = static_cast<std::size_t>(written - buffer);
    if (unit == nullptr) {
        return std::string(buffer, length);
    }
    std::string const& symbol = unit->Symbol();
    if (length + 1 + symbol.size() <= sizeof buffer) {
        *written = ' ';
        std::copy(symbol.begin(), symbol.end(), written + 1);
        return std::string(buffer, length + 1 + symbol.size());
    }
    std::string text;
    text.reserve(length + 1 + symbol.size());
    text.append(buffer, length).append(1, ' ').append(symbol);
    return text;
#else
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << number;
    if (unit != nullptr) {
        out << ' ' << unit->Symbol();
    }
    return out.str();
#endif
}

} // namespace

UCDouble& UCDouble::Parse(std::string const& text) {
    SplitText const split = Split(text);
    if (!split.hasUnit) {
        return *new UCDouble(split.number);
    }
    Unit* unit = Unit::GetUnit(split.unitPart);

    // The measurement is the one named like the unit's dimension. When the catalogue has none,
    // the first measurement in name order stands in, and "Unitless" when there is none at all;
    // the conversion below refuses a stand-in of another dimension.
    Measurement* measurement = Measurement::GetMeasurement("Unitless");
    try {
        measurement = Measurement::GetMeasurement(unit->GetDimension()->Name());
    } catch (UnitException const&) {
        std::vector<Measurement*> const all = Measurement::GetAllMeasurements();
        if (!all.empty()) {
            measurement = all.front();
        }
    }
    double const baseValue = ConvertOnce(split.number, unit, measurement->BaseUnit());
    return *new UCDouble(baseValue, measurement);
}

UCDouble& UCDouble::Parse(std::string const& text, Measurement* measurement, Unit* unit) {
    if (measurement == nullptr) {
        throw UnitException("Null Measurement passed.");
    }
    SplitText const split = Split(text);
    if (split.hasUnit) {
        unit = Unit::GetUnit(split.unitPart);
    }
    double const baseValue = ConvertOnce(split.number, unit, measurement->BaseUnit());
    return *new UCDouble(baseValue, measurement);
}

UCDouble& UCDouble::Parse(std::string const& text, Measurement* measurement, UnitSystem* system) {
    if (system == nullptr) {
        throw UnitException("Null Unit System passed.");
    }
    return Parse(text, measurement, system->GetUnitOfMeasurement(measurement));
}

UCDouble& UCDouble::Parse(std::string const& text, Measurement* measurement) {
    return Parse(text, measurement, UnitService::GetUnitSystem());
}

std::string UCDouble::ToString(Unit const* unit) const {
    return WriteNumber(Convert(unit), unit);
}

std::string UCDouble::ToString(UnitSystem* system) const {
    if (system == nullptr) {
        return std::string();
    }
    return ToString(system->GetUnitOfMeasurement(m_pMeasurement));
}

std::string UCDouble::ToString() const {
    return ToString(UnitService::GetUnitSystem());
}

} // namespace Orv::Pim::Core::Service::Units
