#include "ExpressionResolver.h"

#include "Quoted.h"

#include <units/converter/ExactEngines.h>

#include <algorithm>
#include <boost/multiprecision/cpp_int.hpp>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <tuple>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace Converter = Units::Converter;
using Engine = Converter::IUnitConverterEngine;

namespace {

/// Exact factors: Boost.Multiprecision's integers, header-only.
using Integer = boost::multiprecision::cpp_int;

/// The most units an expression multiplies, each power counted as that many.
constexpr std::size_t kMaxFactors = 60;
/// The most digits the numerator or denominator of an expression's exact factor may reach.
constexpr std::size_t kMaxFactorDigits = 1000;

/// True when `symbol` would not read as one atom inside an expression.
bool HasOperator(std::string_view symbol) {
    for (std::size_t i = 0; i < symbol.size(); ++i) {
        const char c = symbol[i];
        if (c == '*' || c == '.' || c == '/' || c == '(' || c == ')' || c == '^' ||
            StartsSuperscript(symbol, i) || symbol.compare(i, 2, "\xC2\xB7") == 0 ||
            symbol.compare(i, 3, "\xE2\x8B\x85") == 0) {
            return true;
        }
    }
    return false;
}

/// `symbol` as a factor of an expression, in parentheses when it holds an operator.
std::string AsFactor(const std::string& symbol) {
    return HasOperator(symbol) ? "(" + symbol + ")" : symbol;
}

/// The shortest decimal that reads back as `value`: what a host most likely meant by a double.
std::string ShortestDecimal(double value) {
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::string Join(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + Quoted(names[i]);
    }
    return text;
}

/// Integers below this in magnitude are small: MakeExactLinear takes them as they are.
const Integer kSmall = Integer(1) << 62;

} // namespace

struct ExpressionResolver::Index {
    QuantityTable quantities;
    std::map<std::string, Signature, std::less<>> byDimension;
    std::map<Signature, std::vector<std::string>> dimensionsOf;
    std::map<Signature, std::string> preferred;
    /// For each quantity, the symbol of the base unit of a dimension of that quantity alone.
    std::vector<std::string> coherent;

    /// The dimension that expressions of `signature` take among several, if the catalogue says.
    const std::string* Preferred(const Signature& signature) const {
        const auto found = preferred.find(signature);
        return found == preferred.end() ? nullptr : &found->second;
    }
};

/// A catalogue unit, perhaps prefixed, as a factor of expressions.
struct ExpressionResolver::Atom {
    const UnitSpec* unit = nullptr;
    int prefix = -1;
    std::string problem;      ///< why it may not stand in a product; empty when it may
    Engine* factor = nullptr; ///< a value in the atom into the unit of its dimension
    std::size_t digits = 0;   ///< of the longer of the factor's numerator and denominator
    Integer numerator = 0;    ///< the factor is numerator / denominator, prefix included
    Integer denominator = 1;
    // The signature of the atom's dimension, once looked up; null when it has none.
    const Signature* signature = nullptr;
    bool signatureKnown = false;
    std::unique_ptr<Engine> owned;

    std::string Written() const {
        return (prefix >= 0 ? Prefixes()[static_cast<std::size_t>(prefix)].symbol : "") +
               unit->symbol;
    }
};

ExpressionResolver::ExpressionResolver(const RecordSet& records) : m_records(records) {}

ExpressionResolver::~ExpressionResolver() = default;

const UnitSpec* ExpressionResolver::Unit(const std::string& text) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    ExpressionFault fault;
    return Resolve(text, fault);
}

const DimensionSpec* ExpressionResolver::Dimension(const std::string& name) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return FindDimension(name);
}

const MeasurementSpec* ExpressionResolver::Measurement(const std::string& name) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (FindDimension(name) == nullptr) {
        return nullptr;
    }
    const auto found = m_measurementsByName.find(name);
    return found == m_measurementsByName.end() ? nullptr : found->second;
}

std::optional<std::pair<ExpressionFault, std::vector<std::string>>>
ExpressionResolver::Explain(const std::string& text) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_records.units.Find(text) != nullptr) {
        return std::nullopt;
    }
    ExpressionFault fault;
    if (Resolve(text, fault) != nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> suggestions;
    if (!fault.unknown.empty()) {
        suggestions = SuggestSymbols(fault.unknown, m_records);
    }
    return std::make_pair(std::move(fault), std::move(suggestions));
}

