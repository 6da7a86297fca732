// SSE2 searches, replacement and trimming on 8- and 16-bit arrays: a 16-byte
// match mask per block, the lowest set bit for a first position and the
// highest for a last one; last-position searches walk from the end.
#include <Primitives/Prim/ByteCompare.h>

#include <emmintrin.h>

#include <bit>
#include <cstring>

namespace Prim {
namespace {

template <class T>
constexpr std::size_t lanes = 16 / sizeof(T);

template <class T>
__m128i Load(const T* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

template <class T>
__m128i Equal(__m128i a, __m128i b) {
    if constexpr (sizeof(T) == 1) {
        return _mm_cmpeq_epi8(a, b);
    } else {
        return _mm_cmpeq_epi16(a, b);
    }
}

template <class T>
__m128i Broadcast(T v) {
    if constexpr (sizeof(T) == 1) {
        return _mm_set1_epi8(char(v));
    } else {
        return _mm_set1_epi16(std::int16_t(v));
    }
}

// Lanes of the block equal to any set member, one bit per byte.
template <class T>
unsigned Members(__m128i block, const T* set, std::size_t setLen) {
    __m128i any = _mm_setzero_si128();
    for (std::size_t k = 0; k < setLen; ++k) any = _mm_or_si128(any, Equal<T>(block, Broadcast(set[k])));
    return unsigned(_mm_movemask_epi8(any));
}

// The first position in [0, n) whose match bits (from `match`) are set, or n.
template <class T, class Match>
std::size_t First(const T* src, std::size_t n, Match match) {
    std::size_t i = 0;
    for (; i + lanes<T> <= n; i += lanes<T>) {
        const unsigned bits = match(Load(src + i));
        if (bits != 0) return i + std::countr_zero(bits) / sizeof(T);
    }
    for (; i < n; ++i) {
        alignas(16) T one[lanes<T>] = {};
        one[0] = src[i];
        if ((match(_mm_load_si128(reinterpret_cast<const __m128i*>(one))) & ((1u << sizeof(T)) - 1)) != 0) return i;
    }
    return n;
}

// The last such position, or n when there is none.
template <class T, class Match>
std::size_t Last(const T* src, std::size_t n, Match match) {
    std::size_t end = n;
    for (; end >= lanes<T>; end -= lanes<T>) {
        const unsigned bits = match(Load(src + end - lanes<T>));
        if (bits != 0) return end - lanes<T> + (31 - std::countl_zero(bits)) / sizeof(T);
    }
    while (end > 0) {
        --end;
        alignas(16) T one[lanes<T>] = {};
        one[0] = src[end];
        if ((match(_mm_load_si128(reinterpret_cast<const __m128i*>(one))) & ((1u << sizeof(T)) - 1)) != 0) return end;
    }
    return n;
}

std::int32_t Position(std::size_t at, std::size_t n) { return at == n ? -1 : static_cast<std::int32_t>(at); }

template <class T>
void FindValue(const T* src, std::int32_t len, T value, std::int32_t* index, bool last) {
    const std::size_t n = KernelCount(len);
    const __m128i v = Broadcast(value);
    const auto match = [&](__m128i block) { return unsigned(_mm_movemask_epi8(Equal<T>(block, v))); };
    *index = Position(last ? Last(src, n, match) : First(src, n, match), n);
}

template <class T>
void FindAny(const T* src, std::int32_t len, const T* set, std::int32_t setLen, std::int32_t* index, bool last) {
    const std::size_t n = KernelCount(len), m = KernelCount(setLen);
    const auto match = [&](__m128i block) { return Members(block, set, m); };
    *index = m == 0 ? -1 : Position(last ? Last(src, n, match) : First(src, n, match), n);
}

template <class T>
void Replace(const T* src, T* dst, std::int32_t len, T oldValue, T newValue) {
    const std::size_t n = KernelCount(len);
    const __m128i from = Broadcast(oldValue), to = Broadcast(newValue);
    std::size_t i = 0;
    for (; i + lanes<T> <= n; i += lanes<T>) {
        const __m128i x = Load(src + i), hit = Equal<T>(x, from);
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_and_si128(hit, to), _mm_andnot_si128(hit, x)));
    }
    for (; i < n; ++i) dst[i] = src[i] == oldValue ? newValue : src[i];
}

enum class Ends { Both, Start, End };

template <class T>
void Trim(const T* src, std::int32_t len, const T* set, std::int32_t setLen, T* dst, std::int32_t* dstLen, Ends ends) {
    const std::size_t n = KernelCount(len), m = KernelCount(setLen);
    // Kept bits: lanes that are not set members.
    const auto kept = [&](__m128i block) { return ~Members(block, set, m) & 0xFFFFu; };
    std::size_t begin = 0, end = n;
    if (ends != Ends::End) begin = First(src, n, kept);
    if (ends != Ends::Start && begin < n) {
        const std::size_t last = Last(src + begin, n - begin, kept);
        end = last == n - begin ? begin : begin + last + 1;
    }
    if (begin >= end) {
        *dstLen = 0;
        return;
    }
    std::size_t i = 0;
    const std::size_t count = end - begin;
    for (; i + lanes<T> <= count; i += lanes<T>) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Load(src + begin + i));
    }
    for (; i < count; ++i) dst[i] = src[begin + i];
    *dstLen = static_cast<std::int32_t>(count);
}

}  // namespace

