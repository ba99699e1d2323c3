#include "SystemsTesting.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/interfaces/ConverterEngine.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;
using systems_testing::CoutCapture;
using systems_testing::MessageOf;
using systems_testing::TrackedUnitSystem;

namespace {

const char* const kNoReader = "Unit Service is not initialized with a Unit Reader.\n"
                              "Please use UnitService.UnitReader to set a Unit Reader.";

/// Answers the list of unit system records with null entries around the real ones.
class PaddedListReader : public CountingReader {
public:
    std::vector<const Reader::UnitSystemSpec*> GetAllUnitSystemSpecs() override {
        std::vector<const Reader::UnitSystemSpec*> list = CountingReader::GetAllUnitSystemSpecs();
        list.insert(list.begin(), nullptr);
        list.push_back(nullptr);
        return list;
    }
};

std::vector<std::string> NamesOf(const UnitSystemArray& systems) {
    std::vector<std::string> names;
    for (const UnitSystem* unitSystem : systems) {
        names.push_back(unitSystem->Name());
    }
    return names;
}

} // namespace

TEST(UnitSystemRegistry, FindsTheSameSystemEveryTimeAndAsksForTheListEachTime) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);

    UnitSystem* metric = UnitSystem::GetUnitSystem("Metric");

    EXPECT_EQ(metric->Name(), "Metric");
    EXPECT_EQ(metric->ClassType(), UnitSystem::e_UnitSystem);
    EXPECT_EQ(UnitSystem::GetUnitSystem("Metric"), metric);
    EXPECT_EQ(UnitSystem::UnitSystems().size(), 2u);
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), 3);
}

TEST(UnitSystemRegistry, MatchesNamesExactly) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("metric"); }),
              "Could not find a UnitSystem named 'metric'!");
    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("Metric "); }),
              "Could not find a UnitSystem named 'Metric '!");
}

TEST(UnitSystemRegistry, KeepsTheReadersOrderAndEveryValidRecordOfOneName) {
    PaddedListReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.AddUnitSystem("Broken").valid = false;
    reader.records.AddUnitSystem("Field");
    UnitService::UnitReader(&reader);

    const UnitSystemArray systems = UnitSystem::UnitSystems();

    EXPECT_EQ(NamesOf(systems), (std::vector<std::string>{"Metric", "Field", "Field"}));
    EXPECT_NE(systems[1], systems[2]);
    EXPECT_EQ(UnitSystem::GetUnitSystem("Field"), systems[1]);
    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("Broken"); }),
              "Could not find a UnitSystem named 'Broken'!");
}

TEST(UnitSystemRegistry, RefusesLookupsWithoutAReaderEvenWhenAHostFilledIt) {
    UnitSystemArray host;
    host.push_back(new TrackedUnitSystem("Metric"));

    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("Metric"); }), kNoReader);
    EXPECT_EQ(MessageOf([] { UnitSystem::UnitSystems(); }), kNoReader);
    EXPECT_EQ(host.size(), 1u);
}

TEST(UnitSystemRegistry, IsNotFilledFromTheReaderOnceAHostHasAppendedASystem) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystemArray host;
    host.push_back(new TrackedUnitSystem("Mine"));

    EXPECT_EQ(MessageOf([] { UnitSystem::GetUnitSystem("Metric"); }),
              "Could not find a UnitSystem named 'Metric'!");
    EXPECT_EQ(NamesOf(UnitSystem::UnitSystems()), std::vector<std::string>{"Mine"});
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), 2);
}

TEST(UnitSystemRegistry, HandlesSeeTheRegistryAsItIsNow) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    const UnitSystemArray systems = UnitSystem::UnitSystems();
    static int deletions = 0;

    {
        UnitSystemArray other;
        other.push_back(new TrackedUnitSystem("Mine", &deletions));
    }

    EXPECT_EQ(NamesOf(systems), (std::vector<std::string>{"Metric", "Field", "Mine"}));
    EXPECT_EQ(UnitSystem::GetUnitSystem("Mine"), systems[2]);
    EXPECT_EQ(deletions, 0);
}

TEST(UnitSystem, SortsMetricFirstThenNamesInUnsignedByteOrder) {
    TrackedUnitSystem metric("Metric");
    TrackedUnitSystem field("Field");
    TrackedUnitSystem abc("Abc");
    TrackedUnitSystem lower("metric");
    TrackedUnitSystem otherMetric("Metric");

    EXPECT_EQ(metric.CompareTo(nullptr), 1);
    EXPECT_EQ(metric.CompareTo(&otherMetric), 0);
    EXPECT_EQ(metric.CompareTo(&abc), -1);
    EXPECT_EQ(abc.CompareTo(&metric), 1);
    // "metric" is not the system named Metric: it sorts by name, after capitals.
    EXPECT_EQ(lower.CompareTo(&metric), 1);
    EXPECT_EQ(lower.CompareTo(&field), 1);
    EXPECT_EQ(field.CompareTo(&lower), -1);
    EXPECT_EQ(abc.CompareTo(&field), -1);
}

