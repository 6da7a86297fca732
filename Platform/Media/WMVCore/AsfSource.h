#pragma once
#include <Platform/Media/WMVCore/OutputFormat.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;

namespace Platform::Media::Runtime {

// The 16 bytes that begin every Windows Media file: the header object's identifier.
bool StartsWithAsfHeader(const uint8_t* bytes, size_t count);

// One stream of the file as an output sees it.
struct StreamInfo {
    Id majorType = kOtherType;
    bool decodable = false;  // audio the runtime can turn into PCM
    PcmLayout layout;
    uint64_t expectedFrames = 0;  // as the header gives the stream's length (ExpectedFrames)
};

// A Windows Media file demultiplexed and its audio decoded to interleaved 16-bit PCM.
class AsfSource {
public:
    AsfSource();
    ~AsfSource();
    AsfSource(const AsfSource&) = delete;
    AsfSource& operator=(const AsfSource&) = delete;

    // Opens the file when it begins with the header object; false otherwise.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    const std::vector<StreamInfo>& Streams() const { return m_info; }

    // The next decoded frames of `stream`: the bytes as 16- or 24-bit PCM (none when `bits`
    // is 0: only counting) and their frame count. kOk with frames; kNoMoreSamples at the end
    // of the stream's data; any other result when the rest cannot be delivered, from then on.
    Result Next(size_t stream, uint16_t bits, std::vector<uint8_t>& pcm, uint32_t& frames);

    // The frames of a stream as the file's header gives its length, without decoding: only
    // an estimate (0 when the header does not say), since the header's times are rounded and
    // a damaged or cut file delivers fewer.
    uint64_t ExpectedFrames(size_t stream) const;

    // What one decodable audio stream delivers from the start: its frames, and how it ended
    // (kNoMoreSamples, or the failure that stopped it after those frames). Decodes every
    // stream to its end: this source is left at the end of its data.
    struct Count {
        uint64_t frames = 0;
        Result end = kNoMoreSamples;
    };
    std::vector<Count> CountFrames();

private:
    struct Ready {
        std::vector<uint8_t> pcm;
        uint32_t frames;
    };
    struct Decoding;

    Result Pump(size_t stream, uint16_t bits);
    Result Receive(size_t stream, uint16_t bits);

    AVFormatContext* m_format = nullptr;  // read by Pump alone, never probed
    std::vector<StreamInfo> m_info;
    std::vector<std::unique_ptr<Decoding>> m_decoding;
    uint64_t m_dataEnd = 0;  // where the file says its data ends; 0 when it does not say
    bool m_ended = false;
    Result m_failure = kOk;  // of the demultiplexer, for every stream
};

}  // namespace Platform::Media::Runtime
