#include <Tonalith/Analysis/Spectrogram/SpectrogramMdl.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace UI {
namespace {

using V2d = double __attribute__((vector_size(16)));
using V4f = float __attribute__((vector_size(16)));

constexpr std::int32_t kRankSortBelow = 64;

// Sorts n powers (floats of at least +0, no NaN) into descending order. Such floats order
// as their bit patterns do, so a radix sort on the patterns gives the same list as a
// comparison sort; passes whose byte is the same for every value are skipped.
void SortDescending(float* values, std::int32_t n, std::vector<std::uint32_t>& scratch) {
    if (n < kRankSortBelow) {
        // Few values: each goes to its rank, the number of values above it and of equal
        // ones before it; no branch depends on the values, and the counting vectorises.
        std::int32_t keys[kRankSortBelow];
        float copy[kRankSortBelow];
        std::memcpy(keys, values, sizeof(float) * std::size_t(n));
        std::memcpy(copy, values, sizeof(float) * std::size_t(n));
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t key = keys[i];
            std::int32_t rank = 0;
            for (std::int32_t j = 0; j < n; ++j) rank += (keys[j] > key) | ((keys[j] == key) & (j < i));
            values[rank] = copy[i];
        }
        return;
    }
    if (scratch.size() < 2 * std::size_t(n)) scratch.resize(2 * std::size_t(n));
    std::uint32_t* keys = scratch.data();
    std::uint32_t* other = keys + n;
    std::uint32_t counts[4][256] = {};
    for (std::int32_t i = 0; i < n; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        // Complemented, so that ascending keys are descending powers.
        keys[i] = ~bits;
        for (int d = 0; d < 4; ++d) ++counts[d][(keys[i] >> (8 * d)) & 0xFF];
    }
    for (int d = 0; d < 4; ++d) {
        std::uint32_t* count = counts[d];
        if (count[(keys[0] >> (8 * d)) & 0xFF] == std::uint32_t(n)) continue;
        std::uint32_t sum = 0;
        for (int b = 0; b < 256; ++b) {
            const std::uint32_t c = count[b];
            count[b] = sum;
            sum += c;
        }
        for (std::int32_t i = 0; i < n; ++i) other[count[(keys[i] >> (8 * d)) & 0xFF]++] = keys[i];
        std::swap(keys, other);
    }
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint32_t bits = ~keys[i];
        std::memcpy(&values[i], &bits, sizeof bits);
    }
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
    // Rows and their band-sorted copies (with an end mark per band), both histories, and the
    // run's measures.
    return std::uint64_t(channels) * 4u * std::uint64_t(layout.bins) * sizeof(float) * (2u * slots + 2u * ring) +
        2u * slots * channels * 4u * 32u * sizeof(float);
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

    m_rows.assign(std::size_t(channels) * 4 * m_slots * m_bins, 0.0f);
    const auto& layoutBands = transience.BandBins();
    m_sortedStride = m_bins + layoutBands.size();
    m_sortedRows.assign(std::size_t(channels) * 4 * m_slots * m_sortedStride, 0.0f);
    for (std::size_t row = 0; row < std::size_t(channels) * 4 * m_slots; ++row) {
        for (std::size_t j = 0; j < layoutBands.size(); ++j) {
            if (layoutBands[j].end > layoutBands[j].begin)
                m_sortedRows[row * m_sortedStride + std::size_t(layoutBands[j].end) + j] = -1.0f;
        }
    }

    const auto& bands = transience.BandBins();
    const std::int32_t rows = static_cast<std::int32_t>(channels) * 4;
    m_histories.resize(bands.size());
    m_historySize.assign(bands.size(), {});
    m_historySide.assign(bands.size(), {});
    for (std::size_t j = 0; j < bands.size(); ++j) {
        const std::int32_t size = std::max(0, bands[j].end - bands[j].begin);
        if (size == 0) continue;
        // The R - 1 frames before the first are silence; one more float ends the list.
        m_histories[j].Resize(2 * rows, 0, m_ringLength * size + 1, 0, true);
        m_historySize[j].assign(std::size_t(rows), (m_ringLength - 1) * size);
        m_historySide[j].assign(std::size_t(rows), 0);
    }
    m_measures.assign(std::size_t(RunFrames(layout, channels)) * channels * 4 * bands.size(), 0.0f);
}

