// The consistency checks of a catalogue: what its schema cannot say, such as whether a symbol
// that one element names is defined by another, and of the right dimension.
#include "CatalogueText.h"
#include "Quoted.h"
#include "Signature.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

std::string Where(const Position& at) {
    return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
}

/// `text` with its sign flipped ("1.5" gives "-1.5", "-2" gives "2", "+3" gives "-3").
std::string NegatedText(const std::string& text) {
    if (!text.empty() && text[0] == '-') {
        return text.substr(1);
    }
    if (!text.empty() && text[0] == '+') {
        return "-" + text.substr(1);
    }
    return "-" + text;
}

class Checker {
public:
    explicit Checker(const CatalogueText& text) : m_text(text) {}

    struct Found {
        Position at;
        std::string message;
        bool warning;
    };

    std::vector<Found> Run() {
        IndexAll();
        for (const DimensionElement& dimension : m_text.dimensions) {
            CheckBaseUnit(dimension);
        }
        for (const UnitElement& unit : m_text.units) {
            if (!unit.IsAlias()) {
                CheckDefinition(unit);
            }
        }
        for (const MeasurementElement& measurement : m_text.measurements) {
            CheckOfferedUnits(measurement);
        }
        for (const MappingElement& mapping : m_text.mappings) {
            CheckMapping(mapping);
        }
        CheckSignatures();
        CheckNamesWithRoles();
        // Problems without a position, of the catalogue as a whole, come last.
        const auto key = [](const Found& found) {
            return std::make_pair(found.at.line > 0 ? found.at.line : INT_MAX, found.at.column);
        };
        std::stable_sort(m_found.begin(), m_found.end(), [&](const auto& left, const auto& right) {
            return key(left) < key(right);
        });
        return std::move(m_found);
    }

private:
    template <typename Element>
    void Index(std::map<std::string, const Element*>& index, const Element& element,
               const std::string& key, const std::string& what) {
        // The library refuses an empty name or symbol when it builds the object.
        if (key.empty()) {
            Add(element.at, what + " has an empty " + (what == "the unit" ? "symbol" : "name"));
            return;
        }
        const auto inserted = index.emplace(key, &element);
        if (!inserted.second) {
            Add(element.at, what + " " + Quoted(key) +
                                " is defined twice; it was first defined at " +
                                Where(inserted.first->second->at));
        }
    }

    void IndexAll() {
        for (const DimensionElement& dimension : m_text.dimensions) {
            Index(m_dimensions, dimension, dimension.name, "the dimension");
        }
        for (const UnitElement& unit : m_text.units) {
            Index(m_units, unit, unit.symbol, "the unit");
        }
        for (const MeasurementElement& measurement : m_text.measurements) {
            Index(m_measurements, measurement, measurement.name, "the measurement");
        }
        for (const UnitSystemElement& system : m_text.systems) {
            Index(m_systems, system, system.name, "the unit system");
        }
        std::map<std::pair<std::string, std::string>, const MappingElement*> mappings;
        for (const MappingElement& mapping : m_text.mappings) {
            const auto inserted =
                mappings.emplace(std::make_pair(mapping.system, mapping.measurement), &mapping);
            if (!inserted.second) {
                Add(mapping.at, "the unit system " + Quoted(mapping.system) +
                                    " maps the measurement " + Quoted(mapping.measurement) +
                                    " twice; it was first mapped at " +
                                    Where(inserted.first->second->at));
            }
        }
    }

    const UnitElement* FindUnit(const std::string& symbol) const {
        const auto found = m_units.find(symbol);
        return found == m_units.end() ? nullptr : found->second;
    }

    // The subjects of messages are made only for a problem: a sound catalogue makes none.
    void CheckBaseUnit(const DimensionElement& dimension) {
        const auto subject = [&] { return "the dimension " + Quoted(dimension.name); };
        if (!dimension.baseUnit || dimension.baseUnit->empty()) {
            Add(dimension.at, subject() + " has no base unit");
            return;
        }
        const UnitElement* base = FindUnit(*dimension.baseUnit);
        if (base == nullptr) {
            Add(dimension.at, subject() + " has the base unit " + Quoted(*dimension.baseUnit) +
                                  ", which is not defined");
        } else if (base->dimension != dimension.name) {
            Add(dimension.at, subject() + " has the base unit " + Quoted(*dimension.baseUnit) +
                                  ", which is a unit of the dimension " + Quoted(base->dimension));
        } else if (!IsIdentity(*base)) {
            Add(dimension.at, subject() + " has the base unit " + Quoted(*dimension.baseUnit) +
                                  ", whose definition does not leave values unchanged");
        }
    }

    /// True when the unit's definition is exactly `base = x`.
    bool IsIdentity(const UnitElement& unit) const {
        const std::optional<Definition> definition = DefinitionOf(m_text, unit);
        if (!definition) {
            return true; // reported as a unit without definition
        }
        const auto kind = Converter::ClassifyExactDefinition(*definition);
        // A definition with a bad coefficient is reported as such.
        return !kind || *kind == Converter::ExactMapKind::e_Identity;
    }

