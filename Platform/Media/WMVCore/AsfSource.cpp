#include <Platform/Media/WMVCore/AsfSource.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <sys/types.h>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace Platform::Media::Runtime {

namespace {

constexpr uint8_t kAsfHeaderId[16] = {
    0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr uint8_t kFilePropertiesId[16] = {
    0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr uint8_t kDataObjectId[16] = {
    0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// An object's identifier and size; the header object adds its object count and two bytes.
constexpr uint64_t kObjectBytes = 24;
constexpr uint64_t kHeaderObjectBytes = 30;
// The data object's own fields before its packets.
constexpr uint64_t kDataObjectBytes = 50;
// Where the file properties keep their flags; bit 0 marks a file written as a stream.
constexpr uint64_t kPropertiesFlagsAt = 88;

// Channel counts the wave-format block can describe; more are refused, not truncated.
constexpr int kMostChannels = 64;

uint64_t Le(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

bool ReadAt(std::FILE* file, uint64_t at, uint8_t* bytes, size_t count) {
    return at <= uint64_t(std::numeric_limits<off_t>::max()) && ::fseeko(file, off_t(at), SEEK_SET) == 0 &&
        std::fread(bytes, 1, count, file) == count;
}

struct Layout {
    bool asf = false;
    uint64_t dataEnd = 0;  // 0 when the file does not say
};

// Whether the file begins with the header object, and where its data object says the data
// ends. A file written as a stream may not know its sizes and says so by its broadcast flag.
Layout ReadLayout(const std::string& path) {
    Layout layout;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return layout;
    uint8_t head[kHeaderObjectBytes] = {};
    const size_t got = std::fread(head, 1, sizeof head, file.get());
    layout.asf = StartsWithAsfHeader(head, got);
    if (!layout.asf || got < sizeof head) return layout;
    const uint64_t headerEnd = Le(head + 16, 8);
    bool sized = false;
    uint64_t at = kHeaderObjectBytes;
    for (uint64_t i = 0, count = Le(head + 24, 4);
         i < count && headerEnd >= kObjectBytes && at <= headerEnd - kObjectBytes; ++i) {
        uint8_t object[kObjectBytes];
        if (!ReadAt(file.get(), at, object, sizeof object)) return layout;
        const uint64_t size = Le(object + 16, 8);
        if (size < kObjectBytes || size > headerEnd - at) return layout;
        if (std::memcmp(object, kFilePropertiesId, 16) == 0) {
            uint8_t flags[4];
            if (size < kPropertiesFlagsAt + 4 || !ReadAt(file.get(), at + kPropertiesFlagsAt, flags, 4)) return layout;
            sized = (flags[0] & 1) == 0;
        }
        at += size;
    }
    uint8_t data[kObjectBytes];
    if (!sized || !ReadAt(file.get(), headerEnd, data, sizeof data) || std::memcmp(data, kDataObjectId, 16) != 0)
        return layout;
    const uint64_t dataSize = Le(data + 16, 8);
    if (dataSize > kDataObjectBytes && dataSize <= std::numeric_limits<uint64_t>::max() - headerEnd)
        layout.dataEnd = headerEnd + dataSize;
    return layout;
}

bool Reserve(std::vector<uint8_t>& bytes, size_t size) {
    try {
        bytes.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

struct FormatClose {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

// The file opened by the ASF demultiplexer, its header read; null when it cannot be.
AVFormatContext* OpenAsf(const std::string& path) {
    const AVInputFormat* asf = av_find_input_format("asf");
    AVFormatContext* format = nullptr;
    if (!asf || avformat_open_input(&format, path.c_str(), asf, nullptr) < 0) return nullptr;
    return format;
}

// The frames of a stream as the probed file gives its length; 0 when it does not say.
uint64_t HeaderFrames(const AVFormatContext& format, unsigned stream, uint32_t rate) {
    const AVRational frame{1, int(rate)};
    const AVStream* s = format.streams[stream];
    if (s->duration != AV_NOPTS_VALUE && s->duration > 0)
        return uint64_t(av_rescale_q(s->duration, s->time_base, frame));
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0)
        return uint64_t(av_rescale_q(format.duration, AVRational{1, AV_TIME_BASE}, frame));
    return 0;
}

// A failure of the demultiplexer or the codec as the runtime reports it.
Result FailureOf(int error, Result otherwise) {
    if (error == AVERROR(ENOMEM)) return kOutOfMemory;
    if (error == AVERROR_INVALIDDATA) return kDamagedData;
    return otherwise;
}

}  // namespace

bool StartsWithAsfHeader(const uint8_t* bytes, size_t count) {
    return bytes && count >= sizeof kAsfHeaderId && std::memcmp(bytes, kAsfHeaderId, sizeof kAsfHeaderId) == 0;
}

struct AsfSource::Decoding {
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    uint16_t resamplerBits = 0;
    bool flushed = false;
    Result failure = kOk;
    std::deque<Ready> ready;
    ~Decoding() {
        swr_free(&resampler);
        avcodec_free_context(&codec);
    }
};

AsfSource::AsfSource() = default;

AsfSource::~AsfSource() { Close(); }

bool AsfSource::IsOpen() const { return m_format != nullptr; }

void AsfSource::Close() {
    m_decoding.clear();
    m_info.clear();
    m_dataEnd = 0;
    m_ended = false;
    m_failure = kOk;
    avformat_close_input(&m_format);
}

bool AsfSource::Open(const std::string& path) {
    Close();
    // Only the header object's identifier makes a file ours: the library's own guessing
    // would take MP3 and much else.
    const Layout layout = ReadLayout(path);
    if (!layout.asf) return false;
    // Probing may run the demultiplexer to its end, and each call past its end moves it on
    // over the last packet's padding again: what it tells is taken from an open of its own,
    // and the packets come from a fresh one, which first meets its end where its data ends.
    const std::unique_ptr<AVFormatContext, FormatClose> probed(OpenAsf(path));
    if (!probed || avformat_find_stream_info(probed.get(), nullptr) < 0) return false;
    m_format = OpenAsf(path);
    if (!m_format || m_format->nb_streams != probed->nb_streams) {
        Close();
        return false;
    }
    for (unsigned i = 0; i < probed->nb_streams; ++i) {
        const AVCodecParameters* parameters = probed->streams[i]->codecpar;
        if (m_format->streams[i]->codecpar->codec_type != parameters->codec_type) {
            Close();
            return false;
        }
        StreamInfo info;
        auto decoding = std::make_unique<Decoding>();
        if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) info.majorType = kVideoType;
        if (parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
            info.majorType = kAudioType;
            const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
            const int channels = parameters->ch_layout.nb_channels;
            if (codec && channels > 0 && channels <= kMostChannels && parameters->sample_rate > 0 &&
                (decoding->codec = avcodec_alloc_context3(codec)) &&
                avcodec_parameters_to_context(decoding->codec, parameters) >= 0 &&
                avcodec_open2(decoding->codec, codec, nullptr) >= 0) {
                info.decodable = true;
                info.layout.channels = uint16_t(channels);
                info.layout.rate = uint32_t(parameters->sample_rate);
                info.layout.bits = 16;
                if (parameters->ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
                    info.layout.channelMask = uint32_t(parameters->ch_layout.u.mask);
                info.expectedFrames = HeaderFrames(*probed, i, info.layout.rate);
            }
        }
        m_info.push_back(info);
        m_decoding.push_back(std::move(decoding));
    }
    m_dataEnd = layout.dataEnd;
    return true;
}

Result AsfSource::Receive(size_t stream, uint16_t bits) {
    Decoding& d = *m_decoding[stream];
    const PcmLayout& layout = m_info[stream].layout;
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!frame) return kOutOfMemory;
    for (;;) {
        const int received = avcodec_receive_frame(d.codec, frame.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return kOk;
        if (received < 0) return FailureOf(received, kDamagedData);
        if (frame->nb_samples <= 0) continue;
        // Frames of another shape than the output promised cannot be delivered.
        if (frame->ch_layout.nb_channels != layout.channels || frame->sample_rate != int(layout.rate))
            return kUnsupportedFormat;
        Ready ready{{}, uint32_t(frame->nb_samples)};
        if (bits) {
            // 24-bit samples are converted as 32-bit ones and packed below.
            const size_t width = bits == 24 ? 4 : 2;
            if (!d.resampler || d.resamplerBits != bits) {
                swr_free(&d.resampler);
                d.resamplerBits = 0;
                const int made = swr_alloc_set_opts2(&d.resampler, &frame->ch_layout,
                    width == 4 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16, frame->sample_rate, &frame->ch_layout,
                    AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
                const int initialised = made < 0 || !d.resampler ? made : swr_init(d.resampler);
                if (made < 0 || !d.resampler || initialised < 0) {
                    swr_free(&d.resampler);
                    return FailureOf(made < 0 ? made : initialised, kUnsupportedFormat);
                }
                d.resamplerBits = bits;
            }
            if (!Reserve(ready.pcm, size_t(frame->nb_samples) * layout.channels * width)) return kOutOfMemory;
            uint8_t* out = ready.pcm.data();
            // Without a change of rate every frame comes out at once.
            const int got = swr_convert(d.resampler, &out, frame->nb_samples,
                const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            if (got != frame->nb_samples) return FailureOf(got, kFail);
            const size_t samples = size_t(got) * layout.channels;
            if (width == 4)
                for (size_t i = 0; i < samples; ++i) std::memmove(&ready.pcm[3 * i], &ready.pcm[4 * i + 1], 3);
            ready.pcm.resize(samples * bits / 8);
        }
        // A frame that found no room is a failure of the stream, never a gap in it.
        try {
            d.ready.push_back(std::move(ready));
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
    }
}

Result AsfSource::Pump(size_t stream, uint16_t bits) {
    Decoding& d = *m_decoding[stream];
    if (d.failure < 0) return d.failure;
    if (m_failure < 0) return m_failure;
    if (m_ended) {
        if (d.flushed) return kNoMoreSamples;
        d.flushed = true;
        const int sent = avcodec_send_packet(d.codec, nullptr);
        if (sent < 0 && sent != AVERROR_EOF) return d.failure = FailureOf(sent, kDamagedData);
        return d.failure = Receive(stream, bits);
    }
    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!packet) return kOutOfMemory;
    const int read = av_read_frame(m_format, packet.get());
    if (read == AVERROR_EOF) {
        // The demultiplexer also ends on a failed read of the file, and where it can parse no
        // more: short of the end the file gives its data (cut off, or a packet it could not
        // make sense of), or past it.
        const AVIOContext* file = m_format->pb;
        if (file && file->error < 0) return m_failure = FailureOf(file->error, kReadFault);
        if (m_dataEnd && (!file || avio_tell(m_format->pb) != int64_t(m_dataEnd))) return m_failure = kDamagedData;
        m_ended = true;
        return kOk;
    }
    if (read < 0) return m_failure = FailureOf(read, kReadFault);
    if (size_t(packet->stream_index) != stream) return kOk;
    const int sent = avcodec_send_packet(d.codec, packet.get());
    if (sent < 0) return d.failure = FailureOf(sent, kDamagedData);
    return d.failure = Receive(stream, bits);
}

Result AsfSource::Next(size_t stream, uint16_t bits, std::vector<uint8_t>& pcm, uint32_t& frames) {
    if (!m_format) return kNotOpen;
    if (stream >= m_info.size() || !m_info[stream].decodable) return kNoMoreSamples;
    std::deque<Ready>& ready = m_decoding[stream]->ready;
    while (ready.empty())
        if (const Result pumped = Pump(stream, bits); pumped < 0) return pumped;
    pcm = std::move(ready.front().pcm);
    frames = ready.front().frames;
    ready.pop_front();
    return kOk;
}

uint64_t AsfSource::ExpectedFrames(size_t stream) const {
    return stream < m_info.size() ? m_info[stream].expectedFrames : 0;
}

std::vector<AsfSource::Count> AsfSource::CountFrames() {
    std::vector<Count> counts(m_info.size());
    std::vector<uint8_t> unused;
    uint32_t frames = 0;
    AVFormatContext* format = m_format;
    if (!format) return counts;
    const std::string url = format->url ? format->url : "";
    // One stream at a time from the start: the demultiplexer is reopened in between.
    bool fresh = true;
    for (size_t s = 0; s < m_info.size(); ++s) {
        if (!m_info[s].decodable) continue;
        if (!fresh && !Open(url)) break;
        fresh = false;
        while ((counts[s].end = Next(s, 0, unused, frames)) == kOk) counts[s].frames += frames;
    }
    return counts;
}

}  // namespace Platform::Media::Runtime
