#include <Primitives/Vec/Fft.h>

namespace Vec {
namespace {
constexpr std::int32_t InverseScaledFlag = Prim::FftFlagInverse;
constexpr std::int32_t AccuracyHint = 1;
}  // namespace

void FftInitAllocRealF32(Prim::FftSpecRealF32** spec, std::int32_t order) {
    if (spec) *spec = nullptr;
    Prim::FftInitAllocRealF32(spec, order, InverseScaledFlag, AccuracyHint);
}

void FftInitAllocRealF64(Prim::FftSpecRealF64** spec, std::int32_t order) {
    if (spec) *spec = nullptr;
    Prim::FftInitAllocRealF64(spec, order, InverseScaledFlag, AccuracyHint);
}

void FftGetBufSizeRealF32(const Prim::FftSpecRealF32* spec, std::int32_t* size) {
    if (size) *size = 0;
    Prim::FftGetBufSizeRealF32(spec, size);
}

void FftGetBufSizeRealF64(const Prim::FftSpecRealF64* spec, std::int32_t* size) {
    if (size) *size = 0;
    Prim::FftGetBufSizeRealF64(spec, size);
}

void FftTransformF64(const double* src, double* dst, const Prim::FftSpecRealF64* spec, std::uint8_t* buffer) {
    Prim::FftForwardRealF64(src, dst, spec, buffer);
}

void FftFreeRealF32(Prim::FftSpecRealF32* spec) { Prim::FftFreeRealF32(spec); }
void FftFreeRealF64(Prim::FftSpecRealF64* spec) { Prim::FftFreeRealF64(spec); }

}  // namespace Vec
