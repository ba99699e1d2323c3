// The exception every failing operation of the units library throws.
#pragma once

#include <units/UnitsExport.h>

#include <exception>
#include <stdexcept>
#include <string>

namespace Orv::Pim::Core::Service::Units {

/// A failure of the units library; what() is the message, byte for byte as the library wrote it.
class ORV_UNITS_API UnitException : public std::runtime_error {
public:
    /// Carries a copy of `message`.
    explicit UnitException(const std::string& message);
    /// Carries a copy of `message`; the second argument is accepted and ignored.
    UnitException(const std::string& message, const std::exception& ignored);
    UnitException(const UnitException& other);
    UnitException(UnitException&& other) noexcept;
    /// Both assignments copy the message.
    UnitException& operator=(const UnitException& other);
    UnitException& operator=(UnitException&& other) noexcept;
    ~UnitException() override;
};

} // namespace Orv::Pim::Core::Service::Units
