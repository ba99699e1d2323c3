#include "ExactMap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::int64_t kSmallLimit = std::int64_t{1} << 62;

bool FitsSmall(const Integer& value) {
    return value > -kSmallLimit && value < kSmallLimit;
}

// Brings a map's coefficients to lowest terms as ExactMap keeps them; for 64-bit integers and for
// Boost's alike.
template <typename T>
void ToLowestTerms(T& a, T& b, T& c, T& d) {
    using std::gcd;
    const T divisor = gcd(gcd(a, b), gcd(c, d));
    if (divisor > 1) {
        a /= divisor;
        b /= divisor;
        c /= divisor;
        d /= divisor;
    }
    if (c < 0 || (c == 0 && d < 0)) {
        a = -a;
        b = -b;
        c = -c;
        d = -d;
    }
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 Wide;

bool FitsSmall(Wide value) {
    return value > -kSmallLimit && value < kSmallLimit;
}

// The composition of two small maps when its coefficients, before reduction, are small too: the
// products of 62-bit coefficients and their sums fit in 128 bits.
std::optional<SmallMap> ComposeSmall(const SmallMap& f, const SmallMap& g) {
    const Wide a = Wide{g.a} * f.c + Wide{g.b} * f.a;
    const Wide b = Wide{g.a} * f.d + Wide{g.b} * f.b;
    const Wide c = Wide{g.c} * f.c + Wide{g.d} * f.a;
    const Wide d = Wide{g.c} * f.d + Wide{g.d} * f.b;
    if (!(FitsSmall(a) && FitsSmall(b) && FitsSmall(c) && FitsSmall(d))) {
        return std::nullopt;
    }
    SmallMap composed{static_cast<std::int64_t>(a), static_cast<std::int64_t>(b),
                      static_cast<std::int64_t>(c), static_cast<std::int64_t>(d)};
    ToLowestTerms(composed.a, composed.b, composed.c, composed.d);
    return composed;
}
#else
std::optional<SmallMap> ComposeSmall(const SmallMap&, const SmallMap&) {
    return std::nullopt;
}
#endif

} // namespace

// ---------------------------------------------------------------------------------------------
// Maps

ExactMap ExactMap::Reduced(Integer a, Integer b, Integer c, Integer d) {
    ToLowestTerms(a, b, c, d);
    return ExactMap{std::move(a), std::move(b), std::move(c), std::move(d)};
}

ExactMap ExactMap::Parse(const ExactDefinition& definition) {
    const std::string* const texts[] = {&definition.A, &definition.B, &definition.C, &definition.D};
    const char* const names[] = {"A", "B", "C", "D"};
    Integer mantissas[4];
    long exponents[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const DecimalError error = ParseDecimal(*texts[i], mantissas[i], exponents[i]);
        if (error != DecimalError::e_None) {
            throw std::invalid_argument(
                DescribeDefinition(definition) + ": " + names[i] + " \"" + *texts[i] + "\" " +
                (error == DecimalError::e_NotADecimal
                     ? "is not a decimal number"
                     : "has more than 1000 digits or an exponent beyond 1000"));
        }
    }
    // Bring the four decimals to one power of ten; the common factor drops out of the map.
    std::optional<long> lowest;
    for (int i = 0; i < 4; ++i) {
        if (mantissas[i] != 0) {
            lowest = std::min(lowest.value_or(exponents[i]), exponents[i]);
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (mantissas[i] != 0 && exponents[i] > *lowest) {
            mantissas[i] *= pow(Integer(10), static_cast<unsigned>(exponents[i] - *lowest));
        }
    }
    return Reduced(mantissas[0], mantissas[1], mantissas[2], mantissas[3]);
}

ExactMap ExactMap::Then(const ExactMap& second) const {
    // second(first(x)) = (a2 + b2*y) / (c2 + d2*y) with y = (a1 + b1*x) / (c1 + d1*x); multiply
    // through by (c1 + d1*x).
    return Reduced(second.a * c + second.b * a, second.a * d + second.b * b,
                   second.c * c + second.d * a, second.c * d + second.d * b);
}

ExactMap ExactMap::Inverse() const {
    // y = (a + b*x) / (c + d*x) solves to x = (-a + c*y) / (b - d*y).
    return Reduced(-a, c, b, -d);
}

DecimalError ParseDecimal(const std::string& text, Integer& mantissa, long& exponent) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    const bool negative = i < n && text[i] == '-';
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::string digits;
    long fractionDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
        digits.push_back(text[i]);
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && IsDigit(text[i]); ++i) {
            digits.push_back(text[i]);
            ++fractionDigits;
        }
    }
    if (digits.empty()) {
        return DecimalError::e_NotADecimal;
    }
    long written = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negativeExponent = i < n && text[i] == '-';
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (i == n || !IsDigit(text[i])) {
            return DecimalError::e_NotADecimal;
        }
        for (; i < n && IsDigit(text[i]); ++i) {
            written = std::min(written * 10 + (text[i] - '0'), kMaxExactExponent + 1);
        }
        written = negativeExponent ? -written : written;
    }
    if (i != n) {
        return DecimalError::e_NotADecimal;
    }
    if (digits.size() > kMaxExactDigits || std::labs(written) > kMaxExactExponent) {
        return DecimalError::e_TooLong;
    }
    // Leading zeros would make Boost read the digits as octal.
    const std::size_t first = digits.find_first_not_of('0');
    mantissa = first == std::string::npos ? Integer(0) : Integer(digits.substr(first));
    if (negative) {
        mantissa = -mantissa;
    }
    exponent = written - fractionDigits;
    return DecimalError::e_None;
}

