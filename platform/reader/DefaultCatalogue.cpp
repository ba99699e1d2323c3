// The default catalogue's reader, built from the records compiled into the library.
#include "RecordSet.h"
#include "StaticCatalogue.h"

#include <units/converter/ExactEngines.h>
#include <units/reader/XmlUnitReader.h>

namespace Orv::Pim::Core::Service::Units::Reader {

std::unique_ptr<XmlUnitReader> XmlUnitReader::Default() {
    const Detail::StaticCatalogue& data = Detail::kDefaultRecords;
    auto records = std::make_unique<Detail::RecordSet>();

    std::vector<Converter::IUnitConverterEngine*> engines(data.engineCount, nullptr);
    records->engines.reserve(data.engineCount);
    for (std::size_t i = 0; i < data.engineCount; ++i) {
        const Detail::StaticEngine& engine = data.engines[i];
        // Small definitions, most of them, need no text to be parsed nor big integers.
        engines[i] = records->Keep(
            engine.small ? Converter::MakeExactLinear(engine.a, engine.b, engine.c)
                         : Converter::MakeExactEngine({engine.A, engine.B, engine.C, engine.D}));
    }
    for (std::size_t i = 0; i < data.dimensionCount; ++i) {
        const Detail::StaticDimension& dimension = data.dimensions[i];
        records->dimensions.Add({dimension.name, dimension.baseUnitSymbol});
        if (dimension.signature != nullptr) {
            records->signatures.emplace(
                dimension.name,
                Detail::DimensionSignature{dimension.signature, dimension.preferred});
        }
    }
    std::vector<const UnitSpec*> units(data.unitCount, nullptr);
    for (std::size_t i = 0; i < data.unitCount; ++i) {
        const Detail::StaticUnit& unit = data.units[i];
        units[i] = &records->units.Add({unit.symbol, unit.name, unit.dimensionName,
                                        unit.standardFormSymbol, engines[unit.engine]});
        if (unit.prefixes) {
            records->prefixed.insert(unit.symbol);
        }
    }
    for (std::size_t i = 0; i < data.measurementCount; ++i) {
        const Detail::StaticMeasurement& measurement = data.measurements[i];
        records->measurements.Add(
            {measurement.name, measurement.dimensionName,
             std::vector<std::string>(measurement.unitSymbols,
                                      measurement.unitSymbols + measurement.unitCount)});
    }
    for (std::size_t i = 0; i < data.systemCount; ++i) {
        records->systems.Add({data.systems[i]});
    }
    for (std::size_t i = 0; i < data.mappingCount; ++i) {
        const Detail::StaticMapping& mapping = data.mappings[i];
        records->mappings.emplace(
            std::make_pair(std::string(data.systems[mapping.system]),
                           std::string(data.measurements[mapping.measurement].name)),
            units[mapping.unit]);
    }
    std::vector<CatalogueProblem> warnings;
    for (std::size_t i = 0; i < data.warningCount; ++i) {
        const Detail::StaticProblem& problem = data.warnings[i];
        warnings.push_back(
            {problem.source, problem.line, problem.column, problem.message, problem.warning});
    }
    return std::unique_ptr<XmlUnitReader>(
        new XmlUnitReader(std::move(records), std::move(warnings)));
}

} // namespace Orv::Pim::Core::Service::Units::Reader
