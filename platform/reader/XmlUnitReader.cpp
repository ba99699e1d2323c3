#include "CatalogueText.h"
#include "RecordSet.h"

#include <units/reader/XmlUnitReader.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace Orv::Pim::Core::Service::Units::Reader {

using Detail::CatalogueText;
using Detail::Definition;
using Detail::UnitElement;

std::string CatalogueProblem::ToString() const {
    std::string text = source;
    if (line > 0) {
        text += ":" + std::to_string(line) + ":" + std::to_string(column);
    }
    return text + ": " + (warning ? "warning: " : "") + message;
}

namespace {

std::string Describe(const std::vector<CatalogueProblem>& problems) {
    std::string text = "The catalogue was refused";
    if (!problems.empty()) {
        text += " (" + std::to_string(problems.size()) +
                (problems.size() == 1 ? " problem):" : " problems):");
    }
    for (const CatalogueProblem& problem : problems) {
        text += "\n" + problem.ToString();
    }
    return text;
}

} // namespace

CatalogueError::CatalogueError(std::vector<CatalogueProblem> problems)
    : std::runtime_error(Describe(problems)), m_problems(std::move(problems)) {}

namespace {

/// The engine of a definition that passed the consistency checks, or an explanation of why
/// there is none.
std::unique_ptr<Converter::IUnitConverterEngine> MakeEngine(const Definition& definition,
                                                            std::string& why) {
    std::unique_ptr<Converter::IUnitConverterEngine> engine;
    try {
        engine = Converter::MakeExactEngine(definition);
    } catch (const std::invalid_argument& error) {
        why = std::string("has a definition that gives no engine: ") + error.what();
        return nullptr;
    }
    // Coefficients so small that they round to 0 in double precision leave nothing to invert.
    if (!engine->IsInvertible()) {
        why = "has a definition whose engine cannot be inverted in double precision";
        return nullptr;
    }
    return engine;
}

/// Keeps at most the allowed number of problems, the last saying that the check stopped, and
/// cuts long messages short: a message may quote a value of the file, which may be huge.
void Limit(std::vector<CatalogueProblem>& problems) {
    if (problems.size() > Detail::kMaxProblems) {
        problems.resize(Detail::kMaxProblems - 1);
        CatalogueProblem last = problems.back();
        last.message = "too many problems; the check stopped here";
        problems.push_back(std::move(last));
    }
    constexpr std::size_t kLongestMessage = 500;
    for (CatalogueProblem& problem : problems) {
        if (problem.message.size() > kLongestMessage) {
            std::size_t cut = kLongestMessage;
            // Never split a UTF-8 sequence.
            while (cut > 0 && (static_cast<unsigned char>(problem.message[cut]) & 0xC0) == 0x80) {
                --cut;
            }
            problem.message.resize(cut);
            problem.message += "...";
        }
    }
}

} // namespace

XmlUnitReader::XmlUnitReader(std::unique_ptr<Detail::RecordSet> records,
                             std::vector<CatalogueProblem> warnings)
    : RecordUnitReader(std::move(records)), m_warnings(std::move(warnings)) {}

namespace {

/// Parses and checks a catalogue, and fills `records` with it; returns its warnings. Throws
/// CatalogueError with every problem found.
std::vector<CatalogueProblem> Build(const std::string& bytes, const std::string& source,
                                    Detail::RecordSet& records) {
    Detail::ParsedCatalogue parsed = Detail::ParseCatalogue(bytes, source);
    std::vector<CatalogueProblem> problems = std::move(parsed.problems);
    if (parsed.incomplete) {
        Limit(problems);
        throw CatalogueError(std::move(problems));
    }
    const CatalogueText& text = parsed.text;
    for (CatalogueProblem& problem : Detail::CheckConsistency(text, source)) {
        problems.push_back(std::move(problem));
    }

    // Engines of the units in file order; an alias shares its parent's.
    std::vector<Converter::IUnitConverterEngine*> engines(text.units.size(), nullptr);
    const auto isError = [](const CatalogueProblem& problem) { return !problem.warning; };
    if (std::none_of(problems.begin(), problems.end(), isError)) {
        for (std::size_t i = 0; i < text.units.size(); ++i) {
            const UnitElement& unit = text.units[i];
            if (unit.IsAlias()) {
                engines[i] = engines[static_cast<std::size_t>(unit.parent)];
                continue;
            }
            std::string why;
            auto engine = MakeEngine(*Detail::DefinitionOf(text, unit), why);
            if (engine == nullptr) {
                problems.push_back({source, unit.at.line, unit.at.column,
                                    "the unit \"" + unit.symbol + "\" " + why});
                continue;
            }
            engines[i] = records.Keep(std::move(engine));
        }
    }
    if (std::any_of(problems.begin(), problems.end(), isError)) {
        Limit(problems);
        throw CatalogueError(std::move(problems));
    }
    Limit(problems);

    for (const auto& dimension : text.dimensions) {
        records.dimensions.Add({dimension.name, dimension.baseUnit.value_or("")});
    }
    for (std::size_t i = 0; i < text.units.size(); ++i) {
        const UnitElement& unit = text.units[i];
        const std::string standardForm =
            unit.IsAlias() ? text.units[static_cast<std::size_t>(unit.parent)].symbol
                           : std::string();
        records.units.Add({unit.symbol, unit.desc, unit.dimension, standardForm, engines[i]});
    }
    for (const auto& measurement : text.measurements) {
        records.measurements.Add({measurement.name, measurement.dimension,
                                  Detail::SplitSymbols(measurement.units.value_or(""))});
    }
    for (const auto& system : text.systems) {
        records.systems.Add({system.name});
    }
    // Mappings to a unit or measurement the file lacks were warned about, and are left out.
    for (const auto& mapping : text.mappings) {
        const UnitSpec* unit = mapping.unit ? records.units.Find(*mapping.unit) : nullptr;
        if (unit != nullptr && records.measurements.Find(mapping.measurement) != nullptr) {
            records.mappings.emplace(std::make_pair(mapping.system, mapping.measurement), unit);
        }
    }
    return problems;
}

/// The bytes of the file `path`; throws CatalogueError when it cannot be read.
std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int error = errno;
        throw CatalogueError({{path, 0, 0,
                               std::string("the file cannot be opened: ") +
                                   (error != 0 ? std::strerror(error) : "unknown error")}});
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad()) {
        throw CatalogueError({{path, 0, 0, "the file cannot be read to its end"}});
    }
    return bytes.str();
}

} // namespace

std::unique_ptr<XmlUnitReader> XmlUnitReader::FromFile(const std::string& path) {
    return FromText(ReadFile(path), path);
}

std::unique_ptr<XmlUnitReader> XmlUnitReader::FromText(const std::string& text,
                                                       const std::string& sourceName) {
    auto records = std::make_unique<Detail::RecordSet>();
    std::vector<CatalogueProblem> warnings = Build(text, sourceName, *records);
    return std::unique_ptr<XmlUnitReader>(
        new XmlUnitReader(std::move(records), std::move(warnings)));
}

std::vector<CatalogueProblem> XmlUnitReader::Check(const std::string& path) {
    try {
        Detail::RecordSet records;
        return Build(ReadFile(path), path, records);
    } catch (const CatalogueError& error) {
        return error.Problems();
    }
}

} // namespace Orv::Pim::Core::Service::Units::Reader