void ExpressionResolver::Forget() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_index.reset();
    m_atoms.clear();
}

const ExpressionResolver::Index& ExpressionResolver::Indexed() {
    if (m_index) {
        return *m_index;
    }
    // The signatures of the catalogue's dimensions, in catalogue order, the first record of a
    // name winning as it does for look-ups.
    std::vector<std::pair<const DimensionSpec*, std::vector<SignatureTerm>>> terms;
    std::set<std::string> extras;
    const QuantityTable si;
    for (const DimensionSpec* dimension : m_records.dimensions.List()) {
        const auto signature = m_records.signatures.find(dimension->name);
        if (signature == m_records.signatures.end() ||
            m_records.dimensions.Find(dimension->name) != dimension) {
            continue;
        }
        std::string why;
        if (auto parsed = ParseSignatureText(signature->second.text, why)) {
            for (const SignatureTerm& term : *parsed) {
                if (!si.Find(term.quantity)) {
                    extras.insert(term.quantity);
                }
            }
            terms.emplace_back(dimension, std::move(*parsed));
        }
    }
    auto index = std::make_unique<Index>(Index{QuantityTable(extras), {}, {}, {}, {}});
    for (const auto& [dimension, items] : terms) {
        const std::optional<Signature> signature = index->quantities.Make(items);
        if (!signature) {
            continue;
        }
        index->byDimension.emplace(dimension->name, *signature);
        index->dimensionsOf[*signature].push_back(dimension->name);
        if (m_records.signatures.find(dimension->name)->second.preferred) {
            index->preferred.emplace(*signature, dimension->name);
        }
    }
    index->coherent.resize(index->quantities.Size());
    for (std::size_t i = 0; i < index->quantities.Size(); ++i) {
        Signature alone;
        alone.exponents[i] = 1;
        const auto found = index->dimensionsOf.find(alone);
        if (found != index->dimensionsOf.end()) {
            const std::string* name = index->Preferred(alone);
            const DimensionSpec* dimension =
                m_records.dimensions.Find(name != nullptr ? *name : found->second.front());
            index->coherent[i] = dimension->baseUnitSymbol;
        }
    }
    m_index = std::move(index);
    return *m_index;
}

ExpressionResolver::Atom& ExpressionResolver::AtomOf(const UnitSpec& unit, int prefix) {
    std::unique_ptr<Atom>& slot = m_atoms[{&unit, prefix}];
    if (slot) {
        return *slot;
    }
    auto atom = std::make_unique<Atom>();
    atom->unit = &unit;
    atom->prefix = prefix;
    Engine& engine = *unit.converter;
    Converter::ExactDefinition exact;
    if (Converter::GetExactDefinition(engine, exact)) {
        if (exact.D != "0") {
            atom->problem = "is not proportional to its base unit";
        } else if (exact.A != "0") {
            atom->problem = "has an offset";
        } else {
            atom->factor = &engine;
        }
    } else if (engine.m_eType == Converter::e_LinearEngine) {
        // A host's engine of plain doubles: its scale is taken as the decimal it was written as.
        double scale = 0.0;
        double offset = 0.0;
        static_cast<Converter::LinearUnitConverter&>(engine).GetScaleAndOffset(scale, offset);
        if (offset != 0.0) {
            atom->problem = "has an offset";
        } else {
            try {
                atom->owned = Converter::MakeExactLinear(ShortestDecimal(scale));
                atom->factor = atom->owned.get();
            } catch (const std::invalid_argument&) {
                atom->problem = "has a scale that no exact factor gives";
            }
        }
    } else {
        atom->problem = "has an engine of no exact definition";
    }
    // The exact factor as a rational, the prefix's power of ten included.
    Converter::ExactDefinition factor;
    if (atom->factor != nullptr && Converter::GetExactDefinition(*atom->factor, factor)) {
        const int power = prefix >= 0 ? Prefixes()[static_cast<std::size_t>(prefix)].power : 0;
        const Integer ten =
            boost::multiprecision::pow(Integer(10), static_cast<unsigned>(std::abs(power)));
        atom->numerator = power >= 0 ? Integer(factor.B) * ten : Integer(factor.B);
        atom->denominator = power >= 0 ? Integer(factor.C) : Integer(factor.C) * ten;
        atom->digits =
            std::max(factor.B.size(), factor.C.size()) + static_cast<std::size_t>(std::abs(power));
    }
    slot = std::move(atom);
    return *slot;
}

