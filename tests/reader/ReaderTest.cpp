// The records the readers give: added in code, or read from a catalogue file.
#include "ReaderRecords.h"

#include <units/UnitService.h>
#include <units/WarmUp.h>
#include <units/reader/InMemoryUnitReader.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Reader;
using reader_testing::ReadText;

const std::string kCatalogue = ReadText(ORV_READER_TESTS_DIR "/catalogue.xml");

TEST(InMemoryUnitReader, FindsTheFirstRecordOfAnExactKeyNeverMovesItAndMapsOnlyKnownUnits) {
    InMemoryUnitReader reader;
    reader.AddDimension("Length", "m");
    const auto* first = &reader.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    for (int i = 1; i < 1000; ++i) {
        reader.AddUnit("u" + std::to_string(i), "unit", "Length", i);
    }
    reader.AddUnit("degC", "again", "Length", 2.0);
    reader.AddMeasurement("Depth", "Length", {"m", "ft"});
    reader.AddMeasurement("Depth", "Time");

    EXPECT_EQ(reader.GetDimensionSpec("Length")->baseUnitSymbol, "m");
    EXPECT_EQ(reader.GetDimensionSpec("length"), nullptr);
    EXPECT_EQ(reader.GetUnitSpec("degC"), first);
    EXPECT_EQ(reader.GetAllUnitSpecs().front(), first);
    EXPECT_EQ(reader.GetAllUnitSpecs().size(), 1001u);
    EXPECT_DOUBLE_EQ(first->converter->Convert(100.0), 373.15);
    EXPECT_EQ(reader.GetAllMeasurementSpecs().size(), 2u);
    EXPECT_EQ(reader.GetMeasurementSpec("Depth")->unitSymbols.size(), 2u);

    EXPECT_TRUE(reader.SetUnitOfMeasurement("Field", "Depth", "u7"));
    EXPECT_FALSE(reader.SetUnitOfMeasurement("Field", "Height", "yd"));
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Field", "Depth"), reader.GetUnitSpec("u7"));
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Depth", "Field"), nullptr);
    EXPECT_EQ(reader.GetUnitSpecOfMeasurement("Field", "Height"), nullptr);
}

// A unit that the catalogue file reader would refuse is refused when it is added.
TEST(InMemoryUnitReader, RefusesAUnitWithoutAFiniteInvertibleEngine) {
    InMemoryUnitReader reader;
    const double nan = std::nan(""), inf = HUGE_VAL;
    for (const auto& [scale, offset] : {std::pair{0.0, 0.0}, {nan, 0.0}, {inf, 0.0}, {1.0, nan}}) {
        EXPECT_THROW(reader.AddUnit("bad", "bad", "Length", scale, offset), std::invalid_argument);
    }
    EXPECT_THROW(reader.AddUnit("bad", "bad", "Length", nullptr), std::invalid_argument);
    EXPECT_TRUE(reader.GetAllUnitSpecs().empty());
}