    void CheckDefinition(const UnitElement& unit) {
        const auto subject = [&] { return "the unit " + Quoted(unit.symbol); };
        const std::optional<Definition> definition = DefinitionOf(m_text, unit);
        if (!definition) {
            Add(unit.at, subject() + " has no definition: give it a scale and an offset, or A, B, "
                                     "C and D");
            return;
        }
        bool numbers = true;
        const auto check = [&](const std::optional<std::string>& text, const char* name) {
            if (text && !Converter::IsExactDecimal(*text)) {
                Add(unit.at, subject() + " has the " + name + " " + Quoted(Shortened(*text)) +
                                 ", which is not a decimal number of at most " +
                                 std::to_string(Converter::kMaxExactDigits) +
                                 " digits and an exponent of at most " +
                                 std::to_string(Converter::kMaxExactExponent));
                numbers = false;
            }
        };
        if (unit.HasExactDefinition()) {
            check(unit.A, "coefficient A");
            check(unit.B, "coefficient B");
            check(unit.C, "coefficient C");
            check(unit.D, "coefficient D");
        } else {
            check(unit.scale, "scale");
            check(unit.offset, "offset");
        }
        if (!numbers) {
            return;
        }
        // The map x -> (A + B*x) / (C + D*x) has an inverse exactly when B*C - A*D is not 0,
        // which for a scale and an offset is when the scale is not 0.
        if (Converter::ClassifyExactDefinition(*definition) ==
            Converter::ExactMapKind::e_Constant) {
            if (!unit.HasExactDefinition()) {
                Add(unit.at, subject() + " has the scale 0, which maps every value of the base "
                                         "unit to one value");
                return;
            }
            Add(unit.at,
                subject() + " has the definition (A + B*x) / (C + D*x) with A = " + definition->A +
                    ", B = " + definition->B + ", C = " + definition->C + ", D = " + definition->D +
                    ", which cannot be inverted: B*C - A*D is 0");
        }
    }

    void CheckOfferedUnits(const MeasurementElement& measurement) {
        if (!measurement.units) {
            return;
        }
        const auto subject = [&] { return "the measurement " + Quoted(measurement.name); };
        std::set<std::string> seen;
        for (std::string& listed : SplitSymbols(*measurement.units)) {
            const auto inserted = seen.insert(std::move(listed));
            const std::string& symbol = *inserted.first;
            if (!inserted.second) {
                Add(measurement.at, subject() + " offers the unit " + Quoted(symbol) + " twice");
                continue;
            }
            const UnitElement* unit = FindUnit(symbol);
            if (unit == nullptr) {
                Add(measurement.at,
                    subject() + " offers the unit " + Quoted(symbol) + ", which is not defined");
            } else if (unit->dimension != measurement.dimension) {
                Add(measurement.at, subject() + " of the dimension " +
                                        Quoted(measurement.dimension) + " offers the unit " +
                                        Quoted(symbol) + " of the dimension " +
                                        Quoted(unit->dimension));
            }
        }
    }

    void CheckMapping(const MappingElement& mapping) {
        const auto subject = [&] { return "the unit system " + Quoted(mapping.system); };
        const auto measurement = m_measurements.find(mapping.measurement);
        if (measurement == m_measurements.end()) {
            Warn(mapping.at, subject() + " maps the measurement " + Quoted(mapping.measurement) +
                                 ", which is not defined; the mapping is ignored");
            return;
        }
        if (!mapping.unit) {
            return;
        }
        const UnitElement* unit = FindUnit(*mapping.unit);
        const auto gives = [&] {
            return subject() + " gives the measurement " + Quoted(mapping.measurement) +
                   " the unit " + Quoted(*mapping.unit);
        };
        if (unit == nullptr) {
            Warn(mapping.at, gives() + ", which is not defined; the mapping is ignored");
        } else if (unit->dimension != measurement->second->dimension) {
            Add(mapping.at, gives() + " of the dimension " + Quoted(unit->dimension) +
                                ", but the measurement is of the dimension " +
                                Quoted(measurement->second->dimension));
        }
    }

