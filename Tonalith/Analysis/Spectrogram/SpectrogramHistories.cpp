#include <Tonalith/Analysis/Spectrogram/SpectrogramHistories.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace UI {
namespace {

// A pass reads and writes whole chunks of this many floats, hence the buffers' spare.
constexpr std::int32_t kChunk = kHistorySpare;

// Ends every list: negative, so its key is below that of every power, and a search for a
// value's place stops there.
constexpr float kEndMark = -1.0f;

// A power's bit pattern as a signed integer: for powers (+0 up, no NaN) it orders and
// compares as the power does, and kEndMark's is below every power's.
[[gnu::always_inline]] inline std::int32_t Key(const float* p) {
    std::int32_t key;
    std::memcpy(&key, p, sizeof key);
    return key;
}

// How many of n kept powers, sorted descending, lie above 0.
std::int32_t AboveZero(const float* sorted, std::int32_t n) {
    if (n == 0) return 0;
    return static_cast<std::int32_t>(
        std::partition_point(sorted, sorted + n, [](float x) { return x > 0.0f; }) - sorted);
}

// Bit t of the result is the sign of 32-bit lane t of the four masks, t = 0..15.
[[gnu::always_inline]] inline unsigned Mask16(__m128i a, __m128i b, __m128i c, __m128i d) {
    return unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d))));
}

// Copies the kChunk values at `from` to `to` and returns bit t set when value t is above
// the key. (Comparing the values against the key, not the key against them, lets each
// comparison overwrite its copied vector.)
static_assert(kChunk == 16, "a chunk is four vectors, its mask 16 bits");
[[gnu::always_inline]] inline unsigned CopyChunk(const float* from, float* to, __m128i key) {
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 4));
    const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 8));
    const __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), v1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), v2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 12), v3);
    return Mask16(
        _mm_cmpgt_epi32(v0, key), _mm_cmpgt_epi32(v1, key), _mm_cmpgt_epi32(v2, key), _mm_cmpgt_epi32(v3, key));
}

// One history list on its way from one buffer to the other, and the sorted values it
// takes in or gives up. The values of the list pass a chunk at a time, copied whole
// before it is known how many of them stay in front of the next value; so both buffers
// have kChunk floats to spare, and the list read ends with its mark.
struct ListPass {
    const float* from;
    float* to;
    const float* value;
};

// One chunk of a pass: the values not below the next value go through, and the value
// follows them when the chunk holds its place (the history comes first among equal
// values, as in a merge). The end mark stops the search. No branch depends on the values,
// so the passes of several lists overlap.
[[gnu::always_inline]] inline void InsertStep(ListPass& pass) {
    const std::int32_t key = Key(pass.value);
    // Not below the key: above key - 1 (keys of powers are at least 0).
    const unsigned notBelow = CopyChunk(pass.from, pass.to, _mm_set1_epi32(key - 1));
    const unsigned kept = __builtin_ctz(~notBelow);  // bit 16 up is set: at most kChunk
    pass.from += kept;
    pass.to += kept;
    std::memcpy(pass.to, &key, sizeof key);
    const unsigned placed = kept < kChunk;
    pass.to += placed;
    pass.value += placed;
}

// One chunk of a pass: the values above the next value go through, and the first one
// equal to it is dropped (one occurrence per value). A value that is not there (never
// the case for a frame the history holds) drops the first smaller one instead, so the
// list still shrinks by one and stays inside its buffer.
[[gnu::always_inline]] inline void RemoveStep(ListPass& pass, const float* end) {
    const std::int32_t key = Key(pass.value);
    const unsigned kept = __builtin_ctz(~CopyChunk(pass.from, pass.to, _mm_set1_epi32(key)));
    const unsigned found = kept < kChunk;
    pass.to += kept;
    pass.from += kept + (found & (pass.from + kept < end));
    pass.value += found;
}

template <bool insert>
[[gnu::always_inline]] inline void Step(ListPass& pass, const float* end) {
    if (insert)
        InsertStep(pass);
    else
        RemoveStep(pass, end);
}

// The four lengths' lists of a band, each from its buffer to the other: n[r] sorted values
// inserted (`insert`) into list r or removed from it, the four passes in step while they
// all have values left. lengths[r] is the length of list r, which becomes the new one's.
static_assert(kFrameLengths == 4, "the passes of the four lists are written out side by side");
template <bool insert>
void PassLists(const float* const from[kFrameLengths], float* const to[kFrameLengths],
    const float* const values[kFrameLengths], const std::int32_t n[kFrameLengths],
    std::int32_t lengths[kFrameLengths]) {
    const float* ends[kFrameLengths];
    const float* last[kFrameLengths];
    ListPass p0{from[0], to[0], values[0]}, p1{from[1], to[1], values[1]}, p2{from[2], to[2], values[2]},
        p3{from[3], to[3], values[3]};
    for (int r = 0; r < kFrameLengths; ++r) {
        ends[r] = from[r] + lengths[r];
        last[r] = values[r] + n[r];
    }
    while (p0.value < last[0] && p1.value < last[1] && p2.value < last[2] && p3.value < last[3]) {
        Step<insert>(p0, ends[0]);
        Step<insert>(p1, ends[1]);
        Step<insert>(p2, ends[2]);
        Step<insert>(p3, ends[3]);
    }
    ListPass passes[kFrameLengths] = {p0, p1, p2, p3};
    for (int r = 0; r < kFrameLengths; ++r) {
        ListPass& pass = passes[r];
        while (pass.value < last[r]) Step<insert>(pass, ends[r]);
        // The rest of the list, and its end mark.
        while (pass.from < ends[r]) {
            const std::int32_t step = std::min<std::int32_t>(kChunk, std::int32_t(ends[r] - pass.from));
            CopyChunk(pass.from, pass.to, _mm_setzero_si128());
            pass.from += step;
            pass.to += step;
        }
        *pass.to = kEndMark;
        lengths[r] = static_cast<std::int32_t>(pass.to - to[r]);
    }
}

}  // namespace

