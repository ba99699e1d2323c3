// Every operation that refuses leaves the catalogue, the registry of unit systems, the current
// unit system, the reader slots and a local system's overrides exactly as they were, and raises
// no event: a refused call has no effect but its exception.
#include <units/Dimension.h>
#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/WarmUp.h>
#include <units/reader/InMemoryUnitReader.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using Units::Dimension;
using Units::LocalUnitSystem;
using Units::Measurement;
using Units::UCDouble;
using Units::Unit;
using Units::UnitConverter;
using Units::UnitException;
using Units::UnitService;
using Units::UnitSystem;

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
    const Units::UnitSystemArray systems = UnitSystem::UnitSystems();
    for (UnitSystem* system : systems) {
        state << ' ' << system->Name() << '@' << system << '{';
        for (const auto& entry : system->GetMeasurementUnitHashMap()) {
            state << entry.first->Name() << '=' << SymbolOf(entry.second) << ';';
        }
        state << '}';
    }
    state << "\ncurrent: " << UnitService::GetUnitSystem();
    state << "\nreader: " << &UnitService::UnitReader();
    state << "\noverrides:";
    for (const auto& entry : local.GetMeasurementUnitHashMap()) {
        state << ' ' << entry.first->Name() << '=' << SymbolOf(entry.second);
    }
    state << "\nevents: " << eventsRaised;
    return state.str();
}

struct Refusal {
    const char* what;
    std::function<void()> call;
};

TEST(Refusals, LeaveEveryListingAndSettingAsTheyWere) {
    Units::Reader::InMemoryUnitReader reader;
    reader.AddDimension("Dimensionless", "unitless");
    reader.AddUnit("unitless", "unitless", "Dimensionless", 1.0);
    reader.AddMeasurement("Unitless", "Dimensionless");
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "metre", "Length", 1.0);
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddUnit("zero", "collapsed", "Length", 0.0); // cannot be inverted
    reader.AddMeasurement("Length", "Length");
    reader.AddMeasurement("Depth", "Length");
    reader.AddDimension("Time", "s");
    reader.AddUnit("s", "second", "Time", 1.0);
    reader.AddMeasurement("Duration", "Time");
    reader.AddUnitSystem("Metric");
    reader.AddUnitSystem("Field");
    reader.SetUnitOfMeasurement("Field", "Depth", "ft");
    UnitService::UnitReader(&reader);

    Measurement* depth = Measurement::GetMeasurement("Depth");
    Measurement* duration = Measurement::GetMeasurement("Duration");
    Unit* m = Unit::GetUnit("m");
    Unit* s = Unit::GetUnit("s");
    LocalUnitSystem site("Site", UnitSystem::GetUnitSystem("Field"));
    site.SetUnitOfMeasurement(depth, m);
    LocalUnitSystem floating("Floating");
    int eventsRaised = 0;
    UnitService::m_CurrentUnitSystemChanged.Subscribe([&](const auto&) { ++eventsRaised; });
    site.m_LocalUnitSystemChanged.Subscribe([&](const auto&) { ++eventsRaised; });
    const UCDouble oneMetre(1.0, depth);
    const UCDouble oneSecond(1.0, duration);

    // Everything is built first, so that what a refused call builds on its way (a unit system
    // remembering a measurement's unit) is not mistaken for a change. Then records that the
    // library refuses join the reader.
    Units::WarmUpCatalogue();
    const std::string before = State(site, eventsRaised);
    reader.AddUnit("orphan", "of no dimension", "Nowhere", 1.0);
    reader.AddDimension("Broken", "s"); // its base unit is of another dimension
    reader.AddMeasurement("Lost", "Nowhere");

    const Refusal refusals[] = {
        {"unknown unit", [] { Unit::GetUnit("furlong"); }},
        {"empty symbol", [] { Unit::GetUnit(""); }},
        {"unit of an unknown dimension", [] { Unit::GetUnit("orphan"); }},
        {"unknown dimension", [] { Dimension::GetDimension("Nowhere"); }},
        {"dimension with a foreign base unit", [] { Dimension::GetDimension("Broken"); }},
        {"unknown measurement", [] { Measurement::GetMeasurement("Width"); }},
        {"measurement of an unknown dimension", [] { Measurement::GetMeasurement("Lost"); }},
        {"unknown unit system", [] { UnitSystem::GetUnitSystem("Nautical"); }},
        {"Parse: unknown unit", [] { delete &UCDouble::Parse("1 furlong"); }},
        {"Parse: unit of an unknown dimension", [] { delete &UCDouble::Parse("1 orphan"); }},
        {"Parse: leading blank", [=] { delete &UCDouble::Parse(" 1 m", depth); }},
        {"Parse: two blanks", [=] { delete &UCDouble::Parse("1  m", depth); }},
        {"Parse: unit of another dimension", [=] { delete &UCDouble::Parse("1 s", depth); }},
        {"Parse: null measurement", [=] { delete &UCDouble::Parse("1", nullptr, m); }},
        {"Parse: null unit", [=] { delete &UCDouble::Parse("1", depth, (Unit*)nullptr); }},
        {"Parse: null system", [=] { delete &UCDouble::Parse("1", depth, (UnitSystem*)nullptr); }},
        {"converter across dimensions", [=] { UnitConverter(m, s); }},
        {"converter from null", [=] { UnitConverter(nullptr, m); }},
        {"converter to null", [=] { UnitConverter(m, nullptr); }},
        {"converter to a unit without inverse", [=] { UnitConverter(m, Unit::GetUnit("zero")); }},
        {"conversion across dimensions", [=] { UnitConverter::Convert(1.0, s, m); }},
        {"override of null", [&] { site.SetUnitOfMeasurement(nullptr, m); }},
        {"override with null", [&] { site.SetUnitOfMeasurement(depth, nullptr); }},
        {"override across dimensions", [&] { site.SetUnitOfMeasurement(depth, s); }},
        {"parentless local system as current", [&] { UnitService::SetUnitSystem(&floating); }},
        {"null reader", [] { UnitService::UnitReader(nullptr); }},
        {"null SyPhysical reader", [] { UnitService::SyPhysicalUnitReader(nullptr); }},
        {"sum across measurements", [&] { delete &(oneMetre + oneSecond); }},
        {"difference across measurements", [&] { delete &(oneMetre - oneSecond); }},
        {"product of two dimensional values", [&] { delete &(oneMetre * oneMetre); }},
        {"quotient by a dimensional value", [&] { delete &(oneMetre / oneSecond); }},
        {"base unit of no measurement", [] { UCDouble(1.0, nullptr).BaseUnit(); }},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        // Twice: a refusal that left something half-built would not refuse the second time.
        EXPECT_THROW(refusal.call(), UnitException);
        EXPECT_THROW(refusal.call(), UnitException);
        EXPECT_EQ(State(site, eventsRaised), before);
    }

    // A catalogue that is refused leaves the registered reader and all built from it alone.
    const std::string hostile[] = {
        "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">",
        "<!DOCTYPE UnitCatalog [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
        "<UnitCatalog><UnitSystem name=\"&b;\"/></UnitCatalog>",
        "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\"><Unit name=\"m\" desc=\"metre\" "
        "B=\"1\"/><Unit name=\"m\" desc=\"again\" B=\"NaN\"/></Dimension></UnitCatalog>",
    };
    for (const std::string& text : hostile) {
        SCOPED_TRACE(text);
        EXPECT_THROW(Units::Reader::XmlUnitReader::FromText(text, "hostile.xml"),
                     Units::Reader::CatalogueError);
        EXPECT_EQ(State(site, eventsRaised), before);
    }
}

} // namespace
