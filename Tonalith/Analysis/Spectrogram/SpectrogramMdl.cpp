#include <Tonalith/Analysis/Spectrogram/SpectrogramMdl.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramBandSort.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramHistories.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramMemory.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <type_traits>

namespace UI {
namespace {

using V4f = float __attribute__((vector_size(16)));
static_assert(
    sizeof(V4f) == kFrameLengths * sizeof(float), "the blend holds a bin's lengths in the lanes of one vector");

static_assert(std::tuple_size_v<std::remove_cvref_t<decltype(DSP::Transience::CriticalBandEdges())>> - 1 <=
        SpectrogramMdl::kMostBands,
    "every band of the critical-band table has its room");

// The block length Transience's filterbank is set up for. The analysis reads only the band
// layout and its bin kernels, which do not depend on it.
constexpr std::int32_t kTransienceBlock = 128;

// Rows and sorted rows of a run take at most about this much memory, whatever the FFT
// length; and a run holds at most this many frames, so that a single thread still reaches
// the next progress report soon.
constexpr std::uint64_t kRunBytes = std::uint64_t(32) << 20;
constexpr std::uint64_t kMostRunFrames = 64;

// Keeps the measure of a silent band, whose values are all 0, a number: 0.
constexpr double kMeasureFloor = 1e-12;

// The measure leans towards the short frames above band kNeutralBand, where onsets matter
// most, and towards the long ones below it, where the resolution in frequency does: by
// kBiasStep per step of band and of length away from band kNeutralBand (1720 to 2000 Hz)
// and length r = kNeutralLength (2N), where it is neutral.
constexpr double kBiasStep = 0.0125;
constexpr int kNeutralLength = 2;
constexpr int kNeutralBand = 12;

// Keeps a length's weight finite when its measure is 0, so that the lengths of a silent
// band weigh alike.
constexpr double kWeightFloor = 1e-9;

// Taps of a bin kernel: the bands it reads from its first on.
constexpr std::size_t kKernelTaps = std::tuple_size_v<decltype(DSP::Transience::Kernel::weights)>;

bool Stopped(const std::function<bool()>& cancelled) { return cancelled && cancelled(); }

// Bytes the band layout takes per point of the FFT length: its bin kernels and the
// filterbank it comes with (windows, band table, tails, transform). Measured: 41 for the
// largest transforms, 49 at 65536 points.
constexpr std::uint64_t kBandLayoutBytesPerPoint = 50;

// Frames whose power rows a step keeps: those of a run and the D before it, whose columns
// the run writes; or all that have a column.
std::uint64_t RowSlots(const SpectrogramLayout& layout, std::uint64_t run, std::uint64_t columns) {
    return std::max<std::uint64_t>(std::min(run + layout.Lookahead(), columns), 1);
}

// Floats each buffer of a band's histories takes, for its most frames held and band size.
std::uint64_t HistoryRoom(std::int32_t held, std::int32_t size) {
    return std::uint64_t(held) * std::uint64_t(size) + kHistorySpare;
}

// Frames whose sorted rows a step keeps: those of a run and the R - 1 before it, which leave
// the histories during the run, or all there are; only the run's own when no frame ever
// leaves (fewer than R frames).
std::uint64_t SortedSlots(const SpectrogramLayout& layout, std::uint64_t run, std::uint64_t frames) {
    const std::uint64_t ring = layout.FramesMeasured();
    return std::max<std::uint64_t>(frames >= ring ? std::min(run + ring - 1, frames) : run, 1);
}

// Frames whose powers of length r a band history holds at most: the R of a measure, or all
// that have any. The window of length r of frame k spans source frames k * hop - L_r / 2 to
// k * hop + L_r / 2; those that lie wholly past the source's end are silent, and silence the
// histories leave out.
std::uint64_t FramesHeld(const SpectrogramLayout& layout, std::uint64_t length, int r) {
    const std::uint64_t hop = std::uint64_t(layout.hop);
    const std::uint64_t reach = BytesMulAdd(1, length, std::uint64_t(layout.WindowLength(r)) / 2);
    const std::uint64_t sounding = reach / hop + (reach % hop != 0 ? 1u : 0u);
    return std::max<std::uint64_t>(std::min({layout.FramesMeasured(), layout.AnalysedFrames(length), sounding}), 1);
}

// How far a bin's sum from single-precision levels can lie from the one from double
// precision: relative to each product, to each partial sum, and outright.
struct SumSlack {
    float product, sum, level;
};

// Each level within t (|level| + |offset| + factor) (t the fast levels' tolerance), each
// product and partial sum rounded once more on either road; a bin's weights add up in
// magnitude to at most the largest kernel's times their sum, 1. All doubled for what the
// rounding of the bounds themselves might hide.
SumSlack SlackOf(const SpectrogramLevels& levels, const float offsets[kFrameLengths], float kernelSpread) {
    float largestOffset = 0.0f;
    for (int r = 0; r < kFrameLengths; ++r) largestOffset = std::max(largestOffset, std::fabs(offsets[r]));
    const float tolerance = SpectrogramLevels::kFastTolerance, unit = 1.0f / float(1 << 23);
    return {2.0f * (tolerance + unit), 2.0f * unit,
        2.0f * kernelSpread * (1.0f + 1e-5f) * (tolerance * (largestOffset + std::fabs(levels.Factor()))) + 1e-30f};
}

// Per band the lengths' weights 1 / (m^8 + kWeightFloor), m the measures[r * bands + band],
// normalised to sum 1: the eighth power hands nearly all the weight to the most
// concentrated length. Bands without bins weigh 0.
void WeighBands(const float* measures, const std::vector<DSP::Transience::BinRange>& bands,
    std::array<std::vector<float>, kFrameLengths>& weights) {
    const std::uint64_t bandCount = bands.size();
    for (int r = 0; r < kFrameLengths; ++r) weights[std::size_t(r)].assign(bandCount, 0.0f);
    for (std::uint64_t j = 0; j < bandCount; ++j) {
        if (bands[j].end <= bands[j].begin) continue;
        double w[kFrameLengths];
        double sum = 0.0;
        for (int r = 0; r < kFrameLengths; ++r) {
            const double m = measures[std::uint64_t(r) * bandCount + j];
            const double m2 = m * m, m4 = m2 * m2;
            w[r] = 1.0 / (m4 * m4 + kWeightFloor);
            sum += w[r];
        }
        for (int r = 0; r < kFrameLengths; ++r) weights[std::size_t(r)][j] = static_cast<float>(w[r] / sum);
    }
}

// The band weights to bins, the lengths in the lanes of one vector: lane r does what
// Transience::BandsToBins does for length r; the bands past the last read as 0 there, and
// here from the padding.
void InterpolateToBins(const std::array<std::vector<float>, kFrameLengths>& weights,
    const std::vector<DSP::Transience::Kernel>& kernels, std::vector<V4f>& bands, std::vector<V4f>& bins) {
    const std::uint64_t bandCount = weights[0].size();
    bands.assign(bandCount + kKernelTaps, V4f{});
    for (std::uint64_t j = 0; j < bandCount; ++j)
        bands[j] = V4f{weights[0][j], weights[1][j], weights[2][j], weights[3][j]};
    bins.resize(kernels.size());
    const V4f* bandRow = bands.data();
    for (std::size_t b = 0; b < kernels.size(); ++b) {
        const auto& kernel = kernels[b];
        const V4f* at = bandRow + kernel.first;
        bins[b] = kernel.weights[0] * at[0] + kernel.weights[1] * at[1] + kernel.weights[2] * at[2] +
            kernel.weights[3] * at[3];
    }
}

// The exact road for one bin: the levels in double precision, summed as the quick road
// sums them.
std::uint8_t ExactByte(const V4f& weights, const SpectrogramLevels& levels, const float* const rows[kFrameLengths],
    const float offsets[kFrameLengths], std::uint64_t bin) {
    const V4f products = weights *
        V4f{levels.Value(rows[0][bin], offsets[0]), levels.Value(rows[1][bin], offsets[1]),
            levels.Value(rows[2][bin], offsets[2]), levels.Value(rows[3][bin], offsets[3])};
    float sum = 0.0f;
    sum += products[0];
    sum += products[1];
    sum += products[2];
    sum += products[3];
    return SpectrogramLevels::ToByte(sum);
}

[[gnu::always_inline]] inline __m128 Magnitude(__m128 v) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), v); }

