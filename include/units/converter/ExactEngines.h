// Engines made from exact definitions. A definition `base = (A + B*x) / (C + D*x)` is kept as
// exact rationals; compositions and inverses of exact engines stay exact, and each conversion is
// the correctly rounded value of the exact map.
#pragma once

#include <units/converter/Engines.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace Detail {
struct ExactMap;
struct RationalForm;
} // namespace Detail

/// The most digits a coefficient of an ExactDefinition may have.
inline constexpr std::size_t kMaxExactDigits = 1000;
/// The largest magnitude of the exponent a coefficient of an ExactDefinition may have.
inline constexpr long kMaxExactExponent = 1000;

/// A unit's exact definition, `base = (A + B*x) / (C + D*x)`. Each coefficient is a decimal text:
/// an optional sign, digits with an optional point, an optional exponent ("0.3048", "-459.67",
/// "1e-3"); at most kMaxExactDigits digits and an exponent of at most kMaxExactExponent in
/// magnitude.
struct ExactDefinition {
    std::string A = "0"; ///< constant of the numerator
    std::string B = "1"; ///< coefficient of x in the numerator
    std::string C = "1"; ///< constant of the denominator
    std::string D = "0"; ///< coefficient of x in the denominator; not 0 makes a non-linear engine
};

/// True when `text` is a coefficient that ExactDefinition takes: a decimal within its limits.
ORV_UNITS_CONVERTER_API bool IsExactDecimal(const std::string& text);

/// What the map of a definition does, worked out without rounding.
enum class ExactMapKind {
    e_Identity,   ///< every value maps to itself
    e_Invertible, ///< B*C - A*D is not 0, and the map is not the identity
    e_Constant,   ///< B*C - A*D is 0: every value maps to one number
};

/// The kind of map `definition` is; empty when a coefficient is not a decimal (IsExactDecimal).
ORV_UNITS_CONVERTER_API std::optional<ExactMapKind>
ClassifyExactDefinition(const ExactDefinition& definition);

/// The engine of `definition`: a LinearUnitConverter when D is 0, else a RationalUnitConverter.
/// Throws std::invalid_argument when a coefficient is not a decimal, when B*C - A*D is 0, or when
/// a coefficient of the engine is beyond the range of double.
ORV_UNITS_CONVERTER_API std::unique_ptr<IUnitConverterEngine>
MakeExactEngine(const ExactDefinition& definition);

/// The linear engine `scale * x + offset` with exact decimal coefficients; throws as
/// MakeExactEngine does.
ORV_UNITS_CONVERTER_API std::unique_ptr<LinearUnitConverter>
MakeExactLinear(const std::string& scale, const std::string& offset = "0");

/// The linear engine `(a + b*x) / c` of integers, as GetExactDefinition gives them, without
/// parsing any text: for catalogues compiled into a program. Throws std::invalid_argument when b
/// or c is 0 or an integer is 2^62 or more in magnitude.
ORV_UNITS_CONVERTER_API std::unique_ptr<LinearUnitConverter>
MakeExactLinear(std::int64_t a, std::int64_t b, std::int64_t c);

/// True when `engine` has an exact definition: made by this header, or an inverse, clone or
/// composition (linear or composite) of such engines only.
ORV_UNITS_CONVERTER_API bool IsExact(IUnitConverterEngine& engine);

/// Writes the exact definition of `engine` in lowest terms, as integers with C > 0 (or C == 0 and
/// D > 0); returns false and leaves `definition` unchanged when the engine has none.
ORV_UNITS_CONVERTER_API bool GetExactDefinition(IUnitConverterEngine& engine,
                                                ExactDefinition& definition);

/// The exact map of `engine` at the decimal `text` (IsExactDecimal), rounded once to the nearest
/// double: NaN at a pole, infinite beyond double; empty when either has no exact form.
ORV_UNITS_CONVERTER_API std::optional<double> ConvertDecimal(IUnitConverterEngine& engine,
                                                             const std::string& text);

/// That exact value rounded once to `digits` (1 to 18) significant digits, ties to even, as
/// `first * 10^second` ({0, 0} for 0); empty as ConvertDecimal is, and at a pole.
ORV_UNITS_CONVERTER_API std::optional<std::pair<std::int64_t, long>>
RoundDecimal(IUnitConverterEngine& engine, const std::string& text, int digits);

/// A number read from its text by DecimalConverter::Read: the double nearest it, and the decimal
/// typed to about 106 bits.
struct TypedDecimal {
    double value = 0.0;       ///< the double nearest the decimal
    double high = 0.0;        ///< the decimal is high + low when `kind` is e_Inexact
    double low = 0.0;         ///< the rest of the decimal below high
    std::uint64_t digits = 0; ///< the decimal is digits * 10^exponent, negated when `negative`,
    int exponent = 0;         ///< when `kind` is not e_Other
    bool negative = false;    ///< the sign typed
    /// How much of the decimal the doubles hold.
    enum Kind : unsigned char {
        e_Exact,   ///< the decimal is `value`
        e_Inexact, ///< the decimal is high + low, which `value` is not
        e_Other,   ///< too many digits or too large a power of ten, or no decimal (inf, nan)
    } kind = e_Other;
};

/// A result that is a short decimal, `significand * 10^exponent`: at most 15 significant digits
/// and no trailing zero, so that they are the shortest digits that read back to its double.
struct ShortDecimal {
    std::int64_t significand = 0; ///< 0 when the result is no such decimal
    int exponent = 0;             ///< the power of ten of the last digit
};

