#include <Tonalith/Analysis/Spectrogram/SpectrogramMdl.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace UI {

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
    // Rows and their band-sorted copies, the histories, and the run's measures.
    return std::uint64_t(channels) * 4u * std::uint64_t(layout.bins) * sizeof(float) * (2u * slots + ring) +
        slots * channels * 4u * 32u * sizeof(float);
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
    m_sortedRows = m_rows;

    const auto& bands = transience.BandBins();
    const std::int32_t rows = static_cast<std::int32_t>(channels) * 4;
    m_histories.resize(bands.size());
    m_historySize.assign(bands.size(), {});
    for (std::size_t j = 0; j < bands.size(); ++j) {
        const std::int32_t size = std::max(0, bands[j].end - bands[j].begin);
        if (size == 0) continue;
        // The R - 1 frames before the first are silence; one more float ends the list.
        m_histories[j].Resize(rows, 0, m_ringLength * size + 1, 0, true);
        m_historySize[j].assign(std::size_t(rows), (m_ringLength - 1) * size);
    }
    m_measures.assign(std::size_t(RunFrames(layout, channels)) * channels * 4 * bands.size(), 0.0f);
}

void SpectrogramMdl::SortRows(std::uint32_t channel, std::uint64_t k) {
    const auto& bands = m_transience->BandBins();
    for (int r = 0; r < 4; ++r) {
        float* row = Row(channel, r, k);
        // Powers that are not numbers would break the sorted histories.
        for (std::uint64_t b = 0; b < m_bins; ++b) {
            if (std::isnan(row[b])) row[b] = 0.0f;
        }
        float* sorted = RowOf(m_sortedRows, channel, r, k);
        for (const auto& band : bands) {
            if (band.end <= band.begin) continue;
            std::copy(row + band.begin, row + band.end, sorted + band.begin);
            std::sort(sorted + band.begin, sorted + band.end, std::greater<float>());
        }
    }
}