template <typename T>
T Nearest(const Integer& numerator, const Integer& denominator) {
    using Limits = std::numeric_limits<T>;
    if (numerator == 0) {
        return T(0);
    }
    const bool negative = (numerator < 0) != (denominator < 0);
    Integer p = abs(numerator);
    Integer q = abs(denominator);

    // The binary exponent e of p/q, so that 2^e <= p/q < 2^(e+1).
    long exponent = static_cast<long>(msb(p)) - static_cast<long>(msb(q));
    if (exponent >= 0 ? p < (q << static_cast<unsigned>(exponent))
                      : (p << static_cast<unsigned>(-exponent)) < q) {
        --exponent;
    }
    if (exponent > Limits::max_exponent - 1) {
        return negative ? -Limits::infinity() : Limits::infinity();
    }
    // The weight of the last place kept: all the significant bits of T, or fewer among the
    // subnormals.
    const long lastPlace = std::max(exponent - (Limits::digits - 1),
                                    static_cast<long>(Limits::min_exponent - Limits::digits));
    // Divide in units of half that place; the remainder tells whether anything lies below.
    const long shift = 1 - lastPlace;
    if (shift >= 0) {
        p <<= static_cast<unsigned>(shift);
    } else {
        q <<= static_cast<unsigned>(-shift);
    }
    Integer halves;
    Integer rest;
    divide_qr(p, q, halves, rest);
    const auto count = static_cast<std::uint64_t>(halves); // below 2^(digits + 1)
    std::uint64_t mantissa = count >> 1;
    if ((count & 1) != 0 && (rest != 0 || (mantissa & 1) != 0)) {
        ++mantissa; // half to even; a carry into the next binade, or to infinity, is ldexp's
    }
    const T magnitude = std::ldexp(static_cast<T>(mantissa), static_cast<int>(lastPlace));
    return negative ? -magnitude : magnitude;
}

template double Nearest<double>(const Integer&, const Integer&);
template float Nearest<float>(const Integer&, const Integer&);

// ---------------------------------------------------------------------------------------------
// Refs

