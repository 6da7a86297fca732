#include <QvBase/Audio/Decode/Wma/WmaDecoder.h>

#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Wma/WmaLibrary.h>
#include <QvBase/Util/ExceptionFileIO.h>
#include <QvBase/Util/Path.h>
#include <QvBase/Util/WString.h>

#include <Primitives/Vec/Convert.h>
#include <Primitives/Vec/Interleave.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace Audio::Decode::WMA {

namespace Media = Platform::Media;
using Media::FramesAt;
using Media::kTicksPerSecond;

namespace {

// The vector primitives count in 32 bits: long reads are converted in blocks.
constexpr uint64_t kVecBlock = uint64_t(1) << 24;
// Samples of a block that stays in cache between two passes over it.
constexpr uint64_t kCacheBlock = uint64_t(1) << 14;

// Releases a runtime interface at the end of a scope.
template <class T>
class Held {
public:
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (m_p) m_p->Release();
    }
    T** Out() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24); }

}  // namespace

Decoder::Decoder(const String& path) : m_path(path), m_file(std::make_unique<Util::File>(Path(path))) {
    if (!TakeLibrary()) FailMissing("Failed to load WMA library");
}

Decoder::~Decoder() {
    if (m_open) {
        try {
            Close();
        } catch (const Exception::BadFormat&) {
            // Destruction never throws.
        }
    }
    if (m_reader) m_reader->Release();
}

void Decoder::Fail(const String& message, std::source_location where) const {
    Exception::ThrowBadFormat(message, m_path, where.file_name(), int(where.line()));
}

void Decoder::Fail(const char* message, Result result, std::source_location where) const {
    Fail(String(message).Arg(int(result), 16), where);
}

void Decoder::FailMissing(const char* message, std::source_location where) const {
    ::Exception::Throw(Exception::DecodeError(message, m_path, 0), where.file_name(), int(where.line()));
}

Format Decoder::Open() {
    if (m_open) return m_format;
    const WString widePath = m_path.ToWide();
    const SharedPtr<Util::DynamicLibrary> library = TakeLibrary();
    if (!library) FailMissing("Failed to load WMA library");
    const auto create =
        reinterpret_cast<Media::CreateSyncReaderFunction>(library->GetFunction(Media::kCreateSyncReaderName));
    if (!create) FailMissing("Failed to load WMCreateSyncReader");

    if (m_reader) {
        m_reader->Release();
        m_reader = nullptr;
    }
    Result result = create(nullptr, 1, &m_reader);
    if (result < 0 || !m_reader) {
        m_reader = nullptr;
        Fail("Unable to create reader. 0x%1", result);
    }
    if ((result = m_reader->Open(widePath.CStr())) < 0) Fail("Unable to open file. 0x%1", result);
    uint32_t outputs = 0;
    if ((result = m_reader->GetOutputCount(&outputs)) < 0 || outputs == 0) Fail("Unable to read outputs. 0x%1", result);

    // Every output is configured in turn: the last one with audio wins.
    bool opened = false;
    for (uint32_t i = 0; i < outputs; ++i) opened = ConfigureOutput(i) || opened;
    if (!opened) Fail("No audio streams found.");
    m_position = 0;
    m_open = true;
    return m_format;
}

