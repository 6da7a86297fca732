#pragma once
#include <QvBase/Util/String.h>

#include <cstdint>

namespace UI {

// The samples a display and its calculator read: rate, channels, length and reads of
// frames from a read position. Held in SharedPtr handles; read by one thread at a time.
class AudioDisplaySource {
public:
    explicit AudioDisplaySource(const String& name) : m_name(name) {}
    virtual ~AudioDisplaySource() = default;
    AudioDisplaySource(const AudioDisplaySource&) = delete;
    AudioDisplaySource& operator=(const AudioDisplaySource&) = delete;

    String Name() const { return m_name; }

    virtual std::uint32_t GetSampleRate() const = 0;
    virtual std::uint32_t GetChannelCount() const = 0;
    virtual std::uint32_t GetLength() const = 0;
    virtual std::uint64_t GetPosition() const = 0;
    // Frames at or past the length leave the position where it is.
    virtual void Seek(std::uint64_t frame) = 0;
    // n frames from the position, channel after channel within a frame; false, with
    // nothing changed, when they would pass the end.
    virtual bool ReadFloatInterleaved(std::uint32_t n, double* dst) = 0;
    virtual bool ReadFloatInterleaved(std::uint32_t n, float* dst) = 0;
    // n frames of channel c into dst[c].
    virtual bool ReadFloatDeinterleaved(std::uint32_t n, float** dst) = 0;

private:
    String m_name;
};

}  // namespace UI
