// Start-up binding of the real-FFT operations and their entry points.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(FftInitAllocRealF32)
PRIM_BIND_VARIANT(FftGetBufSizeRealF32)
PRIM_BIND_VARIANT(FftFreeRealF32)

// The double-precision family has no SSE2 transforms yet, and a record must meet the
// transform of the build that laid out its tables: every processor gets the x87 build
// of creation, query, transforms and release until the SSE2 transforms exist.
namespace Prim {
namespace {

template <class Fn>
Fn BindX87(Pair pair, Fn x87) {
    return BindVariant(pair, x87, x87);
}

[[maybe_unused]] const auto FftInitAllocRealF64Binding = BindX87(Pair::FftInitAllocRealF64, &FftInitAllocRealF64_x87);
[[maybe_unused]] const auto FftGetBufSizeRealF64Binding =
    BindX87(Pair::FftGetBufSizeRealF64, &FftGetBufSizeRealF64_x87);
[[maybe_unused]] const auto FftForwardRealF64Binding = BindX87(Pair::FftForwardRealF64, &FftForwardRealF64_x87);
[[maybe_unused]] const auto FftInverseRealF64Binding = BindX87(Pair::FftInverseRealF64, &FftInverseRealF64_x87);
[[maybe_unused]] const auto FftFreeRealF64Binding = BindX87(Pair::FftFreeRealF64, &FftFreeRealF64_x87);

}  // namespace

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
    return BoundVariant<Pair::FftInitAllocRealF64>(&FftInitAllocRealF64_x87, &FftInitAllocRealF64_x87)(
        spec, order, flag, hint);
}

Status FftGetBufSizeRealF64(const FftSpecRealF64* spec, int32_t* size) {
    return BoundVariant<Pair::FftGetBufSizeRealF64>(&FftGetBufSizeRealF64_x87, &FftGetBufSizeRealF64_x87)(spec, size);
}

Status FftForwardRealF64(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftForwardRealF64>(&FftForwardRealF64_x87, &FftForwardRealF64_x87)(
        src, dst, spec, buffer);
}

Status FftInverseRealF64(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return BoundVariant<Pair::FftInverseRealF64>(&FftInverseRealF64_x87, &FftInverseRealF64_x87)(
        src, dst, spec, buffer);
}

Status FftFreeRealF64(FftSpecRealF64* spec) {
    return BoundVariant<Pair::FftFreeRealF64>(&FftFreeRealF64_x87, &FftFreeRealF64_x87)(spec);
}

}  // namespace Prim
