// SSE2 builds of the layout operations. Two channels take a vector path of
// eight frames a step; other counts move whole elements as raw bytes.
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Prim/InterleaveLayout.h>

#include <emmintrin.h>

#include <cstring>

namespace Prim {
namespace {

using InterleaveLayout::At;

template <class T>
void Move(T* to, const T* from) {
    std::memcpy(to, from, sizeof(T));
}

__m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// Beyond this many channels the per-channel positions no longer fit the local table.
constexpr std::size_t tableChannels = 240;
constexpr std::size_t blockFrames = 4;

// Frame blocks of every channel in turn, the channel positions kept locally.
template <class T>
void InterleaveBlocks(const T* const* src, std::size_t k, std::size_t n, T* dst) {
    alignas(16) const T* positions[tableChannels];
    for (std::size_t c = 0; c < k; ++c) positions[c] = src[c];
    std::size_t f = 0;
    for (; f + blockFrames <= n; f += blockFrames) {
        for (std::size_t c = 0; c < k; ++c) {
            for (std::size_t b = 0; b < blockFrames; ++b) Move(&dst[At(f + b, k, c)], &positions[c][f + b]);
        }
    }
    for (; f < n; ++f) {
        for (std::size_t c = 0; c < k; ++c) Move(&dst[At(f, k, c)], &positions[c][f]);
    }
}

template <class T>
void InterleaveFrames(const T* const* src, std::size_t k, std::size_t n, T* dst) {
    for (std::size_t f = 0; f < n; ++f) {
        for (std::size_t c = 0; c < k; ++c) Move(&dst[At(f, k, c)], &src[c][f]);
    }
}

template <class T>
void InterleaveGeneral(const T* const* src, std::size_t k, std::size_t n, T* dst) {
    if (k >= tableChannels) {
        InterleaveFrames(src, k, n, dst);
    } else {
        InterleaveBlocks(src, k, n, dst);
    }
}

// Two channels of 32-bit words, eight frames a step.
void InterleaveTwo(const float* left, const float* right, std::size_t n, float* dst) {
    std::size_t f = 0;
    for (; f + 8 <= n; f += 8) {
        for (std::size_t half = 0; half < 8; half += 4) {
            const __m128i l = Load(left + f + half);
            const __m128i r = Load(right + f + half);
            Store(dst + 2 * (f + half), _mm_unpacklo_epi32(l, r));
            Store(dst + 2 * (f + half) + 4, _mm_unpackhi_epi32(l, r));
        }
    }
    for (; f < n; ++f) {
        Move(&dst[2 * f], &left[f]);
        Move(&dst[2 * f + 1], &right[f]);
    }
}

void InterleaveTwo(const std::int16_t* left, const std::int16_t* right, std::size_t n, std::int16_t* dst) {
    std::size_t f = 0;
    for (; f + 8 <= n; f += 8) {
        const __m128i l = Load(left + f);
        const __m128i r = Load(right + f);
        Store(dst + 2 * f, _mm_unpacklo_epi16(l, r));
        Store(dst + 2 * f + 8, _mm_unpackhi_epi16(l, r));
    }
    for (; f < n; ++f) {
        dst[2 * f] = left[f];
        dst[2 * f + 1] = right[f];
    }
}

void DeinterleaveTwo(const float* src, std::size_t n, float* left, float* right) {
    std::size_t f = 0;
    for (; f + 8 <= n; f += 8) {
        for (std::size_t half = 0; half < 8; half += 4) {
            const __m128 a = _mm_castsi128_ps(Load(src + 2 * (f + half)));
            const __m128 b = _mm_castsi128_ps(Load(src + 2 * (f + half) + 4));
            // Shuffles move bits; no arithmetic touches the values.
            Store(left + f + half, _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))));
            Store(right + f + half, _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))));
        }
    }
    for (; f < n; ++f) {
        Move(&left[f], &src[2 * f]);
        Move(&right[f], &src[2 * f + 1]);
    }
}

