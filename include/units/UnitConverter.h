// Conversion between two units of one dimension, through one composed engine.
#pragma once

#include <units/UnitsExport.h>
#include <units/interfaces/ConverterEngine.h>

#include <memory>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

class Unit;
class Measurement;

/// Converts values from an input unit to an output unit; owns its composed engine.
class ORV_UNITS_API UnitConverter {
public:
    /// Composes the engine. Throws UnitException for a null unit, units of different dimensions,
    /// a unit without engine, or an output unit that cannot be inverted.
    UnitConverter(Unit const* inputUnit, Unit const* outputUnit);
    /// Same units, with a clone of the engine.
    UnitConverter(UnitConverter const& other);
    ~UnitConverter();
    /// Takes the other's units and a clone of its engine.
    UnitConverter const& operator=(UnitConverter const& other);

    /// The unit converted from.
    Unit const* InputUnit() const;
    /// The unit converted to.
    Unit const* OutputUnit() const;
    /// The composed engine, still owned by the converter.
    Converter::IUnitConverterEngine* Converter() const;

    /// The converted value.
    double Convert(double value) const;
    /// The converted value.
    float Convert(float value) const;
    /// Converts every element in place.
    void Convert(std::vector<double>& values) const;
    /// Converts every element in place.
    void Convert(std::vector<float>& values) const;
    /// True when the engine leaves values as they are.
    bool IsUnity() const;
    /// True when the engine can be inverted.
    bool IsInvertible() const;
    /// A new converter from the output unit to the input unit; the caller deletes it. Throws
    /// UnitException.
    UnitConverter* GetInverse() const;

    /// `value` converted from `from` to `to`. Throws UnitException as the constructor does.
    static double Convert(double value, Unit* from, Unit* to);
    /// `value` converted from the measurement's current unit to its base unit; 0.0 for null.
    static double ConvertToBase(double value, Measurement const* measurement);
    /// `value` converted from the measurement's base unit to its current unit; 0.0 for null.
    static double ConvertFromBase(double value, Measurement const* measurement);

private:
    Unit const* m_pInputUnit;
    Unit const* m_pOutputUnit;
    std::unique_ptr<Converter::IUnitConverterEngine> m_pConverter;
};

} // namespace Orv::Pim::Core::Service::Units
