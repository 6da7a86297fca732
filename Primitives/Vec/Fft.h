#pragma once
// The real-FFT functions of the vector layer. Statuses are dropped; on a failed creation
// the record pointer is null and a failed query leaves the size 0.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Vec {

// Records scale the inverse transform by 1/N (the forward transform is unscaled).
void FftInitAllocRealF32(Prim::FftSpecRealF32** spec, std::int32_t order);
void FftInitAllocRealF64(Prim::FftSpecRealF64** spec, std::int32_t order);
void FftGetBufSizeRealF32(const Prim::FftSpecRealF32* spec, std::int32_t* size);
void FftGetBufSizeRealF64(const Prim::FftSpecRealF64* spec, std::int32_t* size);
// Forward real FFT of 2^order doubles into the half-spectrum layout (N+2 doubles).
void FftTransformF64(const double* src, double* dst, const Prim::FftSpecRealF64* spec, std::uint8_t* buffer);
void FftFreeRealF32(Prim::FftSpecRealF32* spec);
void FftFreeRealF64(Prim::FftSpecRealF64* spec);

}  // namespace Vec