TEST(UnitSystem, CopiesAreNotRegisteredAndLeaveTheOriginalRegistered) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    field->GetUnitOfMeasurement(depth);

    {
        UnitSystem copy(*field);
        EXPECT_EQ(copy.Name(), "Field");
        EXPECT_EQ(copy.CompareTo(field), 0);
        EXPECT_EQ(copy.GetMeasurementUnitHashMap(), field->GetMeasurementUnitHashMap());
        EXPECT_EQ(UnitSystem::UnitSystems().size(), 2u);
    }

    EXPECT_EQ(UnitSystem::GetUnitSystem("Field"), field);
    EXPECT_EQ(UnitSystem::UnitSystems().size(), 2u);
}

TEST(UnitSystem, AsksTheReaderOnceForAUnitAndRemembersIt) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    CoutCapture out;

    EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("ft"));
    EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("ft"));

    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement", "Field.Depth"), 1);
    EXPECT_EQ(field->GetMeasurementUnitHashMap().at(depth), Unit::GetUnit("ft"));
    EXPECT_EQ(out.Text(), "");
}

TEST(UnitSystem, AnswersNullForANullMeasurementWithoutAskingTheReader) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");

    EXPECT_EQ(field->GetUnitOfMeasurement(nullptr), nullptr);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement"), 0);
}

TEST(UnitSystem, FallsBackToTheBaseUnitWithOneUnflushedDiagnostic) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* height = Measurement::GetMeasurement("Height");
    CoutCapture out;

    EXPECT_EQ(field->GetUnitOfMeasurement(height), Unit::GetUnit("m"));
    EXPECT_EQ(field->GetUnitOfMeasurement(height), Unit::GetUnit("m"));

    EXPECT_EQ(out.Text(), "Unit system Field has no definition for Height\n");
    EXPECT_EQ(out.Flushes(), 0);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement", "Field.Height"), 1);
}

TEST(UnitSystem, ReturnsAUnitOfAnotherDimensionAndReportsItOnEveryCall) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.SetUnitOfMeasurement("Field", "Height", "psi");
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* height = Measurement::GetMeasurement("Height");
    CoutCapture out;

    EXPECT_EQ(field->GetUnitOfMeasurement(height), Unit::GetUnit("psi"));
    EXPECT_EQ(field->GetUnitOfMeasurement(height), Unit::GetUnit("psi"));

    const std::string line = "The unit 'psi' for Field.Height has the wrong Dimension.\n";
    EXPECT_EQ(out.Text(), line + line);
    EXPECT_EQ(out.Flushes(), 0);
    EXPECT_EQ(field->GetMeasurementUnitHashMap().count(height), 0u);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement", "Field.Height"), 2);
}

TEST(UnitSystem, AnswersTheBaseUnitForAStoredNullAndKeepsTheNull) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    field->GetMeasurementUnitHashMap()[depth] = nullptr;
    CoutCapture out;

    EXPECT_EQ(field->GetUnitOfMeasurement(depth), Unit::GetUnit("m"));

    EXPECT_EQ(field->GetMeasurementUnitHashMap().at(depth), nullptr);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement"), 0);
    EXPECT_EQ(out.Text(), "");
}

TEST(UnitSystem, PassesOnAnUnknownUnitSymbolAndRemembersNothing) {
    Converter::LinearUnitConverter fathomToMetre(1.8288, 0.0);
    Reader::UnitSpec fathom;
    fathom.symbol = "fathom";
    fathom.name = "fathom";
    fathom.dimensionName = "Length";
    fathom.converter = &fathomToMetre;
    class FathomReader : public CountingReader {
    public:
        explicit FathomReader(const Reader::UnitSpec* record) : m_record(record) {}
        const Reader::UnitSpec* GetUnitSpecOfMeasurement(const std::string& system,
                                                         const std::string& measurement) override {
            CountingReader::GetUnitSpecOfMeasurement(system, measurement);
            return m_record;
        }

    private:
        const Reader::UnitSpec* m_record;
    } reader(&fathom);
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    UnitSystem* field = UnitSystem::GetUnitSystem("Field");
    Measurement* depth = Measurement::GetMeasurement("Depth");

    EXPECT_EQ(MessageOf([&] { field->GetUnitOfMeasurement(depth); }),
              "Could not find a Unit with symbol 'fathom'!");
    EXPECT_TRUE(field->GetMeasurementUnitHashMap().empty());
}
