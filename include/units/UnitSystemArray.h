// The registry of unit systems: one process-wide vector shared by every handle. The registry owns
// its unit systems and deletes them when the last handle goes.
#pragma once

#include <units/UnitsExport.h>

#include <cstddef>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

class UnitSystem;
class XmlUnitWriter;

/// A reference-counted handle on the registry of unit systems.
class ORV_UNITS_API UnitSystemArray {
public:
    using iterator = std::vector<UnitSystem*>::iterator;
    using const_iterator = std::vector<UnitSystem*>::const_iterator;

    /// Counts one more handle.
    UnitSystemArray();
    /// Counts one more handle.
    UnitSystemArray(const UnitSystemArray& other);
    /// Counts one more handle, so the registry is then kept until the process ends.
    UnitSystemArray& operator=(const UnitSystemArray& other);
    /// Counts one handle less; the last one deletes every registered unit system.
    ~UnitSystemArray();

    /// The element at `index`; unchecked, keep `index` below size().
    UnitSystem* const& operator[](std::size_t index) const;
    /// The element at `index`; unchecked, keep `index` below size().
    UnitSystem*& operator[](std::size_t index);
    /// The number of registered unit systems.
    unsigned int size() const;
    iterator begin();
    iterator end();
    const_iterator begin() const;
    const_iterator end() const;
    /// Appends a unit system made with `new`; the registry then owns it.
    void push_back(UnitSystem* const& unitSystem);
    /// Removes the element at `position` without deleting it.
    void erase(iterator position);

private:
    friend class XmlUnitWriter;

    static std::vector<UnitSystem*> m_unitSystemPtrCache;
    static int ref_count_;
};

} // namespace Orv::Pim::Core::Service::Units