bool ExpressionResolver::Evaluate(const ParsedExpression& parsed, Evaluated& evaluated,
                                  ExpressionFault& fault) {
    // The atoms, each once with its summed exponent, in the order they first appear.
    std::vector<std::size_t> firstAt;
    for (const ExpressionFactor& factor : parsed.factors) {
        Atom& atom = AtomOf(*factor.unit, factor.prefix);
        if (!atom.problem.empty()) {
            fault = {factor.at,
                     Quoted(atom.Written()) + " " + atom.problem +
                         ", so it cannot be multiplied, divided, raised to a power or prefixed",
                     {}};
            return false;
        }
        const auto same = std::find_if(evaluated.factors.begin(), evaluated.factors.end(),
                                       [&](const auto& entry) { return entry.first == &atom; });
        if (same == evaluated.factors.end()) {
            evaluated.factors.emplace_back(&atom, factor.exponent);
            firstAt.push_back(factor.at);
        } else {
            same->second += factor.exponent;
        }
    }
    for (std::size_t i = 0; i < evaluated.factors.size(); ++i) {
        const auto& [atom, exponent] = evaluated.factors[i];
        if (std::abs(exponent) > kMaxExponent) {
            fault = {firstAt[i],
                     "the exponents of " + Quoted(atom->Written()) + " add up to " +
                         std::to_string(exponent) + ", beyond " + std::to_string(kMaxExponent),
                     {}};
            return false;
        }
    }
    evaluated.factors.erase(std::remove_if(evaluated.factors.begin(), evaluated.factors.end(),
                                           [](const auto& entry) { return entry.second == 0; }),
                            evaluated.factors.end());

    // Exact products grow with every factor; bounding them bounds the work of a hostile text.
    std::size_t steps = 0;
    std::size_t digits = 0;
    for (const auto& [atom, exponent] : evaluated.factors) {
        steps += static_cast<std::size_t>(std::abs(exponent));
        digits += static_cast<std::size_t>(std::abs(exponent)) * atom->digits;
    }
    if (steps > kMaxFactors || digits > kMaxFactorDigits) {
        fault = {0,
                 steps > kMaxFactors ? "the expression multiplies more than " +
                                           std::to_string(kMaxFactors) + " units, counting powers"
                                     : "the exact factor of the expression would have more than " +
                                           std::to_string(kMaxFactorDigits) + " digits",
                 {}};
        return false;
    }
    // The factor of the whole, a product of exact factors brought to lowest terms once.
    Integer numerator = 1;
    Integer denominator = 1;
    for (const auto& [atom, exponent] : evaluated.factors) {
        for (int i = 0; i < std::abs(exponent); ++i) {
            numerator *= exponent > 0 ? atom->numerator : atom->denominator;
            denominator *= exponent > 0 ? atom->denominator : atom->numerator;
        }
    }
    const Integer common = gcd(numerator, denominator);
    numerator /= denominator < 0 ? -common : common;
    denominator /= denominator < 0 ? -common : common;
    std::unique_ptr<Engine> product;
    try {
        if (abs(numerator) < kSmall && denominator < kSmall) {
            product = Converter::MakeExactLinear(0, static_cast<std::int64_t>(numerator),
                                                 static_cast<std::int64_t>(denominator));
        } else {
            product = Converter::MakeExactEngine({"0", numerator.str(), denominator.str(), "0"});
        }
    } catch (const std::invalid_argument&) {
        product.reset(); // beyond the range of double
    }
    if (!product || !product->IsInvertible()) {
        fault = {0, "the factor of the expression is beyond the range of double", {}};
        return false;
    }
    evaluated.engine = std::move(product);
    return true;
}

