// Building the whole catalogue ahead of use, so that many threads may then share it.
#pragma once

#include <units/UnitsExport.h>

namespace Orv::Pim::Core::Service::Units {

/// Builds now everything the library otherwise builds on first use, for the registered reader's
/// catalogue: every measurement and unit with its dimension, each dimension's base unit, each
/// unit's standard form, the unit of every measurement in every registered unit system and in the
/// current one, and the "Dimensionless" dimension that UCDouble keeps (when the catalogue has it).
///
/// Afterwards the read-only operations (look-ups, listings, conversions, UCDouble's Parse,
/// ToString and arithmetic) find everything built and write no shared state, so threads may call
/// them at once. Call it before the threads start, and again after registering another reader or
/// choosing another current unit system (which threads must not do while others run).
///
/// Throws UnitException when the catalogue cannot be built whole (a record the library refuses);
/// what was built before stays.
ORV_UNITS_API void WarmUpCatalogue();

} // namespace Orv::Pim::Core::Service::Units