namespace {

// `value` as `mantissa * 2^exponent` with an integer mantissa; a finite double.
std::int64_t Split(double value, int& exponent) {
    const double fraction = std::frexp(value, &exponent);
    exponent -= std::numeric_limits<double>::digits;
    return static_cast<std::int64_t>(std::ldexp(fraction, std::numeric_limits<double>::digits));
}

// numerator / denominator - high, for the double `high` nearest that quotient: its low part.
// Worked out exactly, then rounded once.
double LowPart(const Integer& numerator, const Integer& denominator, double high) {
    if (high == 0.0 || !std::isfinite(high)) {
        return 0.0;
    }
    int exponent = 0;
    const Integer mantissa(Split(high, exponent));
    // numerator / denominator - mantissa * 2^exponent over a common denominator.
    const unsigned up = exponent < 0 ? static_cast<unsigned>(-exponent) : 0;
    const unsigned down = exponent > 0 ? static_cast<unsigned>(exponent) : 0;
    return NearestDouble((numerator << up) - ((mantissa * denominator) << down), denominator << up);
}

// The map at x, rounded once to a T; NaN at a pole.
template <typename T>
T Evaluate(const ExactMap& map, T x) {
    int exponent = 0;
    const Integer mantissa(Split(static_cast<double>(x), exponent));
    Integer numerator = map.b * mantissa;
    Integer denominator = map.d * mantissa;
    Integer a = map.a;
    Integer c = map.c;
    if (exponent >= 0) {
        numerator <<= static_cast<unsigned>(exponent);
        denominator <<= static_cast<unsigned>(exponent);
    } else {
        a <<= static_cast<unsigned>(-exponent);
        c <<= static_cast<unsigned>(-exponent);
    }
    numerator += a;
    denominator += c;
    if (denominator == 0) {
        return std::numeric_limits<T>::quiet_NaN();
    }
    return Nearest<T>(numerator, denominator);
}

template <typename T>
T ConvertLinearExactly(const LinearParts& parts, T x) {
    if (!std::isfinite(x) || !std::isfinite(parts.scale) || !std::isfinite(parts.offset)) {
        return static_cast<T>(parts.scale * static_cast<double>(x) + parts.offset);
    }
    return Evaluate(MapOf(RefOfEngine(*parts.exact, parts.scale, parts.offset)), x);
}

} // namespace

namespace {

int LowZeros(std::uint64_t value) {
#if defined(__GNUC__)
    return __builtin_ctzll(value);
#else
    int zeros = 0;
    for (; (value & 1) == 0; value >>= 1) {
        ++zeros;
    }
    return zeros;
#endif
}

int TopBit(std::uint64_t value) {
#if defined(__GNUC__)
    return 63 - __builtin_clzll(value);
#else
    int top = 0;
    while (value >>= 1) {
        ++top;
    }
    return top;
#endif
}

// floor(log2(p / q)) of two integers from 1 to 2^62.
int FloorLog2(std::uint64_t p, std::uint64_t q) {
    const int topP = TopBit(p);
    const int topQ = TopBit(q);
    // Aligned on bit 62, the two compare as their quotient does with 2^(topP - topQ).
    return topP - topQ - ((p << (62 - topP)) < (q << (62 - topQ)) ? 1 : 0);
}

} // namespace

