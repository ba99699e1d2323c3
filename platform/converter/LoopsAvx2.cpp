// The loops for processors with AVX2 and fused multiply-add: four doubles at a time. Built with
// those instruction sets enabled, and called only where the processor has them.
#include "Kernels.h"

#include <immintrin.h>

namespace Orv::Pim::Core::Service::Units::Converter::Detail {

namespace {

struct Avx2Ops {
    using V = __m256d;
    using M = __m256d; // all ones in a lane that is true
    static constexpr std::size_t kLanes = 4;

    static V Set(double value) { return _mm256_set1_pd(value); }
    static V Load(const double* values) { return _mm256_loadu_pd(values); }
    static V Load(const float* values) { return _mm256_cvtps_pd(_mm_loadu_ps(values)); }
    static void Store(double* values, V value) { _mm256_storeu_pd(values, value); }
    static void Store(float* values, V value) { _mm_storeu_ps(values, _mm256_cvtpd_ps(value)); }
    static V Add(V a, V b) { return _mm256_add_pd(a, b); }
    static V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static V Fma(V a, V b, V c) { return _mm256_fmadd_pd(a, b, c); }
    static V Abs(V a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
    static M Equal(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    static M IsZero(V a) { return _mm256_cmp_pd(a, _mm256_setzero_pd(), _CMP_EQ_OQ); }
    static M Or(M a, M b) { return _mm256_or_pd(a, b); }
    static M And(M a, M b) { return _mm256_and_pd(a, b); }
    static bool All(M m) { return _mm256_movemask_pd(m) == 0xF; }
    static unsigned Bits(M m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    static M FloatSafe(V y) {
        const __m256i low =
            _mm256_and_si256(_mm256_castpd_si256(y), _mm256_set1_epi64x(0x1FFFFFFF));
        const M midpoint =
            _mm256_castsi256_pd(_mm256_cmpeq_epi64(low, _mm256_set1_epi64x(0x10000000)));
        const M normal = Or(_mm256_cmp_pd(Abs(y), Set(0x1p-126), _CMP_GE_OQ), IsZero(y));
        return _mm256_andnot_pd(midpoint, normal);
    }
    static V Min(V a, V b) { return _mm256_min_pd(a, b); }
    static V Max(V a, V b) { return _mm256_max_pd(a, b); }
    static M Less(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static V LessOne(V x) {
        return _mm256_castsi256_pd(
            _mm256_sub_epi64(_mm256_castpd_si256(Abs(x)), _mm256_set1_epi64x(1)));
    }
    static M NotLess(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_NLT_UQ); }
    static M AndOrdered(M m, V y) { return And(m, _mm256_cmp_pd(y, y, _CMP_ORD_Q)); }
};

} // namespace

extern const LinearLoops kAvx2Loops;
const LinearLoops kAvx2Loops = LoopsOf<Avx2Ops>();

} // namespace Orv::Pim::Core::Service::Units::Converter::Detail
