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
bool ScaleFlag(const FftSpecRealF64* spec)
{
    return (Inverse ? spec->scaleInverse : spec->scaleForward) != 0;
}

template <bool Inverse>
void Radix(double* data, uint32_t count, const double* twiddles)
{
    if (Inverse)
        FftRadixInvF64_x87(data, count, twiddles);
    else
        FftRadixFwdF64_x87(data, count, twiddles);
}

template <bool Inverse>
void Combine(double* data, uint32_t count, uint32_t startSpan, const double* roots, uint32_t columnBlock)
{
    const uint32_t halfBlock = columnBlock / 2;
    for (uint32_t span = startSpan; span < count; span *= 2) {
        const uint32_t rootStep = count / (2 * span);
        const uint32_t halfSpan = span / 2;
        // Column j takes w = W_2span^j from the quarter-circle roots, column j + span/2
        // takes -i w (+i conj w in the inverse).
        for (uint32_t first = 0; first < halfSpan; first += halfBlock) {
            const uint32_t last = first + halfBlock < halfSpan ? first + halfBlock : halfSpan;
            for (uint32_t j = first; j < last; ++j) {
                const Root w = LoadRoot<Inverse>(roots + 2 * uint64_t{j} * rootStep);
                for (uint32_t base = 0; base < count; base += 2 * span) {
                    double* upper = data + 2 * (uint64_t{base} + j);
                    double* lower = upper + 2 * uint64_t{span};
                    const Cplx t = Mul(Load(lower), w);
                    const Cplx u = Load(upper);
                    Store(upper, u + t);
                    Store(lower, u - t);

                    double* upper2 = upper + 2 * uint64_t{halfSpan};
                    double* lower2 = lower + 2 * uint64_t{halfSpan};
                    const Cplx p = Mul(Load(lower2), w);
                    const Cplx q = Inverse ? TimesI(p) : TimesMinusI(p);
                    const Cplx v = Load(upper2);
                    Store(upper2, v + q);
                    Store(lower2, v - q);
                }
            }
        }
    }
}

template <bool Inverse>
void Blocked(const FftSpecRealF64* spec, double* data, uint32_t count)
{
    const double* twiddles = Table(spec, FftSlotTwiddle);
    const bool scale = ScaleFlag<Inverse>(spec);
    for (uint32_t block = count / LeafLength; block-- > 0;) {
        double* leaf = data + 2 * LeafLength * block;
        Radix<Inverse>(leaf, LeafLength, twiddles);
        if (scale)
            FftScaleF64_x87(spec->factor, leaf, 2 * LeafLength);
    }
    Combine<Inverse>(data, count, LeafLength, Table(spec, FftSlotQuarterRoots), CombineColumnBlock);
}

template <bool Inverse>
void Split(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer)
{
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
            if (scale)
                FftScaleF64_x87(spec->factor, row, 2 * rowLength);
        } else if (FftSplitOrderX87F64(r) != 0) {
            Split<Inverse>(spec, row, r, level + 1, buffer);
        } else {
            Blocked<Inverse>(spec, row, rowLength);
        }
    }

    // Columns, four at a time: twiddle into the buffer, transform, write back in natural order.
    const double* matrix = Table(spec, FftSlotSplitMatrix0 + level);
    const double* columnTwiddles = Table(spec, FftSlotSplitTwiddle0 + level);
    const uint64_t rowStride = 2 * uint64_t{rowLength};
    for (uint32_t k = 0; k < rowLength; k += 4) {
        const double* in = data + 2 * k;
        for (uint32_t t = 0; t < rows; ++t, in += rowStride, matrix += 8) {
            for (uint32_t c = 0; c < 4; ++c)
                Store(buffer + 2 * (uint64_t{c} * rows + t), Mul(Load(in + 2 * c), LoadRoot<Inverse>(matrix + 2 * c)));
        }
        for (uint32_t c = 0; c < 4; ++c)
            Radix<Inverse>(buffer + 2 * uint64_t{c} * rows, rows, columnTwiddles);
        double* out = data + 2 * k;
        for (uint32_t l = 0; l < rows; ++l, out += rowStride) {
            for (uint32_t c = 0; c < 4; ++c)
                Store(out + 2 * c, Load(buffer + 2 * (uint64_t{c} * rows + l)));
        }
    }
}

template <bool Inverse>
void Recursive(const FftSpecRealF64* spec, double* data, int m, double* buffer)
{
    if (FftSplitOrderX87F64(m) != 0)
        Split<Inverse>(spec, data, m, 0, buffer);
    else
        Blocked<Inverse>(spec, data, uint32_t{1} << m);
}

} // namespace

void FftRecursiveFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer)
{
    Recursive<false>(spec, data, m, buffer);
}
void FftRecursiveInvF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer)
{
    Recursive<true>(spec, data, m, buffer);
}
void FftSplitFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer)
{
    Split<false>(spec, data, m, level, buffer);
}
void FftSplitInvF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer)
{
    Split<true>(spec, data, m, level, buffer);
}
void FftBlockedFwdF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*)
{
    Blocked<false>(spec, data, count);
}
void FftBlockedInvF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*)
{
    Blocked<true>(spec, data, count);
}
void FftCombineF64_x87(double* data, uint32_t count, uint32_t startSpan, const double* quarterRoots, int forward,
                       uint32_t columnBlock)
{
    if (forward)
        Combine<false>(data, count, startSpan, quarterRoots, columnBlock);
    else
        Combine<true>(data, count, startSpan, quarterRoots, columnBlock);
}

} // namespace Prim
