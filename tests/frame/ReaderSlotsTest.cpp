#include "OrvTesting.h"

#include <units/UnitService.h>

#include <gtest/gtest.h>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::MessageOf;

TEST(ReaderSlots, RefuseToHandOutAReaderBeforeOneIsRegistered) {
    EXPECT_EQ(MessageOf([] { UnitService::UnitReader(); }),
              "Unit Service is not initialized with a Unit Reader.\n"
              "Please use UnitService.UnitReader to set a Unit Reader.");
    EXPECT_EQ(MessageOf([] { UnitService::SyPhysicalUnitReader(); }),
              "Unit Service is not initialized with a SyPhysical Unit Reader.\n"
              "Please use UnitService.UnitReader to set a SyPhysical Unit Reader.");
}

TEST(ReaderSlots, HandBackTheLatestReaderAndRefuseNull) {
    Reader::InMemoryUnitReader first;
    Reader::InMemoryUnitReader second;
    Reader::SyPhysicalReader physical;
    UnitService::UnitReader(&first);
    UnitService::UnitReader(&second);
    UnitService::SyPhysicalUnitReader(&physical);

    EXPECT_EQ(MessageOf([] { UnitService::UnitReader(nullptr); }),
              "Can not set an empty UnitReader in UnitSystem!");
    EXPECT_EQ(MessageOf([] { UnitService::SyPhysicalUnitReader(nullptr); }),
              "Can not set an empty SyPhysical Unit Reader in UnitService!");
    EXPECT_EQ(&UnitService::UnitReader(), &second);
    EXPECT_EQ(&UnitService::SyPhysicalUnitReader(), &physical);
}
