// Start-up binding of the real-FFT operations and their entry points.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(FftInitAllocRealF32)
PRIM_BIND_VARIANT(FftGetBufSizeRealF32)
PRIM_BIND_VARIANT(FftFreeRealF32)

PRIM_BIND_VARIANT(FftInitAllocRealF64)
PRIM_BIND_VARIANT(FftGetBufSizeRealF64)
PRIM_BIND_VARIANT(FftForwardRealF64)
PRIM_BIND_VARIANT(FftInverseRealF64)
PRIM_BIND_VARIANT(FftFreeRealF64)

namespace Prim {

Status FftInitAllocRealF32(FftSpecRealF32** spec, int32_t order, int32_t flag, int32_t hint) {
    return BoundVariant<Pair::FftInitAllocRealF32>(&FftInitAllocRealF32_x87, &FftInitAllocRealF32_sse2)(
        spec, order, flag, hint);
}

Status FftGetBufSizeRealF32(const FftSpecRealF32* spec, int32_t* size) {
    return BoundVariant<Pair::FftGetBufSizeRealF32>(&FftGetBufSizeRealF32_x87, &FftGetBufSizeRealF32_sse2)(spec, size);
}

Status FftFreeRealF32(FftSpecRealF32* spec) {
    return BoundVariant<Pair::FftFreeRealF32>(&FftFreeRealF32_x87, &FftFreeRealF32_sse2)(spec);
}

Status FftInitAllocRealF64(FftSpecRealF64** spec, int32_t order, int32_t flag, int32_t hint) {
    return BoundVariant<Pair::FftInitAllocRealF64>(&FftInitAllocRealF64_x87, &FftInitAllocRealF64_sse2)(
        spec, order, flag, hint);
}

Status FftGetBufSizeRealF64(const FftSpecRealF64* spec, int32_t* size) {
    return BoundVariant<Pair::FftGetBufSizeRealF64>(&FftGetBufSizeRealF64_x87, &FftGetBufSizeRealF64_sse2)(spec, size);
}

Status FftForwardRealF64(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftForwardRealF64>(&FftForwardRealF64_x87, &FftForwardRealF64_sse2)(
        src, dst, spec, buffer);
}

Status FftInverseRealF64(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftInverseRealF64>(&FftInverseRealF64_x87, &FftInverseRealF64_sse2)(
        src, dst, spec, buffer);
}

Status FftFreeRealF64(FftSpecRealF64* spec) {
    return BoundVariant<Pair::FftFreeRealF64>(&FftFreeRealF64_x87, &FftFreeRealF64_sse2)(spec);
}

}  // namespace Prim
