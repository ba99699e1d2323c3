#include "RecordTable.h"

#include <units/converter/Engines.h>
#include <units/reader/InMemoryUnitReader.h>

#include <map>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Reader {

/// The reader's records, the engines they point to, and the unit systems' choices.
struct InMemoryUnitReader::Records {
    Detail::RecordTable<DimensionSpec> dimensions;
    Detail::RecordTable<UnitSpec> units;
    Detail::RecordTable<MeasurementSpec> measurements;
    Detail::RecordTable<UnitSystemSpec> unitSystems;
    std::vector<std::unique_ptr<Converter::IUnitConverterEngine>> engines;
    std::map<std::pair<std::string, std::string>, std::string> mappings;
};

InMemoryUnitReader::InMemoryUnitReader() : m_records(std::make_unique<Records>()) {}

InMemoryUnitReader::~InMemoryUnitReader() = default;

DimensionSpec& InMemoryUnitReader::AddDimension(const std::string& name,
                                                const std::string& baseUnitSymbol) {
    return m_records->dimensions.Add(name, DimensionSpec{name, baseUnitSymbol});
}

UnitSpec& InMemoryUnitReader::AddUnit(const std::string& symbol, const std::string& name,
                                      const std::string& dimensionName,
                                      std::unique_ptr<Converter::IUnitConverterEngine> engine,
                                      const std::string& standardFormSymbol) {
    Converter::IUnitConverterEngine* converter = engine.get();
    m_records->engines.push_back(std::move(engine));
    return m_records->units.Add(
        symbol, UnitSpec{symbol, name, dimensionName, standardFormSymbol, converter});
}

UnitSpec& InMemoryUnitReader::AddUnit(const std::string& symbol, const std::string& name,
                                      const std::string& dimensionName, double scale, double offset,
                                      const std::string& standardFormSymbol) {
    return AddUnit(symbol, name, dimensionName,
                   std::make_unique<Converter::LinearUnitConverter>(scale, offset),
                   standardFormSymbol);
}

MeasurementSpec& InMemoryUnitReader::AddMeasurement(const std::string& name,
                                                    const std::string& dimensionName,
                                                    std::vector<std::string> unitSymbols) {
    return m_records->measurements.Add(
        name, MeasurementSpec{name, dimensionName, std::move(unitSymbols)});
}

UnitSystemSpec& InMemoryUnitReader::AddUnitSystem(const std::string& name) {
    return m_records->unitSystems.Add(name, UnitSystemSpec{name});
}

bool InMemoryUnitReader::SetUnitOfMeasurement(const std::string& unitSystemName,
                                              const std::string& measurementName,
                                              const std::string& unitSymbol) {
    if (m_records->units.Find(unitSymbol) == nullptr) {
        return false;
    }
    m_records->mappings[{unitSystemName, measurementName}] = unitSymbol;
    return true;
}

const DimensionSpec* InMemoryUnitReader::GetDimensionSpec(const std::string& name) {
    return m_records->dimensions.Find(name);
}

const UnitSpec* InMemoryUnitReader::GetUnitSpec(const std::string& symbol) {
    return m_records->units.Find(symbol);
}

std::vector<const UnitSpec*> InMemoryUnitReader::GetAllUnitSpecs() {
    return m_records->units.List();
}

const MeasurementSpec* InMemoryUnitReader::GetMeasurementSpec(const std::string& name) {
    return m_records->measurements.Find(name);
}

std::vector<const MeasurementSpec*> InMemoryUnitReader::GetAllMeasurementSpecs() {
    return m_records->measurements.List();
}

std::vector<const UnitSystemSpec*> InMemoryUnitReader::GetAllUnitSystemSpecs() {
    return m_records->unitSystems.List();
}

const UnitSpec* InMemoryUnitReader::GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                             const std::string& measurementName) {
    const auto found = m_records->mappings.find({unitSystemName, measurementName});
    return found == m_records->mappings.end() ? nullptr : m_records->units.Find(found->second);
}

} // namespace Orv::Pim::Core::Service::Units::Reader