void SpectrogramMdl::SortRows(std::uint32_t channel, std::uint64_t k, std::vector<std::uint32_t>& scratch) {
    const auto& bands = m_transience->BandBins();
    for (int r = 0; r < 4; ++r) {
        float* row = Row(channel, r, k);
        // Powers that are not numbers would break the sorted histories.
        for (std::uint64_t b = 0; b < m_bins; ++b) row[b] = std::isnan(row[b]) ? 0.0f : row[b];
        for (std::size_t j = 0; j < bands.size(); ++j) {
            const auto& band = bands[j];
            if (band.end <= band.begin) continue;
            float* sorted = SortedBand(channel, r, k, j);
            std::copy(row + band.begin, row + band.end, sorted);
            SortDescending(sorted, band.end - band.begin, scratch);
        }
    }
}

namespace {

// One chain's pass over the merged descending list of its history and a new frame's
// values: the measure's two sums, and the next history without the oldest frame's values
// (one occurrence each). Every value is at least 0, so a -1 after each list ends it
// without bounds checks. K chains of the same length go in lock step: each keeps its own
// arithmetic, and the processor overlaps their otherwise serial steps.
struct MergeChain {
    const float* next;
    const float* history;
    const float* leaving;
    float* out;
    double weighted, total;
    std::int32_t kept;
};

// A power's bit pattern as a signed integer: for powers (+0 up, no NaN) it orders and
// compares as the power does, and the -1 that ends a list is below every power.
[[gnu::always_inline]] inline std::int32_t Key(const float* p) {
    std::int32_t key;
    std::memcpy(&key, p, sizeof key);
    return key;
}

// One chain's cursors through its lists, kept in locals so that lanes in step stay in
// registers.
struct MergeLane {
    const float* next;
    const float* history;
    const float* leaving;
    float* out;
    double weighted = 0.0, total = 0.0;

    explicit MergeLane(const MergeChain& chain)
        : next(chain.next), history(chain.history), leaving(chain.leaving), out(chain.out) {}

    [[gnu::always_inline]] void Step(double position) {
        const std::int32_t fromNext = Key(next), fromHistory = Key(history);
        const bool takeNext = fromNext > fromHistory;
        const std::int32_t x = takeNext ? fromNext : fromHistory;
        next += takeNext;
        history += !takeNext;
        float value;
        std::memcpy(&value, &x, sizeof value);
        weighted += position * double(value);
        total += double(value);
        // The history holds every value of the oldest frame (it holds the R - 1 frames
        // whole), so the merged list meets each of them: the next one to leave is never
        // passed over.
        const bool drop = Key(leaving) == x;
        leaving += drop;
        std::memcpy(out, &x, sizeof x);
        out += !drop;
    }

    void Finish(MergeChain& chain, const float* start) const {
        chain.weighted = weighted;
        chain.total = total;
        chain.kept = static_cast<std::int32_t>(out - start);
    }
};

void MergeOne(MergeChain& chain, std::int32_t count) {
    MergeLane lane(chain);
    double position = 0.0;
    for (std::int32_t i = 0; i < count; ++i, position += 1.0) lane.Step(position);
    lane.Finish(chain, chain.out);
}

void MergeTwo(MergeChain* chains, std::int32_t count) {
    MergeLane l0(chains[0]), l1(chains[1]);
    double position = 0.0;
    for (std::int32_t i = 0; i < count; ++i, position += 1.0) {
        l0.Step(position);
        l1.Step(position);
    }
    l0.Finish(chains[0], chains[0].out);
    l1.Finish(chains[1], chains[1].out);
}

}  // namespace

