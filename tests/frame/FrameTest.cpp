// The library's frame: its exception, the reader slots and the property table.
#include "OrvTesting.h"

#include <units/LibProperties.h>

#include <stdexcept>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

TEST(UnitException, IsARuntimeErrorThatKeepsItsOwnCopyOfTheMessage) {
    std::string text = "first";
    UnitException original(text);
    text = "changed";
    UnitException assigned("other");
    assigned = UnitException(original);

    const std::runtime_error& base = assigned;
    EXPECT_STREQ(base.what(), "first");
    // The exception given beside a message is not used.
    EXPECT_STREQ(UnitException("outer", std::logic_error("inner")).what(), "outer");
}

// Catalogue look-ups pass the refusal on unchanged.
TEST(ReaderSlots, RefuseToHandOutAReaderBeforeOneIsRegisteredThenHandBackTheLatest) {
    const std::string missing = "Unit Service is not initialized with a Unit Reader.\n"
                                "Please use UnitService.UnitReader to set a Unit Reader.";
    EXPECT_EQ(MessageOf([] { UnitService::UnitReader(); }), missing);
    EXPECT_EQ(MessageOf([] { Unit::GetUnit("m"); }), missing);
    EXPECT_EQ(MessageOf([] { Unit::GetAllUnits(); }), missing);
    EXPECT_EQ(MessageOf([] { UnitService::SyPhysicalUnitReader(); }),
              "Unit Service is not initialized with a SyPhysical Unit Reader.\n"
              "Please use UnitService.UnitReader to set a SyPhysical Unit Reader.");

    Reader::InMemoryUnitReader first, second;
    Reader::SyPhysicalReader physical;
    UnitService::UnitReader(&first);
    UnitService::UnitReader(&second);
    UnitService::SyPhysicalUnitReader(&physical);
    EXPECT_EQ(&UnitService::UnitReader(), &second);
    EXPECT_EQ(&UnitService::SyPhysicalUnitReader(), &physical);
}

TEST(LibProperties, AnswersSevenPairsInTheirFixedOrderAndEmptyStringsOutsideThem) {
    std::string pairs;
    for (const int index : {0, 1, 2, 3, 4, 5, 6, 7, -1, 1 << 30, -(1 << 30)}) {
        char const* key = "unchanged";
        char const* value = "unchanged";
        getLibProperty(index, key, value);
        pairs += std::string(key) + "=" + value + "\n";
    }
    EXPECT_EQ(getNumLibProperties(), 7);
    EXPECT_EQ(pairs, "CompanyName=Tarnwell\nFileVersion=5.2017.0.0\n"
                     "FileDescription=Tarnwell Simulation Support Library\nProductVersion=Main/0\n"
                     "InternalName=Orv.Pim.Core.Service.Units\n"
                     "LegalCopyright=Copyright (C) 2026 Orv Units contributors\n"
                     "OriginalFilename=Orv.Pim.Core.Service.Units\n=\n=\n=\n=\n");
}

} // namespace
