#pragma once
#include <Tonalith/Analysis/DSP/AudioProcessor.h>
#include <Tonalith/Analysis/DSP/DataTail.h>
#include <Tonalith/Analysis/DSP/FftHolderF32.h>

#include <cstdint>
#include <vector>

namespace DSP {

// The design of a uniform filterbank: band table, analysis and synthesis windows, the FFT
// record and the overlap stores. Nothing here runs it on samples.
class OversampledFilterbank : public AudioProcessor {
public:
    struct Band {
        float lower;
        float upper;
    };

    OversampledFilterbank() = default;
    OversampledFilterbank(const OversampledFilterbank&) = delete;
    OversampledFilterbank& operator=(const OversampledFilterbank&) = delete;
    ~OversampledFilterbank() override;

    void Configure(std::int32_t channels, std::uint32_t sampleRate, std::int32_t maxBlockLength) override;
    std::int32_t EnsureBlockLength(const float* const* input, std::int32_t n, float* const* output) override;
    void Reset() override;

    // parameter >= 0: Kaiser-Bessel-derived windows of that alpha; -1: the sinc-shaped
    // analysis window over a Kaiser synthesis window; other negatives: periodic Hann.
    // length -1 means n. Throws std::length_error / std::bad_alloc when it cannot be sized.
    void Design(std::int32_t n, std::int32_t hop, double parameter, std::int32_t length = -1);

    bool HasDesign() const { return m_size > 0; }
    std::int32_t TransformSize() const { return m_size; }
    std::int32_t WindowLength() const { return m_windowLength; }
    std::int32_t Hop() const { return m_hop; }
    std::int32_t Latency() const { return m_latency; }
    const std::vector<Band>& Bands() const { return m_bands; }
    const std::vector<float>& AnalysisWindow() const { return m_analysis; }
    const std::vector<float>& SynthesisWindow() const { return m_synthesis; }
    const FftHolderF32& Fft() const { return m_fft; }
    const DataTail& InputTail() const { return m_input; }
    const DataTail& OutputTail() const { return m_output; }

private:
    void BuildBands();

    std::vector<Band> m_bands;
    std::int32_t m_size = 0;
    std::int32_t m_windowLength = 0;
    std::int32_t m_hop = 0;
    std::int32_t m_latency = 0;
    FftHolderF32 m_fft;
    std::vector<float> m_analysis;
    std::vector<float> m_synthesis;
    std::vector<float> m_scratch;
    DataTail m_input;
    DataTail m_output;
};

}  // namespace DSP
