#pragma once
// Real-FFT set-up records (tables, sizes, flags) and their public operations.

#include <Primitives/Prim/Operations.h>

#include <cstdint>

namespace Prim {

inline constexpr int32_t FftTagRealF64 = 9;
inline constexpr int32_t FftTagRealF32 = 6;
inline constexpr int32_t FftMaxOrder = 30;
inline constexpr int FftTableSlots = 12;

struct FftSplitTable;

// Which build laid out a record's tables; a record never crosses builds.
enum class FftBuild : int32_t { None = 0, X87 = 1, Sse2 = 2 };

// Table slots of a record.
enum FftSlot : int {
    FftSlotBitRev = 0,
    FftSlotTwiddle = 1,
    FftSlotQuarterRoots = 2,
    FftSlotSpare = 3,
    FftSlotRealPost = 4,
    FftSlotRealRoots = 5,
    FftSlotSplitTwiddle0 = 6,
    FftSlotSplitMatrix0 = 9,
};

template <typename T>
struct FftSpecReal {
    int32_t tag;
    int32_t order;
    int32_t scaleForward;
    int32_t scaleInverse;
    T factor;
    int32_t hint;
    uint32_t bufSize;
    void* tables[FftTableSlots];
    FftBuild build;  // private: set by the creating build, checked by the transforms
    const FftSplitTable* splits;  // private: null for the built-in split exponents
};

// Creation flags.
inline constexpr int32_t FftFlagNoScale = 8;
inline constexpr int32_t FftFlagSqrtBoth = 4;
inline constexpr int32_t FftFlagForward = 1;
inline constexpr int32_t FftFlagInverse = 2;

// Listed in Operations.inc: FftInitAllocRealF32, FftGetBufSizeRealF32,
// FftFreeRealF32, FftInitAllocRealF64, FftGetBufSizeRealF64, FftFreeRealF64 and the transforms
// on doubles, FftForwardRealF64 and FftInverseRealF64 (half-spectrum layout, N + 2 doubles, on
// the forward side); the transforms on floats are in FftRealF32.h.

// Releases a record and its tables (null is ignored).
void FftSpecFreeF64(FftSpecRealF64* spec);
void FftSpecFreeF32(FftSpecRealF32* spec);

// Packed-layout cores for convolution and filtering (N doubles each way).
Status FftForwardRealF64Core_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer);
Status FftInverseRealF64Core_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer);
Status MulPackF64_x87(const double* src, double* srcDst, int32_t len);
Status FftForwardRealF64Core_sse2(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer);
Status FftInverseRealF64Core_sse2(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer);
Status MulPackF64_sse2(const double* src, double* srcDst, int32_t len);
// Adds the linear convolution of a and b into dst[0 .. lenA + lenB - 2]; no checks.
void ConvKernelF64_sse2(const double* a, int32_t lenA, const double* b, int32_t lenB, double* dst);

}  // namespace Prim
