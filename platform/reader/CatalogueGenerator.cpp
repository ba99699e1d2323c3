// Compiles a catalogue file into static records for the reader library (see StaticCatalogue.h).
// The file is read by the reader itself, with every check it makes on any catalogue, so a
// catalogue that a reader would refuse fails the build here with the same problems.
//
//   orv_catalogue_generator CATALOGUE.xml SOURCE_NAME OUTPUT.cpp
//
// SOURCE_NAME stands for the file in the records' warnings, as it would for XmlUnitReader::
// FromText. Each engine is written as its exact definition in lowest terms, and checked: the
// engine rebuilt from what is written must round to the same doubles as the one read.
#include <units/converter/ExactEngines.h>
#include <units/reader/XmlUnitReader.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Units = Orv::Pim::Core::Service::Units;
namespace Reader = Units::Reader;
namespace Converter = Units::Converter;

namespace {

// A C++ string literal of any bytes: octal escapes never run on into the next character.
std::string Literal(const std::string& text) {
    std::string literal = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += c;
        } else if (byte < 0x20 || byte >= 0x7F || c == '?') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", byte);
            literal += escape;
        } else {
            literal += c;
        }
    }
    return literal + "\"";
}

// The integer of a decimal text when it is below 2^62 in magnitude.
bool SmallInteger(const std::string& text, std::int64_t& value) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 62;
    try {
        std::size_t used = 0;
        const long long parsed = std::stoll(text, &used);
        if (used != text.size() || parsed <= -kLimit || parsed >= kLimit) {
            return false;
        }
        value = parsed;
        return true;
    } catch (const std::exception&) {
        return false; // beyond long long
    }
}

// Fails unless the two engines give the same doubles.
void ExpectSameRounding(Converter::IUnitConverterEngine& read,
                        Converter::IUnitConverterEngine& rebuilt, const std::string& symbol) {
    bool same = read.m_eType == rebuilt.m_eType;
    if (same && read.m_eType == Converter::e_LinearEngine) {
        double s1 = 0.0, o1 = 0.0, s2 = 0.0, o2 = 0.0;
        static_cast<Converter::LinearUnitConverter&>(read).GetScaleAndOffset(s1, o1);
        static_cast<Converter::LinearUnitConverter&>(rebuilt).GetScaleAndOffset(s2, o2);
        same = s1 == s2 && o1 == o2;
    } else if (same && read.m_eType == Converter::e_RationalEngine) {
        double p1 = 0.0, q1 = 0.0, r1 = 0.0, p2 = 0.0, q2 = 0.0, r2 = 0.0;
        static_cast<Converter::RationalUnitConverter&>(read).GetCoefficients(p1, q1, r1);
        static_cast<Converter::RationalUnitConverter&>(rebuilt).GetCoefficients(p2, q2, r2);
        same = p1 == p2 && q1 == q2 && r1 == r2;
    }
    if (!same) {
        throw std::runtime_error("the engine of \"" + symbol +
                                 "\" does not survive compilation unchanged");
    }
}

// The catalogue's texts, each kept once, and their places in the one text of the catalogue.
class TextPool {
public:
    /// The place of `text`, added when it is new.
    std::string Place(const std::string& text) {
        auto found = m_places.find(text);
        if (found == m_places.end()) {
            found = m_places.emplace(text, m_text.size()).first;
            m_text += text;
        }
        return "{" + std::to_string(found->second) + ", " + std::to_string(text.size()) + "}";
    }
    /// The text as C++ string literals, one line of at most about eighty bytes each.
    std::string Literals() const {
        std::string out;
        for (std::size_t at = 0; at < m_text.size(); at += 64) {
            out += "    " + Literal(m_text.substr(at, 64)) + "\n";
        }
        return out.empty() ? "    \"\"\n" : out;
    }

private:
    std::string m_text;
    std::map<std::string, std::size_t> m_places;
};

// The indexes of `records` sorted by key, each key given by its first record only.
template <typename Record, typename KeyOf>
std::vector<std::size_t> SortedIndexes(const std::vector<const Record*>& records, KeyOf key) {
    std::vector<std::size_t> order(records.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t left, std::size_t right) {
        return key(*records[left]) < key(*records[right]);
    });
    order.erase(std::unique(order.begin(), order.end(),
                            [&](std::size_t left, std::size_t right) {
                                return key(*records[left]) == key(*records[right]);
                            }),
                order.end());
    return order;
}

std::string IndexArray(const char* name, const std::vector<std::size_t>& indexes) {
    std::string out = "const std::uint32_t " + std::string(name) + "[] = {";
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        out += (i % 16 == 0 ? "\n    " : " ") + std::to_string(indexes[i]) + ",";
    }
    return out + "\n};\n\n";
}

