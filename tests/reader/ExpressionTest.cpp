// Unit expressions: symbols that no record has, answered with records the reader makes. Their
// values are cross-checked against GNU units in tests/catalogue-data; these tests hold what the
// records are, which dimension they take, and what the readers and the library do with them.
#include "OrvTesting.h"

#include <units/converter/Engines.h>
#include <units/reader/XmlUnitReader.h>

#include <thread>

namespace {

using namespace Orv::Pim::Core::Service::Units;
using Reader::InMemoryUnitReader;
using Reader::XmlUnitReader;

std::string ExactOf(Converter::IUnitConverterEngine& engine) {
    Converter::ExactDefinition exact;
    if (!Converter::GetExactDefinition(engine, exact)) {
        return "inexact";
    }
    return exact.A + " " + exact.B + " " + exact.C + " " + exact.D;
}

bool Listed(Reader::RecordUnitReader& reader, const Reader::UnitSpec* record) {
    const auto all = reader.GetAllUnitSpecs();
    return std::find(all.begin(), all.end(), record) != all.end();
}

// A product of exact factors is exact: kg*m/s^2 is 1 N, not a double near it. Which dimension an
// expression takes: the one of its signature, the preferred one where several share it, its own
// for one prefixed unit, and one named after the signature where the catalogue has none.
TEST(UnitExpression, IsARecordOfTheTextAskedWithAnExactEngineAndADimension) {
    const auto reader = XmlUnitReader::Default();
    const struct {
        const char* text;
        const char* dimension;
        const char* exact; // A B C D
        const char* name;
    } cases[] = {
        {"kg*m/s^2", "Force", "0 1 1 0", "kg\xC2\xB7m\xC2\xB7s\xE2\x81\xBB\xC2\xB2"},
        {"ft/ms", "Velocity", "0 1524 5 0", "ft\xC2\xB7ms\xE2\x81\xBB\xC2\xB9"},
        {"Gm", "Length", "0 1000000000 1 0", "gigametre"},
        {"\xC2\xB5K", "Temperature", "0 1 1000000 0", "microkelvin"}, // a micro sign
        {"\xCE\xBCs", "Time", "0 1 1000000 0", "microsecond"},        // a Greek mu: a prefix
        {"kN*m", "Energy", "0 1000 1 0", "kN\xC2\xB7m"},    // Energy is preferred to Torque
        {"kGy", "Absorbed Dose", "0 1000 1 0", "kilogray"}, // not the preferred Specific Energy
        {"m/m", "Dimensionless", "0 1 1 0", "1"},
        {"(ft)", "Length", "0 381 1250 0", "foot"},
        {"kg*m", "L\xC2\xB7M", "0 1 1 0", "kg\xC2\xB7m"},
        {"N*s", "L\xC2\xB7M\xC2\xB7T\xE2\x81\xBB\xC2\xB9", "0 1 1 0", "N\xC2\xB7s"},
        {"Qm", "Length", "0 1000000000000000000000000000000 1 0", "quettametre"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Reader::UnitSpec* record = reader->GetUnitSpec(c.text);
        ASSERT_NE(record, nullptr) << reader->ExplainMissingUnit(c.text)->ToString();
        EXPECT_EQ(record->symbol, c.text);
        EXPECT_EQ(record->dimensionName, c.dimension);
        EXPECT_EQ(record->name, c.name);
        EXPECT_EQ(record->standardFormSymbol, "");
        EXPECT_EQ(ExactOf(*record->converter), c.exact);
        EXPECT_EQ(reader->GetUnitSpec(c.text), record) << "asked twice, one record";
        EXPECT_FALSE(Listed(*reader, record)) << "the catalogue's listing is its own records";
    }
}

// Prefixed readings and expressions come after the catalogue's own symbols, so that nothing the
// catalogue lists changes meaning: min is not milli-inch, ft not femto-tonne, m2 not m^2 read anew.
TEST(UnitExpression, NeverStandsForASymbolTheCatalogueLists) {
    const auto reader = XmlUnitReader::Default();
    for (const char* symbol :
         {"min", "mi", "Pa", "cd", "kt", "ft", "ct", "at", "m2", "1/s", "kg/(m.s)",
          "\xC2\xB0"
          "C"}) {
        const Reader::UnitSpec* record = reader->GetUnitSpec(symbol);
        ASSERT_NE(record, nullptr) << symbol;
        EXPECT_TRUE(Listed(*reader, record)) << symbol;
    }
}

TEST(UnitExpression, NamesADimensionAfterItsSignatureWithTheSiExpressionAsBaseUnit) {
    const auto reader = XmlUnitReader::Default();
    // The dimension is answered for by name before any expression of it was asked for.
    const Reader::DimensionSpec* dimension = reader->GetDimensionSpec("L\xC2\xB7M");
    ASSERT_NE(dimension, nullptr);
    EXPECT_EQ(dimension->baseUnitSymbol, "m\xC2\xB7kg");
    EXPECT_EQ(reader->GetDimensionSignature("L\xC2\xB7M"), "L M");
    const Reader::UnitSpec* base = reader->GetUnitSpec("m\xC2\xB7kg");
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base->dimensionName, "L\xC2\xB7M");
    EXPECT_TRUE(base->converter->IsUnity());
    EXPECT_EQ(reader->GetMeasurementSpec("L\xC2\xB7M")->dimensionName, "L\xC2\xB7M");
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Metric", "L\xC2\xB7M"), base);
    EXPECT_EQ(reader->GetUnitSpecOfMeasurement("Nowhere", "L\xC2\xB7M"), nullptr);
    EXPECT_EQ(reader->GetDimensionSpec("L\xC2\xB7M"), dimension);
    // Only the one way of writing a signature names it, and a catalogue dimension's has no other.
    for (const char* other : {"M\xC2\xB7L", "L\xC2\xB9\xC2\xB7M", "L\xC2\xB7M\xC2\xB7T\xE2\x81\xB0",
                              "L\xC2\xB7T\xE2\x81\xBB\xC2\xB9", "L M", "Q\xC2\xB7M"}) {
        EXPECT_EQ(reader->GetDimensionSpec(other), nullptr) << other;
        EXPECT_EQ(reader->GetMeasurementSpec(other), nullptr) << other;
    }
}

// What the library makes of them: units like any other, converted exactly, parsed into the
// measurement named like their dimension. (orvunits' tests convert kg*m/s^2 to N and parse m/s^2.)
TEST(UnitExpression, IsAUnitOfTheLibraryLikeAnyOther) {
    const auto reader = XmlUnitReader::Default();
    UnitService::UnitReader(reader.get());
    EXPECT_EQ(UnitConverter(Unit::GetUnit("ft/s"), Unit::GetUnit("m/s")).Convert(1.0), 0.3048);
    EXPECT_EQ(Unit::GetUnit("kg*m/s^2"), Unit::GetUnit("kg*m/s^2"));
    EXPECT_NEAR(UnitConverter::Convert(1.0, Unit::GetUnit("kg*m"), Unit::GetUnit("lbm*ft")),
                1.0 / (0.45359237 * 0.3048), 1e-15);
    std::unique_ptr<UCDouble> momentum(&UCDouble::Parse("2 kg*m/s"));
    EXPECT_EQ(momentum->GetMeasurement()->Name(), "L\xC2\xB7M\xC2\xB7T\xE2\x81\xBB\xC2\xB9");
    EXPECT_EQ(momentum->ToString(), "2 m\xC2\xB7kg\xC2\xB7s\xE2\x81\xBB\xC2\xB9");
}

// A host's reader: signatures and prefixes as it sets them, and engines of plain doubles read as
// the decimals they were written as.
TEST(UnitExpression, ResolvesOverTheRecordsAHostAdded) {
    // The shared test catalogue (Length, Mass, Time ...) with signatures where a host sets them,
    // and three dimensions of one unit each, enough to read m/s and N*m.
    InMemoryUnitReader reader;
    orv_testing::AddTestCatalogue(reader);
    const struct {
        const char* dimension;
        const char* symbol;
        const char* signature;
    } others[] = {
        {"Velocity", "m/s", "L T-1"}, {"Energy", "J", "L2 M T-2"}, {"Torque", "Nm", "M L2 T-2"}};
    for (const auto& other : others) {
        reader.AddDimension(other.dimension, other.symbol);
        reader.AddUnit(other.symbol, other.symbol, other.dimension, 1.0);
        EXPECT_TRUE(reader.SetSignature(other.dimension, other.signature));
    }
    EXPECT_TRUE(reader.SetSignature("Length", "L"));
    EXPECT_TRUE(reader.SetSignature("Time", "T"));
    for (const char* bad : {"L L", "L2x", "2L", "L-0", "L M-"}) {
        EXPECT_FALSE(reader.SetSignature("Length", bad)) << bad;
    }
    reader.SetTakesPrefixes("m");

    const Reader::UnitSpec* velocity = reader.GetUnitSpec("ft/s");
    ASSERT_NE(velocity, nullptr);
    EXPECT_EQ(velocity->dimensionName, "Velocity");
    EXPECT_EQ(ExactOf(*velocity->converter), "0 381 1250 0");
    EXPECT_EQ(reader.GetUnitSpec("Mm")->dimensionName, "Length");
    EXPECT_EQ(reader.GetUnitSpec("kft"), nullptr);
    EXPECT_EQ(reader.ExplainMissingUnit("kft")->reason, "\"ft\" takes no prefix");
    EXPECT_EQ(reader.GetUnitSpec("m*s")->dimensionName, "L\xC2\xB7T");
    // No dimension measures mass alone: the expression has no base unit, until Mass says so.
    EXPECT_EQ(reader.ExplainMissingUnit("J*s")->reason,
              "no dimension of the catalogue has the signature M alone, so the expression has no "
              "base unit");
    EXPECT_TRUE(reader.SetSignature("Mass", "M"));
    EXPECT_EQ(reader.GetUnitSpec("J*s")->dimensionName,
              "L\xC2\xB2\xC2\xB7M\xC2\xB7T\xE2\x81\xBB\xC2\xB9");
    // Energy and Torque share a signature and the host marked neither.
    EXPECT_EQ(reader.ExplainMissingUnit("kg*m^2/s^2")->reason,
              "the expression is of the signature L\xC2\xB2\xC2\xB7M\xC2\xB7T\xE2\x81\xBB\xC2\xB2"
              ", shared by the dimensions \"Energy\" and \"Torque\", none of which the catalogue "
              "marks as the one expressions take");
    EXPECT_TRUE(reader.SetSignature("Torque", "M L2 T-2", true));
    EXPECT_EQ(reader.GetUnitSpec("kg*m^2/s^2")->dimensionName, "Torque");
    // An engine that is neither exact nor a plain linear one cannot be composed.
    Converter::LinearUnitConverter half(0.5, 0.0);
    reader.AddUnit("hop", "a composite of doubles", "Length",
                   std::make_unique<Converter::CompositeUnitConverter>(
                       &half, new Converter::LinearUnitConverter(2.0, 0.0)));
    EXPECT_EQ(reader.ExplainMissingUnit("hop/s")->reason,
              "\"hop\" has an engine of no exact definition, so it cannot be multiplied, divided, "
              "raised to a power or prefixed");
}

TEST(UnitExpression, ExplainsRefusalsWithACharacterColumnAndSuggestions) {
    const auto reader = XmlUnitReader::Default();
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"kg/fet2", "at character 4: unknown unit \"fet\"; did you mean ft?"},
        {"\xC2\xB5m//s", "at character 4: a unit is missing before \"/\""}, // µ is one character
        {"xyzzy", "at character 1: unknown unit \"xyzzy\""},
    };
    for (const auto& c : cases) {
        const auto problem = reader->ExplainMissingUnit(c.text);
        ASSERT_TRUE(problem.has_value()) << c.text;
        EXPECT_EQ(problem->ToString(), c.problem);
    }
    EXPECT_FALSE(reader->ExplainMissingUnit("m").has_value());
    EXPECT_FALSE(reader->ExplainMissingUnit("m/s^3").has_value());
}

// After the warm-up, threads may look up symbols the catalogue lacks at once: the resolver's
// own memory is shared between them (ThreadSanitizer watches this test in the tsan build).
TEST(UnitExpression, ResolvesOnManyThreadsAtOnceToOneRecordPerText) {
    const auto reader = XmlUnitReader::Default();
    const std::vector<std::string> texts = {"kg*m/s^2", "ft/s", "kg*m",      "m\xC2\xB7kg", "Gm",
                                            "fet",      "m//s", "J/(mol*K)", "W/(m*K)"};
    std::vector<std::vector<const Reader::UnitSpec*>> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    const auto* record = reader->GetUnitSpec(texts[(i + t) % texts.size()]);
                    if (round == 0) {
                        seen[t].push_back(record);
                    }
                    reader->GetDimensionSpec("L\xC2\xB7M");
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t t = 0; t < seen.size(); ++t) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(seen[t][i], reader->GetUnitSpec(texts[(i + t) % texts.size()]));
        }
    }
}

} // namespace
