// Every refusal of the library, with its exact message. A refused call has no effect but its
// exception: it leaves the catalogue, the registry of unit systems, the current unit system, the
// reader slots and a local system's overrides exactly as they were, and raises no event.
#include "OrvTesting.h"

#include <units/WarmUp.h>
#include <units/reader/XmlUnitReader.h>

#include <filesystem>
#include <map>

#if defined(__unix__)
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

/// What `build` gives in a child process that has the state of this one: the state of a catalogue
/// that nothing after this point touches, while this process stays cold.
template <typename Build>
std::string ColdReference(Build build) {
#if defined(__unix__)
    int pipe_[2];
    EXPECT_EQ(pipe(pipe_), 0);
    const pid_t child = fork();
    if (child == 0) {
        const std::string state = build();
        const ssize_t written = write(pipe_[1], state.data(), state.size());
        _exit(written == static_cast<ssize_t>(state.size()) ? 0 : 1);
    }
    close(pipe_[1]);
    std::string state;
    char buffer[4096];
    for (ssize_t got; (got = read(pipe_[0], buffer, sizeof buffer)) > 0;) {
        state.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipe_[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    return state;
#else
    return build(); // not reached: the cold case is skipped where there is no fork
#endif
}

std::string SymbolOf(const Unit* unit) {
    return unit != nullptr ? unit->Symbol() : std::string("(null)");
}

/// Everything a refused call could have changed, as text; with `addresses`, the objects' too.
std::string State(std::vector<LocalUnitSystem*> locals, int eventsRaised, bool addresses) {
    std::ostringstream state;
    const auto at = [&](const void* object) {
        if (addresses) {
            state << '@' << object;
        }
    };
    state << "dimensions:";
    for (const char* name : {"Dimensionless", "Length", "Temperature", "Mass", "Consumption"}) {
        Dimension* dimension = Dimension::GetDimension(name);
        state << ' ' << name << '/' << SymbolOf(dimension->BaseUnit());
        at(dimension);
    }
    state << "\nunits:";
    for (Unit* unit : Unit::GetAllUnits()) {
        state << ' ' << unit->Symbol() << '/' << unit->GetDimension()->Name();
        at(unit);
    }
    state << "\nmeasurements:";
    for (Measurement* measurement : Measurement::GetAllMeasurements()) {
        state << ' ' << measurement->Name();
        at(measurement);
    }
    state << "\nregistry:";
    for (UnitSystem* system : UnitSystem::UnitSystems()) {
        state << ' ' << system->Name();
        at(system);
        // Keyed by address: in name order, so that two processes compare.
        std::map<std::string, std::string> units;
        for (const auto& entry : system->GetMeasurementUnitHashMap()) {
            units[entry.first->Name()] = SymbolOf(entry.second);
        }
        state << '{';
        for (const auto& [measurement, unit] : units) {
            state << measurement << '=' << unit << ';';
        }
        state << '}';
    }
    state << "\ncurrent: " << UnitService::GetUnitSystem()->Name();
    at(UnitService::GetUnitSystem());
    state << "\nreaders: " << (&UnitService::UnitReader() == &Catalogue()) << ' '
          << MessageOf([] { UnitService::SyPhysicalUnitReader(); }).substr(0, 30);
    // Overrides, and what each local system answers through its parent or the current system.
    for (LocalUnitSystem* local : locals) {
        state << "\n" << local->Name() << ": " << local->UsesCurrentContext();
        for (const auto& entry : local->GetMeasurementUnitHashMap()) {
            state << ' ' << entry.first->Name() << '=' << SymbolOf(entry.second);
        }
        state << " Length=" << SymbolOf(local->GetUnitOfMeasurement(M("Length")));
    }
    state << "\nprobe: " << UnitConverter::Convert(12.5, U("ft"), U("m"))
          << "\nevents: " << eventsRaised;
    return state.str();
}

// Every refusal runs on a warm catalogue, where the state is compared after each, and on a cold
// one, where the refusals come before anything else is built and the catalogue they leave is
// compared, once built whole, with one that no refusal touched.
class Refusals : public ::testing::TestWithParam<bool> {};

TEST_P(Refusals, ThrowTheirMessageAndChangeNothing) {
    const bool cold = GetParam();
#if !defined(__unix__)
    if (cold) {
        GTEST_SKIP() << "the cold reference is built in a forked process, which Windows lacks";
    }
#endif
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
    const std::vector<LocalUnitSystem*> locals = {&site, &floating, &nullParent};
    std::string before;
    if (!cold) {
        WarmUpCatalogue();
        before = State(locals, eventsRaised, true);
    } else {
        before = ColdReference([&] {
            WarmUpCatalogue();
            return State(locals, eventsRaised, false);
        });
    }
    Reader::InMemoryUnitReader& records = Catalogue().records;
    std::vector<bool*> refused = {&records.AddDimension("Void", "m").valid,
                                  &records.AddDimension("Nameless", "m").valid,
                                  &records.AddDimension("Baseless", "m").valid,
                                  &records.AddDimension("Unbased", "furlong").valid,
                                  &records.AddDimension("Weight", "kg").valid,
                                  &records.AddUnit("x", "orphan", "Length", 1.0).valid,
                                  &records.AddDimension("Orphaned", "x").valid,
                                  &records.AddDimension("Distance", "m").valid,
                                  &records.AddUnit("nmi", "nautical mile", "Length", 1852.0).valid,
                                  &records.AddUnit("fur", "furlong", "Lenght", 201.168).valid,
                                  &records.AddMeasurement("Porosity", "Length").valid,
                                  &records.AddMeasurement("Lost", "Lenght").valid,
                                  &records.AddMeasurement("MD", "Length").valid};
    *refused[0] = *refused[8] = *refused[10] = false;
    const_cast<std::string&>(records.GetDimensionSpec("Nameless")->name) = "";
    const_cast<std::string&>(records.GetDimensionSpec("Baseless")->baseUnitSymbol) = "";
    const_cast<std::string&>(records.GetUnitSpec("x")->dimensionName) = "";
    const_cast<std::string&>(records.GetDimensionSpec("Distance")->name) = "Length";
    const_cast<std::string&>(records.GetMeasurementSpec("MD")->name) = "Depth";

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
        // On a cold catalogue the stand-in measurement of "5 min" is looked for among all
        // measurements, which meets the refused record of "Lost" first.
        const std::string expected = cold && message == "Cannot convert from min to L/100km"
                                         ? "Could not find a Dimension named 'Lenght'!"
                                         : message;
        // Twice: a refusal that left something half-built would not refuse the second time.
        EXPECT_EQ(MessageOf(refusal), expected);
        EXPECT_EQ(MessageOf(refusal), expected);
        if (!cold) {
            EXPECT_EQ(State(locals, eventsRaised, true), before);
        }
    }

    // A catalogue that is refused, by the file reader or from text, leaves the registered reader
    // and all built from it alone.
    std::vector<std::function<void()>> catalogues = {
        [] { Reader::XmlUnitReader::FromText("<UnitCatalog><Dimension name=\"L\">", "cut.xml"); }};
    for (const auto& entry : std::filesystem::directory_iterator(ORV_HOSTILE_CATALOGUES)) {
        catalogues.push_back(
            [path = entry.path().string()] { Reader::XmlUnitReader::FromFile(path); });
    }
    ASSERT_GT(catalogues.size(), 20u);
    for (const auto& read : catalogues) {
        const std::string message = MessageOf<Reader::CatalogueError>(read);
        EXPECT_EQ(message.rfind("The catalogue was refused (", 0), 0u) << message;
        if (!cold) {
            EXPECT_EQ(State(locals, eventsRaised, true), before);
        }
    }
    if (cold) {
        for (bool* valid : refused) {
            *valid = false;
        }
        WarmUpCatalogue();
        EXPECT_EQ(State(locals, eventsRaised, false), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Refusals, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Cold" : "Warm"; });

} // namespace
