// Unit expressions as units: what a reader answers for a symbol its records lack. The resolver
// reads the symbol as an expression over the catalogue's units (UnitExpression.h), works out its
// dimension from the signatures of the atoms' dimensions, and makes a record of its own with an
// exact engine, kept at a fixed address for the reader's life. Where no dimension of the
// catalogue has the expression's signature, it makes a dimension named after the signature, with
// the SI expression of that signature as its base unit, and a measurement of the same name.
#pragma once

#include "RecordSet.h"
#include "Signature.h"
#include "UnitExpression.h"

#include <units/interfaces/ConverterEngine.h>
#include <units/interfaces/Reader.h>

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// Resolves the expressions of one record set. Every operation may run on several threads at
/// once: the resolver's own memory is behind a mutex; the record set must not change meanwhile.
class ExpressionResolver {
public:
    explicit ExpressionResolver(const RecordSet& records);
    ExpressionResolver(const ExpressionResolver&) = delete;
    ExpressionResolver& operator=(const ExpressionResolver&) = delete;
    ~ExpressionResolver();

    /// The unit of the expression `text`, whose symbol is `text`; null when it is none.
    const UnitSpec* Unit(const std::string& text);
    /// The dimension named after a signature that no dimension of the catalogue has, or null.
    const DimensionSpec* Dimension(const std::string& name);
    /// The measurement of such a dimension, or null.
    const MeasurementSpec* Measurement(const std::string& name);
    /// The signature, written as a catalogue writes it ("L M"), of a dimension the resolver made.
    std::optional<std::string> SignatureText(const std::string& dimension);
    /// The base unit of the measurement `measurement` that the resolver made, or null: what
    /// every unit system gives it.
    const UnitSpec* BaseUnitOf(const std::string& measurement);
    /// Why `text` is no unit expression, with up to three symbols the user may have meant for an
    /// unknown atom; empty when it is one.
    std::optional<std::pair<ExpressionFault, std::vector<std::string>>>
    Explain(const std::string& text);
    /// Forgets what it worked out from the records, which have changed; the records it made stay.
    void Forget();
    /// The catalogue's own symbols that read as expressions of its other units (N/m2, kg.m2, ft3)
    /// but say something else than the catalogue defines: another signature than their
    /// dimension's, or another factor. Gives the index of each such unit record and what is wrong.
    std::vector<std::pair<std::size_t, std::string>> CheckCompoundSymbols();

private:
    struct Index;
    struct Atom;
    /// An expression's atoms with their summed exponents, and its engine.
    struct Evaluated {
        std::vector<std::pair<Atom*, int>> factors;
        std::unique_ptr<Converter::IUnitConverterEngine> engine;
    };

    const UnitSpec* Resolve(const std::string& text, ExpressionFault& fault);
    bool Evaluate(const ParsedExpression& parsed, Evaluated& evaluated, ExpressionFault& fault);
    std::optional<Signature> SignatureOf(const Evaluated& evaluated, ExpressionFault& fault);
    const DimensionSpec* FindDimension(const std::string& name);
    const Index& Indexed();
    Atom& AtomOf(const UnitSpec& unit, int prefix);
    const DimensionSpec* SignatureDimension(const Signature& signature, ExpressionFault& fault);

    const RecordSet& m_records;
    std::mutex m_mutex;
    std::unique_ptr<Index> m_index;
    std::map<std::pair<const UnitSpec*, int>, std::unique_ptr<Atom>> m_atoms;
    // What it made: records at fixed addresses, found by their keys.
    std::deque<UnitSpec> m_units;
    std::deque<DimensionSpec> m_dimensions;
    std::deque<MeasurementSpec> m_measurements;
    std::vector<std::unique_ptr<Converter::IUnitConverterEngine>> m_engines;
    std::unordered_map<std::string, const UnitSpec*> m_unitsByText;
    std::map<std::string, const DimensionSpec*, std::less<>> m_dimensionsByName;
    std::map<Signature, const DimensionSpec*> m_dimensionsBySignature;
    std::map<std::string, const MeasurementSpec*, std::less<>> m_measurementsByName;
};

/// Up to three symbols of `records` that `word` may have been meant as: the same but for letter
/// case, a singular of a plural, or one or two edits away; aliases give their standard forms.
std::vector<std::string> SuggestSymbols(const std::string& word, const RecordSet& records);

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
