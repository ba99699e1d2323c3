// list: the dimensions, measurements, units or unit systems of the catalogue.
#include "Catalogue.h"
#include "Commands.h"
#include "Output.h"
#include "Session.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

struct ListOptions {
    std::string what;
    std::string dimension;
    std::string measurement;
    CLI::Option* dimensionOption = nullptr;
    CLI::Option* measurementOption = nullptr;
};

std::string DimensionName(const Units::Dimension* dimension) {
    return dimension == nullptr ? std::string() : dimension->Name();
}

// The symbol of the unit that `unit` is an alias of; empty for a unit that is its own standard
// form.
std::string AliasOf(Units::Unit& unit) {
    const Units::Unit* standard = unit.StandardForm();
    return standard == &unit ? std::string() : SymbolOf(standard);
}

void ListDimensions(Session& session) {
    const auto dimensions = AllDimensions(session.Catalogue());
    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginArray();
        for (Units::Dimension* dimension : dimensions) {
            json.BeginObject();
            json.Member("name", dimension->Name());
            json.Member("baseUnit", SymbolOf(dimension->BaseUnit()));
            json.EndObject();
        }
        json.EndArray();
        return;
    }
    Rows rows;
    for (Units::Dimension* dimension : dimensions) {
        rows.push_back({dimension->Name(), SymbolOf(dimension->BaseUnit())});
    }
    PrintColumns(session.Out(), rows);
}

void ListMeasurements(Session& session, const Units::Dimension* dimension) {
    std::vector<Units::Measurement*> measurements;
    for (Units::Measurement* measurement : Units::Measurement::GetAllMeasurements()) {
        if (measurement != nullptr &&
            (dimension == nullptr || measurement->GetDimension() == dimension)) {
            measurements.push_back(measurement);
        }
    }
    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginArray();
        for (const Units::Measurement* measurement : measurements) {
            json.BeginObject();
            json.Member("name", measurement->Name());
            json.Member("dimension", DimensionName(measurement->GetDimension()));
            json.EndObject();
        }
        json.EndArray();
        return;
    }
    Rows rows;
    for (const Units::Measurement* measurement : measurements) {
        rows.push_back({measurement->Name(), DimensionName(measurement->GetDimension())});
    }
    PrintColumns(session.Out(), rows);
}

void ListUnits(Session& session, Units::Dimension* dimension,
               const Units::Measurement* measurement) {
    std::vector<Units::Unit*> candidates;
    if (measurement != nullptr) {
        candidates = Units::Unit::GetAllUnits(*measurement, false);
    } else if (dimension != nullptr) {
        candidates = Units::Unit::GetAllUnits(dimension);
    } else {
        candidates = Units::Unit::GetAllUnits();
    }
    std::vector<Units::Unit*> units;
    for (Units::Unit* unit : candidates) {
        if (unit != nullptr && (dimension == nullptr || unit->GetDimension() == dimension)) {
            units.push_back(unit);
        }
    }
    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginArray();
        for (Units::Unit* unit : units) {
            json.BeginObject();
            json.Member("symbol", unit->Symbol());
            json.Member("name", unit->Name());
            json.Member("dimension", DimensionName(unit->GetDimension()));
            json.Key("aliasOf");
            const std::string aliasOf = AliasOf(*unit);
            aliasOf.empty() ? json.Null() : json.String(aliasOf);
            json.EndObject();
        }
        json.EndArray();
        return;
    }
    Rows rows;
    for (Units::Unit* unit : units) {
        const std::string aliasOf = AliasOf(*unit);
        rows.push_back({unit->Symbol(), unit->Name(), DimensionName(unit->GetDimension()),
                        aliasOf.empty() ? "" : "alias of " + aliasOf});
    }
    PrintColumns(session.Out(), rows);
}

void ListSystems(Session& session) {
    // The handle keeps the registry, and so its unit systems, alive while they are listed.
    const Units::UnitSystemArray systems = Units::UnitSystem::UnitSystems();
    if (session.Json()) {
        JsonWriter json(session.Out());
        json.BeginArray();
        for (const Units::UnitSystem* system : systems) {
            if (system != nullptr) {
                json.BeginObject();
                json.Member("name", system->Name());
                json.EndObject();
            }
        }
        json.EndArray();
        return;
    }
    for (const Units::UnitSystem* system : systems) {
        if (system != nullptr) {
            session.Out() << system->Name() << '\n';
        }
    }
}

int RunList(const ListOptions& options, Session& session) {
    const bool byDimension = options.dimensionOption->count() > 0;
    const bool byMeasurement = options.measurementOption->count() > 0;
    if (byDimension && options.what != "measurements" && options.what != "units") {
        throw UsageError("--dimension applies to measurements and units only");
    }
    if (byMeasurement && options.what != "units") {
        throw UsageError("--measurement applies to units only");
    }
    session.Catalogue();
    Units::Dimension* dimension =
        byDimension ? Units::Dimension::GetDimension(options.dimension) : nullptr;
    const Units::Measurement* measurement =
        byMeasurement ? Units::Measurement::GetMeasurement(options.measurement) : nullptr;

    if (options.what == "dimensions") {
        ListDimensions(session);
    } else if (options.what == "measurements") {
        ListMeasurements(session, dimension);
    } else if (options.what == "units") {
        ListUnits(session, dimension, measurement);
    } else {
        ListSystems(session);
    }
    return 0;
}

} // namespace

Command AddListCommand(CLI::App& parent) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* app = parent.add_subcommand(
        "list", "List the catalogue's dimensions, measurements, units or unit systems");
    app->add_option("WHAT", options->what, "What to list")
        ->type_name("dimensions|measurements|units|systems")
        ->required()
        ->check(CLI::IsMember({"dimensions", "measurements", "units", "systems"}));
    options->dimensionOption = app->add_option("--dimension", options->dimension,
                                               "Only the measurements or units of this dimension")
                                   ->type_name("NAME");
    options->measurementOption = app->add_option("--measurement", options->measurement,
                                                 "Only the units this measurement offers")
                                     ->type_name("NAME");
    app->footer("A unit that is an alias of another ends its line with \"alias of\" and that "
                "unit's symbol.\n\nExamples:\n  orvunits list units --dimension Length\n  "
                "orvunits list units "
                "--measurement Depth --json");
    return {app, [options](Session& session) { return RunList(*options, session); }};
}

} // namespace Orv::UnitsTool
