#include <Platform/Media/WMVCore/Reader.h>

#include <Platform/Media/WMVCore/PcmBuffer.h>
#include <Platform/Text/Utf8.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

namespace Platform::Media::Runtime {

namespace {

// The sample sizes an audio output offers, in the order offered: 16 bits first. A build for
// tests offers 24 bits first, the one way to make a reader deliver them to the decoder.
#ifdef WMVCORE_WIDE_FIRST
constexpr uint16_t kOfferedBits[] = {24, 16};
#else
constexpr uint16_t kOfferedBits[] = {16, 24};
#endif

std::string Utf8Of(const char16_t* text) {
    std::string out;
    for (const char16_t* p = text; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
            ++p;
        }
        Text::AppendUtf8(out, c);
    }
    return out;
}

bool NameIs(const char16_t* name, std::u16string_view expected) {
    return name && std::u16string_view(name) == expected;
}

// The start of frame `frames`, rounded down to a whole tick. Split so that no product
// overflows 64 bits.
uint64_t TicksOf(uint64_t frames, uint32_t rate) {
    return frames / rate * kTicksPerSecond + frames % rate * kTicksPerSecond / rate;
}

// The shortest of the decodable streams' lengths in ticks, each stream's frames as
// `framesOf(s)` gives them; 0 without such a stream.
template <class FramesOf>
uint64_t ShortestStream(const std::vector<StreamInfo>& streams, FramesOf&& framesOf) {
    uint64_t shortest = 0;
    bool any = false;
    for (size_t s = 0; s < streams.size(); ++s) {
        if (!streams[s].decodable) continue;
        const uint64_t ticks = TicksOf(framesOf(s), streams[s].layout.rate);
        shortest = any ? std::min(shortest, ticks) : ticks;
        any = true;
    }
    return shortest;
}

// No exception leaves the runtime: memory that ran out is reported as a result.
template <class Body>
Result Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kFail;
    }
}

}  // namespace

Result Reader::QueryInterface(const Id& id, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (id == kUnknownId || id == kSyncReaderId)
        *object = static_cast<SyncReader*>(this);
    else if (id == kHeaderInfoId)
        *object = static_cast<HeaderInfo*>(this);
    else
        return kNoInterface;
    AddRef();
    return kOk;
}

Result Reader::Open(const char16_t* path) {
    return Guarded([&]() -> Result {
        if (!path) return kInvalidArgument;
        Close();
        m_path = Utf8Of(path);
        if (!m_source.Open(m_path)) return kNotWindowsMedia;
        m_outputs.assign(m_source.Streams().size(), Output{});
        return kOk;
    });
}

Result Reader::Close() {
    m_source.Close();
    m_outputs.clear();
    m_length.reset();
    return kOk;
}

Result Reader::CountLength() {
    if (m_length) return kOk;
    // The length is what the audio really delivers: decoded once on a source of its own, it
    // can never promise frames a read will not find, and leaves the read where it stands.
    AsfSource counting;
    if (!counting.Open(m_path)) return kNotWindowsMedia;
    const std::vector<AsfSource::Count> counts = counting.CountFrames();
    const std::vector<StreamInfo>& streams = m_source.Streams();
    if (!counting.IsOpen() || counts.size() != streams.size()) return kNotWindowsMedia;
    for (size_t s = 0; s < counts.size(); ++s)
        if (streams[s].decodable && counts[s].end == kOutOfMemory) return kOutOfMemory;
    // The file is as long as its shortest stream. A stream read to its end gives its length;
    // one that failed (a cut file fails in every stream) only that it reaches the failure.
    uint64_t shortestWhole = std::numeric_limits<uint64_t>::max(), firstFailure = shortestWhole;
    Result failure = kNoMoreSamples;
    uint32_t lowestRate = std::numeric_limits<uint32_t>::max();
    bool any = false;
    for (size_t s = 0; s < streams.size(); ++s) {
        if (!streams[s].decodable) continue;
        any = true;
        lowestRate = std::min(lowestRate, streams[s].layout.rate);
        const uint64_t reached = TicksOf(counts[s].frames, streams[s].layout.rate);
        if (counts[s].end == kNoMoreSamples) {
            shortestWhole = std::min(shortestWhole, reached);
        } else if (reached < firstFailure) {
            firstFailure = reached;
            failure = counts[s].end;
        }
    }
    Length length;  // nothing without a decodable stream
    if (failure != kNoMoreSamples && firstFailure < shortestWhole) {
        // The failure decides the length. Every stream is read up to where it lies, however
        // many frames that is at the stream's rate, and fails there; the duration promises one
        // frame more at the lowest rate, so that a read of all it promises meets the failure.
        length = {firstFailure + (kTicksPerSecond + lowestRate - 1) / lowestRate, firstFailure, failure};
    } else if (any) {
        // A failure past the end of a whole stream lies past the file's end too.
        length = {shortestWhole, shortestWhole, kNoMoreSamples};
    }
    m_length = length;
    return kOk;
}

