#pragma once
// The interfaces of the media runtime "WMVCore": a shared library of this project, loaded at
// run time, that reads Windows Media files and hands out their audio as PCM through a
// synchronous reader. Results are 32-bit codes, negative on failure.

#include <cstdint>
#include <limits>

namespace Platform::Media {

using Result = int32_t;

constexpr Result kOk = 0;
constexpr Result kFalse = 1;
constexpr Result kFail = int32_t(0x80004005);
constexpr Result kNoInterface = int32_t(0x80004002);
constexpr Result kInvalidArgument = int32_t(0x80070057);
constexpr Result kNotOpen = int32_t(0xC00D0001);
constexpr Result kNotWindowsMedia = int32_t(0xC00D0002);
constexpr Result kNoMoreSamples = int32_t(0xC00D0003);
constexpr Result kUnsupportedFormat = int32_t(0xC00D0004);
constexpr Result kNoAttribute = int32_t(0xC00D0005);
// The file's data is damaged, or ends before the file says it does.
constexpr Result kDamagedData = int32_t(0xC00D0006);
// The file could not be read.
constexpr Result kReadFault = int32_t(0xC00D0007);
constexpr Result kOutOfMemory = int32_t(0x8007000E);

struct Id {
    uint8_t bytes[16];
    friend bool operator==(const Id&, const Id&) = default;
};

// Interface identifiers and media-type tags of this runtime.
inline constexpr Id kUnknownId{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 0, 1}};
inline constexpr Id kSyncReaderId{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 0, 2}};
inline constexpr Id kHeaderInfoId{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 0, 3}};
inline constexpr Id kOutputPropsId{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 0, 4}};
inline constexpr Id kBufferId{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 0, 5}};
inline constexpr Id kAudioType{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 1, 1}};
inline constexpr Id kVideoType{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 1, 2}};
inline constexpr Id kOtherType{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 1, 3}};
inline constexpr Id kPcmSubtype{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 2, 1}};
inline constexpr Id kWaveFormatType{{0x7A, 0x31, 0x40, 0x01, 0x55, 0x0C, 0x4B, 0x8E, 0x91, 0x2D, 0, 0, 0, 0, 3, 1}};

// Times are in 100-ns ticks. A frame's start is given rounded down to a whole tick, so the
// frame a time stands for is the nearest one; saturates rather than wraps.
constexpr uint64_t kTicksPerSecond = 10'000'000;
constexpr uint64_t FramesAt(uint64_t ticks, uint32_t rate) {
    const uint64_t seconds = ticks / kTicksPerSecond;
    if (seconds > std::numeric_limits<uint64_t>::max() / 2 / rate) return std::numeric_limits<uint64_t>::max();
    return seconds * rate + (ticks % kTicksPerSecond * rate + kTicksPerSecond / 2) / kTicksPerSecond;
}

enum class AttributeType : int32_t { Dword = 0, Text = 1, Binary = 2, Bool = 3, Qword = 4, Word = 5, Id = 6 };
enum class StreamState : int32_t { Off = 0, On = 2 };

// The wave-format block as it lies in memory (little-endian, packed): 18 bytes, then
// `extraSize` more; an extensible block carries 22 extra bytes, the channel mask at byte 20.
constexpr uint32_t kWaveFormatBytes = 18;
constexpr uint32_t kExtensibleExtraBytes = 22;
constexpr uint16_t kPcmTag = 1;
constexpr uint16_t kExtensibleTag = 0xFFFE;

// A media-type record; `format` points at `formatSize` bytes of wave-format block that
// follow the record in the same buffer.
struct MediaType {
    Id majorType;
    Id subtype;
    int32_t fixedSizeSamples;
    int32_t temporalCompression;
    uint32_t sampleSize;
    Id formatType;
    void* reserved;
    uint32_t formatSize;
    uint8_t* format;
};

class Unknown {
public:
    virtual Result QueryInterface(const Id& id, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~Unknown() = default;
};

class Buffer : public Unknown {
public:
    virtual Result GetBufferAndLength(uint8_t** data, uint32_t* length) = 0;

protected:
    ~Buffer() = default;
};

class OutputProps : public Unknown {
public:
    virtual Result GetType(Id* majorType) = 0;
    // With a null record only the size is reported; otherwise `*size` must hold it.
    virtual Result GetMediaType(MediaType* type, uint32_t* size) = 0;

protected:
    ~OutputProps() = default;
};

class HeaderInfo : public Unknown {
public:
    // Stream 0 is the file. With a null value only the type and length are reported.
    // "Duration" is the shortest audio stream's frames in whole ticks, rounded down. A stream
    // that fails part way is known only to reach the failure: when that comes before the end
    // of every stream read whole, the failure decides the length, which then runs one frame
    // (of the lowest rate) past it, and every stream's read fails there. It is the file's
    // length: no stream delivers a frame past the one it stands for (FramesAt). Its value
    // costs a decode of the whole file, made when it is first asked for, or by the first read
    // of a file of several audio streams. "ExpectedDuration" is what the file's header gives,
    // at once: an estimate, 0 when the header does not say.
    virtual Result GetAttributeByName(
        uint16_t* stream, const char16_t* name, AttributeType* type, uint8_t* value, uint16_t* length) = 0;

protected:
    ~HeaderInfo() = default;
};

class SyncReader : public Unknown {
public:
    virtual Result Open(const char16_t* path) = 0;
    virtual Result Close() = 0;
    // Moves the reader to `start` (100-ns units); `duration` 0 reads to the end.
    virtual Result SetRange(uint64_t start, int64_t duration) = 0;
    // The next buffer of `stream`; times in 100-ns units. kNoMoreSamples at the end of the
    // stream's data or of the file's length ("Duration"), unless a failure decides that
    // length; any other failure means the stream cannot be delivered whole.
    virtual Result GetNextSample(uint16_t stream, Buffer** sample, uint64_t* sampleTime, uint64_t* duration,
        uint32_t* flags, uint32_t* output, uint16_t* streamNumber) = 0;
    virtual Result SetStreamsSelected(uint16_t count, const uint16_t* streams, const StreamState* states) = 0;
    virtual Result SetReadStreamSamples(uint16_t stream, bool compressed) = 0;
    virtual Result GetOutputCount(uint32_t* count) = 0;
    virtual Result SetOutputProps(uint32_t output, OutputProps* props) = 0;
    virtual Result GetOutputFormatCount(uint32_t output, uint32_t* count) = 0;
    virtual Result GetOutputFormat(uint32_t output, uint32_t format, OutputProps** props) = 0;
    virtual Result GetStreamNumberForOutput(uint32_t output, uint16_t* stream) = 0;
    virtual Result SetOutputSetting(
        uint32_t output, const char16_t* name, AttributeType type, const uint8_t* value, uint16_t length) = 0;

protected:
    ~SyncReader() = default;
};

// The two entry points, looked up by these names.
using ValidateDataFunction = Result (*)(const uint8_t* data, uint32_t* size);
using CreateSyncReaderFunction = Result (*)(Unknown* certificate, uint32_t rights, SyncReader** reader);
inline constexpr const char* kValidateDataName = "WMValidateData";
inline constexpr const char* kCreateSyncReaderName = "WMCreateSyncReader";

}  // namespace Platform::Media
