#pragma once
#include <Tonalith/Analysis/DSP/DataTail.h>
#include <Tonalith/Analysis/DSP/OversampledFilterbank.h>

#include <array>
#include <cstdint>
#include <vector>

namespace DSP {

// The critical-band layout over the bins of an FFT of length M, and the kernels that
// interpolate per-band values onto the bins.
class Transience {
public:
    struct BinRange {
        std::int32_t begin;
        std::int32_t end;  // exclusive; a band without bins has end <= begin
    };
    // Weights on the bands first .. first + 3 (unused taps are 0).
    struct Kernel {
        std::int32_t first;
        std::array<float, 4> weights;
    };

    Transience() = default;
    Transience(const Transience&) = delete;
    Transience& operator=(const Transience&) = delete;
    virtual ~Transience();

    // Throws std::length_error / std::bad_alloc when M cannot be laid out.
    void Configure(std::int32_t channels, float sampleRate, std::int32_t blockLength, std::int32_t fftLength);
    void SetBandGrouping(std::int32_t grouping);
    void BuildBinKernels(std::int32_t fftLength);
    // out[b] = sum of kernel_b[t] * bandValues[first_b + t], for every bin; bandValues
    // holds one value per band.
    void BandsToBins(const float* bandValues, float* out) const;

    std::int32_t BandCount() const { return m_bandCount; }
    std::int32_t BinCount() const { return m_bins; }
    std::int32_t FftLength() const { return m_fftLength; }
    float Rate() const { return m_rate; }
    const std::vector<float>& Edges() const { return m_edges; }
    const std::vector<float>& Centres() const { return m_centres; }
    const std::vector<BinRange>& BandBins() const { return m_bandBins; }
    const std::vector<std::int32_t>& BinEdges() const { return m_binEdges; }
    const std::vector<Kernel>& Kernels() const { return m_kernels; }
    float Smoothing() const { return m_smoothing; }
    const OversampledFilterbank& Filterbank() const { return m_filterbank; }

    // The critical-band table in Hz (26 edges).
    static const std::array<float, 26>& CriticalBandEdges();

private:
    std::int32_t BinOf(double frequency) const;

    std::int32_t m_grouping = 1;
    std::int32_t m_bandCount = 0;
    std::int32_t m_channels = 0;
    std::vector<float> m_edges;
    std::vector<float> m_centres;
    std::vector<BinRange> m_bandBins;
    std::vector<std::int32_t> m_binEdges;
    std::int32_t m_fftLength = 0;
    std::int32_t m_halfLength = 0;
    std::int32_t m_bins = 0;
    float m_rate = 0.0f;
    OversampledFilterbank m_filterbank;
    DataTail m_bandTail;
    std::vector<float> m_scratch;
    float m_smoothing = 1.0f;
    std::vector<Kernel> m_kernels;
};

}  // namespace DSP
