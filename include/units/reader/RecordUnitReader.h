// The core that the in-memory and catalogue-file readers share: records held in memory, kept in
// the order they were added and found by key, the first record of a key winning.
#pragma once

#include <units/interfaces/Reader.h>
#include <units/reader/ReaderExport.h>

#include <memory>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

namespace Detail {
struct RecordSet;
} // namespace Detail

/// An IUnitReader over the records it holds, with the engines they point to and the unit each
/// unit system gives a measurement. Records keep their addresses for the reader's life.
class ORV_UNITS_READER_API RecordUnitReader : public IUnitReader {
public:
    RecordUnitReader(const RecordUnitReader&) = delete;
    RecordUnitReader& operator=(const RecordUnitReader&) = delete;
    ~RecordUnitReader() override;

    /// Every dimension record, in the order added.
    std::vector<const DimensionSpec*> GetAllDimensionSpecs() const;

    const DimensionSpec* GetDimensionSpec(const std::string& name) override;
    const UnitSpec* GetUnitSpec(const std::string& symbol) override;
    std::vector<const UnitSpec*> GetAllUnitSpecs() override;
    const MeasurementSpec* GetMeasurementSpec(const std::string& name) override;
    std::vector<const MeasurementSpec*> GetAllMeasurementSpecs() override;
    std::vector<const UnitSystemSpec*> GetAllUnitSystemSpecs() override;
    const UnitSpec* GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                             const std::string& measurementName) override;

protected:
    /// A reader without records.
    RecordUnitReader();
    /// A reader over `records`, which must not be null.
    explicit RecordUnitReader(std::unique_ptr<Detail::RecordSet> records);
    /// The records, for the derived reader to fill.
    Detail::RecordSet& Records() { return *m_records; }

private:
    std::unique_ptr<Detail::RecordSet> m_records;
};

} // namespace Orv::Pim::Core::Service::Units::Reader
