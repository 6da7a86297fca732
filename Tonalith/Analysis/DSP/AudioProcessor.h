#pragma once
#include <cstdint>

namespace DSP {

// Base of the signal processors: a channel count, a sample rate and the longest block
// a processing call may hand over.
class AudioProcessor {
public:
    AudioProcessor() = default;
    AudioProcessor(const AudioProcessor&) = default;
    AudioProcessor& operator=(const AudioProcessor&) = default;
    virtual ~AudioProcessor();

    virtual void Configure(std::int32_t channels, std::uint32_t sampleRate, std::int32_t maxBlockLength);
    // Grows the block length to n when needed; returns n.
    virtual std::int32_t EnsureBlockLength(const float* const* input, std::int32_t n, float* const* output);
    virtual void Reset();
    virtual void SetMaxBlockLength(std::int32_t n);

    std::int32_t MaxBlockLength() const { return m_maxBlockLength; }
    std::int32_t ChannelCount() const { return m_channels; }
    std::uint32_t SampleRate() const { return m_sampleRate; }

protected:
    std::int32_t m_maxBlockLength = 0;
    std::int32_t m_channels = 0;
    std::uint32_t m_sampleRate = 0;
};

}  // namespace DSP
