// The catalogues the benchmarks run on: the default one, or one ten times its size. A process
// registers one of them, the first asked for, and keeps it for its life.
#pragma once

#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/reader/InMemoryUnitReader.h>
#include <units/reader/XmlUnitReader.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace OrvBench {

namespace Units = Orv::Pim::Core::Service::Units;

enum class e_Catalogue { e_Default, e_TenTimes };

/// The default catalogue's records ten times over: the units once under their own symbols and
/// nine more times under the symbols with "#1" to "#9" appended, with the same dimensions and
/// measurements.
inline std::unique_ptr<Units::Reader::IUnitReader> TenTimesTheDefault() {
    const auto source = Units::Reader::XmlUnitReader::Default();
    auto reader = std::make_unique<Units::Reader::InMemoryUnitReader>();
    for (const Units::Reader::DimensionSpec* dimension : source->GetAllDimensionSpecs()) {
        reader->AddDimension(dimension->name, dimension->baseUnitSymbol);
    }
    for (const Units::Reader::MeasurementSpec* measurement : source->GetAllMeasurementSpecs()) {
        reader->AddMeasurement(measurement->name, measurement->dimensionName,
                               measurement->unitSymbols);
    }
    for (int copy = 0; copy < 10; ++copy) {
        const std::string suffix = copy == 0 ? std::string() : "#" + std::to_string(copy);
        for (const Units::Reader::UnitSpec* unit : source->GetAllUnitSpecs()) {
            reader->AddUnit(unit->symbol + suffix, unit->name, unit->dimensionName,
                            unit->converter->Clone(),
                            unit->standardFormSymbol.empty() ? std::string()
                                                             : unit->standardFormSymbol + suffix);
        }
    }
    return reader;
}

/// Registers `catalogue` on the first call of the process; returns false when another catalogue
/// was registered before, which a benchmark reports as its error.
inline bool UseCatalogue(e_Catalogue catalogue = e_Catalogue::e_Default) {
    static const e_Catalogue registered = catalogue;
    static const std::unique_ptr<Units::Reader::IUnitReader> reader = [] {
        std::unique_ptr<Units::Reader::IUnitReader> made;
        if (registered == e_Catalogue::e_Default) {
            made = Units::Reader::XmlUnitReader::Default();
        } else {
            made = TenTimesTheDefault();
        }
        Units::UnitService::UnitReader(made.get());
        return made;
    }();
    return registered == catalogue;
}

/// Registers the default catalogue, unless the process registered the other one.
inline void UseDefaultCatalogue() {
    UseCatalogue(e_Catalogue::e_Default);
}

/// The symbols of every unit of the registered catalogue, all built, in an order shuffled the
/// same way on every run.
inline std::vector<std::string> ShuffledSymbols() {
    std::vector<std::string> symbols;
    for (const Units::Unit* unit : Units::Unit::GetAllUnits()) {
        symbols.push_back(unit->Symbol());
    }
    std::shuffle(symbols.begin(), symbols.end(), std::mt19937(20240611));
    return symbols;
}

} // namespace OrvBench
