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

#include <cctype>
#include <charconv>
#include <cmath>
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

// The leading number of `text` as strtod reads it in the "C" locale. The usual number, a decimal
// with an optional minus sign, goes through from_chars, which rounds the same way and is several
// times faster; white space, a plus sign, hexadecimal, infinities, NaN (whose payload strtod
// keeps), a range error and a text without a number go to strtod itself. The number stops at the
// first blank at the latest, since no number holds one, so `text` may run on after it.
double ReadNumber(std::string const& text) {
#if defined(__cpp_lib_to_chars)
    char const* first = text.c_str();
    char const* const last = first + text.size();
    char const* digits = first + (first != last && *first == '-');
    bool const decimal =
        digits != last && (std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.');
    bool const hexadecimal =
        digits + 1 < last && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (decimal && !hexadecimal) {
        double value = 0.0;
        if (std::from_chars(first, last, value).ec == std::errc()) {
            return value;
        }
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
    std::string::size_type const blank = text.find(' ');
    if (blank == 0 ||
        (blank != std::string::npos && text.find(' ', blank + 1) != std::string::npos)) {
        throw UnitException("Badly formed input");
    }
    // Whatever follows the number in the number part (the x of "5x") is ignored.
    if (blank == std::string::npos) {
        return {ReadNumber(text), false, std::string()};
    }
    return {ReadNumber(text), true, text.substr(blank + 1)};
}

// As a default std::ostream writes a double: general notation, 6 significant digits, a '.' and
// no digit grouping whatever the host's locale, "inf" and "nan" as the C library writes them.
// std::to_chars with a precision is specified as printf's %.6g in the "C" locale, which is what
// the stream uses underneath, so it writes the same text without a stream's set-up and locale.
std::string WriteNumber(double number, Unit const* unit) {
#if defined(__MINGW32__)
    // MinGW-w64's printf, which its streams use, writes a NaN without the sign that to_chars
    // gives a negative one.
    if (std::isnan(number)) {
        number = std::numeric_limits<double>::quiet_NaN();
    }
#endif
#if defined(__cpp_lib_to_chars)
    char digits[32]; // "-1.23457e-308" is the longest
    std::to_chars_result const written =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::general, 6);
    std::string text;
    text.reserve(static_cast<std::size_t>(written.ptr - digits) +
                 (unit != nullptr ? 1 + unit->Symbol().size() : 0));
    text.append(digits, written.ptr);
    if (unit != nullptr) {
        text += ' ';
        text += unit->Symbol();
    }
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
