#pragma once
#include <Tonalith/Analysis/AudioDisplaySource.h>

#include <QvBase/Util/SharedPtr.h>

#include <vector>

namespace UI {

// Reads per-channel float buffers in place. The channel table and the buffers belong
// to the caller and must outlive every source built over them.
class AudioDisplayMemorySource : public AudioDisplaySource {
public:
    AudioDisplayMemorySource(const String& name, std::uint32_t sampleRate, std::uint32_t channels, std::uint32_t length,
        const float* const* channelTable);

    // Another source over the same buffers, with its own read position at 0.
    SharedPtr<AudioDisplayMemorySource> Create() const;

    std::uint32_t GetSampleRate() const override { return m_sampleRate; }
    std::uint32_t GetChannelCount() const override { return m_channels; }
    std::uint32_t GetLength() const override { return m_length; }
    std::uint64_t GetPosition() const override { return m_position; }
    void Seek(std::uint64_t frame) override;
    bool ReadFloatInterleaved(std::uint32_t n, double* dst) override;
    bool ReadFloatInterleaved(std::uint32_t n, float* dst) override;
    bool ReadFloatDeinterleaved(std::uint32_t n, float** dst) override;

private:
    // Whether n frames from the position lie within the length and can be delivered.
    bool CanRead(std::uint32_t n, const void* dst) const;

    std::uint32_t m_sampleRate;
    std::uint32_t m_channels;
    std::uint32_t m_length;
    const float* const* m_channelTable;
    std::vector<const float*> m_scratch;
    std::uint32_t m_position = 0;
};

}  // namespace UI
