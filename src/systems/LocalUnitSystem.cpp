// Local unit systems: a caller's overrides over a parent unit system, or over whatever unit
// system is current at the time of each look-up.
#include <units/Dimension.h>
#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/UnitService.h>

#include <memory>

namespace Orv::Pim::Core::Service::Units {

namespace {

// A dimension's name for the mismatch message; a unit or measurement without one still gets a
// readable message.
std::string NameOf(const Dimension* dimension) {
    return dimension != nullptr ? dimension->Name() : std::string("NULL");
}

} // namespace

LocalUnitSystem::ChangeDetails::ChangeDetails(Measurement* measurement, Unit* unit,
                                              LocalUnitSystem* localUnitSystem)
    : m_pMeasurement(measurement), m_pUnit(unit), m_pLocalUnitSystem(localUnitSystem) {}

LocalUnitSystem::ChangeDetails::~ChangeDetails() {
    m_pLocalUnitSystem = nullptr;
}

Measurement* LocalUnitSystem::ChangeDetails::GetMeasurement() const {
    return m_pMeasurement;
}

Unit* LocalUnitSystem::ChangeDetails::GetUnit() const {
    return m_pUnit;
}

LocalUnitSystem* LocalUnitSystem::ChangeDetails::GetLocalUnitSystem() const {
    return m_pLocalUnitSystem;
}

LocalUnitSystem::LocalUnitSystem(std::string const& name) : UnitSystem(name), m_pParent(nullptr) {
    m_classType = e_LocalUnitSystem;
}

LocalUnitSystem::LocalUnitSystem(std::string const& name, UnitSystem* parent)
    : UnitSystem(name), m_pParent(nullptr) {
    if (parent != nullptr) {
        LocalUnitSystem* local = parent->ClassType() == e_LocalUnitSystem
                                     ? dynamic_cast<LocalUnitSystem*>(parent)
                                     : nullptr;
        if (local != nullptr) {
            // Flattened: a local system never has a local parent. Later changes of `parent`
            // are not seen.
            m_pParent = local->m_pParent;
            m_measurementUnitHashMap = local->m_measurementUnitHashMap;
        } else {
            m_pParent = parent;
        }
    }
    m_classType = e_LocalUnitSystem;
}

LocalUnitSystem::LocalUnitSystem(LocalUnitSystem const& other)
    : UnitSystem(other), m_LocalUnitSystemChanged(other.m_LocalUnitSystemChanged),
      m_pParent(other.m_pParent) {}

LocalUnitSystem::~LocalUnitSystem() {
    m_pParent = nullptr;
}

void* LocalUnitSystem::Clone() {
    std::unique_ptr<LocalUnitSystem> clone(new LocalUnitSystem(m_name, m_pParent));
    // new reports exhaustion by throwing, and that passes through; a null result is refused all
    // the same.
    if (clone == nullptr) {
        throw UnitException("Out of Memory");
    }
    clone->m_measurementUnitHashMap = m_measurementUnitHashMap;
    return clone.release();
}

bool LocalUnitSystem::UsesCurrentContext() {
    return m_pParent == nullptr;
}

Unit* LocalUnitSystem::GetUnitOfMeasurement(Measurement const* measurement) {
    // A parentless system that is current would ask itself: refuse before anything else, so it
    // answers nothing at all, its overrides included.
    if (m_pParent == nullptr && UnitService::GetUnitSystem() == this) {
        throw UnitException("Current unit system refers to self");
    }
    if (measurement != nullptr) {
        auto found = m_measurementUnitHashMap.find(measurement);
        if (found != m_measurementUnitHashMap.end() && found->second != nullptr) {
            return found->second;
        }
    }
    if (m_pParent != nullptr) {
        return m_pParent->GetUnitOfMeasurement(measurement);
    }
    return UnitService::GetUnitSystem()->GetUnitOfMeasurement(measurement);
}

void LocalUnitSystem::SetUnitOfMeasurement(Measurement* measurement, Unit* unit) {
    if (measurement == nullptr) {
        throw UnitException("Cannot modify a NULL measurement");
    }
    if (unit == nullptr) {
        throw UnitException("Cannot set " + measurement->Name() + " to a NULL unit");
    }
    if (unit->GetDimension() != measurement->GetDimension()) {
        throw UnitException("Cannot set " + measurement->Name() + "( " +
                            NameOf(measurement->GetDimension()) + " ) to " + unit->Name() + "( " +
                            NameOf(unit->GetDimension()) + " )");
    }
    // Stored before either event, so handlers already see the new unit.
    m_measurementUnitHashMap[measurement] = unit;

    std::unique_ptr<ChangeDetails> details(new ChangeDetails(measurement, unit, this));
    // new reports exhaustion by throwing, and that passes through; a null result is refused all
    // the same.
    if (details == nullptr) {
        throw UnitException("Can not allocate memory for Change Local Unit System Event.");
    }
    // The argument object is destroyed when this scope ends, also when a handler throws.
    m_LocalUnitSystemChanged.Raise(details.get());
    details.reset();

    if (UnitService::GetUnitSystem() == this) {
        UnitService::SetUnitSystem(this);
    }
}

} // namespace Orv::Pim::Core::Service::Units
