#include "Signature.h"

#include <algorithm>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

const char* const kSiQuantities[] = {"L", "M", "T", "I", "\xCE\x98", "N", "J"};

// The superscript digits 0 to 9 and the superscript minus, in UTF-8.
const char* const kSuperscriptDigits[] = {
    "\xE2\x81\xB0", "\xC2\xB9",     "\xC2\xB2",     "\xC2\xB3",     "\xE2\x81\xB4",
    "\xE2\x81\xB5", "\xE2\x81\xB6", "\xE2\x81\xB7", "\xE2\x81\xB8", "\xE2\x81\xB9"};
constexpr std::string_view kSuperscriptMinus = "\xE2\x81\xBB";
constexpr std::string_view kMiddleDot = "\xC2\xB7";

// A value no exponent reaches; reading stops growing there so that long digit runs cannot
// overflow.
constexpr int kExponentCap = 1000000;

/// The superscript digit at `at`, if there is one, and its length in bytes.
std::optional<int> SuperscriptDigitAt(std::string_view text, std::size_t at, std::size_t& length) {
    // Every superscript starts with one of these two bytes; most text has neither.
    if (at >= text.size() || (text[at] != '\xC2' && text[at] != '\xE2')) {
        return std::nullopt;
    }
    for (int digit = 0; digit < 10; ++digit) {
        const std::string_view code = kSuperscriptDigits[digit];
        if (text.compare(at, code.size(), code) == 0) {
            length = code.size();
            return digit;
        }
    }
    return std::nullopt;
}

bool IsQuantityCharacter(char c) {
    return !(c == ' ' || c == '-' || (c >= '0' && c <= '9'));
}

} // namespace

std::optional<std::vector<SignatureTerm>> ParseSignatureText(std::string_view text,
                                                             std::string& why) {
    std::vector<SignatureTerm> terms;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t start = at;
        while (at < text.size() && IsQuantityCharacter(text[at])) {
            ++at;
        }
        if (at == start) {
            why = "an exponent without a quantity";
            return std::nullopt;
        }
        SignatureTerm term{std::string(text.substr(start, at - start)), 1};
        // Letters only, so that a signature's name ("L·M·T⁻²") reads back one way.
        const bool letters = std::all_of(term.quantity.begin(), term.quantity.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
        if (!letters && term.quantity != kSiQuantities[4]) {
            why = "the base quantity \"" + term.quantity + "\" is not named by letters";
            return std::nullopt;
        }
        if (at < text.size() && text[at] != ' ') {
            const bool negative = text[at] == '-';
            at += negative ? 1 : 0;
            const std::size_t digits = at;
            int value = 0;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
                value = std::min(value * 10 + (text[at] - '0'), kExponentCap);
                ++at;
            }
            if (at == digits || text[digits] == '0' || (at < text.size() && text[at] != ' ')) {
                why = "the exponent of \"" + term.quantity + "\" is not an integer other than 0";
                return std::nullopt;
            }
            term.exponent = negative ? -value : value;
        }
        terms.push_back(std::move(term));
    }
    return terms;
}

QuantityTable::QuantityTable(const std::set<std::string>& extras)
    : m_names(std::begin(kSiQuantities), std::end(kSiQuantities)) {
    for (const std::string& extra : extras) {
        if (m_names.size() < kMaxQuantities && !Find(extra)) {
            m_names.push_back(extra);
        }
    }
}

std::optional<std::size_t> QuantityTable::Find(std::string_view quantity) const {
    const auto found = std::find(m_names.begin(), m_names.end(), quantity);
    if (found == m_names.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - m_names.begin());
}

std::optional<Signature> QuantityTable::Make(const std::vector<SignatureTerm>& terms) const {
    Signature signature;
    std::array<bool, kMaxQuantities> seen{};
    for (const SignatureTerm& term : terms) {
        const std::optional<std::size_t> index = Find(term.quantity);
        if (!index || seen[*index]) {
            return std::nullopt;
        }
        seen[*index] = true;
        signature.exponents[*index] = term.exponent;
    }
    return signature;
}

std::string QuantityTable::NameOf(const Signature& signature) const {
    std::string name;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        const int exponent = signature.exponents[i];
        if (exponent == 0) {
            continue;
        }
        if (!name.empty()) {
            name += kMiddleDot;
        }
        name += m_names[i];
        if (exponent != 1) {
            name += Superscript(exponent);
        }
    }
    return name;
}

std::optional<Signature> QuantityTable::FromName(std::string_view name) const {
    if (name.empty()) {
        return std::nullopt;
    }
    Signature signature;
    std::size_t at = 0;
    while (at < name.size()) {
        // The longest quantity name that the text continues with.
        std::optional<std::size_t> index;
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            if (name.compare(at, m_names[i].size(), m_names[i]) == 0 &&
                (!index || m_names[i].size() > m_names[*index].size())) {
                index = i;
            }
        }
        if (!index) {
            return std::nullopt;
        }
        at += m_names[*index].size();
        int exponent = 1;
        ReadSuperscript(name, at, exponent);
        signature.exponents[*index] += exponent;
        if (at < name.size()) {
            if (name.compare(at, kMiddleDot.size(), kMiddleDot) != 0) {
                return std::nullopt;
            }
            at += kMiddleDot.size();
        }
    }
    // Only the one way of writing it names the signature.
    if (NameOf(signature) != name) {
        return std::nullopt;
    }
    return signature;
}

std::string Superscript(int value) {
    std::string text(value < 0 ? kSuperscriptMinus : std::string_view());
    const std::string digits = std::to_string(value < 0 ? -static_cast<long>(value) : value);
    for (const char digit : digits) {
        text += kSuperscriptDigits[digit - '0'];
    }
    return text;
}

bool StartsSuperscriptBeyondAscii(std::string_view text, std::size_t at) {
    std::size_t length = 0;
    return text.compare(at, kSuperscriptMinus.size(), kSuperscriptMinus) == 0 ||
           SuperscriptDigitAt(text, at, length).has_value();
}

bool ReadSuperscript(std::string_view text, std::size_t& at, int& value) {
    std::size_t next = at;
    const bool negative = text.compare(next, kSuperscriptMinus.size(), kSuperscriptMinus) == 0;
    next += negative ? kSuperscriptMinus.size() : 0;
    int read = 0;
    bool any = false;
    std::size_t length = 0;
    while (const std::optional<int> digit = SuperscriptDigitAt(text, next, length)) {
        read = std::min(read * 10 + *digit, kExponentCap);
        next += length;
        any = true;
    }
    if (!any) {
        return false;
    }
    at = next;
    value = negative ? -read : read;
    return true;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
