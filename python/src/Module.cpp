// The extension module orvunits._orvunits: the library's errors as Python exceptions, catalogue
// registration, and the bindings of every part of the module.
#include "ModuleState.h"

#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <pybind11/stl.h>
#include <string>

namespace OrvPython {

namespace Reader = Units::Reader;

namespace {

// The reader of the catalogue `files`, each laid over the ones before it, over the default
// catalogue when `overDefault` is set; none means the default catalogue.
std::unique_ptr<Reader::IUnitReader> MakeReader(const std::vector<std::string>& files,
                                                bool overDefault) {
    if (files.empty()) {
        return Reader::XmlUnitReader::Default();
    }
    if (!overDefault && files.size() == 1) {
        return Reader::XmlUnitReader::FromFile(files.front());
    }
    const std::unique_ptr<Reader::XmlUnitReader> base =
        overDefault ? Reader::XmlUnitReader::Default() : Reader::XmlUnitReader::FromFile(files[0]);
    return Reader::XmlUnitReader::FromLayers(
        *base, std::vector<std::string>(files.begin() + (overDefault ? 0 : 1), files.end()));
}

} // namespace

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
