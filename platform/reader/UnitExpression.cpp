#include "UnitExpression.h"

#include "Quoted.h"
#include "Signature.h"

#include <algorithm>
#include <cstdlib>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

constexpr std::string_view kMiddleDot = "\xC2\xB7";       // ·
constexpr std::string_view kDotOperator = "\xE2\x8B\x85"; // ⋅

std::string ExponentRange() {
    return "exponents run from -" + std::to_string(kMaxExponent) + " to " +
           std::to_string(kMaxExponent) + ", 0 excepted";
}

/// Reads one expression; every method returns false once `m_fault` is set.
class Parser {
public:
    Parser(std::string_view text, const RecordSet& records, const UnitSpec* excluded,
           ExpressionFault& fault)
        : m_text(text), m_records(records), m_excluded(excluded), m_fault(fault) {}

    bool Run(ParsedExpression& parsed) {
        if (m_text.empty()) {
            return Fail(0, "the text is empty");
        }
        if (m_text.size() > kMaxExpressionBytes) {
            return Fail(kMaxExpressionBytes, "the text is longer than " +
                                                 std::to_string(kMaxExpressionBytes) + " bytes");
        }
        for (std::size_t i = 0; i < m_text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(m_text[i]);
            if (byte == ' ') {
                return Fail(i, "a blank is not allowed in a unit (it separates a number from "
                               "its unit)");
            }
            if (byte < 0x20 || byte == 0x7F) {
                return Fail(i, "a control character is not allowed in a unit");
            }
        }
        if (!Term(parsed.factors)) {
            return false;
        }
        if (m_at < m_text.size()) {
            return Fail(m_at, Quoted(")") + " has no " + Quoted("("));
        }
        parsed.bare =
            !m_compound && parsed.factors.size() == 1 && parsed.factors.front().prefix < 0;
        parsed.compound = m_compound;
        return true;
    }

private:
    bool Fail(std::size_t at, std::string reason, std::string unknown = std::string()) {
        m_fault = {at, std::move(reason), std::move(unknown)};
        return false;
    }

    /// The length of the operator at `at`, or 0.
    std::size_t OperatorAt(std::size_t at) const {
        const char c = m_text[at];
        if (c == '*' || c == '.' || c == '/') {
            return 1;
        }
        if (static_cast<unsigned char>(c) < 0x80) {
            return 0;
        }
        for (const std::string_view op : {kMiddleDot, kDotOperator}) {
            if (m_text.compare(at, op.size(), op) == 0) {
                return op.size();
            }
        }
        return 0;
    }

    bool EndsAtom(std::size_t at) const {
        const char c = m_text[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            return c == '(' || c == ')' || c == '^' || c == '*' || c == '.' || c == '/';
        }
        return OperatorAt(at) != 0 || StartsSuperscript(m_text, at);
    }

    bool Term(std::vector<ExpressionFactor>& out) {
        if (!Factor(out, std::string_view(), true)) {
            return false;
        }
        while (m_at < m_text.size() && m_text[m_at] != ')') {
            const std::size_t length = OperatorAt(m_at);
            if (length == 0) {
                return Fail(m_at, "\"*\" or \"/\" is missing before " +
                                      Quoted(m_text.substr(m_at, SymbolLength(m_at))));
            }
            const std::string_view op = m_text.substr(m_at, length);
            m_at += length;
            m_compound = true;
            const std::size_t begin = out.size();
            if (!Factor(out, op, false)) {
                return false;
            }
            for (std::size_t i = begin; op == "/" && i < out.size(); ++i) {
                out[i].exponent = -out[i].exponent;
            }
        }
        return true;
    }

    /// The length in bytes of the character at `at`.
    std::size_t SymbolLength(std::size_t at) const {
        std::size_t end = at + 1;
        while (end < m_text.size() && (static_cast<unsigned char>(m_text[end]) & 0xC0) == 0x80) {
            ++end;
        }
        return end - at;
    }

