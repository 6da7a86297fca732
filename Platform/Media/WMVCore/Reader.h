#pragma once
#include <Platform/Media/WMVCore/AsfSource.h>
#include <Platform/Media/WMVCore/RefCounted.h>

#include <optional>
#include <string>
#include <vector>

namespace Platform::Media::Runtime {

// The synchronous reader: outputs are the file's streams (stream number = output + 1);
// audio outputs deliver 16-bit PCM at the stream's own rate and channels.
class Reader final : public SyncReader, public HeaderInfo {
public:
    Result QueryInterface(const Id& id, void** object) override;
    uint32_t AddRef() override { return m_count.Add(); }
    uint32_t Release() override { return m_count.Drop(this); }

    Result Open(const char16_t* path) override;
    Result Close() override;
    Result SetRange(uint64_t start, int64_t duration) override;
    Result GetNextSample(uint16_t stream, Buffer** sample, uint64_t* sampleTime, uint64_t* duration, uint32_t* flags,
        uint32_t* output, uint16_t* streamNumber) override;
    Result SetStreamsSelected(uint16_t count, const uint16_t* streams, const StreamState* states) override;
    Result SetReadStreamSamples(uint16_t stream, bool compressed) override;
    Result GetOutputCount(uint32_t* count) override;
    Result SetOutputProps(uint32_t output, OutputProps* props) override;
    Result GetOutputFormatCount(uint32_t output, uint32_t* count) override;
    Result GetOutputFormat(uint32_t output, uint32_t format, OutputProps** props) override;
    Result GetStreamNumberForOutput(uint32_t output, uint16_t* stream) override;
    Result SetOutputSetting(
        uint32_t output, const char16_t* name, AttributeType type, const uint8_t* value, uint16_t length) override;

    Result GetAttributeByName(
        uint16_t* stream, const char16_t* name, AttributeType* type, uint8_t* value, uint16_t* length) override;

private:
    ~Reader() = default;
    friend class RefCount<Reader>;

    struct Output {
        bool selected = true;
        uint64_t delivered = 0;  // frames, counted from the file's start
        uint64_t skip = 0;  // frames still to drop after SetRange
        uint16_t bits = 16;  // of the samples delivered
    };

    // The file's length as its audio delivers it, in 100-ns units: the duration, and where and
    // how a read ends. A length a failure decides ends in that failure, one frame short of the
    // duration, so that a read of the whole duration meets it.
    struct Length {
        uint64_t duration = 0;
        uint64_t readable = 0;  // the time before which frames are delivered
        Result end = kNoMoreSamples;
    };

    bool Valid(uint32_t output) const { return m_source.IsOpen() && output < m_outputs.size(); }
    // Counts the frames of the file's audio once, when the length is first needed.
    Result CountLength();
    // The frames `stream` may deliver, from the file's start, and the result once they have
    // been: no more than the length lets through.
    Result FrameLimit(size_t stream, uint64_t& limit, Result& atLimit);
    // The duration the header gives, without decoding.
    uint64_t ExpectedDuration() const;

    std::string m_path;
    AsfSource m_source;
    std::vector<Output> m_outputs;
    std::optional<Length> m_length;  // counted when first needed
    RefCount<Reader> m_count;
};

}  // namespace Platform::Media::Runtime