// SpectrogramLevels::ToByte on four sums: not above 0 gives 0, above 255 gives 255, the
// rest rounds to nearest, ties to even.
[[gnu::always_inline]] inline void StoreBytes(__m128 sum, std::uint8_t* out) {
    __m128 clamped = _mm_min_ps(_mm_and_ps(_mm_cmpgt_ps(sum, _mm_setzero_ps()), sum), _mm_set1_ps(255.0f));
    const __m128 shift = _mm_set1_ps(SpectrogramLevels::kRoundingShift);
    clamped = _mm_sub_ps(_mm_add_ps(clamped, shift), shift);
    const __m128i bytes = _mm_cvttps_epi32(clamped);
    const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(bytes, bytes), _mm_setzero_si128());
    const std::int32_t four = _mm_cvtsi128_si32(packed);
    std::memcpy(out, &four, sizeof four);
}

// Bit i set when sum i lies farther than error i from the nearest rounding edge k + 1/2
// (exact below 2^23); sums that are no number fail every comparison.
[[gnu::always_inline]] inline int ClearOfEdges(__m128 sum, __m128 error) {
    const __m128 small = _mm_cmplt_ps(Magnitude(sum), _mm_set1_ps(1e6f));
    const __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_and_ps(small, sum)));
    const __m128 edge = Magnitude(_mm_sub_ps(_mm_set1_ps(0.5f), Magnitude(_mm_sub_ps(sum, whole))));
    return _mm_movemask_ps(_mm_and_ps(small, _mm_cmpgt_ps(edge, error)));
}

