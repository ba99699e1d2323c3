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

std::string Generate(Reader::XmlUnitReader& reader) {
    // The arrays below are written with at least one element each, as C++ requires.
    if (reader.GetAllUnitSpecs().empty() || reader.GetAllDimensionSpecs().empty() ||
        reader.GetAllMeasurementSpecs().empty() || reader.GetAllUnitSystemSpecs().empty()) {
        throw std::runtime_error("the catalogue lacks dimensions, units, measurements or unit "
                                 "systems");
    }
    std::ostringstream out;
    out << "// Compiled from a catalogue file by orv_catalogue_generator; do not edit.\n"
           "#include \"StaticCatalogue.h\"\n\n"
           "namespace Orv::Pim::Core::Service::Units::Reader::Detail {\n\nnamespace {\n\n";

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
                << ", nullptr, nullptr, nullptr, nullptr},\n";
        } else {
            out << "    {false, 0, 0, 0, " << Literal(definition.A) << ", " << Literal(definition.B)
                << ", " << Literal(definition.C) << ", " << Literal(definition.D) << "},\n";
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
        out << "    {" << Literal(dimension->name) << ", " << Literal(dimension->baseUnitSymbol)
            << ", " << (signature ? Literal(*signature) : "nullptr") << ", "
            << (reader.IsPreferredDimension(dimension->name) ? "true" : "false") << "},\n";
    }
    out << "};\n\n";

    std::map<const Reader::UnitSpec*, std::size_t> unitIndex;
    out << "const StaticUnit kUnits[] = {\n";
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Reader::UnitSpec* unit = units[i];
        unitIndex.emplace(unit, i);
        out << "    {" << Literal(unit->symbol) << ", " << Literal(unit->name) << ", "
            << Literal(unit->dimensionName) << ", " << Literal(unit->standardFormSymbol) << ", "
            << unitEngine[i] << ", " << (reader.TakesPrefixes(unit->symbol) ? "true" : "false")
            << "},\n";
    }
    out << "};\n\n";

    const std::vector<const Reader::MeasurementSpec*> measurements =
        reader.GetAllMeasurementSpecs();
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        if (measurements[i]->unitSymbols.empty()) {
            continue;
        }
        out << "const char* const kUnitsOfMeasurement" << i << "[] = {";
        for (const std::string& symbol : measurements[i]->unitSymbols) {
            out << Literal(symbol) << ", ";
        }
        out << "};\n";
    }
    out << "\nconst StaticMeasurement kMeasurements[] = {\n";
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        const Reader::MeasurementSpec* measurement = measurements[i];
        out << "    {" << Literal(measurement->name) << ", " << Literal(measurement->dimensionName)
            << ", ";
        if (measurement->unitSymbols.empty()) {
            out << "nullptr, 0},\n";
        } else {
            out << "kUnitsOfMeasurement" << i << ", " << measurement->unitSymbols.size() << "},\n";
        }
    }
    out << "};\n\n";

    const std::vector<const Reader::UnitSystemSpec*> systems = reader.GetAllUnitSystemSpecs();
    out << "const char* const kSystems[] = {\n";
    for (const Reader::UnitSystemSpec* system : systems) {
        out << "    " << Literal(system->name) << ",\n";
    }
    out << "};\n\n";

    // Every mapping the reader answers, by asking it for each pair.
    std::size_t mappingCount = 0;
    std::ostringstream mappings;
    for (std::size_t s = 0; s < systems.size(); ++s) {
        for (std::size_t m = 0; m < measurements.size(); ++m) {
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

    const std::vector<Reader::CatalogueProblem>& warnings = reader.Warnings();
    if (!warnings.empty()) {
        out << "const StaticProblem kWarnings[] = {\n";
        for (const Reader::CatalogueProblem& problem : warnings) {
            out << "    {" << Literal(problem.source) << ", " << problem.line << ", "
                << problem.column << ", " << Literal(problem.message) << ", "
                << (problem.warning ? "true" : "false") << "},\n";
        }
        out << "};\n\n";
    }

    out << "} // namespace\n\nextern const StaticCatalogue kDefaultRecords = {\n"
        << "    kEngines, " << engineIndex.size() << ",\n"
        << "    kDimensions, " << dimensions.size() << ",\n"
        << "    kUnits, " << units.size() << ",\n"
        << "    kMeasurements, " << measurements.size() << ",\n"
        << "    kSystems, " << systems.size() << ",\n"
        << "    " << (mappingCount != 0 ? "kMappings" : "nullptr") << ", " << mappingCount << ",\n"
        << "    " << (warnings.empty() ? "nullptr" : "kWarnings") << ", " << warnings.size()
        << ",\n};\n\n} // namespace Orv::Pim::Core::Service::Units::Reader::Detail\n";
    return out.str();
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
