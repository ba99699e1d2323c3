#include "SystemsTesting.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using systems_testing::MessageOf;
using systems_testing::OilfieldReader;
using systems_testing::TrackedUnitSystem;

namespace {

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
// registry as it is now.
TEST(UnitSystemRegistry, IsNotFilledOnceAHostHasAppendedASystem) {
    OilfieldReader reader;
    UnitSystemArray host;
    host.push_back(new TrackedUnitSystem("Mine"));
    const UnitSystemArray systems = UnitSystem::UnitSystems();

    host.push_back(new TrackedUnitSystem("Yours"));

    EXPECT_EQ(NamesOf(systems), (std::vector<std::string>{"Mine", "Yours"}));
    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("Metric"); }),
              "Could not find a UnitSystem named 'Metric'!");
}

TEST(UnitSystem, SortsMetricFirstThenNamesInUnsignedByteOrder) {
    TrackedUnitSystem metric("Metric");
    TrackedUnitSystem field("Field");
    TrackedUnitSystem lower("metric");

    EXPECT_EQ(metric.CompareTo(nullptr), 1);
    EXPECT_EQ(metric.CompareTo(&metric), 0);
    EXPECT_EQ(metric.CompareTo(&field), -1);
    EXPECT_EQ(field.CompareTo(&metric), 1);
    // "metric" is not the system named Metric: it sorts by name, after the capitals.
    EXPECT_EQ(lower.CompareTo(&field), 1);
}

TEST(UnitSystem, AsksTheReaderOnceAndRemembersTheUnit) {
    OilfieldReader reader;
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");

    EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("ft"));
    EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("ft"));
    EXPECT_EQ(field->GetUnitOfMeasurement(nullptr), nullptr);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement"), 1);
}

// A missing definition falls back to the base unit once and for all; a unit of another
// dimension is returned but never remembered, so it is reported on every call.
TEST(UnitSystem, ReportsInconsistentDataOnStandardOutputWithoutFlushing) {
    OilfieldReader reader;
    reader.records.SetUnitOfMeasurement("Field", "Temperature", "psi");
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* height = Measurement::GetMeasurement("Height");
    Measurement* temperature = Measurement::GetMeasurement("Temperature");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    // A null stored by a caller means the base unit, and stays.
    field->GetMeasurementUnitHashMap()[depth] = nullptr;
    systems_testing::CoutCapture out;

    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(field->GetUnitOfMeasurement(height), Unit::GetUnit("m"));
        EXPECT_EQ(field->GetUnitOfMeasurement(temperature), Unit::GetUnit("psi"));
        EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("m"));
    }

    const std::string wrong = "The unit 'psi' for Field.Temperature has the wrong Dimension.\n";
    EXPECT_EQ(out.Text(), "Unit system Field has no definition for Height\n" + wrong + wrong);
    EXPECT_EQ(out.Flushes(), 0);
    EXPECT_EQ(
        field->GetMeasurementUnitHashMap(),
        (std::map<const Measurement*, Unit*>{{height, Unit::GetUnit("m")}, {depth, nullptr}}));
}
