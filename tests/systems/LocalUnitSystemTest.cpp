#include "SystemsTesting.h"

#include <units/Dimension.h>
#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;
using systems_testing::MessageOf;

namespace {

using LocalChanged = systems_testing::Subscription<LocalUnitSystem::ChangeDetails>;
using CurrentChanged = systems_testing::Subscription<UnitSystem::UnitSystemEventArgs>;

/// A reader with the oil-field catalogue, registered while the fixture lives, and the catalogue
/// objects the tests use.
class LocalUnitSystemTest : public testing::Test {
protected:
    LocalUnitSystemTest() {
        systems_testing::AddOilfieldCatalogue(reader.records);
        UnitService::UnitReader(&reader);
        metric = UnitSystem::GetUnitSystem("Metric");
        field = UnitSystem::GetUnitSystem("Field");
        depth = Measurement::GetMeasurement("Depth");
        pressure = Measurement::GetMeasurement("Pressure");
        temperature = Measurement::GetMeasurement("Temperature");
    }
    ~LocalUnitSystemTest() override {
        // Local systems of the tests live on their stack; none may stay current.
        UnitService::SetUnitSystem(nullptr);
    }

    static Unit* U(const char* symbol) { return Unit::GetUnit(symbol); }

    CountingReader reader;
    UnitSystem* metric = nullptr;
    UnitSystem* field = nullptr;
    Measurement* depth = nullptr;
    Measurement* pressure = nullptr;
    Measurement* temperature = nullptr;
};

} // namespace

