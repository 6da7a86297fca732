// The large-order path of the x87 build of the 32-bit transform (complex order 11 and
// above): rows and columns by the per-order split table, or 1024-point blocks joined by
// radix-2 stages. Every value is scaled once, where its row or block is transformed.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

#include <algorithm>

namespace Prim {
namespace {

using namespace FftX87;

constexpr uint32_t BlockLength = 1024;
constexpr uint32_t StripFloats = 256;
constexpr uint32_t MaxStripPoints = StripFloats / 2;

template <bool Inverse>
void Radix(float* data, uint32_t count, const float* twiddles) {
    if (Inverse)
        FftRadixInvF32_x87(data, count, twiddles);
    else
        FftRadixFwdF32_x87(data, count, twiddles);
}

// u + v and u - v with v = w l; in the second quarter of a span w is turned by -i (+i in
// the inverse, whose roots come conjugated).
template <bool Inverse, bool SecondQuarter>
inline void Butterfly2(float* pu, float* pl, const Root& w) {
    Cplx v = Mul(Load(pl), w);
    if (SecondQuarter) v = Inverse ? TimesI(v) : TimesMinusI(v);
    const Cplx u = Load(pu);
    Store(pu, u + v);
    Store(pl, u - v);
}

// Each level joins neighbouring transforms of half-span h; the points p and p + h/2 of a
// strip share one root, W_2h^p, which the strip prepares once for all groups.
template <bool Inverse>
void Radix2Stages(float* data, uint32_t count, uint32_t blockLength, const float* quarterRoots, uint32_t strip) {
    // A longer strip than the roots kept here changes nothing but the walk.
    const uint64_t stripPoints = std::clamp<uint64_t>(strip / 2, 1, MaxStripPoints);
    Root roots[MaxStripPoints];
    for (uint64_t h = blockLength; h < count; h *= 2) {
        const uint64_t quarter = h / 2;
        const uint64_t rootStep = count / (2 * h);
        for (uint64_t first = 0; first < quarter; first += stripPoints) {
            const uint64_t last = std::min(first + stripPoints, quarter);
            for (uint64_t p = first; p < last; ++p)
                roots[p - first] = LoadRoot<Inverse>(quarterRoots + 2 * p * rootStep);
            for (uint64_t base = 0; base < count; base += 2 * h) {
                float* group = data + 2 * base;
                for (uint64_t p = first; p < last; ++p)
                    Butterfly2<Inverse, false>(group + 2 * p, group + 2 * (p + h), roots[p - first]);
                for (uint64_t p = first; p < last; ++p)
                    Butterfly2<Inverse, true>(
                        group + 2 * (p + quarter), group + 2 * (p + quarter + h), roots[p - first]);
            }
        }
    }
}

template <bool Inverse>
void Blocked(const FftSpecRealF32* spec, float* data, uint32_t count) {
    const float* twiddles = FftTable(spec, FftSlotTwiddle);
    const bool scale = FftScaleFlag<Inverse>(spec);
    for (uint32_t block = count / BlockLength; block-- > 0;) {
        float* leaf = data + 2 * uint64_t{BlockLength} * block;
        Radix<Inverse>(leaf, BlockLength, twiddles);
        if (scale) FftScaleF32_x87(spec->factor, leaf, 2 * BlockLength);
    }
    Radix2Stages<Inverse>(data, count, BlockLength, FftTable(spec, FftSlotQuarterRoots), StripFloats);
}

// count = R K points as K rows of R. Row b holds the transform of the inputs whose index
// is rev(b) modulo K, so after the rows, column k of row b takes W_count^(rev(b) k) (the
// level's matrix, four columns at a time) and the K-point column transforms finish it.
template <bool Inverse>
void Split(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer) {
    const int t = FftSplitOrderX87F32(m);
    const int r = m - t;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << t;

    const float* twiddles = FftTable(spec, FftSlotTwiddle);
    const bool scale = FftScaleFlag<Inverse>(spec);
    for (uint32_t b = 0; b < rows; ++b) {
        float* row = data + 2 * uint64_t{rowLength} * b;
        if (r <= FftX87ThresholdF32) {
            Radix<Inverse>(row, rowLength, twiddles);
            if (scale) FftScaleF32_x87(spec->factor, row, 2 * rowLength);
        } else if (FftSplitOrderX87F32(r) == 0) {
            Blocked<Inverse>(spec, row, rowLength);
        } else {
            Split<Inverse>(spec, row, r, depth + 1, buffer);
        }
    }

    const float* matrix = FftTable(spec, FftSlotSplitMatrix0 + depth);
    const float* columnTwiddles = FftTable(spec, FftSlotSplitTwiddle0 + depth);
    const uint64_t rowStride = 2 * uint64_t{rowLength};
    const uint64_t arrayStride = 2 * uint64_t{rows};
    for (uint32_t g = 0; g < rowLength; g += 4) {
        const float* in = data + 2 * uint64_t{g};
        for (uint32_t b = 0; b < rows; ++b, in += rowStride, matrix += 8) {
            for (uint32_t q = 0; q < 4; ++q)
                Store(buffer + q * arrayStride + 2 * b, Mul(Load(in + 2 * q), LoadRoot<Inverse>(matrix + 2 * q)));
        }
        if (Inverse)
            FftRadixVectorsInvF32_x87(buffer, rows, 4, columnTwiddles);
        else
            FftRadixVectorsFwdF32_x87(buffer, rows, 4, columnTwiddles);
        float* out = data + 2 * uint64_t{g};
        for (uint32_t b = 0; b < rows; ++b, out += rowStride) {
            for (uint32_t q = 0; q < 4; ++q) __builtin_memcpy(out + 2 * q, buffer + q * arrayStride + 2 * b, 8);
        }
    }
}

template <bool Inverse>
void Recursive(const FftSpecRealF32* spec, float* data, int m, float* buffer) {
    if (FftSplitOrderX87F32(m) != 0)
        Split<Inverse>(spec, data, m, 0, buffer);
    else
        Blocked<Inverse>(spec, data, uint32_t{1} << m);
}

}  // namespace

void FftRecursiveFwdF32_x87(const FftSpecRealF32* spec, float* data, int m, float* buffer) {
    Recursive<false>(spec, data, m, buffer);
}
void FftRecursiveInvF32_x87(const FftSpecRealF32* spec, float* data, int m, float* buffer) {
    Recursive<true>(spec, data, m, buffer);
}
void FftSplitFwdF32_x87(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer) {
    Split<false>(spec, data, m, depth, buffer);
}
void FftSplitInvF32_x87(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer) {
    Split<true>(spec, data, m, depth, buffer);
}
void FftBlockedFwdF32_x87(const FftSpecRealF32* spec, float* data, uint32_t count, float*) {
    Blocked<false>(spec, data, count);
}
void FftBlockedInvF32_x87(const FftSpecRealF32* spec, float* data, uint32_t count, float*) {
    Blocked<true>(spec, data, count);
}
void FftRadix2StagesF32_x87(
    float* data, uint32_t count, uint32_t blockLength, const float* quarterRoots, int direction, uint32_t strip) {
    if (direction != 0)
        Radix2Stages<false>(data, count, blockLength, quarterRoots, strip);
    else
        Radix2Stages<true>(data, count, blockLength, quarterRoots, strip);
}

}  // namespace Prim
