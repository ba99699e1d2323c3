// The converter engine contract: the arithmetic behind every conversion. A catalogue unit owns an
// engine that converts a value in that unit into the base unit of its dimension; its inverse
// converts back. The converter library's engines are in units/converter/Engines.h.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Converter {

/// Kinds of engine, read from `IUnitConverterEngine::m_eType`. Hosts use 100 and up.
enum EngineType : std::int32_t {
    e_LinearEngine = 1,
    e_CompositeEngine = 2,
    e_RationalEngine = 3, ///< `RationalUnitConverter` of the converter library
};

/// A conversion from one unit's values to another's. Engines are made with `new` and destroyed
/// through the virtual destructor; none of the operations is const.
class IUnitConverterEngine {
public:
    /// The kind of engine; 1 marks a `LinearUnitConverter`. Set by each engine's constructor.
    std::int32_t m_eType;

    explicit IUnitConverterEngine(std::int32_t type) : m_eType(type) {}
    virtual ~IUnitConverterEngine() = default;
    /// A new engine with the same conversion, sharing nothing with this one.
    virtual std::unique_ptr<IUnitConverterEngine> Clone() = 0;
    /// Converts every element in place.
    virtual void Convert(std::vector<double>& values) = 0;
    /// Converts every element in place.
    virtual void Convert(std::vector<float>& values) = 0;
    /// The converted value.
    virtual double Convert(double value) = 0;
    /// The converted value, worked out in single precision.
    virtual float Convert(float value) = 0;
    /// True when the engine leaves every value as it is.
    virtual bool IsUnity() = 0;
    /// True when `GetInverse` gives an engine for the opposite direction.
    virtual bool IsInvertible() = 0;
    /// A new engine for the opposite direction, or empty when there is none.
    virtual std::unique_ptr<IUnitConverterEngine> GetInverse() = 0;

protected:
    IUnitConverterEngine(const IUnitConverterEngine&) = default;
    IUnitConverterEngine& operator=(const IUnitConverterEngine&) = default;
};

} // namespace Orv::Pim::Core::Service::Units::Converter
