#include "SystemsTesting.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::CountingReader;
using systems_testing::MessageOf;

namespace {

/// Answers the list of measurement records with a null entry before and after the real ones.
class PaddedListReader : public CountingReader {
public:
    std::vector<const Reader::MeasurementSpec*> GetAllMeasurementSpecs() override {
        std::vector<const Reader::MeasurementSpec*> list = CountingReader::GetAllMeasurementSpecs();
        list.insert(list.begin(), nullptr);
        list.push_back(nullptr);
        return list;
    }
};

std::vector<std::string> NamesOf(const std::vector<Measurement*>& measurements) {
    std::vector<std::string> names;
    for (const Measurement* measurement : measurements) {
        names.push_back(measurement->Name());
    }
    return names;
}

} // namespace

TEST(MeasurementCatalogue, HandsOutOnePointerPerNameAndAsksTheReaderOnce) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);

    Measurement* first = Measurement::GetMeasurement("Depth");
    Measurement* second = Measurement::GetMeasurement("Depth");

    EXPECT_EQ(first, second);
    EXPECT_EQ(first->Name(), "Depth");
    EXPECT_EQ(first->GetDimension(), Dimension::GetDimension("Length"));
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "Depth"), 1);
}

TEST(MeasurementCatalogue, TreatsNamesDifferingInCaseAsDifferentMeasurements) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.AddMeasurement("depth", "Length");
    UnitService::UnitReader(&reader);

    EXPECT_NE(Measurement::GetMeasurement("Depth"), Measurement::GetMeasurement("depth"));
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "Depth"), 1);
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "depth"), 1);
}

TEST(MeasurementCatalogue, ReportsUnknownAndInvalidRecordsAsNotFound) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.AddMeasurement("Porosity", "Length").valid = false;
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("Viscosity"); }),
              "Could not find a Measurement named 'Viscosity'!");
    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("Porosity"); }),
              "Could not find a Measurement named 'Porosity'!");
    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("depth"); }),
              "Could not find a Measurement named 'depth'!");
}

TEST(MeasurementCatalogue, PassesOnAnUnknownDimensionAndKeepsNoEntry) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.AddMeasurement("Flow rate", "Volume per time");
    UnitService::UnitReader(&reader);

    const std::string message = "Could not find a Dimension named 'Volume per time'!";
    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("Flow rate"); }), message);
    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("Flow rate"); }), message);
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "Flow rate"), 2);
}

// The catalogue files what the record names, not what was asked: a reader that answers under
// another name makes the asked name miss again and collide with the record's name.
TEST(MeasurementCatalogue, FilesARecordUnderItsOwnName) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.AddMeasurement("MD", "Length").name = "Measured depth";
    UnitService::UnitReader(&reader);

    Measurement* measured = Measurement::GetMeasurement("MD");
    EXPECT_EQ(measured->Name(), "Measured depth");
    EXPECT_EQ(Measurement::GetMeasurement("Measured depth"), measured);
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "Measured depth"), 0);

    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("MD"); }),
              "Attempting to add duplicate \"Measured depth\" measurement");
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "MD"), 2);
    EXPECT_EQ(Measurement::GetMeasurement("Measured depth"), measured);
}

TEST(MeasurementCatalogue, ListsInUnsignedByteOrderAndReadsTheListOnce) {
    CountingReader reader;
    reader.records.AddDimension("Length", "m");
    reader.records.AddUnit("m", "metre", "Length", 1.0);
    // A UTF-8 name starts with a byte above 127: unsigned, it sorts after every ASCII letter.
    for (const char* name : {"pressure", "\xC3\x89tage", "Zenith", "area", "Depth"}) {
        reader.records.AddMeasurement(name, "Length");
    }
    UnitService::UnitReader(&reader);

    const std::vector<Measurement*> first = Measurement::GetAllMeasurements();
    EXPECT_EQ(NamesOf(first),
              (std::vector<std::string>{"Depth", "Zenith", "area", "pressure", "\xC3\x89tage"}));

    reader.records.AddMeasurement("Offset", "Length");
    Measurement* offset = Measurement::GetMeasurement("Offset");
    const std::vector<Measurement*> second = Measurement::GetAllMeasurements();

    EXPECT_EQ(reader.Calls("GetAllMeasurementSpecs"), 1);
    std::vector<Measurement*> expected = first;
    expected.insert(expected.begin() + 1, offset);
    EXPECT_EQ(second, expected);
}

