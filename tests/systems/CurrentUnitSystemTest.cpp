#include "SystemsTesting.h"

#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;
using systems_testing::MessageOf;

namespace {

using CurrentChanged = systems_testing::Subscription<UnitSystem::UnitSystemEventArgs>;

/// What a handler of the current-unit-system event saw: the system carried and, unless it was
/// null, the current unit system at that moment.
struct Seen {
    UnitSystem* carried;
    UnitSystem* current;
};

/// Records every raise of the current-unit-system event while it lives.
class CurrentEventLog {
public:
    CurrentEventLog()
        : m_subscription(
              UnitService::m_CurrentUnitSystemChanged,
              [this](const UnitSystem::UnitSystemEventArgs& args) {
                  UnitSystem* carried = args.GetUnitSystem();
                  m_seen.push_back({carried, carried ? UnitService::GetUnitSystem() : nullptr});
              }) {}

    const std::vector<Seen>& Raises() const { return m_seen; }

private:
    std::vector<Seen> m_seen;
    CurrentChanged m_subscription;
};

} // namespace

TEST(CurrentUnitSystem, IsTheRegisteredMetricUntilSetAndComesWithoutAnEvent) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    CurrentEventLog log;

    UnitSystem* current = UnitService::GetUnitSystem();

    EXPECT_EQ(current, UnitSystem::GetUnitSystem("Metric"));
    EXPECT_EQ(UnitService::GetUnitSystem(), current);
    EXPECT_TRUE(log.Raises().empty());
}

TEST(CurrentUnitSystem, EverySetRaisesTheEventWithTheNewSystemAlreadyCurrent) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    CurrentEventLog log;

    UnitService::SetUnitSystem(field);
    UnitService::SetUnitSystem(field);

    ASSERT_EQ(log.Raises().size(), 2u);
    for (const Seen& seen : log.Raises()) {
        EXPECT_EQ(seen.carried, field);
        EXPECT_EQ(seen.current, field);
    }
    EXPECT_EQ(UnitService::GetUnitSystem(), field);
}

TEST(CurrentUnitSystem, SettingNullRaisesWithNullAndTheDefaultComesBackSilently) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Field"));
    CurrentEventLog log;

    UnitService::SetUnitSystem(nullptr);

    ASSERT_EQ(log.Raises().size(), 1u);
    EXPECT_EQ(log.Raises()[0].carried, nullptr);
    EXPECT_EQ(UnitService::GetUnitSystem(), UnitSystem::GetUnitSystem("Metric"));
    EXPECT_EQ(log.Raises().size(), 1u);
}

TEST(CurrentUnitSystem, RefusesALocalSystemWithoutParentAndChangesNothing) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    UnitService::SetUnitSystem(field);
    CurrentEventLog log;
    LocalUnitSystem named("Named");
    LocalUnitSystem nullParent("Null parent", nullptr);

    EXPECT_EQ(MessageOf([&] { UnitService::SetUnitSystem(&named); }),
              "Current unit system must not refer to self");
    EXPECT_EQ(MessageOf([&] { UnitService::SetUnitSystem(&nullParent); }),
              "Current unit system must not refer to self");

    EXPECT_EQ(UnitService::GetUnitSystem(), field);
    EXPECT_TRUE(log.Raises().empty());
}

TEST(CurrentUnitSystem, AcceptsALocalSystemWithAParent) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    LocalUnitSystem local("Local", UnitSystem::GetUnitSystem("Field"));
    CurrentEventLog log;

    UnitService::SetUnitSystem(&local);

    EXPECT_EQ(UnitService::GetUnitSystem(), &local);
    ASSERT_EQ(log.Raises().size(), 1u);
    EXPECT_EQ(log.Raises()[0].carried, &local);
    UnitService::SetUnitSystem(nullptr);
}

TEST(CurrentUnitSystem, MeasurementsAnswerTheirUnitInTheCurrentSystem) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");
    Measurement* pressure = Measurement::GetMeasurement("Pressure");

    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("m"));
    EXPECT_EQ(pressure->CurrentUnit(), Unit::GetUnit("kPa"));

    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Field"));
    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("ft"));
    EXPECT_EQ(pressure->CurrentUnit(), Unit::GetUnit("psi"));
}

TEST(CurrentUnitSystem, WithoutMetricNothingBecomesCurrentUntilAHostSetsASystem) {
    CountingReader reader;
    systems_testing::AddOilfieldMeasurements(reader.records);
    systems_testing::AddFieldSystem(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    const std::string notFound = "Could not find a UnitSystem named 'Metric'!";
    EXPECT_EQ(MessageOf([&] { depth->CurrentUnit(); }), notFound);
    EXPECT_EQ(MessageOf([] { UnitService::GetUnitSystem(); }), notFound);
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), 2);

    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Field"));
    const int listings = reader.Calls("GetAllUnitSystemSpecs");
    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("ft"));
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), listings);
}

TEST(CurrentUnitSystem, WithoutAReaderNothingBecomesCurrent) {
    EXPECT_EQ(MessageOf([] { UnitService::GetUnitSystem(); }),
              "Unit Service is not initialized with a Unit Reader.\n"
              "Please use UnitService.UnitReader to set a Unit Reader.");

    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    EXPECT_EQ(UnitService::GetUnitSystem(), UnitSystem::GetUnitSystem("Metric"));
}

TEST(CurrentUnitSystem, AHandlerThatThrowsLeavesTheNewSystemCurrent) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    CurrentChanged failing(
        UnitService::m_CurrentUnitSystemChanged,
        [](const UnitSystem::UnitSystemEventArgs&) { throw std::runtime_error("handler failed"); });

    EXPECT_THROW(UnitService::SetUnitSystem(field), std::runtime_error);
    EXPECT_EQ(UnitService::GetUnitSystem(), field);
}
