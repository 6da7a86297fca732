// The large-order path of the SSE2 build of the 32-bit transform (complex order 16 and
// above). count points are K rows of R; the rows are transformed (and split again when
// longer than 32768 points) and left in the quad layout; then groups of V neighbouring
// columns are copied into the buffer, where the upper radix-4 stages (and a radix-2 stage
// when log2 K is odd) of the whole transform run with the twiddles of every position, read
// in order from the level's table, before the group is copied back. Only the outermost
// level turns its points back into interleaved ones.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <Primitives/Prim/Fft/FftComplexF32Sse2.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

#include <cstring>

namespace Prim {
namespace {

using namespace FftQuad;

template <bool Inverse>
void ColumnRadix4(const float* src, float* dst, uint64_t span, uint64_t groups, const float* twiddles) {
    for (uint64_t g = 0; g < groups; ++g) {
        const uint64_t base = 2 * 4 * span * g;
        const float* w = twiddles;
        for (uint64_t p = 0; p < span; p += 4, w += 24) {
            const uint64_t at = base + 2 * p;
            Quad a = Quad::Load(src + at), b = Quad::Load(src + at + 2 * span), c = Quad::Load(src + at + 4 * span),
                 d = Quad::Load(src + at + 6 * span);
            Butterfly4<Inverse>(a, b, c, d, w);
            a.Store(dst + at);
            b.Store(dst + at + 2 * span);
            c.Store(dst + at + 4 * span);
            d.Store(dst + at + 6 * span);
        }
    }
}

template <bool Inverse>
void ColumnRadix2(const float* src, float* dst, uint64_t span, uint64_t groups, const float* twiddles) {
    for (uint64_t g = 0; g < groups; ++g) {
        const uint64_t base = 2 * 2 * span * g;
        const float* w = twiddles;
        for (uint64_t p = 0; p < span; p += 4, w += 8) {
            const uint64_t at = base + 2 * p;
            Quad a = Quad::Load(src + at), b = Quad::Load(src + at + 2 * span);
            Butterfly2<Inverse>(a, b, w);
            a.Store(dst + at);
            b.Store(dst + at + 2 * span);
        }
    }
}

template <bool Inverse>
void Split(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer) {
    const FftSse2Split split = FftSplitSse2F32(m);
    const int t = split.split;
    const int r = m - t;
    const uint64_t rowLength = uint64_t{1} << r;
    const uint64_t rows = uint64_t{1} << t;
    const uint64_t width = uint64_t{1} << (split.block - t);

    const float* twiddles = FftTable(spec, FftSlotTwiddle);
    const bool scale = FftScaleFlag<Inverse>(spec);
    for (uint64_t b = 0; b < rows; ++b) {
        float* row = data + 2 * rowLength * b;
        if (r > FftSse2ThresholdF32) {
            Split<Inverse>(spec, row, r, depth + 1, buffer);
            continue;
        }
        if (Inverse)
            FftRadixInvF32_sse2(row, static_cast<uint32_t>(rowLength), twiddles, buffer, 0);
        else
            FftRadixFwdF32_sse2(row, static_cast<uint32_t>(rowLength), twiddles, buffer, 0);
        if (scale) FftScaleF32_sse2(spec->factor, row, static_cast<uint32_t>(2 * rowLength));
    }

    const float* positions = FftTable(spec, FftSlotSplitMatrix0 + depth);
    const auto r32 = static_cast<uint32_t>(rowLength), k32 = static_cast<uint32_t>(rows),
               v32 = static_cast<uint32_t>(width);
    for (uint64_t g = 0; g < rowLength; g += width) {
        FftColumnGatherF32_sse2(data + 2 * g, buffer, r32, k32, v32);
        uint64_t spanRows = 1;
        for (int pass = 0; pass < t / 2; ++pass, spanRows *= 4) {
            const auto span = static_cast<uint32_t>(spanRows * width);
            const auto groups = static_cast<uint32_t>(rows / (4 * spanRows));
            if (Inverse)
                FftColumnRadix4InvF32_sse2(buffer, buffer, span, groups, positions);
            else
                FftColumnRadix4F32_sse2(buffer, buffer, span, groups, positions);
            positions += 6 * uint64_t{span};
        }
        if (t % 2 != 0) {
            const auto span = static_cast<uint32_t>(spanRows * width);
            if (Inverse)
                FftColumnRadix2InvF32_sse2(buffer, buffer, span, 1, positions);
            else
                FftColumnRadix2F32_sse2(buffer, buffer, span, 1, positions);
            positions += 2 * uint64_t{span};
        }
        FftColumnScatterF32_sse2(data + 2 * g, buffer, r32, k32, v32, depth == 0 ? 1 : 0);
    }
}

}  // namespace

void FftColumnGatherF32_sse2(const float* data, float* buffer, uint32_t rowLength, uint32_t rows, uint32_t width) {
    for (uint64_t b = 0; b < rows; ++b)
        std::memcpy(buffer + 2 * uint64_t{width} * b, data + 2 * uint64_t{rowLength} * b, 8 * uint64_t{width});
}

void FftColumnScatterF32_sse2(
    float* data, const float* buffer, uint32_t rowLength, uint32_t rows, uint32_t width, int interleave) {
    const bool aligned = Aligned16(data);
    for (uint64_t b = 0; b < rows; ++b) {
        float* out = data + 2 * uint64_t{rowLength} * b;
        const float* in = buffer + 2 * uint64_t{width} * b;
        if (!interleave) {
            std::memcpy(out, in, 8 * uint64_t{width});
            continue;
        }
        for (uint64_t p = 0; p < width; p += 4) StoreInterleaved(out + 2 * p, Quad::Load(in + 2 * p), aligned);
    }
}

void FftColumnRadix4F32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles) {
    ColumnRadix4<false>(src, dst, span, groups, twiddles);
}
void FftColumnRadix4InvF32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles) {
    ColumnRadix4<true>(src, dst, span, groups, twiddles);
}
void FftColumnRadix2F32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles) {
    ColumnRadix2<false>(src, dst, span, groups, twiddles);
}
void FftColumnRadix2InvF32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles) {
    ColumnRadix2<true>(src, dst, span, groups, twiddles);
}

void FftRecursiveFwdF32_sse2(const FftSpecRealF32* spec, float* data, int m, float* buffer) {
    Split<false>(spec, data, m, 0, buffer);
}
void FftRecursiveInvF32_sse2(const FftSpecRealF32* spec, float* data, int m, float* buffer) {
    Split<true>(spec, data, m, 0, buffer);
}
void FftSplitFwdF32_sse2(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer) {
    Split<false>(spec, data, m, depth, buffer);
}
void FftSplitInvF32_sse2(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer) {
    Split<true>(spec, data, m, depth, buffer);
}

}  // namespace Prim
