// The loops for processors with AVX-512: eight doubles at a time. Built with that instruction set
// enabled, and called only where the processor has it.
#include "Kernels.h"

#include <immintrin.h>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

struct Avx512Ops {
    using V = __m512d;
    using M = __mmask8;
    static constexpr std::size_t kLanes = 8;

    static V Set(double value) { return _mm512_set1_pd(value); }
    static V Load(const double* values) { return _mm512_loadu_pd(values); }
    static V Load(const float* values) {
        return _mm512_maskz_cvtps_pd(0xFF, _mm256_loadu_ps(values));
    }
    static void Store(double* values, V value) { _mm512_storeu_pd(values, value); }
    static void Store(float* values, V value) {
        _mm256_storeu_ps(values, _mm512_maskz_cvtpd_ps(0xFF, value));
    }
    static V Add(V a, V b) { return _mm512_add_pd(a, b); }
    static V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static V Fma(V a, V b, V c) { return _mm512_fmadd_pd(a, b, c); }
    static V Abs(V a) { return _mm512_abs_pd(a); }
    static M Equal(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    static M IsZero(V a) { return _mm512_cmp_pd_mask(a, _mm512_setzero_pd(), _CMP_EQ_OQ); }
    static M Or(M a, M b) { return static_cast<M>(a | b); }
    static M And(M a, M b) { return static_cast<M>(a & b); }
    static bool All(M m) { return m == 0xFF; }
    static unsigned Bits(M m) { return m; }
    static M FloatSafe(V y) {
        const __m512i low = _mm512_and_si512(_mm512_castpd_si512(y), _mm512_set1_epi64(0x1FFFFFFF));
        const M midpoint = _mm512_cmpeq_epi64_mask(low, _mm512_set1_epi64(0x10000000));
        const M normal = Or(_mm512_cmp_pd_mask(Abs(y), Set(0x1p-126), _CMP_GE_OQ), IsZero(y));
        return static_cast<M>(normal & ~midpoint);
    }
    static V Min(V a, V b) { return _mm512_maskz_min_pd(0xFF, a, b); }
    static V Max(V a, V b) { return _mm512_maskz_max_pd(0xFF, a, b); }
    static M Less(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static V LessOne(V x) {
        return _mm512_castsi512_pd(
            _mm512_sub_epi64(_mm512_castpd_si512(Abs(x)), _mm512_set1_epi64(1)));
    }
    static M NotLess(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_NLT_UQ); }
    static M AndOrdered(M m, V y) { return _mm512_mask_cmp_pd_mask(m, y, y, _CMP_ORD_Q); }
};

} // namespace

extern const LinearLoops kAvx512Loops;
const LinearLoops kAvx512Loops = LoopsOf<Avx512Ops>();

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
