// Quantity: the library's UCDouble, a value held in the base unit of its measurement. Each
// Quantity owns its value; what Parse and the operators make with new is adopted as it comes.
#include "ModuleState.h"

#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitSystem.h>

#include <optional>
#include <string>

namespace OrvPython {

namespace {

using Units::UCDouble;
using Owned = std::unique_ptr<UCDouble>;

constexpr auto kBorrowed = py::return_value_policy::reference;

Owned Adopt(UCDouble& made) {
    return Owned(&made);
}

// A value of `value` read in `unit`, of `measurement`: without a unit in the measurement's current
// unit, without a measurement the one named like the unit's dimension, without either unitless.
Owned Make(py::handle number, py::handle unitArgument, py::handle measurementArgument) {
    const double value = ToNumber(number);
    Units::Unit* unit = ToUnit(unitArgument);
    Units::Measurement* measurement = ToMeasurement(measurementArgument);
    if (unit == nullptr && measurement == nullptr) {
        return std::make_unique<UCDouble>(value);
    }
    if (unit == nullptr) {
        return std::make_unique<UCDouble>(Units::UnitConverter::ConvertToBase(value, measurement),
                                          measurement);
    }
    if (measurement == nullptr) {
        measurement = Units::Measurement::GetMeasurement(unit->GetDimension()->Name());
    }
    return std::make_unique<UCDouble>(
        Units::UnitConverter::Convert(value, unit, measurement->BaseUnit()), measurement);
}

Owned Parse(const std::string& text, py::handle measurement, py::handle unit, py::handle system) {
    if (measurement.is_none()) {
        if (!unit.is_none() || !system.is_none()) {
            throw py::type_error("a unit or a unit system needs a measurement");
        }
        return Adopt(UCDouble::Parse(text));
    }
    if (!unit.is_none() && !system.is_none()) {
        throw py::type_error("give a unit or a unit system, not both");
    }
    Units::Measurement* of = ToMeasurement(measurement);
    if (!unit.is_none()) {
        return Adopt(UCDouble::Parse(text, of, ToUnit(unit)));
    }
    if (!system.is_none()) {
        return Adopt(UCDouble::Parse(text, of, ToUnitSystem(system)));
    }
    return Adopt(UCDouble::Parse(text, of));
}

PyObject* ParseCall(PyObject* self, PyObject* const* arguments, Py_ssize_t count,
                    PyObject* keywords) {
    return Guarded(StateOf(self), [&]() -> py::object {
        const auto [text, measurement, unit, system] = FastArguments<4>(
            arguments, count, keywords, {"text", "measurement", "unit", "system"}, 1);
        if (!PyUnicode_Check(text.ptr())) {
            throw py::type_error("text must be a str");
        }
        return py::cast(Parse(text.cast<std::string>(), measurement, unit, system));
    });
}

PyMethodDef parseDefinition = {
    "parse", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&ParseCall)),
    METH_FASTCALL | METH_KEYWORDS,
    "parse(text, measurement=None, unit=None, system=None): reads \"12.5 ft\"; a bare number\n"
    "is read in unit, in system's unit or in the current system's."};

// The other operand of an operator: a Quantity, or a number as a unitless value.
std::optional<UCDouble> Operand(py::handle other) {
    if (py::isinstance<UCDouble>(other)) {
        return other.cast<const UCDouble&>();
    }
    if (PyFloat_Check(other.ptr()) || PyLong_Check(other.ptr())) {
        return UCDouble(ToNumber(other));
    }
    return std::nullopt;
}

using Operator = UCDouble& (*)(const UCDouble&, const UCDouble&);

// `left op right`, or `right op left` when `reflected`; NotImplemented for other operands.
template <Operator op>
py::object Apply(const UCDouble& self, py::handle other, bool reflected) {
    std::optional<UCDouble> operand = Operand(other);
    if (!operand) {
        return py::reinterpret_borrow<py::object>(Py_NotImplemented);
    }
    return py::cast(Adopt(reflected ? op(*operand, self) : op(self, *operand)));
}

