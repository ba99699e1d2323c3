#include "ExpressionResolver.h"
#include "RecordSet.h"

#include <units/reader/RecordUnitReader.h>

namespace Orv::Pim::Core::Service::Units::Reader {

std::string UnitTextProblem::ToString() const {
    std::string text = "at character " + std::to_string(column) + ": " + reason;
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        text += (i == 0                        ? "; did you mean "
                 : i + 1 == suggestions.size() ? " or "
                                               : ", ") +
                suggestions[i];
    }
    return text + (suggestions.empty() ? "" : "?");
}

RecordUnitReader::RecordUnitReader() : RecordUnitReader(std::make_unique<Detail::RecordSet>()) {}

RecordUnitReader::RecordUnitReader(std::unique_ptr<Detail::RecordSet> records)
    : m_records(std::move(records)),
      m_resolver(std::make_unique<Detail::ExpressionResolver>(*m_records)) {}

RecordUnitReader::~RecordUnitReader() = default;

Detail::RecordSet& RecordUnitReader::Records() {
    m_resolver->Forget();
    return *m_records;
}

std::vector<const DimensionSpec*> RecordUnitReader::GetAllDimensionSpecs() const {
    return m_records->dimensions.List();
}

std::optional<std::string> RecordUnitReader::GetDimensionSignature(const std::string& name) const {
    const auto found = m_records->signatures.find(name);
    if (found == m_records->signatures.end()) {
        return m_resolver->SignatureText(name);
    }
    return found->second.text;
}

bool RecordUnitReader::IsPreferredDimension(const std::string& name) const {
    const auto found = m_records->signatures.find(name);
    return found != m_records->signatures.end() && found->second.preferred;
}

bool RecordUnitReader::TakesPrefixes(const std::string& symbol) const {
    return m_records->prefixed.count(symbol) != 0;
}

std::optional<UnitTextProblem> RecordUnitReader::ExplainMissingUnit(const std::string& text) {
    auto explained = m_resolver->Explain(text);
    if (!explained) {
        return std::nullopt;
    }
    // The column counts characters: every byte but the continuation bytes of UTF-8.
    std::size_t column = 1;
    for (std::size_t i = 0; i < explained->first.at && i < text.size(); ++i) {
        column += (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 ? 0 : 1;
    }
    return UnitTextProblem{column, std::move(explained->first.reason),
                           std::move(explained->second)};
}

const DimensionSpec* RecordUnitReader::GetDimensionSpec(const std::string& name) {
    if (const DimensionSpec* record = m_records->dimensions.Find(name)) {
        return record;
    }
    return m_resolver->Dimension(name);
}

const UnitSpec* RecordUnitReader::GetUnitSpec(const std::string& symbol) {
    // The listed records answer without a lock; only a miss goes to the resolver.
    if (const UnitSpec* record = m_records->units.Find(symbol)) {
        return record;
    }
    return m_resolver->Unit(symbol);
}

std::vector<const UnitSpec*> RecordUnitReader::GetAllUnitSpecs() {
    return m_records->units.List();
}

const MeasurementSpec* RecordUnitReader::GetMeasurementSpec(const std::string& name) {
    if (const MeasurementSpec* record = m_records->measurements.Find(name)) {
        return record;
    }
    return m_resolver->Measurement(name);
}

std::vector<const MeasurementSpec*> RecordUnitReader::GetAllMeasurementSpecs() {
    return m_records->measurements.List();
}

std::vector<const UnitSystemSpec*> RecordUnitReader::GetAllUnitSystemSpecs() {
    return m_records->systems.List();
}

const UnitSpec* RecordUnitReader::GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                           const std::string& measurementName) {
    if (Detail::RecordSource* source = m_records->source.get()) {
        if (const UnitSpec* unit =
                source->GetUnitSpecOfMeasurement(unitSystemName, measurementName)) {
            return unit;
        }
    } else if (const auto found = m_records->mappings.find({unitSystemName, measurementName});
               found != m_records->mappings.end()) {
        return found->second;
    }
    // The measurement of a dimension named after a signature has its base unit in every system.
    if (m_records->systems.Find(unitSystemName) == nullptr ||
        m_records->measurements.Find(measurementName) != nullptr) {
        return nullptr;
    }
    return m_resolver->BaseUnitOf(measurementName);
}

} // namespace Orv::Pim::Core::Service::Units::Reader
