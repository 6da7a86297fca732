#include <Primitives/Prim/BlockKernels.h>

#include <emmintrin.h>

#include <cstring>

namespace Prim {
namespace {

constexpr std::size_t CachedCopyLimit = 0x40000;
constexpr std::size_t StreamBlock = 0x40000;
constexpr std::size_t StreamFillLimit = 0x80000;

using Byte = unsigned char;

inline std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

inline void Copy4(const Byte* s, Byte* d) {
    std::uint32_t w;
    std::memcpy(&w, s, 4);
    std::memcpy(d, &w, 4);
}

// Below 64 bytes: 8-byte pieces, then the 0 to 7 bytes left.
void SmallCopy(const Byte* s, Byte* d, std::size_t n) {
    while (n >= 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
        s += 8;
        d += 8;
        n -= 8;
    }
    if (n >= 5) {
        Copy4(s, d);
        Copy4(s + n - 4, d + n - 4);
    } else if (n == 4) {
        Copy4(s, d);
    } else {
        while (n > 0) {
            --n;
            d[n] = s[n];
        }
    }
}

void CachedCopy(const Byte* s, Byte* d, std::size_t n) {  // d is 16-byte aligned
    while (n >= 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48));
        _mm_store_si128(reinterpret_cast<__m128i*>(d), a);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + 16), b);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + 32), c);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + 48), e);
        s += 64;
        d += 64;
        n -= 64;
    }
    SmallCopy(s, d, n);
}

void StreamedCopy(const Byte* s, Byte* d, std::size_t n, bool readAhead) {  // d is 16-byte aligned
    while (n >= 16) {
        const std::size_t block = n >= StreamBlock ? StreamBlock : (n & ~std::size_t{15});
        if (readAhead && block == StreamBlock) {
            // Touch one byte in every 128 so the block's source is in cache before streaming.
            volatile Byte sink = 0;
            for (std::size_t i = 0; i < block; i += 128) {
                sink = static_cast<Byte>(sink ^ s[i]);
            }
        }
        for (std::size_t i = 0; i < block; i += 16) {
            _mm_stream_si128(
                reinterpret_cast<__m128i*>(d + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        }
        s += block;
        d += block;
        n -= block;
    }
    _mm_sfence();
    SmallCopy(s, d, n);
}

enum class LargePath { Streamed, NonTemporal, Cached };

// Source and destination a little less than 64 KiB apart make streaming reads and
// writes collide in the cache; those distances take another path.
LargePath ChooseLargePath(const Byte* s, const Byte* d) {
    const std::uint32_t distance = static_cast<std::uint32_t>((Address(s) - Address(d)) & 0xFFFFU);
    if ((Address(s) & 7U) == 0) {
        if (distance >= 0xFE50 && distance < 0xFEB0) return LargePath::NonTemporal;
        if (distance >= 0xFEB0 && distance <= 0xFF38) return LargePath::Cached;
    } else {
        if (distance >= 0xFE8C && distance < 0xFEFC) return LargePath::NonTemporal;
        if (distance >= 0xFEFC && distance <= 0xFFEE) return LargePath::Cached;
    }
    return LargePath::Streamed;
}

// Writes `bytes` bytes of the element pattern (size bytes, repeated in `pattern`).
void FillPattern(const Byte* pattern, std::size_t size, Byte* d, std::size_t bytes) {
    if (bytes < 16) {
        for (std::size_t at = 0; at < bytes; at += size) {
            std::memcpy(d + at, pattern, size);
        }
        return;
    }
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), head);
    Byte* const end = d + bytes;
    Byte* a = reinterpret_cast<Byte*>((Address(d) + 16) & ~std::uintptr_t{15});
    // The aligned stores start part-way into an element when d is not element-aligned.
    const std::size_t phase = static_cast<std::size_t>(a - d) % size;
    const __m128i middle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + phase));
    const bool stream = static_cast<std::size_t>(end - a) > StreamFillLimit;
    if (stream) {
        for (; a + 16 <= end; a += 16) _mm_stream_si128(reinterpret_cast<__m128i*>(a), middle);
        _mm_sfence();
    } else {
        for (; a + 16 <= end; a += 16) _mm_store_si128(reinterpret_cast<__m128i*>(a), middle);
    }
    if (a < end) {
        // bytes - 16 is a whole number of elements, so the tail has phase 0.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), head);
    }
}

}  // namespace

void CopyBytes_sse2(const void* src, void* dst, std::size_t bytes) {
    const Byte* s = static_cast<const Byte*>(src);
    Byte* d = static_cast<Byte*>(dst);
    if (bytes < 64) {
        SmallCopy(s, d, bytes);
        return;
    }
    if ((Address(d) & 15U) != 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
        const std::size_t advance = 16 - (Address(d) & 15U);
        s += advance;
        d += advance;
        bytes -= advance;
    }
    if (bytes <= CachedCopyLimit) {
        CachedCopy(s, d, bytes);
        return;
    }
    switch (ChooseLargePath(s, d)) {
    case LargePath::Cached: CachedCopy(s, d, bytes); break;
    case LargePath::NonTemporal: StreamedCopy(s, d, bytes, false); break;
    case LargePath::Streamed: StreamedCopy(s, d, bytes, true); break;
    }
}

void MoveBytes_sse2(const void* src, void* dst, std::size_t bytes) {
    const Byte* s = static_cast<const Byte*>(src);
    Byte* d = static_cast<Byte*>(dst);
    if (s == d || bytes == 0) {
        return;
    }
    const std::uintptr_t gap = Address(d) > Address(s) ? Address(d) - Address(s) : Address(s) - Address(d);
    if (gap >= bytes) {
        CopyBytes_sse2(s, d, bytes);
        return;
    }
    // Every 16-byte piece is loaded before it is stored, and in the chosen direction
    // no store reaches a source byte that is still to be read.
    if (Address(d) < Address(s)) {
        std::size_t i = 0;
        for (; i + 16 <= bytes; i += 16) {
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(d + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        }
        for (; i < bytes; ++i) d[i] = s[i];
    } else {
        std::size_t i = bytes;
        for (; i >= 16; i -= 16) {
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(d + i - 16), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i - 16)));
        }
        while (i > 0) {
            --i;
            d[i] = s[i];
        }
    }
}

void ZeroBytes_sse2(void* dst, std::size_t bytes) {
    static constexpr Byte zeros[32] = {};
    FillPattern(zeros, 1, static_cast<Byte*>(dst), bytes);
}

void FillKernel_sse2(const void* value, std::size_t size, void* dst, std::size_t count) {
    if (size != 1 && size != 2 && size != 4 && size != 8) {
        return;
    }
    Byte pattern[32];
    for (std::size_t at = 0; at < sizeof pattern; at += size) {
        std::memcpy(pattern + at, value, size);
    }
    FillPattern(pattern, size, static_cast<Byte*>(dst), count * size);
}

}  // namespace Prim
