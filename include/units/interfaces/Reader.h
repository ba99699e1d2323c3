// The reader contract: where the catalogue's dimensions, units, measurements and unit systems
// come from. A host registers a reader with `UnitService::UnitReader`; the library asks it for one
// record at a time on a cache miss, and for whole lists when it lists everything.
#pragma once

#include <units/interfaces/ConverterEngine.h>

#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {

/// A dimension: its name and the symbol of its base unit.
struct DimensionSpec {
    std::string name;
    std::string baseUnitSymbol;
    bool valid = true;
    bool IsValid() const { return valid; }
};

/// A measurement: its name, its dimension's name and the symbols of the units it offers.
struct MeasurementSpec {
    std::string name;
    std::string dimensionName;
    std::vector<std::string> unitSymbols;
    bool valid = true;
    bool IsValid() const { return valid; }
};

/// A unit. `converter` converts a value in this unit into the base unit of its dimension; the
/// record keeps it, the library clones it. An empty `standardFormSymbol` means the unit itself.
struct UnitSpec {
    std::string symbol;
    std::string name;
    std::string dimensionName;
    std::string standardFormSymbol;
    Converter::IUnitConverterEngine* converter = nullptr;
    bool valid = true;
    bool IsValid() const { return valid && converter != nullptr; }
};

/// A unit system: its name.
struct UnitSystemSpec {
    std::string name;
    bool valid = true;
    bool IsValid() const { return valid; }
};

/// The source of catalogue records. Look-ups return null for an unknown key and otherwise a
/// record whose own key equals the one asked for; records stay valid for the reader's life and
/// remain the reader's. Lists are returned by value and may hold null or invalid entries.
class IUnitReader {
public:
    virtual ~IUnitReader() = default;
    /// The dimension named `name`, or null.
    virtual const DimensionSpec* GetDimensionSpec(const std::string& name) = 0;
    /// The unit whose symbol is `symbol`, or null.
    virtual const UnitSpec* GetUnitSpec(const std::string& symbol) = 0;
    /// Every unit record.
    virtual std::vector<const UnitSpec*> GetAllUnitSpecs() = 0;
    /// The measurement named `name`, or null.
    virtual const MeasurementSpec* GetMeasurementSpec(const std::string& name) = 0;
    /// Every measurement record.
    virtual std::vector<const MeasurementSpec*> GetAllMeasurementSpecs() = 0;
    /// Every unit system record.
    virtual std::vector<const UnitSystemSpec*> GetAllUnitSystemSpecs() = 0;
    /// The unit that the system `unitSystemName` gives the measurement `measurementName`, or null.
    virtual const UnitSpec* GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                     const std::string& measurementName) = 0;

protected:
    IUnitReader() = default;
    IUnitReader(const IUnitReader&) = default;
    IUnitReader& operator=(const IUnitReader&) = default;
};

/// A second reader slot's type. The library only stores and hands back a registered one.
class SyPhysicalReader {
public:
    SyPhysicalReader() = default;
    SyPhysicalReader(const SyPhysicalReader&) = default;
    SyPhysicalReader& operator=(const SyPhysicalReader&) = default;
    virtual ~SyPhysicalReader() = default;
};

} // namespace Orv::Pim::Core::Service::Units::Reader
