#include "SystemsTesting.h"

#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using systems_testing::MessageOf;
using systems_testing::OilfieldReader;

namespace {

/// Records, for every raise of the current-unit-system event, the system carried and the current
/// unit system that a handler sees (null when null was carried).
class CurrentEventLog {
public:
    struct Seen {
        UnitSystem* carried;
        UnitSystem* current;
        bool operator==(const Seen& other) const {
            return carried == other.carried && current == other.current;
        }
    };

    const std::vector<Seen>& Raises() const { return m_seen; }

private:
    std::vector<Seen> m_seen;
    systems_testing::Subscription<UnitSystem::UnitSystemEventArgs> m_subscription{
        UnitService::m_CurrentUnitSystemChanged,
        [this](const UnitSystem::UnitSystemEventArgs& args) {
            UnitSystem* carried = args.GetUnitSystem();
            m_seen.push_back({carried, carried ? UnitService::GetUnitSystem() : nullptr});
        }};
};

} // namespace

TEST(CurrentUnitSystem, RaisesItsEventOnEverySetAndNotForTheDefault) {
    OilfieldReader reader;
    UnitSystem* metric = UnitSystem::GetUnitSystem("Metric");
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    CurrentEventLog log;

    EXPECT_EQ(UnitService::GetUnitSystem(), metric);
    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("m"));
    EXPECT_TRUE(log.Raises().empty());

    UnitService::SetUnitSystem(field);
    UnitService::SetUnitSystem(field);
    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("ft"));
    UnitService::SetUnitSystem(nullptr);

    using Seen = CurrentEventLog::Seen;
    EXPECT_EQ(log.Raises(),
              (std::vector<Seen>{{field, field}, {field, field}, {nullptr, nullptr}}));
    // After null the default comes back, again without an event.
    EXPECT_EQ(UnitService::GetUnitSystem(), metric);
    EXPECT_EQ(log.Raises().size(), 3u);
}

TEST(CurrentUnitSystem, RefusesALocalSystemWithoutParentAndChangesNothing) {
    OilfieldReader reader;
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    UnitService::SetUnitSystem(field);
    CurrentEventLog log;
    LocalUnitSystem named("Named");
    LocalUnitSystem nullParent("Null parent", nullptr);
    LocalUnitSystem overField("Over field", field);

    EXPECT_EQ(MessageOf([&] { UnitService::SetUnitSystem(&named); }),
              "Current unit system must not refer to self");
    EXPECT_EQ(MessageOf([&] { UnitService::SetUnitSystem(&nullParent); }),
              "Current unit system must not refer to self");
    EXPECT_EQ(UnitService::GetUnitSystem(), field);
    EXPECT_TRUE(log.Raises().empty());

    UnitService::SetUnitSystem(&overField);
    EXPECT_EQ(UnitService::GetUnitSystem(), &overField);
    UnitService::SetUnitSystem(nullptr);
}

TEST(CurrentUnitSystem, WithoutMetricNothingBecomesCurrentUntilAHostSetsASystem) {
    orv_testing::CountingReader reader;
    systems_testing::AddOilfieldMeasurements(reader.records);
    systems_testing::AddFieldSystem(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    const std::string notFound = "Could not find a UnitSystem named 'Metric'!";
    EXPECT_EQ(MessageOf([&] { depth->CurrentUnit(); }), notFound);
    EXPECT_EQ(MessageOf([] { UnitService::GetUnitSystem(); }), notFound);

    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Field"));
    const int listings = reader.Calls("GetAllUnitSystemSpecs");
    EXPECT_EQ(depth->CurrentUnit(), Unit::GetUnit("ft"));
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), listings);
}
