#include <units/reader/InMemoryUnitReader.h>

namespace Orv::Pim::Core::Service::Units::Reader {

namespace {

/// Appends `record`, filing it under `key` unless an earlier record has that key.
template <typename Table, typename Record>
Record& Append(Table& table, const std::string& key, Record record) {
    table.records.push_back(std::move(record));
    Record& stored = table.records.back();
    table.byKey.emplace(key, &stored);
    return stored;
}

template <typename Table>
auto Find(const Table& table, const std::string& key) -> decltype(table.byKey.begin()->second) {
    const auto found = table.byKey.find(key);
    return found == table.byKey.end() ? nullptr : found->second;
}

template <typename Table>
auto List(const Table& table) {
    std::vector<decltype(&table.records.front())> list;
    list.reserve(table.records.size());
    for (const auto& record : table.records) {
        list.push_back(&record);
    }
    return list;
}

} // namespace

InMemoryUnitReader::InMemoryUnitReader() = default;

InMemoryUnitReader::~InMemoryUnitReader() = default;

DimensionSpec& InMemoryUnitReader::AddDimension(const std::string& name,
                                                const std::string& baseUnitSymbol) {
    return Append(m_dimensions, name, DimensionSpec{name, baseUnitSymbol});
}

UnitSpec& InMemoryUnitReader::AddUnit(const std::string& symbol, const std::string& name,
                                      const std::string& dimensionName,
                                      std::unique_ptr<Converter::IUnitConverterEngine> engine,
                                      const std::string& standardFormSymbol) {
    Converter::IUnitConverterEngine* converter = engine.get();
    m_engines.push_back(std::move(engine));
    return Append(m_units, symbol,
                  UnitSpec{symbol, name, dimensionName, standardFormSymbol, converter});
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
    return Append(m_measurements, name,
                  MeasurementSpec{name, dimensionName, std::move(unitSymbols)});
}

UnitSystemSpec& InMemoryUnitReader::AddUnitSystem(const std::string& name) {
    return Append(m_unitSystems, name, UnitSystemSpec{name});
}

bool InMemoryUnitReader::SetUnitOfMeasurement(const std::string& unitSystemName,
                                              const std::string& measurementName,
                                              const std::string& unitSymbol) {
    if (Find(m_units, unitSymbol) == nullptr) {
        return false;
    }
    m_mappings[{unitSystemName, measurementName}] = unitSymbol;
    return true;
}

const DimensionSpec* InMemoryUnitReader::GetDimensionSpec(const std::string& name) {
    return Find(m_dimensions, name);
}

const UnitSpec* InMemoryUnitReader::GetUnitSpec(const std::string& symbol) {
    return Find(m_units, symbol);
}

std::vector<const UnitSpec*> InMemoryUnitReader::GetAllUnitSpecs() {
    return List(m_units);
}

const MeasurementSpec* InMemoryUnitReader::GetMeasurementSpec(const std::string& name) {
    return Find(m_measurements, name);
}

std::vector<const MeasurementSpec*> InMemoryUnitReader::GetAllMeasurementSpecs() {
    return List(m_measurements);
}

std::vector<const UnitSystemSpec*> InMemoryUnitReader::GetAllUnitSystemSpecs() {
    return List(m_unitSystems);
}

const UnitSpec* InMemoryUnitReader::GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                             const std::string& measurementName) {
    const auto found = m_mappings.find({unitSystemName, measurementName});
    return found == m_mappings.end() ? nullptr : Find(m_units, found->second);
}

} // namespace Orv::Pim::Core::Service::Units::Reader
