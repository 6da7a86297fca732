// The radix passes of the SSE2 build of the 32-bit transform: a first stage of 16 points
// per step (radix 4 then radix 4, or radix 4 then radix 2 for odd orders), radix-4 stages
// on the quad layout, and the way back to interleaved points.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <Primitives/Prim/Fft/FftComplexF32Sse2.h>

#include <bit>
#include <cstring>

namespace Prim {
namespace {

using namespace FftQuad;

// W_8^j for j = 0..3 in the lanes; the constant is the float one unit above the float
// nearest to sqrt(0.5), as this build has always used.
constexpr float C8 = 0.70710683f;
alignas(16) constexpr float W8[8] = {1.0f, C8, 0.0f, -C8, 0.0f, -C8, -1.0f, -C8};

// p[r] holds in lane k the bit-reversed position 4k + r of a 16-point step. The span-4
// stage runs across r; then the transposed values p[k] (lane j: position 4k + j) meet in
// the span-16 radix-4 stage (tw16: the table's first block) or, for odd orders, in two
// span-8 radix-2 butterflies. p[0..3] then hold positions 0-3, 4-7, 8-11 and 12-15.
template <bool Inverse>
inline void FirstStage(Quad p[4], bool odd, const float* tw16) {
    Combine4<Inverse>(p[0], p[1], p[2], p[3]);
    Transpose(p[0], p[1], p[2], p[3]);
    if (odd) {
        Butterfly2<Inverse>(p[0], p[1], W8);
        Butterfly2<Inverse>(p[2], p[3], W8);
    } else {
        Butterfly4<Inverse>(p[0], p[1], p[2], p[3], tw16);
    }
}

// The radix-4 stages after the first, each reading its section of the table.
template <bool Inverse>
void UpperStages(float* work, uint64_t count, bool odd, const float* twiddles) {
    const float* tw = odd ? twiddles : twiddles + 24;
    for (uint64_t span = odd ? 32 : 64; span <= count; span *= 4) {
        const uint64_t quarter = span / 4;
        for (uint64_t base = 0; base < count; base += span) {
            float* a = work + 2 * base;
            const float* w = tw;
            for (uint64_t j = 0; j < quarter; j += 4, w += 24) {
                float* pa = a + 2 * j;
                Quad qa = Quad::Load(pa), qb = Quad::Load(pa + 2 * quarter), qc = Quad::Load(pa + 4 * quarter),
                     qd = Quad::Load(pa + 6 * quarter);
                Butterfly4<Inverse>(qa, qb, qc, qd, w);
                qa.Store(pa);
                qb.Store(pa + 2 * quarter);
                qc.Store(pa + 4 * quarter);
                qd.Store(pa + 6 * quarter);
            }
        }
        tw += 6 * quarter;
    }
}

void ToInterleaved(const float* work, float* dst, uint64_t count) {
    const bool aligned = Aligned16(dst);
    for (uint64_t p = 0; p < count; p += 4) StoreInterleaved(dst + 2 * p, Quad::Load(work + 2 * p), aligned);
}

// 8 points make half a step: lanes 2 and 3 repeat lanes 0 and 1 and are not stored.
void StoreFirst(float* work, const Quad p[4], uint64_t count) {
    p[0].Store(work);
    p[1].Store(work + 8);
    if (count >= 16) {
        p[2].Store(work + 16);
        p[3].Store(work + 24);
    }
}

template <bool Inverse>
void BitRevRadix(
    const float* src, float* dst, uint32_t count, const float* twiddles, const int32_t* bitRev, float* buffer) {
    float* work = src != dst && Aligned16(dst) ? dst : buffer;
    const bool odd = std::countr_zero(count) % 2 != 0;
    // Word i of the table is 2 rev(i): the float offset of the point whose reversal is 4i;
    // 4i + 1, 4i + 2 and 4i + 3 come from the same point of the third, second and fourth quarters.
    const uint64_t quarterFloats = count / 2;
    const uint64_t offsets[4] = {0, 2 * quarterFloats, quarterFloats, 3 * quarterFloats};
    const uint64_t words = count / 4;
    for (uint64_t i = 0; i < words; i += 4) {
        const int32_t* w = bitRev + i;
        const int32_t w2 = words >= 4 ? w[2] : w[0], w3 = words >= 4 ? w[3] : w[1];
        Quad p[4];
        for (int r = 0; r < 4; ++r) {
            const float* s = src + offsets[r];
            p[r] = LoadPoints(s + w[0], s + w[1], s + w2, s + w3);
        }
        FirstStage<Inverse>(p, odd, twiddles);
        StoreFirst(work + 8 * i, p, count);
    }
    UpperStages<Inverse>(work, count, odd, twiddles);
    ToInterleaved(work, dst, count);
}

template <bool Inverse>
void Radix(float* data, uint32_t count, const float* twiddles, float* buffer, int interleave) {
    float* work = Aligned16(data) ? data : buffer;
    const bool odd = std::countr_zero(count) % 2 != 0;
    for (uint64_t base = 0; base < count; base += 16) {
        const float* in = data + 2 * base;
        Quad p[4];
        p[0] = Quad::LoadInterleaved(in);
        p[1] = Quad::LoadInterleaved(in + 8);
        p[2] = count >= 16 ? Quad::LoadInterleaved(in + 16) : p[0];
        p[3] = count >= 16 ? Quad::LoadInterleaved(in + 24) : p[1];
        Transpose(p[0], p[1], p[2], p[3]);
        FirstStage<Inverse>(p, odd, twiddles);
        StoreFirst(work + 2 * base, p, count);
    }
    UpperStages<Inverse>(work, count, odd, twiddles);
    if (interleave)
        ToInterleaved(work, data, count);
    else if (work != data)
        std::memcpy(data, work, 8 * uint64_t{count});
}

}  // namespace

void FftBitRevRadixFwdF32_sse2(
    const float* src, float* dst, uint32_t count, const float* twiddles, const int32_t* bitRev, float* buffer) {
    BitRevRadix<false>(src, dst, count, twiddles, bitRev, buffer);
}

void FftBitRevRadixInvF32_sse2(
    const float* src, float* dst, uint32_t count, const float* twiddles, const int32_t* bitRev, float* buffer) {
    BitRevRadix<true>(src, dst, count, twiddles, bitRev, buffer);
}

void FftRadixFwdF32_sse2(float* data, uint32_t count, const float* twiddles, float* buffer, int interleave) {
    Radix<false>(data, count, twiddles, buffer, interleave);
}

void FftRadixInvF32_sse2(float* data, uint32_t count, const float* twiddles, float* buffer, int interleave) {
    Radix<true>(data, count, twiddles, buffer, interleave);
}

// From the end: single floats down to a 16-byte boundary, blocks of eight, then the rest.
void FftScaleF32_sse2(float factor, float* data, uint32_t n) {
    const __m128 f = _mm_set1_ps(factor);
    uint64_t end = n;
    while (end > 0 && !Aligned16(data + end)) {
        --end;
        data[end] *= factor;
    }
    for (; end >= 8; end -= 8) {
        float* p = data + end - 8;
        _mm_store_ps(p, _mm_mul_ps(_mm_load_ps(p), f));
        _mm_store_ps(p + 4, _mm_mul_ps(_mm_load_ps(p + 4), f));
    }
    while (end > 0) {
        --end;
        data[end] *= factor;
    }
}

}  // namespace Prim
