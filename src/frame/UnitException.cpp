#include <units/UnitException.h>

namespace Orv::Pim::Core::Service::Units {

UnitException::UnitException(const std::string& message) : std::runtime_error(message) {}

UnitException::UnitException(const std::string& message, const std::exception&)
    : std::runtime_error(message) {}

UnitException::UnitException(const UnitException& other) = default;

UnitException::UnitException(UnitException&& other) noexcept : std::runtime_error(other) {}

UnitException& UnitException::operator=(const UnitException& other) = default;

UnitException& UnitException::operator=(UnitException&& other) noexcept {
    std::runtime_error::operator=(other);
    return *this;
}

UnitException::~UnitException() = default;

} // namespace Orv::Pim::Core::Service::Units
