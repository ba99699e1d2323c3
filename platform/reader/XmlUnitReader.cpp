#include "CatalogueText.h"
#include "ExpressionResolver.h"
#include "RecordSet.h"

#include <units/reader/XmlUnitReader.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <system_error>

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
void Limit(std::vector<CatalogueProblem>& problems, std::size_t maxProblems) {
    if (problems.size() > std::max<std::size_t>(maxProblems, 1)) {
        problems.resize(std::max<std::size_t>(maxProblems, 2) - 1);
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

std::string TooLarge(const CatalogueLimits& limits) {
    return "the catalogue is larger than " + std::to_string(limits.maxBytes) +
           " bytes, the most that is read";
}

} // namespace

namespace {

/// Warns of the dimensions whose units' factors lie further apart than double can compose: a
/// conversion from the smallest to the largest unit then gives 0 or infinity for every value.
void WarnOfFactorSpans(const CatalogueText& text,
                       const std::vector<Converter::IUnitConverterEngine*>& engines,
                       const std::string& source, std::vector<CatalogueProblem>& problems) {
    struct Span {
        std::size_t smallest, largest;
        double smallestFactor, largestFactor;
    };
    std::map<std::string, Span> spans;
    for (std::size_t i = 0; i < text.units.size(); ++i) {
        if (engines[i]->m_eType != Converter::e_LinearEngine) {
            continue;
        }
        double factor = 0.0, offset = 0.0;
        static_cast<Converter::LinearUnitConverter*>(engines[i])->GetScaleAndOffset(factor, offset);
        factor = std::fabs(factor);
        const auto found = spans.emplace(text.units[i].dimension, Span{i, i, factor, factor});
        Span& span = found.first->second;
        if (factor < span.smallestFactor) {
            span.smallest = i;
            span.smallestFactor = factor;
        } else if (factor > span.largestFactor) {
            span.largest = i;
            span.largestFactor = factor;
        }
    }
    for (const auto& [dimension, span] : spans) {
        if (std::isfinite(span.largestFactor / span.smallestFactor)) {
            continue;
        }
        const UnitElement& unit = text.units[std::max(span.smallest, span.largest)];
        std::ostringstream message;
        message << "the units \"" << text.units[span.smallest].symbol << "\" (factor "
                << span.smallestFactor << ") and \"" << text.units[span.largest].symbol
                << "\" (factor " << span.largestFactor << ") of the dimension \"" << dimension
                << "\" are too far apart for double: a conversion between them gives 0 or "
                   "infinity";
        problems.push_back({source, unit.at.line, unit.at.column, message.str(), true});
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
                                    const CatalogueLimits& limits, Detail::RecordSet& records) {
    if (bytes.size() > limits.maxBytes) {
        throw CatalogueError({{source, 0, 0, TooLarge(limits)}});
    }
    Detail::ParsedCatalogue parsed = Detail::ParseCatalogue(bytes, source, limits);
    std::vector<CatalogueProblem> problems = std::move(parsed.problems);
    const auto limit = [&] { Limit(problems, limits.maxProblems); };
    if (parsed.incomplete) {
        limit();
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
        limit();
        throw CatalogueError(std::move(problems));
    }
    WarnOfFactorSpans(text, engines, source, problems);
    limit();

    for (const auto& dimension : text.dimensions) {
        records.dimensions.Add({dimension.name, dimension.baseUnit.value_or("")});
        if (dimension.signature) {
            records.signatures.emplace(
                dimension.name,
                Detail::DimensionSignature{*dimension.signature, dimension.preferred});
        }
    }
    for (std::size_t i = 0; i < text.units.size(); ++i) {
        const UnitElement& unit = text.units[i];
        const std::string standardForm =
            unit.IsAlias() ? text.units[static_cast<std::size_t>(unit.parent)].symbol
                           : std::string();
        records.units.Add({unit.symbol, unit.desc, unit.dimension, standardForm, engines[i]});
        if (unit.prefixes) {
            records.prefixed.insert(unit.symbol);
        }
    }
    // Symbols such as N/m2 must mean what they read as, or unit expressions would not agree
    // with the catalogue.
    if (!records.signatures.empty()) {
        for (auto& [index, message] : Detail::ExpressionResolver(records).CheckCompoundSymbols()) {
            const UnitElement& unit = text.units[index];
            problems.push_back({source, unit.at.line, unit.at.column, std::move(message)});
        }
        if (std::any_of(problems.begin(), problems.end(), isError)) {
            // In the order of the text, problems of the catalogue as a whole last.
            const auto key = [](const CatalogueProblem& problem) {
                return std::make_pair(problem.line > 0 ? problem.line : INT_MAX, problem.column);
            };
            std::stable_sort(problems.begin(), problems.end(),
                             [&](const auto& a, const auto& b) { return key(a) < key(b); });
            limit();
            throw CatalogueError(std::move(problems));
        }
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

/// The bytes of the regular file `path`, at most `limits.maxBytes` of them; throws
/// CatalogueError when it cannot be read. Anything else (a FIFO that blocks, a device that never
/// ends, a folder) is refused before it is opened.
std::string ReadFile(const std::string& path, const CatalogueLimits& limits) {
    const auto refuse = [&](const std::string& why) { return CatalogueError({{path, 0, 0, why}}); };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        throw refuse("the file cannot be opened: " + error.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw refuse("the file is not a regular file; only regular files are read");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int why = errno;
        throw refuse(std::string("the file cannot be opened: ") +
                     (why != 0 ? std::strerror(why) : "unknown error"));
    }
    // One byte more than allowed tells a file that is too large, even one that grows meanwhile.
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::string bytes(error ? 0 : std::min<std::uintmax_t>(size, limits.maxBytes), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::size_t read = static_cast<std::size_t>(file.gcount());
    char chunk[65536];
    while (file && read <= limits.maxBytes) {
        file.read(chunk, sizeof chunk);
        bytes.resize(read);
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
        read = bytes.size();
    }
    if (file.bad()) {
        throw refuse("the file cannot be read to its end");
    }
    bytes.resize(read);
    if (read > limits.maxBytes) {
        throw refuse(TooLarge(limits));
    }
    return bytes;
}

} // namespace

std::unique_ptr<XmlUnitReader> XmlUnitReader::FromFile(const std::string& path,
                                                       const CatalogueLimits& limits) {
    return FromText(ReadFile(path, limits), path, limits);
}

std::unique_ptr<XmlUnitReader> XmlUnitReader::FromText(const std::string& text,
                                                       const std::string& sourceName,
                                                       const CatalogueLimits& limits) {
    auto records = std::make_unique<Detail::RecordSet>();
    std::vector<CatalogueProblem> warnings = Build(text, sourceName, limits, *records);
    return std::unique_ptr<XmlUnitReader>(
        new XmlUnitReader(std::move(records), std::move(warnings)));
}

std::vector<CatalogueProblem> XmlUnitReader::Check(const std::string& path,
                                                   const CatalogueLimits& limits) {
    try {
        Detail::RecordSet records;
        return Build(ReadFile(path, limits), path, limits, records);
    } catch (const CatalogueError& error) {
        return error.Problems();
    }
}

} // namespace Orv::Pim::Core::Service::Units::Reader
