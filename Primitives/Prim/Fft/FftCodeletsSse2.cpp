// SSE2 codelets on doubles: each computes exactly the formulas of its x87 twin, two lanes
// at a time. Every input is loaded before the first store, so src may be dst.
#include <Primitives/Prim/Fft/FftCodeletsSse2.h>

#include <Primitives/Prim/Fft/FftComplexF64Sse2.h>
#include <Primitives/Prim/Fft/FftSmallDft.h>

namespace Prim {
namespace {

using namespace FftPair;

constexpr double R = 0.7071067811865476;  // sqrt(0.5)
constexpr double S = 1.4142135623730951;  // sqrt(2)

using L = SimdLanes::Of<double>;

inline __m128d Lo(__m128d v) { return _mm_unpacklo_pd(v, v); }
inline __m128d Hi(__m128d v) { return _mm_unpackhi_pd(v, v); }
inline __m128d NegateHi(__m128d v) { return _mm_xor_pd(v, _mm_set_pd(-0.0, 0.0)); }
inline __m128d NegateLo(__m128d v) { return _mm_xor_pd(v, _mm_set_pd(0.0, -0.0)); }
// (v.lo + v.hi, v.lo - v.hi)
inline __m128d SumDiff(__m128d v) { return _mm_add_pd(Lo(v), NegateHi(Hi(v))); }
inline __m128d Scale(__m128d v, __m128d f) { return _mm_mul_pd(v, f); }

// sum = (x0 + x2, x1 + x3), diff = (x0 - x2, x1 - x3), already scaled when asked.
inline void Forward2(__m128d sum, __m128d diff, double* dst) {
    L::StoreU(dst, SumDiff(sum));
    L::StoreU(dst + 2, NegateHi(diff));
}

// A = (a0, c0), B = (a1, c1), C = (b0, d0), D = (b1, d1) of the 8-point formula.
inline void Forward3(__m128d A, __m128d B, __m128d C, __m128d D, double* dst) {
    const __m128d uv = _mm_mul_pd(_mm_add_pd(Hi(B), NegateLo(Hi(D))), _mm_set_pd(-R, R));  // (u, v)
    const __m128d ab1 = _mm_unpacklo_pd(B, D);  // (a1, b1)
    const __m128d plus = _mm_add_pd(ab1, uv);  // (a1 + u, b1 + v)
    const __m128d minus = _mm_sub_pd(_mm_move_sd(uv, ab1), _mm_move_sd(ab1, uv));  // (a1 - u, v - b1)
    L::StoreU(dst, SumDiff(_mm_add_pd(A, C)));
    L::StoreU(dst + 2, _mm_move_sd(minus, plus));
    L::StoreU(dst + 4, NegateHi(_mm_sub_pd(A, C)));
    L::StoreU(dst + 6, _mm_move_sd(plus, minus));
}

// sd = (P0 + P1, P0 - P1), twice = (2 P2, 2 P3), already scaled when asked.
inline void Inverse2(__m128d sd, __m128d twice, double* dst) {
    const __m128d y = NegateHi(twice);
    const __m128d plus = _mm_add_pd(sd, y), minus = _mm_sub_pd(sd, y);
    L::StoreU(dst, plus);
    L::StoreU(dst + 2, minus);
}

// sd = (P0 + P1, P0 - P1), twice45 = (2 P4, 2 P5), s = (P2 + P6, P3 + P7), d = (P2 - P6, P3 - P7).
inline void Inverse3(__m128d sd, __m128d twice45, __m128d s, __m128d d, double* dst) {
    const __m128d y = NegateHi(twice45);
    const __m128d q13 = _mm_add_pd(sd, y), q24 = _mm_sub_pd(sd, y);
    const __m128d q56 = _mm_mul_pd(_mm_set1_pd(2.0), _mm_move_sd(d, s));
    const __m128d q78 = _mm_mul_pd(_mm_add_pd(Lo(d), NegateLo(Hi(s))), _mm_set_pd(-S, S));
    const __m128d q57 = _mm_unpacklo_pd(q56, q78), q68 = NegateLo(_mm_unpackhi_pd(q56, q78));
    L::StoreU(dst, _mm_add_pd(q13, q57));
    L::StoreU(dst + 4, _mm_sub_pd(q13, q57));
    L::StoreU(dst + 2, _mm_add_pd(q24, q68));
    L::StoreU(dst + 6, _mm_sub_pd(q24, q68));
}

inline __m128d SumDiffOf(const double* p) { return SumDiff(L::LoadU(p)); }

// Complex arithmetic of the small transforms, one value per register.
struct Ops {
    using Value = __m128d;
    static __m128d Add(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
    static __m128d Sub(__m128d a, __m128d b) { return _mm_sub_pd(a, b); }
    static FftPair::Root Root(double re, double im) { return MakeRoot<false>(re, im); }
    static __m128d Mul(__m128d a, const FftPair::Root& w) { return FftPair::Mul(a, w); }
};

template <int N, bool Inverse, bool Scaled>
inline void Interleaved(const double* src, double* dst, double f) {
    __m128d z[N];
    for (int j = 0; j < N; ++j) z[j] = L::LoadU(src + 2 * j);
    FftSmallDft<N, Inverse, Ops>(z);
    for (int k = 0; k < N; ++k) L::StoreU(dst + 2 * k, Scaled ? Scale(z[k], _mm_set1_pd(f)) : z[k]);
}

template <int N, bool Inverse, bool Scaled>
inline void Split(const double* sr, const double* si, double* dr, double* di, double f) {
    __m128d z[N];
    for (int j = 0; j < N; ++j) z[j] = _mm_unpacklo_pd(_mm_load_sd(sr + j), _mm_load_sd(si + j));
    FftSmallDft<N, Inverse, Ops>(z);
    for (int k = 0; k < N; ++k) {
        const __m128d y = Scaled ? Scale(z[k], _mm_set1_pd(f)) : z[k];
        _mm_store_sd(dr + k, y);
        _mm_storeh_pd(di + k, y);
    }
}

}  // namespace

void FftCodeletReal0F64_sse2(const double* src, double* dst) { _mm_store_sd(dst, _mm_load_sd(src)); }
void FftCodeletReal0ScaledF64_sse2(const double* src, double* dst, double f) {
    _mm_store_sd(dst, _mm_mul_sd(_mm_load_sd(src), _mm_set_sd(f)));
}

void FftCodeletReal1F64_sse2(const double* src, double* dst) { L::StoreU(dst, SumDiffOf(src)); }
void FftCodeletReal1ScaledF64_sse2(const double* src, double* dst, double f) {
    L::StoreU(dst, Scale(SumDiffOf(src), _mm_set1_pd(f)));
}

void FftCodeletRealFwd2F64_sse2(const double* src, double* dst) {
    const __m128d x01 = L::LoadU(src), x23 = L::LoadU(src + 2);
    Forward2(_mm_add_pd(x01, x23), _mm_sub_pd(x01, x23), dst);
}
void FftCodeletRealFwd2ScaledF64_sse2(const double* src, double* dst, double f) {
    const __m128d x01 = L::LoadU(src), x23 = L::LoadU(src + 2), v = _mm_set1_pd(f);
    Forward2(Scale(_mm_add_pd(x01, x23), v), Scale(_mm_sub_pd(x01, x23), v), dst);
}

void FftCodeletRealFwd3F64_sse2(const double* src, double* dst) {
    const __m128d x01 = L::LoadU(src), x23 = L::LoadU(src + 2), x45 = L::LoadU(src + 4), x67 = L::LoadU(src + 6);
    Forward3(_mm_add_pd(x01, x45), _mm_sub_pd(x01, x45), _mm_add_pd(x23, x67), _mm_sub_pd(x23, x67), dst);
}
void FftCodeletRealFwd3ScaledF64_sse2(const double* src, double* dst, double f) {
    const __m128d x01 = L::LoadU(src), x23 = L::LoadU(src + 2), x45 = L::LoadU(src + 4), x67 = L::LoadU(src + 6);
    const __m128d v = _mm_set1_pd(f);
    Forward3(Scale(_mm_add_pd(x01, x45), v), Scale(_mm_sub_pd(x01, x45), v), Scale(_mm_add_pd(x23, x67), v),
        Scale(_mm_sub_pd(x23, x67), v), dst);
}

void FftCodeletRealInv2F64_sse2(const double* src, double* dst) {
    Inverse2(SumDiffOf(src), _mm_mul_pd(_mm_set1_pd(2.0), L::LoadU(src + 2)), dst);
}
void FftCodeletRealInv2ScaledF64_sse2(const double* src, double* dst, double f) {
    const __m128d v = _mm_set1_pd(f);
    Inverse2(Scale(SumDiffOf(src), v), Scale(_mm_mul_pd(_mm_set1_pd(2.0), L::LoadU(src + 2)), v), dst);
}

void FftCodeletRealInv3F64_sse2(const double* src, double* dst) {
    const __m128d p23 = L::LoadU(src + 2), p67 = L::LoadU(src + 6);
    Inverse3(SumDiffOf(src), _mm_mul_pd(_mm_set1_pd(2.0), L::LoadU(src + 4)), _mm_add_pd(p23, p67),
        _mm_sub_pd(p23, p67), dst);
}
void FftCodeletRealInv3ScaledF64_sse2(const double* src, double* dst, double f) {
    const __m128d p23 = L::LoadU(src + 2), p67 = L::LoadU(src + 6), v = _mm_set1_pd(f);
    Inverse3(Scale(SumDiffOf(src), v), Scale(_mm_mul_pd(_mm_set1_pd(2.0), L::LoadU(src + 4)), v),
        Scale(_mm_add_pd(p23, p67), v), Scale(_mm_sub_pd(p23, p67), v), dst);
}

const FftCodeletReal FftRowRealForwardF64_sse2[4] = {
    FftCodeletReal0F64_sse2, FftCodeletReal1F64_sse2, FftCodeletRealFwd2F64_sse2, FftCodeletRealFwd3F64_sse2};
const FftCodeletRealScaled FftRowRealForwardScaledF64_sse2[4] = {FftCodeletReal0ScaledF64_sse2,
    FftCodeletReal1ScaledF64_sse2, FftCodeletRealFwd2ScaledF64_sse2, FftCodeletRealFwd3ScaledF64_sse2};
const FftCodeletReal FftRowRealInverseF64_sse2[4] = {
    FftCodeletReal0F64_sse2, FftCodeletReal1F64_sse2, FftCodeletRealInv2F64_sse2, FftCodeletRealInv3F64_sse2};
const FftCodeletRealScaled FftRowRealInverseScaledF64_sse2[4] = {FftCodeletReal0ScaledF64_sse2,
    FftCodeletReal1ScaledF64_sse2, FftCodeletRealInv2ScaledF64_sse2, FftCodeletRealInv3ScaledF64_sse2};

// The complex rows: the members of a row differ only in size, direction and scaling.
namespace {

template <int N, bool Inverse>
void CplxPlain(const double* s, double* d) {
    Interleaved<N, Inverse, false>(s, d, 1.0);
}
template <int N, bool Inverse>
void CplxScaled(const double* s, double* d, double f) {
    Interleaved<N, Inverse, true>(s, d, f);
}
template <int N, bool Inverse>
void SplitPlain(const double* sr, const double* si, double* dr, double* di) {
    Split<N, Inverse, false>(sr, si, dr, di, 1.0);
}
template <int N, bool Inverse>
void SplitScaled(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<N, Inverse, true>(sr, si, dr, di, f);
}

}  // namespace

// Orders 0 and 1 serve both directions.
const FftCodeletCplx FftRowCplxForwardF64_sse2[4] = {
    CplxPlain<1, false>, CplxPlain<2, false>, CplxPlain<4, false>, CplxPlain<8, false>};
const FftCodeletCplxScaled FftRowCplxForwardScaledF64_sse2[4] = {
    CplxScaled<1, false>, CplxScaled<2, false>, CplxScaled<4, false>, CplxScaled<8, false>};
const FftCodeletCplx FftRowCplxInverseF64_sse2[4] = {
    CplxPlain<1, false>, CplxPlain<2, false>, CplxPlain<4, true>, CplxPlain<8, true>};
const FftCodeletCplxScaled FftRowCplxInverseScaledF64_sse2[4] = {
    CplxScaled<1, false>, CplxScaled<2, false>, CplxScaled<4, true>, CplxScaled<8, true>};
const FftCodeletSplit FftRowSplitForwardF64_sse2[4] = {
    SplitPlain<1, false>, SplitPlain<2, false>, SplitPlain<4, false>, SplitPlain<8, false>};
const FftCodeletSplitScaled FftRowSplitForwardScaledF64_sse2[4] = {
    SplitScaled<1, false>, SplitScaled<2, false>, SplitScaled<4, false>, SplitScaled<8, false>};
const FftCodeletSplit FftRowSplitInverseF64_sse2[4] = {
    SplitPlain<1, false>, SplitPlain<2, false>, SplitPlain<4, true>, SplitPlain<8, true>};
const FftCodeletSplitScaled FftRowSplitInverseScaledF64_sse2[4] = {
    SplitScaled<1, false>, SplitScaled<2, false>, SplitScaled<4, true>, SplitScaled<8, true>};

}  // namespace Prim