    /// One factor after `op` (none for the first of a term), with its power.
    bool Factor(std::vector<ExpressionFactor>& out, std::string_view op, bool first) {
        if (m_at == m_text.size() || OperatorAt(m_at) != 0 || m_text[m_at] == ')' ||
            m_text[m_at] == '^' || StartsSuperscript(m_text, m_at)) {
            if (m_at == m_text.size()) {
                return Fail(m_at, op.empty() ? "a unit is missing at the end"
                                             : "a unit is missing after " + Quoted(op));
            }
            return Fail(m_at, "a unit is missing before " +
                                  Quoted(m_text.substr(m_at, SymbolLength(m_at))));
        }
        // The factor's units are appended to `out` from `begin` on; a power applies to them.
        const std::size_t begin = out.size();
        bool powered = false; // a trailing exponent was read with the atom
        if (m_text[m_at] == '(') {
            const std::size_t open = m_at++;
            if (!Term(out)) {
                return false;
            }
            if (m_at == m_text.size()) {
                return Fail(open, Quoted("(") + " is not closed");
            }
            ++m_at;
        } else {
            const std::size_t start = m_at;
            while (m_at < m_text.size() && !EndsAtom(m_at)) {
                ++m_at;
            }
            const std::string_view run = m_text.substr(start, m_at - start);
            if (run == "1" && first && m_at < m_text.size() && m_text[m_at] == '/') {
                return true; // the numerator of 1/s
            }
            if (!Atom(run, start, out, powered)) {
                return false;
            }
        }
        return Power(out, begin, powered);
    }

    /// Reads a power after a factor, and raises the factor's units, those of `factors` from
    /// `begin` on, to it.
    bool Power(std::vector<ExpressionFactor>& factors, std::size_t begin, bool powered) {
        const std::size_t at = m_at;
        int exponent = 0;
        if (m_at < m_text.size() && m_text[m_at] == '^') {
            ++m_at;
            const bool negative = m_at < m_text.size() && m_text[m_at] == '-';
            m_at += negative ? 1 : 0;
            const std::size_t digits = m_at;
            while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
                exponent = std::min(exponent * 10 + (m_text[m_at] - '0'), 1000);
                ++m_at;
            }
            if (m_at == digits) {
                return Fail(at, Quoted("^") + " needs an integer exponent after it");
            }
            exponent = negative ? -exponent : exponent;
        } else if (!ReadSuperscript(m_text, m_at, exponent)) {
            return true;
        }
        if (powered) {
            return Fail(at, "a unit with an exponent already takes no other power");
        }
        if (exponent == 0 || std::abs(exponent) > kMaxExponent) {
            return Fail(at, "the exponent " + std::to_string(exponent) +
                                " is out of range: " + ExponentRange());
        }
        m_compound = true;
        for (std::size_t i = begin; i < factors.size(); ++i) {
            ExpressionFactor& factor = factors[i];
            factor.exponent *= exponent;
            if (std::abs(factor.exponent) > kMaxExponent) {
                return Fail(at, "the exponent of " + Quoted(Written(factor)) + " becomes " +
                                    std::to_string(factor.exponent) + ": " + ExponentRange());
            }
        }
        return true;
    }

    std::string Written(const ExpressionFactor& factor) const {
        return (factor.prefix >= 0 ? Prefixes()[static_cast<std::size_t>(factor.prefix)].symbol
                                   : "") +
               factor.unit->symbol;
    }

    /// The unit of `run`: a catalogue symbol, a prefixed unit, or either with a trailing exponent.
    const UnitSpec* Unit(std::string_view run, int& prefix) const {
        prefix = -1;
        const UnitSpec* unit = m_records.units.Find(run);
        if (unit == nullptr || unit == m_excluded || !unit->IsValid()) {
            unit = ReadPrefixed(run, m_records, prefix);
        }
        return unit == m_excluded ? nullptr : unit;
    }

    bool Atom(std::string_view run, std::size_t at, std::vector<ExpressionFactor>& out,
              bool& powered) {
        int prefix = -1;
        if (const UnitSpec* unit = Unit(run, prefix)) {
            out.push_back({unit, prefix, 1, at});
            return true;
        }
        // A trailing exponent: the digits at the end, and the minus before them.
        std::size_t digits = run.size();
        while (digits > 0 && run[digits - 1] >= '0' && run[digits - 1] <= '9') {
            --digits;
        }
        std::size_t base = digits > 0 && run[digits - 1] == '-' ? digits - 1 : digits;
        if (digits < run.size() && base > 0) {
            if (const UnitSpec* unit = Unit(run.substr(0, base), prefix)) {
                int exponent = 0;
                for (std::size_t i = digits; i < run.size(); ++i) {
                    exponent = std::min(exponent * 10 + (run[i] - '0'), 1000);
                }
                exponent = base < digits ? -exponent : exponent;
                if (exponent == 0 || std::abs(exponent) > kMaxExponent) {
                    return Fail(at + base, "the exponent " + std::to_string(exponent) +
                                               " is out of range: " + ExponentRange());
                }
                out.push_back({unit, prefix, exponent, at});
                m_compound = true;
                powered = true;
                return true;
            }
        } else {
            base = run.size();
        }
        return Refuse(run, at, run.substr(0, base));
    }

    /// Why `run` is no atom; `stem` is the run without a trailing exponent.
    bool Refuse(std::string_view run, std::size_t at, std::string_view stem) {
        if (run.front() >= '0' && run.front() <= '9') {
            return Fail(at, "a number is not a unit (only 1 may stand before " + Quoted("/") +
                                ", as in 1/s)");
        }
        // N-m: every piece between the minus signs is a unit.
        if (run.find('-') != std::string_view::npos) {
            std::string product;
            std::size_t start = 0;
            bool units = true;
            while (units && start <= run.size()) {
                const std::size_t end = std::min(run.find('-', start), run.size());
                int prefix = -1;
                units = end > start && Unit(run.substr(start, end - start), prefix) != nullptr;
                product += (start == 0 ? "" : "*") + std::string(run.substr(start, end - start));
                start = end + 1;
            }
            if (units) {
                return Fail(at, Quoted("-") + " does not multiply units: write " + product);
            }
        }
        for (const Prefix& prefix : Prefixes()) {
            const std::string_view symbol = prefix.symbol;
            if (stem.size() > symbol.size() && stem.compare(0, symbol.size(), symbol) == 0 &&
                m_records.units.Find(stem.substr(symbol.size())) != nullptr) {
                return Fail(at, Quoted(stem.substr(symbol.size())) + " takes no prefix");
            }
        }
        return Fail(at, "unknown unit " + Quoted(stem), std::string(stem));
    }

    std::string_view m_text;
    const RecordSet& m_records;
    const UnitSpec* m_excluded;
    ExpressionFault& m_fault;
    std::size_t m_at = 0;
    bool m_compound = false;
};

} // namespace

