#pragma once

#include <QvBase/Audio/Decode/ByteOrder.h>
#include <QvBase/Audio/Decode/ConversionBuffer.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/SampleConverter.h>
#include <QvBase/Audio/Decode/Stream.h>
#include <QvBase/Util/ExceptionFileIO.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/String.h>

#include <cstdint>
#include <optional>
#include <source_location>
#include <vector>

namespace Audio::Decode {

// A chunk kept for HasChunk and ReadChunk.
struct ChunkRecord {
    uint32_t Id;
    uint32_t Offset;  // file offset of the chunk's first data byte
    uint32_t Size;  // bytes
};

// One chunk header found by the walk.
struct ChunkHeader {
    uint32_t Id;
    uint32_t DataOffset;  // file offset of the first data byte
    uint32_t DeclaredSize;  // as the header says
    uint32_t Size;  // as the walk counts it (the AIFF walk counts the pad byte)
};

// Where a chunk's pad byte is counted: after the data (RIFF) or in the size (AIFF).
enum class PadRule { AfterData, InSize };

// The shared body of the decoders that read a chunked file straight from disk: the open
// state, the common checks of every read, seeking, kept chunks and the file helpers.
// Subclasses parse their header in Open; the samples it finds choose their conversions.
class FileDecoder : public Stream {
public:
    ~FileDecoder() override;

    Format GetFormat() override;
    uint32_t GetTotalFrames() override;
    uint32_t GetPosition() override;
    uint32_t GetFramesRemaining() override;
    void Seek(uint32_t frame) override;
    void ReadFloatInterleaved(uint32_t frames, float* destination, uint32_t& framesRead) override;
    void ReadFloatInterleaved(uint32_t frames, double* destination, uint32_t& framesRead) override;
    void ReadFloatDeinterleaved(uint32_t frames, float* const* channels, uint32_t& framesRead) override;
    void ReadInt16Deinterleaved(uint32_t frames, int16_t* const* channels, uint32_t& framesRead) override;
    void ReadInt16Interleaved(uint32_t frames, int16_t* destination, uint32_t& framesRead) override;
    void ReadRawInterleaved(uint32_t frames, void* destination, uint32_t& framesRead) override;
    bool HasChunk(uint32_t id) override;
    void ReadChunk(uint32_t id, std::vector<uint8_t>& bytes) override;
    void Close() override;

protected:
    enum class Conversion { Float, Double, Int16 };

    FileDecoder(const String& path, ByteOrder order);

    // The message when the stored samples do not convert to the target (%1 is filled with
    // the frames of the read).
    virtual String UnsupportedMessage(Conversion conversion) const = 0;

    // Runs the subclass's header parse: returns the stored format when already open, closes
    // the file again when the parse throws, and sets the open flag only on success.
    template <class Parse>
    Format OpenWith(Parse&& parse) {
        if (m_open) return m_format;
        try {
            ResetForOpen();
            parse();
        } catch (const Util::Exception::FileIO& error) {
            CloseQuietly();
            FailFileIO(error);
        } catch (...) {
            CloseQuietly();
            throw;
        }
        m_converter = ConverterFor({m_format.BytesPerSample, m_format.IsFloat(), m_byteOrder});
        m_position = 0;
        m_open = true;
        return m_format;
    }

    // Throws BadFormat with the path as detail, located at the caller's line.
    [[noreturn]] void Fail(const String& message, std::source_location where = std::source_location::current()) const;
    [[noreturn]] void FailFileIO(
        const Util::Exception::FileIO& error, std::source_location where = std::source_location::current()) const;

    // File helpers for the header parse (file errors pass through as Util::Exception::FileIO;
    // the public operations turn them into BadFormat).
    uint32_t BytesLeft();
    uint32_t FileSize() const;  // as measured when the open began
    uint32_t FilePosition();
    void ReadBytes(void* destination, uint32_t count);
    uint16_t Read16();
    uint32_t Read32();
    void SeekFile(uint64_t offset);
    std::optional<ChunkHeader> NextChunkHeader(PadRule rule);
    void SkipChunk(const ChunkHeader& chunk, PadRule rule);

    // Reads n whole frames as stored and advances the position by n.
    virtual void ReadFramesRaw(uint32_t frames, void* destination);
    uint64_t FrameBytes() const { return uint64_t(m_format.Channels) * m_format.BytesPerSample; }
    uint32_t SamplesIn(uint32_t frames) const { return frames * m_format.Channels; }

    String m_path;
    Util::File m_file;
    ByteOrder m_byteOrder;
    bool m_open = false;
    Format m_format = Format::Zero();
    uint32_t m_position = 0;
    uint32_t m_total = 0;
    uint32_t m_fileSize = 0;
    uint32_t m_dataOffset = 0;
    uint32_t m_dataSize = 0;
    bool m_dataFound = false;
    std::vector<ChunkRecord> m_chunks;
    ConversionBuffer m_conversion;
    ConversionBuffer m_interleave;
    SampleConverter m_converter;

private:
    void ResetForOpen();
    void CloseQuietly();
    // The one loop of every read: the common checks (out count 0, the not-open check, 0
    // frames asked, the conversion when there is one), then the frames left to deliver in
    // blocks of at most `blockFrames`, each handed to `block` as (frames done, frames in
    // it); the out count grows with every block, so a failure leaves the frames already
    // delivered counted.
    template <class Block>
    void ReadInBlocks(const char* operation, std::optional<Conversion> conversion, uint32_t frames,
        uint32_t& framesRead, uint32_t blockFrames, Block&& block);
    template <class T>
    void ReadInterleaved(const char* operation, uint32_t frames, T* destination, uint32_t& framesRead);
    // Reads `frames` frames and converts them into `destination`.
    template <class T>
    void ReadBlock(uint32_t frames, T* destination);
    // Frames per block of about `blockBytes`, so that buffers stay small whatever the request.
    static uint32_t BlockFrames(uint64_t blockBytes, uint64_t frameBytes);
    bool Offers(Conversion conversion) const;
    template <class Body>
    void GuardFileIO(Body&& body);
};

}  // namespace Audio::Decode
