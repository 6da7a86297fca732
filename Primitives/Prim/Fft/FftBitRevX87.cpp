// Bit-reversal copy with the pair-list table, of complex doubles or of 8-byte elements
// (complex floats, or the doubles of one array of a split-complex transform): elements
// move as raw bytes.
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>

#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <cstring>

namespace Prim {
namespace {

constexpr int PrefetchDistance = 16;

template <typename T>
inline void Move(const T* src, T* dst, uint64_t from, uint64_t to) {
    std::memcpy(dst + 2 * to, src + 2 * from, 2 * sizeof(T));
}

template <typename T>
void BitRevCopy(const T* src, T* dst, uint32_t count, const int32_t* table) {
    if (count < 8) {
        if (count == 4) {
            Move(src, dst, 0, 0);
            Move(src, dst, 3, 3);
            Move(src, dst, 1, 2);
            Move(src, dst, 2, 1);
        } else {
            for (uint32_t k = 0; k < count; ++k) Move(src, dst, k, k);
        }
        return;
    }
    // Each entry covers the element 2i of the first half and its three neighbours
    // 2i+1, 2i+h, 2i+h+1, whose reversals follow from that of 2i.
    const uint64_t h = count / 2;
    const int32_t* entry = table;
    // The partners q jump around the array: ask for them a few entries ahead, without
    // reading past the pair list.
    const int32_t* pairsEnd = table;
    while (*pairsEnd != 0) pairsEnd += 2;
    for (; entry != pairsEnd; entry += 2) {
        if (entry + 2 * PrefetchDistance < pairsEnd) {
            const uint64_t ahead = static_cast<uint64_t>(entry[2 * PrefetchDistance + 1]) / 2;
            __builtin_prefetch(src + 2 * ahead);
            __builtin_prefetch(src + 2 * (h + ahead));
            __builtin_prefetch(dst + 2 * ahead, 1);
            __builtin_prefetch(dst + 2 * (h + ahead), 1);
        }
        const uint64_t p = static_cast<uint64_t>(entry[0]) / 2;
        const uint64_t q = static_cast<uint64_t>(entry[1]) / 2;
        Move(src, dst, q, p);
        Move(src, dst, p, q);
        Move(src, dst, h + q, p + 1);
        Move(src, dst, p + 1, h + q);
        Move(src, dst, q + 1, h + p);
        Move(src, dst, h + p, q + 1);
        Move(src, dst, h + q + 1, h + p + 1);
        Move(src, dst, h + p + 1, h + q + 1);
    }
    for (;;) {
        const uint64_t p = static_cast<uint64_t>(*entry) / 2;
        Move(src, dst, p, p);
        Move(src, dst, h + p, p + 1);
        Move(src, dst, p + 1, h + p);
        Move(src, dst, h + p + 1, h + p + 1);
        ++entry;
        if (*entry == 0) break;
    }
}

}  // namespace

void FftBitRevCopyC64(const double* src, double* dst, uint32_t count, const int32_t* table) {
    BitRevCopy(src, dst, count, table);
}

void FftBitRevCopyC32(const float* src, float* dst, uint32_t count, const int32_t* table) {
    BitRevCopy(src, dst, count, table);
}

}  // namespace Prim