bool Decoder::ConfigureOutput(uint32_t output) {
    const bool enabled = true;
    const uint32_t speakers = 0;
    m_reader->SetOutputSetting(
        output, u"EnableDiscreteOutput", Media::AttributeType::Bool, reinterpret_cast<const uint8_t*>(&enabled), 4);
    m_reader->SetOutputSetting(
        output, u"SpeakerConfig", Media::AttributeType::Dword, reinterpret_cast<const uint8_t*>(&speakers), 4);
    uint32_t formats = 0;
    Result result = m_reader->GetOutputFormatCount(output, &formats);
    if (result < 0) Fail("Unable to count output formats. 0x%1", result);

    for (uint32_t j = 0; j < formats; ++j) {
        Held<Media::OutputProps> props;
        if ((result = m_reader->GetOutputFormat(output, j, props.Out())) < 0 || !props.Get())
            Fail("Unable to read output format. 0x%1", result);
        Media::Id major{};
        if ((result = props->GetType(&major)) < 0) Fail("Unable to read output formats. 0x%1", result);
        if (major != Media::kAudioType) continue;
        uint32_t size = 0;
        if ((result = props->GetMediaType(nullptr, &size)) < 0) Fail("Unable to read output formats. 0x%1", result);
        if (size < sizeof(Media::MediaType)) Fail("Unable to read output formats. 0x%1", Media::kInvalidArgument);
        std::vector<uint64_t> storage((size_t(size) + 7) / 8);
        auto* type = reinterpret_cast<Media::MediaType*>(storage.data());
        if ((result = props->GetMediaType(type, &size)) < 0) Fail("Unable to read output formats. 0x%1", result);
        if (type->subtype != Media::kPcmSubtype || type->formatType != Media::kWaveFormatType) continue;
        // The block must lie inside the record the runtime filled and hold a whole header.
        const uint8_t* base = reinterpret_cast<const uint8_t*>(storage.data());
        const uint8_t* block = type->format;
        if (!block || block < base + sizeof(Media::MediaType) || type->formatSize < Media::kWaveFormatBytes ||
            uint64_t(block - base) + type->formatSize > size)
            continue;
        const uint32_t channels = Read16(block + 2);
        const uint32_t rate = Read32(block + 4);
        const uint32_t bits = Read16(block + 14);
        // A format that could not be read is skipped rather than dividing by it later.
        if (channels == 0 || bits < 8 || rate == 0) continue;
        const uint32_t extra = Read16(block + 16);
        uint32_t mask = 0;
        if (extra >= Media::kExtensibleExtraBytes && type->formatSize >= Media::kWaveFormatBytes + 22)
            mask = Read32(block + 20);
        m_format = Format{channels, bits / 8, rate, 0, mask};
        m_queue.SetLayout(channels, bits / 8);

        if ((result = m_reader->GetStreamNumberForOutput(output, &m_stream)) < 0)
            Fail("Unable to determine stream. 0x%1", result);
        m_streamChosen = true;
        if ((result = m_reader->SetOutputProps(output, props.Get())) < 0)
            Fail("Unable to set output format. 0x%1", result);
        const Media::StreamState on = Media::StreamState::On;
        if ((result = m_reader->SetStreamsSelected(1, &m_stream, &on)) < 0) Fail("Unable to set output. 0x%1", result);
        if ((result = m_reader->SetReadStreamSamples(m_stream, false)) < 0)
            Fail("Unable to set output to uncompressed. 0x%1", result);

        Held<Media::HeaderInfo> header;
        if ((result = m_reader->QueryInterface(Media::kHeaderInfoId, reinterpret_cast<void**>(header.Out()))) < 0 ||
            !header.Get())
            Fail("Unable to set query for header. 0x%1", result);
        uint16_t fileStream = 0;
        Media::AttributeType attributeType{};
        uint16_t length = 0;
        result = header->GetAttributeByName(&fileStream, u"Duration", &attributeType, nullptr, &length);
        if (result < 0 || attributeType != Media::AttributeType::Qword || length != 8)
            Fail("Invalid header information. 0x%1", result);
        // The exact duration is counted when first needed; what the header says comes at once.
        uint64_t expected = 0;
        length = 8;
        m_expectedKnown = header->GetAttributeByName(&fileStream, u"ExpectedDuration", &attributeType,
                              reinterpret_cast<uint8_t*>(&expected), &length) >= 0 &&
            attributeType == Media::AttributeType::Qword && length == 8;
        m_expected = uint32_t(std::min<uint64_t>(FramesAt(expected, rate), std::numeric_limits<uint32_t>::max()));
        m_totalKnown = false;
        return true;
    }
    return false;
}

void Decoder::CountTotal() {
    Held<Media::HeaderInfo> header;
    Result result = m_reader->QueryInterface(Media::kHeaderInfoId, reinterpret_cast<void**>(header.Out()));
    if (result < 0 || !header.Get()) Fail("Unable to set query for header. 0x%1", result);
    uint16_t fileStream = 0;
    Media::AttributeType attributeType{};
    uint64_t duration = 0;
    uint16_t length = 8;
    if ((result = header->GetAttributeByName(
             &fileStream, u"Duration", &attributeType, reinterpret_cast<uint8_t*>(&duration), &length)) < 0)
        Fail("Unable to read header. 0x%1", result);
    if (attributeType != Media::AttributeType::Qword || length != 8)
        Fail("Invalid header information. 0x%1", Media::kFail);
    // The interface counts frames in 32 bits: a longer file is refused, not wrapped.
    const uint64_t total = FramesAt(duration, m_format.SampleRate);
    if (total > std::numeric_limits<uint32_t>::max()) Fail("Invalid header information. 0x%1", Media::kFail);
    m_total = uint32_t(total);
    m_totalKnown = true;
}

