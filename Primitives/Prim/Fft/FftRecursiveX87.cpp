#include <Primitives/Prim/Fft/FftKernelsX87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

namespace Prim {
namespace {

using namespace FftX87;

constexpr uint32_t LeafLength = 512;
constexpr uint32_t CombineColumnBlock = 128;

const double* Table(const FftSpecRealF64* spec, int slot) { return static_cast<const double*>(spec->tables[slot]); }

template <bool Inverse>
bool ScaleFlag(const FftSpecRealF64* spec) {
    return (Inverse ? spec->scaleInverse : spec->scaleForward) != 0;
}

template <bool Inverse>
void Radix(double* data, uint32_t count, const double* twiddles) {
    if (Inverse)
        FftRadixInvF64_x87(data, count, twiddles);
    else
        FftRadixFwdF64_x87(data, count, twiddles);
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
template <bool Inverse>
void CombineStage(double* data, uint32_t count, uint32_t span, const double* roots, uint32_t halfBlock) {
    const uint32_t rootStep = count / (2 * span);
    const uint32_t halfSpan = span / 2;
    for (uint32_t first = 0; first < halfSpan; first += halfBlock) {
        const uint32_t last = first + halfBlock < halfSpan ? first + halfBlock : halfSpan;
        for (uint32_t j = first; j < last; ++j) {
            const Root w = LoadRoot<Inverse>(roots + 2 * uint64_t{j} * rootStep);
            for (uint32_t base = 0; base < count; base += 2 * span) {
                double* p0 = data + 2 * (uint64_t{base} + j);
                double* p1 = p0 + 2 * uint64_t{halfSpan};
                double* p2 = p0 + 2 * uint64_t{span};
                double* p3 = p2 + 2 * uint64_t{halfSpan};
                Cplx a = Load(p0), b = Load(p2), c = Load(p1), d = Load(p3);
                Butterfly2<Inverse, false>(a, b, w);
                Butterfly2<Inverse, true>(c, d, w);
                Store(p0, a);
                Store(p2, b);
                Store(p1, c);
                Store(p3, d);
            }
        }
    }
}

// Two stages (span, 2 span) in one sweep: the eight values a column j touches in both
// stages stay in registers. Every butterfly is the one of the stage-by-stage walk.
template <bool Inverse>
void CombineTwoStages(double* data, uint32_t count, uint32_t span, const double* roots, uint32_t halfBlock) {
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
                double* p = data + 2 * (uint64_t{base} + j);
                Cplx v[8] = {Load(p), Load(p + 2 * h), Load(p + 2 * s), Load(p + 2 * (s + h)), Load(p + 4 * s),
                    Load(p + 2 * (2 * s + h)), Load(p + 6 * s), Load(p + 2 * (3 * s + h))};
                // span: (j, j+s) and (j+2s, j+3s) with w1; the columns j+h with -i w1
                Butterfly2<Inverse, false>(v[0], v[2], w1);
                Butterfly2<Inverse, true>(v[1], v[3], w1);
                Butterfly2<Inverse, false>(v[4], v[6], w1);
                Butterfly2<Inverse, true>(v[5], v[7], w1);
                // 2 span: columns j, j+h with W_4s^j, W_4s^(j+h); columns j+s, j+s+h with -i times those
                Butterfly2<Inverse, false>(v[0], v[4], w2a);
                Butterfly2<Inverse, false>(v[1], v[5], w2b);
                Butterfly2<Inverse, true>(v[2], v[6], w2a);
                Butterfly2<Inverse, true>(v[3], v[7], w2b);
                Store(p, v[0]);
                Store(p + 2 * h, v[1]);
                Store(p + 2 * s, v[2]);
                Store(p + 2 * (s + h), v[3]);
                Store(p + 4 * s, v[4]);
                Store(p + 2 * (2 * s + h), v[5]);
                Store(p + 6 * s, v[6]);
                Store(p + 2 * (3 * s + h), v[7]);
            }
        }
    }
}

template <bool Inverse>
void Combine(double* data, uint32_t count, uint32_t startSpan, const double* roots, uint32_t columnBlock) {
    const uint32_t halfBlock = columnBlock / 2;
    uint32_t span = startSpan;
    while (span < count) {
        if (4 * uint64_t{span} <= count) {
            CombineTwoStages<Inverse>(data, count, span, roots, halfBlock);
            span *= 4;
        } else {
            CombineStage<Inverse>(data, count, span, roots, halfBlock);
            span *= 2;
        }
    }
}

