// The default catalogue built into the reader library: compiled at build time from
// data/DefaultCatalogue.xml, it must give exactly what reading that file gives, and load no XML
// parser.
#include "ReaderRecords.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#if defined(_WIN32)
#include <windows.h>
// windows.h first: tlhelp32.h needs its types
#include <tlhelp32.h>
#endif

namespace {

using namespace Orv::Pim::Core::Service::Units;
using Reader::XmlUnitReader;

const std::string kDefaultCatalogue = reader_testing::ReadText(ORV_DEFAULT_CATALOGUE_FILE);

TEST(DefaultReader, GivesANewReaderWithExactlyTheRecordsOfTheCatalogueFile) {
    // The name the compiled records carry in their warnings.
    const auto file = XmlUnitReader::FromText(kDefaultCatalogue, "DefaultCatalogue.xml");
    const auto built = XmlUnitReader::Default();
    EXPECT_NE(XmlUnitReader::Default()->GetUnitSpec("m"), built->GetUnitSpec("m"));
    reader_testing::ExpectSameRecords(*file, *built);
}

// Xerces-C and the libraries it needs take a process several milliseconds to load, more than
// the rest of start-up, so it is loaded only when a catalogue text is read. (Every test runs in a
// process of its own, so no other test has loaded it.)
TEST(DefaultReader, NeedsNoXmlParserUntilACatalogueTextIsRead) {
#if defined(ORV_UNITS_READER_STATIC_DEFINE)
    GTEST_SKIP() << "static libraries link the parser into the program";
#endif
    // Whether a Xerces library is among the process's modules.
    const auto parserLoaded = [] {
#if defined(_WIN32)
        const HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
        MODULEENTRY32 module{};
        module.dwSize = sizeof module;
        bool found = false;
        for (BOOL more = Module32First(modules, &module); more && !found;
             more = Module32Next(modules, &module)) {
            found = std::string(module.szModule).find("xerces") != std::string::npos;
        }
        CloseHandle(modules);
        return found;
#else
        return reader_testing::ReadText("/proc/self/maps").find("libxerces") != std::string::npos;
#endif
    };
    const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::Default();
    UnitService::UnitReader(reader.get());
    EXPECT_EQ(UnitConverter::Convert(12.5, Unit::GetUnit("ft"), Unit::GetUnit("m")), 3.81);
    EXPECT_FALSE(parserLoaded());
    XmlUnitReader::FromText(kDefaultCatalogue, "DefaultCatalogue.xml");
    EXPECT_TRUE(parserLoaded());
}

} // namespace
