// The two reader slots of UnitService. The library never owns, copies or deletes a reader.
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/interfaces/Reader.h>

namespace Orv::Pim::Core::Service::Units {

Reader::IUnitReader* UnitService::m_pReader = nullptr;
Reader::SyPhysicalReader* UnitService::m_pSyPhysicalReader = nullptr;

Reader::IUnitReader& UnitService::UnitReader() {
    if (m_pReader == nullptr) {
        throw UnitException(std::string("Unit Service is not initialized with a Unit Reader.") +
                            "\n" + "Please use UnitService.UnitReader to set a Unit Reader.");
    }
    return *m_pReader;
}

void UnitService::UnitReader(Reader::IUnitReader* reader) {
    if (reader == nullptr) {
        throw UnitException("Can not set an empty UnitReader in UnitSystem!");
    }
    m_pReader = reader;
}

Reader::SyPhysicalReader& UnitService::SyPhysicalUnitReader() {
    if (m_pSyPhysicalReader == nullptr) {
        throw UnitException(
            std::string("Unit Service is not initialized with a SyPhysical Unit Reader.") + "\n" +
            "Please use UnitService.UnitReader to set a SyPhysical Unit Reader.");
    }
    return *m_pSyPhysicalReader;
}

void UnitService::SyPhysicalUnitReader(Reader::SyPhysicalReader* reader) {
    if (reader == nullptr) {
        throw UnitException("Can not set an empty SyPhysical Unit Reader in UnitService!");
    }
    m_pSyPhysicalReader = reader;
}

} // namespace Orv::Pim::Core::Service::Units
