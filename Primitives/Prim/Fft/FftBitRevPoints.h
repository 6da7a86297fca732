#pragma once
// The bit reversals of complex floats move 8-byte points as raw bytes and never look inside
// them, so other 8-byte points take them too: the pairs of 32-bit integers of the 16-bit
// transform, and the single doubles of each array of the split-complex transform. These
// overloads keep the change of pointer type in one place.

#include <Primitives/Prim/Fft/FftKernelsF32.h>
#include <Primitives/Prim/Fft/FftTables.h>

#include <cstdint>

namespace Prim {

// `count` points of two 32-bit integers, with the pair-list table.
inline void FftBitRevInPlaceS32(int32_t* data, uint32_t count, const int32_t* table) {
    FftBitRevInPlaceC32(reinterpret_cast<float*>(data), count, table);
}

// `count` doubles, one point each: with the pair-list table (x87) or the doubled-index
// table (SSE2).
inline void FftBitRevCopyF64(const double* src, double* dst, uint32_t count, const int32_t* table) {
    FftBitRevCopyC32(reinterpret_cast<const float*>(src), reinterpret_cast<float*>(dst), count, table);
}
inline void FftBitRevInPlaceF64(double* data, uint32_t count, const int32_t* table) {
    FftBitRevInPlaceC32(reinterpret_cast<float*>(data), count, table);
}
inline void FftBitRevCopyF64_sse2(const double* src, double* dst, uint32_t count, const int32_t* table) {
    FftBitRevCopyC32_sse2(reinterpret_cast<const float*>(src), reinterpret_cast<float*>(dst), count, table);
}
inline void FftBitRevInPlaceF64_sse2(double* data, uint32_t count, const int32_t* table) {
    FftBitRevInPlaceC32_sse2(reinterpret_cast<float*>(data), count, table);
}

}  // namespace Prim
