// SSE2 large-order path. The data, in bit-reversed order, is G = 2^s rows of R = 2^r
// values: each row is transformed as a leaf (or split again), then the s upper stages run
// block by block of columns. A block holds the same columns of every row, which is all
// that those stages mix, so it is gathered into the work buffer, taken through the radix-4
// steps (and a radix-2 tail for odd s) with the twiddles of the level's matrix, read in the
// order they are stored, and scattered back.
#include <Primitives/Prim/Fft/FftKernelsF64Sse2.h>

#include <Primitives/Prim/Fft/FftComplexF64Sse2.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

namespace Prim {
namespace {

using namespace FftPair;

template <bool Inverse>
const double* Step(double* block, uint32_t rows, uint32_t columns, uint32_t quarter, const double* twiddles) {
    const uint64_t rowStride = 2 * uint64_t{columns};
    const uint64_t q = quarter * rowStride;
    const double* w = twiddles;
    for (uint64_t base = 0; base < rows; base += 4 * uint64_t{quarter}) {
        w = twiddles;
        for (uint64_t sub = 0; sub < quarter; ++sub) {
            double* p = block + (base + sub) * rowStride;
            for (uint64_t g = 0; g < 2 * uint64_t{columns}; g += 4, w += 12) {
                double* pa = p + g;
                Pair a = Pair::Load(pa), b = Pair::Load(pa + q), c = Pair::Load(pa + 2 * q), d = Pair::Load(pa + 3 * q);
                Radix4<Inverse>(a, b, c, d, w);
                a.Store(pa);
                b.Store(pa + q);
                c.Store(pa + 2 * q);
                d.Store(pa + 3 * q);
            }
        }
    }
    return w;
}

template <bool Inverse>
const double* Tail(double* block, uint32_t rows, uint32_t columns, const double* w) {
    const uint64_t rowStride = 2 * uint64_t{columns};
    const uint64_t half = rows / 2 * rowStride;
    for (uint64_t i = 0; i < half; i += 4, w += 4) {
        double* pa = block + i;
        const Pair a = Pair::Load(pa);
        const Pair t = MulTable<Inverse>(Pair::Load(pa + half), w);
        (a + t).Store(pa);
        (a - t).Store(pa + half);
    }
    return w;
}

// The rows of the split step: interleaved pairs (left paired by the leaves and interleaved
// again by the scatter at level 0), or the two arrays of a split-complex transform.
struct PairsRows {
    double* data;
    PairsRows At(uint64_t i) const { return {data + 2 * i}; }
    template <bool Inverse>
    void Leaf(uint32_t count, const double* twiddles, double* buffer) const {
        if (Inverse)
            FftRadixInvF64_sse2(data, count, twiddles, buffer, false);
        else
            FftRadixFwdF64_sse2(data, count, twiddles, buffer, false);
    }
    void Scale(uint32_t count, double factor) const { FftScaleF64_sse2(factor, data, 2 * count); }
    void Gather(uint64_t rowLength, uint32_t rows, uint32_t columns, double* block) const {
        FftGatherColumnsC64_sse2(data, rowLength, rows, columns, block);
    }
    void Scatter(const double* block, uint64_t rowLength, uint32_t rows, uint32_t columns, int level) const {
        FftScatterColumnsC64_sse2(block, data, rowLength, rows, columns, level == 0);
    }
};

struct SplitRows {
    double* re;
    double* im;
    SplitRows At(uint64_t i) const { return {re + i, im + i}; }
    template <bool Inverse>
    void Leaf(uint32_t count, const double* twiddles, double* buffer) const {
        if (Inverse)
            FftRadixSplitLeafInvF64_sse2(re, im, count, twiddles, buffer);
        else
            FftRadixSplitLeafFwdF64_sse2(re, im, count, twiddles, buffer);
    }
    void Scale(uint32_t count, double factor) const {
        FftScaleF64_sse2(factor, re, count);
        FftScaleF64_sse2(factor, im, count);
    }
    // The block holds each row's columns paired: two real parts, then their imaginary parts.
    void Gather(uint64_t rowLength, uint32_t rows, uint32_t columns, double* block) const {
        for (uint64_t t = 0; t < rows; ++t, block += 2 * uint64_t{columns}) {
            const uint64_t row = rowLength * t;
            for (uint64_t i = 0; i < columns; i += 2) {
                _mm_store_pd(block + 2 * i, _mm_loadu_pd(re + row + i));
                _mm_store_pd(block + 2 * i + 2, _mm_loadu_pd(im + row + i));
            }
        }
    }
    void Scatter(const double* block, uint64_t rowLength, uint32_t rows, uint32_t columns, int) const {
        for (uint64_t t = 0; t < rows; ++t, block += 2 * uint64_t{columns}) {
            const uint64_t row = rowLength * t;
            for (uint64_t i = 0; i < columns; i += 2) {
                _mm_storeu_pd(re + row + i, _mm_load_pd(block + 2 * i));
                _mm_storeu_pd(im + row + i, _mm_load_pd(block + 2 * i + 2));
            }
        }
    }
};

template <bool Inverse, class Rows>
void Split(const FftSpecRealF64* spec, const Rows& data, int p, int level, double* buffer) {
    const FftSse2Split split = FftSplitSse2F64(spec, p);
    const int r = p - split.split;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << split.split;
    const uint32_t columns = uint32_t{1} << (split.block - split.split);

    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    const bool scale = FftScaleFlag<Inverse>(spec);
    for (uint32_t t = 0; t < rows; ++t) {
        const Rows row = data.At(uint64_t{rowLength} * t);
        if (r <= FftSse2ThresholdF64) {
            row.template Leaf<Inverse>(rowLength, twiddles, buffer);
            if (scale) row.Scale(rowLength, spec->factor);
        } else {
            Split<Inverse>(spec, row, r, level + 1, buffer);
        }
    }

    const double* matrix = FftTable(spec, FftSlotSplitMatrix0 + level);
    double* block = buffer + 2 * uint64_t{FftSse2LeafValues};
    for (uint32_t c0 = 0; c0 < rowLength; c0 += columns) {
        const Rows first = data.At(c0);
        first.Gather(rowLength, rows, columns, block);
        for (uint32_t quarter = 1; 4 * quarter <= rows; quarter *= 4) {
            matrix = Inverse ? FftRadixInvStepF64_sse2(block, rows, columns, quarter, matrix)
                             : FftRadixFwdStepF64_sse2(block, rows, columns, quarter, matrix);
        }
        if (split.split % 2 != 0) {
            matrix = Inverse ? FftRadixInvTailF64_sse2(block, rows, columns, matrix)
                             : FftRadixFwdTailF64_sse2(block, rows, columns, matrix);
        }
        first.Scatter(block, rowLength, rows, columns, level);
    }
}

}  // namespace

void FftGatherColumnsC64_sse2(const double* data, uint64_t rowLength, uint32_t rows, uint32_t columns, double* block) {
    const uint64_t width = 2 * uint64_t{columns};
    for (uint64_t t = 0; t < rows; ++t) {
        const double* in = data + 2 * rowLength * t;
        double* out = block + width * t;
        for (uint64_t i = 0; i < width; i += 2) _mm_store_pd(out + i, _mm_loadu_pd(in + i));
    }
}

void FftScatterColumnsC64_sse2(
    const double* block, double* data, uint64_t rowLength, uint32_t rows, uint32_t columns, bool interleave) {
    const uint64_t width = 2 * uint64_t{columns};
    for (uint64_t t = 0; t < rows; ++t) {
        const double* in = block + width * t;
        double* out = data + 2 * rowLength * t;
        if (interleave) {
            for (uint64_t i = 0; i < width; i += 4) Pair::Load(in + i).StoreInterleaved(out + i);
        } else {
            for (uint64_t i = 0; i < width; i += 2) _mm_storeu_pd(out + i, _mm_load_pd(in + i));
        }
    }
}

const double* FftRadixFwdStepF64_sse2(
    double* block, uint32_t rows, uint32_t columns, uint32_t quarter, const double* twiddles) {
    return Step<false>(block, rows, columns, quarter, twiddles);
}
const double* FftRadixInvStepF64_sse2(
    double* block, uint32_t rows, uint32_t columns, uint32_t quarter, const double* twiddles) {
    return Step<true>(block, rows, columns, quarter, twiddles);
}
const double* FftRadixFwdTailF64_sse2(double* block, uint32_t rows, uint32_t columns, const double* twiddles) {
    return Tail<false>(block, rows, columns, twiddles);
}
const double* FftRadixInvTailF64_sse2(double* block, uint32_t rows, uint32_t columns, const double* twiddles) {
    return Tail<true>(block, rows, columns, twiddles);
}

void FftSplitFwdF64_sse2(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    Split<false>(spec, PairsRows{data}, m, level, buffer);
}
void FftSplitInvF64_sse2(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    Split<true>(spec, PairsRows{data}, m, level, buffer);
}
void FftRecursiveFwdF64_sse2(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    Split<false>(spec, PairsRows{data}, m, 0, buffer);
}
void FftRecursiveInvF64_sse2(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    Split<true>(spec, PairsRows{data}, m, 0, buffer);
}
void FftRecursiveSplitFwdF64_sse2(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer) {
    Split<false>(spec, SplitRows{re, im}, m, 0, buffer);
}
void FftRecursiveSplitInvF64_sse2(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer) {
    Split<true>(spec, SplitRows{re, im}, m, 0, buffer);
}

}  // namespace Prim
