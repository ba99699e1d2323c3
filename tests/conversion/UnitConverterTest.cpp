// Converters between two units of one dimension: linear units fold into one engine, others
// compose. Every refusal's message is checked with the others in tests/reliability.
#include "OrvTesting.h"

#include <units/converter/Engines.h>

#include <cstdint>
#include <cstring>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

// The offset is applied on the way into the base unit and taken off on the way out. A unit into
// itself gets an engine of its own, not a shortcut to the unit's.
TEST(UnitConverter, FoldsLinearUnitsOffsetsIncludedIntoOneEngineOfItsOwn) {
    UnitConverter const feetToKilometres(U("ft"), U("km"));
    UnitConverter const same(U("km"), U("km"));

    EXPECT_EQ(feetToKilometres.Converter()->m_eType, Converter::e_LinearEngine);
    EXPECT_THAT(feetToKilometres.Convert(10000.0), NearInUlps(3.048, 1));
    EXPECT_THAT(feetToKilometres.Convert(10000.0f), NearInUlps(3.048f, 1));
    EXPECT_FALSE(feetToKilometres.IsUnity());
    EXPECT_TRUE(feetToKilometres.IsInvertible());
    EXPECT_THAT(UnitConverter(U("degC"), U("degF")).Convert(-40.0), NearInUlps(-40.0, 16));
    EXPECT_THAT(UnitConverter::Convert(32.0, U("degF"), U("K")), NearInUlps(273.15, 4));
    EXPECT_NE(same.Converter(), U("km")->Converter());
    EXPECT_TRUE(same.IsUnity());
}

// A one-value conversion composes its engine in place; it gives, to the bit, what a converter
// that keeps its engine gives, and a value read into a unit what the converter from the base unit
// gives.
TEST(UnitConverter, ConvertsOneValueStaticallyAsAKeptConverterDoes) {
    // The base unit first.
    const std::vector<std::vector<const char*>> dimensions = {
        {"m", "ft", "km", "foot"}, {"K", "degC", "degF"}, {"kg", "lb"}, {"s", "min"}};
    const auto bits = [](double value) {
        std::uint64_t word = 0;
        std::memcpy(&word, &value, sizeof word);
        return word;
    };
    for (const auto& symbols : dimensions) {
        for (const char* from : symbols) {
            for (const char* to : symbols) {
                UnitConverter const kept(U(from), U(to));
                UnitConverter const fromBase(U(symbols.front()), U(to));
                for (double x : {-40.0, -0.0, 0.1, 12.5, 5400.0, 1e-300, 3e300}) {
                    EXPECT_EQ(bits(UnitConverter::Convert(x, U(from), U(to))),
                              bits(kept.Convert(x)))
                        << x << " " << from << " to " << to;
                    EXPECT_EQ(bits(UCDouble(x, M("Depth")).Convert(U(to))),
                              bits(fromBase.Convert(x)))
                        << x << " into " << to;
                }
            }
        }
    }
}

// The composite borrows the input unit's own engine rather than a copy of it.
TEST(UnitConverter, ComposesANonLinearEngineThroughACompositeBorrowingTheInputEngine) {
    UnitConverter const fromKilometresPerLitre(U("km/L"), U("L/100km"));
    auto* composite =
        dynamic_cast<Converter::CompositeUnitConverter*>(fromKilometresPerLitre.Converter());
    ASSERT_NE(composite, nullptr);
    EXPECT_EQ(composite->First(), U("km/L")->Converter());
    EXPECT_THAT(fromKilometresPerLitre.Convert(20.0), NearInUlps(5.0, 1));
    EXPECT_THAT(UnitConverter(U("L/100km"), U("km/L")).Convert(4.0f), NearInUlps(25.0f, 1));
}

// Inverses, copies and assigned converters own engines of their own: they outlive the source.
TEST(UnitConverter, GivesInversesAndCopiesThatOwnTheirEngines) {
    for (const auto& [from, to] : {std::pair{"ft", "m"}, std::pair{"km/L", "L/100km"}}) {
        auto source = std::make_unique<UnitConverter>(U(from), U(to));
        const double sample = source->Convert(20.0);
        std::unique_ptr<UnitConverter> inverse(source->GetInverse());
        UnitConverter copy(*source);
        UnitConverter assigned(U("degC"), U("degF"));
        EXPECT_EQ(&(assigned = *source), &assigned);
        source.reset();

        EXPECT_EQ(inverse->InputUnit(), U(to));
        EXPECT_EQ(inverse->OutputUnit(), U(from));
        EXPECT_THAT(inverse->Convert(sample), NearInUlps(20.0, 4)) << from;
        for (UnitConverter const* c : {&copy, &assigned}) {
            EXPECT_EQ(c->InputUnit(), U(from));
            EXPECT_EQ(c->Convert(20.0), sample) << from;
        }
    }
    UnitConverter self(U("degC"), U("degF"));
    auto* engine = self.Converter();
    self = static_cast<UnitConverter const&>(self);
    EXPECT_EQ(self.Converter(), engine);
}

// A length that is not a multiple of any vector width, so that a loop's tail is converted too.
TEST(UnitConverter, ConvertsVectorsInPlaceLikeSingleValues) {
    for (const auto& [from, to] : {std::pair{"degF", "degC"}, std::pair{"km/L", "L/100km"}}) {
        UnitConverter const converter(U(from), U(to));
        std::vector<double> values, expected;
        std::vector<float> floats, expectedFloats;
        for (int i = 0; i < 37; ++i) {
            values.push_back(0.5 + i * 1.25);
            expected.push_back(converter.Convert(values.back()));
            floats.push_back(static_cast<float>(values.back()));
            expectedFloats.push_back(converter.Convert(floats.back()));
        }
        converter.Convert(values);
        converter.Convert(floats);
        EXPECT_EQ(values, expected) << from;
        EXPECT_EQ(floats, expectedFloats) << from;
    }
}

// The base unit is looked up before the current unit on the way into the base unit, and after it
// on the way out: the reader sees the requests in that order.
TEST(UnitConverter, ConvertsToAndFromBaseThroughTheCurrentUnitLookingUpTheBaseUnitFirstOnTheWayIn) {
    SpyReader& reader = Catalogue();
    EXPECT_EQ(UnitConverter::ConvertToBase(12.0, nullptr), 0.0);
    EXPECT_EQ(UnitConverter::ConvertFromBase(12.0, nullptr), 0.0);
    UnitService::SetUnitSystem(UnitSystem::GetUnitSystem("Imperial"));
    Measurement *depth = M("Depth"), *temperature = M("Temperature");
    reader.calls.clear();

    EXPECT_THAT(UnitConverter::ConvertToBase(10.0, depth), NearInUlps(3.048, 1));
    EXPECT_THAT(UnitConverter::ConvertFromBase(373.15, temperature), NearInUlps(212.0, 16));
    EXPECT_EQ(reader.calls, (std::vector<std::string>{
                                "GetUnitSpec m", "GetUnitSpecOfMeasurement Imperial.Depth",
                                "GetUnitSpec ft", "GetUnitSpecOfMeasurement Imperial.Temperature",
                                "GetUnitSpec degF", "GetUnitSpec K"}));
}

} // namespace