std::optional<Signature> ExpressionResolver::SignatureOf(const Evaluated& evaluated,
                                                         ExpressionFault& fault) {
    const Index& index = Indexed();
    Signature signature;
    for (const auto& [atom, exponent] : evaluated.factors) {
        if (!atom->signatureKnown) {
            const auto found = index.byDimension.find(atom->unit->dimensionName);
            atom->signature = found == index.byDimension.end() ? nullptr : &found->second;
            atom->signatureKnown = true;
        }
        if (atom->signature == nullptr) {
            fault = {0,
                     "the dimension " + Quoted(atom->unit->dimensionName) + " of " +
                         Quoted(atom->unit->symbol) +
                         " has no signature, so the expression has no dimension",
                     {}};
            return std::nullopt;
        }
        signature.Add(*atom->signature, exponent);
    }
    return signature;
}

const UnitSpec* ExpressionResolver::Resolve(const std::string& text, ExpressionFault& fault) {
    const auto known = m_unitsByText.find(text);
    if (known != m_unitsByText.end()) {
        return known->second;
    }
    ParsedExpression parsed;
    if (!ParseUnitExpression(text, m_records, parsed, fault)) {
        return nullptr;
    }
    const UnitSpec& first = *parsed.factors.front().unit;
    if (parsed.bare) {
        // One unit in parentheses: the unit itself, under this symbol.
        m_units.push_back({text, first.name, first.dimensionName, "", first.converter});
        return m_unitsByText.emplace(text, &m_units.back()).first->second;
    }
    Evaluated evaluated;
    if (!Evaluate(parsed, evaluated, fault)) {
        return nullptr;
    }
    std::string dimension;
    std::string name;
    if (evaluated.factors.size() == 1 && evaluated.factors.front().second == 1) {
        // One unit, perhaps prefixed, is of its own dimension, even where others share its
        // signature (a kGy is an absorbed dose, not a specific energy).
        const Atom& atom = *evaluated.factors.front().first;
        dimension = atom.unit->dimensionName;
        name = (atom.prefix >= 0 ? Prefixes()[static_cast<std::size_t>(atom.prefix)].name : "") +
               atom.unit->name;
    } else {
        const std::optional<Signature> signature = SignatureOf(evaluated, fault);
        const DimensionSpec* found = signature ? SignatureDimension(*signature, fault) : nullptr;
        if (found == nullptr) {
            return nullptr;
        }
        dimension = found->name;
        for (const auto& [atom, exponent] : evaluated.factors) {
            name += (name.empty() ? "" : "\xC2\xB7") + AsFactor(atom->Written()) +
                    (exponent == 1 ? std::string() : Superscript(exponent));
        }
        name = name.empty() ? "1" : name;
    }
    m_engines.push_back(std::move(evaluated.engine));
    m_units.push_back({text, name, dimension, "", m_engines.back().get()});
    return m_unitsByText.emplace(text, &m_units.back()).first->second;
}

const DimensionSpec* ExpressionResolver::SignatureDimension(const Signature& signature,
                                                            ExpressionFault& fault) {
    const Index& index = Indexed();
    const auto candidates = index.dimensionsOf.find(signature);
    if (candidates != index.dimensionsOf.end()) {
        if (candidates->second.size() == 1) {
            return m_records.dimensions.Find(candidates->second.front());
        }
        if (const std::string* preferred = index.Preferred(signature)) {
            return m_records.dimensions.Find(*preferred);
        }
        const std::string name = index.quantities.NameOf(signature);
        fault = {0,
                 "the expression is of the signature " + (name.empty() ? "1" : name) +
                     ", shared by the dimensions " + Join(candidates->second) +
                     ", none of which the catalogue marks as the one expressions take",
                 {}};
        return nullptr;
    }
    if (signature.IsZero()) {
        fault = {0, "the units cancel out, and no dimension of the catalogue is dimensionless", {}};
        return nullptr;
    }
    const auto made = m_dimensionsBySignature.find(signature);
    if (made != m_dimensionsBySignature.end()) {
        return made->second;
    }
    const std::string name = index.quantities.NameOf(signature);
    // The base unit: the SI expression of the signature, in the catalogue's coherent units.
    std::string base;
    for (std::size_t i = 0; i < index.quantities.Size(); ++i) {
        const int exponent = signature.exponents[i];
        if (exponent == 0) {
            continue;
        }
        if (index.coherent[i].empty()) {
            fault = {0,
                     "no dimension of the catalogue has the signature " + index.quantities.Name(i) +
                         " alone, so the expression has no base unit",
                     {}};
            return nullptr;
        }
        base += (base.empty() ? "" : "\xC2\xB7") + AsFactor(index.coherent[i]) +
                (exponent == 1 ? std::string() : Superscript(exponent));
    }
    if (m_records.dimensions.Find(name) != nullptr || m_records.units.Find(base) != nullptr) {
        fault = {0,
                 "the expression is of the signature " + name +
                     ", whose name or SI unit the catalogue gives to something else",
                 {}};
        return nullptr;
    }
    m_dimensions.push_back({name, base});
    m_dimensionsByName.emplace(name, &m_dimensions.back());
    m_dimensionsBySignature.emplace(signature, &m_dimensions.back());
    if (m_records.measurements.Find(name) == nullptr) {
        m_measurements.push_back({name, name, {}});
        m_measurementsByName.emplace(name, &m_measurements.back());
    }
    return &m_dimensions.back();
}