void SpectrogramMdl::MeasureBands(std::uint32_t channel, std::int32_t band, std::uint64_t k, float measures[4]) {
    const auto& range = m_transience->BandBins()[std::size_t(band)];
    const std::int32_t size = range.end - range.begin;
    const std::int32_t capacity = m_ringLength * size;
    const std::int32_t rows = static_cast<std::int32_t>(m_channels) * 4;
    DSP::DataTail& histories = m_histories[std::size_t(band)];
    MergeChain chains[4];
    std::int32_t counts[4];
    for (int r = 0; r < 4; ++r) {
        const std::int32_t row = static_cast<std::int32_t>(channel) * 4 + r;
        // Two buffers per row: the history, and the next one the pass writes.
        std::uint8_t& side = m_historySide[std::size_t(band)][std::size_t(row)];
        float* history = histories.Channel(row + side * rows);
        float* out = histories.Channel(row + (1 - side) * rows);
        // A pass keeps every value but those of the oldest frame, so a history holds R - 1
        // frames; the bound keeps the pass inside its buffer whatever the values.
        const std::int32_t used = std::min(m_historySize[std::size_t(band)][std::size_t(row)], capacity - size);
        // R - 1 frames later this frame's values leave again; now those of frame k - (R - 1) do.
        chains[r].next = SortedBand(channel, r, k, std::size_t(band));
        chains[r].leaving = SortedBand(channel, r, k - std::uint64_t(m_ringLength - 1), std::size_t(band));
        chains[r].history = history;
        chains[r].out = out;
        history[used] = -1.0f;
        counts[r] = used + size;
    }
    for (int r = 0; r < 4; r += 2) {
        if (counts[r] == counts[r + 1]) {
            MergeTwo(chains + r, counts[r]);
        } else {
            MergeOne(chains[r], counts[r]);
            MergeOne(chains[r + 1], counts[r + 1]);
        }
    }
    for (int r = 0; r < 4; ++r) {
        const std::int32_t row = static_cast<std::int32_t>(channel) * 4 + r;
        std::uint8_t& side = m_historySide[std::size_t(band)][std::size_t(row)];
        side = std::uint8_t(1 - side);
        m_historySize[std::size_t(band)][std::size_t(row)] = chains[r].kept;
        const double measure = chains[r].weighted / (std::sqrt(chains[r].total) + 1e-12);
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

    std::vector<std::vector<std::uint32_t>> sortScratch(threads);
    workers.Run(count * channels, [&](std::uint64_t i, std::uint32_t worker) {
        if (!stop()) SortRows(std::uint32_t(i % channels), first + i / channels, sortScratch[worker]);
    });
    if (stop()) return false;

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
            MeasureBands(std::uint32_t(c), std::int32_t(j), k, measures);
            for (int r = 0; r < 4; ++r) measureAt(k, c, r, j) = measures[r];
        }
    });
    if (stop()) return false;

    // Per thread: the band weights per length, the four lengths' weights per band and per
    // bin, and the logarithms per bin and length.
    struct Blend {
        std::array<std::vector<float>, 4> bandWeights;
        std::vector<V4f> bands, bins;
        std::vector<double> logs;
    };
    std::vector<Blend> blends(std::max<std::uint32_t>(threads, 1));
    float offsets[4];
    for (int r = 0; r < 4; ++r) offsets[r] = levels.ScaledOffset(m_layout.WindowLength(r));
    const auto& kernels = m_transience->Kernels();
    const double factor = double(levels.Factor());
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
        // blended per bin in the order r = 0..3.
        const std::uint64_t q = k - std::uint64_t(m_lookahead);
        blend.logs.resize(4 * m_bins);
        double* logs = blend.logs.data();
        for (int r = 0; r < 4; ++r) {
            const float* row = Row(c, r, q);
            for (std::uint64_t b = 0; b < m_bins; ++b)
                logs[b * 4 + std::uint64_t(r)] = SpectrogramLevels::GuardedLog(row[b]);
        }
        const V2d scale = V2d{} + factor;
        const V2d offsetLow = {double(offsets[0]), double(offsets[1])},
                  offsetHigh = {double(offsets[2]), double(offsets[3])};
        std::uint8_t* __restrict out = spectra[c].data() + q * m_bins;
        const std::uint64_t weighted = std::min<std::uint64_t>(m_bins, kernels.size());
        for (std::uint64_t b = 0; b < weighted; ++b) {
            V2d low, high;
            std::memcpy(&low, logs + 4 * b, sizeof low);
            std::memcpy(&high, logs + 4 * b + 2, sizeof high);
            low = low * scale + offsetLow;
            high = high * scale + offsetHigh;
            const V4f values = {float(low[0]), float(low[1]), float(high[0]), float(high[1])};
            const V4f products = blend.bins[b] * values;
            float sum = 0.0f;
            sum += products[0];
            sum += products[1];
            sum += products[2];
            sum += products[3];
            out[b] = SpectrogramLevels::ToByte(sum);
        }
        for (std::uint64_t b = weighted; b < m_bins; ++b) out[b] = 0;
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
