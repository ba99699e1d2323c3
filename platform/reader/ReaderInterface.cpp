#include <units/interfaces/Reader.h>

namespace Orv::Pim::Core::Service::Units::Reader {

IUnitReader::~IUnitReader() = default;

SyPhysicalReader::SyPhysicalReader() = default;

SyPhysicalReader::~SyPhysicalReader() = default;

} // namespace Orv::Pim::Core::Service::Units::Reader
