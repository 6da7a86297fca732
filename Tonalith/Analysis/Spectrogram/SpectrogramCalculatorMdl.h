#pragma once
#include <Tonalith/Analysis/DSP/DataTail.h>
#include <Tonalith/Analysis/DSP/Transience.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorLayout.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorLevels.h>

#include <array>
#include <cstdint>
#include <vector>

namespace UI {

// The "MDL STFT" state of one compute step: per channel and frame length a ring of the
// last R = 4f + 1 normalised power spectra, per critical band a sorted history of their
// band values, and the weights that pick, per band, the most concentrated frame length.
class SpectrogramMdl {
public:
    // Bytes Prepare would allocate (rings and band histories), for the memory check.
    static std::uint64_t StateBytes(const SpectrogramLayout& layout, std::uint32_t channels);

    // Rebuilds everything zero-filled; the band layout follows the rate and FFT length.
    // Throws std::bad_alloc / std::length_error when it cannot be sized.
    void Prepare(
        DSP::Transience& transience, const SpectrogramLayout& layout, std::uint32_t channels, float sampleRate);

    // Row p of ring (channel, r): where the frame's power spectrum of length r goes.
    float* RingRow(std::uint32_t channel, int r) { return Ring(channel, r).Channel(m_position); }

    // After the four rows of channel c hold the current frame: measures the bands, blends
    // the weights and, once the lookahead is full (frame >= D), writes column frame - D.
    void FinishChannel(
        std::uint32_t channel, std::uint64_t frame, const SpectrogramLevels& levels, std::uint8_t* spectrum);
    // Moves the ring on after every channel has been done for a frame.
    void Advance() { m_position = (m_position + 1) % m_ringLength; }

    std::int32_t Lookahead() const { return m_lookahead; }
    std::int32_t RingLength() const { return m_ringLength; }
    // The last per-length weights of a band (for tests): weights[r].
    std::array<float, 4> BandWeights(std::int32_t band) const;

private:
    DSP::DataTail& Ring(std::uint32_t channel, int r) { return m_rings[std::size_t(channel) * 4 + std::size_t(r)]; }
    DSP::DataTail& SortedRing(std::uint32_t channel, int r) {
        return m_sortedRings[std::size_t(channel) * 4 + std::size_t(r)];
    }
    float MeasureBand(std::uint32_t channel, int r, std::int32_t band);

    const DSP::Transience* m_transience = nullptr;
    SpectrogramLayout m_layout;
    std::int32_t m_position = 0;
    std::int32_t m_lookahead = 0;
    std::int32_t m_ringLength = 1;
    std::int32_t m_bins = 0;
    std::vector<DSP::DataTail> m_rings;
    std::vector<DSP::DataTail> m_sortedRings;  // the same rows, each band's values sorted descending
    std::vector<DSP::DataTail> m_histories;  // one per band, rows channel * 4 + r
    std::vector<std::vector<std::int32_t>> m_historySize;  // values in use per band and row
    std::vector<float> m_merged;
    std::array<std::vector<float>, 4> m_bandWeights;  // per r, one per band plus padding
    std::array<std::vector<float>, 4> m_binWeights;  // per r, one per bin
    std::array<float, 4> m_offsets{};
};

}  // namespace UI
