// Start-up binding of the split-complex FFT on doubles and its entry points.
#include <Primitives/Prim/Fft/FftSplitC64.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(FftInitAllocSplitC64)
PRIM_BIND_VARIANT(FftGetBufSizeSplitC64)
PRIM_BIND_VARIANT(FftForwardSplitC64)
PRIM_BIND_VARIANT(FftInverseSplitC64)
PRIM_BIND_VARIANT(FftFreeSplitC64)

namespace Prim {

Status FftInitAllocSplitC64(FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint) {
    return BoundVariant<Pair::FftInitAllocSplitC64>(&FftInitAllocSplitC64_x87, &FftInitAllocSplitC64_sse2)(
        spec, order, flag, hint);
}

Status FftGetBufSizeSplitC64(const FftSpecSplitC64* spec, int32_t* size) {
    return BoundVariant<Pair::FftGetBufSizeSplitC64>(&FftGetBufSizeSplitC64_x87, &FftGetBufSizeSplitC64_sse2)(
        spec, size);
}

Status FftForwardSplitC64(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    const FftSpecSplitC64* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftForwardSplitC64>(&FftForwardSplitC64_x87, &FftForwardSplitC64_sse2)(
        srcRe, srcIm, dstRe, dstIm, spec, buffer);
}

Status FftInverseSplitC64(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    const FftSpecSplitC64* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftInverseSplitC64>(&FftInverseSplitC64_x87, &FftInverseSplitC64_sse2)(
        srcRe, srcIm, dstRe, dstIm, spec, buffer);
}

Status FftFreeSplitC64(FftSpecSplitC64* spec) {
    return BoundVariant<Pair::FftFreeSplitC64>(&FftFreeSplitC64_x87, &FftFreeSplitC64_sse2)(spec);
}

}  // namespace Prim