void DeinterleaveTwo(const std::int16_t* src, std::size_t n, std::int16_t* left, std::int16_t* right) {
    std::size_t f = 0;
    for (; f + 8 <= n; f += 8) {
        const __m128i a = Load(src + 2 * f);
        const __m128i b = Load(src + 2 * f + 8);
        // Sign-extended halves pack back without saturating.
        const __m128i evenA = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16);
        const __m128i evenB = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
        Store(left + f, _mm_packs_epi32(evenA, evenB));
        Store(right + f, _mm_packs_epi32(_mm_srai_epi32(a, 16), _mm_srai_epi32(b, 16)));
    }
    for (; f < n; ++f) {
        left[f] = src[2 * f];
        right[f] = src[2 * f + 1];
    }
}

void DeinterleaveS16General(const std::int16_t* src, std::size_t k, std::size_t n, std::int16_t* const* dst) {
    if (k >= tableChannels) {
        for (std::size_t f = 0; f < n; ++f) {
            for (std::size_t c = 0; c < k; ++c) dst[c][f] = src[At(f, k, c)];
        }
        return;
    }
    alignas(16) std::int16_t* positions[tableChannels];
    for (std::size_t c = 0; c < k; ++c) positions[c] = dst[c];
    std::size_t f = 0;
    for (; f + blockFrames <= n; f += blockFrames) {
        for (std::size_t c = 0; c < k; ++c) {
            for (std::size_t b = 0; b < blockFrames; ++b) positions[c][f + b] = src[At(f + b, k, c)];
        }
    }
    for (; f < n; ++f) {
        for (std::size_t c = 0; c < k; ++c) positions[c][f] = src[At(f, k, c)];
    }
}

// Frame by frame, two channels a step.
void DeinterleaveF32General(const float* src, std::size_t k, std::size_t n, float* const* dst) {
    for (std::size_t f = 0; f < n; ++f) {
        const float* frame = src + At(f, k, 0);
        std::size_t c = 0;
        for (; c + 2 <= k; c += 2) {
            Move(&dst[c][f], &frame[c]);
            Move(&dst[c + 1][f], &frame[c + 1]);
        }
        if (c < k) Move(&dst[c][f], &frame[c]);
    }
}

struct Sse2 {
    template <class T>
    static void Interleave(const T* const* src, std::size_t k, std::size_t n, T* dst) {
        if (k == 2) {
            InterleaveTwo(src[0], src[1], n, dst);
        } else {
            InterleaveGeneral(src, k, n, dst);
        }
    }

    static void Deinterleave(const std::int16_t* src, std::size_t k, std::size_t n, std::int16_t* const* dst) {
        if (k == 2) {
            DeinterleaveTwo(src, n, dst[0], dst[1]);
        } else {
            DeinterleaveS16General(src, k, n, dst);
        }
    }

    static void Deinterleave(const float* src, std::size_t k, std::size_t n, float* const* dst) {
        if (k == 2) {
            DeinterleaveTwo(src, n, dst[0], dst[1]);
        } else {
            DeinterleaveF32General(src, k, n, dst);
        }
    }
};

using Steps = InterleaveLayout::Steps<Sse2>;

}  // namespace

Status InterleaveS16_sse2(
    const std::int16_t* const* src, std::int32_t channels, std::int32_t frames, std::int16_t* dst) {
    return Steps::Interleave(src, channels, frames, dst);
}
Status InterleaveF32_sse2(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst) {
    return Steps::Interleave(src, channels, frames, dst);
}
Status DeinterleaveS16_sse2(
    const std::int16_t* src, std::int32_t channels, std::int32_t frames, std::int16_t* const* dst) {
    return Steps::Deinterleave(src, channels, frames, dst);
}
Status DeinterleaveF32_sse2(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst) {
    return Steps::Deinterleave(src, channels, frames, dst);
}

}  // namespace Prim