UCDouble& Add(const UCDouble& a, const UCDouble& b) {
    return a + b;
}
UCDouble& Subtract(const UCDouble& a, const UCDouble& b) {
    return a - b;
}
UCDouble& Multiply(const UCDouble& a, const UCDouble& b) {
    return a * b;
}
UCDouble& Divide(const UCDouble& a, const UCDouble& b) {
    return a / b;
}

std::string Repr(const UCDouble& self) {
    const Units::Measurement* measurement = self.GetMeasurement();
    return "<Quantity " + self.ToString() + " (" +
           (measurement != nullptr ? measurement->Name() : std::string("no measurement")) + ")>";
}

} // namespace

void BindQuantity(py::module_& module) {
    py::class_<UCDouble> quantity(
        module, "Quantity", "A value with its measurement, held in base units.", py::is_final());
    quantity
        .def(py::init(&Make), py::arg("value") = 0.0, py::arg("unit") = py::none(),
             py::arg("measurement") = py::none(),
             "Quantity(value=0.0, unit=None, measurement=None): value in unit (by default the\n"
             "measurement's current unit), of measurement (by default the one named like the\n"
             "unit's dimension); without either, a unitless value.")
        .def_static(
            "from_base",
            [](double baseValue, py::handle measurement) {
                return std::make_unique<UCDouble>(baseValue, ToMeasurement(measurement));
            },
            py::arg("base_value"), py::arg("measurement"),
            "from_base(base_value, measurement): a value already in base units")
        .def_property_readonly("base_value", py::overload_cast<>(&UCDouble::BaseValue, py::const_))
        .def_property_readonly("measurement", &UCDouble::GetMeasurement, kBorrowed)
        .def_property_readonly("base_unit", &UCDouble::BaseUnit, kBorrowed)
        .def(
            "to", [](const UCDouble& self, py::handle unit) { return self.Convert(ToUnit(unit)); },
            py::arg("unit"), "to(unit): the value in unit")
        .def(
            "in_system",
            [](const UCDouble& self, py::handle system) {
                return system.is_none() ? self.Convert() : self.Convert(ToUnitSystem(system));
            },
            py::arg("system") = py::none(),
            "in_system(system=None): the value in the unit the system (or the current one) gives")
        .def(
            "format",
            [](const UCDouble& self, py::handle unit, py::handle system) {
                if (!unit.is_none()) {
                    return self.ToString(ToUnit(unit));
                }
                return system.is_none() ? self.ToString() : self.ToString(ToUnitSystem(system));
            },
            py::arg("unit") = py::none(), py::arg("system") = py::none(),
            "format(unit=None, system=None): the value and unit symbol, as str() writes them")
        .def("__str__", py::overload_cast<>(&UCDouble::ToString, py::const_))
        .def("__repr__", &Repr)
        .def("__eq__",
             [](const UCDouble& self, py::handle other) -> py::object {
                 if (!py::isinstance<UCDouble>(other)) {
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 }
                 return py::bool_(self.Equals(other.cast<const UCDouble&>()));
             })
        .def("__add__", [](const UCDouble& s, py::handle o) { return Apply<Add>(s, o, false); })
        .def("__radd__", [](const UCDouble& s, py::handle o) { return Apply<Add>(s, o, true); })
        .def("__sub__",
             [](const UCDouble& s, py::handle o) { return Apply<Subtract>(s, o, false); })
        .def("__rsub__",
             [](const UCDouble& s, py::handle o) { return Apply<Subtract>(s, o, true); })
        .def("__mul__",
             [](const UCDouble& s, py::handle o) { return Apply<Multiply>(s, o, false); })
        .def("__rmul__",
             [](const UCDouble& s, py::handle o) { return Apply<Multiply>(s, o, true); })
        .def("__truediv__",
             [](const UCDouble& s, py::handle o) { return Apply<Divide>(s, o, false); })
        .def("__rtruediv__",
             [](const UCDouble& s, py::handle o) { return Apply<Divide>(s, o, true); });
    PyObject* parse = PyStaticMethod_New(MakeFastFunction(parseDefinition, module).ptr());
    if (parse == nullptr) {
        throw py::error_already_set();
    }
    quantity.attr("parse") = py::reinterpret_steal<py::object>(parse);
}

} // namespace OrvPython
