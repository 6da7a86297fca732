// SSE2 equality and three-way comparison of 8- and 16-bit arrays: 16-byte
// equality tests, the first differing element from the lowest clear bit of
// the match mask.
#include <Primitives/Prim/ByteCompare.h>

#include <emmintrin.h>

#include <bit>
#include <cstring>

namespace Prim {
namespace {

__m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
__m128i LoadAligned(const void* p) { return _mm_load_si128(static_cast<const __m128i*>(p)); }

bool Same16(__m128i a, __m128i b) { return _mm_movemask_epi8(_mm_cmpeq_epi8(a, b)) == 0xFFFF; }

std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// 8 bytes a step as two 32-bit words, then single bytes.
bool EqualWords(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint32_t x[2], y[2];
        std::memcpy(x, a + i, 8);
        std::memcpy(y, b + i, 8);
        if (x[0] != y[0] || x[1] != y[1]) return false;
    }
    for (; i < n; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

bool EqualBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    if (n == 0) return true;
    if (((Address(a) ^ Address(b)) & 3) != 0 || n <= 16) return EqualWords(a, b, n);
    // An unaligned first block, then b aligned to 16 bytes (up to 16 bytes are compared twice).
    if (!Same16(Load(a), Load(b))) return false;
    const std::size_t skip = 16 - (Address(b) & 15);
    a += skip;
    b += skip;
    n -= skip;
    std::size_t i = 0;
    switch (Address(a) & 15) {
    case 0:
        for (; i + 96 <= n; i += 96) {
            for (std::size_t k = i; k < i + 96; k += 16) {
                if (!Same16(LoadAligned(a + k), LoadAligned(b + k))) return false;
            }
        }
        [[fallthrough]];
    case 8:  // a read in two 8-byte halves
        for (; i + 48 <= n; i += 48) {
            for (std::size_t k = i; k < i + 48; k += 16) {
                const __m128i halves = _mm_castpd_si128(
                    _mm_loadh_pd(_mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + k))),
                        reinterpret_cast<const double*>(a + k + 8)));
                if (!Same16(halves, LoadAligned(b + k))) return false;
            }
        }
        break;
    default:  // 4 or 12: no block loop
        break;
    }
    return EqualWords(a + i, b + i, n - i);
}

// The first i < n with a[i] != b[i], or n; `lanes` elements per 16 bytes.
template <class T>
std::size_t FirstDifference(const T* a, const T* b, std::size_t n) {
    constexpr std::size_t lanes = 16 / sizeof(T);
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        const __m128i equal =
            sizeof(T) == 1 ? _mm_cmpeq_epi8(Load(a + i), Load(b + i)) : _mm_cmpeq_epi16(Load(a + i), Load(b + i));
        const unsigned differ = ~unsigned(_mm_movemask_epi8(equal)) & 0xFFFF;
        if (differ != 0) return i + std::countr_zero(differ) / sizeof(T);
    }
    for (; i < n && a[i] == b[i]; ++i) {}
    return i;
}

// Bytes with low <= x <= high (inclusive, as unsigned bytes) moved by delta.
__m128i RangeAdd(__m128i x, __m128i low, __m128i high, __m128i delta) {
    const __m128i inside =
        _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(x, low), x), _mm_cmpeq_epi8(_mm_min_epu8(x, high), x));
    return _mm_add_epi8(x, _mm_and_si128(inside, delta));
}

}  // namespace

Status EqualU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len, std::int32_t* result) {
    if (src1 == nullptr || src2 == nullptr || result == nullptr) return StatusNullPointer;
    if (len < 0) return StatusNegativeLength;
    EqualKernelU8_sse2(src1, src2, len, result);
    return StatusOk;
}

void EqualKernelU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len, std::int32_t* result) {
    *result = EqualBytes(src1, src2, KernelCount(len)) ? 1 : 0;
}

void EqualKernelU16_sse2(const std::uint16_t* src1, const std::uint16_t* src2, std::int32_t len, std::int32_t* result) {
    const std::size_t n = KernelCount(len);
    *result = FirstDifference(src1, src2, n) == n ? 1 : 0;
}

void CompareKernelU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len, std::int32_t* result) {
    const std::size_t n = KernelCount(len), i = FirstDifference(src1, src2, n);
    *result = i == n ? 0 : std::int32_t(src1[i]) - std::int32_t(src2[i]);
}

void CompareKernelU16_sse2(
    const std::uint16_t* src1, const std::uint16_t* src2, std::int32_t len, std::int32_t* result) {
    const std::size_t n = KernelCount(len), i = FirstDifference(src1, src2, n);
    *result = i == n ? 0 : std::int32_t(src1[i]) - std::int32_t(src2[i]);
}

void CompareRangeAddKernelU8_sse2(const std::uint8_t* src1, const std::uint8_t* src2, std::int32_t len,
    std::int32_t low, std::int32_t high, std::int32_t delta, std::int32_t* result) {
    const auto lo = std::uint8_t(low), hi = std::uint8_t(high), d = std::uint8_t(delta);
    const auto map = [&](std::uint8_t x) { return std::uint8_t(x >= lo && x <= hi ? x + d : x); };
    const __m128i low16 = _mm_set1_epi8(char(lo)), high16 = _mm_set1_epi8(char(hi)), delta16 = _mm_set1_epi8(char(d));
    const std::size_t n = KernelCount(len);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = RangeAdd(Load(src1 + i), low16, high16, delta16);
        const __m128i b = RangeAdd(Load(src2 + i), low16, high16, delta16);
        if (!Same16(a, b)) break;
    }
    for (; i < n; ++i) {
        if (map(src1[i]) != map(src2[i])) {
            *result = std::int32_t(map(src1[i])) - std::int32_t(map(src2[i]));
            return;
        }
    }
    *result = 0;
}

void RangeAddInPlaceKernelU8_sse2(
    std::uint8_t* srcDst, std::int32_t len, std::int32_t low, std::int32_t high, std::int32_t delta) {
    RangeAddKernelU8_sse2(srcDst, srcDst, len, low, high, delta);
}

void RangeAddKernelU8_sse2(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len, std::int32_t low,
    std::int32_t high, std::int32_t delta) {
    const auto lo = std::uint8_t(low), hi = std::uint8_t(high), d = std::uint8_t(delta);
    const __m128i low16 = _mm_set1_epi8(char(lo)), high16 = _mm_set1_epi8(char(hi)), delta16 = _mm_set1_epi8(char(d));
    const std::size_t n = KernelCount(len);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), RangeAdd(Load(src + i), low16, high16, delta16));
    }
    for (; i < n; ++i) dst[i] = std::uint8_t(src[i] >= lo && src[i] <= hi ? src[i] + d : src[i]);
}

void RangeAddKernelU16_sse2(const std::int16_t* src, std::int16_t* dst, std::int32_t len, std::int32_t low,
    std::int32_t high, std::int32_t delta) {
    const auto lo = std::int16_t(low), hi = std::int16_t(high), d = std::int16_t(delta);
    const __m128i low8 = _mm_set1_epi16(lo), high8 = _mm_set1_epi16(hi), delta8 = _mm_set1_epi16(d);
    const std::size_t n = KernelCount(len);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i x = Load(src + i);
        const __m128i outside = _mm_or_si128(_mm_cmplt_epi16(x, low8), _mm_cmpgt_epi16(x, high8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi16(x, _mm_andnot_si128(outside, delta8)));
    }
    for (; i < n; ++i) dst[i] = std::int16_t(src[i] >= lo && src[i] <= hi ? std::uint16_t(src[i] + d) : src[i]);
}

}  // namespace Prim
