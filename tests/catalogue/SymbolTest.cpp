// Symbol: a name bound to a measurement, falling back to "Unitless".
#include <units/Measurement.h>
#include <units/Symbol.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/reader/InMemoryUnitReader.h>

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

void FillCatalogue(Units::Reader::InMemoryUnitReader& reader, bool withUnitless) {
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "Metre", "Length", 1.0);
    reader.AddMeasurement("Depth", "Length");
    if (withUnitless) {
        reader.AddDimension("Dimensionless", "1");
        reader.AddUnit("1", "One", "Dimensionless", 1.0);
        reader.AddMeasurement("Unitless", "Dimensionless");
    }
}

class SymbolTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillCatalogue(m_reader, true);
        Units::UnitService::UnitReader(&m_reader);
    }
    Units::Reader::InMemoryUnitReader m_reader;
};

TEST_F(SymbolTest, ADefaultSymbolHasNoNameAndTheCataloguesUnitlessMeasurement) {
    HostSymbol symbol;
    EXPECT_EQ(symbol.GetName(), "");
    EXPECT_EQ(symbol.GetMeasurement(), Measurement::GetMeasurement("Unitless"));
}

TEST_F(SymbolTest, FallsBackToUnitlessForANullMeasurementAndNeverHoldsNull) {
    HostSymbol symbol("x", nullptr);
    Measurement* unitless = Measurement::GetMeasurement("Unitless");
    EXPECT_EQ(symbol.GetMeasurement(), unitless);

    symbol.SetMeasurement(Measurement::GetMeasurement("Depth"));
    EXPECT_EQ(symbol.GetMeasurement(), Measurement::GetMeasurement("Depth"));
    symbol.SetMeasurement(nullptr);
    EXPECT_EQ(symbol.GetMeasurement(), unitless);
}

TEST_F(SymbolTest, SwapExchangesNamesAndMeasurements) {
    Measurement* depth = Measurement::GetMeasurement("Depth");
    HostSymbol first("first", depth);
    HostSymbol second("second", nullptr);
    first.Swap(second);
    EXPECT_EQ(first.GetName(), "second");
    EXPECT_EQ(first.GetMeasurement(), Measurement::GetMeasurement("Unitless"));
    EXPECT_EQ(second.GetName(), "first");
    EXPECT_EQ(second.GetMeasurement(), depth);

    second.Swap(second);
    EXPECT_EQ(second.GetName(), "first");
    EXPECT_EQ(second.GetMeasurement(), depth);
}

TEST_F(SymbolTest, AssignmentTakesNameAndMeasurementAndSurvivesSelfAssignment) {
    Measurement* depth = Measurement::GetMeasurement("Depth");
    HostSymbol assigned("other", nullptr);
    assigned = HostSymbol("d", depth);
    HostSymbol& same = assigned;
    assigned = same;
    EXPECT_EQ(assigned.GetName(), "d");
    EXPECT_EQ(assigned.GetMeasurement(), depth);
}

TEST(Symbol, AGivenMeasurementNeedsNoUnitlessInTheCatalogue) {
    Units::Reader::InMemoryUnitReader reader;
    FillCatalogue(reader, false);
    Units::UnitService::UnitReader(&reader);
    Measurement* depth = Measurement::GetMeasurement("Depth");

    HostSymbol symbol("d", depth);
    EXPECT_EQ(symbol.GetMeasurement(), depth);
    try {
        symbol.SetMeasurement(nullptr);
        FAIL() << "the catalogue has no Unitless measurement";
    } catch (const Units::UnitException& e) {
        EXPECT_STREQ(e.what(), "Could not find a Measurement named 'Unitless'!");
    }
    EXPECT_EQ(symbol.GetMeasurement(), depth);
    EXPECT_THROW(HostSymbol(), Units::UnitException);
}

} // namespace
