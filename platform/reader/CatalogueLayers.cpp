// One catalogue file laid over the elements of the catalogues below it. A layer adds what is new;
// what the catalogue below already defines it replaces only where it says so (override="true"),
// so that a misspelt or forgotten name never silently changes a unit the host relies on.
#include "CatalogueText.h"
#include "Quoted.h"

#include <map>
#include <set>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

template <typename Element, typename Key>
std::map<Key, std::size_t> IndexBy(const std::vector<Element>& elements,
                                   Key (*key)(const Element&)) {
    std::map<Key, std::size_t> index;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        index.emplace(key(elements[i]), i);
    }
    return index;
}

template <typename Element>
std::string NameOf(const Element& element) {
    return element.name;
}
std::string SymbolOf(const UnitElement& element) {
    return element.symbol;
}
std::pair<std::string, std::string> KeyOf(const MappingElement& element) {
    return {element.system, element.measurement};
}

class Merger {
public:
    Merger(CatalogueText& stack, const std::string& source) : m_stack(stack), m_source(source) {}

    std::vector<CatalogueProblem> Run(CatalogueText& layer) {
        ForgetPositions();
        MergeDimensions(layer.dimensions);
        MergeUnits(layer.units);
        MergeMeasurements(layer.measurements);
        MergeSystems(layer.systems);
        MergeMappings(layer.mappings);
        return std::move(m_problems);
    }

private:
    void Refuse(const Position& at, std::string message) {
        m_problems.push_back({m_source, at.line, at.column, std::move(message)});
    }

    static std::string NotMarked(const std::string& what) {
        return what + " is defined by the catalogue below; override=\"true\" replaces it";
    }

    static std::string OverridesNothing(const std::string& what) {
        return what + " overrides nothing: the catalogue below does not define it";
    }

    void ForgetPositions() {
        const auto forget = [](auto& elements) {
            for (auto& element : elements) {
                element.at = {};
            }
        };
        forget(m_stack.dimensions);
        forget(m_stack.measurements);
        forget(m_stack.units);
        forget(m_stack.systems);
        forget(m_stack.mappings);
    }

    // A dimension named again is opened to add to it; what defines it stays as it was below.
    void MergeDimensions(std::vector<DimensionElement>& dimensions) {
        auto index = IndexBy(m_stack.dimensions, &NameOf<DimensionElement>);
        for (DimensionElement& dimension : dimensions) {
            const auto below = index.find(dimension.name);
            if (below == index.end()) {
                index.emplace(dimension.name, m_stack.dimensions.size());
                m_stack.dimensions.push_back(std::move(dimension));
                continue;
            }
            if (dimension.baseUnit || dimension.signature || dimension.preferred) {
                Refuse(dimension.at, "the dimension " + Quoted(dimension.name) +
                                         " is defined by the catalogue below; a layer adds to "
                                         "it by its name alone, without baseUnit, signature or "
                                         "preferred");
            }
        }
    }

    void MergeUnits(std::vector<UnitElement>& units) {
        auto index = IndexBy(m_stack.units, &SymbolOf);
        std::vector<int> merged(units.size(), -1); // each unit's index in the stack
        for (std::size_t i = 0; i < units.size(); ++i) {
            UnitElement unit = std::move(units[i]);
            const std::string what =
                (unit.IsAlias() ? "the alias " : "the unit ") + Quoted(unit.symbol);
            if (unit.IsAlias()) {
                unit.parent = merged[static_cast<std::size_t>(unit.parent)];
                if (unit.parent < 0) {
                    continue; // its unit was refused
                }
            }
            const auto below = index.find(unit.symbol);
            if (below == index.end()) {
                if (unit.overrides) {
                    Refuse(unit.at, OverridesNothing(what));
                    continue;
                }
                merged[i] = static_cast<int>(m_stack.units.size());
                index.emplace(unit.symbol, m_stack.units.size());
                m_stack.units.push_back(std::move(unit));
                continue;
            }
            UnitElement& replaced = m_stack.units[below->second];
            if (!unit.overrides) {
                Refuse(unit.at, NotMarked(what));
            } else if (replaced.IsAlias() != unit.IsAlias()) {
                Refuse(unit.at, what + " overrides " +
                                    (replaced.IsAlias() ? "an alias" : "a unit") +
                                    " of the catalogue below; a unit overrides a unit, an alias "
                                    "an alias");
            } else if (!unit.IsAlias() && replaced.dimension != unit.dimension) {
                Refuse(unit.at, what + " is of the dimension " + Quoted(replaced.dimension) +
                                    " below; an override keeps the dimension");
            } else {
                // A unit's aliases below stay its aliases; an alias moves to its new unit.
                merged[i] = static_cast<int>(below->second);
                replaced = std::move(unit);
            }
        }
    }

    void MergeMeasurements(std::vector<MeasurementElement>& measurements) {
        auto index = IndexBy(m_stack.measurements, &NameOf<MeasurementElement>);
        for (MeasurementElement& measurement : measurements) {
            const std::string what = "the measurement " + Quoted(measurement.name);
            const auto below = index.find(measurement.name);
            if (below == index.end()) {
                if (measurement.overrides) {
                    Refuse(measurement.at, OverridesNothing(what));
                    continue;
                }
                index.emplace(measurement.name, m_stack.measurements.size());
                m_stack.measurements.push_back(std::move(measurement));
                continue;
            }
            MeasurementElement& replaced = m_stack.measurements[below->second];
            if (!measurement.overrides) {
                Refuse(measurement.at, NotMarked(what));
            } else if (replaced.dimension != measurement.dimension) {
                Refuse(measurement.at, what + " is of the dimension " + Quoted(replaced.dimension) +
                                           " below; an override keeps the dimension");
            } else {
                replaced = std::move(measurement);
            }
        }
    }

    // A unit system named again is opened to add mappings to it, once per layer.
    void MergeSystems(std::vector<UnitSystemElement>& systems) {
        auto index = IndexBy(m_stack.systems, &NameOf<UnitSystemElement>);
        std::set<std::string> named;
        for (UnitSystemElement& system : systems) {
            if (!named.insert(system.name).second) {
                Refuse(system.at, "the unit system " + Quoted(system.name) + " is defined twice");
            } else if (index.emplace(system.name, m_stack.systems.size()).second) {
                m_stack.systems.push_back(std::move(system));
            }
        }
    }

    void MergeMappings(std::vector<MappingElement>& mappings) {
        auto index = IndexBy(m_stack.mappings, &KeyOf);
        std::set<std::pair<std::string, std::string>> given;
        for (MappingElement& mapping : mappings) {
            const std::string what =
                "the unit of " + Quoted(mapping.measurement) + " in " + Quoted(mapping.system);
            const auto below = index.find(KeyOf(mapping));
            if (!given.insert(KeyOf(mapping)).second) {
                Refuse(mapping.at, what + " is given twice");
            } else if (below == index.end()) {
                if (mapping.overrides) {
                    Refuse(mapping.at, OverridesNothing(what));
                    continue;
                }
                index.emplace(KeyOf(mapping), m_stack.mappings.size());
                m_stack.mappings.push_back(std::move(mapping));
            } else if (!mapping.overrides) {
                Refuse(mapping.at, NotMarked(what));
            } else {
                m_stack.mappings[below->second] = std::move(mapping);
            }
        }
    }

    CatalogueText& m_stack;
    const std::string& m_source;
    std::vector<CatalogueProblem> m_problems;
};

} // namespace

std::vector<CatalogueProblem> MergeLayer(CatalogueText& stack, CatalogueText layer,
                                         const std::string& source) {
    return Merger(stack, source).Run(layer);
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