TEST(MeasurementCatalogue, ListingSkipsNullInvalidRepeatedAndKnownRecords) {
    PaddedListReader reader;
    reader.records.AddDimension("Length", "m");
    reader.records.AddUnit("m", "metre", "Length", 1.0);
    reader.records.AddDimension("Pressure", "Pa");
    reader.records.AddUnit("Pa", "pascal", "Pressure", 1.0);
    reader.records.AddMeasurement("Depth", "Length");
    reader.records.AddMeasurement("Broken", "Length").valid = false;
    reader.records.AddMeasurement("Depth", "Pressure");
    reader.records.AddMeasurement("Pressure", "Pressure");
    UnitService::UnitReader(&reader);
    Measurement* pressure = Measurement::GetMeasurement("Pressure");

    const std::vector<Measurement*> all = Measurement::GetAllMeasurements();

    EXPECT_EQ(NamesOf(all), (std::vector<std::string>{"Depth", "Pressure"}));
    EXPECT_EQ(all[0]->GetDimension()->Name(), "Length");
    EXPECT_EQ(all[1], pressure);
}

TEST(MeasurementCatalogue, ListingAnEmptyReaderListGivesWhatLookupsMadeAndReadsNoMore) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    class EmptyListReader : public CountingReader {
    public:
        std::vector<const Reader::MeasurementSpec*> GetAllMeasurementSpecs() override {
            CountingReader::GetAllMeasurementSpecs();
            return {};
        }
    } empty;
    UnitService::UnitReader(&empty);

    EXPECT_EQ(Measurement::GetAllMeasurements(), std::vector<Measurement*>{depth});
    EXPECT_EQ(Measurement::GetAllMeasurements(), std::vector<Measurement*>{depth});
    EXPECT_EQ(empty.Calls("GetAllMeasurementSpecs"), 1);
}

TEST(MeasurementCatalogue, AFailedListingKeepsWhatItBuiltAndReadsTheListAgain) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    Reader::MeasurementSpec& broken = reader.records.AddMeasurement("Rate", "Volume per time");
    UnitService::UnitReader(&reader);

    EXPECT_EQ(MessageOf([] { Measurement::GetAllMeasurements(); }),
              "Could not find a Dimension named 'Volume per time'!");
    // The records before Rate in the reader's list were built and stay.
    for (const char* name : {"Depth", "Height", "Pressure", "Temperature"}) {
        Measurement::GetMeasurement(name);
    }
    EXPECT_EQ(reader.Calls("GetMeasurementSpec"), 0);

    broken.dimensionName = "Length";
    EXPECT_EQ(NamesOf(Measurement::GetAllMeasurements()),
              (std::vector<std::string>{"Depth", "Height", "Pressure", "Rate", "Temperature"}));
    EXPECT_EQ(reader.Calls("GetAllMeasurementSpecs"), 2);
}

TEST(Measurement, DescribesItselfAndTakesItsDimensionsBaseUnit) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    EXPECT_EQ(depth->ToString(), "Measurement Depth");
    EXPECT_EQ(depth->BaseUnit(), Unit::GetUnit("m"));
    EXPECT_EQ(depth->BaseUnit(), depth->GetDimension()->BaseUnit());
}

TEST(Measurement, OrdersByDimensionThenByNameInUnsignedByteOrder) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    reader.records.AddMeasurement("Zenith", "Length");
    reader.records.AddMeasurement("altitude", "Length");
    reader.records.AddMeasurement("Annulus pressure", "Pressure");
    UnitService::UnitReader(&reader);
    Measurement* zenith = Measurement::GetMeasurement("Zenith");
    Measurement* altitude = Measurement::GetMeasurement("altitude");
    Measurement* annulus = Measurement::GetMeasurement("Annulus pressure");

    EXPECT_EQ(zenith->CompareTo(nullptr), 1);
    EXPECT_EQ(zenith->CompareTo(zenith), 0);
    EXPECT_EQ(zenith->CompareTo(altitude), -1);
    EXPECT_EQ(altitude->CompareTo(zenith), 1);
    // Length sorts before Pressure, whatever the measurements' names.
    EXPECT_EQ(zenith->CompareTo(annulus), -1);
    EXPECT_EQ(annulus->CompareTo(zenith), 1);
}

TEST(Measurement, DestroyingACopyLeavesTheCatalogueEntryInPlace) {
    CountingReader reader;
    systems_testing::AddOilfieldCatalogue(reader.records);
    UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    {
        const Measurement copy(*depth);
        EXPECT_EQ(copy.Name(), "Depth");
        EXPECT_EQ(copy.GetDimension(), depth->GetDimension());
        EXPECT_EQ(copy.CompareTo(depth), 0);
    }

    EXPECT_EQ(Measurement::GetMeasurement("Depth"), depth);
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "Depth"), 1);
}
