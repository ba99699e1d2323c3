// Listings of the unit catalogue (all units, or those of a dimension, a standard form or a
// measurement) and the lazy resolution of a unit's standard form.
#include "catalogue/CacheMaps.h"
#include "frame/RegisteredReader.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/interfaces/Reader.h>

#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

bool Unit::m_bHasReadAll = false;

Unit* Unit::StandardForm() {
    // A unit without a standard form of its own carries its own symbol here, so it finds itself.
    // A failed look-up leaves the member null and is retried on the next call.
    if (m_pStandardForm == nullptr) {
        m_pStandardForm = GetUnit(m_standardFormSymbol);
    }
    return m_pStandardForm;
}

std::vector<Unit*> Unit::GetAllUnits() {
    UnitCacheHashMap& units = GetUnitCacheHashMap();
    if (!m_bHasReadAll) {
        // Complete the measurements (and with them the dimensions) before the first unit
        // record is read.
        Measurement::GetAllMeasurements();
        std::vector<const Reader::UnitSpec*> records = RegisteredReader().GetAllUnitSpecs();
        for (const Reader::UnitSpec* record : records) {
            if (record == nullptr || !record->IsValid()) {
                continue;
            }
            if (!units.Contains(record->symbol)) {
                CreateAndCache(record);
            }
        }
        // Only a pass that got through every record counts: an exception above leaves the flag
        // down, so the next call reads the whole list again.
        m_bHasReadAll = true;
    }

    std::vector<Unit*> all;
    all.reserve(units.Size());
    for (Unit* unit : units.Entries()) {
        all.push_back(unit);
    }
    return all;
}

std::vector<Unit*> Unit::GetAllUnits(Dimension* dimension) {
    std::vector<Unit*> ofDimension;
    if (dimension == nullptr) {
        return ofDimension;
    }
    for (Unit* unit : GetAllUnits()) {
        if (unit != nullptr && unit->m_pDimension == dimension) {
            ofDimension.push_back(unit);
        }
    }
    return ofDimension;
}

std::vector<Unit*> Unit::GetAllUnits(Unit* unit) {
    std::vector<Unit*> sameForm;
    if (unit == nullptr) {
        return sameForm;
    }
    Unit* standardForm = unit->StandardForm();
    for (Unit* candidate : GetAllUnits()) {
        if (candidate != nullptr && candidate->StandardForm() == standardForm) {
            sameForm.push_back(candidate);
        }
    }
    return sameForm;
}

std::vector<Unit*> Unit::GetAllUnits(const Measurement& measurement, bool withAliases) {
    // Always asked of the reader, and used whatever its validity flag says: the list of offered
    // units is not cached with the measurement.
    const Reader::MeasurementSpec* record =
        RegisteredReader().GetMeasurementSpec(measurement.Name());
    if (record == nullptr) {
        return {};
    }
    // A copy, because the look-ups below call the reader again.
    const std::vector<std::string> symbols = record->unitSymbols;
    if (symbols.empty()) {
        return GetAllUnits(measurement.GetDimension());
    }

    std::vector<Unit*> offered;
    if (!withAliases) {
        offered.reserve(symbols.size());
        for (const std::string& symbol : symbols) {
            offered.push_back(GetUnit(symbol));
        }
        return offered;
    }
    for (const std::string& symbol : symbols) {
        const std::vector<Unit*> group = GetAllUnits(GetUnit(symbol));
        offered.insert(offered.end(), group.begin(), group.end());
    }
    return offered;
}

} // namespace Orv::Pim::Core::Service::Units
