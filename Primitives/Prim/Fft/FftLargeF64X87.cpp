#include <Primitives/Prim/Fft/FftKernelsF64X87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftPassesX87.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

#include <bit>

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

// Interleaved doubles take the passes of FftPassesX87.h: rows (or leaves) two at a time, read
// straight from the caller's array through the bit reversal when there is one, and columns
// two at a time through the work buffer. The split orders give rows and columns of 2^4 values
// and more, as these passes need; the generic walks above remain for split arrays.

// Rows rev(q) and rev(q + 1) = rev(q) + rows/2 for even q: in the caller's natural order their
// values are neighbours, value n of the pair's rows being values q + rows * rev(n) and the
// one after it; with rows q + 2 and q + 3 they fill whole cache lines, so two pairs of short
// rows go together (longer ones keep the planes of one pair in the data cache instead).
template <bool Inverse, class Sink>
void RowPairs(const FftSpecRealF64* spec, const double* src, double* data, uint32_t rows, uint32_t length, Sink sink) {
    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    const int bits = std::countr_zero(rows);
    const uint64_t apart = uint64_t{length} * rows;  // from row t to row t + rows/2, in doubles
    auto row = [&](uint32_t q) { return data + 2 * uint64_t{length} * ReverseBits(q, bits); };
    const uint32_t together = src && rows >= 4 && length <= 256 ? 4 : 2;
    for (uint32_t q = 0; q < rows; q += together) {
        double* first = row(q);
        if (together == 4) {
            double* third = row(q + 2);
            RadixQuadPass<Inverse>(GatherSource{src + 2 * q, rows}, first, first + apart,
                GatherSource{src + 2 * (q + 2), rows}, third, third + apart, length, twiddles, sink);
        } else if (src) {
            RadixPairPass<Inverse>(GatherSource{src + 2 * q, rows}, first, first + apart, length, twiddles, sink);
        } else {
            RadixPairPass<Inverse>(PlanesSource{first, first + apart}, first, first + apart, length, twiddles, sink);
        }
    }
    if (FftScaleFlag<Inverse>(spec)) FftScaleF64_x87(spec->factor, data, 2 * static_cast<uint32_t>(apart));
}

// The blocked path joins two or four leaves (2^10 or 2^11 values); the leaves stay in planes
// for the combine stages. With a real post-processing table (forward only) the combine of four
// leaves also does the real post-processing; the result says whether it did.
template <bool Inverse>
bool BlockedPairs(
    const FftSpecRealF64* spec, const double* src, double* data, uint32_t count, const double* postTable = nullptr) {
    const uint32_t leaves = count / LeafLength;
    const double* roots = FftTable(spec, FftSlotQuarterRoots);
    RowPairs<Inverse>(spec, src, data, leaves, LeafLength, PlanesSink{});
    if (leaves == 4 && postTable) {
        CombineLeavesWithPost(data, LeafLength, roots, postTable);
        return true;
    }
    CombineLeaves<Inverse>(data, leaves, LeafLength, roots);
    return false;
}

// Columns four at a time, as two pairs of neighbouring columns in the buffer's planes:
// twiddled on the way in, transformed in the buffer and written back. The write-back of one
// group and the gather of the next share their sweep down the rows (the same cache line or its
// neighbour in each row).

template <bool Inverse>
void ColumnPairs(const FftSpecRealF64* spec, double* data, int s, int r, int level, double* buffer) {
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << s;
    const uint64_t rowStride = 2 * uint64_t{rowLength};
    const double* matrix = FftTable(spec, FftSlotSplitMatrix0 + level);
    const double* columnTwiddles = FftTable(spec, FftSlotSplitTwiddle0 + level);
    double* re0 = buffer;
    double* im0 = re0 + 2 * uint64_t{rows};
    double* re1 = im0 + 2 * uint64_t{rows};
    double* im1 = re1 + 2 * uint64_t{rows};
    // Row t's four values at `in` times the matrix's four roots at `roots`, into buffer place t.
    auto gather = [&](uint32_t t, const double* in, const double* roots) {
        const Dual first = Zip(Load(in), Load(in + 2)), second = Zip(Load(in + 4), Load(in + 6));
        StoreDual(re0, im0, t, Mul<Inverse>(first, Zip(Load(roots), Load(roots + 2))));
        StoreDual(re1, im1, t, Mul<Inverse>(second, Zip(Load(roots + 4), Load(roots + 6))));
    };
    for (uint32_t t = 0; t < rows; ++t, matrix += 8) gather(t, data + rowStride * t, matrix);
    for (uint32_t k = 0; k < rowLength; k += 4) {
        RadixPairPass<Inverse>(DualSource{re0, im0}, re0, im0, rows, columnTwiddles, PlanesSink{});
        RadixPairPass<Inverse>(DualSource{re1, im1}, re1, im1, rows, columnTwiddles, PlanesSink{});
        const bool more = k + 4 < rowLength;
        double* out = data + 2 * uint64_t{k};
        for (uint32_t l = 0; l < rows; ++l, out += rowStride) {
            const Dual x = LoadDual(re0, im0, l), y = LoadDual(re1, im1, l);
            StoreLanes(out, out + 2, x);
            StoreLanes(out + 4, out + 6, y);
            if (more) {
                gather(l, out + 8, matrix);
                matrix += 8;
            }
        }
    }
}

