#include "Catalogue.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/reader/XmlUnitReader.h>

#include <algorithm>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;

std::vector<Units::Dimension*> AllDimensions(Units::Reader::XmlUnitReader& catalogue) {
    // The library has no list of dimensions; the catalogue's reader has their records.
    std::vector<std::string> names;
    for (const Units::Reader::DimensionSpec* spec : catalogue.GetAllDimensionSpecs()) {
        if (spec != nullptr && spec->IsValid()) {
            names.push_back(spec->name);
        }
    }
    // std::string compares as unsigned bytes, the catalogue's order of names.
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<Units::Dimension*> dimensions;
    dimensions.reserve(names.size());
    for (const std::string& name : names) {
        dimensions.push_back(Units::Dimension::GetDimension(name));
    }
    return dimensions;
}

std::vector<std::string> Symbols(const std::vector<Units::Unit*>& units) {
    std::vector<std::string> symbols;
    symbols.reserve(units.size());
    for (const Units::Unit* unit : units) {
        if (unit != nullptr) {
            symbols.push_back(unit->Symbol());
        }
    }
    return symbols;
}

std::string SymbolOf(const Units::Unit* unit) {
    return unit == nullptr ? std::string() : unit->Symbol();
}

} // namespace Orv::UnitsTool