void FindLastKernelU8_sse2(const std::uint8_t* src, std::int32_t len, std::uint8_t value, std::int32_t* index) {
    FindValue(src, len, value, index, true);
}
void FindKernelU16_sse2(const std::uint16_t* src, std::int32_t len, std::uint16_t value, std::int32_t* index) {
    FindValue(src, len, value, index, false);
}
void FindLastKernelU16_sse2(const std::uint16_t* src, std::int32_t len, std::uint16_t value, std::int32_t* index) {
    FindValue(src, len, value, index, true);
}
void FindAnyKernelU8_sse2(
    const std::uint8_t* src, std::int32_t len, const std::uint8_t* set, std::int32_t setLen, std::int32_t* index) {
    FindAny(src, len, set, setLen, index, false);
}
void FindLastAnyKernelU8_sse2(
    const std::uint8_t* src, std::int32_t len, const std::uint8_t* set, std::int32_t setLen, std::int32_t* index) {
    FindAny(src, len, set, setLen, index, true);
}
void FindAnyKernelU16_sse2(
    const std::uint16_t* src, std::int32_t len, const std::uint16_t* set, std::int32_t setLen, std::int32_t* index) {
    FindAny(src, len, set, setLen, index, false);
}
void FindLastAnyKernelU16_sse2(
    const std::uint16_t* src, std::int32_t len, const std::uint16_t* set, std::int32_t setLen, std::int32_t* index) {
    FindAny(src, len, set, setLen, index, true);
}

void ReplaceKernelU8_sse2(
    const std::uint8_t* src, std::uint8_t* dst, std::int32_t len, std::uint8_t oldValue, std::uint8_t newValue) {
    Replace(src, dst, len, oldValue, newValue);
}
void ReplaceKernelU16_sse2(
    const std::uint16_t* src, std::uint16_t* dst, std::int32_t len, std::uint16_t oldValue, std::uint16_t newValue) {
    Replace(src, dst, len, oldValue, newValue);
}

#define PRIM_TRIM_KERNEL(name, T, ends)                                                                    \
    void name##_sse2(                                                                                      \
        const T* src, std::int32_t len, const T* set, std::int32_t setLen, T* dst, std::int32_t* dstLen) { \
        Trim(src, len, set, setLen, dst, dstLen, ends);                                                    \
    }
PRIM_TRIM_KERNEL(TrimKernelU8, std::uint8_t, Ends::Both)
PRIM_TRIM_KERNEL(TrimEndKernelU8, std::uint8_t, Ends::End)
PRIM_TRIM_KERNEL(TrimStartKernelU8, std::uint8_t, Ends::Start)
PRIM_TRIM_KERNEL(TrimKernelU16, std::uint16_t, Ends::Both)
PRIM_TRIM_KERNEL(TrimEndKernelU16, std::uint16_t, Ends::End)
PRIM_TRIM_KERNEL(TrimStartKernelU16, std::uint16_t, Ends::Start)
#undef PRIM_TRIM_KERNEL

}  // namespace Prim
