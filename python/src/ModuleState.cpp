// The module's state and the conversion of Python arguments into catalogue objects, which every
// part of the module shares.
#include "ModuleState.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitSystem.h>

#include <string>

namespace OrvPython {

const Units::UnitConverter& ConverterCache::Get(const Units::Unit* from, const Units::Unit* to) {
    // Unit expressions can make units without end; a full cache starts again.
    if (m_converters.size() >= kLimit) {
        m_converters.clear();
    }
    std::unique_ptr<Units::UnitConverter>& slot = m_converters[{from, to}];
    if (!slot) {
        try {
            slot = std::make_unique<Units::UnitConverter>(from, to);
        } catch (...) {
            m_converters.erase({from, to});
            throw;
        }
    }
    return *slot;
}

namespace {

// Copies the UTF-8 text of a str into `out`; false for anything else.
bool Utf8Of(py::handle text, std::string& out) {
    if (!PyUnicode_Check(text.ptr())) {
        return false;
    }
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (data == nullptr) {
        throw py::error_already_set();
    }
    out.assign(data, static_cast<std::size_t>(size));
    return true;
}

template <typename T>
T* ToCatalogueObject(py::handle object, T* (*lookUp)(const std::string&), const char* what) {
    if (object.is_none()) {
        return nullptr;
    }
    std::string key;
    if (Utf8Of(object, key)) {
        return lookUp(key);
    }
    // One attempt to load the object, rather than a type test and then a cast that repeats it.
    py::detail::make_caster<T> caster;
    if (caster.load(object, false)) {
        return py::detail::cast_op<T*>(caster);
    }
    throw py::type_error(std::string("expected ") + what + ", not " +
                         py::str(py::type::handle_of(object).attr("__name__")).cast<std::string>());
}

} // namespace

double ToNumber(py::handle number) {
    const double value = PyFloat_AsDouble(number.ptr());
    if (value == -1.0 && PyErr_Occurred() != nullptr) {
        throw py::error_already_set();
    }
    return value;
}

py::object MakeFastFunction(PyMethodDef& definition, const py::module_& module) {
    PyObject* function =
        PyCFunction_NewEx(&definition, module.attr("_state").ptr(), module.attr("__name__").ptr());
    if (function == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(function);
}

ModuleState& StateOf(PyObject* self) {
    return **static_cast<StatePtr*>(PyCapsule_GetPointer(self, nullptr));
}

Units::Unit* ToUnit(py::handle unit) {
    return ToCatalogueObject<Units::Unit>(unit, &Units::Unit::GetUnit, "a Unit or a unit symbol");
}

Units::Measurement* ToMeasurement(py::handle measurement) {
    return ToCatalogueObject<Units::Measurement>(measurement, &Units::Measurement::GetMeasurement,
                                                 "a Measurement or a measurement name");
}

Units::UnitSystem* ToUnitSystem(py::handle system) {
    return ToCatalogueObject<Units::UnitSystem>(system, &Units::UnitSystem::GetUnitSystem,
                                                "a UnitSystem or a unit system name");
}

} // namespace OrvPython
