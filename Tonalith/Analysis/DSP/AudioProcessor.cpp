#include <Tonalith/Analysis/DSP/AudioProcessor.h>

namespace DSP {

AudioProcessor::~AudioProcessor() = default;

void AudioProcessor::Configure(std::int32_t channels, std::uint32_t sampleRate, std::int32_t maxBlockLength) {
    m_channels = channels;
    m_sampleRate = sampleRate;
    m_maxBlockLength = maxBlockLength;
}

std::int32_t AudioProcessor::EnsureBlockLength(const float* const*, std::int32_t n, float* const*) {
    if (n > m_maxBlockLength) SetMaxBlockLength(n);
    return n;
}

void AudioProcessor::Reset() {}

void AudioProcessor::SetMaxBlockLength(std::int32_t n) { Configure(m_channels, m_sampleRate, n); }

}  // namespace DSP
