#include <Tonalith/Analysis/Spectrogram/SpectrogramBandSort.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace UI {
namespace {

// Below this many values, ranking every value against every other (about n * n / 4 vector
// comparisons, no branch on the values) costs less than the radix passes, whose counting
// of 256 buckets per pass is paid whatever n. Set from bench_spectrogram's BM_BandSort:
// on noise-like powers the two cost the same at about 60 values (about 430 ns each; at
// 80, ranking takes 1.5 times as long).
constexpr std::int32_t kRankSortBelow = 60;
static_assert(kRankSortBelow <= kRankSortMost + 1);

// The insertion pass after the radix passes gives up once it has moved this many values
// per value on average: full radix passes then cost less, and the sort stays linear.
constexpr std::int64_t kInsertionMovesPerValue = 8;

// The bit pattern of a kept power, which orders as the power does.
[[gnu::always_inline]] inline std::uint32_t PowerBits(float power) {
    const float kept = KeptPower(power);
    std::uint32_t bits;
    std::memcpy(&bits, &kept, sizeof bits);
    return bits;
}

[[gnu::always_inline]] inline float PowerOfBits(std::uint32_t bits) {
    float power;
    std::memcpy(&power, &bits, sizeof power);
    return power;
}

}  // namespace

// Each value goes to its rank, the number of values above it and of equal ones before it.
// Four values count their ranks at once against every other; no branch depends on the values.
void RankSortDescending(const float* in, float* out, std::int32_t n) {
    // The bound holds in every build, for one clamp per call: a caller's larger n ranks the
    // first kRankSortMost values and writes nothing past them.
    n = std::clamp(n, 0, kRankSortMost);
    alignas(16) std::int32_t keys[kRankSortMost + 3];
    for (std::int32_t t = 0; t < n; ++t) keys[t] = std::int32_t(PowerBits(in[t]));
    for (std::int32_t t = n; t < kRankSortMost + 3; ++t) keys[t] = -1;
    const __m128i lanes = _mm_set_epi32(3, 2, 1, 0);
    for (std::int32_t first = 0; first < n; first += 4) {
        const __m128i own = _mm_load_si128(reinterpret_cast<const __m128i*>(keys + first));
        // Before the four: equal values count too. Among them: by position. After them:
        // only those above.
        __m128i notAbove = _mm_setzero_si128(), above = _mm_setzero_si128();
        for (std::int32_t j = 0; j < first; ++j)
            notAbove = _mm_sub_epi32(notAbove, _mm_cmpgt_epi32(own, _mm_set1_epi32(keys[j])));
        for (std::int32_t s = 0; s < 4; ++s) {
            const __m128i other = _mm_set1_epi32(keys[first + s]), at = _mm_set1_epi32(s);
            const __m128i before = _mm_andnot_si128(_mm_cmpgt_epi32(own, other), _mm_cmpgt_epi32(lanes, at));
            const __m128i after = _mm_and_si128(_mm_cmpgt_epi32(other, own), _mm_cmpgt_epi32(at, lanes));
            above = _mm_sub_epi32(above, _mm_or_si128(before, after));
        }
        for (std::int32_t j = first + 4; j < n; ++j)
            above = _mm_sub_epi32(above, _mm_cmpgt_epi32(_mm_set1_epi32(keys[j]), own));
        alignas(16) std::int32_t ranks[4];
        _mm_store_si128(
            reinterpret_cast<__m128i*>(ranks), _mm_add_epi32(_mm_sub_epi32(above, notAbove), _mm_set1_epi32(first)));
        for (std::int32_t t = 0; t < 4 && first + t < n; ++t)
            out[ranks[t]] = PowerOfBits(std::uint32_t(keys[first + t]));
    }
}

