// The plain integer code: the x87 build of the equality test, the hashes and
// the pattern search.
#include <Primitives/Prim/ByteCompare.h>

#include <cstring>

namespace Prim {

namespace {

// Byte by byte when short or unevenly aligned; else up to 3 bytes until src1
// is 4-byte aligned, 32-bit words, then the last bytes.
bool BytesEqual(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    const auto address = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
    std::size_t i = 0;
    if (n >= 16 && ((address(a) ^ address(b)) & 3) == 0) {
        for (; (address(a + i) & 3) != 0; ++i) {
            if (a[i] != b[i]) return false;
        }
        for (; i + 4 <= n; i += 4) {
            std::uint32_t x, y;
            std::memcpy(&x, a + i, 4);
            std::memcpy(&y, b + i, 4);
            if (x != y) return false;
        }
    }
    for (; i < n; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace

Status EqualU8_x87(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len, std::int32_t* result) {
    if (src1 == nullptr || src2 == nullptr || result == nullptr) return StatusNullPointer;
    if (len < 0) return StatusNegativeLength;
    *result = BytesEqual(src1, src2, static_cast<std::size_t>(len)) ? 1 : 0;
    return StatusOk;
}

void HashKernelU8(const std::uint8_t* src, std::int32_t len, std::uint32_t* hash) {
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < KernelCount(len); ++i) h = (h << 1) ^ src[i];
    *hash = h;
}

void HashKernelU16(const std::uint16_t* src, std::int32_t len, std::uint32_t* hash) {
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < KernelCount(len); ++i) h = (h << 1) ^ src[i];
    *hash = h;
}

void FindSubKernelU8(
    const std::uint8_t* src, std::int32_t len, const std::uint8_t* pattern, std::int32_t patLen, std::int32_t* index) {
    const std::size_t n = KernelCount(len), m = KernelCount(patLen);
    *index = -1;
    if (m == 0 || m > n) return;
    for (std::size_t i = 0; i + m <= n; ++i) {
        if (src[i] == pattern[0] && std::memcmp(src + i, pattern, m) == 0) {
            *index = static_cast<std::int32_t>(i);
            return;
        }
    }
}

}  // namespace Prim
