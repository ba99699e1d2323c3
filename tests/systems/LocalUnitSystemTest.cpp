#include "SystemsTesting.h"

#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using systems_testing::MessageOf;

namespace {

using LocalChanged = systems_testing::Subscription<LocalUnitSystem::ChangeDetails>;
using CurrentChanged = systems_testing::Subscription<UnitSystem::UnitSystemEventArgs>;

class LocalUnitSystemTest : public testing::Test {
protected:
    ~LocalUnitSystemTest() override {
        // The tests' local systems live on their stack; none may stay current.
        UnitService::SetUnitSystem(nullptr);
    }

    static Unit* U(const char* symbol) { return Unit::GetUnit(symbol); }

    systems_testing::OilfieldReader reader;
    UnitSystem* metric = UnitSystem::GetUnitSystem("Metric");
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    Measurement* pressure = Measurement::GetMeasurement("Pressure");
    Measurement* temperature = Measurement::GetMeasurement("Temperature");
};

} // namespace

TEST_F(LocalUnitSystemTest, WithoutAParentFollowsTheCurrentUnitSystem) {
    LocalUnitSystem named("Named");
    named.SetUnitOfMeasurement(temperature, U("K"));
    LocalUnitSystem nullParent("Null parent", nullptr);
    // Flattened onto a parentless system: no parent either, and a copy of its overrides.
    LocalUnitSystem overNamed("Over named", &named);

    EXPECT_TRUE(named.UsesCurrentContext());
    EXPECT_TRUE(nullParent.UsesCurrentContext());
    EXPECT_TRUE(overNamed.UsesCurrentContext());
    EXPECT_EQ(nullParent.ClassType(), UnitSystem::e_LocalUnitSystem);
    EXPECT_EQ(named.GetUnitOfMeasurement(depth), U("m"));
    UnitService::SetUnitSystem(field);
    EXPECT_EQ(nullParent.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(overNamed.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(overNamed.GetUnitOfMeasurement(temperature), U("K"));
}

TEST_F(LocalUnitSystemTest, AnOverrideHidesTheParentForItsMeasurementOnly) {
    LocalUnitSystem local("Local", field);
    local.SetUnitOfMeasurement(depth, U("m"));
    LocalUnitSystem overLocal("Over local", &local);
    local.SetUnitOfMeasurement(pressure, U("kPa"));

    EXPECT_FALSE(local.UsesCurrentContext());
    EXPECT_EQ(local.GetUnitOfMeasurement(temperature), U("degF"));
    EXPECT_EQ(local.GetUnitOfMeasurement(nullptr), nullptr);
    // Units found through the parent are not stored as overrides.
    EXPECT_EQ(local.GetMeasurementUnitHashMap().size(), 2u);
    // Flattened onto Local: its parent is Field, and later overrides of Local are not seen.
    EXPECT_EQ(overLocal.GetUnitOfMeasurement(depth), U("m"));
    EXPECT_EQ(overLocal.GetUnitOfMeasurement(pressure), U("psi"));
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
    LocalUnitSystem current("Current", field);
    LocalUnitSystem other("Other", field);
    UnitService::SetUnitSystem(&current);
    std::vector<std::string> log;
    auto logLocal = [&](const LocalUnitSystem::ChangeDetails& change) {
        // The override is already stored when the handlers run.
        log.push_back("local " + change.GetLocalUnitSystem()->Name() + " " +
                      change.GetMeasurement()->Name() + " " +
                      change.GetLocalUnitSystem()->GetUnitOfMeasurement(depth)->Symbol());
    };
    LocalChanged currentLocal(current.m_LocalUnitSystemChanged, logLocal);
    LocalChanged otherLocal(other.m_LocalUnitSystemChanged, logLocal);
    CurrentChanged currentChanged(UnitService::m_CurrentUnitSystemChanged,
                                  [&](const UnitSystem::UnitSystemEventArgs& args) {
                                      log.push_back("current " + args.GetUnitSystem()->Name());
                                  });

    current.SetUnitOfMeasurement(depth, U("m"));
    current.SetUnitOfMeasurement(depth, U("m"));
    other.SetUnitOfMeasurement(depth, U("m"));

    EXPECT_EQ(log, (std::vector<std::string>{"local Current Depth m", "current Current",
                                             "local Current Depth m", "current Current",
                                             "local Other Depth m"}));
    EXPECT_EQ(UnitService::GetUnitSystem(), &current);
}

// A host that fills the registry itself can make a parentless local system the default "Metric",
// which SetUnitSystem would have refused: it must not ask itself for units.
TEST_F(LocalUnitSystemTest, AParentlessSystemThatIsCurrentRefusesEveryLookup) {
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
    EXPECT_EQ(MessageOf([&] { pressure->CurrentUnit(); }), refusal);
    // Setting an override installs the system again as current, which is refused after the
    // override is stored.
    EXPECT_EQ(MessageOf([&] { rogue->SetUnitOfMeasurement(pressure, U("psi")); }),
              "Current unit system must not refer to self");
    EXPECT_EQ(rogue->GetMeasurementUnitHashMap().at(pressure), U("psi"));
}

TEST_F(LocalUnitSystemTest, ACloneHasTheSameNameParentAndOverridesButNoHandlers) {
    LocalUnitSystem local("Local", field);
    local.SetUnitOfMeasurement(depth, U("m"));
    int raises = 0;
    LocalChanged counting(local.m_LocalUnitSystemChanged,
                          [&](const LocalUnitSystem::ChangeDetails&) { ++raises; });

    std::unique_ptr<LocalUnitSystem> clone(static_cast<LocalUnitSystem*>(local.Clone()));
    LocalUnitSystem copy(local);

    EXPECT_EQ(clone->Name(), "Local");
    EXPECT_EQ(clone->GetMeasurementUnitHashMap(), local.GetMeasurementUnitHashMap());
    EXPECT_EQ(clone->GetUnitOfMeasurement(pressure), U("psi"));
    clone->SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(raises, 0);
    EXPECT_EQ(local.GetUnitOfMeasurement(temperature), U("degF"));
    // A copy, unlike a clone, keeps the handlers.
    copy.SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(raises, 1);
}