namespace {

// The shifts of the bytes in [from, to) bits that differ between the keys; their count.
int DifferingByteShifts(std::uint32_t differing, int from, int to, int shifts[4]) {
    int passes = 0;
    for (int shift = from; shift < to; shift += 8) {
        if (((differing >> shift) & 0xFF) != 0) shifts[passes++] = shift;
    }
    return passes;
}

// Sorts n keys ascending by LSD radix passes over the bytes at the given shifts, through
// `other`; returns the array that holds the result (keys or other).
std::uint32_t* RadixPasses(std::uint32_t* keys, std::uint32_t* other, std::int32_t n, const int* shifts, int passes) {
    // Every pass's buckets counted in one go (the counts do not depend on the order).
    std::uint32_t counts[4][256] = {};
    for (std::int32_t i = 0; i < n; ++i) {
        for (int p = 0; p < passes; ++p) ++counts[p][(keys[i] >> shifts[p]) & 0xFF];
    }
    for (int p = 0; p < passes; ++p) {
        const int shift = shifts[p];
        std::uint32_t* count = counts[p];
        std::uint32_t sum = 0;
        for (int b = 0; b < 256; ++b) {
            const std::uint32_t c = count[b];
            count[b] = sum;
            sum += c;
        }
        for (std::int32_t i = 0; i < n; ++i) other[count[(keys[i] >> shift) & 0xFF]++] = keys[i];
        std::swap(keys, other);
    }
    return keys;
}

// Orders n keys that the radix passes left in order but for values agreeing in the bits
// they sorted by; false when it gave up after kInsertionMovesPerValue moves per value.
bool InsertionPass(std::uint32_t* sorted, std::int32_t n) {
    const std::int64_t budget = kInsertionMovesPerValue * std::int64_t(n);
    std::int64_t moves = 0;
    std::uint32_t largest = sorted[0];  // of those before i; kept in a register
    for (std::int32_t i = 1; i < n && moves <= budget; ++i) {
        const std::uint32_t key = sorted[i];
        if (largest <= key) {
            largest = key;
            continue;
        }
        std::int32_t j = i;
        for (; j > 0 && sorted[j - 1] > key; --j) sorted[j] = sorted[j - 1];
        sorted[j] = key;
        moves += i - j;
    }
    return moves <= budget;
}

}  // namespace

// Kept powers order as their bit patterns do, so sorting the patterns gives the same list
// as a comparison sort. Two radix passes order the 16 highest bits that differ between the
// values; an insertion pass then orders the values that agree in those bits, which are few
// for powers of noise. Should they be many, full radix passes over every byte that differs
// take over, so the cost stays bounded whatever the values.
void RadixSortDescending(const float* in, float* out, std::int32_t n, std::vector<std::uint32_t>& scratch) {
    if (n <= 0) return;
    if (scratch.size() < 2 * std::size_t(n)) scratch.resize(2 * std::size_t(n));
    std::uint32_t* keys = scratch.data();
    std::uint32_t* other = keys + n;
    std::uint32_t anyBits = 0, allBits = ~0u;
    for (std::int32_t i = 0; i < n; ++i) {
        // Complemented, so that ascending keys are descending powers.
        keys[i] = ~PowerBits(in[i]);
        anyBits |= keys[i];
        allBits &= keys[i];
    }
    const std::uint32_t differing = anyBits ^ allBits;
    const int highest = differing == 0 ? 0 : 31 - __builtin_clz(differing);
    const int lowest = highest > 15 ? highest - 15 : 0;
    int shifts[4];
    int passes = DifferingByteShifts(differing, lowest, lowest + 16, shifts);
    std::uint32_t* sorted = RadixPasses(keys, other, n, shifts, passes);
    if (lowest > 0 && !InsertionPass(sorted, n)) {
        passes = DifferingByteShifts(differing, 0, 32, shifts);
        sorted = RadixPasses(sorted, sorted == keys ? other : keys, n, shifts, passes);
    }
    for (std::int32_t i = 0; i < n; ++i) out[i] = PowerOfBits(~sorted[i]);
}

void SortBandDescending(const float* in, float* out, std::int32_t n, std::vector<std::uint32_t>& scratch) {
    if (n < kRankSortBelow)
        RankSortDescending(in, out, n);  // within kRankSortMost: see the static_assert above
    else
        RadixSortDescending(in, out, n, scratch);
}

}  // namespace UI
