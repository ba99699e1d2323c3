// The one way values travel between units, shared by UnitConverter, UCDouble and Parse. A unit's
// own engine takes its values into the base unit of its dimension and the inverse of that engine
// takes base values back, so a conversion between two units is the first unit's engine followed
// by the inverse of the second's.
#pragma once

#include <units/interfaces/ConverterEngine.h>

#include <memory>

namespace Orv::Pim::Core::Service::Units {

class Unit;

/// The engine from `from` to `to`. Throws UnitException for a null unit, units of different
/// dimensions, a unit without engine, or a `to` whose engine cannot be inverted.
std::unique_ptr<Converter::IUnitConverterEngine> ComposeEngine(Unit const* from, Unit const* to);

/// `value` converted from `from` to `to` by an engine composed for this value alone. Throws as
/// ComposeEngine does.
double ConvertOnce(double value, Unit const* from, Unit const* to);

/// `baseValue` converted into `unit` by the inverse of the unit's engine, made for this value
/// alone; 0.0 when the unit, its engine or that engine's inverse is missing.
double ConvertFromBaseOnce(double baseValue, Unit const* unit);

} // namespace Orv::Pim::Core::Service::Units
