#pragma once

#include <QvBase/Audio/Decode/Format.h>
#include <QvBase/Audio/Decode/Type.h>
#include <QvBase/noncopyable.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace Audio::Decode {

// One audio file read forward in blocks of sample frames. Made for a path, opened once,
// asked for its format and length, then read; every read is cut to the frames remaining and
// reports through `framesRead` how many it delivered. Failures are thrown as
// Exception::BadFormat (or its subclass DecodeError).
class Stream : noncopyable {
public:
    Stream() = default;
    virtual ~Stream();

    virtual Type GetType() = 0;
    virtual Format Open() = 0;
    // The open call of the main window; the same for every decoder.
    virtual Format OpenForward();
    virtual Format GetFormat() = 0;
    virtual uint32_t GetTotalFrames() = 0;
    // When GetTotalFrames would have to decode the whole file to answer: the frames the
    // file's header leads to expect, which may be more or fewer than it holds. Such a stream
    // may be read to its end instead, its reads not cut to a total: the first read that
    // delivers fewer frames than asked ends it, and GetTotalFrames then costs nothing.
    // Absent when GetTotalFrames is at hand.
    virtual std::optional<uint32_t> ExpectedFrames();
    virtual uint32_t GetPosition() = 0;
    virtual uint32_t GetFramesRemaining() = 0;
    virtual void Seek(uint32_t frame) = 0;
    virtual void ReadFloatInterleaved(uint32_t frames, float* destination, uint32_t& framesRead) = 0;
    virtual void ReadFloatInterleaved(uint32_t frames, double* destination, uint32_t& framesRead) = 0;
    virtual void ReadFloatDeinterleaved(uint32_t frames, float* const* channels, uint32_t& framesRead) = 0;
    virtual void ReadInt16Deinterleaved(uint32_t frames, int16_t* const* channels, uint32_t& framesRead) = 0;
    virtual void ReadInt16Interleaved(uint32_t frames, int16_t* destination, uint32_t& framesRead) = 0;
    virtual void ReadRawInterleaved(uint32_t frames, void* destination, uint32_t& framesRead) = 0;
    virtual bool HasChunk(uint32_t id) = 0;
    virtual void ReadChunk(uint32_t id, std::vector<uint8_t>& bytes) = 0;
    virtual void Close() = 0;
};

}  // namespace Audio::Decode
