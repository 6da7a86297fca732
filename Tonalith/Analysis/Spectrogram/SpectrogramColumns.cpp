#include <Tonalith/Analysis/Spectrogram/SpectrogramColumns.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramMemory.h>

#include <Primitives/Vec/Memory.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace UI {
namespace {

// The bin of a frequency: f * M / rate in single precision, rounded to nearest, capped.
std::int64_t BinOfFrequency(float frequency, std::int64_t fftLength, float rate, std::int64_t bins) {
    const float bin = std::nearbyint(frequency * float(fftLength) / rate);
    if (!(bin >= 0.0f)) return 0;
    return bin < float(bins - 1) ? static_cast<std::int64_t>(bin) : bins - 1;
}

// The frames of a run of `columns` columns: from the first one's start to the last one's end.
std::uint64_t RunSpan(const SpectrogramLayout& layout, std::uint64_t columns) {
    return (columns - 1) * std::uint64_t(layout.hop) + std::uint64_t(layout.frameLength);
}

}  // namespace

SpectrogramColumns::SpectrogramColumns(const SpectrogramColumnSetup& setup, std::uint64_t maxColumns, bool transforms)
    : m_setup(setup), m_fftBuffer(nullptr, [](std::uint8_t* p) { Vec::Free(p); }) {
    const SpectrogramLayout& layout = setup.layout;
    if (maxColumns > 0) {
        // Each sized in place: a vector to copy would be one more at the peak.
        m_channels.resize(setup.channels);
        for (auto& channel : m_channels) channel.resize(std::size_t(RunSpan(layout, maxColumns)));
        for (auto& channel : m_channels) m_channelTable.push_back(channel.data());
        m_readTable.resize(setup.channels);
    }
    if (!transforms) return;
    m_input.assign(std::size_t(layout.fftLength), 0.0);
    m_complex.resize(2 * std::size_t(layout.bins));
    // "MDL STFT" keeps its rows elsewhere.
    if (layout.type == SpectrogramMultiresStft) {
        m_rows.resize(kFrameLengths * std::size_t(layout.bins));
        m_values.resize(kFrameLengths * std::size_t(layout.bins));
    }
    if (setup.fft->BufferSize() > 0) {
        m_fftBuffer.reset(Vec::AllocU8(setup.fft->BufferSize()));
        if (!m_fftBuffer) throw std::bad_alloc();
    }
}

std::uint64_t SpectrogramColumns::FrameBytes(
    const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t maxColumns) {
    if (maxColumns == 0) return 0;
    return BytesMulAdd(BytesMulAdd(RunSpan(layout, maxColumns), channels), sizeof(float));
}

std::uint64_t SpectrogramColumns::TransformBytes(const SpectrogramLayout& layout) {
    const std::uint64_t bins = std::uint64_t(layout.bins);
    // The FFT's input and output (its work buffer is a few kilobytes at most), and the
    // stitching's rows and their values.
    const std::uint64_t rows = layout.type == SpectrogramMultiresStft ? 2u * kFrameLengths * bins * sizeof(float) : 0u;
    return std::uint64_t(layout.fftLength) * sizeof(double) + 2u * bins * sizeof(double) + rows;
}

void SpectrogramColumns::Forward(const double* input) {
    m_setup.fft->Forward(input, m_complex.data(), m_fftBuffer.get());
}

std::uint64_t SpectrogramColumns::RunLength(const SpectrogramLayout& layout) {
    const std::uint64_t perColumn = std::uint64_t(layout.fftLength) * (layout.IsMultiResolution() ? kFrameLengths : 1);
    return std::clamp<std::uint64_t>((std::uint64_t(1) << 17) / perColumn, 1, 256);
}

bool SpectrogramColumns::Read(const SpectrogramFrameReader& read, std::uint64_t first, std::uint64_t count) {
    const SpectrogramLayout& layout = m_setup.layout;
    const std::uint64_t hop = std::uint64_t(layout.hop);
    const std::uint64_t half = std::uint64_t(layout.frameLength) / 2;
    const std::uint64_t span = RunSpan(layout, count);
    const std::size_t channels = m_setup.channels;
    m_first = first;
    // Source frames [start, start + span), where start = first * hop - half may lie before 0.
    const std::uint64_t centre = first * hop;
    const std::uint64_t lead = centre < half ? half - centre : 0;  // slots before frame 0
    const std::uint64_t from = centre + lead - half;
    std::uint64_t got = 0;
    if (from < m_setup.length && lead < span) {
        got = std::min(m_setup.length - from, span - lead);
        for (std::size_t c = 0; c < channels; ++c) m_readTable[c] = m_channelTable[c] + lead;
        if (!read(from, static_cast<std::uint32_t>(got), m_readTable.data())) return false;
    }
    for (std::size_t c = 0; c < channels; ++c) {
        float* dst = m_channels[c].data();
        std::fill(dst, dst + lead, 0.0f);
        std::fill(dst + lead + got, dst + span, 0.0f);
    }
    return true;
}