// The list goes in blocks of eight from its end, each of the eight lanes l keeping the sum
// of its values so far (the blocks behind) and, block by block, the sum of those sums: the
// sum of (block - first block) * x. With o the values before the first block, the list's
// sums are then sum over l of (o + l) * (lane sum) + 8 * (sum of sums), plus the first o
// values directly. Every term is positive, so nothing cancels; the sums may differ from a
// running sum in the last bits. The blocks are those of the whole list: its trailing zeros
// would only add +0 to sums that are still +0, so the blocks past the held values are
// skipped, and the values past them in the last block read as 0.
void MeasureSums(const float* values, std::int32_t held, std::int64_t length, double& weighted, double& total) {
    const std::int64_t front = length % 8;
    __m128d sum0 = _mm_setzero_pd(), sum1 = sum0, sum2 = sum0, sum3 = sum0;
    __m128d sums0 = sum0, sums1 = sum0, sums2 = sum0, sums3 = sum0;
    alignas(16) float last[8] = {};
    for (std::int64_t i = held > front ? front + (held - 1 - front) / 8 * 8 : -1; i >= front; i -= 8) {
        const float* block = values + i;
        if (i + 8 > held) {
            std::copy(block, values + held, last);
            block = last;
        }
        const __m128 low = _mm_loadu_ps(block), high = _mm_loadu_ps(block + 4);
        sums0 = _mm_add_pd(sums0, sum0);
        sums1 = _mm_add_pd(sums1, sum1);
        sums2 = _mm_add_pd(sums2, sum2);
        sums3 = _mm_add_pd(sums3, sum3);
        sum0 = _mm_add_pd(sum0, _mm_cvtps_pd(low));
        sum1 = _mm_add_pd(sum1, _mm_cvtps_pd(_mm_movehl_ps(low, low)));
        sum2 = _mm_add_pd(sum2, _mm_cvtps_pd(high));
        sum3 = _mm_add_pd(sum3, _mm_cvtps_pd(_mm_movehl_ps(high, high)));
    }
    double lane[8], behind[8];
    _mm_storeu_pd(lane, sum0);
    _mm_storeu_pd(lane + 2, sum1);
    _mm_storeu_pd(lane + 4, sum2);
    _mm_storeu_pd(lane + 6, sum3);
    _mm_storeu_pd(behind, sums0);
    _mm_storeu_pd(behind + 2, sums1);
    _mm_storeu_pd(behind + 4, sums2);
    _mm_storeu_pd(behind + 6, sums3);
    weighted = 0.0;
    total = 0.0;
    for (int l = 0; l < 8; ++l) {
        weighted += double(front + l) * lane[l] + 8.0 * behind[l];
        total += lane[l];
    }
    for (std::int64_t i = 0; i < std::min<std::int64_t>(front, held); ++i) {
        weighted += double(i) * double(values[i]);
        total += double(values[i]);
    }
}

void AdvanceBandHistories(float* const history[kFrameLengths], float* const frames[kFrameLengths],
    const std::int32_t capacity[kFrameLengths], const float* const arriving[kFrameLengths], std::int32_t arrivingCount,
    const float* const leaving[kFrameLengths], std::int32_t leavingCount, std::int64_t length,
    std::int32_t used[kFrameLengths], double weighted[kFrameLengths], double total[kFrameLengths]) {
    std::int32_t arrived[kFrameLengths], left[kFrameLengths];
    for (int r = 0; r < kFrameLengths; ++r) {
        arrived[r] = AboveZero(arriving[r], std::max(arrivingCount, 0));
        left[r] = AboveZero(leaving[r], std::max(leavingCount, 0));
        // The bound keeps the passes inside their buffers whatever the values.
        arrived[r] = std::min(arrived[r], std::max(capacity[r], 0));
        used[r] = std::clamp(used[r], 0, std::max(capacity[r], 0) - arrived[r]);
        history[r][used[r]] = kEndMark;
    }
    PassLists<true>(history, frames, arriving, arrived, used);
    for (int r = 0; r < kFrameLengths; ++r) MeasureSums(frames[r], used[r], length, weighted[r], total[r]);
    PassLists<false>(frames, history, leaving, left, used);
}

}  // namespace UI
