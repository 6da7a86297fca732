// Start-up binding of the transforms of the real FFT on 32-bit floats and their entry points.
#include <Primitives/Prim/Fft/FftRealF32.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(FftForwardRealF32)
PRIM_BIND_VARIANT(FftInverseRealF32)

namespace Prim {

Status FftForwardRealF32(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftForwardRealF32>(&FftForwardRealF32_x87, &FftForwardRealF32_sse2)(
        src, dst, spec, buffer);
}

Status FftInverseRealF32(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftInverseRealF32>(&FftInverseRealF32_x87, &FftInverseRealF32_sse2)(
        src, dst, spec, buffer);
}

}  // namespace Prim