Result Reader::FrameLimit(size_t stream, uint64_t& limit, Result& atLimit) {
    const std::vector<StreamInfo>& streams = m_source.Streams();
    // One stream's own end is the file's length; with more, the shortest one's is. A stream
    // that does not decode has no frames to limit (nor a rate to count them in).
    limit = std::numeric_limits<uint64_t>::max();
    atLimit = kNoMoreSamples;
    if (!streams[stream].decodable ||
        std::count_if(streams.begin(), streams.end(), [](const StreamInfo& s) { return s.decodable; }) < 2)
        return kOk;
    if (const Result counted = CountLength(); counted < 0) return counted;
    limit = FramesAt(m_length->readable, streams[stream].layout.rate);
    atLimit = m_length->end;
    return kOk;
}

uint64_t Reader::ExpectedDuration() const {
    return ShortestStream(m_source.Streams(), [&](size_t s) { return m_source.ExpectedFrames(s); });
}

Result Reader::SetRange(uint64_t start, int64_t duration) {
    return Guarded([&]() -> Result {
        if (!m_source.IsOpen()) return kNotOpen;
        if (duration != 0) return kInvalidArgument;
        // From the start again, dropping the frames before the one `start` falls in: exact
        // whatever the codec.
        if (!m_source.Open(m_path)) return kFail;
        for (size_t s = 0; s < m_outputs.size(); ++s) {
            const uint32_t rate = m_source.Streams()[s].layout.rate;
            const uint64_t frames =
                rate ? start / kTicksPerSecond * rate + start % kTicksPerSecond * rate / kTicksPerSecond : 0;
            m_outputs[s].delivered = frames;
            m_outputs[s].skip = frames;
        }
        return kOk;
    });
}

Result Reader::GetNextSample(uint16_t stream, Buffer** sample, uint64_t* sampleTime, uint64_t* duration,
    uint32_t* flags, uint32_t* output, uint16_t* streamNumber) {
    return Guarded([&]() -> Result {
        if (!sample || !sampleTime || !duration) return kInvalidArgument;
        *sample = nullptr;
        if (!m_source.IsOpen()) return kNotOpen;
        if (stream == 0 || stream > m_outputs.size() || !m_outputs[stream - 1].selected) return kInvalidArgument;
        const size_t index = stream - 1u;
        const StreamInfo& info = m_source.Streams()[index];
        Output& out = m_outputs[index];
        uint64_t limit = 0;
        Result atLimit = kNoMoreSamples;
        if (const Result limited = FrameLimit(index, limit, atLimit); limited < 0) return limited;
        if (out.delivered >= limit) return atLimit;
        const size_t frameBytes = size_t(info.layout.channels) * out.bits / 8;
        std::vector<uint8_t> pcm;
        uint32_t frames = 0;
        for (;;) {
            if (const Result next = m_source.Next(index, out.bits, pcm, frames); next < 0) return next;
            const uint64_t dropped = std::min<uint64_t>(out.skip, frames);
            out.skip -= dropped;
            if (dropped < frames) {
                pcm.erase(pcm.begin(), pcm.begin() + ptrdiff_t(dropped * frameBytes));
                frames -= uint32_t(dropped);
                break;
            }
        }
        if (frames > limit - out.delivered) {
            frames = uint32_t(limit - out.delivered);
            pcm.resize(frames * frameBytes);
        }
        const uint64_t from = out.delivered;
        out.delivered += frames;
        *sampleTime = TicksOf(from, info.layout.rate);
        *duration = TicksOf(out.delivered, info.layout.rate) - *sampleTime;
        if (flags) *flags = 0;
        if (output) *output = uint32_t(index);
        if (streamNumber) *streamNumber = stream;
        *sample = Make<PcmBuffer>(std::move(pcm));
        return *sample ? kOk : kOutOfMemory;
    });
}

Result Reader::SetStreamsSelected(uint16_t count, const uint16_t* streams, const StreamState* states) {
    if (!m_source.IsOpen()) return kNotOpen;
    if (count && (!streams || !states)) return kInvalidArgument;
    for (uint16_t i = 0; i < count; ++i)
        if (streams[i] == 0 || streams[i] > m_outputs.size()) return kInvalidArgument;
    for (uint16_t i = 0; i < count; ++i) m_outputs[streams[i] - 1u].selected = states[i] != StreamState::Off;
    return kOk;
}

