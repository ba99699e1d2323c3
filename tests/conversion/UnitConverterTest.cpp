#include "QuantityCatalogue.h"

#include <units/UnitConverter.h>
#include <units/UnitSystem.h>
#include <units/converter/Engines.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using orv_testing::M;
using orv_testing::RefusalOf;
using orv_testing::U;
using Units::UnitConverter;

TEST(UnitConverter, RefusesNullUnitsOtherDimensionsAndOutputsWithoutAnInverse) {
    UnitConverter const fromZero(U("zero"), U("ft")); // converts from, but not into, zero
    EXPECT_EQ(fromZero.Convert(12.0), 0.0);
    const std::pair<std::function<void()>, const char*> refusals[] = {
        {[] { UnitConverter(nullptr, U("m")); }, "NULL arguments passed to UnitConverter"},
        {[] { UnitConverter(U("m"), nullptr); }, "NULL arguments passed to UnitConverter"},
        {[] { UnitConverter::Convert(1.0, nullptr, nullptr); },
         "NULL arguments passed to UnitConverter"},
        {[] { UnitConverter(U("ft"), U("lb")); }, "Cannot convert from ft to lb"},
        {[] { UnitConverter(U("lb"), U("ft")); }, "Cannot convert from lb to ft"},
        {[] { UnitConverter::Convert(1.0, U("dBW"), U("m")); }, "Cannot convert from dBW to m"},
        {[] { UnitConverter(U("ft"), U("zero")); }, "Cannot convert from ft to zero"},
        {[&] { delete fromZero.GetInverse(); }, "Cannot convert from ft to zero"},
    };
    for (const auto& [action, message] : refusals) {
        EXPECT_EQ(RefusalOf(action), message);
    }
}

TEST(UnitConverter, FoldsLinearUnitsOffsetsIncludedIntoOneEngineOfItsOwn) {
    UnitConverter const c(U("ft"), U("km"));
    EXPECT_EQ(c.Converter()->m_eType, Units::Converter::e_LinearEngine);
    EXPECT_EQ(c.InputUnit(), U("ft"));
    EXPECT_EQ(c.OutputUnit(), U("km"));
    EXPECT_DOUBLE_EQ(c.Convert(10000.0), 3.048);
    EXPECT_FLOAT_EQ(c.Convert(10000.0f), 3.048f);
    EXPECT_FALSE(c.IsUnity());
    EXPECT_TRUE(c.IsInvertible());
    // The offset is applied on the way into the base unit and taken off on the way out.
    EXPECT_NEAR(UnitConverter(U("degC"), U("degF")).Convert(-40.0), -40.0, 1e-9);
    EXPECT_NEAR(UnitConverter::Convert(32.0, U("degF"), U("K")), 273.15, 1e-9);
    // A unit into itself gets an engine of its own, not a shortcut to the unit's.
    UnitConverter const same(U("km"), U("km"));
    EXPECT_NE(same.Converter(), U("km")->Converter());
    EXPECT_TRUE(same.IsUnity());
}

// A host engine that is not linear forces the composite, which borrows the input unit's own
// engine rather than a copy of it.
TEST(UnitConverter, ComposesANonLinearEngineThroughACompositeBorrowingTheInputEngine) {
    UnitConverter const toWatts(U("dBW"), U("kW"));
    auto* composite = dynamic_cast<Units::Converter::CompositeUnitConverter*>(toWatts.Converter());
    ASSERT_NE(composite, nullptr);
    EXPECT_EQ(composite->First(), U("dBW")->Converter());
    EXPECT_NEAR(toWatts.Convert(30.0), 1.0, 1e-12);
    UnitConverter const toDecibels(U("W"), U("dBW"));
    EXPECT_NEAR(toDecibels.Convert(100.0f), 20.0f, 1e-5f);
    EXPECT_FALSE(toDecibels.IsUnity());
}