std::optional<std::string> ExpressionResolver::SignatureText(const std::string& dimension) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_dimensionsByName.count(dimension) == 0) {
        return std::nullopt;
    }
    const Index& index = Indexed();
    const Signature signature = *index.quantities.FromName(dimension);
    std::string text;
    for (std::size_t i = 0; i < index.quantities.Size(); ++i) {
        const int exponent = signature.exponents[i];
        if (exponent != 0) {
            text += (text.empty() ? "" : " ") + index.quantities.Name(i) +
                    (exponent == 1 ? std::string() : std::to_string(exponent));
        }
    }
    return text;
}

const UnitSpec* ExpressionResolver::BaseUnitOf(const std::string& measurement) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_measurementsByName.find(measurement);
    if (found == m_measurementsByName.end()) {
        return nullptr;
    }
    const auto dimension = m_dimensionsByName.find(found->second->dimensionName);
    ExpressionFault fault;
    return Resolve(dimension->second->baseUnitSymbol, fault);
}

const DimensionSpec* ExpressionResolver::FindDimension(const std::string& name) {
    const auto made = m_dimensionsByName.find(name);
    if (made != m_dimensionsByName.end()) {
        return made->second;
    }
    const Index& index = Indexed();
    const std::optional<Signature> signature = index.quantities.FromName(name);
    if (!signature || index.dimensionsOf.count(*signature) != 0) {
        return nullptr;
    }
    ExpressionFault ignored;
    return SignatureDimension(*signature, ignored);
}

std::vector<std::pair<std::size_t, std::string>> ExpressionResolver::CheckCompoundSymbols() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::pair<std::size_t, std::string>> problems;
    const Index& index = Indexed();
    const std::vector<const UnitSpec*> units = m_records.units.List();
    for (std::size_t i = 0; i < units.size(); ++i) {
        const UnitSpec& unit = *units[i];
        const auto own = index.byDimension.find(unit.dimensionName);
        ParsedExpression parsed;
        ExpressionFault fault;
        // Only what reads as an expression of other units with an operator or a power: a
        // symbol that merely starts like a prefix (ft, ct) names a unit of its own.
        if (own == index.byDimension.end() || unit.converter == nullptr ||
            !ParseUnitExpression(unit.symbol, m_records, parsed, fault, &unit) ||
            !parsed.compound) {
            continue;
        }
        Evaluated evaluated;
        const Atom& self = AtomOf(unit, -1);
        if (!self.problem.empty() || !Evaluate(parsed, evaluated, fault)) {
            continue;
        }
        const std::optional<Signature> signature = SignatureOf(evaluated, fault);
        if (!signature) {
            continue;
        }
        const auto written = [&](const Signature& each) {
            const std::string text = index.quantities.NameOf(each);
            return text.empty() ? std::string("1") : text;
        };
        const std::string subject = "the unit " + Quoted(unit.symbol);
        const DimensionSpec* dimension = m_records.dimensions.Find(unit.dimensionName);
        // A ratio may divide two kinds of a like quantity (scf/bbl: gas at standard conditions
        // per barrel of oil), so the symbols of a dimensionless dimension are held to their
        // factor only.
        if (own->second.IsZero() && !signature->IsZero()) {
            continue;
        }
        if (!(*signature == own->second)) {
            problems.emplace_back(i, subject + " reads as an expression of the signature " +
                                         written(*signature) + ", but its dimension " +
                                         Quoted(unit.dimensionName) + " has the signature " +
                                         written(own->second));
            continue;
        }
        // Pi-based units are defined to 30 digits, so a power of one may differ from the
        // catalogue's own value far below the precision of a double.
        const double defined = self.factor->Convert(1.0);
        const double read = evaluated.engine->Convert(1.0);
        if (std::fabs(defined - read) > 1e-12 * std::fabs(defined)) {
            const std::string base = dimension != nullptr ? dimension->baseUnitSymbol : "";
            problems.emplace_back(i, subject + " is " + ShortestDecimal(defined) + " " + base +
                                         " by its definition but " + ShortestDecimal(read) + " " +
                                         base +
                                         " as the expression it reads as (are the base units "
                                         "of the dimensions coherent?)");
        }
    }
    return problems;
}

