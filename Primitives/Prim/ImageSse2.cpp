// SSE2 builds of the image operations. The additions treat a row as one run of
// bytes (single bytes up to a 16-byte boundary, 16-byte blocks, single bytes),
// the premultiply takes four whole pixels a step; both give the portable
// build's pixels exactly.
#include <Primitives/Prim/Image.h>
#include <Primitives/Prim/ImagePixel.h>

#include <emmintrin.h>

#include <algorithm>

namespace Prim {
namespace {

using ImagePixel::ForEachRow;

std::size_t BytesToBoundary(const std::uint8_t* p) { return (16 - (reinterpret_cast<std::uintptr_t>(p) & 15)) & 15; }

// The scale rule on eight 16-bit lanes of sums (0 to 510).
class LaneScaler {
public:
    explicit LaneScaler(std::int32_t scale) : scale_(scale) {
        if (scale > 0) {
            shift_ = _mm_cvtsi32_si128(scale);
            half_ = _mm_set1_epi16(static_cast<short>((1 << (scale - 1)) - 1));
            one_ = _mm_set1_epi16(1);
        } else if (scale < 0 && scale > -8) {
            shift_ = _mm_cvtsi32_si128(-scale);
        }
    }

    __m128i operator()(__m128i s) const {
        if (scale_ == 0) return s;  // the pack saturates
        if (scale_ <= -8) {
            const __m128i zero = _mm_cmpeq_epi16(s, _mm_setzero_si128());
            return _mm_andnot_si128(zero, _mm_set1_epi16(255));
        }
        if (scale_ < 0) {
            // Capping at 255 first keeps the shifted lane below 32768, so the
            // signed pack still saturates it to 255.
            return _mm_sll_epi16(_mm_min_epi16(s, _mm_set1_epi16(255)), shift_);
        }
        const __m128i odd = _mm_and_si128(_mm_srl_epi16(s, shift_), one_);
        return _mm_srl_epi16(_mm_add_epi16(_mm_add_epi16(s, half_), odd), shift_);
    }

private:
    std::int32_t scale_;
    __m128i shift_ = _mm_setzero_si128();
    __m128i half_ = _mm_setzero_si128();
    __m128i one_ = _mm_setzero_si128();
};

void AddRow(
    std::uint8_t* row, std::size_t bytes, const std::uint8_t* value, std::int32_t scale, const LaneScaler& scaler) {
    const auto single = [&](std::size_t j) {
        const std::size_t channel = j & 3;
        if (channel != 3) row[j] = ImagePixel::AddScaled(row[j], value[channel], scale);
    };
    std::size_t j = 0;
    const std::size_t lead = std::min(bytes, BytesToBoundary(row));
    for (; j < lead; ++j) single(j);
    if (bytes - j >= 16) {
        // Pattern and mask in the phase of the first aligned byte.
        alignas(16) std::uint8_t pattern[16];
        alignas(16) std::uint8_t mask[16];
        for (std::size_t i = 0; i < 16; ++i) {
            const std::size_t channel = (i + lead) & 3;
            pattern[i] = channel == 3 ? 0 : value[channel];
            mask[i] = channel == 3 ? 0x00 : 0xFF;
        }
        const __m128i zero = _mm_setzero_si128();
        const __m128i add = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
        const __m128i addLow = _mm_unpacklo_epi8(add, zero);
        const __m128i addHigh = _mm_unpackhi_epi8(add, zero);
        const __m128i colour = _mm_load_si128(reinterpret_cast<const __m128i*>(mask));
        for (; bytes - j >= 16; j += 16) {
            __m128i* block = reinterpret_cast<__m128i*>(row + j);
            const __m128i pixels = _mm_load_si128(block);
            const __m128i low = scaler(_mm_add_epi16(_mm_unpacklo_epi8(pixels, zero), addLow));
            const __m128i high = scaler(_mm_add_epi16(_mm_unpackhi_epi8(pixels, zero), addHigh));
            const __m128i sums = _mm_packus_epi16(low, high);
            _mm_store_si128(block, _mm_or_si128(_mm_and_si128(colour, sums), _mm_andnot_si128(colour, pixels)));
        }
    }
    for (; j < bytes; ++j) single(j);
}

struct Sse2 {
    static void Add(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
        std::int32_t height, std::int32_t scale) {
        const LaneScaler scaler(scale);
        const std::size_t bytes = 4 * static_cast<std::size_t>(width);
        ForEachRow(srcDst, step, height, [&](std::uint8_t* row) { AddRow(row, bytes, value, scale, scaler); });
    }

    static void Premultiply(
        std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
        const __m128i factors = _mm_setr_epi16(alpha, alpha, alpha, 0, alpha, alpha, alpha, 0);
        const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(alpha) << 24));
        const __m128i one = _mm_set1_epi16(1);
        const __m128i zero = _mm_setzero_si128();
        const auto premultiply = [&](__m128i half) {
            const __m128i p = _mm_mullo_epi16(half, factors);
            return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_srli_epi16(p, 8)), one), 8);
        };
        const auto single = [&](std::uint8_t* pixel) {
            for (int c = 0; c < 3; ++c) pixel[c] = ImagePixel::Premultiply(pixel[c], alpha);
            pixel[3] = alpha;
        };
        const std::size_t count = static_cast<std::size_t>(width);
        ForEachRow(srcDst, step, height, [&](std::uint8_t* row) {
            std::size_t x = 0;
            // Whole pixels up to the 16-byte boundary, when the row can reach it.
            if ((reinterpret_cast<std::uintptr_t>(row) & 3) == 0) {
                for (; x < count && BytesToBoundary(row + 4 * x) != 0; ++x) single(row + 4 * x);
            }
            for (; count - x >= 4; x += 4) {
                __m128i* block = reinterpret_cast<__m128i*>(row + 4 * x);
                const __m128i pixels = _mm_loadu_si128(block);
                const __m128i low = premultiply(_mm_unpacklo_epi8(pixels, zero));
                const __m128i high = premultiply(_mm_unpackhi_epi8(pixels, zero));
                _mm_storeu_si128(block, _mm_or_si128(_mm_packus_epi16(low, high), alphaBytes));
            }
            for (; x < count; ++x) single(row + 4 * x);
        });
    }
};

using Steps = ImagePixel::Steps<Sse2>;

}  // namespace

Status ImageSetU8C4_sse2(
    const std::uint8_t* value, std::uint8_t* dst, std::int32_t step, std::int32_t width, std::int32_t height) {
    return Steps::Set(value, dst, step, width, height);
}

Status ImageAddConstU8C4_sse2(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale) {
    return Steps::AddConst(value, srcDst, step, width, height, scale);
}

Status ImagePremulAlphaU8C4_sse2(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
    return Steps::PremulAlpha(alpha, srcDst, step, width, height);
}

}  // namespace Prim
