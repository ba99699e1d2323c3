// The extension module orvunits._orvunits: the library's errors as Python exceptions, catalogue
// registration, and the state the module keeps for the process.
#include "Module.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/reader/XmlUnitReader.h>

#include <pybind11/stl.h>
#include <string>

namespace OrvPython {

namespace Reader = Units::Reader;

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

// Readers for the catalogue `files`; none means the default catalogue.
std::unique_ptr<Reader::IUnitReader> MakeReader(const std::vector<std::string>& files,
                                                bool overDefault) {
    if (files.size() > 1 || (overDefault && !files.empty())) {
        PyErr_SetString(PyExc_NotImplementedError,
                        "stacking catalogues needs a layered reader, which this build lacks");
        throw py::error_already_set();
    }
    return files.empty() ? Reader::XmlUnitReader::Default()
                         : Reader::XmlUnitReader::FromFile(files.front());
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

PYBIND11_MODULE(_orvunits, module) {
    namespace py = pybind11;
    using namespace OrvPython;

    module.doc() = "Bindings of the Orv Units library; use the orvunits package.";
    // Each docstring starts with the Python signature; the generated one names C++ types.
    py::options options;
    options.disable_function_signatures();
    auto& unitError = py::register_exception<Units::UnitException>(module, "UnitError");
    py::register_exception<Reader::CatalogueError>(module, "CatalogueError", unitError.ptr());

    // The functions that need the state hold it; so does the module, which drops it last.
    auto state = std::make_shared<ModuleState>();
    state->unitError = unitError;
    module.attr("_state") = py::capsule(
        new StatePtr(state), [](void* pointer) { delete static_cast<StatePtr*>(pointer); });

    module.def(
        "_register",
        [state](const std::vector<std::string>& files, bool overDefault) {
            std::unique_ptr<Reader::IUnitReader> reader = MakeReader(files, overDefault);
            std::vector<std::string> warnings;
            if (auto* xmlReader = dynamic_cast<Reader::XmlUnitReader*>(reader.get())) {
                for (const Reader::CatalogueProblem& warning : xmlReader->Warnings()) {
                    warnings.push_back(warning.ToString());
                }
            }
            Units::UnitService::UnitReader(reader.get());
            state->readers.push_back(std::move(reader));
            return warnings;
        },
        py::arg("files"), py::arg("over_default"));

    // Run from atexit, while the interpreter still works: the library's event and current unit
    // system outlive the interpreter, so nothing of Python may stay in them.
    module.def("_shutdown", [state]() {
        for (std::size_t token : state->currentSystemHandlers) {
            Units::UnitService::m_CurrentUnitSystemChanged.Unsubscribe(token);
        }
        state->currentSystemHandlers.clear();
        if (state->current) {
            Units::UnitService::SetUnitSystem(nullptr);
            state->current = py::object();
        }
    });

    BindCatalogue(module);
    BindSystems(module, state);
    BindQuantity(module);
    BindConvert(module);
}
