#include "QuantityCatalogue.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/interfaces/ConverterEngine.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::M;
using orv_testing::RefusalOf;
using orv_testing::U;
using Units::Measurement;
using Units::Unit;
using Units::UnitConverter;
using Units::UnitException;
using Units::Converter::CompositeUnitConverter;

TEST(UnitConverter, RefusesNullUnits) {
    Unit* metre = U("m");
    EXPECT_EQ(RefusalOf([&] { UnitConverter c(nullptr, metre); }),
              "NULL arguments passed to UnitConverter");
    EXPECT_EQ(RefusalOf([&] { UnitConverter c(metre, nullptr); }),
              "NULL arguments passed to UnitConverter");
    EXPECT_EQ(RefusalOf([&] { UnitConverter::Convert(1.0, nullptr, nullptr); }),
              "NULL arguments passed to UnitConverter");
}

TEST(UnitConverter, RefusesUnitsOfDifferentDimensionsNamingThemBySymbolInputFirst) {
    EXPECT_EQ(RefusalOf([] { UnitConverter c(U("ft"), U("lb")); }), "Cannot convert from ft to lb");
    EXPECT_EQ(RefusalOf([] { UnitConverter c(U("lb"), U("ft")); }), "Cannot convert from lb to ft");
    EXPECT_EQ(RefusalOf([] { UnitConverter::Convert(1.0, U("dBW"), U("m")); }),
              "Cannot convert from dBW to m");
}

// A unit whose engine has no inverse can be converted from but not into, and the inverse of a
// converter out of it is refused with the units swapped.
TEST(UnitConverter, RefusesAnOutputUnitWhoseEngineCannotBeInverted) {
    EXPECT_EQ(RefusalOf([] { UnitConverter c(U("ft"), U("zero")); }),
              "Cannot convert from ft to zero");

    UnitConverter const fromZero(U("zero"), U("ft"));
    EXPECT_EQ(fromZero.Convert(12.0), 0.0);
    EXPECT_EQ(RefusalOf([&] { delete fromZero.GetInverse(); }), "Cannot convert from ft to zero");
}

TEST(UnitConverter, FoldsTwoLinearUnitsIntoOneLinearEngine) {
    UnitConverter const c(U("ft"), U("km"));
    ASSERT_NE(c.Converter(), nullptr);
    EXPECT_EQ(c.Converter()->m_eType, Units::Converter::e_LinearEngine);
    EXPECT_EQ(c.InputUnit(), U("ft"));
    EXPECT_EQ(c.OutputUnit(), U("km"));
    EXPECT_DOUBLE_EQ(c.Convert(10000.0), 3.048);
    EXPECT_FLOAT_EQ(c.Convert(10000.0f), 3.048f);
    EXPECT_FALSE(c.IsUnity());
    EXPECT_TRUE(c.IsInvertible());
}

// The offset must be applied on the way into the base unit and taken off on the way out.
TEST(UnitConverter, ConvertsBetweenUnitsWithOffsets) {
    UnitConverter const c(U("degC"), U("degF"));
    EXPECT_NEAR(c.Convert(100.0), 212.0, 1e-9);
    EXPECT_NEAR(c.Convert(-40.0), -40.0, 1e-9);
    EXPECT_NEAR(c.Convert(0.0), 32.0, 1e-9);
    EXPECT_NEAR(UnitConverter::Convert(32.0, U("degF"), U("K")), 273.15, 1e-9);
}

// A host engine that is not kind 1 forces the composite, which borrows the input unit's own
// engine rather than a copy of it.
TEST(UnitConverter, ComposesANonLinearEngineThroughACompositeBorrowingTheInputEngine) {
    UnitConverter const toWatts(U("dBW"), U("kW"));
    auto* composite = dynamic_cast<CompositeUnitConverter*>(toWatts.Converter());
    ASSERT_NE(composite, nullptr);
    EXPECT_EQ(composite->First(), U("dBW")->Converter());
    EXPECT_NEAR(toWatts.Convert(30.0), 1.0, 1e-12);

    UnitConverter const toDecibels(U("W"), U("dBW"));
    EXPECT_NE(dynamic_cast<CompositeUnitConverter*>(toDecibels.Converter()), nullptr);
    EXPECT_NEAR(toDecibels.Convert(100.0), 20.0, 1e-12);
    EXPECT_NEAR(toDecibels.Convert(100.0f), 20.0f, 1e-5f);
    EXPECT_FALSE(toDecibels.IsUnity());
}

TEST(UnitConverter, ComposesAUnitWithItselfWithoutAShortcut) {
    UnitConverter const same(U("km"), U("km"));
    ASSERT_NE(same.Converter(), nullptr);
    EXPECT_NE(same.Converter(), U("km")->Converter());
    EXPECT_TRUE(same.IsUnity());
    EXPECT_DOUBLE_EQ(same.Convert(7.25), 7.25);
}

TEST(UnitConverter, InverseIsANewConverterBetweenTheSwappedUnits) {
    UnitConverter const c(U("ft"), U("m"));
    std::unique_ptr<UnitConverter> inverse(c.GetInverse());
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(inverse->InputUnit(), U("m"));
    EXPECT_EQ(inverse->OutputUnit(), U("ft"));
    EXPECT_NE(inverse->Converter(), c.Converter());
    EXPECT_DOUBLE_EQ(inverse->Convert(3.048), 10.0);

    UnitConverter const nonLinear(U("dBW"), U("W"));
    std::unique_ptr<UnitConverter> back(nonLinear.GetInverse());
    EXPECT_NEAR(back->Convert(1000.0), 30.0, 1e-12);
}