// Inverses, copies and assigned converters own engines of their own: they outlive the source.
TEST(UnitConverter, GivesInversesAndCopiesThatOwnTheirEngines) {
    for (const auto& [from, to] : {std::pair{"ft", "m"}, std::pair{"dBW", "W"}}) {
        auto source = std::make_unique<UnitConverter>(U(from), U(to));
        const double sample = source->Convert(20.0);
        std::unique_ptr<UnitConverter> inverse(source->GetInverse());
        UnitConverter copy(*source);
        UnitConverter assigned(U("degC"), U("degF"));
        EXPECT_EQ(&(assigned = *source), &assigned);
        EXPECT_NE(copy.Converter(), source->Converter());
        EXPECT_NE(inverse->Converter(), source->Converter());
        source.reset();
        EXPECT_EQ(inverse->InputUnit(), U(to));
        EXPECT_EQ(inverse->OutputUnit(), U(from));
        EXPECT_NEAR(inverse->Convert(sample), 20.0, 1e-12) << from;
        for (UnitConverter const* c : {&copy, &assigned}) {
            EXPECT_EQ(c->InputUnit(), U(from));
            EXPECT_EQ(c->Convert(20.0), sample) << from;
        }
    }
    UnitConverter self(U("degC"), U("degF"));
    auto* engine = self.Converter();
    self = static_cast<UnitConverter const&>(self);
    EXPECT_EQ(self.Converter(), engine);
    EXPECT_NEAR(self.Convert(100.0), 212.0, 1e-9);
}

// Converting a million values in place must give, element by element, what the single-value
// form gives; a vector form that skipped, repeated or reordered elements would show here.
TEST(UnitConverter, ConvertsAMillionValuesInPlaceLikeTheSingleValueForm) {
    for (const auto& [from, to] : {std::pair{"degF", "degC"}, std::pair{"dBW", "kW"}}) {
        UnitConverter const converter(U(from), U(to));
        std::vector<double> values(1000000);
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = 0.5 + static_cast<double>(i) * 0.001;
        }
        std::vector<double> const originals = values;
        converter.Convert(values);
        ASSERT_EQ(values.size(), originals.size());
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            mismatches += values[i] != converter.Convert(originals[i]);
        }
        EXPECT_EQ(mismatches, 0u) << from << " -> " << to;

        std::vector<float> floats{0.0f, 10.0f};
        converter.Convert(floats);
        EXPECT_EQ(floats, (std::vector<float>{converter.Convert(0.0f), converter.Convert(10.0f)}));
        std::vector<double> empty;
        converter.Convert(empty);
        EXPECT_TRUE(empty.empty());
    }
}

// The base unit is resolved before the current unit on the way to the base, and after it on
// the way back; the reader sees the two requests in that order the first time.
TEST(UnitConverter, ConvertsToAndFromBaseThroughTheCurrentUnitAskingForTheBaseUnitFirstOnTheWayIn) {
    EXPECT_EQ(UnitConverter::ConvertToBase(12.0, nullptr), 0.0);
    EXPECT_EQ(UnitConverter::ConvertFromBase(12.0, nullptr), 0.0);
    orv_testing::RecordingReader& reader = orv_testing::QuantityCatalogue();
    const auto position = [&](const std::string& entry) {
        return std::find(reader.log.begin(), reader.log.end(), entry) - reader.log.begin();
    };
    Units::Measurement *pressure = M("Pressure"), *energy = M("Energy");
    Units::UnitService::SetUnitSystem(Units::UnitSystem::GetUnitSystem("Metric"));
    reader.log.clear();
    EXPECT_DOUBLE_EQ(UnitConverter::ConvertToBase(2.0, pressure), 2e5);
    EXPECT_LT(position("unit Pa"), position("mapping Metric/Pressure"));
    EXPECT_LT(position("mapping Metric/Pressure"), static_cast<std::ptrdiff_t>(reader.log.size()));
    reader.log.clear();
    EXPECT_DOUBLE_EQ(UnitConverter::ConvertFromBase(7.2e6, energy), 2.0);
    EXPECT_LT(position("mapping Metric/Energy"), position("unit J"));
    EXPECT_LT(position("unit J"), static_cast<std::ptrdiff_t>(reader.log.size()));

    EXPECT_NEAR(UnitConverter::ConvertToBase(25.0, M("Temperature")), 298.15, 1e-9);
    Units::UnitService::SetUnitSystem(Units::UnitSystem::GetUnitSystem("Imperial"));
    EXPECT_NEAR(UnitConverter::ConvertFromBase(373.15, M("Temperature")), 212.0, 1e-9);
}

} // namespace
