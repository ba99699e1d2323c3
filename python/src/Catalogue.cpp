// Dimensions, units and measurements: the catalogue's objects, its look-ups and its listings.
// Catalogue objects belong to the library until the process ends; Python only points to them.
#include "ModuleState.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>

#include <map>
#include <pybind11/stl.h>
#include <string>

namespace OrvPython {

namespace {

constexpr auto kBorrowed = py::return_value_policy::reference;

std::vector<Units::Dimension*> AllDimensions() {
    // The library lists no dimensions; every dimension has at least its base unit.
    std::map<std::string, Units::Dimension*> byName;
    for (Units::Unit* unit : Units::Unit::GetAllUnits()) {
        auto* dimension = const_cast<Units::Dimension*>(unit->GetDimension());
        byName.emplace(dimension->Name(), dimension);
    }
    std::vector<Units::Dimension*> dimensions;
    for (const auto& entry : byName) {
        dimensions.push_back(entry.second);
    }
    return dimensions;
}

} // namespace

void BindCatalogue(py::module_& module) {
    using Units::Dimension;
    using Units::Measurement;
    using Units::Unit;

    py::class_<Dimension, std::unique_ptr<Dimension, py::nodelete>> dimension(
        module, "Dimension", "A physical dimension such as Length; it has one base unit.",
        py::is_final());
    dimension.def_property_readonly("name", &Dimension::Name)
        .def_property_readonly("base_unit", &Dimension::BaseUnit, kBorrowed)
        .def_property_readonly(
            "units", [](Dimension& self) { return Unit::GetAllUnits(&self); }, kBorrowed)
        .def("__str__", &Dimension::Name)
        .def("__repr__", [](const Dimension& self) { return "<Dimension " + self.Name() + ">"; });
    AddIdentityAndOrder<Dimension>(dimension);

    py::class_<Unit, std::unique_ptr<Unit, py::nodelete>> unit(
        module, "Unit", "A unit of one dimension, known by its symbol.", py::is_final());
    unit.def_property_readonly("symbol", &Unit::Symbol)
        .def_property_readonly("name", &Unit::Name)
        .def_property_readonly(
            "dimension", [](const Unit& self) { return self.GetDimension(); }, kBorrowed)
        .def_property_readonly("standard_form", &Unit::StandardForm, kBorrowed)
        .def_property_readonly(
            "aliases", [](Unit& self) { return Unit::GetAllUnits(&self); }, kBorrowed)
        .def("__str__", &Unit::Symbol)
        .def("__repr__", [](const Unit& self) {
            return "<Unit " + self.Symbol() + ": " + self.Name() + " (" +
                   self.GetDimension()->Name() + ")>";
        });
    AddIdentityAndOrder<Unit>(unit);

    py::class_<Measurement, std::unique_ptr<Measurement, py::nodelete>> measurement(
        module, "Measurement", "A kind of quantity within one dimension, such as Depth.",
        py::is_final());
    measurement.def_property_readonly("name", &Measurement::Name)
        .def_property_readonly("dimension", &Measurement::GetDimension, kBorrowed)
        .def_property_readonly("base_unit", &Measurement::BaseUnit, kBorrowed)
        .def_property_readonly("current_unit", &Measurement::CurrentUnit, kBorrowed)
        .def(
            "units",
            [](const Measurement& self, bool aliases) { return Unit::GetAllUnits(self, aliases); },
            py::arg("aliases") = false, kBorrowed,
            "units(aliases=False): the units offered for it; with aliases, their other symbols too")
        .def("__str__", &Measurement::Name)
        .def("__repr__", [](const Measurement& self) {
            return "<Measurement " + self.Name() + " (" + self.GetDimension()->Name() + ")>";
        });
    AddIdentityAndOrder<Measurement>(measurement);

    module.def("unit", &Unit::GetUnit, py::arg("symbol"), kBorrowed,
               "unit(symbol): the unit with this symbol; UnitError when there is none");
    module.def("measurement", &Measurement::GetMeasurement, py::arg("name"), kBorrowed,
               "measurement(name): the measurement of this name; UnitError when there is none");
    module.def("dimension", &Dimension::GetDimension, py::arg("name"), kBorrowed,
               "dimension(name): the dimension of this name; UnitError when there is none");
    module.def("units", py::overload_cast<>(&Unit::GetAllUnits), kBorrowed,
               "units(): every unit, by symbol");
    module.def("measurements", &Measurement::GetAllMeasurements, kBorrowed,
               "measurements(): every measurement, by name");
    module.def("dimensions", &AllDimensions, kBorrowed, "dimensions(): every dimension, by name");
}

} // namespace OrvPython
