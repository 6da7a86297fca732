// Bit-reversal copy of 8-byte elements with the pair-list table: the complex floats of the
// 32-bit transform, or the doubles of one array of a split-complex transform.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <cstring>

namespace Prim {
namespace {

inline void Move(const float* src, float* dst, uint64_t from, uint64_t to) {
    std::memcpy(dst + 2 * to, src + 2 * from, 8);
}

}  // namespace

void FftBitRevCopyC32(const float* src, float* dst, uint32_t count, const int32_t* table) {
    if (count < 8) {
        if (count == 0) return;
        Move(src, dst, 0, 0);
        Move(src, dst, count - 1, count - 1);
        if (count == 4) {
            Move(src, dst, 2, 1);
            Move(src, dst, 1, 2);
        }
        return;
    }
    // An entry 4i stands for element 2i of the first half and its neighbours 2i+1, 2i+h
    // and 2i+h+1, whose reversals follow from that of 2i.
    const uint64_t h = count / 2;
    const int32_t* entry = table;
    for (; *entry != 0; entry += 2) {
        const uint64_t p = static_cast<uint64_t>(entry[0]) / 2;
        const uint64_t q = static_cast<uint64_t>(entry[1]) / 2;
        Move(src, dst, p, q);
        Move(src, dst, h + p, q + 1);
        Move(src, dst, p + 1, h + q);
        Move(src, dst, h + p + 1, h + q + 1);
        Move(src, dst, q, p);
        Move(src, dst, h + q, p + 1);
        Move(src, dst, q + 1, h + p);
        Move(src, dst, h + q + 1, h + p + 1);
    }
    // The 0 that ends the pairs stands for the fixed point 0; the others follow it.
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

}  // namespace Prim
