#include "RecordSet.h"

#include <units/reader/RecordUnitReader.h>

namespace Orv::Pim::Core::Service::Units::Reader {

RecordUnitReader::RecordUnitReader() : m_records(std::make_unique<Detail::RecordSet>()) {}

RecordUnitReader::RecordUnitReader(std::unique_ptr<Detail::RecordSet> records)
    : m_records(std::move(records)) {}

RecordUnitReader::~RecordUnitReader() = default;

std::vector<const DimensionSpec*> RecordUnitReader::GetAllDimensionSpecs() const {
    return m_records->dimensions.List();
}

const DimensionSpec* RecordUnitReader::GetDimensionSpec(const std::string& name) {
    return m_records->dimensions.Find(name);
}

const UnitSpec* RecordUnitReader::GetUnitSpec(const std::string& symbol) {
    return m_records->units.Find(symbol);
}

std::vector<const UnitSpec*> RecordUnitReader::GetAllUnitSpecs() {
    return m_records->units.List();
}

const MeasurementSpec* RecordUnitReader::GetMeasurementSpec(const std::string& name) {
    return m_records->measurements.Find(name);
}

std::vector<const MeasurementSpec*> RecordUnitReader::GetAllMeasurementSpecs() {
    return m_records->measurements.List();
}

std::vector<const UnitSystemSpec*> RecordUnitReader::GetAllUnitSystemSpecs() {
    return m_records->systems.List();
}

const UnitSpec* RecordUnitReader::GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                           const std::string& measurementName) {
    const auto found = m_records->mappings.find({unitSystemName, measurementName});
    return found == m_records->mappings.end() ? nullptr : found->second;
}

} // namespace Orv::Pim::Core::Service::Units::Reader