// The quick road for bins b..b + 3 side by side, lane i bin b + i, the sum over r as in
// ExactByte: writes their bytes, and returns bit i set when the byte of bin b + i is sure
// to be ExactByte's.
[[gnu::always_inline]] inline int QuickBytes(const V4f* binWeights, const float* const values[kFrameLengths],
    std::uint64_t b, const SumSlack& slack, std::uint8_t* out) {
    __m128 weights[4] = {_mm_loadu_ps(&binWeights[b][0]), _mm_loadu_ps(&binWeights[b + 1][0]),
        _mm_loadu_ps(&binWeights[b + 2][0]), _mm_loadu_ps(&binWeights[b + 3][0])};
    _MM_TRANSPOSE4_PS(weights[0], weights[1], weights[2], weights[3]);
    __m128 products[kFrameLengths];
    for (int r = 0; r < kFrameLengths; ++r) products[r] = _mm_mul_ps(weights[r], _mm_loadu_ps(values[r] + b));
    const __m128 partial1 = _mm_add_ps(products[0], products[1]);
    const __m128 partial2 = _mm_add_ps(partial1, products[2]);
    const __m128 sum = _mm_add_ps(partial2, products[3]);
    const __m128 magnitude = _mm_add_ps(_mm_add_ps(Magnitude(products[0]), Magnitude(products[1])),
        _mm_add_ps(Magnitude(products[2]), Magnitude(products[3])));
    const __m128 partials = _mm_add_ps(_mm_add_ps(Magnitude(partial1), Magnitude(partial2)), Magnitude(sum));
    const __m128 error = _mm_add_ps(
        _mm_add_ps(_mm_mul_ps(_mm_set1_ps(slack.product), magnitude), _mm_mul_ps(_mm_set1_ps(slack.sum), partials)),
        _mm_set1_ps(slack.level));
    StoreBytes(sum, out + b);
    return ClearOfEdges(sum, error);
}

}  // namespace

// What every column of a run shares: the levels, the offset of each length's levels, and
// the slack of a bin's quick sum.
struct SpectrogramMdl::Blend {
    const SpectrogramLevels& levels;
    float offsets[kFrameLengths];
    SumSlack slack;
};

// A thread's workspace for one frame: the band weights per length, the lengths' weights
// per band and per bin, and the levels per length and bin.
struct SpectrogramMdl::FrameScratch {
    LengthWeights bandWeights;
    std::vector<V4f> bands, bins;
    std::vector<float> values;
};

std::uint64_t SpectrogramMdl::RunFrames(const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t frames) {
    const std::uint64_t perFrame =
        std::uint64_t(layout.bins) * std::max<std::uint32_t>(channels, 1) * kFrameLengths * 2 * sizeof(float);
    return std::clamp<std::uint64_t>(std::min(kRunBytes / perFrame, frames), 1, kMostRunFrames);
}

std::uint32_t SpectrogramMdl::FrameWorkers(std::uint64_t run, std::uint32_t channels, std::uint32_t threads) {
    return std::uint32_t(std::clamp<std::uint64_t>(BytesMulAdd(run, channels), 1, std::max<std::uint32_t>(threads, 1)));
}

