// convert(value, from_unit, to_unit, out=None): one number, or every element of an array of
// float64 or float32 values, through the library's converters.
#include "ModuleState.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/converter/Engines.h>

#include <algorithm>
#include <cstdint>
#include <pybind11/numpy.h>
#include <vector>

namespace OrvPython {

namespace {

using Engine = Units::Converter::IUnitConverterEngine;

// Arrays longer than this are converted without the GIL, so that other Python threads run.
constexpr py::ssize_t kReleaseGilAbove = 4096;
// Values converted into another array are copied there and converted in blocks this long, which
// stay in the cache between the two steps: each array is then read or written once.
constexpr std::size_t kBlock = 2048;

template <typename T>
void ConvertInto(Engine& engine, const T* from, T* to, std::size_t count) {
    if (from == to) {
        Units::Converter::ConvertValues(engine, to, count);
        return;
    }
    for (std::size_t done = 0; done < count; done += kBlock) {
        const std::size_t length = std::min(kBlock, count - done);
        std::copy(from + done, from + done + length, to + done);
        Units::Converter::ConvertValues(engine, to + done, length);
    }
}

// Converts the values of `from` into `to`, the same array or one laid out alike apart from it.
void ConvertMemory(const Units::UnitConverter& converter, const py::array& from, py::array& to) {
    const auto count = static_cast<std::size_t>(from.size());
    Engine& engine = *converter.Converter();
    std::optional<py::gil_scoped_release> unlocked;
    if (from.size() > kReleaseGilAbove) {
        unlocked.emplace();
    }
    if (from.itemsize() == sizeof(double)) {
        ConvertInto(engine, static_cast<const double*>(from.data()),
                    static_cast<double*>(to.mutable_data()), count);
    } else {
        ConvertInto(engine, static_cast<const float*>(from.data()),
                    static_cast<float*>(to.mutable_data()), count);
    }
}

// Whether the library can convert the array's memory as it is: all in one block, and each value
// at an address that is a multiple of its size (its loops rely on that).
bool IsDirect(const py::array& array) {
    return (array.flags() & (py::array::c_style | py::array::f_style)) != 0 &&
           reinterpret_cast<std::uintptr_t>(array.data()) % array.itemsize() == 0;
}

// The bytes an array's elements lie in, as [first, last).
std::pair<std::uintptr_t, std::uintptr_t> Extent(const py::array& array) {
    auto first = reinterpret_cast<std::uintptr_t>(array.data());
    auto last = first;
    for (py::ssize_t axis = 0; axis < array.ndim(); ++axis) {
        const py::ssize_t reach = (array.shape(axis) - 1) * array.strides(axis);
        (reach < 0 ? first : last) += reach;
    }
    return {first, last + array.itemsize()};
}

bool SameLayout(const py::array& a, const py::array& b) {
    return std::equal(a.strides(), a.strides() + a.ndim(), b.strides(), b.strides() + b.ndim());
}

// Whether `value` is a numpy array of float32 (`single`) or float64 in the machine's byte order.
bool IsFloatArray(py::handle value, bool single) {
    return single ? py::array_t<float>::check_(value) : py::array_t<double>::check_(value);
}

// `value` as an array of float64 or float32, converted to float64 when it is anything else.
py::array FloatArray(py::handle value) {
    if (IsFloatArray(value, false) || IsFloatArray(value, true)) {
        return py::reinterpret_borrow<py::array>(value);
    }
    return py::array_t<double, py::array::forcecast>::ensure(value);
}

py::array CheckedOut(py::handle out, const py::array& input) {
    if (!IsFloatArray(out, input.itemsize() == sizeof(float))) {
        throw py::type_error("out must be a numpy array of the values' dtype");
    }
    auto array = py::reinterpret_borrow<py::array>(out);
    if (array.ndim() != input.ndim() ||
        !std::equal(array.shape(), array.shape() + array.ndim(), input.shape())) {
        throw py::value_error("out must have the shape of the values");
    }
    if (!array.writeable()) {
        throw py::value_error("out is read-only");
    }
    return array;
}

py::object ConvertArray(py::handle value, Units::Unit* from, Units::Unit* to, py::handle out) {
    py::array input = FloatArray(value);
    // Made first, so that a refused pair of units leaves `out` as it was.
    const Units::UnitConverter converter(from, to);
    if (out.is_none()) {
        if (IsDirect(input)) {
            py::array result(
                input.dtype(),
                std::vector<py::ssize_t>(input.shape(), input.shape() + input.ndim()),
                std::vector<py::ssize_t>(input.strides(), input.strides() + input.ndim()));
            ConvertMemory(converter, input, result);
            return std::move(result);
        }
        py::array result =
            py::module_::import("numpy").attr("array")(input, py::arg("order") = "C");
        ConvertMemory(converter, result, result);
        return std::move(result);
    }
    py::array output = CheckedOut(out, input);
    const auto inputBytes = Extent(input);
    const auto outputBytes = Extent(output);
    const bool apart =
        inputBytes.second <= outputBytes.first || outputBytes.second <= inputBytes.first;
    const bool inPlace = input.data() == output.data();
    if (IsDirect(input) && IsDirect(output) && SameLayout(input, output) && (apart || inPlace)) {
        ConvertMemory(converter, input, output);
        return std::move(output);
    }
    // Strided, misaligned or overlapping: convert a copy, then let numpy put it in place.
    py::array copy = py::module_::import("numpy").attr("array")(input, py::arg("order") = "C");
    ConvertMemory(converter, copy, copy);
    output[py::ellipsis()] = copy;
    return std::move(output);
}

PyObject* Convert(PyObject* self, PyObject* const* arguments, Py_ssize_t count,
                  PyObject* keywords) {
    ModuleState& state = StateOf(self);
    return Guarded(state, [&]() -> py::object {
        const auto [value, fromUnit, toUnit, out] = FastArguments<4>(
            arguments, count, keywords, {"value", "from_unit", "to_unit", "out"}, 3);
        Units::Unit* from = ToUnit(fromUnit);
        Units::Unit* to = ToUnit(toUnit);
        if (!out.is_none() || py::isinstance<py::array>(value) || PyList_Check(value.ptr()) ||
            PyTuple_Check(value.ptr())) {
            return ConvertArray(value, from, to, out);
        }
        return py::float_(state.converters.Get(from, to).Convert(ToNumber(value)));
    });
}

PyMethodDef convertDefinition = {
    "convert", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&Convert)),
    METH_FASTCALL | METH_KEYWORDS,
    "convert(value, from_unit, to_unit, out=None): a number as a float; an array of float64\n"
    "or float32 (else converted to float64) as a new array of its dtype, or into out, which\n"
    "may be the array itself. UnitError for units of different dimensions."};

} // namespace

void BindConvert(py::module_& module) {
    module.attr("convert") = MakeFastFunction(convertDefinition, module);
}

} // namespace OrvPython
