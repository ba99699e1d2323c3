// A double that carries its measurement. The number is held in the base unit of the
// measurement's dimension; a unit is needed only to read it in or out.
//
// Text form read by Parse:
//   text   = number [ " " symbol ]
//   number = what the C library's strtod reads from the start of the number part, in the "C"
//            locale whatever the host's locale is (so the decimal separator is always "."); the
//            rest of the number part is ignored, and a part with no number reads as 0
//   symbol = everything after the blank, a unit symbol as Unit::GetUnit knows it
// The number part is everything before the one blank (U+0020), or the whole text. At most one
// blank is allowed and it may not come first; tabs and line ends are not separators.
//
// Text form written by ToString: the number as a default std::ostream writes a double (general
// notation, 6 significant digits, "C" locale), then a blank and the unit's symbol.
#pragma once

#include <units/UnitsExport.h>

#include <string>

namespace Orv::Pim::Core::Service::Units {

class Dimension;
class Measurement;
class Unit;
class UnitSystem;

/// A value with its measurement. Results of Parse and of the arithmetic operators are made with
/// `new` and belong to the caller, who deletes them.
class ORV_UNITS_API UCDouble {
public:
    /// 0 of the "Unitless" measurement. Throws UnitException when the catalogue lacks it.
    UCDouble();
    /// `value` of the "Unitless" measurement. Throws UnitException as above.
    explicit UCDouble(double value);
    /// `baseValue`, already in base units, of `measurement` (not checked, may be null).
    UCDouble(double baseValue, Measurement* measurement);
    UCDouble(UCDouble const& other) = default;
    ~UCDouble();
    UCDouble& operator=(UCDouble const& other);

    /// The value in base units.
    double BaseValue() const;
    /// Replaces the value in base units.
    void BaseValue(double value);
    /// The measurement.
    Measurement* GetMeasurement() const;
    /// The base unit of the measurement. Throws UnitException.
    Unit* BaseUnit() const;

    /// The value in `unit`; 0.0 when the unit, its engine or its inverse is missing.
    double Convert(Unit const* unit) const;
    /// The value in the unit `system` gives the measurement; 0.0 for a null system.
    double Convert(UnitSystem* system) const;
    /// The value in the current unit system.
    double Convert() const;

    /// Same measurement and equal base values; NaN is never equal.
    bool Equals(UCDouble const& other) const;
    bool operator==(UCDouble const& other) const;
    bool operator!=(UCDouble const& other) const;

    /// New sum of two values of one measurement. Throws UnitException otherwise.
    UCDouble& operator+(UCDouble const& other) const;
    /// New difference of two values of one measurement. Throws UnitException otherwise.
    UCDouble& operator-(UCDouble const& other) const;
    /// New product, one side dimensionless. Throws UnitException otherwise.
    UCDouble& operator*(UCDouble const& other) const;
    /// New value scaled by `factor`.
    UCDouble& operator*(double factor) const;
    /// New quotient by a dimensionless value. Throws UnitException otherwise.
    UCDouble& operator/(UCDouble const& other) const;

    /// A new value read from `text`; its measurement is the one named like the unit's dimension
    /// ("Unitless" without a unit). Throws UnitException.
    static UCDouble& Parse(std::string const& text);
    /// A new value of `measurement`; a number without a unit is read in `unit`. Throws.
    static UCDouble& Parse(std::string const& text, Measurement* measurement, Unit* unit);
    /// As above, reading a number without a unit in the unit `system` gives. Throws.
    static UCDouble& Parse(std::string const& text, Measurement* measurement, UnitSystem* system);
    /// As above, in the current unit system. Throws UnitException.
    static UCDouble& Parse(std::string const& text, Measurement* measurement);

    /// The value in `unit` with its symbol; "0" for a null unit.
    std::string ToString(Unit const* unit) const;
    /// The value in the unit `system` gives the measurement; "" for a null system.
    std::string ToString(UnitSystem* system) const;
    /// The value in the current unit system.
    std::string ToString() const;

private:
    static void EnsureDimensionless();

    double m_baseValue;
    Measurement* m_pMeasurement;

    static Dimension* m_pDimensionless;
};

} // namespace Orv::Pim::Core::Service::Units
