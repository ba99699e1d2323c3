// The catalogue: dimensions, units and measurements built from reader records and filed under
// their keys, their orders, the listings of units and symbols bound to a measurement. Every
// refusal's message is checked with the others in tests/reliability.
#include "OrvTesting.h"

#include <units/Symbol.h>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

// A look-up that hits never calls a reader, not even one registered later. Copies share their
// originals' keys, and destroying one must not unfile the original.
TEST(Catalogue, BuildsEachObjectOnceFromItsRecord) {
    SpyReader& reader = Catalogue();
    Dimension* length = Dimension::GetDimension("Length");
    Unit* foot = Unit::GetUnit("ft");
    Measurement* depth = Measurement::GetMeasurement("Depth");
    {
        const Dimension dimensionCopy(*length);
        const Measurement measurementCopy(*depth);
    }
    SpyReader later;
    UnitService::UnitReader(&later);

    EXPECT_EQ(Dimension::GetDimension("Length"), length);
    EXPECT_EQ(Unit::GetUnit("ft"), foot);
    EXPECT_EQ(Measurement::GetMeasurement("Depth"), depth);
    EXPECT_TRUE(later.calls.empty());
    EXPECT_EQ(reader.Calls("GetDimensionSpec Length"), 1);
    EXPECT_EQ(reader.Calls("GetUnitSpec ft"), 1);
    EXPECT_EQ(reader.Calls("GetMeasurementSpec Depth"), 1);
    // The unit owns a copy of the record's engine.
    EXPECT_NE(foot->Converter(), reader.records.GetUnitSpec("ft")->converter);
}

// Asked for again, the dimension and measurement records collide with what they built (see
// tests/reliability); the unit record finds its unit in the cache.
TEST(Catalogue, FilesEachObjectUnderItsRecordsKeyNotTheKeyAskedFor) {
    Reader::InMemoryUnitReader& records = Catalogue().records;
    records.AddDimension("Distance", "m").name = "Length";
    records.AddMeasurement("MD", "Length").name = "Measured depth";
    records.AddUnit("metre", "metre", "Length", 1.0).symbol = "m";

    Dimension* length = Dimension::GetDimension("Distance");
    Measurement* measured = Measurement::GetMeasurement("MD");
    Unit* metre = Unit::GetUnit("metre");

    EXPECT_EQ(Dimension::GetDimension("Length"), length);
    EXPECT_EQ(Measurement::GetMeasurement("Measured depth"), measured);
    EXPECT_EQ(Unit::GetUnit("m"), metre);
    EXPECT_EQ(Unit::GetUnit("metre"), metre);
}

// Look-ups search a hash index whose slots hold sixteen bytes of their key: keys of every length
// around that, keys that differ in their last byte only, and an index that grows while units are
// filed must all find their own unit; a key is the C string it starts with.
TEST(Catalogue, FindsEachUnitByItsOwnSymbolWhateverItsLength) {
    Reader::InMemoryUnitReader& records = Catalogue().records;
    std::vector<std::string> symbols;
    for (std::size_t length = 1; length <= 40; ++length) {
        symbols.push_back(std::string(length - 1, 'k') + 'a');
        symbols.push_back(std::string(length - 1, 'k') + 'b');
    }
    for (int i = 0; i < 200; ++i) {
        symbols.push_back("u" + std::to_string(i));
    }
    std::vector<Unit*> units;
    for (const std::string& symbol : symbols) {
        records.AddUnit(symbol, symbol, "Length", 2.0);
        units.push_back(Unit::GetUnit(symbol));
    }

    for (std::size_t i = 0; i < symbols.size(); ++i) {
        EXPECT_EQ(Unit::GetUnit(symbols[i]), units[i]) << symbols[i];
        EXPECT_EQ(units[i]->Symbol(), symbols[i]);
    }
    EXPECT_EQ(Unit::GetUnit(std::string("ka\0b", 4)), Unit::GetUnit("ka"));
    const std::string unknown = std::string(30, 'k') + 'c';
    EXPECT_EQ(MessageOf([&] { Unit::GetUnit(unknown); }),
              "Could not find a Unit with symbol '" + unknown + "'!");
}

// Building a dimension reads only the dimension of its base unit's record; the unit itself is
// built when first asked for, and a failure then is not remembered.
TEST(Dimension, ResolvesItsBaseUnitWhenFirstAskedAndRetriesAfterAFailure) {
    SpyReader& reader = Catalogue();
    Dimension* length = Dimension::GetDimension("Length");
    SpyReader empty;
    UnitService::UnitReader(&empty);
    EXPECT_EQ(MessageOf([&] { length->BaseUnit(); }), "Could not find a Unit with symbol 'm'!");
    EXPECT_EQ(length->ToString(), "Dimension Length");

    UnitService::UnitReader(&reader);
    EXPECT_EQ(length->BaseUnit(), Unit::GetUnit("m"));
    EXPECT_EQ(reader.Calls("GetUnitSpec m"), 2);
    EXPECT_EQ(length->ToString(), "Dimension Length , base unit m");
}

