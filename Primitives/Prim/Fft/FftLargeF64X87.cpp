#include <Primitives/Prim/Fft/FftKernelsF64X87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

namespace Prim {
namespace {

using namespace FftX87;

constexpr uint32_t LeafLength = 512;
constexpr uint32_t CombineColumnBlock = 128;

// The complete transform of a leaf or row of split arrays, and its scaling.
template <bool Inverse>
void Radix(SplitView v, uint32_t count, const double* twiddles) {
    if (Inverse)
        FftRadixSplitInvF64_x87(v.re, v.im, count, twiddles);
    else
        FftRadixSplitFwdF64_x87(v.re, v.im, count, twiddles);
}

void Scale(SplitView v, uint32_t count, double factor) {
    FftScaleF64_x87(factor, v.re, count);
    FftScaleF64_x87(factor, v.im, count);
}

// u + w l and u - w l, w taken times -i (+i in the inverse, whose roots come conjugated)
// for the second half of a span.
template <bool Inverse, bool SecondHalf>
inline void Butterfly2(Cplx& u, Cplx& l, const Root& w) {
    Cplx t = Mul(l, w);
    if (SecondHalf) t = Inverse ? TimesI(t) : TimesMinusI(t);
    l = u - t;
    u = u + t;
}

// One radix-2 stage of the given span. Column j takes w = W_2span^j from the
// quarter-circle roots, column j + span/2 takes -i w.
template <bool Inverse, class V>
void CombineStage(V v, uint32_t count, uint32_t span, const double* roots, uint32_t halfBlock) {
    const uint32_t rootStep = count / (2 * span);
    const uint32_t halfSpan = span / 2;
    for (uint32_t first = 0; first < halfSpan; first += halfBlock) {
        const uint32_t last = first + halfBlock < halfSpan ? first + halfBlock : halfSpan;
        for (uint32_t j = first; j < last; ++j) {
            const Root w = LoadRoot<Inverse>(roots + 2 * uint64_t{j} * rootStep);
            for (uint32_t base = 0; base < count; base += 2 * span) {
                const uint64_t p0 = uint64_t{base} + j, p1 = p0 + halfSpan, p2 = p0 + span, p3 = p2 + halfSpan;
                Cplx a = v.Get(p0), b = v.Get(p2), c = v.Get(p1), d = v.Get(p3);
                Butterfly2<Inverse, false>(a, b, w);
                Butterfly2<Inverse, true>(c, d, w);
                v.Put(p0, a);
                v.Put(p2, b);
                v.Put(p1, c);
                v.Put(p3, d);
            }
        }
    }
}

// Two stages (span, 2 span) in one sweep: the eight values a column j touches in both
// stages stay in registers. Every butterfly is the one of the stage-by-stage walk.
template <bool Inverse, class V>
void CombineTwoStages(V v, uint32_t count, uint32_t span, const double* roots, uint32_t halfBlock) {
    const uint32_t step1 = count / (2 * span);
    const uint32_t step2 = count / (4 * span);
    const uint32_t h = span / 2;
    const uint64_t s = span;
    for (uint32_t first = 0; first < h; first += halfBlock) {
        const uint32_t last = first + halfBlock < h ? first + halfBlock : h;
        for (uint32_t j = first; j < last; ++j) {
            const Root w1 = LoadRoot<Inverse>(roots + 2 * uint64_t{j} * step1);
            const Root w2a = LoadRoot<Inverse>(roots + 2 * uint64_t{j} * step2);
            const Root w2b = LoadRoot<Inverse>(roots + 2 * (uint64_t{j} + h) * step2);
            for (uint32_t base = 0; base < count; base += 4 * span) {
                const uint64_t p = uint64_t{base} + j;
                const uint64_t at[8] = {p, p + h, p + s, p + s + h, p + 2 * s, p + 2 * s + h, p + 3 * s, p + 3 * s + h};
                Cplx x[8];
                for (int i = 0; i < 8; ++i) x[i] = v.Get(at[i]);
                // span: (j, j+s) and (j+2s, j+3s) with w1; the columns j+h with -i w1
                Butterfly2<Inverse, false>(x[0], x[2], w1);
                Butterfly2<Inverse, true>(x[1], x[3], w1);
                Butterfly2<Inverse, false>(x[4], x[6], w1);
                Butterfly2<Inverse, true>(x[5], x[7], w1);
                // 2 span: columns j, j+h with W_4s^j, W_4s^(j+h); columns j+s, j+s+h with -i times those
                Butterfly2<Inverse, false>(x[0], x[4], w2a);
                Butterfly2<Inverse, false>(x[1], x[5], w2b);
                Butterfly2<Inverse, true>(x[2], x[6], w2a);
                Butterfly2<Inverse, true>(x[3], x[7], w2b);
                for (int i = 0; i < 8; ++i) v.Put(at[i], x[i]);
            }
        }
    }
}

template <bool Inverse, class V>
void Combine(V v, uint32_t count, uint32_t startSpan, const double* roots, uint32_t columnBlock) {
    const uint32_t halfBlock = columnBlock / 2;
    uint32_t span = startSpan;
    while (span < count) {
        if (4 * uint64_t{span} <= count) {
            CombineTwoStages<Inverse>(v, count, span, roots, halfBlock);
            span *= 4;
        } else {
            CombineStage<Inverse>(v, count, span, roots, halfBlock);
            span *= 2;
        }
    }
}

template <bool Inverse, class V>
void Blocked(const FftSpecRealF64* spec, V v, uint32_t count) {
    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    const bool scale = FftScaleFlag<Inverse>(spec);
    for (uint32_t block = count / LeafLength; block-- > 0;) {
        const V leaf = v.At(uint64_t{LeafLength} * block);
        Radix<Inverse>(leaf, LeafLength, twiddles);
        if (scale) Scale(leaf, LeafLength, spec->factor);
    }
    Combine<Inverse>(v, count, LeafLength, FftTable(spec, FftSlotQuarterRoots), CombineColumnBlock);
}

template <bool Inverse, class V>
void Split(const FftSpecRealF64* spec, V v, int m, int level, double* buffer) {
    const int s = FftSplitOrderX87F64(spec, m);
    const int r = m - s;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << s;

    // Row t holds x_(n*G + rev_s(t)) in bit-reversed order of n: transform each row.
    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    const bool scale = FftScaleFlag<Inverse>(spec);
    for (uint32_t t = 0; t < rows; ++t) {
        const V row = v.At(uint64_t{rowLength} * t);
        if (r <= FftX87ThresholdF64) {
            Radix<Inverse>(row, rowLength, twiddles);
            if (scale) Scale(row, rowLength, spec->factor);
        } else if (FftSplitOrderX87F64(spec, r) != 0) {
            Split<Inverse>(spec, row, r, level + 1, buffer);
        } else {
            Blocked<Inverse>(spec, row, rowLength);
        }
    }

    // Columns, four at a time: twiddle into the buffer, transform, write back in natural order.
    // The write-back of one group and the gather of the next share their sweep down the rows:
    // both touch the same stretch of each row, which a separate sweep would fetch again.
    const double* matrix = FftTable(spec, FftSlotSplitMatrix0 + level);
    const double* columnTwiddles = FftTable(spec, FftSlotSplitTwiddle0 + level);
    const uint64_t columnStride = 2 * uint64_t{rows};
    auto gather = [&](double* slot, uint64_t in, const double* roots) {
        for (uint32_t c = 0; c < 4; ++c)
            Store(slot + c * columnStride, Mul(v.Get(in + c), LoadRoot<Inverse>(roots + 2 * c)));
    };
    for (uint32_t t = 0; t < rows; ++t, matrix += 8) gather(buffer + 2 * t, uint64_t{rowLength} * t, matrix);
    for (uint32_t k = 0; k < rowLength; k += 4) {
        if (Inverse)
            FftRadixVectorsInvF64_x87(buffer, rows, 4, columnTwiddles);
        else
            FftRadixVectorsFwdF64_x87(buffer, rows, 4, columnTwiddles);
        uint64_t out = k;
        if (k + 4 < rowLength) {
            for (uint32_t l = 0; l < rows; ++l, out += rowLength, matrix += 8) {
                double* slot = buffer + 2 * l;
                for (uint32_t c = 0; c < 4; ++c) v.Put(out + c, Load(slot + c * columnStride));
                gather(slot, out + 4, matrix);
            }
        } else {
            for (uint32_t l = 0; l < rows; ++l, out += rowLength) {
                for (uint32_t c = 0; c < 4; ++c) v.Put(out + c, Load(buffer + 2 * l + c * columnStride));
            }
        }
    }
}

template <bool Inverse, class V>
void Recursive(const FftSpecRealF64* spec, V v, int m, double* buffer) {
    if (FftSplitOrderX87F64(spec, m) != 0)
        Split<Inverse>(spec, v, m, 0, buffer);
    else
        Blocked<Inverse>(spec, v, uint32_t{1} << m);
}

}  // namespace

void FftRecursiveSplitFwdF64_x87(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer) {
    Recursive<false>(spec, SplitView{re, im}, m, buffer);
}
void FftRecursiveSplitInvF64_x87(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer) {
    Recursive<true>(spec, SplitView{re, im}, m, buffer);
}
void FftCombineF64_x87(
    double* data, uint32_t count, uint32_t startSpan, const double* quarterRoots, int forward, uint32_t columnBlock) {
    if (forward)
        Combine<false>(PairsView<double>{data}, count, startSpan, quarterRoots, columnBlock);
    else
        Combine<true>(PairsView<double>{data}, count, startSpan, quarterRoots, columnBlock);
}

}  // namespace Prim