std::uint64_t SpectrogramMdl::StateBytes(
    const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t length) {
    const std::uint64_t frames = layout.AnalysedFrames(length);
    const std::uint64_t run = RunFrames(layout, channels, frames);
    const std::uint64_t bins = std::uint64_t(layout.bins);
    // Per channel: the rows and their band-sorted copies of every length; both histories of
    // each length, of the values of all bands (fewer than the bins) with a chunk's spare per
    // band; the run's measures (of the most bands).
    const std::uint64_t slots = RowSlots(layout, run, layout.Columns(length)) + SortedSlots(layout, run, frames);
    std::uint64_t perChannel = BytesMulAdd(slots * kFrameLengths, bins);
    for (int r = 0; r < kFrameLengths; ++r)
        perChannel = BytesMulAdd(2u * FramesHeld(layout, length, r), bins, perChannel);
    perChannel = BytesMulAdd(2u * kFrameLengths * kMostBands, kHistorySpare, perChannel);
    perChannel = BytesMulAdd(run * kFrameLengths, kMostBands, perChannel);
    const std::uint64_t state = BytesMulAdd(BytesMulAdd(channels, perChannel), sizeof(float));
    return BytesMulAdd(std::uint64_t(layout.fftLength), kBandLayoutBytesPerPoint, state);
}

std::uint64_t SpectrogramMdl::ThreadBytes(const SpectrogramLayout& layout) {
    // A thread's blend (a vector of the lengths' weights and their levels per bin) and sort
    // scratch (two keys per value of the widest band).
    return std::uint64_t(layout.bins) * (sizeof(V4f) + kFrameLengths * sizeof(float) + 2u * sizeof(std::uint32_t));
}

void SpectrogramMdl::Prepare(DSP::Transience& transience, const SpectrogramLayout& layout, std::uint32_t channels,
    float sampleRate, std::uint64_t length) {
    m_layout = layout;
    m_channels = channels;
    m_lookahead = static_cast<std::int32_t>(layout.Lookahead());
    m_ringLength = static_cast<std::int32_t>(layout.FramesMeasured());
    m_bins = std::uint64_t(layout.bins);
    m_columns = layout.Columns(length);
    const std::uint64_t frames = layout.AnalysedFrames(length);
    const std::uint64_t run = RunFrames(layout, channels, frames);
    m_run = run;
    for (int r = 0; r < kFrameLengths; ++r)
        m_framesHeld[std::size_t(r)] = static_cast<std::int32_t>(FramesHeld(layout, length, r));
    m_rows = {};
    m_sortedRows = {};
    m_histories.clear();
    m_watchedFrame = 0;
    m_watched.fill(0.0f);

    transience.Configure(
        static_cast<std::int32_t>(channels), sampleRate, kTransienceBlock, static_cast<std::int32_t>(layout.fftLength));
    transience.BuildBinKernels(static_cast<std::int32_t>(layout.fftLength));
    m_transience = &transience;
    m_kernelSpread = 0.0f;
    for (const auto& kernel : transience.Kernels()) {
        float spread = 0.0f;
        for (float weight : kernel.weights) spread += std::fabs(weight);
        m_kernelSpread = std::max(m_kernelSpread, spread);
    }

    m_rows.Assign(channels, RowSlots(layout, run, m_columns), m_bins);
    m_sortedRows.Assign(channels, SortedSlots(layout, run, frames), m_bins);

    const auto& bands = transience.BandBins();
    m_histories.resize(bands.size());
    for (std::size_t j = 0; j < bands.size(); ++j) {
        const std::int32_t size = std::max(0, bands[j].end - bands[j].begin);
        if (size == 0) continue;
        std::uint64_t perChannel = 0;
        for (int r = 0; r < kFrameLengths; ++r) perChannel += 2u * HistoryRoom(m_framesHeld[std::size_t(r)], size);
        BandHistories& histories = m_histories[j];
        histories.store.resize(std::size_t(perChannel * channels));
        float* at = histories.store.data();
        for (std::uint32_t c = 0; c < channels; ++c) {
            for (int r = 0; r < kFrameLengths; ++r) {
                histories.lists.push_back(at);
                histories.lists.push_back(at + HistoryRoom(m_framesHeld[std::size_t(r)], size));
                at += 2u * HistoryRoom(m_framesHeld[std::size_t(r)], size);
            }
        }
        // The silence before the first frame holds nothing.
        histories.used.assign(std::size_t(channels) * kFrameLengths, 0);
    }
    m_measures.assign(std::size_t(run) * channels * kFrameLengths * bands.size(), 0.0f);
}

