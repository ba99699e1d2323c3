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
using systems_testing::CurrentChanges;
using systems_testing::MessageOf;

namespace {

class CurrentAndLocal : public testing::Test {
protected:
    ~CurrentAndLocal() override {
        // The tests' local systems live on their stack; none may stay current.
        UnitService::SetUnitSystem(nullptr);
    }

    static Unit* U(const char* symbol) { return Unit::GetUnit(symbol); }

    systems_testing::OilfieldReader reader;
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    Measurement* pressure = Measurement::GetMeasurement("Pressure");
    Measurement* temperature = Measurement::GetMeasurement("Temperature");
    LocalUnitSystem local{"Local", field};
    int raises = 0; // of Local's own event
    std::size_t counting = local.m_LocalUnitSystemChanged.Subscribe(
        [this](const LocalUnitSystem::ChangeDetails&) { ++raises; });
};

} // namespace

// A local system without parent answers from the current system, so it cannot be it.
TEST_F(CurrentAndLocal, TheCurrentSystemRaisesItsEventOnEverySetAndNotForTheDefault) {
    CurrentChanges changes;
    LocalUnitSystem named("Named");
    LocalUnitSystem nullParent("Null parent", nullptr);

    EXPECT_EQ(depth->CurrentUnit(), U("m"));
    UnitService::SetUnitSystem(field);
    UnitService::SetUnitSystem(field);
    EXPECT_EQ(depth->CurrentUnit(), U("ft"));
    for (LocalUnitSystem* parentless : {&named, &nullParent}) {
        EXPECT_EQ(MessageOf([&] { UnitService::SetUnitSystem(parentless); }),
                  "Current unit system must not refer to self");
    }
    EXPECT_EQ(UnitService::GetUnitSystem(), field);
    UnitService::SetUnitSystem(&local);
    UnitService::SetUnitSystem(nullptr);
    // After null the default comes back, again without an event.
    EXPECT_EQ(UnitService::GetUnitSystem(), UnitSystem::GetUnitSystem("Metric"));

    EXPECT_EQ(changes.carried, (std::vector<UnitSystem*>{field, field, &local, nullptr}));
    EXPECT_TRUE(changes.alreadyCurrent);
}

TEST(CurrentUnitSystem, WithoutMetricNothingIsCurrentUntilAHostSetsASystem) {
    orv_testing::CountingReader reader;
    systems_testing::AddOilfieldMeasurements(reader.records);
    systems_testing::AddFieldSystem(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    const std::string notFound = "Could not find a UnitSystem named 'Metric'!";
    EXPECT_EQ(MessageOf([&] { depth->CurrentUnit(); }), notFound);
    EXPECT_EQ(MessageOf([] { UnitService::GetUnitSystem(); }), notFound);

    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Field"));
    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("ft"));
}

// A local system made over another local one takes that one's parent and a copy of its
// overrides, so later overrides of it are not seen.
TEST_F(CurrentAndLocal, ALocalSystemAnswersFromItsOverridesThenItsParentOrTheCurrentSystem) {
    local.SetUnitOfMeasurement(depth, U("m"));
    LocalUnitSystem overLocal("Over local", &local);
    local.SetUnitOfMeasurement(pressure, U("kPa"));
    LocalUnitSystem named("Named");
    named.SetUnitOfMeasurement(temperature, U("K"));
    LocalUnitSystem nullParent("Null parent", nullptr);
    LocalUnitSystem overNamed("Over named", &named);

    EXPECT_EQ(local.GetUnitOfMeasurement(temperature), U("degF"));
    EXPECT_EQ(local.GetUnitOfMeasurement(nullptr), nullptr);
    // Units found through the parent are not stored as overrides.
    EXPECT_EQ(local.GetMeasurementUnitHashMap().size(), 2u);
    EXPECT_EQ(overLocal.GetUnitOfMeasurement(depth), U("m"));
    EXPECT_EQ(overLocal.GetUnitOfMeasurement(pressure), U("psi"));

    EXPECT_FALSE(local.UsesCurrentContext());
    EXPECT_TRUE(overNamed.UsesCurrentContext());
    EXPECT_EQ(nullParent.GetUnitOfMeasurement(depth), U("m"));
    UnitService::SetUnitSystem(field);
    EXPECT_EQ(nullParent.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(overNamed.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(overNamed.GetUnitOfMeasurement(temperature), U("K"));
}

TEST_F(CurrentAndLocal, ALocalSystemRefusesBadOverridesAndChangesNothing) {
    local.SetUnitOfMeasurement(depth, U("ft"));

    EXPECT_EQ(MessageOf([&] { local.SetUnitOfMeasurement(nullptr, U("m")); }),
              "Cannot modify a NULL measurement");
    EXPECT_EQ(MessageOf([&] { local.SetUnitOfMeasurement(depth, nullptr); }),
              "Cannot set Depth to a NULL unit");
    EXPECT_EQ(MessageOf([&] { local.SetUnitOfMeasurement(depth, U("psi")); }),
              "Cannot set Depth( Length ) to pound per square inch( Pressure )");

    EXPECT_EQ(local.GetMeasurementUnitHashMap(),
              (std::map<const Measurement*, Unit*>{{depth, U("ft")}}));
    EXPECT_EQ(raises, 1);
}

// Each local handler notes how many current events were raised before it ran.
TEST_F(CurrentAndLocal, ALocalSystemRaisesItsOwnEventThenTheCurrentEventWhenItIsCurrent) {
    LocalUnitSystem other("Other", field);
    UnitService::SetUnitSystem(&local);
    CurrentChanges changes;
    std::vector<std::string> log;
    auto note = [&](const LocalUnitSystem::ChangeDetails& change) {
        // The override is already stored when the handlers run.
        log.push_back(change.GetLocalUnitSystem()->Name() + " " + change.GetMeasurement()->Name() +
                      " " + change.GetLocalUnitSystem()->GetUnitOfMeasurement(depth)->Symbol() +
                      " after " + std::to_string(changes.carried.size()));
    };
    local.m_LocalUnitSystemChanged.Subscribe(note);
    other.m_LocalUnitSystemChanged.Subscribe(note);

    local.SetUnitOfMeasurement(depth, U("m"));
    local.SetUnitOfMeasurement(depth, U("m"));
    other.SetUnitOfMeasurement(depth, U("m"));

    EXPECT_EQ(log, (std::vector<std::string>{"Local Depth m after 0", "Local Depth m after 1",
                                             "Other Depth m after 2"}));
    EXPECT_EQ(changes.carried, (std::vector<UnitSystem*>{&local, &local}));
}

// A host that fills the registry itself can make a parentless local system the default "Metric",
// which SetUnitSystem would have refused: it must not ask itself for units.
TEST_F(CurrentAndLocal, AParentlessLocalSystemThatIsCurrentRefusesEveryLookup) {
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

TEST_F(CurrentAndLocal, ALocalSystemsCloneHasItsNameParentAndOverridesButNoHandlers) {
    local.SetUnitOfMeasurement(depth, U("m"));
    std::unique_ptr<LocalUnitSystem> clone(static_cast<LocalUnitSystem*>(local.Clone()));
    LocalUnitSystem copy(local);

    EXPECT_EQ(clone->Name(), "Local");
    EXPECT_EQ(clone->GetMeasurementUnitHashMap(), local.GetMeasurementUnitHashMap());
    EXPECT_EQ(clone->GetUnitOfMeasurement(pressure), U("psi"));
    clone->SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(local.GetUnitOfMeasurement(temperature), U("degF"));
    // A copy, unlike a clone, keeps the handlers.
    copy.SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(raises, 2);
}
