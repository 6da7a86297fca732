// The SSE2 kernels of the power-of-two lengths from 64: four quarter angles per step in
// single precision. The work area is 16-byte aligned and the tables 32-byte aligned; the
// caller's array may sit anywhere.
#include <Primitives/Prim/Fft/MdctKernels.h>

#include <Primitives/Prim/SimdLanes.h>

#include <cstddef>

namespace Prim {
namespace {

const __m128 SignMask = _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(0x80000000u)));

__m128 Negate(__m128 v) { return _mm_xor_ps(v, SignMask); }
__m128 Reverse(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }
using L = SimdLanes::Of<float>;
using Complex = SimdLanes::Complex<float>;

// Four complex values (re, im) from four real and four imaginary parts, at an aligned p.
void StoreInterleaved(float* p, __m128 re, __m128 im) {
    _mm_store_ps(p, L::ZipLow(re, im));
    _mm_store_ps(p + 4, L::ZipHigh(re, im));
}

// (c a + s b, c b - s a) for four angles.
void Turn(__m128 s, __m128 c, __m128 a, __m128 b, __m128& re, __m128& im) {
    re = _mm_add_ps(_mm_mul_ps(c, a), _mm_mul_ps(s, b));
    im = _mm_sub_ps(_mm_mul_ps(c, b), _mm_mul_ps(s, a));
}

}  // namespace

// u_n = -x(3q + n) below q and x(n - q) above; runs of eight u never straddle q, a multiple
// of 16, so each run is one signed stretch of the input.
void MdctFwdPreLarge_sse2(const float* src, float* dst, int32_t length, const float* table) {
    const size_t n = static_cast<size_t>(length), h = n / 2, q = n / 4;
    float* even = dst + n;
    float* odd = even + h;
    const auto run = [&](size_t first, __m128& lo, __m128& hi) {
        const bool wrapped = first < q;
        const float* p = wrapped ? src + 3 * q + first : src + first - q;
        lo = _mm_loadu_ps(p);
        hi = _mm_loadu_ps(p + 4);
        return wrapped;
    };
    for (size_t i = 0; i < h; i += 4) {
        __m128 lo, hi;
        const bool evenWrapped = run(2 * i, lo, hi);
        const __m128 e = L::Evens(lo, hi);
        _mm_store_ps(even + i, evenWrapped ? Negate(e) : e);
        const bool oddWrapped = run(n - 8 - 2 * i, lo, hi);
        const __m128 o = Reverse(L::Odds(lo, hi));
        _mm_store_ps(odd + i, oddWrapped ? Negate(o) : o);
    }
    for (size_t k = 0; k < q; k += 4) {
        const __m128 a = _mm_sub_ps(_mm_load_ps(even + k), _mm_load_ps(odd + k));
        const __m128 b = _mm_sub_ps(_mm_load_ps(odd + q + k), _mm_load_ps(even + q + k));
        __m128 re, im;
        Turn(_mm_load_ps(table + 2 * k), _mm_load_ps(table + 2 * k + 4), a, b, re, im);
        StoreInterleaved(dst + 2 * k, re, im);
    }
}

// Front block b gives X_2k for k = 4b..4b+3 and the odd X_(h-1-2k) near the end; back block
// N/16-1-b gives the evens near the end and the odds between the front's evens. Together
// they fill X[8b .. 8b+7] and X[h-8-8b .. h-1-8b].
void MdctFwdPostLarge_sse2(const float* src, float* dst, const float* mirrored, int32_t length) {
    const size_t n = static_cast<size_t>(length), h = n / 2;
    const size_t pairs = n / 32;
    for (size_t b = 0; b < pairs; ++b) {
        const size_t back = n / 16 - 1 - b;
        const float* t = mirrored + 16 * b;
        const float* zf = src + 8 * b;
        const float* zb = src + 8 * back;
        const __m128 reF = L::Evens(_mm_load_ps(zf), _mm_load_ps(zf + 4));
        const __m128 imF = L::Odds(_mm_load_ps(zf), _mm_load_ps(zf + 4));
        const __m128 reB = L::Evens(_mm_load_ps(zb), _mm_load_ps(zb + 4));
        const __m128 imB = L::Odds(_mm_load_ps(zb), _mm_load_ps(zb + 4));
        // Turn gives X_2k = c re + s im and c im - s re = -X_(h-1-2k).
        __m128 evenF, negOddF, evenB, negOddB;
        Turn(_mm_load_ps(t), _mm_load_ps(t + 4), reF, imF, evenF, negOddF);
        Turn(_mm_load_ps(t + 8), _mm_load_ps(t + 12), reB, imB, evenB, negOddB);
        Complex{evenF, Reverse(Negate(negOddB))}.StoreInterleaved(dst + 8 * b);
        Complex{evenB, Reverse(Negate(negOddF))}.StoreInterleaved(dst + h - 8 - 8 * b);
    }
}

void MdctInvPreLarge_sse2(const float* src, float* dst, const float* table, int32_t length) {
    const size_t n = static_cast<size_t>(length), h = n / 2, q = n / 4;
    for (size_t k = 0; k < q; k += 4) {
        const float* front = src + 2 * k;
        const float* back = src + h - 8 - 2 * k;
        const __m128 a = L::Evens(_mm_loadu_ps(front), _mm_loadu_ps(front + 4));
        const __m128 b = Reverse(L::Odds(_mm_loadu_ps(back), _mm_loadu_ps(back + 4)));
        __m128 re, im;
        Turn(_mm_load_ps(table + 2 * k), _mm_load_ps(table + 2 * k + 4), a, b, re, im);
        StoreInterleaved(dst + 2 * k, re, im);
    }
}

// The even staging values E_i = v_2i go to the scratch; every output pair then takes one of
// them and one mirrored odd value, -E_(h-1-i) up to the sign of its quarter.
void MdctInvPostLarge_sse2(const float* src, float* dst, const float* table, int32_t length, float* scratch) {
    const size_t n = static_cast<size_t>(length), h = n / 2, q = n / 4;
    for (size_t k = 0; k < q; k += 4) {
        const __m128 lo = _mm_load_ps(src + 2 * k), hi = _mm_load_ps(src + 2 * k + 4);
        const __m128 re = L::Evens(lo, hi), im = L::Odds(lo, hi);
        __m128 front, back;
        // v_2k = c re + s im and v_(h+2k) = c im - s re.
        Turn(_mm_load_ps(table + 2 * k), _mm_load_ps(table + 2 * k + 4), re, im, front, back);
        _mm_store_ps(scratch + k, front);
        _mm_store_ps(scratch + q + k, back);
    }
    const size_t split = 3 * q / 2;
    for (size_t i = 0; i < split; i += 4) {
        const __m128 e = _mm_load_ps(scratch + i + q / 2);
        const __m128 o = Reverse(_mm_load_ps(scratch + h - 4 - i - q / 2));
        Complex{e, Negate(o)}.StoreInterleaved(dst + 2 * i);
    }
    for (size_t i = split; i < h; i += 4) {
        const __m128 e = _mm_load_ps(scratch + i - split);
        const __m128 o = Reverse(_mm_load_ps(scratch + h - 4 - i + split));
        Complex{Negate(e), o}.StoreInterleaved(dst + 2 * i);
    }
}

}  // namespace Prim
