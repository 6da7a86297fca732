#include <Tonalith/Analysis/AudioDisplayMemorySource.h>

#include <Primitives/Vec/Copy.h>
#include <Primitives/Vec/Interleave.h>

#include <algorithm>

namespace UI {

namespace {

// The vector layer counts in 32-bit signed lengths; longer reads go in pieces.
constexpr std::uint32_t kPiece = 1u << 20;

}  // namespace

AudioDisplayMemorySource::AudioDisplayMemorySource(const String& name, std::uint32_t sampleRate, std::uint32_t channels,
    std::uint32_t length, const float* const* channelTable)
    : AudioDisplaySource(name),
      m_sampleRate(sampleRate),
      m_channels(channels),
      m_length(length),
      m_channelTable(channelTable),
      m_scratch(channelTable ? channels : 0, nullptr) {}

SharedPtr<AudioDisplayMemorySource> AudioDisplayMemorySource::Create() const {
    return SharedPtr<AudioDisplayMemorySource>(
        new AudioDisplayMemorySource(Name(), m_sampleRate, m_channels, m_length, m_channelTable));
}

void AudioDisplayMemorySource::Seek(std::uint64_t frame) {
    if (frame < m_length) m_position = static_cast<std::uint32_t>(frame);
}

bool AudioDisplayMemorySource::CanRead(std::uint32_t n, const void* dst) const {
    if (static_cast<std::uint64_t>(m_position) + n > m_length) return false;
    // Nothing to read from or into: refuse rather than dereference null.
    return n == 0 || m_channels == 0 || (m_channelTable && dst);
}

bool AudioDisplayMemorySource::ReadFloatInterleaved(std::uint32_t n, double* dst) {
    if (!CanRead(n, dst)) return false;
    for (std::uint32_t c = 0; c < m_channels; ++c) {
        const float* src = m_channelTable[c] + m_position;
        double* out = dst + c;
        for (std::uint32_t j = 0; j < n; ++j, out += m_channels) *out = src[j];
    }
    m_position += n;
    return true;
}

bool AudioDisplayMemorySource::ReadFloatInterleaved(std::uint32_t n, float* dst) {
    if (!CanRead(n, dst)) return false;
    for (std::uint32_t done = 0; done < n && m_channels > 0;) {
        const std::uint32_t count = std::min(kPiece, n - done);
        for (std::uint32_t c = 0; c < m_channels; ++c) m_scratch[c] = m_channelTable[c] + m_position + done;
        Vec::InterleaveF32(static_cast<std::int32_t>(m_channels), static_cast<std::int32_t>(count), m_scratch.data(),
            dst + static_cast<std::uint64_t>(done) * m_channels);
        done += count;
    }
    m_position += n;
    return true;
}

bool AudioDisplayMemorySource::ReadFloatDeinterleaved(std::uint32_t n, float** dst) {
    if (!CanRead(n, dst)) return false;
    for (std::uint32_t c = 0; c < m_channels; ++c) {
        for (std::uint32_t done = 0; done < n;) {
            const std::uint32_t count = std::min(kPiece, n - done);
            Vec::CopyF32(static_cast<std::int32_t>(count), m_channelTable[c] + m_position + done, dst[c] + done);
            done += count;
        }
    }
    m_position += n;
    return true;
}

}  // namespace UI
