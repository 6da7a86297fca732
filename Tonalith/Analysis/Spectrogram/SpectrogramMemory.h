#pragma once
#include <cstdint>

namespace UI {

// Byte counts of the memory check, which no combination of settings, channels and file
// length may wrap: a * b + c in 64 bits, saturating at ~0.
inline std::uint64_t BytesMulAdd(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0) {
    std::uint64_t product = 0, sum = 0;
    if (__builtin_mul_overflow(a, b, &product) || __builtin_add_overflow(product, c, &sum)) return ~std::uint64_t(0);
    return sum;
}

}  // namespace UI
