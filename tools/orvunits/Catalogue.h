// Small views of the catalogue that several commands share.
#pragma once

#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units {
class Dimension;
class Unit;
namespace Reader {
class XmlUnitReader;
}
} // namespace Orv::Pim::Core::Service::Units

namespace Orv::UnitsTool {

/// Every dimension of the catalogue, by name in byte order. Throws UnitException.
std::vector<Orv::Pim::Core::Service::Units::Dimension*>
AllDimensions(Orv::Pim::Core::Service::Units::Reader::XmlUnitReader& catalogue);

/// The symbols of `units`, in their order.
std::vector<std::string> Symbols(const std::vector<Orv::Pim::Core::Service::Units::Unit*>& units);

/// The symbol of `unit`, or "" for null.
std::string SymbolOf(const Orv::Pim::Core::Service::Units::Unit* unit);

} // namespace Orv::UnitsTool