TEST_F(LocalUnitSystemTest, WithoutAParentFollowsTheCurrentUnitSystem) {
    LocalUnitSystem named("Named");
    LocalUnitSystem nullParent("Null parent", nullptr);

    EXPECT_TRUE(named.UsesCurrentContext());
    EXPECT_TRUE(nullParent.UsesCurrentContext());
    EXPECT_EQ(named.ClassType(), UnitSystem::e_LocalUnitSystem);
    EXPECT_EQ(nullParent.ClassType(), UnitSystem::e_LocalUnitSystem);
    EXPECT_EQ(named.GetUnitOfMeasurement(depth), U("m"));

    UnitService::SetUnitSystem(field);
    EXPECT_EQ(named.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(nullParent.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_TRUE(named.GetMeasurementUnitHashMap().empty());
}

TEST_F(LocalUnitSystemTest, AnOverrideHidesTheParentForItsMeasurementOnly) {
    LocalUnitSystem local("Local", field);
    local.SetUnitOfMeasurement(depth, U("m"));

    EXPECT_FALSE(local.UsesCurrentContext());
    EXPECT_EQ(local.GetUnitOfMeasurement(depth), U("m"));
    EXPECT_EQ(local.GetUnitOfMeasurement(pressure), U("psi"));
    EXPECT_EQ(local.GetUnitOfMeasurement(nullptr), nullptr);
    // Units found through the parent are not stored as overrides.
    EXPECT_EQ(local.GetMeasurementUnitHashMap().size(), 1u);
    // The parent is read at each look-up, not followed to the current unit system.
    UnitService::SetUnitSystem(metric);
    EXPECT_EQ(local.GetUnitOfMeasurement(pressure), U("psi"));
}

TEST_F(LocalUnitSystemTest, OnALocalParentTakesItsParentAndACopyOfItsOverrides) {
    LocalUnitSystem base("Base", field);
    base.SetUnitOfMeasurement(depth, U("m"));

    LocalUnitSystem derived("Derived", &base);
    base.SetUnitOfMeasurement(pressure, U("kPa"));

    EXPECT_FALSE(derived.UsesCurrentContext());
    EXPECT_EQ(derived.GetUnitOfMeasurement(depth), U("m"));
    // The later override of the given system is not seen: the parent is Field itself.
    EXPECT_EQ(derived.GetUnitOfMeasurement(pressure), U("psi"));
}

TEST_F(LocalUnitSystemTest, OnAParentlessLocalSystemUsesTheCurrentContext) {
    LocalUnitSystem base("Base");
    base.SetUnitOfMeasurement(temperature, U("K"));

    LocalUnitSystem derived("Derived", &base);

    EXPECT_TRUE(derived.UsesCurrentContext());
    EXPECT_EQ(derived.GetUnitOfMeasurement(temperature), U("K"));
    EXPECT_EQ(derived.GetUnitOfMeasurement(depth), U("m"));
    UnitService::SetUnitSystem(field);
    EXPECT_EQ(derived.GetUnitOfMeasurement(depth), U("ft"));
}

TEST_F(LocalUnitSystemTest, RefusesBadOverridesAndChangesNothing) {
    LocalUnitSystem local("Local", field);
    local.SetUnitOfMeasurement(depth, U("ft"));
    int raises = 0;
    LocalChanged counting(local.m_LocalUnitSystemChanged,
                          [&](const LocalUnitSystem::ChangeDetails&) { ++raises; });

    EXPECT_EQ(MessageOf([&] { local.SetUnitOfMeasurement(nullptr, U("m")); }),
              "Cannot modify a NULL measurement");
    EXPECT_EQ(MessageOf([&] { local.SetUnitOfMeasurement(depth, nullptr); }),
              "Cannot set Depth to a NULL unit");
    EXPECT_EQ(MessageOf([&] { local.SetUnitOfMeasurement(depth, U("psi")); }),
              "Cannot set Depth( Length ) to pound per square inch( Pressure )");

    EXPECT_EQ(local.GetMeasurementUnitHashMap(),
              (std::map<const Measurement*, Unit*>{{depth, U("ft")}}));
    EXPECT_EQ(raises, 0);
}

TEST_F(LocalUnitSystemTest, RaisesItsOwnEventThenTheCurrentEventWhenItIsCurrent) {
    LocalUnitSystem local("Local", field);
    UnitService::SetUnitSystem(&local);
    std::vector<std::string> log;
    LocalChanged localHandler(
        local.m_LocalUnitSystemChanged, [&](const LocalUnitSystem::ChangeDetails& details) {
            log.push_back("local " + details.GetMeasurement()->Name() + " " +
                          details.GetUnit()->Symbol() + " " + details.GetLocalUnitSystem()->Name());
            // The override is stored before the event.
            EXPECT_EQ(local.GetUnitOfMeasurement(depth), U("m"));
        });
    CurrentChanged currentHandler(UnitService::m_CurrentUnitSystemChanged,
                                  [&](const UnitSystem::UnitSystemEventArgs& args) {
                                      log.push_back("current " + args.GetUnitSystem()->Name());
                                  });

    local.SetUnitOfMeasurement(depth, U("m"));
    local.SetUnitOfMeasurement(depth, U("m"));

    EXPECT_EQ(log, (std::vector<std::string>{"local Depth m Local", "current Local",
                                             "local Depth m Local", "current Local"}));
    EXPECT_EQ(UnitService::GetUnitSystem(), &local);
}

TEST_F(LocalUnitSystemTest, RaisesOnlyItsOwnEventWhenItIsNotCurrent) {
    LocalUnitSystem local("Local", field);
    UnitService::SetUnitSystem(metric);
    int localRaises = 0;
    int currentRaises = 0;
    LocalChanged localHandler(local.m_LocalUnitSystemChanged,
                              [&](const LocalUnitSystem::ChangeDetails&) { ++localRaises; });
    CurrentChanged currentHandler(UnitService::m_CurrentUnitSystemChanged,
                                  [&](const UnitSystem::UnitSystemEventArgs&) { ++currentRaises; });

    local.SetUnitOfMeasurement(depth, U("m"));

    EXPECT_EQ(localRaises, 1);
    EXPECT_EQ(currentRaises, 0);
    EXPECT_EQ(UnitService::GetUnitSystem(), metric);
}

TEST_F(LocalUnitSystemTest, AThrowingLocalHandlerKeepsTheOverrideAndSkipsTheCurrentEvent) {
    LocalUnitSystem local("Local", field);
    UnitService::SetUnitSystem(&local);
    int currentRaises = 0;
    LocalChanged failing(local.m_LocalUnitSystemChanged, [](const LocalUnitSystem::ChangeDetails&) {
        throw std::runtime_error("handler failed");
    });
    CurrentChanged currentHandler(UnitService::m_CurrentUnitSystemChanged,
                                  [&](const UnitSystem::UnitSystemEventArgs&) { ++currentRaises; });

    EXPECT_THROW(local.SetUnitOfMeasurement(depth, U("m")), std::runtime_error);

    EXPECT_EQ(local.GetUnitOfMeasurement(depth), U("m"));
    EXPECT_EQ(currentRaises, 0);
}

// A registry that a host filled before the reader could holds a parentless local system as the
// default "Metric": it becomes current without SetUnitSystem's refusal, and must not ask itself.
TEST_F(LocalUnitSystemTest, AParentlessSystemThatIsCurrentRefusesEveryLookup) {
    // The fixture's look-ups filled the registry; empty it so that the host's system is the only
    // one. Deleting a registered system takes it out of the registry.
    UnitService::SetUnitSystem(nullptr);
    UnitSystemArray systems = UnitSystem::UnitSystems();
    while (systems.size() != 0) {
        delete systems[0];
    }
    auto* rogue = new LocalUnitSystem("Metric");
    systems.push_back(rogue);
    rogue->GetMeasurementUnitHashMap()[depth] = U("ft");
    ASSERT_EQ(UnitService::GetUnitSystem(), rogue);

    const std::string refusal = "Current unit system refers to self";
    EXPECT_EQ(MessageOf([&] { rogue->GetUnitOfMeasurement(depth); }), refusal);
    EXPECT_EQ(MessageOf([&] { rogue->GetUnitOfMeasurement(pressure); }), refusal);
    EXPECT_EQ(MessageOf([&] { depth->CurrentUnit(); }), refusal);
    // Setting an override re-installs the system as current, which is refused after the override
    // is stored.
    EXPECT_EQ(MessageOf([&] { rogue->SetUnitOfMeasurement(pressure, U("psi")); }),
              "Current unit system must not refer to self");
    EXPECT_EQ(rogue->GetMeasurementUnitHashMap().at(pressure), U("psi"));
    EXPECT_EQ(UnitService::GetUnitSystem(), rogue);
}

TEST_F(LocalUnitSystemTest, ACloneHasTheSameNameParentAndOverridesButNoHandlers) {
    LocalUnitSystem local("Local", field);
    local.SetUnitOfMeasurement(depth, U("m"));
    int raises = 0;
    LocalChanged counting(local.m_LocalUnitSystemChanged,
                          [&](const LocalUnitSystem::ChangeDetails&) { ++raises; });

    std::unique_ptr<LocalUnitSystem> clone(static_cast<LocalUnitSystem*>(local.Clone()));

    EXPECT_EQ(clone->Name(), "Local");
    EXPECT_EQ(clone->ClassType(), UnitSystem::e_LocalUnitSystem);
    EXPECT_FALSE(clone->UsesCurrentContext());
    EXPECT_EQ(clone->GetMeasurementUnitHashMap(), local.GetMeasurementUnitHashMap());
    EXPECT_EQ(clone->GetUnitOfMeasurement(pressure), U("psi"));
    clone->SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(raises, 0);
    EXPECT_EQ(local.GetUnitOfMeasurement(temperature), U("degF"));

    // A copy, unlike a clone, keeps the handlers.
    LocalUnitSystem copy(local);
    copy.SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(raises, 1);
}

TEST_F(LocalUnitSystemTest, ACloneOfAParentlessSystemUsesTheCurrentContext) {
    LocalUnitSystem local("Local");
    std::unique_ptr<LocalUnitSystem> clone(static_cast<LocalUnitSystem*>(local.Clone()));

    EXPECT_TRUE(clone->UsesCurrentContext());
    UnitService::SetUnitSystem(field);
    EXPECT_EQ(clone->GetUnitOfMeasurement(depth), U("ft"));
}

TEST(LocalUnitSystem, FallingBackWithoutAnyMetricPassesOnTheNotFoundMessage) {
    CountingReader reader;
    systems_testing::AddOilfieldMeasurements(reader.records);
    systems_testing::AddFieldSystem(reader.records);
    UnitService::UnitReader(&reader);
    LocalUnitSystem local("Local");

    EXPECT_EQ(MessageOf([&] { local.GetUnitOfMeasurement(Measurement::GetMeasurement("Depth")); }),
              "Could not find a UnitSystem named 'Metric'!");
}
