// The default reader is built from records compiled from data/DefaultCatalogue.xml at build time.
// Whatever the compiled form, it must give exactly what reading that file gives.
#include "ReaderRecords.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#if defined(_WIN32)
#include <windows.h>
// windows.h first: tlhelp32.h needs its types
#include <tlhelp32.h>
#endif

using Orv::Pim::Core::Service::Units::Reader::XmlUnitReader;
using reader_testing::Records;

TEST(DefaultReader, GivesANewReaderWithExactlyTheRecordsOfTheCatalogueFile) {
    std::ifstream file(ORV_DEFAULT_CATALOGUE_FILE, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    // The name the compiled records carry in their warnings.
    const auto expected = Records(*XmlUnitReader::FromText(text.str(), "DefaultCatalogue.xml"));
    const auto compiled = Records(*XmlUnitReader::Default());
    // Each call gives a new reader, sharing nothing with the others.
    EXPECT_NE(XmlUnitReader::Default()->GetUnitSpec("m"),
              XmlUnitReader::Default()->GetUnitSpec("m"));
    ASSERT_GT(expected.size(), 1000u);
    for (std::size_t i = 0; i < std::max(expected.size(), compiled.size()); ++i) {
        ASSERT_EQ(i < compiled.size() ? compiled[i] : "(none)",
                  i < expected.size() ? expected[i] : "(none)")
            << "record " << i;
    }
}

// Xerces-C and the libraries it needs take a process several milliseconds to load, more than
// the rest of start-up. The default reader, the catalogue built from it and its conversions need
// no XML parser, which is then loaded only when a catalogue text is read. (Every test runs in a
// process of its own, so no other test has loaded it.)
TEST(DefaultReader, NeedsNoXmlParserUntilACatalogueTextIsRead) {
    namespace Units = Orv::Pim::Core::Service::Units;
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
        std::ifstream maps("/proc/self/maps");
        std::string line;
        while (std::getline(maps, line)) {
            if (line.find("libxerces") != std::string::npos) {
                return true;
            }
        }
        return false;
#endif
    };
    const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::Default();
    Units::UnitService::UnitReader(reader.get());
    EXPECT_EQ(
        Units::UnitConverter::Convert(12.5, Units::Unit::GetUnit("ft"), Units::Unit::GetUnit("m")),
        3.81);
    EXPECT_FALSE(parserLoaded());
    std::ifstream file(ORV_DEFAULT_CATALOGUE_FILE, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    XmlUnitReader::FromText(text.str(), "DefaultCatalogue.xml");
    EXPECT_TRUE(parserLoaded());
}