// By dimension name in unsigned byte order; then scale 1 first and the others by leading digits,
// then by scale (an offset does not count); then by standard form, capitals first; the standard
// form before its aliases, and aliases by name, not by symbol.
TEST(Unit, SortsByDimensionScaleStandardFormAndName) {
    Reader::InMemoryUnitReader& records = Catalogue().records;
    records.AddUnit("Ym", "Ym", "Length", 1.0);
    records.AddUnit("cm", "cm", "Length", 0.01);
    records.AddUnit("mm", "mm", "Length", 0.001);
    records.AddUnit("feet", "z feet", "Length", 0.3048, 0.0, "ft");
    records.AddDimension("\xC3\xA9nergie", "J"); // its first byte, 0xC3, sorts after ASCII
    records.AddUnit("J", "joule", "\xC3\xA9nergie", 1.0);
    std::vector<Unit*> units;
    for (Unit* unit : Unit::GetAllUnits()) {
        if (unit->Symbol() != "zero") { // no scale to sort by
            units.insert(units.begin(), unit);
        }
    }

    std::stable_sort(units.begin(), units.end(),
                     [](Unit* left, Unit* right) { return left->CompareTo(right) < 0; });

    EXPECT_EQ(Keys(units),
              "L/100km km/L 1 % Ym m mm cm km ft foot feet kg lb K degC degF s min J ");
    EXPECT_EQ(units[0]->CompareTo(units[0]), 0);
    EXPECT_EQ(units[0]->CompareTo(nullptr), 1);
}

TEST(Measurement, ListsAllInUnsignedByteOrderReadingTheReaderOnce) {
    SpyReader& reader = Catalogue();
    reader.nullFirst = true;
    for (const char* name : {"\xC3\x89tage", "Zenith", "area", "Depth"}) {
        reader.records.AddMeasurement(name, "Length");
    }
    reader.records.AddMeasurement("Broken", "Length").valid = false;

    const std::string first = Keys(Measurement::GetAllMeasurements());
    reader.records.AddMeasurement("Offset", "Length");
    Measurement::GetMeasurement("Offset");

    EXPECT_EQ(first, "Burn rate Depth Length Mass Ratio Temperature Unitless Zenith area "
                     "\xC3\x89tage ");
    EXPECT_EQ(Keys(Measurement::GetAllMeasurements()),
              "Burn rate Depth Length Mass Offset Ratio Temperature Unitless Zenith area "
              "\xC3\x89tage ");
    EXPECT_EQ(reader.Calls("GetAllMeasurementSpecs"), 1);
}

TEST(Measurement, OrdersByDimensionThenByName) {
    EXPECT_EQ(M("Depth")->CompareTo(nullptr), 1);
    EXPECT_EQ(M("Depth")->CompareTo(M("Depth")), 0);
    EXPECT_EQ(M("Depth")->CompareTo(M("Length")), -1);
    EXPECT_EQ(M("Mass")->CompareTo(M("Depth")), 1); // Length before Mass, whatever the names
}

// The first listing reads every record; later ones list the catalogue as it is then.
TEST(UnitListings, ListEveryUnitInByteOrderReadingTheRecordsOnce) {
    SpyReader& reader = Catalogue();
    const std::string all = "1 K L/100km degC degF foot ft kg km km/L lb m min s zero ";
    EXPECT_EQ(Keys(Unit::GetAllUnits()), "% " + all);
    reader.records.AddUnit("A", "ampere", "Length", 1.0);
    EXPECT_EQ(Keys(Unit::GetAllUnits()), "% " + all);
    Unit::GetUnit("A");
    EXPECT_EQ(Keys(Unit::GetAllUnits()), "% 1 A " + all.substr(2));
    EXPECT_EQ(reader.Calls("GetAllUnitSpecs"), 1);
}

TEST(UnitListings, AreEmptyForAReaderWithoutUnitsWhichIsNotAskedAgain) {
    SpyReader reader;
    UnitService::UnitReader(&reader);
    EXPECT_EQ(Keys(Unit::GetAllUnits()), "");
    EXPECT_EQ(Keys(Unit::GetAllUnits()), "");
    EXPECT_EQ(reader.Calls("GetAllUnitSpecs"), 1);
}

// A listing that fails leaves what it built, and the next one reads every record again.
TEST(UnitListings, ReadEveryRecordAgainAfterAFailedListing) {
    Catalogue().records.AddUnit("x", "x", "Nowhere", 1.0);
    EXPECT_EQ(MessageOf([] { Unit::GetAllUnits(); }),
              "Could not find a Dimension named 'Nowhere'!");
    Catalogue().records.AddDimension("Nowhere", "x");
    EXPECT_EQ(Keys(Unit::GetAllUnits(Dimension::GetDimension("Nowhere"))), "x ");
    EXPECT_EQ(Catalogue().Calls("GetAllUnitSpecs"), 2);
}