// The file's scale and offset describe the way from the base unit; the engines go the other way,
// from B and A where the file gives them (1 / 3.28084 is not the foot's exact 0.3048).
TEST(XmlUnitReader, ReadsEveryRecordInFileOrderWithEnginesTowardsTheBaseUnit) {
    const auto reader = XmlUnitReader::FromText(kCatalogue, "catalogue.xml");
    std::string records;
    for (const std::string& line : reader_testing::Records(*reader)) {
        records += line + "\n";
    }
    EXPECT_EQ(records, R"(dimension Length m
dimension Temperature K
unit m | metre | Length |  | kind 1 exact 0 1 1 0 linear 1 0 | engine of #0 | found at #0
unit mm | millimetre | Length |  | kind 1 exact 0 1 1000 0 linear 0.001 0 | engine of #1 | found at #1
unit ft | foot | Length |  | kind 1 exact 0 381 1250 0 linear 0.30480000000000002 0 | engine of #2 | found at #2
unit foot | foot, spelt out | Length | ft | kind 1 exact 0 381 1250 0 linear 0.30480000000000002 0 | engine of #2 | found at #3
unit K | kelvin | Temperature |  | kind 1 exact 0 1 1 0 linear 1 0 | engine of #4 | found at #4
unit degC | degree Celsius | Temperature |  | kind 1 exact 5463 20 20 0 linear 1 273.14999999999998 | engine of #5 | found at #5
unit degF | degree Fahrenheit | Temperature |  | kind 1 exact 45967 100 180 0 linear 0.55555555555555558 255.37222222222223 | engine of #6 | found at #6
measurement Depth Length: [m] [ft] [mm]
measurement Distance Length:
measurement Ambient temperature Temperature: [K] [degC] [degF]
system Metric
  Depth m
  Ambient temperature degC
system Field
  Depth ft
warning catalogue.xml: warning: the catalogue has no dimension "Dimensionless": no value with a measurement (UCDouble) can be made; units, conversions and unit systems work
warning catalogue.xml: warning: the catalogue has no measurement "Unitless": a number without a unit cannot be read as a value; units, conversions and unit systems work
)");
    // Keys are compared byte for byte.
    EXPECT_EQ(reader->GetUnitSpec("ft "), nullptr);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("metric", "Depth"), nullptr);
}

// Each limit is a number of bytes, symbols, digits or elements that may be reached but not passed:
// the catalogue meets every limit here exactly, and one less of any refuses it where it is passed.
TEST(XmlUnitReader, ReadsACatalogueThatReachesEveryLimitAndRefusesItOneBelow) {
    const CatalogueLimits exact{kCatalogue.size(), 19, 3, 6, 34, 200, 19};
    EXPECT_NO_THROW(XmlUnitReader::FromText(kCatalogue, "catalogue.xml", exact));
    const std::pair<std::size_t CatalogueLimits::*, std::string> cases[] = {
        {&CatalogueLimits::maxBytes, ": the catalogue is larger than " +
                                         std::to_string(kCatalogue.size() - 1) +
                                         " bytes, the most that is read"},
        {&CatalogueLimits::maxAttributeLength,
         ":15:24: the value of the attribute name is 19 bytes long; at most 18 are allowed"},
        {&CatalogueLimits::maxSymbolsPerList, ":6:5: the measurement offers more than 2 units"},
        {&CatalogueLimits::maxCoefficientDigits,
         ":10:5: the scale of the unit has 6 digits; at most 5 are allowed"},
        {&CatalogueLimits::maxTotalDigits,
         ":18:5: the coefficients of the catalogue have more than 33 digits in all"},
        {&CatalogueLimits::maxElements, ":26:5: the catalogue has more than 18 elements"},
    };
    for (const auto& [limit, problem] : cases) {
        CatalogueLimits lower = exact;
        --(lower.*limit);
        EXPECT_EQ(reader_testing::FirstProblem(
                      [&] { XmlUnitReader::FromText(kCatalogue, "catalogue.xml", lower); }),
                  "catalogue.xml" + problem);
    }
}

// What check passes, the library takes whole: registered, every object of the catalogue is
// built without a refusal. (One catalogue per process: the library's catalogue is process-wide.)
class AcceptedCatalogue : public ::testing::TestWithParam<const char*> {};

TEST_P(AcceptedCatalogue, WarmsUpWithoutARefusal) {
    for (const CatalogueProblem& problem : XmlUnitReader::Check(GetParam())) {
        EXPECT_TRUE(problem.warning) << problem.ToString();
    }
    static const std::unique_ptr<XmlUnitReader> reader = XmlUnitReader::FromFile(GetParam());
    Orv::Pim::Core::Service::Units::UnitService::UnitReader(reader.get());
    EXPECT_NO_THROW(Orv::Pim::Core::Service::Units::WarmUpCatalogue());
}

INSTANTIATE_TEST_SUITE_P(Files, AcceptedCatalogue,
                         ::testing::Values(ORV_READER_TESTS_DIR "/catalogue.xml",
                                           ORV_DEFAULT_CATALOGUE_FILE,
                                           ORV_READER_TESTS_DIR "/../tools/small-catalogue.xml"));

} // namespace
