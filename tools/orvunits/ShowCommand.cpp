// show: what a user wants to know about a unit, measurement, unit system or dimension.
#include "Catalogue.h"
#include "Commands.h"
#include "Output.h"
#include "Session.h"
#include "UnitHint.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/converter/Engines.h>

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;
namespace Converter = Orv::Pim::Core::Service::Units::Converter;

namespace {

// Looks `name` up with `find`; null when the catalogue does not know it.
template <typename Find>
auto Lookup(Find find, const std::string& name) -> decltype(find(name)) {
    try {
        return find(name);
    } catch (const Units::UnitException&) {
        return nullptr;
    }
}

std::string NameOf(const Units::Dimension* dimension) {
    return dimension == nullptr ? std::string() : dimension->Name();
}

// The coefficients of base = factor * value + offset, for a unit with a linear engine.
struct Linear {
    double factor;
    double offset;
};

std::optional<Linear> LinearToBase(const Units::Unit& unit) {
    Converter::IUnitConverterEngine* engine = unit.Converter();
    if (engine == nullptr || engine->m_eType != Converter::e_LinearEngine) {
        return std::nullopt;
    }
    Linear linear{};
    static_cast<Converter::LinearUnitConverter*>(engine)->GetScaleAndOffset(linear.factor,
                                                                            linear.offset);
    return linear;
}

std::vector<std::string> Aliases(Units::Unit& unit) {
    std::vector<std::string> aliases;
    for (const Units::Unit* other : Units::Unit::GetAllUnits(&unit)) {
        if (other != nullptr && other != &unit) {
            aliases.push_back(other->Symbol());
        }
    }
    return aliases;
}

std::vector<Units::Measurement*> MeasurementsOf(const Units::Dimension* dimension) {
    std::vector<Units::Measurement*> measurements;
    for (Units::Measurement* measurement : Units::Measurement::GetAllMeasurements()) {
        if (measurement != nullptr && measurement->GetDimension() == dimension) {
            measurements.push_back(measurement);
        }
    }
    return measurements;
}

std::vector<std::string> Names(const std::vector<Units::Measurement*>& measurements) {
    std::vector<std::string> names;
    for (const Units::Measurement* measurement : measurements) {
        names.push_back(measurement->Name());
    }
    return names;
}

void ShowUnit(Session& session, JsonWriter* json, Units::Unit& unit) {
    const Units::Dimension* dimension = unit.GetDimension();
    // BaseUnit is not const, though looking it up changes nothing a caller can see.
    const std::string base = dimension == nullptr
                                 ? std::string()
                                 : SymbolOf(const_cast<Units::Dimension*>(dimension)->BaseUnit());
    const std::string standardForm = SymbolOf(unit.StandardForm());
    const std::vector<std::string> aliases = Aliases(unit);
    const std::optional<Linear> linear = LinearToBase(unit);
    if (json != nullptr) {
        json->Key("unit").BeginObject();
        json->Member("symbol", unit.Symbol());
        json->Member("name", unit.Name());
        json->Member("dimension", NameOf(dimension));
        json->Member("standardForm", standardForm);
        json->Member("aliases", aliases);
        json->Member("baseUnit", base);
        json->Key("linear").Bool(linear.has_value());
        json->Key("factor");
        linear ? json->Number(linear->factor) : json->Null();
        json->Key("offset");
        linear ? json->Number(linear->offset) : json->Null();
        json->EndObject();
        return;
    }
    std::ostream& out = session.Out();
    out << "unit " << unit.Symbol() << '\n';
    Rows rows = {{"name:", unit.Name()},
                 {"dimension:", NameOf(dimension)},
                 {"standard form:", standardForm},
                 {"aliases:", JoinOrDash(aliases)}};
    if (linear) {
        rows.push_back({"factor to " + base + ":", FormatNumber(linear->factor)});
        rows.push_back({"offset to " + base + ":", FormatNumber(linear->offset)});
    } else {
        rows.push_back({"to " + base + ":", "not linear"});
    }
    PrintColumns(out, rows, "  ");
}

void ShowMeasurement(Session& session, JsonWriter* json, Units::Measurement& measurement) {
    const std::string base = SymbolOf(measurement.BaseUnit());
    const std::vector<std::string> units = Symbols(Units::Unit::GetAllUnits(measurement, false));
    const Units::UnitSystemArray systems = Units::UnitSystem::UnitSystems();
    Rows bySystem;
    for (Units::UnitSystem* system : systems) {
        if (system != nullptr) {
            bySystem.push_back(
                {system->Name(), SymbolOf(system->GetUnitOfMeasurement(&measurement))});
        }
    }
    if (json != nullptr) {
        json->Key("measurement").BeginObject();
        json->Member("name", measurement.Name());
        json->Member("dimension", NameOf(measurement.GetDimension()));
        json->Member("baseUnit", base);
        json->Member("units", units);
        json->Key("systems").BeginObject();
        for (const auto& row : bySystem) {
            json->Member(row[0], row[1]);
        }
        json->EndObject();
        json->EndObject();
        return;
    }
    std::ostream& out = session.Out();
    out << "measurement " << measurement.Name() << '\n';
    PrintColumns(out,
                 {{"dimension:", NameOf(measurement.GetDimension())},
                  {"base unit:", base},
                  {"units:", JoinOrDash(units)}},
                 "  ");
    out << "  unit in each system:\n";
    PrintColumns(out, bySystem, "    ");
}

void ShowSystem(Session& session, JsonWriter* json, Units::UnitSystem& system) {
    Rows mapping;
    for (Units::Measurement* measurement : Units::Measurement::GetAllMeasurements()) {
        if (measurement != nullptr) {
            mapping.push_back(
                {measurement->Name(), SymbolOf(system.GetUnitOfMeasurement(measurement))});
        }
    }
    if (json != nullptr) {
        json->Key("system").BeginObject();
        json->Member("name", system.Name());
        json->Key("units").BeginObject();
        for (const auto& row : mapping) {
            json->Member(row[0], row[1]);
        }
        json->EndObject();
        json->EndObject();
        return;
    }
    session.Out() << "unit system " << system.Name() << '\n';
    PrintColumns(session.Out(), mapping, "  ");
}

void ShowDimension(Session& session, JsonWriter* json, Units::Dimension& dimension) {
    const std::string base = SymbolOf(dimension.BaseUnit());
    const std::vector<std::string> measurements = Names(MeasurementsOf(&dimension));
    const std::vector<std::string> units = Symbols(Units::Unit::GetAllUnits(&dimension));
    if (json != nullptr) {
        json->Key("dimension").BeginObject();
        json->Member("name", dimension.Name());
        json->Member("baseUnit", base);
        json->Member("measurements", measurements);
        json->Member("units", units);
        json->EndObject();
        return;
    }
    session.Out() << "dimension " << dimension.Name() << '\n';
    PrintColumns(session.Out(),
                 {{"base unit:", base},
                  // Measurement names may hold blanks.
                  {"measurements:", JoinOrDash(measurements, ", ")},
                  {"units:", JoinOrDash(units)}},
                 "  ");
}

int RunShow(const std::string& name, Session& session) {
    session.Catalogue();
    Units::Unit* unit = Lookup(Units::Unit::GetUnit, name);
    Units::Measurement* measurement = Lookup(Units::Measurement::GetMeasurement, name);
    Units::UnitSystem* system = Lookup(Units::UnitSystem::GetUnitSystem, name);
    Units::Dimension* dimension = Lookup(Units::Dimension::GetDimension, name);
    if (unit == nullptr && measurement == nullptr && system == nullptr && dimension == nullptr) {
        const std::string hint = UnitHint(session, name);
        throw InputError("no unit, measurement, unit system or dimension is named '" +
                         OneLine(name, 200) + "'" +
                         (hint.empty() ? std::string() : " (as a unit, " + hint + ")"));
    }

    // A name can be several things at once, such as a measurement and a dimension: show each.
    std::optional<JsonWriter> json;
    if (session.Json()) {
        json.emplace(session.Out());
        json->BeginObject();
    }
    JsonWriter* writer = json ? &*json : nullptr;
    bool first = true;
    const auto separate = [&] {
        if (!first && writer == nullptr) {
            session.Out() << '\n';
        }
        first = false;
    };
    if (unit != nullptr) {
        separate();
        ShowUnit(session, writer, *unit);
    }
    if (measurement != nullptr) {
        separate();
        ShowMeasurement(session, writer, *measurement);
    }
    if (system != nullptr) {
        separate();
        ShowSystem(session, writer, *system);
    }
    if (dimension != nullptr) {
        separate();
        ShowDimension(session, writer, *dimension);
    }
    if (json) {
        json->EndObject();
    }
    return 0;
}

} // namespace

Command AddShowCommand(CLI::App& parent) {
    auto name = std::make_shared<std::string>();
    CLI::App* app = parent.add_subcommand(
        "show", "Show what the catalogue knows of a unit, measurement, unit system or dimension");
    app->add_option("NAME", *name,
                    "A unit symbol, or a measurement, unit system or dimension "
                    "name")
        ->type_name("")
        ->required();
    app->footer("A unit: its name, dimension, standard form, aliases, and factor and offset to the "
                "base unit.\nA measurement: its dimension, base unit, units, and its unit in each "
                "system.\nA unit system: its unit for each measurement. A dimension: its base "
                "unit, measurements and units.\n\nExamples:\n  orvunits show ft\n  orvunits show "
                "Depth\n  orvunits show Metric");
    return {app, [name](Session& session) { return RunShow(*name, session); }};
}

} // namespace Orv::UnitsTool