// Why a scale C = p/q (p, q > 0 in lowest terms, the sign taken out) may need no test. Let
// x = X * 2^e with an integer X < 2^53, and R = X * C * 2^t the result's significand, scaled into
// [2^52, 2^53) so that its places are the integers; R is a midpoint when R = M + 1/2, that is when
// 2 * X * p * 2^t = (2M + 1) * q. Write p = 2^b * p' and q = 2^a * q' with p' and q' odd. Since
// X * C < 2^53 * 2^(floor(log2 C) + 1), every X has t >= -1 - floor(log2 C). When
// b - a + t >= 0 for that least t, the numerator of R - (M + 1/2), namely
// 2^a * (X * p' * 2^(b - a + t + 1) - (2M + 1) * q') over 2q, is 2^a times an odd integer, so
// |R - (M + 1/2)| >= 2^a / (2q) = 1 / (2q'): no midpoint, and a distance from each. The product
// the loops work out for it, RN(high * x + RN(low * x)) with high + low the scale to within
// 1.5 * 2^-104 of it and |low| at most a place of high, is within 2^-103 of C * x relatively, under
// 2^-50 of a place of R, as long as the result is normal and far from the subnormals. With q' <
// 2^36 that is far less than 1/(2q'): the sum lies on the same side of every midpoint as C * x, and
// rounds as it does. Overflow needs nothing more: the boundary to infinity is a midpoint too, and
// the loops give low the sign of high, so that RN(low * x) overflowing on its own is an infinity of
// the product's sign. Subnormal values of x have smaller X and so greater t, which only helps.
ScaleKind ScaleKindOf(const LinearParts& parts) {
    if (parts.exact == nullptr || parts.exact->kind == ExactRef::e_None) {
        return parts.scaleLow == 0.0 ? ScaleKind::e_Double : ScaleKind::e_Tested;
    }
    if (parts.exact->kind != ExactRef::e_Small) {
        return ScaleKind::e_Tested; // coefficients that large are left to the test
    }
    const SmallMap& map = parts.exact->small;
    if (map.a != 0 || map.d != 0 || map.b == 0 || map.c <= 0) {
        return ScaleKind::e_Tested;
    }
    const auto p = static_cast<std::uint64_t>(map.b < 0 ? -map.b : map.b);
    const auto q = static_cast<std::uint64_t>(map.c);
    const int b = LowZeros(p);
    const int a = LowZeros(q);
    const std::uint64_t pOdd = p >> b;
    const std::uint64_t qOdd = q >> a;
    if (qOdd == 1 && pOdd < (std::uint64_t{1} << 53)) {
        return ScaleKind::e_Double; // an odd integer below 2^53 times a power of two
    }
    if (qOdd >= (std::uint64_t{1} << 36)) {
        return ScaleKind::e_Tested;
    }
    return b - a - 1 - FloorLog2(p, q) >= 0 ? ScaleKind::e_Sure : ScaleKind::e_Tested;
}

double FusedExactly(double a, double b, double c) {
    if (!std::isfinite(a) || !std::isfinite(b)) {
        return a * b + c; // infinities and NaN take IEEE arithmetic's results
    }
    if (!std::isfinite(c)) {
        return c; // a finite product, however large, leaves an infinite or NaN addend as it is
    }
    // Each operand as an integer below 2^53 times a power of two.
    const auto split = [](double value, int& exponent) {
        const double fraction = std::frexp(value, &exponent);
        exponent -= 53;
        return Integer(static_cast<std::int64_t>(std::ldexp(fraction, 53)));
    };
    int ea = 0, eb = 0, ec = 0;
    const Integer product = split(a, ea) * split(b, eb);
    const Integer addend = split(c, ec);
    const int least = std::min(ea + eb, ec);
    const Integer sum = (product << (ea + eb - least)) + (addend << (ec - least));
    if (sum == 0) {
        // +0 for an exact cancellation; a zero product keeps the signs IEEE arithmetic gives.
        return a == 0.0 || b == 0.0 ? a * b + c : 0.0;
    }
    return least >= 0 ? Nearest<double>(sum << least, Integer(1))
                      : Nearest<double>(sum, Integer(1) << -least);
}

double ConvertExactly(const LinearParts& parts, double x) {
    return ConvertLinearExactly(parts, x);
}

float ConvertExactly(const LinearParts& parts, float x) {
    return ConvertLinearExactly(parts, x);
}

double EvaluateExactly(const ExactMap& map, double x) {
    return Evaluate(map, x);
}

float EvaluateExactly(const ExactMap& map, float x) {
    return Evaluate(map, x);
}

double NearestOfLarge(std::int64_t numerator, std::int64_t denominator) {
    return NearestDouble(Integer(numerator), Integer(denominator));
}

#if !defined(__SIZEOF_INT128__)
double LowOfSmall(std::int64_t numerator, std::int64_t denominator, double high) {
    return LowPart(Integer(numerator), Integer(denominator), high);
}
#endif

std::shared_ptr<const RationalForm> RationalFormOf(const ExactMap& map, double& p, double& q,
                                                   double& r) {
    auto form = std::make_shared<RationalForm>();
    form->map = map;
    const Integer qNumerator = map.a * map.d - map.b * map.c;
    const Integer qDenominator = map.d * map.d;
    p = NearestDouble(map.b, map.d);
    q = NearestDouble(qNumerator, qDenominator);
    r = NearestDouble(map.c, map.d);
    form->pLow = LowPart(map.b, map.d, p);
    form->qLow = LowPart(qNumerator, qDenominator, q);
    form->rLow = LowPart(map.c, map.d, r);
    return form;
}