void SpectrogramMdl::RowRing::Assign(std::uint32_t channels, std::uint64_t frames, std::uint64_t rowBins) {
    slots = frames;
    bins = rowBins;
    store.assign(std::size_t(channels) * kFrameLengths * slots * bins, 0.0f);
}

void SpectrogramMdl::SortRows(std::uint32_t channel, std::uint64_t k, std::vector<std::uint32_t>& scratch) {
    const auto& bands = m_transience->BandBins();
    for (int r = 0; r < kFrameLengths; ++r) {
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
                SortBandDescending(row + band.begin, SortedBand(channel, r, k, j), band.end - band.begin, scratch);
        }
    }
}

void SpectrogramMdl::MeasureBand(
    std::uint32_t channel, std::int32_t band, std::uint64_t k, float measures[kFrameLengths]) {
    const auto& range = m_transience->BandBins()[std::size_t(band)];
    const std::int32_t size = range.end - range.begin;
    BandHistories& histories = m_histories[std::size_t(band)];
    float* history[kFrameLengths];
    float* frames[kFrameLengths];
    std::int32_t capacity[kFrameLengths];
    const float* arriving[kFrameLengths];
    const float* leaving[kFrameLengths];
    // This frame's values leave again R - 1 frames later; now those of frame k - (R - 1)
    // do, unless that is one of the silent ones before the first.
    const bool oldest = k >= std::uint64_t(m_ringLength - 1);
    for (int r = 0; r < kFrameLengths; ++r) {
        const std::size_t list = (std::size_t(channel) * kFrameLengths + std::size_t(r)) * 2;
        history[r] = histories.lists[list];
        frames[r] = histories.lists[list + 1];
        capacity[r] = m_framesHeld[std::size_t(r)] * size;
        arriving[r] = SortedBand(channel, r, k, std::size_t(band));
        leaving[r] = oldest ? SortedBand(channel, r, k - std::uint64_t(m_ringLength - 1), std::size_t(band)) : nullptr;
    }
    double weighted[kFrameLengths], total[kFrameLengths];
    AdvanceBandHistories(history, frames, capacity, arriving, size, leaving, oldest ? size : 0,
        std::int64_t(m_ringLength) * size, histories.used.data() + channel * kFrameLengths, weighted, total);
    for (int r = 0; r < kFrameLengths; ++r) {
        const double measure = weighted[r] / (std::sqrt(total[r]) + kMeasureFloor);
        const double bias = 1.0 + kBiasStep * double(kNeutralLength - r) * double(band - kNeutralBand);
        measures[r] = static_cast<float>(measure * bias);
    }
}

bool SpectrogramMdl::FinishRun(std::uint64_t first, std::uint64_t count, WorkerGroup& workers,
    const SpectrogramLevels& levels, std::vector<SpectrogramSpectrum>& spectra,
    const std::function<bool()>& cancelled) {
    if (!MeasureChains(first, count, workers, cancelled)) return false;
    const Blend blend = BlendOf(levels);
    std::vector<FrameScratch> scratch(std::max<std::uint32_t>(workers.Size(), 1));
    const std::uint64_t channels = m_channels;
    workers.Run(
        count * channels,
        [&](std::uint64_t i, std::uint32_t worker) {
            if (Stopped(cancelled)) return;
            FinishFrame(first, first + i / channels, std::uint32_t(i % channels), blend, scratch[worker], spectra);
        },
        nullptr, FrameWorkers(m_run, m_channels, workers.Size()));
    return !Stopped(cancelled);
}

bool SpectrogramMdl::MeasureChains(
    std::uint64_t first, std::uint64_t count, WorkerGroup& workers, const std::function<bool()>& cancelled) {
    const auto& bands = m_transience->BandBins();
    const std::uint64_t bandCount = bands.size();
    const std::uint64_t channels = m_channels;
    // Each chain of (channel, band), its lengths in step, walks the run's frames in order;
    // the widest bands go first so that the threads end together.
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
        const std::uint32_t c = std::uint32_t(chains[i] % channels);
        for (std::uint64_t k = first; k < first + count && !Stopped(cancelled); ++k) {
            float measures[kFrameLengths];
            MeasureBand(c, std::int32_t(j), k, measures);
            float* into = MeasuresOf(k - first, c);
            for (int r = 0; r < kFrameLengths; ++r) into[std::uint64_t(r) * bandCount + j] = measures[r];
        }
    });
    return !Stopped(cancelled);
}

