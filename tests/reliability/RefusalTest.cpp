// Every refusal of the library, with its exact message. A refused call has no effect but its
// exception: it leaves the catalogue, the registry of unit systems, the current unit system, the
// reader slots and a local system's overrides exactly as they were, and raises no event.
#include "OrvTesting.h"

#include <units/WarmUp.h>
#include <units/reader/XmlUnitReader.h>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

std::string SymbolOf(const Unit* unit) {
    return unit != nullptr ? unit->Symbol() : std::string("(null)");
}

/// Everything a refused call could have changed, as text.
std::string State(LocalUnitSystem& local, int eventsRaised) {
    std::ostringstream state;
    state << "units:";
    for (Unit* unit : Unit::GetAllUnits()) {
        state << ' ' << unit->Symbol() << '@' << unit << '/' << unit->GetDimension()->Name();
    }
    state << "\nmeasurements:";
    for (Measurement* measurement : Measurement::GetAllMeasurements()) {
        state << ' ' << measurement->Name() << '@' << measurement;
    }
    state << "\nregistry:";
    for (UnitSystem* system : UnitSystem::UnitSystems()) {
        state << ' ' << system->Name() << '@' << system << '{';
        for (const auto& entry : system->GetMeasurementUnitHashMap()) {
            state << entry.first->Name() << '=' << SymbolOf(entry.second) << ';';
        }
        state << '}';
    }
    state << "\ncurrent: " << UnitService::GetUnitSystem()
          << "\nreader: " << &UnitService::UnitReader() << "\noverrides:";
    for (const auto& entry : local.GetMeasurementUnitHashMap()) {
        state << ' ' << entry.first->Name() << '=' << SymbolOf(entry.second);
    }
    state << "\nevents: " << eventsRaised;
    return state.str();
}

