#pragma once
#include <Tonalith/Analysis/DSP/Transience.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>
#include <Tonalith/Analysis/Spectrogram/SpectrumAllocator.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace UI {

// The "MDL STFT" state of one compute step: per channel and frame length the normalised
// power spectra of the run being analysed and of the frames before it that the run still
// reads, per critical band a sorted history of the band values of the last R = 4f + 1
// frames, and the weights that pick, per band, the most concentrated frame length. All of
// it is sized for the frames the source has, when they are fewer.
//
// Frames go in runs. Their spectra are independent, and so is every chain of one channel,
// frame length and band through the frames, so a run is analysed in three stages, each
// spread over threads: the rows of every frame, the measures of every chain, the weights
// and output column of every frame. The arithmetic of each value is that of frame-by-frame
// analysis.
class SpectrogramMdl {
public:
    // Bytes Prepare allocates for a source of `length` frames (rows, sorted rows, band
    // histories, measures and band layout), for the memory check; ~0 when that does not
    // fit 64 bits.
    static std::uint64_t StateBytes(const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t length);
    // Bytes each thread that weighs frames adds to that.
    static std::uint64_t ThreadBytes(const SpectrogramLayout& layout);
    // Frames of one run, of a step of `frames` analysed frames.
    static std::uint64_t RunFrames(const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t frames);
    // Threads that transform and weigh the frames of runs of `run` frames, each with buffers
    // of its own: no more than a run has frames and channels, so that a step of few frames
    // and large transforms holds few of them, even as the threads take turns.
    static std::uint32_t FrameWorkers(std::uint64_t run, std::uint32_t channels, std::uint32_t threads);

    // Rebuilds everything for a source of `length` frames; the frames before the first are
    // silence. The band layout follows the rate and FFT length. Throws std::bad_alloc /
    // std::length_error when it cannot be sized.
    void Prepare(DSP::Transience& transience, const SpectrogramLayout& layout, std::uint32_t channels, float sampleRate,
        std::uint64_t length);

    // Where the power spectrum of frame k, length r, goes (k within the current run). A
    // frame past the last column writes none, so its row is sorted where it lies.
    float* Row(std::uint32_t channel, int r, std::uint64_t k) {
        return k < m_columns ? m_rows.Row(channel, r, k) : m_sortedRows.Row(channel, r, k);
    }
    // Sorts each band of frame k's rows, once they hold their spectra; best on the
    // thread that wrote them, while they are still in its cache. Powers in the rows that
    // are not numbers, or negative, become 0 there too.
    void SortRows(std::uint32_t channel, std::uint64_t k, std::vector<std::uint32_t>& scratch);
    // After the rows of the frames [first, first + count) hold their spectra, sorted: measures the
    // bands, blends the weights and writes every column k - D that a frame k of the run
    // completes (D the layout's look-ahead, 2f frames).
    // Every thread asks `cancelled` (when given) between frames; false when it stopped the
    // run, whose state is then of no further use.
    bool FinishRun(std::uint64_t first, std::uint64_t count, WorkerGroup& workers, const SpectrogramLevels& levels,
        std::vector<SpectrogramSpectrum>& spectra, const std::function<bool()>& cancelled);

    // The most bands a layout has, with room to spare: the critical-band table has 25. The
    // memory check counts this many, and the watched weights keep this many.
    static constexpr std::int32_t kMostBands = 32;

    // Which frame's weights BandWeights keeps, of the last channel; by default the last frame.
    // Both only between compute steps (for tests).
    void Watch(std::uint64_t frame) { m_watch = frame; }
    // The per-length weights of a band of the watched frame: weights[r].
    std::array<float, kFrameLengths> BandWeights(std::int32_t band) const;

private:
    struct Blend;
    struct FrameScratch;
    using LengthWeights = std::array<std::vector<float>, kFrameLengths>;
    static constexpr std::uint64_t kWatchLast = ~std::uint64_t(0);

    // Rows of bins per channel, length and frame, for the frames of a span that slide along:
    // frame k in slot k mod slots.
    struct RowRing {
        std::vector<float> store;
        std::uint64_t slots = 1, bins = 0;

        void Assign(std::uint32_t channels, std::uint64_t frames, std::uint64_t rowBins);
        float* Row(std::uint32_t channel, int r, std::uint64_t k) {
            return store.data() +
                ((std::uint64_t(channel) * kFrameLengths + std::uint64_t(r)) * slots + k % slots) * bins;
        }
    };

    // A band's sorted histories: per channel and length, the history, and the frames of a
    // measure; each with room for the powers above 0 of the frames it may hold, an end mark
    // and a chunk's spare. Pages never written take no memory, as in a silent stretch.
    struct BandHistories {
        std::vector<float, SpectrumAllocator<float>> store;
        std::vector<float*> lists;  // (channel * kFrameLengths + r) * 2: history, + 1: frames
        std::vector<std::int32_t> used;  // values in each history
    };

    // Band j's values of a row, sorted descending.
    float* SortedBand(std::uint32_t channel, int r, std::uint64_t k, std::size_t band) {
        return m_sortedRows.Row(channel, r, k) + m_transience->BandBins()[band].begin;
    }
    // The measures of the lengths of a band of frame k, into measures[r].
    void MeasureBand(std::uint32_t channel, std::int32_t band, std::uint64_t k, float measures[kFrameLengths]);
    // The measures of the k-th frame of the run and a channel: r * bands + band.
    float* MeasuresOf(std::uint64_t k, std::uint32_t channel) {
        return m_measures.data() + (k * m_channels + channel) * kFrameLengths * m_transience->BandBins().size();
    }
    // FinishRun's steps: the measures of every chain of the run's frames, then per frame and
    // channel the band weights and the column they complete.
    bool MeasureChains(
        std::uint64_t first, std::uint64_t count, WorkerGroup& workers, const std::function<bool()>& cancelled);
    Blend BlendOf(const SpectrogramLevels& levels) const;
    void FinishFrame(std::uint64_t first, std::uint64_t k, std::uint32_t channel, const Blend& blend,
        FrameScratch& scratch, std::vector<SpectrogramSpectrum>& spectra);
    void KeepWatched(std::uint64_t k, const LengthWeights& weights);
    void WriteColumn(std::uint32_t channel, std::uint64_t q, const Blend& blend, FrameScratch& scratch,
        std::uint8_t* __restrict out);

    const DSP::Transience* m_transience = nullptr;
    SpectrogramLayout m_layout;
    std::uint32_t m_channels = 0;
    std::int32_t m_lookahead = 0;
    std::int32_t m_ringLength = 1;
    std::uint64_t m_columns = 0;
    std::uint64_t m_run = 1;  // frames of a run at most
    std::array<std::int32_t, kFrameLengths> m_framesHeld{};  // per length, by a band history at most
    std::uint64_t m_bins = 0;
    // The power spectra of a run's frames and of the D before it, whose columns it writes;
    // only of the frames that have a column.
    RowRing m_rows;
    // The same rows, each band's values sorted descending, of a run's frames and of the R - 1
    // before it, which leave the histories during the run.
    RowRing m_sortedRows;
    std::vector<BandHistories> m_histories;
    std::vector<float> m_measures;  // per frame of the run, channel, r and band
    float m_kernelSpread = 0.0f;  // the largest sum of a bin kernel's weights in magnitude
    std::uint64_t m_watch = kWatchLast;
    std::mutex m_watchLock;
    std::uint64_t m_watchedFrame = 0;
    std::array<float, kFrameLengths * kMostBands> m_watched{};  // band * kFrameLengths + r
};

}  // namespace UI