template <bool Inverse>
void Blocked(const FftSpecRealF64* spec, double* data, uint32_t count) {
    const double* twiddles = Table(spec, FftSlotTwiddle);
    const bool scale = ScaleFlag<Inverse>(spec);
    for (uint32_t block = count / LeafLength; block-- > 0;) {
        double* leaf = data + 2 * LeafLength * block;
        Radix<Inverse>(leaf, LeafLength, twiddles);
        if (scale) FftScaleF64_x87(spec->factor, leaf, 2 * LeafLength);
    }
    Combine<Inverse>(data, count, LeafLength, Table(spec, FftSlotQuarterRoots), CombineColumnBlock);
}

template <bool Inverse>
void Split(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    const int s = FftSplitOrderX87F64(m);
    const int r = m - s;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << s;

    // Row t holds x_(n*G + rev_s(t)) in bit-reversed order of n: transform each row.
    const double* twiddles = Table(spec, FftSlotTwiddle);
    const bool scale = ScaleFlag<Inverse>(spec);
    for (uint32_t t = 0; t < rows; ++t) {
        double* row = data + 2 * uint64_t{rowLength} * t;
        if (r <= FftX87ThresholdF64) {
            Radix<Inverse>(row, rowLength, twiddles);
            if (scale) FftScaleF64_x87(spec->factor, row, 2 * rowLength);
        } else if (FftSplitOrderX87F64(r) != 0) {
            Split<Inverse>(spec, row, r, level + 1, buffer);
        } else {
            Blocked<Inverse>(spec, row, rowLength);
        }
    }

    // Columns, four at a time: twiddle into the buffer, transform, write back in natural order.
    // The write-back of one group and the gather of the next share their sweep down the rows:
    // both touch the same stretch of each row, which a separate sweep would fetch again.
    const double* matrix = Table(spec, FftSlotSplitMatrix0 + level);
    const double* columnTwiddles = Table(spec, FftSlotSplitTwiddle0 + level);
    const uint64_t rowStride = 2 * uint64_t{rowLength};
    const uint64_t columnStride = 2 * uint64_t{rows};
    auto gather = [&](double* slot, const double* in, const double* roots) {
        for (uint32_t c = 0; c < 4; ++c)
            Store(slot + c * columnStride, Mul(Load(in + 2 * c), LoadRoot<Inverse>(roots + 2 * c)));
    };
    {
        const double* in = data;
        for (uint32_t t = 0; t < rows; ++t, in += rowStride, matrix += 8) gather(buffer + 2 * t, in, matrix);
    }
    for (uint32_t k = 0; k < rowLength; k += 4) {
        if (Inverse)
            FftRadixVectorsInvF64_x87(buffer, rows, 4, columnTwiddles);
        else
            FftRadixVectorsFwdF64_x87(buffer, rows, 4, columnTwiddles);
        double* out = data + 2 * k;
        if (k + 4 < rowLength) {
            for (uint32_t l = 0; l < rows; ++l, out += rowStride, matrix += 8) {
                double* slot = buffer + 2 * l;
                for (uint32_t c = 0; c < 4; ++c) Store(out + 2 * c, Load(slot + c * columnStride));
                gather(slot, out + 8, matrix);
            }
        } else {
            for (uint32_t l = 0; l < rows; ++l, out += rowStride) {
                for (uint32_t c = 0; c < 4; ++c) Store(out + 2 * c, Load(buffer + 2 * l + c * columnStride));
            }
        }
    }
}

template <bool Inverse>
void Recursive(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    if (FftSplitOrderX87F64(m) != 0)
        Split<Inverse>(spec, data, m, 0, buffer);
    else
        Blocked<Inverse>(spec, data, uint32_t{1} << m);
}

}  // namespace

void FftRecursiveFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    Recursive<false>(spec, data, m, buffer);
}
void FftRecursiveInvF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    Recursive<true>(spec, data, m, buffer);
}
void FftSplitFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    Split<false>(spec, data, m, level, buffer);
}
void FftSplitInvF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    Split<true>(spec, data, m, level, buffer);
}
void FftBlockedFwdF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*) {
    Blocked<false>(spec, data, count);
}
void FftBlockedInvF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*) {
    Blocked<true>(spec, data, count);
}
void FftCombineF64_x87(
    double* data, uint32_t count, uint32_t startSpan, const double* quarterRoots, int forward, uint32_t columnBlock) {
    if (forward)
        Combine<false>(data, count, startSpan, quarterRoots, columnBlock);
    else
        Combine<true>(data, count, startSpan, quarterRoots, columnBlock);
}

}  // namespace Prim
