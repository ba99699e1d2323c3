// The catalogue of a reader as catalogue-file elements, and those elements written as a file. Each
// unit's definition is written as the exact numbers of its engine, so that reading the file back
// gives engines of the same exact maps, which convert to the same bits.
#include "CatalogueText.h"

#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>
#include <units/reader/CatalogueWriter.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <stdexcept>

namespace Orv::Pim::Core::Service::Units::Reader {

namespace Detail {

namespace {

using Integer = boost::multiprecision::cpp_int;

/// `value / 10^places` as a plain decimal, without trailing zeros after the point.
std::string ScaledDecimal(const Integer& value, unsigned places) {
    std::string digits = Integer(abs(value)).str();
    if (digits.size() <= places) {
        digits.insert(0, places + 1 - digits.size(), '0');
    }
    std::string whole = digits.substr(0, digits.size() - places);
    std::string fraction = digits.substr(digits.size() - places);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return (value < 0 ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

/// The exact value of a finite double as a plain decimal: every double is m * 2^e, which is an
/// integer or has exactly -e digits after the point.
std::string ExactDecimalOf(double value) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    Integer mantissa(static_cast<long long>(std::ldexp(fraction, 53)));
    exponent -= 53;
    if (exponent >= 0) {
        return ScaledDecimal(mantissa << exponent, 0);
    }
    const auto places = static_cast<unsigned>(-exponent);
    return ScaledDecimal(mantissa * boost::multiprecision::pow(Integer(5), places), places);
}

/// The definition an engine stands for, written as decimals where its denominator allows
/// (0.3048 rather than 381/1250) and as integers otherwise; empty when the engine has none.
std::optional<Definition> FileDefinitionOf(Converter::IUnitConverterEngine& engine) {
    Definition exact;
    if (!Converter::GetExactDefinition(engine, exact)) {
        if (engine.m_eType != Converter::e_LinearEngine) {
            return std::nullopt;
        }
        double scale = 0.0, offset = 0.0;
        static_cast<Converter::LinearUnitConverter&>(engine).GetScaleAndOffset(scale, offset);
        if (!std::isfinite(scale) || !std::isfinite(offset)) {
            return std::nullopt;
        }
        return Definition{ExactDecimalOf(offset), ExactDecimalOf(scale), "1", "0"};
    }
    if (exact.D != "0") {
        return exact;
    }
    // C = 2^a * 5^b divides 10^max(a, b): A and B then become decimals over 1.
    Integer rest(exact.C);
    unsigned twos = 0, fives = 0;
    for (; rest % 2 == 0; rest /= 2) {
        ++twos;
    }
    for (; rest % 5 == 0; rest /= 5) {
        ++fives;
    }
    if (rest != 1) {
        return exact;
    }
    const unsigned places = std::max(twos, fives);
    const Integer multiplier = boost::multiprecision::pow(Integer(10), places) / Integer(exact.C);
    return Definition{ScaledDecimal(Integer(exact.A) * multiplier, places),
                      ScaledDecimal(Integer(exact.B) * multiplier, places), "1", "0"};
}

/// `text` with the characters that XML gives a meaning escaped, for an attribute value.
std::string Escaped(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\t':
            escaped += "&#9;";
            break;
        case '\n':
            escaped += "&#10;";
            break;
        case '\r':
            escaped += "&#13;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

class Attributes {
public:
    explicit Attributes(std::ostream& out) : m_out(out) {}
    Attributes& operator()(const char* name, const std::string& value) {
        m_out << ' ' << name << "=\"" << Escaped(value) << '"';
        return *this;
    }
    Attributes& operator()(const char* name, const std::optional<std::string>& value) {
        return value ? (*this)(name, *value) : *this;
    }

private:
    std::ostream& m_out;
};

} // namespace

CatalogueText TextOfReader(RecordUnitReader& reader) {
    CatalogueText text;
    for (const DimensionSpec* dimension : reader.GetAllDimensionSpecs()) {
        if (dimension == nullptr || !dimension->IsValid()) {
            continue;
        }
        DimensionElement element{{}, dimension->name, dimension->baseUnitSymbol, {}, false};
        if (dimension->baseUnitSymbol.empty()) {
            element.baseUnit.reset();
        }
        element.signature = reader.GetDimensionSignature(dimension->name);
        element.preferred = element.signature && reader.IsPreferredDimension(dimension->name);
        text.dimensions.push_back(std::move(element));
    }

    // A unit whose standard form is another unit of the same definition is that unit's alias;
    // one of another definition is written as a unit of its own, as its engine converts.
    std::map<std::string, int> indexOf;
    std::vector<Definition> definitions;
    const auto same = [](const Definition& a, const Definition& b) {
        return a.A == b.A && a.B == b.B && a.C == b.C && a.D == b.D;
    };
    for (const UnitSpec* unit : reader.GetAllUnitSpecs()) {
        if (unit == nullptr || !unit->IsValid() || indexOf.count(unit->symbol) > 0) {
            continue;
        }
        const std::optional<Definition> definition = FileDefinitionOf(*unit->converter);
        if (!definition) {
            throw std::invalid_argument("the unit '" + unit->symbol +
                                        "' has an engine without a definition that a catalogue "
                                        "file can hold");
        }
        UnitElement element;
        element.symbol = unit->symbol;
        element.desc = unit->name;
        element.dimension = unit->dimensionName;
        element.prefixes = reader.TakesPrefixes(unit->symbol);
        const auto parent = indexOf.find(unit->standardFormSymbol);
        if (unit->standardFormSymbol != unit->symbol && parent != indexOf.end() &&
            text.units[static_cast<std::size_t>(parent->second)].parent < 0 &&
            same(definitions[static_cast<std::size_t>(parent->second)], *definition)) {
            element.parent = parent->second;
        } else {
            element.A = definition->A;
            element.B = definition->B;
            element.C = definition->C;
            element.D = definition->D;
        }
        indexOf.emplace(unit->symbol, static_cast<int>(text.units.size()));
        definitions.push_back(*definition);
        text.units.push_back(std::move(element));
    }

    const auto measurements = reader.GetAllMeasurementSpecs();
    for (const MeasurementSpec* measurement : measurements) {
        if (measurement == nullptr || !measurement->IsValid()) {
            continue;
        }
        std::string units;
        for (const std::string& symbol : measurement->unitSymbols) {
            units += (units.empty() ? "" : " ") + symbol;
        }
        MeasurementElement element{{}, measurement->name, measurement->dimensionName, {}, false};
        if (!units.empty()) {
            element.units = std::move(units);
        }
        text.measurements.push_back(std::move(element));
    }
    for (const UnitSystemSpec* system : reader.GetAllUnitSystemSpecs()) {
        if (system == nullptr || !system->IsValid()) {
            continue;
        }
        text.systems.push_back({{}, system->name});
        for (const MeasurementElement& measurement : text.measurements) {
            if (const UnitSpec* unit =
                    reader.GetUnitSpecOfMeasurement(system->name, measurement.name)) {
                text.mappings.push_back({{}, system->name, measurement.name, unit->symbol, false});
            }
        }
    }
    return text;
}

void WriteText(const CatalogueText& text, std::ostream& out) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UnitCatalog>\n";
    // Units and measurements are written under their dimension, aliases under their unit.
    std::map<std::string, std::vector<const MeasurementElement*>> measurementsOf;
    for (const MeasurementElement& measurement : text.measurements) {
        measurementsOf[measurement.dimension].push_back(&measurement);
    }
    std::map<std::string, std::vector<std::size_t>> unitsOf;
    std::map<int, std::vector<std::size_t>> aliasesOf;
    for (std::size_t i = 0; i < text.units.size(); ++i) {
        if (text.units[i].IsAlias()) {
            aliasesOf[text.units[i].parent].push_back(i);
        } else {
            unitsOf[text.units[i].dimension].push_back(i);
        }
    }
    for (const DimensionElement& dimension : text.dimensions) {
        out << "  <Dimension";
        Attributes attribute(out);
        attribute("name", dimension.name)("baseUnit", dimension.baseUnit);
        attribute("signature", dimension.signature);
        if (dimension.preferred) {
            attribute("preferred", std::string("true"));
        }
        out << ">\n";
        for (const MeasurementElement* measurement : measurementsOf[dimension.name]) {
            out << "    <Measurement";
            attribute("name", measurement->name)("units", measurement->units);
            out << "/>\n";
        }
        for (const std::size_t index : unitsOf[dimension.name]) {
            const UnitElement& unit = text.units[index];
            out << "    <Unit";
            attribute("name", unit.symbol)("desc", unit.desc);
            // Defaults are left out: a linear unit has B, and A or C only when they are needed.
            const std::optional<Definition> definition = DefinitionOf(text, unit);
            attribute("A", definition->A != "0" ? unit.A : std::nullopt);
            attribute("B", definition->B);
            attribute("C", definition->C != "1" ? unit.C : std::nullopt);
            attribute("D", definition->D != "0" ? unit.D : std::nullopt);
            if (unit.prefixes) {
                attribute("prefixes", std::string("true"));
            }
            const auto aliases = aliasesOf.find(static_cast<int>(index));
            if (aliases == aliasesOf.end()) {
                out << "/>\n";
                continue;
            }
            out << ">\n";
            for (const std::size_t alias : aliases->second) {
                out << "      <Alias";
                attribute("name", text.units[alias].symbol)("desc", text.units[alias].desc);
                if (text.units[alias].prefixes) {
                    attribute("prefixes", std::string("true"));
                }
                out << "/>\n";
            }
            out << "    </Unit>\n";
        }
        out << "  </Dimension>\n";
    }
    for (const UnitSystemElement& system : text.systems) {
        out << "  <UnitSystem";
        Attributes attribute(out);
        attribute("name", system.name);
        out << ">\n";
        for (const MappingElement& mapping : text.mappings) {
            if (mapping.system == system.name) {
                out << "    <UnitMapping";
                attribute("measurement", mapping.measurement)("unit", mapping.unit);
                out << "/>\n";
            }
        }
        out << "  </UnitSystem>\n";
    }
    out << "</UnitCatalog>\n";
}

} // namespace Detail

void WriteCatalogue(RecordUnitReader& reader, std::ostream& out) {
    Detail::WriteText(Detail::TextOfReader(reader), out);
}

void WriteCatalogueFile(RecordUnitReader& reader, const std::string& path) {
    const Detail::CatalogueText text = Detail::TextOfReader(reader);
    errno = 0;
    std::ofstream file(path, std::ios::binary);
    if (file) {
        Detail::WriteText(text, file);
        file.close();
    }
    if (!file) {
        // The stream keeps no reason of its own; the system's, where it left one, says what to do.
        throw std::runtime_error("cannot write the catalogue file '" + path + "'" +
                                 (errno != 0 ? std::string(": ") + std::strerror(errno) : ""));
    }
}

} // namespace Orv::Pim::Core::Service::Units::Reader