/// Converts decimal texts through one engine, each to the double nearest the exact map of the
/// decimal typed (as ConvertDecimal), made once for a stream of many: most decimals are worked out
/// quickly to about 106 bits and only those near a rounding boundary exactly. Through an engine
/// without an exact definition, the double read is converted. Thread-safe for const use.
class ORV_UNITS_CONVERTER_API DecimalConverter {
public:
    /// Converts through `engine`, which must outlive this object.
    explicit DecimalConverter(IUnitConverterEngine& engine);
    DecimalConverter(const DecimalConverter&) = delete;
    DecimalConverter& operator=(const DecimalConverter&) = delete;
    ~DecimalConverter();

    /// Reads the whole of `text`, `[+-]digits[.digits][(e|E)[+-]digits]`, into `decimal`. False
    /// when `decimal.value` is unset: no such decimal, or too many digits to find it quickly.
    static bool Read(std::string_view text, TypedDecimal& decimal);
    /// True when the engine has an exact definition (IsExact).
    bool IsExact() const { return m_pMap != nullptr; }
    /// Sets each of `count` results to the conversion of `decimals[i]`, read from `texts[i]`
    /// (its `value` set by the caller when Read returned false): the engine's vector conversion
    /// of the values, put right where a decimal is not its value. A value that is its decimal,
    /// inf or NaN converts as the engine converts it.
    /// With `shorts`, sets each of them to the exact result when that is a ShortDecimal (through
    /// a linear map whose divisor has no prime factors but 2 and 5, as between feet and metres).
    void Convert(const std::string_view* texts, const TypedDecimal* decimals, double* results,
                 std::size_t count, ShortDecimal* shorts = nullptr) const;
    /// ConvertDecimal of `text` through the engine.
    std::optional<double> Convert(std::string_view text) const;
    /// RoundDecimal of `text` through the engine.
    std::optional<std::pair<std::int64_t, long>> Round(std::string_view text, int digits) const;

private:
    // The conversion of x = high + low to about 106 bits when it is surely the nearest double;
    // else NaN. Needs m_bQuick.
    double Quick(double high, double low) const;
    // Sets the integers of the short conversion when the map has them.
    void SetShort();
    // The exact conversion of a decimal Read took as a ShortDecimal and its double; false when
    // it is none, or its double is not worked out by one rounding.
    bool Short(const TypedDecimal& decimal, ShortDecimal& result, double& value) const;
    // The exact conversion of `text`; empty when it is no decimal (IsExactDecimal).
    std::optional<double> Exactly(std::string_view text) const;

    IUnitConverterEngine& m_engine;
    std::unique_ptr<const Detail::ExactMap> m_pMap; // null when the engine has no exact form
    bool m_bQuick = false;                          // its coefficients are small enough for Quick
    bool m_bLinear = false;                         // and its map is scale * x + offset
    double m_coefficients[8] = {}; // scale, offset (linear) or A, B, C, D, as high and low parts
    // A linear map as (offset + scale * x) / 10^power with integers: when m_bShort.
    bool m_bShort = false;
    std::int64_t m_shortOffset = 0;
    std::int64_t m_shortScale = 0;
    int m_shortPower = 0;
};

/// One engine equal to applying `first`, then `second`, worked out exactly: linear when the result
/// is, else rational. Empty when either has no exact definition. Keeps neither.
ORV_UNITS_CONVERTER_API std::unique_ptr<IUnitConverterEngine>
ComposeExact(IUnitConverterEngine& first, IUnitConverterEngine& second);

/// `Convert(x)` is `(A + B*x) / (C + D*x)` with D not 0, for reciprocal units such as fuel
/// consumption, rounded once to the nearest double (or float). It is worked out as
/// `p + q / (r + x)` with p = B/D, q = (A*D - B*C)/D^2 and r = C/D, each kept as the double
/// nearest the exact value and the rest. Its inverse is again of this kind.
class ORV_UNITS_CONVERTER_API RationalUnitConverter final : public IUnitConverterEngine {
public:
    /// The engine of `definition`; throws std::invalid_argument as MakeExactEngine does, and when
    /// D is 0.
    explicit RationalUnitConverter(const ExactDefinition& definition);
    RationalUnitConverter(const RationalUnitConverter& other);
    RationalUnitConverter& operator=(const RationalUnitConverter& other);
    ~RationalUnitConverter() override;

    /// Reports the three coefficients of `p + q / (r + x)`.
    void GetCoefficients(double& p, double& q, double& r);

    std::unique_ptr<IUnitConverterEngine> Clone() override;
    void Convert(std::vector<double>& values) override;
    void Convert(std::vector<float>& values) override;
    double Convert(double value) override;
    float Convert(float value) override;
    /// Always false: a map with D not 0 changes some value.
    bool IsUnity() override;
    /// True: B*C - A*D is never 0 for this engine.
    bool IsInvertible() override;
    /// The exact inverse `x = (-A + C*y) / (B - D*y)`, again a RationalUnitConverter.
    std::unique_ptr<IUnitConverterEngine> GetInverse() override;

private:
    friend struct Detail::EngineAccess;
    RationalUnitConverter(std::shared_ptr<const Detail::RationalForm> form, double p, double q,
                          double r)
        : IUnitConverterEngine(e_RationalEngine), m_p(p), m_q(q), m_r(r), m_pForm(std::move(form)) {
    }

    double m_p;
    double m_q;
    double m_r;
    // The exact definition and the rest of p, q and r, which copies share: nothing changes them.
    std::shared_ptr<const Detail::RationalForm> m_pForm;
};

} // namespace Orv::Pim::Core::Service::Units::Converter
