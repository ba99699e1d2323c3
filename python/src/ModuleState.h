// What the parts of the Python module share: the state it keeps for the process, and the
// conversion of Python arguments into catalogue objects.
#pragma once

#include <units/UnitConverter.h>
#include <units/UnitException.h>
#include <units/interfaces/Reader.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <pybind11/pybind11.h>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units {
class Measurement;
class Unit;
class UnitSystem;
} // namespace Orv::Pim::Core::Service::Units

namespace OrvPython {

namespace py = pybind11;
namespace Units = Orv::Pim::Core::Service::Units;

/// Converters between the unit pairs that scalar conversions have used, so that a conversion does
/// not compose an engine each time. Only used with the GIL held, which serialises it.
class ConverterCache {
public:
    /// The converter from `from` to `to`. Throws UnitException as UnitConverter's constructor.
    const Units::UnitConverter& Get(const Units::Unit* from, const Units::Unit* to);

private:
    static constexpr std::size_t kLimit = 4096;
    struct PairHash {
        std::size_t operator()(const std::pair<const Units::Unit*, const Units::Unit*>& p) const {
            return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
        }
    };
    std::unordered_map<std::pair<const Units::Unit*, const Units::Unit*>,
                       std::unique_ptr<Units::UnitConverter>, PairHash>
        m_converters;
};

/// The module's state. The library keeps its catalogue for the whole process; this keeps alive
/// what the library points to but does not own.
struct ModuleState {
    /// Every reader registered from Python. The library holds a pointer to the last one only, but
    /// nothing says it is done with the earlier ones.
    std::vector<std::unique_ptr<Units::Reader::IUnitReader>> readers;
    /// The Python object of the unit system made current from Python, so that a local unit system
    /// that Python owns lives as long as the library points to it.
    py::object current;
    /// Tokens of the Python handlers of the current-unit-system event. The event is a static of
    /// the library and outlives the interpreter, so they are removed when Python shuts down.
    std::vector<std::size_t> currentSystemHandlers;
    ConverterCache converters;
    /// The Python exception for UnitException.
    py::object unitError;
};

using StatePtr = std::shared_ptr<ModuleState>;

/// The number `number` as a double. Throws TypeError.
double ToNumber(py::handle number);
/// The unit `unit` (a Unit) or whose symbol `unit` is (a str). Throws UnitException, TypeError.
Units::Unit* ToUnit(py::handle unit);
/// The measurement `measurement` or of that name. Throws UnitException, TypeError.
Units::Measurement* ToMeasurement(py::handle measurement);
/// The unit system `system` or the registered one of that name; null for None. Throws
/// UnitException, TypeError.
Units::UnitSystem* ToUnitSystem(py::handle system);

/// A function of CPython's fast calling convention; `self` is the module's state. The calls made
/// most often, convert and Quantity.parse, are made so: pybind11's dispatch of a call costs more
/// than what these do.
using FastFunction = PyObject* (*)(PyObject* self, PyObject* const* arguments, Py_ssize_t count,
                                   PyObject* keywords);

/// A Python function running `definition`'s C function (METH_FASTCALL | METH_KEYWORDS) with the
/// module's state.
py::object MakeFastFunction(PyMethodDef& definition, const py::module_& module);
/// The state that MakeFastFunction gives its functions as `self`.
ModuleState& StateOf(PyObject* self);

/// The arguments of a fast call in the order of `names`, given by position or by keyword, None
/// for the optional ones not given. Throws TypeError for a missing, unknown or repeated argument.
template <std::size_t N>
std::array<py::handle, N> FastArguments(PyObject* const* arguments, Py_ssize_t count,
                                        PyObject* keywords, const std::array<const char*, N>& names,
                                        std::size_t required) {
    std::array<py::handle, N> values{};
    if (count > static_cast<Py_ssize_t>(N)) {
        throw py::type_error("at most " + std::to_string(N) + " arguments are taken");
    }
    std::copy(arguments, arguments + count, values.begin());
    const Py_ssize_t named = keywords == nullptr ? 0 : PyTuple_GET_SIZE(keywords);
    for (Py_ssize_t k = 0; k < named; ++k) {
        PyObject* keyword = PyTuple_GET_ITEM(keywords, k);
        std::size_t i = 0;
        while (i < N && PyUnicode_CompareWithASCIIString(keyword, names[i]) != 0) {
            ++i;
        }
        if (i == N || values[i]) {
            throw py::type_error("unexpected or repeated argument " +
                                 py::repr(keyword).cast<std::string>());
        }
        values[i] = arguments[count + k];
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (!values[i] && i < required) {
            throw py::type_error(std::string("missing argument '") + names[i] + "'");
        }
        values[i] = values[i] ? values[i] : py::none();
    }
    return values;
}

/// The result of `body`, or null with a Python exception set for what it throws, as pybind11
/// would set it.
template <typename Body>
PyObject* Guarded(ModuleState& state, Body&& body) noexcept {
    try {
        return body().release().ptr();
    } catch (py::error_already_set& error) {
        error.restore();
    } catch (const py::builtin_exception& error) {
        error.set_error();
    } catch (const Units::UnitException& error) {
        PyErr_SetString(state.unitError.ptr(), error.what());
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
    }
    return nullptr;
}

/// Catalogue objects and unit systems are one per key: equality is identity, and the order is
/// the library's CompareTo.
template <typename Class, typename Binding>
void AddIdentityAndOrder(Binding& binding) {
    binding
        .def("__eq__",
             [](const Class& self, py::handle other) -> py::object {
                 if (!py::isinstance<Class>(other)) {
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 }
                 return py::bool_(&self == other.cast<const Class*>());
             })
        .def("__hash__", [](const Class& self) { return std::hash<const void*>()(&self); })
        .def("__lt__", [](const Class& self, Class& other) { return self.CompareTo(&other) < 0; });
}

void BindCatalogue(py::module_& module);
void BindSystems(py::module_& module, const StatePtr& state);
void BindQuantity(py::module_& module);
void BindConvert(py::module_& module);

} // namespace OrvPython
