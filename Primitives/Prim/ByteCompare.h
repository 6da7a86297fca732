#pragma once
#include <Primitives/Prim/Operations.h>

#include <cstddef>
#include <cstdint>

// Arrays of 8-bit and 16-bit elements treated as strings. Counts, positions
// and results are in elements; a search that finds nothing reports -1.
namespace Prim {

// EqualU8 (listed in Operations.inc): *result = 1 when the first len bytes of
// src1 and src2 are equal (always for len 0), else 0. -8 for a null pointer,
// then -119 for len < 0.

// The kernels check nothing: valid pointers are assumed, and a negative count
// counts as 0. Results go through the last pointer.

void EqualKernelU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len, std::int32_t* result);
void EqualKernelU16_sse2(const std::uint16_t* src1, const std::uint16_t* src2, std::int32_t len, std::int32_t* result);
// src1[i] - src2[i] at the first i where they differ, else 0.
void CompareKernelU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len, std::int32_t* result);
void CompareKernelU16_sse2(
    const std::uint16_t* src1, const std::uint16_t* src2, std::int32_t len, std::int32_t* result);
// As CompareKernelU8 after mapping every byte x with low <= x <= high (bounds
// wrapped to 8 bits, inclusive) to x + delta on both sides.
void CompareRangeAddKernelU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len,
    std::int32_t low, std::int32_t high, std::int32_t delta, std::int32_t* result);

void FindLastKernelU8_sse2(const std::uint8_t* src, std::int32_t len, std::uint8_t value, std::int32_t* index);
void FindKernelU16_sse2(const std::uint16_t* src, std::int32_t len, std::uint16_t value, std::int32_t* index);
void FindLastKernelU16_sse2(const std::uint16_t* src, std::int32_t len, std::uint16_t value, std::int32_t* index);
// The first (last) position holding any value of the set; -1 for an empty array or set.
void FindAnyKernelU8_sse2(
    const std::uint8_t* src, std::int32_t len, const std::uint8_t* set, std::int32_t setLen, std::int32_t* index);
void FindLastAnyKernelU8_sse2(
    const std::uint8_t* src, std::int32_t len, const std::uint8_t* set, std::int32_t setLen, std::int32_t* index);
void FindAnyKernelU16_sse2(
    const std::uint16_t* src, std::int32_t len, const std::uint16_t* set, std::int32_t setLen, std::int32_t* index);
void FindLastAnyKernelU16_sse2(
    const std::uint16_t* src, std::int32_t len, const std::uint16_t* set, std::int32_t setLen, std::int32_t* index);

// x + delta (wrapping) for every element with low <= x <= high, bounds wrapped
// to the element width and inclusive; the 16-bit form compares signed values.
void RangeAddInPlaceKernelU8_sse2(
    std::uint8_t* srcDst, std::int32_t len, std::int32_t low, std::int32_t high, std::int32_t delta);
void RangeAddKernelU8_sse2(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len, std::int32_t low,
    std::int32_t high, std::int32_t delta);
void RangeAddKernelU16_sse2(const std::int16_t* src, std::int16_t* dst, std::int32_t len, std::int32_t low,
    std::int32_t high, std::int32_t delta);

void ReplaceKernelU8_sse2(
    const std::uint8_t* src, std::uint8_t* dst, std::int32_t len, std::uint8_t oldValue, std::uint8_t newValue);
void ReplaceKernelU16_sse2(
    const std::uint16_t* src, std::uint16_t* dst, std::int32_t len, std::uint16_t oldValue, std::uint16_t newValue);

// Copies src without its leading and/or trailing members of the set to dst
// and stores the kept length.
#define PRIM_TRIM_KERNELS(name, T) \
    void name##_sse2(const T* src, std::int32_t len, const T* set, std::int32_t setLen, T* dst, std::int32_t* dstLen);
PRIM_TRIM_KERNELS(TrimKernelU8, std::uint8_t)
PRIM_TRIM_KERNELS(TrimEndKernelU8, std::uint8_t)
PRIM_TRIM_KERNELS(TrimStartKernelU8, std::uint8_t)
PRIM_TRIM_KERNELS(TrimKernelU16, std::uint16_t)
PRIM_TRIM_KERNELS(TrimEndKernelU16, std::uint16_t)
PRIM_TRIM_KERNELS(TrimStartKernelU16, std::uint16_t)
#undef PRIM_TRIM_KERNELS

// h = (h * 2) xor element over the array, from h = 0.
void HashKernelU8(const std::uint8_t* src, std::int32_t len, std::uint32_t* hash);
void HashKernelU16(const std::uint16_t* src, std::int32_t len, std::uint32_t* hash);
// The first position of the whole pattern; -1 when patLen is 0 or beyond len, or when it does not occur.
void FindSubKernelU8(
    const std::uint8_t* src, std::int32_t len, const std::uint8_t* pattern, std::int32_t patLen, std::int32_t* index);

// A kernel's count: negative counts as 0.
inline std::size_t KernelCount(std::int32_t len) { return len > 0 ? static_cast<std::size_t>(len) : 0; }

}  // namespace Prim