bool ParseUnitExpression(std::string_view text, const RecordSet& records, ParsedExpression& parsed,
                         ExpressionFault& fault, const UnitSpec* excluded) {
    parsed = ParsedExpression();
    return Parser(text, records, excluded, fault).Run(parsed);
}

const std::vector<Prefix>& Prefixes() {
    static const std::vector<Prefix> prefixes = {
        {"da", "deca", 1},   {"q", "quecto", -30},      {"r", "ronto", -27},
        {"y", "yocto", -24}, {"z", "zepto", -21},       {"a", "atto", -18},
        {"f", "femto", -15}, {"p", "pico", -12},        {"n", "nano", -9},
        {"u", "micro", -6},  {"\xC2\xB5", "micro", -6}, {"\xCE\xBC", "micro", -6},
        {"m", "milli", -3},  {"c", "centi", -2},        {"d", "deci", -1},
        {"h", "hecto", 2},   {"k", "kilo", 3},          {"M", "mega", 6},
        {"G", "giga", 9},    {"T", "tera", 12},         {"P", "peta", 15},
        {"E", "exa", 18},    {"Z", "zetta", 21},        {"Y", "yotta", 24},
        {"R", "ronna", 27},  {"Q", "quetta", 30}};
    return prefixes;
}

const UnitSpec* ReadPrefixed(std::string_view text, const RecordSet& records, int& prefix) {
    const std::vector<Prefix>& prefixes = Prefixes();
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        const std::string_view symbol = prefixes[i].symbol;
        if (text.size() <= symbol.size() || text.compare(0, symbol.size(), symbol) != 0) {
            continue;
        }
        const std::string_view rest = text.substr(symbol.size());
        if (records.prefixed.find(rest) != records.prefixed.end()) {
            const UnitSpec* unit = records.units.Find(rest);
            if (unit != nullptr && unit->IsValid()) {
                prefix = static_cast<int>(i);
                return unit;
            }
        }
    }
    prefix = -1;
    return nullptr;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
