#include <Platform/Media/WMVCore/AsfSource.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <cstdio>
#include <cstring>
#include <limits>

namespace Platform::Media::Runtime {

namespace {

constexpr uint8_t kAsfHeaderId[16] = {
    0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

// Channel counts the wave-format block can describe; more are refused, not truncated.
constexpr int kMostChannels = 64;

bool FileStartsWithAsfHeader(const std::string& path) {
    uint8_t head[16] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return StartsWithAsfHeader(head, got);
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
    m_ended = false;
    avformat_close_input(&m_format);
}

bool AsfSource::Open(const std::string& path) {
    Close();
    // Only the header object's identifier makes a file ours: the library's own guessing
    // would take MP3 and much else.
    if (!FileStartsWithAsfHeader(path)) return false;
    const AVInputFormat* asf = av_find_input_format("asf");
    if (!asf || avformat_open_input(&m_format, path.c_str(), asf, nullptr) < 0) return false;
    if (avformat_find_stream_info(m_format, nullptr) < 0) {
        Close();
        return false;
    }
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        const AVCodecParameters* parameters = m_format->streams[i]->codecpar;
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
            }
        }
        m_info.push_back(info);
        m_decoding.push_back(std::move(decoding));
    }
    return true;
}

void AsfSource::Receive(size_t stream, uint16_t bits) {
    Decoding& d = *m_decoding[stream];
    const PcmLayout& layout = m_info[stream].layout;
    AVFrame* frame = av_frame_alloc();
    if (!frame) return;
    while (avcodec_receive_frame(d.codec, frame) >= 0) {
        // A frame whose shape differs from what the output promised is dropped, so the
        // frames delivered always fit the announced layout.
        if (frame->nb_samples <= 0 || frame->ch_layout.nb_channels != layout.channels ||
            frame->sample_rate != int(layout.rate)) {
            av_frame_unref(frame);
            continue;
        }
        Ready ready{{}, uint32_t(frame->nb_samples)};
        if (bits) {
            // 24-bit samples are converted as 32-bit ones and packed below.
            const size_t width = bits == 24 ? 4 : 2;
            if (!d.resampler || d.resamplerBits != bits) {
                swr_free(&d.resampler);
                swr_alloc_set_opts2(&d.resampler, &frame->ch_layout, width == 4 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16,
                    frame->sample_rate, &frame->ch_layout, AVSampleFormat(frame->format), frame->sample_rate, 0,
                    nullptr);
                if (d.resampler && swr_init(d.resampler) < 0) swr_free(&d.resampler);
                d.resamplerBits = bits;
            }
            ready.pcm.resize(size_t(frame->nb_samples) * layout.channels * width);
            uint8_t* out = ready.pcm.data();
            const int got = d.resampler ? swr_convert(d.resampler, &out, frame->nb_samples,
                                              const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples)
                                        : -1;
            if (got <= 0) {
                av_frame_unref(frame);
                continue;
            }
            ready.frames = uint32_t(got);
            const size_t samples = size_t(got) * layout.channels;
            if (width == 4)
                for (size_t i = 0; i < samples; ++i) std::memmove(&ready.pcm[3 * i], &ready.pcm[4 * i + 1], 3);
            ready.pcm.resize(samples * bits / 8);
        }
        d.ready.push_back(std::move(ready));
        av_frame_unref(frame);
    }
    av_frame_free(&frame);
}

bool AsfSource::Pump(size_t stream, uint16_t bits) {
    Decoding& d = *m_decoding[stream];
    if (m_ended) {
        if (d.flushed) return false;
        d.flushed = true;
        avcodec_send_packet(d.codec, nullptr);
        Receive(stream, bits);
        return true;
    }
    AVPacket* packet = av_packet_alloc();
    if (!packet) return false;
    if (av_read_frame(m_format, packet) < 0) {
        m_ended = true;
    } else if (size_t(packet->stream_index) == stream) {
        // A damaged packet is skipped; the decoder goes on with the next one.
        avcodec_send_packet(d.codec, packet);
        Receive(stream, bits);
    }
    av_packet_free(&packet);
    return true;
}

bool AsfSource::Next(size_t stream, uint16_t bits, std::vector<uint8_t>& pcm, uint32_t& frames) {
    if (!m_format || stream >= m_info.size() || !m_info[stream].decodable) return false;
    std::deque<Ready>& ready = m_decoding[stream]->ready;
    while (ready.empty())
        if (!Pump(stream, bits)) return false;
    pcm = std::move(ready.front().pcm);
    frames = ready.front().frames;
    ready.pop_front();
    return true;
}

std::vector<uint64_t> AsfSource::CountFrames() {
    std::vector<uint64_t> counts(m_info.size(), 0);
    std::vector<uint8_t> unused;
    uint32_t frames = 0;
    // One stream at a time from the start: the demultiplexer is reopened in between.
    AVFormatContext* format = m_format;
    if (!format) return counts;
    const std::string url = format->url ? format->url : "";
    for (size_t s = 0; s < m_info.size(); ++s) {
        if (!m_info[s].decodable) continue;
        if (!Open(url)) break;
        while (Next(s, 0, unused, frames)) counts[s] += frames;
    }
    Open(url);
    return counts;
}

}  // namespace Platform::Media::Runtime
