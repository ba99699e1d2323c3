// The default catalogue, registered once for every benchmark of the program.
#pragma once

#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <memory>

namespace OrvBench {

/// Registers the default catalogue's reader on first use; it stays for the program's life.
inline void UseDefaultCatalogue() {
    static const std::unique_ptr<Orv::Pim::Core::Service::Units::Reader::XmlUnitReader> reader =
        [] {
            auto made = Orv::Pim::Core::Service::Units::Reader::XmlUnitReader::Default();
            Orv::Pim::Core::Service::Units::UnitService::UnitReader(made.get());
            return made;
        }();
}

} // namespace OrvBench
