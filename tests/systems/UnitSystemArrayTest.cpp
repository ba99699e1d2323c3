#include "SystemsTesting.h"

#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Orv::Pim::Core::Service::Units;
using systems_testing::OilfieldReader;
using systems_testing::TrackedUnitSystem;

namespace {

/// Ends the process with code 3 when deleted, so that a death test sees whether the registry was
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
    }
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(UnitSystemArray().size(), 0u);
}

TEST(UnitSystemArray, TheReleaseSkipsNullEntriesAndDeletesARepeatedSystemOnce) {
    int deletions = 0;
    {
        UnitSystemArray systems;
        auto* mine = new TrackedUnitSystem("Mine", &deletions);
        systems.push_back(nullptr);
        systems.push_back(mine);
        systems.push_back(mine);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(UnitSystemArray, ASystemThatAHostDeletesLeavesTheRegistry) {
    UnitSystemArray systems;
    auto* mine = new TrackedUnitSystem("Mine");
    auto* other = new TrackedUnitSystem("Other");
    systems.push_back(mine);
    systems.push_back(other);
    // Appended twice by mistake: deleting it must leave no dangling entry for the release.
    systems.push_back(mine);

    delete mine;

    ASSERT_EQ(systems.size(), 1u);
    EXPECT_EQ(systems[0], other);
}

TEST(UnitSystemArray, TheLibrarysOwnHandleReleasesTheRegistryAtExit) {
    EXPECT_EXIT(
        {
            OilfieldReader reader;
            UnitSystem::UnitSystems().push_back(new ExitOnDeletion());
            std::exit(0);
        },
        testing::ExitedWithCode(3), "");
}

TEST(UnitSystemArray, AnAssignedHandleStopsTheReleaseAtExit) {
    EXPECT_EXIT(
        {
            // Registered before the library's own handle exists, so it runs after that handle
            // is destroyed, and ends the process before a leak check would report the systems
            // that are never released. Exit code 0 comes from it alone.
            std::atexit([] { std::_Exit(0); });
            OilfieldReader reader;
            {
                UnitSystemArray systems = UnitSystem::UnitSystems();
                systems = UnitSystem::UnitSystems();
                systems.push_back(new ExitOnDeletion());
            }
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
}