std::string Generate(Reader::XmlUnitReader& reader) {
    // The arrays below are written with at least one element each, as C++ requires.
    if (reader.GetAllUnitSpecs().empty() || reader.GetAllDimensionSpecs().empty() ||
        reader.GetAllMeasurementSpecs().empty() || reader.GetAllUnitSystemSpecs().empty()) {
        throw std::runtime_error("the catalogue lacks dimensions, units, measurements or unit "
                                 "systems");
    }
    TextPool text;
    std::ostringstream out;

    // Engines, once each: aliases share their parent's.
    const std::vector<const Reader::UnitSpec*> units = reader.GetAllUnitSpecs();
    std::map<const Converter::IUnitConverterEngine*, std::size_t> engineIndex;
    std::vector<std::size_t> unitEngine;
    out << "const StaticEngine kEngines[] = {\n";
    for (const Reader::UnitSpec* unit : units) {
        const auto known = engineIndex.find(unit->converter);
        if (known != engineIndex.end()) {
            unitEngine.push_back(known->second);
            continue;
        }
        Converter::ExactDefinition definition;
        if (!Converter::GetExactDefinition(*unit->converter, definition)) {
            throw std::runtime_error("the unit \"" + unit->symbol + "\" has no exact definition");
        }
        std::int64_t a = 0, b = 0, c = 0, d = 0;
        const bool small = definition.D == "0" && SmallInteger(definition.A, a) &&
                           SmallInteger(definition.B, b) && SmallInteger(definition.C, c) &&
                           SmallInteger(definition.D, d);
        std::unique_ptr<Converter::IUnitConverterEngine> rebuilt =
            small ? std::unique_ptr<Converter::IUnitConverterEngine>(
                        Converter::MakeExactLinear(a, b, c))
                  : Converter::MakeExactEngine(definition);
        ExpectSameRounding(*unit->converter, *rebuilt, unit->symbol);
        if (small) {
            out << "    {true, " << a << ", " << b << ", " << c
                << ", {0, 0}, {0, 0}, {0, 0}, {0, 0}},\n";
        } else {
            out << "    {false, 0, 0, 0, " << text.Place(definition.A) << ", "
                << text.Place(definition.B) << ", " << text.Place(definition.C) << ", "
                << text.Place(definition.D) << "},\n";
        }
        const std::size_t index = engineIndex.size();
        engineIndex.emplace(unit->converter, index);
        unitEngine.push_back(index);
    }
    out << "};\n\n";

    const std::vector<const Reader::DimensionSpec*> dimensions = reader.GetAllDimensionSpecs();
    out << "const StaticDimension kDimensions[] = {\n";
    for (const Reader::DimensionSpec* dimension : dimensions) {
        const std::optional<std::string> signature = reader.GetDimensionSignature(dimension->name);
        out << "    {" << text.Place(dimension->name) << ", "
            << text.Place(dimension->baseUnitSymbol) << ", " << (signature ? "true" : "false")
            << ", " << (signature ? text.Place(*signature) : "{0, 0}") << ", "
            << (reader.IsPreferredDimension(dimension->name) ? "true" : "false") << "},\n";
    }
    out << "};\n\n";

    std::map<const Reader::UnitSpec*, std::size_t> unitIndex;
    out << "const StaticUnit kUnits[] = {\n";
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Reader::UnitSpec* unit = units[i];
        unitIndex.emplace(unit, i);
        out << "    {" << text.Place(unit->symbol) << ", " << text.Place(unit->name) << ", "
            << text.Place(unit->dimensionName) << ", " << text.Place(unit->standardFormSymbol)
            << ", " << unitEngine[i] << ", "
            << (reader.TakesPrefixes(unit->symbol) ? "true" : "false") << "},\n";
    }
    out << "};\n\n";

    const std::vector<const Reader::MeasurementSpec*> measurements =
        reader.GetAllMeasurementSpecs();
    std::ostringstream symbols;
    std::size_t symbolCount = 0;
    out << "const StaticMeasurement kMeasurements[] = {\n";
    for (const Reader::MeasurementSpec* measurement : measurements) {
        out << "    {" << text.Place(measurement->name) << ", "
            << text.Place(measurement->dimensionName) << ", " << symbolCount << ", "
            << measurement->unitSymbols.size() << "},\n";
        for (const std::string& symbol : measurement->unitSymbols) {
            symbols << "    " << text.Place(symbol) << ",\n";
            ++symbolCount;
        }
    }
    out << "};\n\n";
    if (symbolCount != 0) {
        out << "const StaticText kUnitSymbols[] = {\n" << symbols.str() << "};\n\n";
    }

    const std::vector<const Reader::UnitSystemSpec*> systems = reader.GetAllUnitSystemSpecs();
    out << "const StaticSystem kSystems[] = {\n";
    for (const Reader::UnitSystemSpec* system : systems) {
        out << "    {" << text.Place(system->name) << "},\n";
    }
    out << "};\n\n";

    // Every mapping the reader answers, by asking it for each pair, sorted by system and then by
    // the measurement's name. A name given twice is asked for once, as its first record.
    const auto name = [](const auto& record) { return record.name; };
    const std::vector<std::size_t> systemOrder = SortedIndexes(systems, name);
    const std::vector<std::size_t> measurementOrder = SortedIndexes(measurements, name);
    std::vector<std::size_t> systemsAsked(systemOrder);
    std::sort(systemsAsked.begin(), systemsAsked.end());
    std::size_t mappingCount = 0;
    std::ostringstream mappings;
    for (const std::size_t s : systemsAsked) {
        for (const std::size_t m : measurementOrder) {
            const Reader::UnitSpec* unit =
                reader.GetUnitSpecOfMeasurement(systems[s]->name, measurements[m]->name);
            if (unit != nullptr) {
                mappings << "    {" << s << ", " << m << ", " << unitIndex.at(unit) << "},\n";
                ++mappingCount;
            }
        }
    }
    if (mappingCount != 0) {
        out << "const StaticMapping kMappings[] = {\n" << mappings.str() << "};\n\n";
    }

    const std::vector<std::size_t> dimensionOrder = SortedIndexes(dimensions, name);
    const std::vector<std::size_t> unitOrder =
        SortedIndexes(units, [](const Reader::UnitSpec& unit) { return unit.symbol; });
    out << IndexArray("kDimensionOrder", dimensionOrder) << IndexArray("kUnitOrder", unitOrder)
        << IndexArray("kMeasurementOrder", measurementOrder);

    const std::vector<Reader::CatalogueProblem>& warnings = reader.Warnings();
    if (!warnings.empty()) {
        out << "const StaticProblem kWarnings[] = {\n";
        for (const Reader::CatalogueProblem& problem : warnings) {
            out << "    {" << text.Place(problem.source) << ", " << problem.line << ", "
                << problem.column << ", " << text.Place(problem.message) << ", "
                << (problem.warning ? "true" : "false") << "},\n";
        }
        out << "};\n\n";
    }

    std::ostringstream file;
    file << "// Compiled from a catalogue file by orv_catalogue_generator; do not edit.\n"
            "#include \"StaticCatalogue.h\"\n\n"
            "namespace Orv::Pim::Core::Service::Units::Reader::Detail {\n\nnamespace {\n\n"
            "const char kText[] =\n"
         << text.Literals() << ";\n\n"
         << out.str() << "} // namespace\n\nextern const StaticCatalogue kDefaultRecords = {\n"
         << "    kText,\n"
         << "    kEngines, " << engineIndex.size() << ",\n"
         << "    kDimensions, " << dimensions.size() << ",\n"
         << "    kUnits, " << units.size() << ",\n"
         << "    kMeasurements, " << measurements.size() << ",\n"
         << "    " << (symbolCount != 0 ? "kUnitSymbols" : "nullptr") << ",\n"
         << "    kSystems, " << systems.size() << ",\n"
         << "    " << (mappingCount != 0 ? "kMappings" : "nullptr") << ", " << mappingCount << ",\n"
         << "    kDimensionOrder, " << dimensionOrder.size() << ",\n"
         << "    kUnitOrder, " << unitOrder.size() << ",\n"
         << "    kMeasurementOrder, " << measurementOrder.size() << ",\n"
         << "    " << (warnings.empty() ? "nullptr" : "kWarnings") << ", " << warnings.size()
         << ",\n};\n\n} // namespace Orv::Pim::Core::Service::Units::Reader::Detail\n";
    return file.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CATALOGUE.xml SOURCE_NAME OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    try {
        std::ifstream input(argv[1], std::ios::binary);
        if (!input) {
            throw std::runtime_error(std::string("cannot open ") + argv[1]);
        }
        std::ostringstream text;
        text << input.rdbuf();
        const std::unique_ptr<Reader::XmlUnitReader> reader =
            Reader::XmlUnitReader::FromText(text.str(), argv[2]);
        const std::string source = Generate(*reader);
        // Written whole or not at all, so a failed run leaves no half file for the build.
        const std::string partial = std::string(argv[3]) + ".part";
        {
            std::ofstream output(partial, std::ios::binary | std::ios::trunc);
            output << source;
            if (!output.flush()) {
                throw std::runtime_error("cannot write " + partial);
            }
        }
        // std::filesystem::rename replaces an older output on Windows too, where std::rename
        // refuses to.
        std::error_code failed;
        std::filesystem::rename(partial, argv[3], failed);
        if (failed) {
            throw std::runtime_error(std::string("cannot write ") + argv[3]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
