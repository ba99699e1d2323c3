// Dimensions by their exponents over base quantities. A catalogue writes a dimension's signature
// as blank-separated quantities with optional integer exponents ("L M T-2"): the seven SI base
// quantities L, M, T, I, Θ, N and J, and any other name for a base quantity the catalogue keeps
// apart (an angle, an amount of information). The reader names a signature in the form
// "L·M·T⁻²": the SI quantities in that order, then the others in byte order.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// The most base quantities one catalogue may have, the seven SI ones included.
inline constexpr std::size_t kMaxQuantities = 16;

/// One item of a catalogue's signature text: a base quantity and its exponent.
struct SignatureTerm {
    std::string quantity;
    int exponent = 1;
};

/// The items of a catalogue's signature text; empty and `why` set when the text is not one. The
/// empty text is the signature of a dimensionless quantity.
std::optional<std::vector<SignatureTerm>> ParseSignatureText(std::string_view text,
                                                             std::string& why);

/// Exponents over a catalogue's base quantities, by the quantities' indexes.
struct Signature {
    std::array<int, kMaxQuantities> exponents{};

    /// Adds `times` times `other`.
    void Add(const Signature& other, int times) {
        for (std::size_t i = 0; i < kMaxQuantities; ++i) {
            exponents[i] += times * other.exponents[i];
        }
    }
    bool IsZero() const {
        for (const int exponent : exponents) {
            if (exponent != 0) {
                return false;
            }
        }
        return true;
    }
    bool operator==(const Signature& other) const { return exponents == other.exponents; }
    bool operator<(const Signature& other) const { return exponents < other.exponents; }
};

/// The base quantities of one catalogue: the seven SI ones, then the catalogue's own in byte
/// order.
class QuantityTable {
public:
    /// The SI quantities and `extras`; at most kMaxQuantities in all.
    explicit QuantityTable(const std::set<std::string>& extras = {});

    std::size_t Size() const { return m_names.size(); }
    const std::string& Name(std::size_t index) const { return m_names[index]; }
    /// The index of `quantity`, if the table has it.
    std::optional<std::size_t> Find(std::string_view quantity) const;
    /// The signature of `terms`, whose quantities the table has; a quantity may come once only.
    std::optional<Signature> Make(const std::vector<SignatureTerm>& terms) const;
    /// The name of `signature`, such as "L·M·T⁻²"; the empty text for a dimensionless one.
    std::string NameOf(const Signature& signature) const;
    /// The signature named `name` when it is written exactly as NameOf writes it.
    std::optional<Signature> FromName(std::string_view name) const;

private:
    std::vector<std::string> m_names;
};

/// `value` in superscript digits, with a superscript minus when negative ("⁻²").
std::string Superscript(int value);

/// Reads superscript digits (after an optional superscript minus) at `at` in `text`; on success
/// moves `at` past them and sets `value`. Leaves both unchanged when no superscript digit is there.
bool ReadSuperscript(std::string_view text, std::size_t& at, int& value);

/// True when `text` at `at` starts with a superscript digit or minus, all of which are beyond
/// ASCII.
bool StartsSuperscriptBeyondAscii(std::string_view text, std::size_t at);
inline bool StartsSuperscript(std::string_view text, std::size_t at) {
    return at < text.size() && static_cast<unsigned char>(text[at]) >= 0x80 &&
           StartsSuperscriptBeyondAscii(text, at);
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