std::vector<std::string> SuggestSymbols(const std::string& word, const RecordSet& records) {
    const auto codes = [](std::string_view text, bool fold) {
        std::u32string code;
        for (std::size_t i = 0; i < text.size();) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            char32_t point = byte < 0x80 ? byte : byte & (0x3F >> (length - 1));
            for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
                point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            }
            code += fold && point >= 'A' && point <= 'Z' ? point + ('a' - 'A') : point;
            i += length;
        }
        return code;
    };
    // The optimal string alignment distance: edits of one character, and swaps of two.
    const auto distance = [](const std::u32string& a, const std::u32string& b) {
        std::vector<std::vector<std::size_t>> d(a.size() + 1,
                                                std::vector<std::size_t>(b.size() + 1));
        for (std::size_t i = 0; i <= a.size(); ++i) {
            d[i][0] = i;
        }
        for (std::size_t j = 0; j <= b.size(); ++j) {
            d[0][j] = j;
        }
        for (std::size_t i = 1; i <= a.size(); ++i) {
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
                d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
                if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                    d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
                }
            }
        }
        return d[a.size()][b.size()];
    };
    const auto lower = [&](std::string_view text) { return codes(text, true); };
    const std::u32string wanted = lower(word);
    const std::u32string asWritten = codes(word, false);
    std::vector<std::u32string> singulars;
    for (const std::size_t cut : {1, 2}) {
        const std::u32string ending = cut == 1 ? U"s" : U"es";
        if (wanted.size() > cut + 1 && wanted.compare(wanted.size() - cut, cut, ending) == 0) {
            singulars.push_back(wanted.substr(0, wanted.size() - cut));
        }
    }
    const std::size_t reach = wanted.size() <= 5 ? 1 : 2;
    // (closeness, edits with letter case counted, catalogue order, symbol to suggest)
    std::vector<std::tuple<std::size_t, std::size_t, std::size_t, std::string>> found;
    const std::vector<const UnitSpec*> units = records.units.List();
    for (std::size_t order = 0; order < units.size(); ++order) {
        const UnitSpec& unit = *units[order];
        const std::u32string candidate = lower(unit.symbol);
        std::size_t closeness = 0;
        if (candidate == wanted) {
            closeness = 1;
        } else if (std::find(singulars.begin(), singulars.end(), candidate) != singulars.end()) {
            closeness = 2;
        } else if (candidate.size() + reach >= wanted.size() &&
                   candidate.size() <= wanted.size() + reach) {
            const std::size_t edits = distance(candidate, wanted);
            closeness = edits <= reach ? 2 + edits : 0;
        }
        if (closeness != 0) {
            found.emplace_back(closeness, distance(codes(unit.symbol, false), asWritten), order,
                               unit.standardFormSymbol.empty() ? unit.symbol
                                                               : unit.standardFormSymbol);
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> suggestions;
    for (const auto& entry : found) {
        const std::string& symbol = std::get<3>(entry);
        if (suggestions.size() < 3 &&
            std::find(suggestions.begin(), suggestions.end(), symbol) == suggestions.end()) {
            suggestions.push_back(symbol);
        }
    }
    return suggestions;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
