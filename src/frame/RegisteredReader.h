// How the library's own code reaches the reader a host registered. The catalogue sits below the
// unit systems, so it cannot go through UnitService, whose header brings in UnitSystem; this
// declaration is all it needs. UnitService keeps the slot and defines the function
// (systems/UnitService.cpp).
#pragma once

namespace Orv::Pim::Core::Service::Units {

namespace Reader {
class IUnitReader;
}

/// The registered reader (not owned). Throws UnitException when none is registered.
Reader::IUnitReader& RegisteredReader();

} // namespace Orv::Pim::Core::Service::Units
