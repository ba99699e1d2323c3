#include "SystemsTesting.h"

#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;
using systems_testing::TrackedUnitSystem;

namespace {

/// Ends the process with code 3 when deleted, so a death test can tell whether the registry was
/// released at exit.
class ExitOnDeletion : public UnitSystem {
public:
    ExitOnDeletion() : UnitSystem("Exits") {}
    ~ExitOnDeletion() override { std::_Exit(3); }
};

} // namespace

TEST(UnitSystemArray, TheLastHandleDeletesEveryRegisteredSystem) {
    int deletions = 0;
    {
        UnitSystemArray outer;
        {
            UnitSystemArray inner(outer);
            inner.push_back(new TrackedUnitSystem("First", &deletions));
            inner.push_back(new TrackedUnitSystem("Second", &deletions));
        }
        EXPECT_EQ(deletions, 0);
        EXPECT_EQ(outer.size(), 2u);
    }
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(UnitSystemArray().size(), 0u);
}

TEST(UnitSystemArray, AnAssignmentKeepsTheRegistryAliveForGood) {
    static int deletions = 0;
    {
        UnitSystemArray first;
        UnitSystemArray second;
        first = second;
        first.push_back(new TrackedUnitSystem("Kept", &deletions));
    }
    EXPECT_EQ(deletions, 0);
    UnitSystemArray systems;
    ASSERT_EQ(systems.size(), 1u);
    // Nothing will delete it now: the registry's storage goes at exit, its systems do not.
    delete systems[0];
}

TEST(UnitSystemArray, ASystemThatAHostDeletesLeavesTheRegistry) {
    // A unit system's destructor creates the library's own handle, so the other system stays
    // registered until exit: the counter must outlive the test.
    static int deletions = 0;
    UnitSystemArray systems;
    auto* mine = new TrackedUnitSystem("Mine", &deletions);
    auto* other = new TrackedUnitSystem("Other", &deletions);
    systems.push_back(mine);
    systems.push_back(other);
    // Appended twice by mistake: deleting it must leave no dangling entry for the release.
    systems.push_back(mine);

    delete mine;

    ASSERT_EQ(systems.size(), 1u);
    EXPECT_EQ(systems[0], other);
    EXPECT_EQ(deletions, 1);
}

TEST(UnitSystemArray, EraseRemovesWithoutDeleting) {
    int deletions = 0;
    TrackedUnitSystem* mine = nullptr;
    {
        UnitSystemArray systems;
        mine = new TrackedUnitSystem("Mine", &deletions);
        systems.push_back(mine);
        systems.erase(systems.begin());
        EXPECT_EQ(systems.size(), 0u);
    }
    EXPECT_EQ(deletions, 0);
    delete mine;
}

TEST(UnitSystemArray, TheReleaseSkipsNullEntriesAndDeletesARepeatedSystemOnce) {
    int deletions = 0;
    {
        UnitSystemArray systems;
        auto* mine = new TrackedUnitSystem("Mine", &deletions);
        systems.push_back(nullptr);
        systems.push_back(mine);
        systems.push_back(mine);
        systems.push_back(nullptr);
    }
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(UnitSystemArray().size(), 0u);
}

TEST(UnitSystemArray, TheLibrarysOwnHandleReleasesTheRegistryAtExit) {
    EXPECT_EXIT(
        {
            CountingReader reader;
            systems_testing::AddOilfieldCatalogue(reader.records);
            UnitService::UnitReader(&reader);
            UnitSystem::UnitSystems().push_back(new ExitOnDeletion());
            std::exit(0);
        },
        testing::ExitedWithCode(3), "");
}

TEST(UnitSystemArray, AnAssignedHandleStopsTheReleaseAtExit) {
    EXPECT_EXIT(
        {
            CountingReader reader;
            systems_testing::AddOilfieldCatalogue(reader.records);
            UnitService::UnitReader(&reader);
            // Registered before the library's own handle exists, so it runs after that handle is
            // destroyed; it ends the process before the leak check that the kept systems would
            // fail. Exit code 0 comes from it alone.
            std::atexit([] { std::_Exit(0); });
            {
                UnitSystemArray systems = UnitSystem::UnitSystems();
                systems = UnitSystem::UnitSystems();
                systems.push_back(new ExitOnDeletion());
            }
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
}