ExactRef RefOf(const ExactMap& map) {
    ExactRef ref;
    if (FitsSmall(map.a) && FitsSmall(map.b) && FitsSmall(map.c) && FitsSmall(map.d)) {
        ref.kind = ExactRef::e_Small;
        ref.small = {static_cast<std::int64_t>(map.a), static_cast<std::int64_t>(map.b),
                     static_cast<std::int64_t>(map.c), static_cast<std::int64_t>(map.d)};
    } else {
        ref.kind = ExactRef::e_Big;
        ref.big = std::make_shared<const ExactMap>(map);
    }
    return ref;
}

ExactRef SmallRef(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    ToLowestTerms(a, b, c, d);
    ExactRef ref;
    ref.kind = ExactRef::e_Small;
    ref.small = {a, b, c, d};
    return ref;
}

ExactRef RefOfDoubles(double scale, double offset) {
    int scaleExponent = 0;
    int offsetExponent = 0;
    const std::int64_t b = Split(scale, scaleExponent);
    const std::int64_t a = Split(offset, offsetExponent);
    // A zero has no exponent of its own.
    scaleExponent = b == 0 ? offsetExponent : scaleExponent;
    offsetExponent = a == 0 ? scaleExponent : offsetExponent;
    // (a * 2^ea + b * 2^eb * x) / 1 over the common denominator 2^-lowest.
    const int lowest = std::min({scaleExponent, offsetExponent, 0});
    const int aShift = offsetExponent - lowest;
    const int bShift = scaleExponent - lowest;
    if (lowest > -62 && aShift < 8 && bShift < 8) { // mantissas are below 2^53
        return SmallRef(a * (std::int64_t{1} << aShift), b * (std::int64_t{1} << bShift),
                        std::int64_t{1} << -lowest, 0);
    }
    return RefOf(ExactMap::Reduced(Integer(a) << static_cast<unsigned>(aShift),
                                   Integer(b) << static_cast<unsigned>(bShift),
                                   Integer(1) << static_cast<unsigned>(-lowest), 0));
}

ExactRef RefOfEngine(const ExactRef& exact, double scale, double offset) {
    return exact.kind == ExactRef::e_None ? RefOfDoubles(scale, offset) : exact;
}

ExactMap MapOf(const ExactRef& ref) {
    if (ref.kind == ExactRef::e_Big) {
        return *ref.big;
    }
    return ExactMap{Integer(ref.small.a), Integer(ref.small.b), Integer(ref.small.c),
                    Integer(ref.small.d)};
}

void InvertBig(const ExactRef& ref, ExactRef& inverse) {
    inverse = RefOf(ref.big->Inverse());
}

void RoundBig(const ExactRef& ref, LinearState& state, double& scale, double& offset) {
    const ExactMap& map = *ref.big;
    scale = NearestDouble(map.b, map.c);
    offset = NearestDouble(map.a, map.c);
    state.scaleLow = LowPart(map.b, map.c, scale);
    state.offsetLow = BelowHalfAPlace(offset, LowPart(map.a, map.c, offset));
}

ExactRef Compose(const ExactRef& first, const ExactRef& second) {
    if (first.kind == ExactRef::e_Small && second.kind == ExactRef::e_Small) {
        if (std::optional<SmallMap> composed = ComposeSmall(first.small, second.small)) {
            ExactRef ref;
            ref.kind = ExactRef::e_Small;
            ref.small = *composed;
            return ref;
        }
    }
    return RefOf(MapOf(first).Then(MapOf(second)));
}

std::string DescribeDefinition(const ExactDefinition& definition) {
    return "exact definition (A \"" + definition.A + "\", B \"" + definition.B + "\", C \"" +
           definition.C + "\", D \"" + definition.D + "\")";
}

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
