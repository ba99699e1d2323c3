#include "SystemsTesting.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using systems_testing::MessageOf;
using systems_testing::OilfieldReader;

namespace {

/// A host's own unit system, which calls `onDeletion` when deleted. One still registered at exit
/// is deleted then, so its action must not use the test's locals.
class HostUnitSystem : public UnitSystem {
public:
    explicit HostUnitSystem(const std::string& name, std::function<void()> onDeletion = {})
        : UnitSystem(name), m_onDeletion(std::move(onDeletion)) {}
    ~HostUnitSystem() override {
        if (m_onDeletion) {
            m_onDeletion();
        }
    }

private:
    std::function<void()> m_onDeletion;
};

std::vector<std::string> NamesOf(const UnitSystemArray& systems) {
    std::vector<std::string> names;
    for (const UnitSystem* unitSystem : systems) {
        names.push_back(unitSystem->Name());
    }
    return names;
}

} // namespace

TEST(UnitSystemRegistry, FillsFromTheReaderInItsOrderAndFindsExactNames) {
    struct PaddedReader : OilfieldReader {
        std::vector<const Reader::UnitSystemSpec*> GetAllUnitSystemSpecs() override {
            std::vector<const Reader::UnitSystemSpec*> list =
                CountingReader::GetAllUnitSystemSpecs();
            list.insert(list.begin(), nullptr);
            return list;
        }
    } reader;
    reader.records.AddUnitSystem("Broken").valid = false;
    reader.records.AddUnitSystem("Field");

    const UnitSystemArray systems = UnitSystem::UnitSystems();

    EXPECT_EQ(NamesOf(systems), (std::vector<std::string>{"Metric", "Field", "Field"}));
    EXPECT_EQ(UnitSystem::GetUnitSystem("Field"), systems[1]);
    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("metric"); }),
              "Could not find a UnitSystem named 'metric'!");
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), 3);
}

// A registry that holds anything is never filled from the reader, and every handle sees the one
// registry as it is now. A system that a host deletes leaves it, every entry of it.
TEST(UnitSystemRegistry, IsNotFilledOnceAHostHasAppendedASystem) {
    OilfieldReader reader;
    UnitSystemArray host;
    auto* mine = new HostUnitSystem("Mine");
    host.push_back(mine);
    const UnitSystemArray systems = UnitSystem::UnitSystems();
    host.push_back(new HostUnitSystem("Yours"));
    host.push_back(mine);
    EXPECT_EQ(NamesOf(systems), (std::vector<std::string>{"Mine", "Yours", "Mine"}));

    delete mine;

    EXPECT_EQ(NamesOf(systems), std::vector<std::string>{"Yours"});
}

// Entries pushed by a host need not be well formed: a null entry deletes nothing, and a system
// appended twice is deleted once.
TEST(UnitSystemRegistry, TheLastHandleDeletesEachRegisteredSystemOnce) {
    int deletions = 0;
    {
        UnitSystemArray outer;
        {
            UnitSystemArray inner(outer);
            auto* twice = new HostUnitSystem("Twice", [&] { ++deletions; });
            inner.push_back(new HostUnitSystem("Once", [&] { ++deletions; }));
            inner.push_back(nullptr);
            inner.push_back(twice);
            inner.push_back(twice);
        }
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(UnitSystemArray().size(), 0u);
}

TEST(UnitSystemRegistry, TheLibrarysOwnHandleReleasesItAtExit) {
    EXPECT_EXIT(
        {
            OilfieldReader reader;
            UnitSystem::UnitSystems().push_back(new HostUnitSystem("Exits", [] { std::_Exit(3); }));
            std::exit(0);
        },
        testing::ExitedWithCode(3), "");
}

TEST(UnitSystemRegistry, AnAssignedHandleStopsTheReleaseAtExit) {
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
                systems.push_back(new HostUnitSystem("Exits", [] { std::_Exit(3); }));
            }
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(UnitSystem, SortsMetricFirstThenNamesInByteOrder) {
    HostUnitSystem metric("Metric");
    HostUnitSystem field("Field");
    HostUnitSystem lower("metric"); // not the system named Metric: it sorts by name

    EXPECT_EQ(metric.CompareTo(nullptr), 1);
    EXPECT_EQ(metric.CompareTo(&metric), 0);
    EXPECT_EQ(metric.CompareTo(&field), -1);
    EXPECT_EQ(lower.CompareTo(&field), 1);
}

// A unit is asked for once and remembered; a missing definition falls back to the base unit once
// and for all; a unit of another dimension is returned but never remembered, so it is asked for
// and reported on every call.
TEST(UnitSystem, RemembersGoodAnswersAndReportsInconsistentDataOnStandardOutput) {
    OilfieldReader reader;
    reader.records.SetUnitOfMeasurement("Field", "Temperature", "psi");
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* height = Measurement::GetMeasurement("Height");
    Measurement* temperature = Measurement::GetMeasurement("Temperature");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    Measurement* pressure = Measurement::GetMeasurement("Pressure");
    // A null stored by a caller means the base unit, and stays.
    field->GetMeasurementUnitHashMap()[depth] = nullptr;
    systems_testing::CoutCapture out;

    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(field->GetUnitOfMeasurement(pressure), Unit::GetUnit("psi"));
        EXPECT_EQ(field->GetUnitOfMeasurement(height), Unit::GetUnit("m"));
        EXPECT_EQ(field->GetUnitOfMeasurement(temperature), Unit::GetUnit("psi"));
        EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("m"));
        EXPECT_EQ(field->GetUnitOfMeasurement(nullptr), nullptr);
    }

    const std::string wrong = "The unit 'psi' for Field.Temperature has the wrong Dimension.\n";
    EXPECT_EQ(out.Text(), "Unit system Field has no definition for Height\n" + wrong + wrong);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement"), 4); // Pressure, Height, Temperature twice
    EXPECT_EQ(field->GetMeasurementUnitHashMap(),
              (std::map<const Measurement*, Unit*>{{pressure, Unit::GetUnit("psi")},
                                                   {height, Unit::GetUnit("m")},
                                                   {depth, nullptr}}));
}
