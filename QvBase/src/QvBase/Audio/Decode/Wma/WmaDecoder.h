#pragma once
#include <QvBase/Audio/Decode/ConversionBuffer.h>
#include <QvBase/Audio/Decode/Stream.h>
#include <QvBase/Audio/Decode/Wma/FrameQueue.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/String.h>

#include <Platform/Media/MediaRuntime.h>

#include <memory>
#include <optional>
#include <source_location>

namespace Audio::Decode::WMA {

// Windows Media files, read through the media runtime's synchronous reader as 16-bit PCM
// of the file's last audio output. Runs on one thread at a time. The exact length costs the
// runtime a decode of the whole file: it is asked for only when first needed, and a read to
// the end learns it without (but for a file of several audio streams, as long as the
// shortest, which the runtime counts before it delivers a frame).
class Decoder : public Stream {
public:
    // Throws Exception::DecodeError when the media runtime cannot be loaded.
    explicit Decoder(const String& path);
    ~Decoder() override;

    Type GetType() override { return Type::WindowsMedia; }
    Format Open() override;
    Format GetFormat() override { return m_format; }
    uint32_t GetTotalFrames() override;
    std::optional<uint32_t> ExpectedFrames() override;
    uint32_t GetPosition() override;
    uint32_t GetFramesRemaining() override;
    void Seek(uint32_t frame) override;
    void ReadFloatInterleaved(uint32_t frames, float* destination, uint32_t& framesRead) override;
    void ReadFloatInterleaved(uint32_t frames, double* destination, uint32_t& framesRead) override;
    void ReadFloatDeinterleaved(uint32_t frames, float* const* channels, uint32_t& framesRead) override;
    void ReadInt16Deinterleaved(uint32_t frames, int16_t* const* channels, uint32_t& framesRead) override;
    void ReadInt16Interleaved(uint32_t frames, int16_t* destination, uint32_t& framesRead) override;
    void ReadRawInterleaved(uint32_t frames, void* destination, uint32_t& framesRead) override;
    bool HasChunk(uint32_t) override { return false; }
    void ReadChunk(uint32_t id, std::vector<uint8_t>& bytes) override;
    void Close() override;

private:
    using Result = Platform::Media::Result;

    [[noreturn]] void Fail(const String& message, std::source_location where = std::source_location::current()) const;
    // Fails with the message's "0x%1" filled with the runtime's result.
    [[noreturn]] void Fail(
        const char* message, Result result, std::source_location where = std::source_location::current()) const;
    [[noreturn]] void FailMissing(
        const char* message, std::source_location where = std::source_location::current()) const;
    void CheckOpen(const char* operation, uint32_t frames) const;
    // Configures output `output`; true when it has an audio format the decoder takes.
    bool ConfigureOutput(uint32_t output);
    // The runtime's count of the frames, made now.
    void CountTotal();
    // Up to `frames` frames from the reader into `out`.
    uint32_t Pull(uint32_t frames, uint8_t* out);

    String m_path;
    std::unique_ptr<Util::File> m_file;
    bool m_open = false;
    Format m_format = Format::Zero();
    Platform::Media::SyncReader* m_reader = nullptr;
    uint16_t m_stream = 0;
    bool m_streamChosen = false;
    uint32_t m_total = 0;
    bool m_totalKnown = false;
    uint32_t m_expected = 0;  // what the header gives, when it could be asked
    bool m_expectedKnown = false;
    uint64_t m_position = 0;  // 100-ns units: the end of the last buffer taken
    ConversionBuffer m_raw;
    ConversionBuffer m_samples;
    FrameQueue m_queue{2, 2, 1024};
};

}  // namespace Audio::Decode::WMA