float SpectrogramMdl::MeasureBand(
    std::uint32_t channel, int r, std::int32_t band, std::uint64_t k, std::vector<float>& merged) {
    const auto& range = m_transience->BandBins()[std::size_t(band)];
    const std::int32_t size = range.end - range.begin;
    const std::int32_t row = static_cast<std::int32_t>(channel) * 4 + r;
    float* history = m_histories[std::size_t(band)].Channel(row);
    std::int32_t& used = m_historySize[std::size_t(band)][std::size_t(row)];
    const float* incoming = RowOf(m_sortedRows, channel, r, k) + range.begin;
    // R - 1 frames later this frame's values leave again; now those of frame k - (R - 1) do.
    const float* oldest = RowOf(m_sortedRows, channel, r, k - std::uint64_t(m_ringLength - 1)) + range.begin;

    // One pass over the merged descending list: the measure's sums, and the new history
    // without the oldest frame's values (one occurrence each). Every value is at least 0,
    // so a -1 after each list ends it without bounds checks, and the pass has no branch
    // that depends on the values.
    const std::int32_t capacity = m_ringLength * size;
    const std::size_t scratch = std::size_t(capacity) + 1 + 2 * (std::size_t(size) + 1);
    if (merged.size() < scratch) merged.resize(scratch);
    float* out = merged.data();
    float* next = out + capacity + 1;
    float* leaving = next + size + 1;
    std::copy(incoming, incoming + size, next);
    std::copy(oldest, oldest + size, leaving);
    next[size] = leaving[size] = history[used] = -1.0f;
    double weighted = 0.0;
    double total = 0.0;
    std::int32_t h = 0, a = 0, o = 0, kept = 0;
    const std::int32_t count = used + size;
    for (std::int32_t i = 0; i < count; ++i) {
        const bool fromNext = next[a] > history[h];
        const float x = fromNext ? next[a] : history[h];
        a += fromNext;
        h += !fromNext;
        weighted += double(i) * double(x);
        total += double(x);
        while (leaving[o] > x) ++o;
        const bool drop = leaving[o] == x;
        o += drop;
        out[kept] = x;
        kept += !drop && kept < capacity;
    }
    std::copy(out, out + kept, history);
    used = kept;

    const double measure = weighted / (std::sqrt(total) + 1e-12);
    const double bias = 1.0 + 0.0125 * double(2 - r) * double(band - 12);
    return static_cast<float>(measure * bias);
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

    workers.Run(count * channels, [&](std::uint64_t i, std::uint32_t) {
        if (!stop()) SortRows(std::uint32_t(i % channels), first + i / channels);
    });
    if (stop()) return false;

    // Each chain of (channel, length, band) walks the run's frames in order; the widest
    // bands go first so that the threads end together.
    std::vector<std::uint64_t> chains;
    for (std::uint64_t j = 0; j < bandCount; ++j) {
        if (bands[j].end <= bands[j].begin) continue;
        for (std::uint64_t cr = 0; cr < channels * 4; ++cr) chains.push_back(j * channels * 4 + cr);
    }
    std::stable_sort(chains.begin(), chains.end(), [&](std::uint64_t x, std::uint64_t y) {
        const auto& bx = bands[x / (channels * 4)];
        const auto& by = bands[y / (channels * 4)];
        return bx.end - bx.begin > by.end - by.begin;
    });
    std::vector<std::vector<float>> merges(std::max<std::uint32_t>(threads, 1));
    workers.Run(chains.size(), [&](std::uint64_t i, std::uint32_t worker) {
        const std::uint64_t j = chains[i] / (channels * 4);
        const std::uint64_t c = chains[i] % (channels * 4) / 4;
        const int r = int(chains[i] % 4);
        std::vector<float>& merged = merges[worker];
        for (std::uint64_t k = first; k < first + count && !stop(); ++k)
            measureAt(k, c, r, j) = MeasureBand(std::uint32_t(c), r, std::int32_t(j), k, merged);
    });
    if (stop()) return false;

    std::vector<std::array<std::vector<float>, 8>> weightRows(std::max<std::uint32_t>(threads, 1));
    workers.Run(count * channels, [&](std::uint64_t i, std::uint32_t worker) {
        if (stop()) return;
        const std::uint64_t k = first + i / channels;
        const std::uint32_t c = std::uint32_t(i % channels);
        // Per length: the band weights (0..3) and the bin weights (4..7).
        std::array<std::vector<float>, 8>& weights = weightRows[worker];
        std::vector<float>* bandWeights = weights.data();
        std::vector<float>* binWeights = weights.data() + 4;
        for (int r = 0; r < 4; ++r) {
            bandWeights[r].assign(bandCount + 4, 0.0f);
            binWeights[r].resize(m_bins);
        }
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
            for (int r = 0; r < 4; ++r) bandWeights[r][j] = static_cast<float>(w[r] / sum);
        }
        if (c + 1 == channels) {
            std::lock_guard<std::mutex> guard(m_watchLock);
            if (k == m_watch || (m_watch == ~std::uint64_t(0) && k >= m_watchedFrame)) {
                m_watchedFrame = k;
                for (std::uint64_t j = 0; j < std::min<std::uint64_t>(bandCount, 32); ++j)
                    for (int r = 0; r < 4; ++r) m_watched[std::size_t(j * 4 + std::uint64_t(r))] = bandWeights[r][j];
            }
        }
        if (k < std::uint64_t(m_lookahead)) return;
        for (int r = 0; r < 4; ++r) m_transience->BandsToBins(bandWeights[r].data(), binWeights[r].data());

        // The frame at the centre of the R frames just measured.
        const std::uint64_t q = k - std::uint64_t(m_lookahead);
        float offsets[4];
        const float* rows[4];
        for (int r = 0; r < 4; ++r) {
            offsets[r] = levels.ScaledOffset(m_layout.WindowLength(r));
            rows[r] = Row(c, r, q);
        }
        std::uint8_t* out = spectra[c].data() + q * m_bins;
        for (std::uint64_t b = 0; b < m_bins; ++b) {
            float sum = 0.0f;
            for (int r = 0; r < 4; ++r) sum += binWeights[r][b] * levels.Value(rows[r][b], offsets[r]);
            out[b] = SpectrogramLevels::ToByte(sum);
        }
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
