// The default catalogue's reader, built from the records compiled into the library.
#include "CatalogueRecords.h"
#include "StaticCatalogue.h"

#include <units/converter/ExactEngines.h>

namespace Orv::Pim::Core::Service::Units::Reader {

std::unique_ptr<XmlUnitReader> XmlUnitReader::Default() {
    const Detail::StaticCatalogue& data = Detail::kDefaultRecords;
    auto catalogue = std::make_unique<Catalogue>();

    std::vector<Converter::IUnitConverterEngine*> engines(data.engineCount, nullptr);
    catalogue->engines.reserve(data.engineCount);
    for (std::size_t i = 0; i < data.engineCount; ++i) {
        const Detail::StaticEngine& engine = data.engines[i];
        // Small definitions, most of them, need no text to be parsed nor big integers.
        catalogue->engines.push_back(
            engine.small ? Converter::MakeExactLinear(engine.a, engine.b, engine.c)
                         : Converter::MakeExactEngine({engine.A, engine.B, engine.C, engine.D}));
        engines[i] = catalogue->engines.back().get();
    }
    for (std::size_t i = 0; i < data.dimensionCount; ++i) {
        const Detail::StaticDimension& dimension = data.dimensions[i];
        catalogue->dimensions.Add(dimension.name,
                                  DimensionSpec{dimension.name, dimension.baseUnitSymbol});
    }
    std::vector<const UnitSpec*> units(data.unitCount, nullptr);
    for (std::size_t i = 0; i < data.unitCount; ++i) {
        const Detail::StaticUnit& unit = data.units[i];
        units[i] = &catalogue->units.Add(unit.symbol,
                                         UnitSpec{unit.symbol, unit.name, unit.dimensionName,
                                                  unit.standardFormSymbol, engines[unit.engine]});
    }
    for (std::size_t i = 0; i < data.measurementCount; ++i) {
        const Detail::StaticMeasurement& measurement = data.measurements[i];
        catalogue->measurements.Add(
            measurement.name, MeasurementSpec{measurement.name, measurement.dimensionName,
                                              std::vector<std::string>(measurement.unitSymbols,
                                                                       measurement.unitSymbols +
                                                                           measurement.unitCount)});
    }
    for (std::size_t i = 0; i < data.systemCount; ++i) {
        catalogue->systems.Add(data.systems[i], UnitSystemSpec{data.systems[i]});
    }
    for (std::size_t i = 0; i < data.mappingCount; ++i) {
        const Detail::StaticMapping& mapping = data.mappings[i];
        catalogue->mappings.emplace(
            std::make_pair(std::string(data.systems[mapping.system]),
                           std::string(data.measurements[mapping.measurement].name)),
            units[mapping.unit]);
    }
    for (std::size_t i = 0; i < data.warningCount; ++i) {
        const Detail::StaticProblem& problem = data.warnings[i];
        catalogue->warnings.push_back(
            {problem.source, problem.line, problem.column, problem.message, problem.warning});
    }
    return std::unique_ptr<XmlUnitReader>(new XmlUnitReader(std::move(catalogue)));
}

} // namespace Orv::Pim::Core::Service::Units::Reader