uint32_t Decoder::GetTotalFrames() {
    if (!m_open) return 0;
    if (!m_totalKnown) CountTotal();
    return m_total;
}

std::optional<uint32_t> Decoder::ExpectedFrames() {
    if (!m_open || m_totalKnown || !m_expectedKnown) return std::nullopt;
    return m_expected;
}

uint32_t Decoder::GetPosition() {
    if (!m_open) return 0;
    // The frames queued are taken from the reader but not yet handed out.
    const uint64_t taken = FramesAt(m_position, m_format.SampleRate);
    const uint64_t next = taken - std::min<uint64_t>(taken, m_queue.Queued());
    return uint32_t(std::min<uint64_t>(next, std::numeric_limits<uint32_t>::max()));
}

uint32_t Decoder::GetFramesRemaining() {
    if (!m_open) return 0;
    const uint32_t total = GetTotalFrames();
    const uint32_t position = GetPosition();
    return position <= total ? total - position : 0;
}

void Decoder::Seek(uint32_t frame) {
    if (!m_open) {
        if (frame == GetPosition()) return;
        Fail(String("Seek to %1 when not sync'd").Arg(frame, 10));
    }
    if (frame > GetTotalFrames())
        Fail(String("Seek to %1, total sample frames %2").Arg(frame, 10).Arg(GetTotalFrames(), 10));
    // The frame's start rounded up to a whole tick still lies inside the frame.
    const uint64_t rate = m_format.SampleRate;
    const uint64_t target = (uint64_t(frame) * kTicksPerSecond + rate - 1) / rate;
    // The reader itself moves, so that the next read returns the frames at the new place.
    const Result result = m_reader->SetRange(target, 0);
    if (result < 0) Fail("Unable to seek. 0x%1", result);
    m_queue.Clear();
    m_position = target;
}

void Decoder::CheckOpen(const char* operation, uint32_t frames) const {
    if (!m_open) Fail(String("%1 %2 when not sync'd").Arg(operation).Arg(frames, 10));
}

uint32_t Decoder::Pull(uint32_t frames, uint8_t* out) {
    if (!m_open) return 0;
    const uint32_t frameSize = m_queue.FrameSize();
    // Frames left over from the last buffer come first; a buffer's frames then go straight
    // out, only those beyond the request through the queue.
    uint32_t delivered = m_queue.Take(out, frames);
    while (delivered < frames) {
        Held<Media::Buffer> buffer;
        uint64_t time = 0, duration = 0;
        uint32_t flags = 0, output = 0;
        uint16_t stream = 0;
        const Result next = m_reader->GetNextSample(m_stream, buffer.Out(), &time, &duration, &flags, &output, &stream);
        if (next == Media::kNoMoreSamples) {
            // The end of the stream, wherever the reads began, is its length.
            const uint64_t end = FramesAt(m_position, m_format.SampleRate);
            if (!m_totalKnown && end <= std::numeric_limits<uint32_t>::max()) {
                m_total = uint32_t(end);
                m_totalKnown = true;
            }
            break;
        }
        // Any other failure means frames are missing: never an early end.
        if (next < 0) Fail("Unable to read buffer. 0x%1", next);
        m_position = time + duration;
        if (!buffer.Get()) continue;
        uint8_t* data = nullptr;
        uint32_t length = 0;
        const Result result = buffer->GetBufferAndLength(&data, &length);
        if (result < 0 || (length && !data)) Fail("Unable to read buffer. 0x%1", result);
        const uint32_t got = length / frameSize;
        const uint32_t direct = std::min(got, frames - delivered);
        std::memcpy(out + size_t(delivered) * frameSize, data, size_t(direct) * frameSize);
        delivered += direct;
        try {
            m_queue.Append(data + size_t(direct) * frameSize, got - direct);
        } catch (const std::bad_alloc&) {
            Fail("Unable to read buffer. 0x%1", Media::kOutOfMemory);
        }
    }
    return delivered;
}

void Decoder::ReadInt16Interleaved(uint32_t frames, int16_t* destination, uint32_t& framesRead) {
    framesRead = 0;
    CheckOpen("ReadInt16Interleaved", frames);
    if (m_format.BytesPerSample != 2) Fail("Raw WMA data not 16-bit.");
    if (frames > 0) framesRead = Pull(frames, reinterpret_cast<uint8_t*>(destination));
}

