// Symbol: a name bound to a measurement, falling back to "Unitless".
#include "OrvTesting.h"

#include <units/Measurement.h>
#include <units/Symbol.h>
#include <units/UnitService.h>

#include <gtest/gtest.h>

#include <string>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using Units::Measurement;

// Symbol's constructors, assignment and Swap are for derived classes only.
class HostSymbol : public Units::Symbol {
public:
    HostSymbol() = default;
    HostSymbol(const std::string& name, Measurement* measurement) : Symbol(name, measurement) {}
    using Symbol::Swap;
};

void AddDepth(Units::Reader::InMemoryUnitReader& reader) {
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddMeasurement("Depth", "Length");
    Units::UnitService::UnitReader(&reader);
}

TEST(Symbol, FallsBackToUnitlessForANullMeasurementAndSwapsAndAssignsBothParts) {
    Units::Reader::InMemoryUnitReader reader;
    orv_testing::AddDimensionless(reader);
    AddDepth(reader);
    Measurement *unitless = Measurement::GetMeasurement("Unitless"),
                *depth = Measurement::GetMeasurement("Depth");
    EXPECT_EQ(HostSymbol().GetName(), "");
    EXPECT_EQ(HostSymbol().GetMeasurement(), unitless);
    HostSymbol first("first", depth), second("second", nullptr);
    EXPECT_EQ(second.GetMeasurement(), unitless);
    first.Swap(second);
    second.Swap(second);
    EXPECT_EQ(first.GetName() + " " + second.GetName(), "second first");
    EXPECT_EQ(first.GetMeasurement(), unitless);
    EXPECT_EQ(second.GetMeasurement(), depth);
    first = second;
    first = static_cast<const HostSymbol&>(first);
    EXPECT_EQ(first.GetName(), "first");
    EXPECT_EQ(first.GetMeasurement(), depth);
    first.SetMeasurement(nullptr);
    EXPECT_EQ(first.GetMeasurement(), unitless);
}

TEST(Symbol, NeedsUnitlessInTheCatalogueOnlyWithoutAMeasurement) {
    Units::Reader::InMemoryUnitReader reader;
    AddDepth(reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");
    HostSymbol symbol("d", depth);
    EXPECT_EQ(orv_testing::MessageOf([&] { symbol.SetMeasurement(nullptr); }),
              "Could not find a Measurement named 'Unitless'!");
    EXPECT_EQ(symbol.GetMeasurement(), depth);
    EXPECT_THROW(HostSymbol(), Units::UnitException);
}

} // namespace
