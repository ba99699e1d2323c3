#include "OrvTesting.h"

#include <units/UnitException.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>

using namespace Orv::Pim::Core::Service::Units;

namespace {

template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const UnitException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

} // namespace

TEST(ReaderSlots, RefuseToHandOutAReaderBeforeOneIsRegistered) {
    EXPECT_EQ(MessageOf([] { UnitService::UnitReader(); }),
              "Unit Service is not initialized with a Unit Reader.\n"
              "Please use UnitService.UnitReader to set a Unit Reader.");
    EXPECT_EQ(MessageOf([] { UnitService::SyPhysicalUnitReader(); }),
              "Unit Service is not initialized with a SyPhysical Unit Reader.\n"
              "Please use UnitService.UnitReader to set a SyPhysical Unit Reader.");
}

TEST(ReaderSlots, HandBackTheRegisteredObjectsThemselves) {
    Reader::InMemoryUnitReader reader;
    Reader::SyPhysicalReader physical;
    UnitService::UnitReader(&reader);
    UnitService::SyPhysicalUnitReader(&physical);

    EXPECT_EQ(&UnitService::UnitReader(), &reader);
    EXPECT_EQ(&UnitService::SyPhysicalUnitReader(), &physical);
}

TEST(ReaderSlots, RefuseNullAndKeepTheEarlierReader) {
    Reader::InMemoryUnitReader reader;
    Reader::SyPhysicalReader physical;
    UnitService::UnitReader(&reader);
    UnitService::SyPhysicalUnitReader(&physical);

    EXPECT_EQ(MessageOf([] { UnitService::UnitReader(nullptr); }),
              "Can not set an empty UnitReader in UnitSystem!");
    EXPECT_EQ(MessageOf([] { UnitService::SyPhysicalUnitReader(nullptr); }),
              "Can not set an empty SyPhysical Unit Reader in UnitService!");
    EXPECT_EQ(&UnitService::UnitReader(), &reader);
    EXPECT_EQ(&UnitService::SyPhysicalUnitReader(), &physical);
}

TEST(ReaderSlots, ReplaceAReaderWithALaterOne) {
    Reader::InMemoryUnitReader first;
    Reader::InMemoryUnitReader second;
    UnitService::UnitReader(&first);
    UnitService::UnitReader(&second);

    EXPECT_EQ(&UnitService::UnitReader(), &second);
}