    /// Signatures name each base quantity once, the catalogue has room for its quantities, and
    /// at most one dimension of a signature is the one unit expressions take.
    void CheckSignatures() {
        std::vector<std::pair<const DimensionElement*, std::vector<SignatureTerm>>> read;
        std::set<std::string> extras;
        const QuantityTable si;
        for (const DimensionElement& dimension : m_text.dimensions) {
            const std::string subject = "the dimension " + Quoted(dimension.name);
            if (!dimension.signature) {
                if (dimension.preferred) {
                    Add(dimension.at, subject + " is preferred for unit expressions but has no "
                                                "signature");
                }
                continue;
            }
            std::string why;
            auto terms = ParseSignatureText(*dimension.signature, why);
            if (!terms) {
                Add(dimension.at, subject + " has the signature " +
                                      Quoted(Shortened(*dimension.signature)) + ": " + why);
                continue;
            }
            std::set<std::string> named;
            for (const SignatureTerm& term : *terms) {
                if (!named.insert(term.quantity).second) {
                    Add(dimension.at, subject + " has the signature " +
                                          Quoted(Shortened(*dimension.signature)) +
                                          ", which names " + Quoted(term.quantity) + " twice");
                    terms.reset();
                    break;
                }
                if (!si.Find(term.quantity)) {
                    extras.insert(term.quantity);
                }
            }
            if (terms) {
                read.emplace_back(&dimension, std::move(*terms));
            }
        }
        if (extras.size() + si.Size() > kMaxQuantities) {
            Add(m_text.dimensions.front().at,
                "the signatures name " + std::to_string(extras.size() + si.Size()) +
                    " base quantities; a catalogue may have at most " +
                    std::to_string(kMaxQuantities));
            return;
        }
        const QuantityTable quantities(extras);
        std::map<Signature, const DimensionElement*> preferred;
        for (const auto& [dimension, terms] : read) {
            if (!dimension->preferred) {
                continue;
            }
            const auto inserted = preferred.emplace(*quantities.Make(terms), dimension);
            if (!inserted.second) {
                Add(dimension->at, "the dimension " + Quoted(dimension->name) +
                                       " and the dimension " +
                                       Quoted(inserted.first->second->name) + " at " +
                                       Where(inserted.first->second->at) +
                                       " share a signature and are both preferred");
            }
        }
    }

    /// The names the library gives a role: without "Metric" the library has no current unit
    /// system, so its warm-up and every use of the current system fail; without "Dimensionless"
    /// no value with a measurement (UCDouble) can be made, and without "Unitless" no number
    /// without a unit can be read, while units, conversions and unit systems still work.
    void CheckNamesWithRoles() {
        if (m_systems.count("Metric") == 0) {
            Add({}, "the catalogue has no unit system \"Metric\", which the library makes the "
                    "current unit system: its warm-up and every use of the current system fail");
        }
        if (m_dimensions.count("Dimensionless") == 0) {
            Warn({}, "the catalogue has no dimension \"Dimensionless\": no value with a "
                     "measurement (UCDouble) can be made; units, conversions and unit systems "
                     "work");
        }
        if (m_measurements.count("Unitless") == 0) {
            Warn({}, "the catalogue has no measurement \"Unitless\": a number without a unit "
                     "cannot be read as a value; units, conversions and unit systems work");
        }
    }

    /// A long text cut down for a message, so that a huge attribute does not make a huge message.
    static std::string Shortened(const std::string& text) {
        constexpr std::size_t kLongest = 40;
        return text.size() <= kLongest ? text : text.substr(0, kLongest) + "...";
    }

    // Past the most a report holds, problems are only counted: the report says it stopped.
    void Add(const Position& at, std::string message) {
        if (m_found.size() <= kMostKept) {
            m_found.push_back({at, std::move(message), false});
        }
    }
    // What the library still works with is read, with a warning: a mapping to something the
    // file lacks (an export leaves out its non-linear units but keeps the mappings to them), or a
    // name with a role that is missing.
    void Warn(const Position& at, std::string message) {
        if (m_found.size() <= kMostKept) {
            m_found.push_back({at, std::move(message), true});
        }
    }
    static constexpr std::size_t kMostKept = 100000;

    const CatalogueText& m_text;
    std::map<std::string, const DimensionElement*> m_dimensions;
    std::map<std::string, const UnitElement*> m_units;
    std::map<std::string, const MeasurementElement*> m_measurements;
    std::map<std::string, const UnitSystemElement*> m_systems;
    std::vector<Found> m_found;
};

} // namespace

std::optional<Definition> DefinitionOf(const CatalogueText& text, const UnitElement& unit) {
    if (unit.IsAlias()) {
        return DefinitionOf(text, text.units[static_cast<std::size_t>(unit.parent)]);
    }
    if (unit.HasExactDefinition()) {
        Definition definition;
        definition.A = unit.A.value_or(definition.A);
        definition.B = unit.B.value_or(definition.B);
        definition.C = unit.C.value_or(definition.C);
        definition.D = unit.D.value_or(definition.D);
        return definition;
    }
    if (!unit.scale) {
        return std::nullopt;
    }
    // The file's y = scale * base + offset, turned round: base = (-offset + 1*y) / (scale + 0*y).
    Definition definition;
    definition.A = NegatedText(unit.offset.value_or("0"));
    definition.B = "1";
    definition.C = *unit.scale;
    definition.D = "0";
    return definition;
}

std::vector<CatalogueProblem> CheckConsistency(const CatalogueText& text,
                                               const std::string& source) {
    std::vector<CatalogueProblem> problems;
    for (auto& found : Checker(text).Run()) {
        problems.push_back(
            {source, found.at.line, found.at.column, std::move(found.message), found.warning});
    }
    return problems;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
