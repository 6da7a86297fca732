#include <Tonalith/Analysis/Spectrogram/SpectrogramMdl.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace UI {
namespace {

using V4f = float __attribute__((vector_size(16)));

// A history pass reads and writes whole chunks of this many floats, so every history
// buffer has this many floats to spare after its values.
constexpr std::int32_t kChunk = SpectrogramMdl::kListSpare;

constexpr std::int32_t kRankSortBelow = 80;

// The bit pattern of a power as the histories take it: those that are not numbers, and
// negative ones, count as +0.
[[gnu::always_inline]] inline float KeptPower(float power) { return power > 0.0f ? power : 0.0f; }

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

// Sorts n < kRankSortBelow powers descending from `in` to `out` (which may be the same):
// each goes to its rank, the number of values above it and of equal ones before it. Four
// values count their ranks at once against every other; no branch depends on the values.
void RankSort(const float* in, float* out, std::int32_t n) {
    alignas(16) std::int32_t keys[kRankSortBelow + 3];
    for (std::int32_t t = 0; t < n; ++t) keys[t] = std::int32_t(PowerBits(in[t]));
    for (std::int32_t t = n; t < kRankSortBelow + 3; ++t) keys[t] = -1;
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

// Sorts n powers from `in` into descending order at `out` (which may be the same), those
// that are not numbers, or negative, as +0. Such floats order as their bit patterns do, so
// sorting the patterns gives the same list as a comparison sort. Two radix passes order
// the 16 highest bits that differ between the values; an insertion pass then orders the
// values that agree in those bits, which are few for powers of noise. Should they be
// many, full radix passes over every byte that differs take over, so the cost stays
// bounded whatever the values.
void SortDescending(const float* in, float* out, std::int32_t n, std::vector<std::uint32_t>& scratch) {
    if (n < kRankSortBelow) {
        RankSort(in, out, n);
        return;
    }
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
    if (lowest > 0) {
        std::int64_t moves = 0;
        std::uint32_t largest = sorted[0];  // of those before i; kept in a register
        for (std::int32_t i = 1; i < n && moves <= 8 * std::int64_t(n); ++i) {
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
        if (moves > 8 * std::int64_t(n)) {
            passes = DifferingByteShifts(differing, 0, 32, shifts);
            sorted = RadixPasses(sorted, sorted == keys ? other : keys, n, shifts, passes);
        }
    }
    for (std::int32_t i = 0; i < n; ++i) out[i] = PowerOfBits(~sorted[i]);
}

}  // namespace

std::uint64_t SpectrogramMdl::RunFrames(const SpectrogramLayout& layout, std::uint32_t channels) {
    // Rows and sorted rows of a run: at most about 32 MB; at most 64 frames, so that a
    // single thread still reaches the next progress report soon.
    const std::uint64_t perFrame =
        std::uint64_t(layout.bins) * std::max<std::uint32_t>(channels, 1) * 4 * 2 * sizeof(float);
    return std::clamp<std::uint64_t>((std::uint64_t(32) << 20) / perFrame, 1, 64);
}

std::uint64_t SpectrogramMdl::StateBytes(const SpectrogramLayout& layout, std::uint32_t channels) {
    const std::uint64_t slots = RunFrames(layout, channels) + std::uint64_t(4 * layout.overlap);
    const std::uint64_t ring = std::uint64_t(4 * layout.overlap + 1);
    // Rows and their band-sorted copies, both histories (with a chunk's spare per band),
    // and the run's measures (up to 32 bands).
    return std::uint64_t(channels) * 4u * std::uint64_t(layout.bins) * sizeof(float) * (2u * slots + 2u * ring) +
        std::uint64_t(channels) * 4u * 2u * 32u * std::uint64_t(kChunk) * sizeof(float) +
        RunFrames(layout, channels) * channels * 4u * 32u * sizeof(float);
}

std::uint64_t SpectrogramMdl::ThreadBytes(const SpectrogramLayout& layout) {
    // A thread's blend (a vector of four weights and four levels per bin) and sort scratch
    // (two keys per value of the widest band).
    return std::uint64_t(layout.bins) * (sizeof(V4f) + 4u * sizeof(float) + 2u * sizeof(std::uint32_t));
}

void SpectrogramMdl::Prepare(
    DSP::Transience& transience, const SpectrogramLayout& layout, std::uint32_t channels, float sampleRate) {
    m_layout = layout;
    m_channels = channels;
    m_lookahead = static_cast<std::int32_t>(2 * layout.overlap);
    m_ringLength = static_cast<std::int32_t>(4 * layout.overlap + 1);
    m_bins = std::uint64_t(layout.bins);
    m_slots = RunFrames(layout, channels) + std::uint64_t(m_ringLength - 1);
    m_rows.clear();
    m_sortedRows.clear();
    m_histories.clear();
    m_watchedFrame = 0;
    m_watched.fill(0.0f);

    transience.Configure(
        static_cast<std::int32_t>(channels), sampleRate, 128, static_cast<std::int32_t>(layout.fftLength));
    transience.BuildBinKernels(static_cast<std::int32_t>(layout.fftLength));
    m_transience = &transience;
    m_kernelSpread = 0.0f;
    for (const auto& kernel : transience.Kernels()) {
        float spread = 0.0f;
        for (float weight : kernel.weights) spread += std::fabs(weight);
        m_kernelSpread = std::max(m_kernelSpread, spread);
    }

    m_rows.assign(std::size_t(channels) * 4 * m_slots * m_bins, 0.0f);
    m_sortedRows.assign(std::size_t(channels) * 4 * m_slots * m_bins, 0.0f);

    const auto& bands = transience.BandBins();
    const std::int32_t rows = static_cast<std::int32_t>(channels) * 4;
    m_histories.resize(bands.size());
    m_historySize.assign(bands.size(), {});
    for (std::size_t j = 0; j < bands.size(); ++j) {
        const std::int32_t size = std::max(0, bands[j].end - bands[j].begin);
        if (size == 0) continue;
        // Two buffers per row: the history of R - 1 frames, silent before the first, and
        // the R frames of a measure; each with room for an end mark and a chunk's spare.
        m_histories[j].Resize(2 * rows, 0, m_ringLength * size + kChunk, 0, true);
        m_historySize[j].assign(std::size_t(rows), (m_ringLength - 1) * size);
    }
    m_measures.assign(std::size_t(RunFrames(layout, channels)) * channels * 4 * bands.size(), 0.0f);
}

void SpectrogramMdl::SortRows(std::uint32_t channel, std::uint64_t k, std::vector<std::uint32_t>& scratch) {
    const auto& bands = m_transience->BandBins();
    for (int r = 0; r < 4; ++r) {
        float* row = Row(channel, r, k);
        // Powers that are not numbers, or negative, count as 0 for the blend too; written
        // back only when there are any, since rewriting every row would cost a pass of stores.
        bool odd = false;
        for (std::uint64_t b = 0; b < m_bins; ++b) odd |= !(row[b] >= 0.0f);
        if (odd) {
            for (std::uint64_t b = 0; b < m_bins; ++b) row[b] = KeptPower(row[b]);
        }
        for (std::size_t j = 0; j < bands.size(); ++j) {
            const auto& band = bands[j];
            if (band.end > band.begin)
                SortDescending(row + band.begin, SortedBand(channel, r, k, j), band.end - band.begin, scratch);
        }
    }
}

namespace {

// A power's bit pattern as a signed integer: for powers (+0 up, no NaN) it orders and
// compares as the power does, and the -1 that ends a history is below every power.
[[gnu::always_inline]] inline std::int32_t Key(const float* p) {
    std::int32_t key;
    std::memcpy(&key, p, sizeof key);
    return key;
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

// The four lengths' lists of a band, each from its buffer to the other: n sorted values
// inserted (`insert`) or removed, the four passes in step while they all have values
// left. lengths[r] is the length of list r, which becomes the new one's.
template <bool insert>
void PassLists(const float* const from[4], float* const to[4], const float* const values[4], std::int32_t n,
    std::int32_t lengths[4]) {
    const float* ends[4];
    const float* last[4];
    ListPass p0{from[0], to[0], values[0]}, p1{from[1], to[1], values[1]}, p2{from[2], to[2], values[2]},
        p3{from[3], to[3], values[3]};
    for (int r = 0; r < 4; ++r) {
        ends[r] = from[r] + lengths[r];
        last[r] = values[r] + n;
    }
    while (p0.value < last[0] && p1.value < last[1] && p2.value < last[2] && p3.value < last[3]) {
        Step<insert>(p0, ends[0]);
        Step<insert>(p1, ends[1]);
        Step<insert>(p2, ends[2]);
        Step<insert>(p3, ends[3]);
    }
    ListPass passes[4] = {p0, p1, p2, p3};
    for (int r = 0; r < 4; ++r) {
        ListPass& pass = passes[r];
        while (pass.value < last[r]) Step<insert>(pass, ends[r]);
        // The rest of the list, and its end mark.
        while (pass.from < ends[r]) {
            const std::int32_t step = std::min<std::int32_t>(kChunk, std::int32_t(ends[r] - pass.from));
            CopyChunk(pass.from, pass.to, _mm_setzero_si128());
            pass.from += step;
            pass.to += step;
        }
        *pass.to = -1.0f;
        lengths[r] = static_cast<std::int32_t>(pass.to - to[r]);
    }
}

// The measure's two sums over a list: sum of i * x_i and sum of x_i, in double. The list
// goes in blocks of eight from its end, each of the eight lanes l keeping the sum of its
// values so far (the blocks behind) and, block by block, the sum of those sums: the sum of
// (block - first block) * x. With o the values before the first block, the list's sums are
// then sum over l of (o + l) * (lane sum) + 8 * (sum of sums), plus the first o values
// directly. Every term is positive, so nothing cancels; the sums may differ from a running
// sum in the last bits.
void MeasureSums(const float* values, std::int32_t n, double& weighted, double& total) {
    const std::int32_t front = n % 8;
    __m128d sum0 = _mm_setzero_pd(), sum1 = sum0, sum2 = sum0, sum3 = sum0;
    __m128d sums0 = sum0, sums1 = sum0, sums2 = sum0, sums3 = sum0;
    for (std::int32_t i = n - 8; i >= front; i -= 8) {
        const __m128 low = _mm_loadu_ps(values + i), high = _mm_loadu_ps(values + i + 4);
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
    for (std::int32_t i = 0; i < front; ++i) {
        weighted += double(i) * double(values[i]);
        total += double(values[i]);
    }
}

}  // namespace

void SpectrogramMdl::SortBand(float* values, std::int32_t n, std::vector<std::uint32_t>& scratch) {
    SortDescending(values, values, n, scratch);
}

void SpectrogramMdl::AdvanceHistories(float* const history[4], float* const frames[4], std::int32_t capacity,
    const float* const arriving[4], const float* const leaving[4], std::int32_t size, std::int32_t used[4],
    double weighted[4], double total[4]) {
    for (int r = 0; r < 4; ++r) {
        // The bound keeps the passes inside their buffers whatever the values.
        used[r] = std::clamp(used[r], 0, std::max(capacity - size, 0));
        history[r][used[r]] = -1.0f;
    }
    PassLists<true>(history, frames, arriving, size, used);
    for (int r = 0; r < 4; ++r) MeasureSums(frames[r], used[r], weighted[r], total[r]);
    PassLists<false>(frames, history, leaving, size, used);
}

void SpectrogramMdl::MeasureBand(std::uint32_t channel, std::int32_t band, std::uint64_t k, float measures[4]) {
    const auto& range = m_transience->BandBins()[std::size_t(band)];
    const std::int32_t size = range.end - range.begin;
    const std::int32_t rows = static_cast<std::int32_t>(m_channels) * 4;
    DSP::DataTail& histories = m_histories[std::size_t(band)];
    // Each length's history of R - 1 frames lives in its first buffer, the R frames of
    // the measure in its second.
    float* history[4];
    float* frames[4];
    const float* arriving[4];
    const float* leaving[4];
    for (int r = 0; r < 4; ++r) {
        history[r] = histories.Channel(static_cast<std::int32_t>(channel) * 4 + r);
        frames[r] = histories.Channel(static_cast<std::int32_t>(channel) * 4 + r + rows);
        arriving[r] = SortedBand(channel, r, k, std::size_t(band));
        // This frame's values leave again R - 1 frames later; now those of frame k - (R - 1) do.
        leaving[r] = SortedBand(channel, r, k - std::uint64_t(m_ringLength - 1), std::size_t(band));
    }
    double weighted[4], total[4];
    AdvanceHistories(history, frames, m_ringLength * size, arriving, leaving, size,
        m_historySize[std::size_t(band)].data() + channel * 4, weighted, total);
    for (int r = 0; r < 4; ++r) {
        const double measure = weighted[r] / (std::sqrt(total[r]) + 1e-12);
        const double bias = 1.0 + 0.0125 * double(2 - r) * double(band - 12);
        measures[r] = static_cast<float>(measure * bias);
    }
}

bool SpectrogramMdl::FinishRun(std::uint64_t first, std::uint64_t count, WorkerGroup& workers,
    const SpectrogramLevels& levels, std::vector<SpectrogramSpectrum>& spectra,
    const std::function<bool()>& cancelled) {
    const std::uint32_t threads = workers.Size();
    const auto stop = [&] { return cancelled && cancelled(); };
    const auto& bands = m_transience->BandBins();
    const std::uint64_t bandCount = bands.size();
    const std::uint64_t channels = m_channels;
    const auto measureAt = [&](std::uint64_t k, std::uint64_t c, int r, std::uint64_t j) -> float& {
        return m_measures[std::size_t((((k - first) * channels + c) * 4 + std::uint64_t(r)) * bandCount + j)];
    };

    // Each chain of (channel, band), its four lengths in step, walks the run's frames in
    // order; the widest bands go first so that the threads end together.
    std::vector<std::uint64_t> chains;
    for (std::uint64_t j = 0; j < bandCount; ++j) {
        if (bands[j].end <= bands[j].begin) continue;
        for (std::uint64_t c = 0; c < channels; ++c) chains.push_back(j * channels + c);
    }
    std::stable_sort(chains.begin(), chains.end(), [&](std::uint64_t x, std::uint64_t y) {
        const auto& bx = bands[x / channels];
        const auto& by = bands[y / channels];
        return bx.end - bx.begin > by.end - by.begin;
    });
    workers.Run(chains.size(), [&](std::uint64_t i, std::uint32_t) {
        const std::uint64_t j = chains[i] / channels;
        const std::uint64_t c = chains[i] % channels;
        for (std::uint64_t k = first; k < first + count && !stop(); ++k) {
            float measures[4];
            MeasureBand(std::uint32_t(c), std::int32_t(j), k, measures);
            for (int r = 0; r < 4; ++r) measureAt(k, c, r, j) = measures[r];
        }
    });
    if (stop()) return false;

    // Per thread: the band weights per length, the four lengths' weights per band and per
    // bin, and the levels per length and bin.
    struct Blend {
        std::array<std::vector<float>, 4> bandWeights;
        std::vector<V4f> bands, bins;
        std::vector<float> values;
    };
    std::vector<Blend> blends(std::max<std::uint32_t>(threads, 1));
    float offsets[4];
    for (int r = 0; r < 4; ++r) offsets[r] = levels.ScaledOffset(m_layout.WindowLength(r));
    const auto& kernels = m_transience->Kernels();
    // How far a bin's sum from single-precision levels can lie from the one from double
    // precision: each level within t (|level| + |offset| + factor) (t the fast levels'
    // tolerance), each product and partial sum rounded once more on either road; a bin's
    // weights add up in magnitude to at most the largest kernel's times their sum, 1. All
    // doubled for what the rounding of the bounds themselves might hide.
    float largestOffset = 0.0f;
    for (float offset : offsets) largestOffset = std::max(largestOffset, std::fabs(offset));
    const float tolerance = SpectrogramLevels::kFastTolerance, unit = 1.0f / float(1 << 23);
    const float productSlack = 2.0f * (tolerance + unit), sumSlack = 2.0f * unit;
    const float levelSlack =
        2.0f * m_kernelSpread * (1.0f + 1e-5f) * (tolerance * (largestOffset + std::fabs(levels.Factor()))) + 1e-30f;
    workers.Run(count * channels, [&](std::uint64_t i, std::uint32_t worker) {
        if (stop()) return;
        const std::uint64_t k = first + i / channels;
        const std::uint32_t c = std::uint32_t(i % channels);
        Blend& blend = blends[worker];
        std::array<std::vector<float>, 4>& bandWeights = blend.bandWeights;
        for (int r = 0; r < 4; ++r) bandWeights[std::size_t(r)].assign(bandCount, 0.0f);
        for (std::uint64_t j = 0; j < bandCount; ++j) {
            if (bands[j].end <= bands[j].begin) continue;
            double w[4];
            double sum = 0.0;
            for (int r = 0; r < 4; ++r) {
                const double m = measureAt(k, c, r, j);
                const double m2 = m * m, m4 = m2 * m2;
                w[r] = 1.0 / (m4 * m4 + 1e-9);
                sum += w[r];
            }
            for (int r = 0; r < 4; ++r) bandWeights[std::size_t(r)][j] = static_cast<float>(w[r] / sum);
        }
        if (c + 1 == channels) {
            std::lock_guard<std::mutex> guard(m_watchLock);
            if (k == m_watch || (m_watch == ~std::uint64_t(0) && k >= m_watchedFrame)) {
                m_watchedFrame = k;
                for (std::uint64_t j = 0; j < std::min<std::uint64_t>(bandCount, 32); ++j)
                    for (int r = 0; r < 4; ++r)
                        m_watched[std::size_t(j * 4 + std::uint64_t(r))] = bandWeights[std::size_t(r)][j];
            }
        }
        if (k < std::uint64_t(m_lookahead)) return;

        // The band weights to bins, the four lengths in the lanes of one vector: lane r
        // does what Transience::BandsToBins does for length r; the bands past the last
        // read as 0 there, and here from the padding.
        blend.bands.assign(bandCount + 4, V4f{});
        for (std::uint64_t j = 0; j < bandCount; ++j)
            blend.bands[j] = V4f{bandWeights[0][j], bandWeights[1][j], bandWeights[2][j], bandWeights[3][j]};
        blend.bins.resize(kernels.size());
        const V4f* bandRow = blend.bands.data();
        for (std::size_t b = 0; b < kernels.size(); ++b) {
            const auto& kernel = kernels[b];
            const V4f* at = bandRow + kernel.first;
            blend.bins[b] = kernel.weights[0] * at[0] + kernel.weights[1] * at[1] + kernel.weights[2] * at[2] +
                kernel.weights[3] * at[3];
        }

        // The frame at the centre of the R frames just measured: its levels per length,
        // blended per bin in the order r = 0..3. The levels come first in single precision;
        // a bin whose sum lies too near a rounding edge for their error to be ruled out,
        // or holds no number, is summed again from the levels in double precision, so every
        // byte is the one those give.
        const std::uint64_t q = k - std::uint64_t(m_lookahead);
        blend.values.resize(4 * m_bins);
        const float* rows[4];
        float* values[4];
        for (int r = 0; r < 4; ++r) {
            rows[r] = Row(c, r, q);
            values[r] = blend.values.data() + std::uint64_t(r) * m_bins;
            levels.FastValues(rows[r], std::int64_t(m_bins), offsets[r], values[r]);
        }
        std::uint8_t* __restrict out = spectra[c].data() + q * m_bins;
        const std::uint64_t kernelBins = std::min<std::uint64_t>(m_bins, kernels.size());
        // The exact road for one bin: the levels in double precision, summed as the quick
        // road sums them.
        const auto exactByte = [&](std::uint64_t bin) {
            const V4f products = blend.bins[bin] *
                V4f{levels.Value(rows[0][bin], offsets[0]), levels.Value(rows[1][bin], offsets[1]),
                    levels.Value(rows[2][bin], offsets[2]), levels.Value(rows[3][bin], offsets[3])};
            float sum = 0.0f;
            sum += products[0];
            sum += products[1];
            sum += products[2];
            sum += products[3];
            return SpectrogramLevels::ToByte(sum);
        };
        std::uint64_t b = 0;
        for (; b + 4 <= kernelBins; b += 4) {
            // Four bins side by side: lane i is bin b + i, and the sum runs over r as in
            // the exact road.
            __m128 weights[4] = {_mm_loadu_ps(&blend.bins[b][0]), _mm_loadu_ps(&blend.bins[b + 1][0]),
                _mm_loadu_ps(&blend.bins[b + 2][0]), _mm_loadu_ps(&blend.bins[b + 3][0])};
            _MM_TRANSPOSE4_PS(weights[0], weights[1], weights[2], weights[3]);
            __m128 products[4];
            for (int r = 0; r < 4; ++r) products[r] = _mm_mul_ps(weights[r], _mm_loadu_ps(values[r] + b));
            const __m128 partial1 = _mm_add_ps(products[0], products[1]);
            const __m128 partial2 = _mm_add_ps(partial1, products[2]);
            const __m128 sum = _mm_add_ps(partial2, products[3]);
            const __m128 sign = _mm_set1_ps(-0.0f);
            const auto abs = [&](__m128 v) { return _mm_andnot_ps(sign, v); };
            const __m128 magnitude = _mm_add_ps(
                _mm_add_ps(abs(products[0]), abs(products[1])), _mm_add_ps(abs(products[2]), abs(products[3])));
            const __m128 error = _mm_add_ps(
                _mm_add_ps(_mm_mul_ps(_mm_set1_ps(productSlack), magnitude),
                    _mm_mul_ps(_mm_set1_ps(sumSlack), _mm_add_ps(_mm_add_ps(abs(partial1), abs(partial2)), abs(sum)))),
                _mm_set1_ps(levelSlack));
            // The distance to the nearest rounding edge k + 1/2 (exact below 2^23); sums
            // that are no number fail every comparison.
            const __m128 small = _mm_cmplt_ps(abs(sum), _mm_set1_ps(1e6f));
            const __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_and_ps(small, sum)));
            const __m128 edge = abs(_mm_sub_ps(_mm_set1_ps(0.5f), abs(_mm_sub_ps(sum, whole))));
            const int clear = _mm_movemask_ps(_mm_and_ps(small, _mm_cmpgt_ps(edge, error)));
            // ToByte on four sums: not above 0 gives 0, above 255 gives 255, the rest
            // rounds to nearest, ties to even.
            __m128 clamped = _mm_min_ps(_mm_and_ps(_mm_cmpgt_ps(sum, _mm_setzero_ps()), sum), _mm_set1_ps(255.0f));
            clamped = _mm_sub_ps(_mm_add_ps(clamped, _mm_set1_ps(8388608.0f)), _mm_set1_ps(8388608.0f));
            const __m128i bytes = _mm_cvttps_epi32(clamped);
            const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(bytes, bytes), _mm_setzero_si128());
            const std::int32_t four = _mm_cvtsi128_si32(packed);
            std::memcpy(out + b, &four, sizeof four);
            if (clear != 0xF) {
                for (int lane = 0; lane < 4; ++lane)
                    if (!(clear & (1 << lane))) out[b + std::uint64_t(lane)] = exactByte(b + std::uint64_t(lane));
            }
        }
        for (; b < kernelBins; ++b) out[b] = exactByte(b);
        for (b = kernelBins; b < m_bins; ++b) out[b] = 0;
    });
    return !stop();
}

std::array<float, 4> SpectrogramMdl::BandWeights(std::int32_t band) const {
    std::array<float, 4> weights{};
    if (band < 0 || band >= 32) return weights;
    for (int r = 0; r < 4; ++r) weights[std::size_t(r)] = m_watched[std::size_t(band * 4 + r)];
    return weights;
}

}  // namespace UI
