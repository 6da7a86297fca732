// The record of the MDCT's quarter-length complex FFT: its pair tables, its bit-reversal
// list, and the runner that permutes by the list and then calls the build's passes.
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Fft/FftMemory.h>
#include <Primitives/Prim/Fft/MdctKernels.h>

#include <cmath>
#include <cstring>

namespace Prim {
namespace {

int32_t ReverseBits(int32_t i, int32_t bits) {
    int32_t r = 0;
    for (int32_t b = 0; b < bits; ++b) r = (r << 1) | ((i >> b) & 1);
    return r;
}

void FillBitRevList(int32_t* list, int32_t n, int32_t order) {
    for (int32_t i = 0; i < n / 2; i += 2) {
        const int32_t j = ReverseBits(i, order);
        if (i < j) {
            *list++ = i;
            *list++ = j;
        }
    }
    for (int32_t i = 0; i < n / 2; i += 2) {
        if (ReverseBits(i, order) == i) *list++ = i;
    }
    *list = 0;
}

// Entry j of stage s turns by 2 pi j / 2^(s+1), the angle formed in extended precision.
void FillPairTables(float* sine, float* cosine, int32_t n, int32_t order) {
    for (int32_t s = 2; s < order; ++s) {
        const size_t offset = 2 * ((size_t{1} << s) - 4);
        const long double stride = std::ldexp(1.0L, order - s - 1);
        for (size_t j = 0; j < (size_t{1} << s); ++j) {
            const auto angle = static_cast<double>((static_cast<long double>(j) * 6.283185307179586L) * stride / n);
            const auto c = static_cast<float>(std::cos(angle));
            const auto v = static_cast<float>(std::sin(angle));
            cosine[offset + 2 * j] = cosine[offset + 2 * j + 1] = c;
            sine[offset + 2 * j] = v;
            sine[offset + 2 * j + 1] = -v;
        }
    }
}

template <Status (*Zero)(uint8_t*, int32_t)>
Status SpecInit(CosFftSpecC32** out, int32_t n) {
    if (!out) return StatusNullPointer;
    auto* spec = static_cast<CosFftSpecC32*>(FftAllocBytes(sizeof(CosFftSpecC32)));
    if (!spec) return StatusNoMemory;
    Zero(reinterpret_cast<uint8_t*>(spec), static_cast<int32_t>(sizeof(CosFftSpecC32)));
    spec->n = n;
    auto* sine = FftAllocArray<float>(4 * uint64_t(n));
    auto* cosine = FftAllocArray<float>(4 * uint64_t(n));
    auto* list = sine && cosine ? FftAllocArray<int32_t>(uint64_t(n)) : nullptr;
    if (!list) {
        FreeDirect(cosine);
        FreeDirect(sine);
        FreeDirect(spec);
        return StatusNoMemory;
    }
    spec->sinePairs = spec->sineBlock = sine;
    spec->cosinePairs = spec->cosineBlock = cosine;
    spec->bitRev = list;
    while ((int32_t{1} << spec->order) < n) ++spec->order;
    FillBitRevList(list, n, spec->order);
    FillPairTables(sine, cosine, n, spec->order);
    *out = spec;
    return StatusOk;
}

void Swap(float* data, size_t i, size_t j) {
    uint64_t a, b;
    std::memcpy(&a, data + 2 * i, 8);
    std::memcpy(&b, data + 2 * j, 8);
    std::memcpy(data + 2 * i, &b, 8);
    std::memcpy(data + 2 * j, &a, 8);
}

// A pair (i, j) stands for four swaps and a self-reversed i for one. The 0 that ends the
// pairs is the self-reversed 0 itself, so 1 and n/2 are still exchanged.
void BitReverse(const CosFftSpecC32* spec, float* data) {
    const size_t half = static_cast<size_t>(spec->n) / 2;
    const int32_t* p = spec->bitRev;
    for (; *p != 0; p += 2) {
        const auto i = static_cast<size_t>(p[0]), j = static_cast<size_t>(p[1]);
        Swap(data, i, j);
        Swap(data, i + 1, half + j);
        Swap(data, half + i, j + 1);
        Swap(data, half + i + 1, half + j + 1);
    }
    do {
        const auto i = static_cast<size_t>(*p);
        Swap(data, i + 1, half + i);
    } while (*++p != 0);
}

}  // namespace

Status CosFftSpecInit_x87(CosFftSpecC32** spec, int32_t n) { return SpecInit<&ZeroU8_x87>(spec, n); }
Status CosFftSpecInit_sse2(CosFftSpecC32** spec, int32_t n) { return SpecInit<&ZeroU8_sse2>(spec, n); }

Status CosFftSpecFree(CosFftSpecC32* spec) {
    if (!spec) return StatusNullPointer;
    FreeDirect(spec->cosineBlock);
    FreeDirect(spec->sineBlock);
    FreeDirect(spec->bitRev);
    FreeDirect(spec);
    return StatusOk;
}

void CosFftRun_x87(const CosFftSpecC32* spec, float* data) {
    BitReverse(spec, data);
    CosFftRadix2_x87(spec, data);
}

void CosFftRun_sse2(const CosFftSpecC32* spec, float* data) {
    BitReverse(spec, data);
    CosFftRadix2_sse2(data, spec->n, spec->order, spec->cosinePairs, spec->sinePairs);
}

}  // namespace Prim