template <bool Inverse>
void SplitPairs(const FftSpecRealF64* spec, const double* src, double* data, int m, int level, double* buffer) {
    const int s = FftSplitOrderX87F64(spec, m);
    const int r = m - s;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << s;
    if (r <= FftX87ThresholdF64) {
        RowPairs<Inverse>(spec, src, data, rows, rowLength, InterleavedSink{});
    } else {
        for (uint32_t t = 0; t < rows; ++t) {
            double* row = data + 2 * uint64_t{rowLength} * t;
            if (FftSplitOrderX87F64(spec, r) != 0)
                SplitPairs<Inverse>(spec, nullptr, row, r, level + 1, buffer);
            else
                BlockedPairs<Inverse>(spec, nullptr, row, rowLength);
        }
    }
    ColumnPairs<Inverse>(spec, data, s, r, level, buffer);
}

// Whether the first sweep of the large-order path can read the caller's array itself: the
// leaves of the blocked path, or the rows of a split whose rows take one radix pass.
bool ReadsThroughReversal(const FftSpecRealF64* spec, int m) {
    const int s = FftSplitOrderX87F64(spec, m);
    return s == 0 || m - s <= FftX87ThresholdF64;
}

template <bool Inverse>
void RecursivePairs(const FftSpecRealF64* spec, const double* src, double* data, int m, double* buffer) {
    if (FftSplitOrderX87F64(spec, m) != 0)
        SplitPairs<Inverse>(spec, src, data, m, 0, buffer);
    else
        BlockedPairs<Inverse>(spec, src, data, uint32_t{1} << m);
}

}  // namespace

void FftRecursiveFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    RecursivePairs<false>(spec, nullptr, data, m, buffer);
}
void FftRecursiveInvF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    RecursivePairs<true>(spec, nullptr, data, m, buffer);
}
bool FftBitRevRecursiveFwdF64_x87(
    const FftSpecRealF64* spec, const double* src, double* dst, int m, double* buffer, const double* postTable) {
    if (FftSplitOrderX87F64(spec, m) == 0) return BlockedPairs<false>(spec, src, dst, uint32_t{1} << m, postTable);
    if (ReadsThroughReversal(spec, m)) {
        RecursivePairs<false>(spec, src, dst, m, buffer);
        return false;
    }
    FftBitRevCopyC64(src, dst, uint32_t{1} << m, static_cast<const int32_t*>(spec->tables[FftSlotBitRev]));
    RecursivePairs<false>(spec, nullptr, dst, m, buffer);
    return false;
}
void FftRecursiveSplitFwdF64_x87(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer) {
    Recursive<false>(spec, SplitView{re, im}, m, buffer);
}
void FftRecursiveSplitInvF64_x87(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer) {
    Recursive<true>(spec, SplitView{re, im}, m, buffer);
}
void FftSplitFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    SplitPairs<false>(spec, nullptr, data, m, level, buffer);
}
void FftSplitInvF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    SplitPairs<true>(spec, nullptr, data, m, level, buffer);
}
void FftBlockedFwdF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*) {
    BlockedPairs<false>(spec, nullptr, data, count);
}
void FftBlockedInvF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*) {
    BlockedPairs<true>(spec, nullptr, data, count);
}
void FftCombineF64_x87(
    double* data, uint32_t count, uint32_t startSpan, const double* quarterRoots, int forward, uint32_t columnBlock) {
    if (forward)
        Combine<false>(PairsView<double>{data}, count, startSpan, quarterRoots, columnBlock);
    else
        Combine<true>(PairsView<double>{data}, count, startSpan, quarterRoots, columnBlock);
}

}  // namespace Prim