void Decoder::ReadRawInterleaved(uint32_t frames, void* destination, uint32_t& framesRead) {
    framesRead = 0;
    CheckOpen("ReadRawInterleaved", frames);
    if (frames > 0) framesRead = Pull(frames, static_cast<uint8_t*>(destination));
}

void Decoder::ReadFloatInterleaved(uint32_t frames, float* destination, uint32_t& framesRead) {
    framesRead = 0;
    CheckOpen("ReadFloatInterleaved", frames);
    if (frames == 0) return;
    int16_t* raw = nullptr;
    try {
        raw = m_raw.ReserveAs<int16_t>(size_t(frames) * m_format.Channels);
    } catch (const std::bad_alloc&) {
        Fail(String("ReadFloatInterleaved %1 frames: not enough memory").Arg(frames, 10));
    }
    uint32_t got = 0;
    ReadInt16Interleaved(frames, raw, got);
    const uint64_t samples = uint64_t(got) * m_format.Channels;
    for (uint64_t done = 0; done < samples; done += kVecBlock)
        Vec::ConvertS16ToF32(int32_t(std::min(kVecBlock, samples - done)), raw + done, destination + done, 15);
    framesRead = got;
}

void Decoder::ReadFloatInterleaved(uint32_t frames, double*, uint32_t& framesRead) {
    // Not offered: the count says so and the read fails rather than leaving it unwritten.
    framesRead = 0;
    CheckOpen("ReadFloatInterleaved", frames);
    Fail(String("ReadFloatInterleaved %1 called, unsupported conversion").Arg(frames, 10));
}

void Decoder::ReadFloatDeinterleaved(uint32_t frames, float* const* channels, uint32_t& framesRead) {
    framesRead = 0;
    CheckOpen("ReadFloatDeinterleaved", frames);
    if (frames == 0) return;
    const uint32_t width = m_format.Channels;
    // The floats are made and split a block at a time, while the block is still in cache.
    const uint64_t blockFrames = std::max<uint64_t>(1, kCacheBlock / width);
    int16_t* raw = nullptr;
    float* interleaved = nullptr;
    try {
        raw = m_raw.ReserveAs<int16_t>(size_t(frames) * width);
        interleaved = m_samples.ReserveAs<float>(size_t(std::min<uint64_t>(frames, blockFrames)) * width);
    } catch (const std::bad_alloc&) {
        Fail(String("ReadFloatDeinterleaved %1 frames: not enough memory").Arg(frames, 10));
    }
    uint32_t got = 0;
    ReadInt16Interleaved(frames, raw, got);
    std::vector<float*> targets(width);
    for (uint64_t done = 0; done < got; done += blockFrames) {
        const uint64_t block = std::min<uint64_t>(blockFrames, got - done);
        Vec::ConvertS16ToF32(int32_t(block * width), raw + done * width, interleaved, 15);
        for (uint32_t c = 0; c < width; ++c) targets[c] = channels[c] + done;
        Vec::DeinterleaveF32(int32_t(width), int32_t(block), interleaved, targets.data());
    }
    framesRead = got;
}

void Decoder::ReadInt16Deinterleaved(uint32_t frames, int16_t* const* channels, uint32_t& framesRead) {
    framesRead = 0;
    CheckOpen("ReadInt16Deinterleaved", frames);
    if (frames == 0) return;
    int16_t* interleaved = nullptr;
    try {
        interleaved = m_samples.ReserveAs<int16_t>(size_t(frames) * m_format.Channels);
    } catch (const std::bad_alloc&) {
        Fail(String("ReadInt16Deinterleaved %1 frames: not enough memory").Arg(frames, 10));
    }
    uint32_t got = 0;
    ReadInt16Interleaved(frames, interleaved, got);
    const int16_t* frame = interleaved;
    for (uint32_t f = 0; f < got; ++f, frame += m_format.Channels)
        for (uint32_t c = 0; c < m_format.Channels; ++c) channels[c][f] = frame[c];
    framesRead = got;
}

void Decoder::ReadChunk(uint32_t, std::vector<uint8_t>& bytes) { std::vector<uint8_t>().swap(bytes); }

void Decoder::Close() {
    m_position = 0;
    m_streamChosen = false;
    m_totalKnown = false;
    m_open = false;
    try {
        m_file->Close();
    } catch (const Util::Exception::FileIO& error) {
        Fail(String("FileIO Error: %1").Arg(error.Description()));
    }
}

}  // namespace Audio::Decode::WMA