TEST(UnitConverter, CopiesAndAssignedConvertersOutliveTheirSource) {
    auto source = std::make_unique<UnitConverter>(U("dBW"), U("W"));
    UnitConverter copy(*source);
    UnitConverter assigned(U("ft"), U("m"));
    UnitConverter const& result = (assigned = *source);
    EXPECT_EQ(&result, &assigned);
    EXPECT_NE(copy.Converter(), source->Converter());
    EXPECT_NE(assigned.Converter(), source->Converter());
    source.reset();

    for (UnitConverter const* c : {&copy, &assigned}) {
        EXPECT_EQ(c->InputUnit(), U("dBW"));
        EXPECT_EQ(c->OutputUnit(), U("W"));
        EXPECT_NEAR(c->Convert(20.0), 100.0, 1e-12);
    }

    auto linear = std::make_unique<UnitConverter>(U("km"), U("ft"));
    UnitConverter linearCopy(*linear);
    copy = *linear;
    linear.reset();
    EXPECT_DOUBLE_EQ(linearCopy.Convert(0.3048), 1000.0);
    EXPECT_DOUBLE_EQ(copy.Convert(0.3048), 1000.0);
}

TEST(UnitConverter, AssigningAConverterToItselfLeavesItUnchanged) {
    UnitConverter c(U("degC"), U("degF"));
    auto* engine = c.Converter();
    UnitConverter const& alias = c;
    c = alias;
    EXPECT_EQ(c.Converter(), engine);
    EXPECT_EQ(c.InputUnit(), U("degC"));
    EXPECT_NEAR(c.Convert(100.0), 212.0, 1e-9);
}

TEST(UnitConverter, VectorFormsConvertInPlaceAndKeepTheSize) {
    UnitConverter const linear(U("degC"), U("K"));
    std::vector<double> doubles{0.0, 100.0, -273.15};
    linear.Convert(doubles);
    ASSERT_EQ(doubles.size(), 3u);
    EXPECT_NEAR(doubles[0], 273.15, 1e-9);
    EXPECT_NEAR(doubles[1], 373.15, 1e-9);
    EXPECT_NEAR(doubles[2], 0.0, 1e-9);

    UnitConverter const composite(U("dBW"), U("W"));
    std::vector<float> floats{0.0f, 10.0f, 20.0f, 30.0f};
    composite.Convert(floats);
    ASSERT_EQ(floats.size(), 4u);
    EXPECT_FLOAT_EQ(floats[0], 1.0f);
    EXPECT_FLOAT_EQ(floats[1], 10.0f);
    EXPECT_FLOAT_EQ(floats[2], 100.0f);
    EXPECT_FLOAT_EQ(floats[3], 1000.0f);

    std::vector<double> empty;
    composite.Convert(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(UnitConverter, StaticConversionsToAndFromBaseGiveZeroForANullMeasurement) {
    EXPECT_EQ(UnitConverter::ConvertToBase(12.0, nullptr), 0.0);
    EXPECT_EQ(UnitConverter::ConvertFromBase(12.0, nullptr), 0.0);
}

TEST(UnitConverter, StaticConversionsGoBetweenTheCurrentUnitAndTheBaseUnit) {
    orv_testing::QuantityCatalogue();
    Units::UnitService::SetUnitSystem(Units::UnitSystem::GetUnitSystem("Metric"));
    Measurement* temperature = Measurement::GetMeasurement("Temperature");
    EXPECT_NEAR(UnitConverter::ConvertToBase(25.0, temperature), 298.15, 1e-9);
    EXPECT_NEAR(UnitConverter::ConvertFromBase(298.15, temperature), 25.0, 1e-9);

    Units::UnitService::SetUnitSystem(Units::UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_NEAR(UnitConverter::ConvertToBase(32.0, temperature), 273.15, 1e-9);
    EXPECT_NEAR(UnitConverter::ConvertFromBase(373.15, temperature), 212.0, 1e-9);
}

// Index of the first log entry equal to `entry`, or the log's size.
std::size_t FirstIndex(std::vector<std::string> const& log, std::string const& entry) {
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

// The base unit is resolved before the current unit on the way to the base, and after it on
// the way back; the reader sees the two requests in that order the first time.
TEST(UnitConverter, ConvertToBaseAsksForTheBaseUnitFirstAndConvertFromBaseLast) {
    orv_testing::RecordingReader& reader = orv_testing::QuantityCatalogue();
    Units::UnitService::SetUnitSystem(Units::UnitSystem::GetUnitSystem("Metric"));
    Measurement* pressure = Measurement::GetMeasurement("Pressure");
    Measurement* energy = Measurement::GetMeasurement("Energy");

    reader.log.clear();
    EXPECT_DOUBLE_EQ(UnitConverter::ConvertToBase(2.0, pressure), 2e5);
    std::size_t const pascal = FirstIndex(reader.log, "unit Pa");
    std::size_t const pressureMapping = FirstIndex(reader.log, "mapping Metric/Pressure");
    ASSERT_LT(pascal, reader.log.size());
    ASSERT_LT(pressureMapping, reader.log.size());
    EXPECT_LT(pascal, pressureMapping);

    reader.log.clear();
    EXPECT_DOUBLE_EQ(UnitConverter::ConvertFromBase(7.2e6, energy), 2.0);
    std::size_t const joule = FirstIndex(reader.log, "unit J");
    std::size_t const energyMapping = FirstIndex(reader.log, "mapping Metric/Energy");
    ASSERT_LT(joule, reader.log.size());
    ASSERT_LT(energyMapping, reader.log.size());
    EXPECT_LT(energyMapping, joule);
}

} // namespace