const float* SpectrogramColumns::Frame(std::uint32_t channel, std::uint64_t k) const {
    return m_channels[channel].data() + (k - m_first) * std::uint64_t(m_setup.layout.hop);
}

void SpectrogramColumns::Stft(const float* frame, std::uint8_t* out) {
    const SpectrogramLayout& layout = m_setup.layout;
    const double* window = (*m_setup.windows)[kShortestFrame].data();
    double* input = m_input.data();
    for (std::int64_t i = 0; i < layout.n; ++i) input[i] = double(frame[i]) * window[i];
    Forward(input);
    m_setup.bytes->FromComplex(m_complex.data(), layout.bins, out);
}

bool SpectrogramColumns::PowerRows(const float* frame, float* const rows[kFrameLengths]) {
    const SpectrogramLayout& layout = m_setup.layout;
    double* input = m_input.data();
    const std::int64_t span = layout.frameLength;
    for (int r = 0; r < kFrameLengths; ++r) {
        // The largest transforms take a good part of a second together.
        if (m_setup.Cancelled()) return false;
        const std::int64_t length = layout.WindowLength(r);
        const std::int64_t pre = (span - length) / 2;
        float* row = rows[r];
        // Zeros (of either sign) transform to powers of +0.
        if (std::all_of(frame + pre, frame + pre + length, [](float x) { return x == 0.0f; })) {
            std::fill(row, row + layout.bins, 0.0f);
            continue;
        }
        const double* window = (*m_setup.windows)[std::size_t(r)].data();
        // All four frames are centred on the same frame; beyond the span stays zero.
        std::fill(input, input + pre, 0.0);
        std::fill(input + pre + length, input + span, 0.0);
        for (std::int64_t i = 0; i < length; ++i) input[pre + i] = double(frame[pre + i]) * window[i];
        Forward(input);
        const float scale = static_cast<float>(2.0 / double(length));
        const double* bin = m_complex.data();
        for (std::int64_t b = 0; b < layout.bins; ++b)
            row[b] = static_cast<float>(bin[2 * b] * bin[2 * b] + bin[2 * b + 1] * bin[2 * b + 1]) * scale;
    }
    return true;
}

bool SpectrogramColumns::Multires(const float* frame, std::uint8_t* out) {
    const SpectrogramLayout& layout = m_setup.layout;
    const std::size_t bins = std::size_t(layout.bins);
    float* rows[kFrameLengths];
    for (int r = 0; r < kFrameLengths; ++r) rows[r] = m_rows.data() + std::size_t(r) * bins;
    if (!PowerRows(frame, rows)) return false;

    const SpectrogramLevels& levels = m_setup.levels;
    const float rate = m_setup.sampleRate;
    const float nyquist = rate / 2.0f;
    const float lo[kFrameLengths] = {0.0f, 800.0f, 3200.0f, 12800.0f};
    const float hi[kFrameLengths] = {400.0f, 1600.0f, 6400.0f, nyquist};
    const float fadeEnd[kFrameLengths] = {800.0f, 3200.0f, 12800.0f, nyquist};
    const auto bin = [&](float f) { return BinOfFrequency(f, layout.fftLength, rate, layout.bins); };
    std::int64_t first[kFrameLengths], last[kFrameLengths], end[kFrameLengths];
    for (int r = 0; r < kFrameLengths; ++r) {
        first[r] = bin(lo[r]);
        last[r] = bin(hi[r]);
        end[r] = r < kShortestFrame ? bin(fadeEnd[r]) : last[r];
    }
    // The scaled values of each resolution over its band and both fade zones it enters.
    float* values[kFrameLengths];
    for (int r = 0; r < kFrameLengths; ++r) {
        values[r] = m_values.data() + std::size_t(r) * bins;
        std::int64_t from = first[r], to = std::max(last[r], end[r]);
        if (r > 0 && end[r - 1] > last[r - 1]) {
            from = std::min(from, last[r - 1] + 1);
            to = std::max(to, end[r - 1]);
        }
        if (to >= from)
            levels.Values(rows[r] + from, to - from + 1, levels.ScaledOffset(layout.WindowLength(r)), values[r] + from);
    }

    for (int r = 0; r < kFrameLengths; ++r) {
        for (std::int64_t b = first[r]; b <= last[r]; ++b) out[b] = SpectrogramLevels::ToByte(values[r][b]);
        if (r < kShortestFrame && end[r] > last[r]) {
            const float width = float(end[r] - last[r]);
            for (std::int64_t b = last[r] + 1; b <= end[r]; ++b) {
                const float v = (values[r][b] * float(end[r] - b) + values[r + 1][b] * float(b - last[r])) / width;
                out[b] = SpectrogramLevels::ToByte(v);
            }
        }
    }
    return true;
}

}  // namespace UI