TEST(UnitListings, ListTheUnitsOfADimensionOrOfAStandardForm) {
    Catalogue().records.AddUnit("feet", "feet", "Length", 0.3048, 0.0, "ft");
    EXPECT_EQ(Keys(Unit::GetAllUnits(Dimension::GetDimension("Length"))),
              "feet foot ft km m zero ");
    EXPECT_EQ(Keys(Unit::GetAllUnits(static_cast<Dimension*>(nullptr))), "");
    EXPECT_EQ(Keys(Unit::GetAllUnits(U("foot"))), "feet foot ft ");
    EXPECT_EQ(Keys(Unit::GetAllUnits(U("ft"))), "feet foot ft ");
    EXPECT_EQ(Keys(Unit::GetAllUnits(U("m"))), "m ");
    EXPECT_EQ(Keys(Unit::GetAllUnits(static_cast<Unit*>(nullptr))), "");
}

// One entry per listed symbol in the record's order, or each widened to the units of its
// standard form (foot's group twice); all units of the dimension when the record lists none.
// The record is asked for on every call, valid or not; a reader without it gives nothing.
TEST(UnitListings, ListTheUnitsThatAMeasurementsRecordOffers) {
    SpyReader& reader = Catalogue();
    Reader::MeasurementSpec& span =
        reader.records.AddMeasurement("Span", "Length", {"ft", "m", "foot"});
    const Measurement& measurement = *M("Span");
    span.valid = false;

    EXPECT_EQ(Keys(Unit::GetAllUnits(measurement, false)), "ft m foot ");
    EXPECT_EQ(Keys(Unit::GetAllUnits(measurement, true)), "foot ft m foot ft ");
    EXPECT_EQ(Keys(Unit::GetAllUnits(*M("Mass"), true)), "kg lb ");
    EXPECT_EQ(reader.Calls("GetMeasurementSpec Span"), 3);
    SpyReader other;
    UnitService::UnitReader(&other);
    EXPECT_EQ(Keys(Unit::GetAllUnits(measurement, false)), "");
}

// An offered symbol or a standard form that the reader lacks fails the call, and resolves once
// the reader has it.
TEST(UnitListings, RefuseSymbolsTheReaderLacksUntilItHasThem) {
    Reader::InMemoryUnitReader& records = Catalogue().records;
    records.AddMeasurement("Reach", "Length", {"m", "fathom"});
    for (const bool widened : {false, true}) {
        EXPECT_EQ(MessageOf([&] { Unit::GetAllUnits(*M("Reach"), widened); }),
                  "Could not find a Unit with symbol 'fathom'!");
    }
    records.AddUnit("yd", "yard", "Length", 0.9144, 0.0, "yard");
    EXPECT_EQ(MessageOf([] { U("yd")->StandardForm(); }),
              "Could not find a Unit with symbol 'yard'!");
    records.AddUnit("yard", "yard", "Length", 0.9144);
    EXPECT_EQ(U("yd")->StandardForm(), U("yard"));
}

// Symbol's constructors, assignment and Swap are for derived classes only.
class HostSymbol : public Symbol {
public:
    HostSymbol() = default;
    HostSymbol(const std::string& name, Measurement* measurement) : Symbol(name, measurement) {}
    using Symbol::Swap;
};

TEST(Symbol, FallsBackToUnitlessForANullMeasurementAndSwapsBothParts) {
    Measurement *unitless = M("Unitless"), *depth = M("Depth");
    HostSymbol first("first", depth), second("second", nullptr);
    EXPECT_EQ(HostSymbol().GetName(), "");
    EXPECT_EQ(HostSymbol().GetMeasurement(), unitless);
    EXPECT_EQ(second.GetMeasurement(), unitless);

    first.Swap(second);
    second.Swap(second);
    EXPECT_EQ(first.GetName() + " " + second.GetName(), "second first");
    EXPECT_EQ(first.GetMeasurement(), unitless);
    EXPECT_EQ(second.GetMeasurement(), depth);
    first = second;
    EXPECT_EQ(first.GetName(), "first");
    EXPECT_EQ(first.GetMeasurement(), depth);
    first.SetMeasurement(nullptr);
    EXPECT_EQ(first.GetMeasurement(), unitless);
}

// A refused fallback leaves the symbol on its measurement.
TEST(Symbol, NeedsUnitlessInTheCatalogueOnlyWithoutAMeasurement) {
    HostSymbol symbol("d", M("Depth"));
    SpyReader empty; // it lacks Unitless, which nothing has looked up yet
    UnitService::UnitReader(&empty);
    const std::string refusal = "Could not find a Measurement named 'Unitless'!";
    EXPECT_EQ(MessageOf([&] { symbol.SetMeasurement(nullptr); }), refusal);
    EXPECT_EQ(symbol.GetMeasurement(), M("Depth"));
    EXPECT_EQ(MessageOf([] { HostSymbol(); }), refusal);
}

} // namespace