Result Reader::SetReadStreamSamples(uint16_t stream, bool compressed) {
    if (!m_source.IsOpen()) return kNotOpen;
    if (stream == 0 || stream > m_outputs.size()) return kInvalidArgument;
    // Only decoded samples are offered.
    return compressed ? kUnsupportedFormat : kOk;
}

Result Reader::GetOutputCount(uint32_t* count) {
    if (!count) return kInvalidArgument;
    if (!m_source.IsOpen()) return kNotOpen;
    *count = uint32_t(m_outputs.size());
    return kOk;
}

Result Reader::GetOutputFormatCount(uint32_t output, uint32_t* count) {
    if (!count) return kInvalidArgument;
    if (!Valid(output)) return kInvalidArgument;
    const StreamInfo& info = m_source.Streams()[output];
    *count = info.majorType == kAudioType ? (info.decodable ? uint32_t(std::size(kOfferedBits)) : 0) : 1;
    return kOk;
}

Result Reader::GetOutputFormat(uint32_t output, uint32_t format, OutputProps** props) {
    if (!props) return kInvalidArgument;
    *props = nullptr;
    uint32_t count = 0;
    if (GetOutputFormatCount(output, &count) < 0 || format >= count) return kInvalidArgument;
    const StreamInfo& info = m_source.Streams()[output];
    PcmLayout layout = info.layout;
    layout.bits = kOfferedBits[format];
    *props = Make<OutputFormat>(info.majorType, layout);
    return *props ? kOk : kOutOfMemory;
}

Result Reader::SetOutputProps(uint32_t output, OutputProps* props) {
    return Guarded([&]() -> Result {
        if (!props || !Valid(output)) return kInvalidArgument;
        const StreamInfo& info = m_source.Streams()[output];
        uint32_t size = 0;
        if (props->GetMediaType(nullptr, &size) < 0 || size < sizeof(MediaType)) return kInvalidArgument;
        std::vector<uint64_t> storage((size + 7) / 8);
        auto* type = reinterpret_cast<MediaType*>(storage.data());
        if (props->GetMediaType(type, &size) < 0) return kInvalidArgument;
        if (type->majorType != info.majorType) return kUnsupportedFormat;
        if (info.majorType != kAudioType) return kOk;
        // An audio output delivers its own rate and channels, in 16 or 24 bits.
        if (!info.decodable || type->subtype != kPcmSubtype || type->formatType != kWaveFormatType || !type->format ||
            type->formatSize < kWaveFormatBytes)
            return kUnsupportedFormat;
        uint16_t channels = 0, bits = 0;
        uint32_t rate = 0;
        std::memcpy(&channels, type->format + 2, 2);
        std::memcpy(&rate, type->format + 4, 4);
        std::memcpy(&bits, type->format + 14, 2);
        if (channels != info.layout.channels || rate != info.layout.rate ||
            std::find(std::begin(kOfferedBits), std::end(kOfferedBits), bits) == std::end(kOfferedBits))
            return kUnsupportedFormat;
        m_outputs[output].bits = bits;
        return kOk;
    });
}

Result Reader::GetStreamNumberForOutput(uint32_t output, uint16_t* stream) {
    if (!stream || !Valid(output)) return kInvalidArgument;
    *stream = uint16_t(output + 1);
    return kOk;
}

Result Reader::SetOutputSetting(uint32_t output, const char16_t* name, AttributeType, const uint8_t*, uint16_t) {
    if (!Valid(output) || !name) return kInvalidArgument;
    // Discrete channels without speaker mapping is what the outputs deliver anyway.
    if (NameIs(name, u"EnableDiscreteOutput") || NameIs(name, u"SpeakerConfig")) return kOk;
    return kNoAttribute;
}

Result Reader::GetAttributeByName(
    uint16_t* stream, const char16_t* name, AttributeType* type, uint8_t* value, uint16_t* length) {
    return Guarded([&]() -> Result {
        if (!stream || !type || !length) return kInvalidArgument;
        if (!m_source.IsOpen()) return kNotOpen;
        const bool exact = NameIs(name, u"Duration");
        if (*stream != 0 || (!exact && !NameIs(name, u"ExpectedDuration"))) return kNoAttribute;
        *type = AttributeType::Qword;
        if (!value) {
            *length = 8;
            return kOk;
        }
        if (*length < 8) {
            *length = 8;
            return kInvalidArgument;
        }
        uint64_t duration = 0;
        if (exact) {
            if (const Result counted = CountLength(); counted < 0) return counted;
            duration = m_length->duration;
        } else {
            duration = ExpectedDuration();
        }
        std::memcpy(value, &duration, 8);
        *length = 8;
        return kOk;
    });
}

}  // namespace Platform::Media::Runtime