TEST(Refusals, ThrowTheirMessageAndChangeNothing) {
    Measurement *depth = M("Depth"), *length = M("Length");
    Unit *m = U("m"), *ft = U("ft");
    LocalUnitSystem site("Site", UnitSystem::GetUnitSystem("Imperial"));
    site.SetUnitOfMeasurement(depth, m);
    LocalUnitSystem floating("Floating"), nullParent("Null parent", nullptr);
    int eventsRaised = 0;
    UnitService::m_CurrentUnitSystemChanged.Subscribe([&](const auto&) { ++eventsRaised; });
    site.m_LocalUnitSystemChanged.Subscribe([&](const auto&) { ++eventsRaised; });
    const UCDouble oneMetre(1.0, depth), oneFoot(1.0, length), two(2.0), bare(1.0, nullptr);
    const UnitConverter fromZero(U("zero"), ft); // converts from, but not into, zero

    // Everything is built first, so that what a refused call builds on its way (a unit system
    // remembering a measurement's unit) is not mistaken for a change. Then records that the
    // library refuses join the reader.
    WarmUpCatalogue();
    const std::string before = State(site, eventsRaised);
    Reader::InMemoryUnitReader& records = Catalogue().records;
    records.AddDimension("Void", "m").valid = false;
    records.AddDimension("Nameless", "m").name = "";
    records.AddDimension("Baseless", "");
    records.AddDimension("Unbased", "furlong");
    records.AddDimension("Weight", "kg");
    records.AddUnit("x", "orphan", "", 1.0);
    records.AddDimension("Orphaned", "x");
    records.AddDimension("Distance", "m").name = "Length";
    records.AddUnit("nmi", "nautical mile", "Length", 1852.0).valid = false;
    records.AddUnit("fur", "furlong", "Lenght", 201.168);
    records.AddMeasurement("Porosity", "Length").valid = false;
    records.AddMeasurement("Lost", "Lenght");
    records.AddMeasurement("MD", "Length").name = "Depth";

    const std::string nullArguments = "NULL arguments passed to UnitConverter";
    std::vector<std::pair<std::function<void()>, std::string>> refusals = {
        // Catalogue look-ups: keys are exact, and bad records are refused.
        {[] { Dimension::GetDimension("length"); }, "Could not find a Dimension named 'length'!"},
        {[] { Dimension::GetDimension("Void"); }, "Could not find a Dimension named 'Void'!"},
        {[] { Dimension::GetDimension("Nameless"); }, "Attempting to add NULL dimension"},
        {[] { Dimension::GetDimension("Baseless"); },
         "Attempting to add dimension without a base unit"},
        {[] { Dimension::GetDimension("Unbased"); }, "No Unit found for \"furlong\" base symbol."},
        {[] { Dimension::GetDimension("Weight"); },
         "DimensionWeighthas base symbolkg, but that symbol is in theMass"},
        {[] { Dimension::GetDimension("Orphaned"); },
         "DimensionOrphanedhas base symbolx, but that symbol is in the( NULL )"},
        {[] { Dimension::GetDimension("Distance"); },
         "Attempting to add duplicate \"Length\" dimension"},
        {[] { Unit::GetUnit("FT"); }, "Could not find a Unit with symbol 'FT'!"},
        {[] { Unit::GetUnit(""); }, "Could not find a Unit with symbol ''!"},
        {[] { Unit::GetUnit("nmi"); }, "Could not find a Unit with symbol 'nmi'!"},
        {[] { Unit::GetUnit("fur"); }, "Could not find a Dimension named 'Lenght'!"},
        {[] { Measurement::GetMeasurement("depth"); },
         "Could not find a Measurement named 'depth'!"},
        {[] { Measurement::GetMeasurement("Porosity"); },
         "Could not find a Measurement named 'Porosity'!"},
        {[] { Measurement::GetMeasurement("Lost"); }, "Could not find a Dimension named 'Lenght'!"},
        {[] { Measurement::GetMeasurement("MD"); },
         "Attempting to add duplicate \"Depth\" measurement"},
        {[] { UnitSystem::GetUnitSystem("metric"); },
         "Could not find a UnitSystem named 'metric'!"},
        // Reader slots and unit systems.
        {[] { UnitService::UnitReader(nullptr); },
         "Can not set an empty UnitReader in UnitSystem!"},
        {[] { UnitService::SyPhysicalUnitReader(nullptr); },
         "Can not set an empty SyPhysical Unit Reader in UnitService!"},
        {[&] { UnitService::SetUnitSystem(&floating); },
         "Current unit system must not refer to self"},
        {[&] { UnitService::SetUnitSystem(&nullParent); },
         "Current unit system must not refer to self"},
        {[&] { site.SetUnitOfMeasurement(nullptr, m); }, "Cannot modify a NULL measurement"},
        {[&] { site.SetUnitOfMeasurement(depth, nullptr); }, "Cannot set Depth to a NULL unit"},
        {[&] { site.SetUnitOfMeasurement(depth, U("lb")); },
         "Cannot set Depth( Length ) to lb( Mass )"},
        // Converters: null units, other dimensions, an output unit without an inverse.
        {[=] { UnitConverter(nullptr, m); }, nullArguments},
        {[=] { UnitConverter(m, nullptr); }, nullArguments},
        {[] { UnitConverter::Convert(1.0, nullptr, nullptr); }, nullArguments},
        {[=] { UnitConverter(ft, U("lb")); }, "Cannot convert from ft to lb"},
        {[=] { UnitConverter::Convert(1.0, U("km/L"), m); }, "Cannot convert from km/L to m"},
        {[=] { UnitConverter(ft, U("zero")); }, "Cannot convert from ft to zero"},
        {[&] { delete fromZero.GetInverse(); }, "Cannot convert from ft to zero"},
        // Values that cannot be combined, named by their measurements.
        {[&] { bare.BaseUnit(); },
         "A value without a measurement has no base unit; construct it with a measurement to "
         "read it in units"},
        {[&] { delete &(oneMetre + oneFoot); },
         "Attempting to add values of Depth and Length measurements"},
        {[&] { delete &(oneFoot - oneMetre); },
         "Attempting to subtract values of Length and Depth measurements"},
        {[&] { delete &(oneMetre + bare); },
         "Attempting to add a value without a measurement to a value of Depth measurement; both "
         "values need the same measurement"},
        {[&] { delete &(oneMetre - bare); },
         "Attempting to subtract a value without a measurement from a value of Depth "
         "measurement; both values need the same measurement"},
        {[&] { delete &(oneMetre * oneFoot); },
         "Don't know how to multiply Depth and Length measurements"},
        {[&] { delete &(oneMetre * bare); }, "Null Measurement"},
        {[&] { delete &(bare * oneMetre); }, "Null Measurement"},
        {[&] { delete &(oneMetre / oneMetre); },
         "Don't know how to divide Depth by Depth measurement"},
        {[&] { delete &(two / oneMetre); },
         "Don't know how to divide Unitless by Depth measurement"},
        {[&] { delete &(oneMetre / bare); },
         "Don't know how to divide Depth by a value without a measurement; the divisor needs a "
         "dimensionless measurement"},
        {[&] { delete &(bare / two); },
         "Don't know how to divide a value without a measurement; construct the dividend with a "
         "measurement"},
        // Texts: the measurement is checked before the text; a unit of another dimension than
        // the measurement's, or than the stand-in measurement's (Burn rate for min), is refused.
        {[=] { delete &UCDouble::Parse("  bad  ", nullptr, m); }, "Null Measurement passed."},
        {[] { delete &UCDouble::Parse("5", nullptr, UnitSystem::GetUnitSystem("Metric")); },
         "Null Measurement passed."},
        {[=] { delete &UCDouble::Parse("5", depth, static_cast<UnitSystem*>(nullptr)); },
         "Null Unit System passed."},
        {[=] { delete &UCDouble::Parse("5", depth, static_cast<Unit*>(nullptr)); }, nullArguments},
        {[=] { delete &UCDouble::Parse("5", depth, U("kg")); }, "Cannot convert from kg to m"},
        {[=] { delete &UCDouble::Parse("5 lb", depth, m); }, "Cannot convert from lb to m"},
        {[] { delete &UCDouble::Parse("5 min"); }, "Cannot convert from min to L/100km"},
        {[] { delete &UCDouble::Parse("5 furlong"); },
         "Could not find a Unit with symbol 'furlong'!"},
        {[] { delete &UCDouble::Parse("5 fur"); }, "Could not find a Dimension named 'Lenght'!"},
    };
    for (const char* text : {" 5 m", " 5", "5  m", "5 m x", "5 m ", " "}) {
        refusals.emplace_back([=] { delete &UCDouble::Parse(text, depth); }, "Badly formed input");
    }
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        const auto& [refusal, message] = refusals[i];
        SCOPED_TRACE("refusal " + std::to_string(i) + ": " + message);
        // Twice: a refusal that left something half-built would not refuse the second time.
        EXPECT_EQ(MessageOf(refusal), message);
        EXPECT_EQ(MessageOf(refusal), message);
        EXPECT_EQ(State(site, eventsRaised), before);
    }

    // A catalogue that is refused leaves the registered reader and all built from it alone.
    for (const std::string text :
         {"<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">",
          "<!DOCTYPE UnitCatalog [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
          "<UnitCatalog><UnitSystem name=\"&b;\"/></UnitCatalog>",
          "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\"><Unit name=\"m\" "
          "desc=\"metre\" B=\"1\"/><Unit name=\"m\" desc=\"again\" B=\"NaN\"/></Dimension>"
          "</UnitCatalog>"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(Reader::XmlUnitReader::FromText(text, "hostile.xml"), Reader::CatalogueError);
        EXPECT_EQ(State(site, eventsRaised), before);
    }
}

} // namespace
