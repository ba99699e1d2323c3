// A base class for host classes: a name bound to a measurement, "Unitless" when none is given.
#pragma once

#include <units/UnitsExport.h>

#include <string>

namespace Orv::Pim::Core::Service::Units {

class Measurement;

/// A named symbol bound to a catalogue measurement; never bound to null.
class ORV_UNITS_API Symbol {
public:
    virtual ~Symbol();

    /// A copy of the name.
    std::string GetName();
    /// Replaces the name.
    void SetName(const std::string& name);
    /// The measurement.
    Measurement* GetMeasurement() const;
    /// Binds `measurement`, or the "Unitless" measurement for null. Throws UnitException.
    void SetMeasurement(Measurement* measurement);

protected:
    /// Empty name, bound to "Unitless". Throws UnitException when that measurement is unknown.
    Symbol();
    /// Binds `name` to `measurement`, or to "Unitless" for null. Throws UnitException.
    Symbol(const std::string& name, Measurement* measurement);
    Symbol(const Symbol& other);
    Symbol& operator=(const Symbol& other);
    /// Exchanges names and measurements with `other`.
    void Swap(Symbol& other);

private:
    std::string m_name;
    Measurement* m_pMeasurement;
};

} // namespace Orv::Pim::Core::Service::Units
