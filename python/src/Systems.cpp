// Unit systems: the registered ones, the current one, local ones with overrides, and Python
// handlers of their change events.
#include "ModuleState.h"

#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <algorithm>
#include <pybind11/stl.h>
#include <string>

namespace OrvPython {

namespace {

constexpr auto kBorrowed = py::return_value_policy::reference;

using Orv::Pim::Core::Service::DelegateBase;
using Units::LocalUnitSystem;
using Units::UnitService;
using Units::UnitSystem;

// A Python handler on an event. Closing it removes the handler; dropping it does not, so a
// handler stays subscribed whether or not its caller keeps the subscription.
class Subscription {
public:
    // `owner` keeps the event alive; `state`, given for the current-unit-system event, lists the
    // tokens of that event's Python handlers.
    Subscription(DelegateBase& event, std::size_t token, py::object owner, StatePtr state)
        : m_event(&event), m_token(token), m_owner(std::move(owner)), m_state(std::move(state)) {}

    bool Active() const { return m_event != nullptr; }

    // Removes the handler; false when it was already removed.
    bool Close() {
        if (m_event == nullptr) {
            return false;
        }
        m_event->Unsubscribe(m_token);
        if (m_state) {
            auto& tokens = m_state->currentSystemHandlers;
            tokens.erase(std::remove(tokens.begin(), tokens.end(), m_token), tokens.end());
        }
        m_event = nullptr;
        m_owner = py::object();
        return true;
    }

private:
    DelegateBase* m_event;
    std::size_t m_token;
    py::object m_owner;
    StatePtr m_state;
};

// Makes `system` current, keeping its Python object alive while the library points to it.
void SetCurrent(ModuleState& state, py::handle system) {
    UnitSystem* pointer = ToUnitSystem(system);
    py::object previous = std::move(state.current);
    state.current = py::reinterpret_borrow<py::object>(system);
    try {
        UnitService::SetUnitSystem(pointer);
    } catch (const Units::UnitException&) {
        // Refused before anything changed; a handler's exception comes after the change.
        state.current = std::move(previous);
        throw;
    }
}

} // namespace

void BindSystems(py::module_& module, const StatePtr& state) {
    py::class_<Subscription>(module, "Subscription",
                             "A handler on an event; close() removes it. Also a context manager.",
                             py::is_final())
        .def_property_readonly("active", &Subscription::Active)
        .def("close", &Subscription::Close,
             "close(): removes the handler; False if already removed")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](Subscription& self, py::args) { self.Close(); })
        .def("__repr__", [](const Subscription& self) {
            return std::string(self.Active() ? "<Subscription active>" : "<Subscription closed>");
        });

    py::class_<UnitSystem, std::unique_ptr<UnitSystem, py::nodelete>> unitSystem(
        module, "UnitSystem", "A named choice of one unit per measurement.");
    unitSystem.def_property_readonly("name", &UnitSystem::Name)
        .def(
            "__getitem__",
            [](UnitSystem& self, py::handle measurement) {
                return self.GetUnitOfMeasurement(ToMeasurement(measurement));
            },
            py::arg("measurement"), kBorrowed)
        .def("__str__", &UnitSystem::Name)
        .def("__repr__", [](const UnitSystem& self) { return "<UnitSystem " + self.Name() + ">"; });
    AddIdentityAndOrder<UnitSystem>(unitSystem);

    py::class_<LocalUnitSystem, UnitSystem, std::unique_ptr<LocalUnitSystem>>(
        module, "LocalUnitSystem",
        "Overrides over a parent unit system, or over whichever system is current.", py::is_final())
        .def(py::init([](const std::string& name, py::handle parent) {
                 return new LocalUnitSystem(name, ToUnitSystem(parent));
             }),
             py::arg("name"), py::arg("parent") = py::none(),
             "LocalUnitSystem(name, parent=None): over a local parent, its parent and a copy of\n"
             "its overrides instead; without a parent it follows the current unit system.")
        .def_property_readonly("uses_current_context", &LocalUnitSystem::UsesCurrentContext)
        .def_property_readonly("overrides",
                               [](LocalUnitSystem& self) {
                                   py::dict overrides;
                                   for (const auto& entry : self.GetMeasurementUnitHashMap()) {
                                       overrides[py::cast(entry.first, kBorrowed)] =
                                           py::cast(entry.second, kBorrowed);
                                   }
                                   return overrides;
                               })
        .def("__setitem__",
             [](LocalUnitSystem& self, py::handle measurement, py::handle unit) {
                 self.SetUnitOfMeasurement(ToMeasurement(measurement), ToUnit(unit));
             })
        .def(
            "clone",
            [](LocalUnitSystem& self) {
                return std::unique_ptr<LocalUnitSystem>(
                    static_cast<LocalUnitSystem*>(self.Clone()));
            },
            "clone(): the same name, parent and overrides, with no handlers")
        .def(
            "on_change",
            [](py::object self, py::function handler) {
                auto& local = self.cast<LocalUnitSystem&>();
                const std::size_t token = local.m_LocalUnitSystemChanged.Subscribe(
                    [handler](const LocalUnitSystem::ChangeDetails& change) {
                        handler(py::cast(change.GetMeasurement(), kBorrowed),
                                py::cast(change.GetUnit(), kBorrowed),
                                py::cast(change.GetLocalUnitSystem(), kBorrowed));
                    });
                return Subscription(local.m_LocalUnitSystemChanged, token, self, nullptr);
            },
            py::arg("handler"),
            "on_change(handler): calls handler(measurement, unit, system) after each override")
        .def("__repr__",
             [](const LocalUnitSystem& self) { return "<LocalUnitSystem " + self.Name() + ">"; });

    module.def("unit_system", &UnitSystem::GetUnitSystem, py::arg("name"), kBorrowed,
               "unit_system(name): the registered unit system of this name");
    module.def(
        "unit_systems",
        []() {
            Units::UnitSystemArray registry = UnitSystem::UnitSystems();
            return std::vector<UnitSystem*>(registry.begin(), registry.end());
        },
        kBorrowed, "unit_systems(): the registered unit systems, in the order read");
    module.def("current_system", &UnitService::GetUnitSystem, kBorrowed,
               "current_system(): the current unit system, Metric until another is set");
    module.def(
        "set_current_system", [state](py::handle system) { SetCurrent(*state, system); },
        py::arg("system"),
        "set_current_system(system): makes it current (None: the default) and raises the event");
    module.def(
        "on_current_system_changed",
        [state](py::function handler) {
            const std::size_t token = UnitService::m_CurrentUnitSystemChanged.Subscribe(
                [handler](const UnitSystem::UnitSystemEventArgs& change) {
                    handler(py::cast(change.GetUnitSystem(), kBorrowed));
                });
            state->currentSystemHandlers.push_back(token);
            return Subscription(UnitService::m_CurrentUnitSystemChanged, token, py::none(), state);
        },
        py::arg("handler"),
        "on_current_system_changed(handler): calls handler(system) on each change");
}

} // namespace OrvPython