SpectrogramMdl::Blend SpectrogramMdl::BlendOf(const SpectrogramLevels& levels) const {
    Blend blend{levels, {}, {}};
    for (int r = 0; r < kFrameLengths; ++r) blend.offsets[r] = levels.ScaledOffset(m_layout.WindowLength(r));
    blend.slack = SlackOf(levels, blend.offsets, m_kernelSpread);
    return blend;
}

// Frame k's band weights, then the column at the centre of the R frames just measured.
void SpectrogramMdl::FinishFrame(std::uint64_t first, std::uint64_t k, std::uint32_t channel, const Blend& blend,
    FrameScratch& scratch, std::vector<SpectrogramSpectrum>& spectra) {
    WeighBands(MeasuresOf(k - first, channel), m_transience->BandBins(), scratch.bandWeights);
    if (channel + 1 == m_channels) KeepWatched(k, scratch.bandWeights);
    if (k < std::uint64_t(m_lookahead)) return;
    InterpolateToBins(scratch.bandWeights, m_transience->Kernels(), scratch.bands, scratch.bins);
    const std::uint64_t q = k - std::uint64_t(m_lookahead);
    WriteColumn(channel, q, blend, scratch, spectra[channel].data() + q * m_bins);
}

void SpectrogramMdl::KeepWatched(std::uint64_t k, const LengthWeights& weights) {
    std::lock_guard<std::mutex> guard(m_watchLock);
    if (k != m_watch && !(m_watch == kWatchLast && k >= m_watchedFrame)) return;
    m_watchedFrame = k;
    const std::uint64_t bands = std::min<std::uint64_t>(weights[0].size(), kMostBands);
    for (std::uint64_t j = 0; j < bands; ++j)
        for (int r = 0; r < kFrameLengths; ++r)
            m_watched[std::size_t(j * kFrameLengths + std::uint64_t(r))] = weights[std::size_t(r)][j];
}

// Column q: its levels per length, blended per bin in the order r = 0..3. The levels come
// first in single precision; a bin whose sum lies too near a rounding edge for their error
// to be ruled out, or holds no number, is summed again from the levels in double precision,
// so every byte is the one those give.
void SpectrogramMdl::WriteColumn(
    std::uint32_t channel, std::uint64_t q, const Blend& blend, FrameScratch& scratch, std::uint8_t* __restrict out) {
    scratch.values.resize(kFrameLengths * m_bins);
    const float* rows[kFrameLengths];
    const float* values[kFrameLengths];
    for (int r = 0; r < kFrameLengths; ++r) {
        rows[r] = Row(channel, r, q);
        float* levels = scratch.values.data() + std::uint64_t(r) * m_bins;
        blend.levels.FastValues(rows[r], std::int64_t(m_bins), blend.offsets[r], levels);
        values[r] = levels;
    }
    const V4f* weights = scratch.bins.data();
    const std::uint64_t kernelBins = std::min<std::uint64_t>(m_bins, m_transience->Kernels().size());
    const auto exactByte = [&](std::uint64_t bin) {
        return ExactByte(weights[bin], blend.levels, rows, blend.offsets, bin);
    };
    std::uint64_t b = 0;
    for (; b + 4 <= kernelBins; b += 4) {
        const int clear = QuickBytes(weights, values, b, blend.slack, out);
        if (clear != 0xF) {
            for (int lane = 0; lane < 4; ++lane)
                if (!(clear & (1 << lane))) out[b + std::uint64_t(lane)] = exactByte(b + std::uint64_t(lane));
        }
    }
    for (; b < kernelBins; ++b) out[b] = exactByte(b);
    for (b = kernelBins; b < m_bins; ++b) out[b] = 0;
}

std::array<float, kFrameLengths> SpectrogramMdl::BandWeights(std::int32_t band) const {
    std::array<float, kFrameLengths> weights{};
    if (band < 0 || band >= kMostBands) return weights;
    for (int r = 0; r < kFrameLengths; ++r) weights[std::size_t(r)] = m_watched[std::size_t(band * kFrameLengths + r)];
    return weights;
}

}  // namespace UI
