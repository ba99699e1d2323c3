// The core that the in-memory and catalogue-file readers share: records held in memory, kept in
// the order they were added and found by key, the first record of a key winning. A unit symbol
// that no record has is read as a unit expression over the records' units (kg*m/s^2, W/(m·K),
// µm, m²), which the reader answers with a record of its own making; README.md gives the grammar.
#pragma once

#include <units/interfaces/Reader.h>
#include <units/reader/ReaderExport.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

namespace Detail {
struct RecordSet;
class ExpressionResolver;
} // namespace Detail

/// Why a text is not a unit of a reader: where it goes wrong, why, and what the user may have
/// meant.
struct ORV_UNITS_READER_API UnitTextProblem {
    std::size_t column = 1;               ///< 1-based, in characters of the text
    std::string reason;                   ///< such as: unknown unit "fet"
    std::vector<std::string> suggestions; ///< up to three symbols, for an unknown unit

    /// "at character 1: unknown unit "fet"; did you mean ft?"
    std::string ToString() const;
};

/// An IUnitReader over the records it holds, with the engines they point to and the unit each
/// unit system gives a measurement. Records keep their addresses for the reader's life, and so
/// do the records it makes for unit expressions. Look-ups may run on several threads at once as
/// long as nothing is added.
class ORV_UNITS_READER_API RecordUnitReader : public IUnitReader {
public:
    RecordUnitReader(const RecordUnitReader&) = delete;
    RecordUnitReader& operator=(const RecordUnitReader&) = delete;
    ~RecordUnitReader() override;

    /// Every dimension record, in the order added.
    std::vector<const DimensionSpec*> GetAllDimensionSpecs() const;
    /// The signature of the dimension `name` ("L M T-2"), as the catalogue gives it or as the
    /// name of a dimension made for unit expressions says; empty when it has none.
    std::optional<std::string> GetDimensionSignature(const std::string& name) const;
    /// True when unit expressions of the dimension's signature resolve to the dimension `name`.
    bool IsPreferredDimension(const std::string& name) const;
    /// True when SI prefixes may stand before the unit `symbol` in unit expressions.
    bool TakesPrefixes(const std::string& symbol) const;
    /// Why GetUnitSpec(`text`) gives null; empty when it gives a unit.
    std::optional<UnitTextProblem> ExplainMissingUnit(const std::string& text);

    /// The record of `name`, or of a dimension named after a signature no dimension here has.
    const DimensionSpec* GetDimensionSpec(const std::string& name) override;
    /// The record of `symbol`, or of `symbol` read as a unit expression.
    const UnitSpec* GetUnitSpec(const std::string& symbol) override;
    /// Every unit record added; the records of unit expressions are not among them.
    std::vector<const UnitSpec*> GetAllUnitSpecs() override;
    /// The record of `name`, or of the measurement of a dimension named after a signature.
    const MeasurementSpec* GetMeasurementSpec(const std::string& name) override;
    std::vector<const MeasurementSpec*> GetAllMeasurementSpecs() override;
    std::vector<const UnitSystemSpec*> GetAllUnitSystemSpecs() override;
    /// The unit the system gives the measurement; every system gives the measurement of a
    /// dimension named after a signature its base unit.
    const UnitSpec* GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                             const std::string& measurementName) override;

protected:
    /// A reader without records.
    RecordUnitReader();
    /// A reader over `records`, which must not be null.
    explicit RecordUnitReader(std::unique_ptr<Detail::RecordSet> records);
    /// The records, for the derived reader to fill; what was worked out from them is forgotten.
    Detail::RecordSet& Records();

private:
    std::unique_ptr<Detail::RecordSet> m_records;
    std::unique_ptr<Detail::ExpressionResolver> m_resolver;
};

} // namespace Orv::Pim::Core::Service::Units::Reader
