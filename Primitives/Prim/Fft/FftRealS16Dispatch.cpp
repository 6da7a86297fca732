// Start-up binding of the real FFT on 16-bit samples and its entry points.
#include <Primitives/Prim/Fft/FftRealS16.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(FftInitAllocRealS16)
PRIM_BIND_VARIANT(FftGetBufSizeRealS16)
PRIM_BIND_VARIANT(FftForwardRealS16)
PRIM_BIND_VARIANT(FftInverseRealS16)
PRIM_BIND_VARIANT(FftFreeRealS16)

namespace Prim {

Status FftInitAllocRealS16(FftSpecRealS16** spec, int32_t order, int32_t flag, int32_t hint) {
    return BoundVariant<Pair::FftInitAllocRealS16>(&FftInitAllocRealS16_x87, &FftInitAllocRealS16_sse2)(
        spec, order, flag, hint);
}

Status FftGetBufSizeRealS16(const FftSpecRealS16* spec, int32_t* size) {
    return BoundVariant<Pair::FftGetBufSizeRealS16>(&FftGetBufSizeRealS16_x87, &FftGetBufSizeRealS16_sse2)(spec, size);
}

Status FftForwardRealS16(const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    return BoundVariant<Pair::FftForwardRealS16>(&FftForwardRealS16_x87, &FftForwardRealS16_sse2)(
        src, dst, spec, scale, buffer);
}

Status FftInverseRealS16(const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    return BoundVariant<Pair::FftInverseRealS16>(&FftInverseRealS16_x87, &FftInverseRealS16_sse2)(
        src, dst, spec, scale, buffer);
}

Status FftFreeRealS16(FftSpecRealS16* spec) {
    return BoundVariant<Pair::FftFreeRealS16>(&FftFreeRealS16_x87, &FftFreeRealS16_sse2)(spec);
}

}  // namespace Prim
