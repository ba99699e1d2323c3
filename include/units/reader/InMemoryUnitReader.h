// A reader that a host fills in code: dimensions, units, measurements, unit systems and the unit
// each system gives each measurement. Records keep the order in which they were added.
#pragma once

#include <units/interfaces/ConverterEngine.h>
#include <units/reader/ReaderExport.h>
#include <units/reader/RecordUnitReader.h>

#include <memory>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

/// A reader whose records a host adds. Each Add returns the stored record, which stays at the same
/// address for the reader's life, so a caller may adjust it (for instance mark it invalid). Adding
/// a second record under one key keeps both in the lists; look-ups find the first.
class ORV_UNITS_READER_API InMemoryUnitReader : public RecordUnitReader {
public:
    /// Adds a dimension whose base unit has the symbol `baseUnitSymbol`.
    DimensionSpec& AddDimension(const std::string& name, const std::string& baseUnitSymbol);
    /// Adds a unit whose engine (owned by the reader) converts its values into the base unit.
    /// Throws std::invalid_argument, adding nothing, for a null engine, a linear one whose scale
    /// or offset is not finite, or one that cannot be inverted (such as a scale of 0).
    UnitSpec& AddUnit(const std::string& symbol, const std::string& name,
                      const std::string& dimensionName,
                      std::unique_ptr<Converter::IUnitConverterEngine> engine,
                      const std::string& standardFormSymbol = std::string());
    /// Adds a unit with base = scale * value + offset; throws as the other AddUnit.
    UnitSpec& AddUnit(const std::string& symbol, const std::string& name,
                      const std::string& dimensionName, double scale, double offset = 0.0,
                      const std::string& standardFormSymbol = std::string());
    /// Adds a measurement offering `unitSymbols` (all units of its dimension when empty).
    MeasurementSpec& AddMeasurement(const std::string& name, const std::string& dimensionName,
                                    std::vector<std::string> unitSymbols = {});
    /// Adds a unit system.
    UnitSystemSpec& AddUnitSystem(const std::string& name);
    /// Makes the system `unitSystemName` give `measurementName` the unit `unitSymbol`, which
    /// must have been added already. Returns false, changing nothing, when it was not.
    bool SetUnitOfMeasurement(const std::string& unitSystemName, const std::string& measurementName,
                              const std::string& unitSymbol);
    /// Gives the dimension `dimensionName` its exponents over base quantities, written as a
    /// catalogue writes them ("L M T-2"); `preferred` makes unit expressions of that signature
    /// resolve to it. Returns false, changing nothing, when `signature` is not one.
    bool SetSignature(const std::string& dimensionName, const std::string& signature,
                      bool preferred = false);
    /// Lets SI prefixes stand before the unit `symbol` in unit expressions (km, µs).
    void SetTakesPrefixes(const std::string& symbol);
};

} // namespace Orv::Pim::Core::Service::Units::Reader
