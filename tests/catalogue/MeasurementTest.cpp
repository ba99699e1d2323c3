#include "SystemsTesting.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using orv_testing::MessageOf;
using systems_testing::OilfieldReader;

TEST(MeasurementCatalogue, LooksUpExactNamesOnceAndReportsWhatTheReaderLacks) {
    OilfieldReader reader;
    reader.records.AddMeasurement("depth", "Length");
    reader.records.AddMeasurement("Porosity", "Length").valid = false;

    Measurement* depth = Measurement::GetMeasurement("Depth");
    // A copy shares the name; destroying it must not unfile the catalogue's measurement.
    { const Measurement copy(*depth); }

    EXPECT_EQ(Measurement::GetMeasurement("Depth"), depth);
    EXPECT_NE(Measurement::GetMeasurement("depth"), depth);
    EXPECT_EQ(reader.Calls("GetMeasurementSpec", "Depth"), 1);
    for (const std::string name : {"Porosity", "Viscosity"}) {
        EXPECT_EQ(MessageOf([&] { Measurement::GetMeasurement(name); }),
                  "Could not find a Measurement named '" + name + "'!");
    }
}

// The catalogue files what the record names, not what was asked: the asked name misses again and
// then collides with the record's name.
TEST(MeasurementCatalogue, FilesARecordUnderItsOwnName) {
    OilfieldReader reader;
    reader.records.AddMeasurement("MD", "Length").name = "Measured depth";

    Measurement* measured = Measurement::GetMeasurement("MD");

    EXPECT_EQ(measured->Name(), "Measured depth");
    EXPECT_EQ(Measurement::GetMeasurement("Measured depth"), measured);
    EXPECT_EQ(MessageOf([] { Measurement::GetMeasurement("MD"); }),
              "Attempting to add duplicate \"Measured depth\" measurement");
}

TEST(MeasurementCatalogue, ListsInUnsignedByteOrderReadingTheListOnce) {
    struct PaddedReader : orv_testing::CountingReader {
        std::vector<const Reader::MeasurementSpec*> GetAllMeasurementSpecs() override {
            std::vector<const Reader::MeasurementSpec*> list =
                CountingReader::GetAllMeasurementSpecs();
            list.insert(list.begin(), nullptr);
            return list;
        }
    } reader;
    orv_testing::AddLengthUnits(reader.records);
    // Taken unsigned, the first byte of a UTF-8 name sorts after every ASCII letter.
    for (const char* name : {"pressure", "\xC3\x89tage", "Zenith", "area", "Depth", "Depth"}) {
        reader.records.AddMeasurement(name, "Length");
    }
    reader.records.AddMeasurement("Broken", "Length").valid = false;
    UnitService::UnitReader(&reader);

    const std::vector<Measurement*> first = Measurement::GetAllMeasurements();
    reader.records.AddMeasurement("Offset", "Length");
    Measurement* offset = Measurement::GetMeasurement("Offset");
    const std::vector<Measurement*> second = Measurement::GetAllMeasurements();

    std::vector<std::string> names;
    for (const Measurement* measurement : first) {
        names.push_back(measurement->Name());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Depth", "Zenith", "area", "pressure", "\xC3\x89tage"}));
    std::vector<Measurement*> expected = first;
    expected.insert(expected.begin() + 1, offset);
    EXPECT_EQ(second, expected);
    EXPECT_EQ(reader.Calls("GetAllMeasurementSpecs"), 1);
}

TEST(Measurement, OrdersByDimensionThenByNameInUnsignedByteOrder) {
    OilfieldReader reader;
    reader.records.AddMeasurement("altitude", "Length");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    Measurement* altitude = Measurement::GetMeasurement("altitude");

    EXPECT_EQ(depth->CompareTo(nullptr), 1);
    EXPECT_EQ(depth->CompareTo(depth), 0);
    EXPECT_EQ(depth->CompareTo(altitude), -1);
    // Length before Pressure, whatever the measurements' names.
    EXPECT_EQ(Measurement::GetMeasurement("Pressure")->CompareTo(altitude), 1);
}
