#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorAnalysis.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace UI {
namespace {

// a * b + c in 64 bits, saturating at ~0.
std::uint64_t MulAdd(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    std::uint64_t product = 0, sum = 0;
    if (__builtin_mul_overflow(a, b, &product) || __builtin_add_overflow(product, c, &sum)) return ~std::uint64_t(0);
    return sum;
}

// The bin of a frequency: f * M / rate in single precision, rounded to nearest, capped.
std::int64_t BinOfFrequency(float frequency, std::int64_t fftLength, float rate, std::int64_t bins) {
    const float bin = std::nearbyint(frequency * float(fftLength) / rate);
    if (!(bin >= 0.0f)) return 0;
    return bin < float(bins - 1) ? static_cast<std::int64_t>(bin) : bins - 1;
}

}  // namespace

std::uint64_t SpectrogramAnalysis::RequiredBytes(
    const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t length) {
    const std::uint64_t columns = layout.Columns(length);
    const std::uint64_t bins = std::uint64_t(layout.bins);
    const std::uint64_t m = std::uint64_t(layout.fftLength);
    std::uint64_t bytes = MulAdd(MulAdd(columns, bins, 0), channels, 0);
    bytes = MulAdd(std::uint64_t(channels) + 1, m * sizeof(double), bytes);  // channel buffers, work buffer
    bytes = MulAdd(std::uint64_t(layout.frameLength) * channels, sizeof(double), bytes);
    bytes = MulAdd(bins, 2 * sizeof(double) + 4 * sizeof(float), bytes);
    if (layout.type == SpectrogramMdlStft) bytes = MulAdd(1, SpectrogramMdl::StateBytes(layout, channels), bytes);
    return bytes;
}

void SpectrogramAnalysis::FreeBuffers() {
    m_channelBuffers = {};
    m_frame = {};
    m_complex = {};
    m_work = {};
    m_powers = DSP::DataTail();
}

int SpectrogramAnalysis::Fail(StepFailureCause cause, std::string detail) {
    m_failure = {cause, "spectrogram analysis: " + std::move(detail)};
    return kStepFailed;
}

int SpectrogramAnalysis::Run(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
    const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn) {
    m_failure = {};
    int result = kStepFailed;
    try {
        result = RunColumns(input, read, progress, spectra, lastColumn);
    } catch (const std::bad_alloc&) {
        result = Fail(StepFailureCause::OutOfMemory, "out of memory for the spectra or buffers");
    } catch (const std::length_error& e) {
        result = Fail(StepFailureCause::OutOfMemory, std::string("a buffer too long: ") + e.what());
    }
    FreeBuffers();
    if (result != kStepFinished) spectra = {};
    return result;
}

int SpectrogramAnalysis::RunColumns(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
    const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn) {
    const SpectrogramLayout& layout = input.layout;
    spectra = {};
    const std::uint64_t columns = layout.Columns(input.length);
    if (columns == 0 || input.channels == 0) return Fail(StepFailureCause::Unusable, "no columns or no channels");
    if (input.windows == nullptr || (*input.windows)[3].size() != std::size_t(layout.n))
        return Fail(StepFailureCause::Unusable, "no analysis windows of this size");
    if (input.fft == nullptr || !input.fft->IsValid() || input.fft->Order() != std::uint32_t(layout.fftOrder))
        return Fail(StepFailureCause::Unusable, "no FFT of order " + std::to_string(layout.fftOrder));
    if (!(input.sampleRate > 0.0f)) return Fail(StepFailureCause::Unusable, "no sample rate");
    const std::uint64_t required = RequiredBytes(layout, input.channels, input.length);
    if (required > input.memoryBudget)
        return Fail(StepFailureCause::OutOfMemory,
            "needs " + std::to_string(required) + " bytes, " + std::to_string(input.memoryBudget) + " available");

    const std::uint64_t bins = std::uint64_t(layout.bins);
    spectra.resize(input.channels);
    for (auto& spectrum : spectra) spectrum.assign(std::size_t(columns * bins), 0);

    const std::size_t m = std::size_t(layout.fftLength);
    m_channelBuffers.assign(input.channels, std::vector<double>(m, 0.0));
    m_frame.assign(std::size_t(layout.frameLength) * input.channels, 0.0);
    m_complex.assign(2 * std::size_t(bins), 0.0);
    if (layout.IsMultiResolution()) m_work.assign(m, 0.0);
    m_powers.Resize(layout.IsMultiResolution() ? 4 : 1, 0, static_cast<std::int32_t>(bins), 0, true);
    if (layout.type == SpectrogramMdlStft) m_mdl.Prepare(m_transience, layout, input.channels, input.sampleRate);

    const std::uint64_t total = columns + layout.Lookahead();
    for (std::uint64_t k = 0; k < total; ++k) {
        if (!progress(float(k) / float(total) * 100.0f)) return kStepCutShort;
        if (!FillFrame(input, read, k))
            return Fail(
                StepFailureCause::SourceRefused, "the source refused the frames of column " + std::to_string(k));
        const std::size_t frames = std::size_t(layout.frameLength);
        for (std::uint32_t c = 0; c < input.channels; ++c) {
            double* buffer = m_channelBuffers[c].data();
            const double* frame = m_frame.data() + c;
            for (std::size_t i = 0; i < frames; ++i) buffer[i] = frame[i * input.channels];
        }
        for (std::uint32_t c = 0; c < input.channels; ++c) {
            std::uint8_t* spectrum = spectra[c].data();
            switch (layout.type) {
            case SpectrogramStft: StftColumn(input, c, spectrum + k * bins); break;
            case SpectrogramMultiresStft: MultiresColumn(input, c, spectrum + k * bins); break;
            default: {
                float* rows[4];
                for (int r = 0; r < 4; ++r) rows[r] = m_mdl.RingRow(c, r);
                PowerRows(input, c, rows);
                m_mdl.FinishChannel(c, k, input.levels, spectrum);
                break;
            }
            }
        }
        if (layout.type == SpectrogramMdlStft) m_mdl.Advance();
        const std::uint64_t done = k >= layout.Lookahead() ? k - layout.Lookahead() : 0;
        lastColumn = static_cast<std::int32_t>(std::min<std::uint64_t>(done, 0x7FFFFFFF));
    }
    return kStepFinished;
}

bool SpectrogramAnalysis::FillFrame(
    const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read, std::uint64_t k) {
    const std::uint64_t frameLength = std::uint64_t(input.layout.frameLength);
    const std::uint64_t hop = std::uint64_t(input.layout.hop);
    const std::uint64_t half = frameLength / 2;
    const std::size_t channels = input.channels;
    double* frame = m_frame.data();
    if (k == 0) {
        std::fill(m_frame.begin(), m_frame.end(), 0.0);
        const std::uint64_t count = std::min(half, input.length);
        return count == 0 || read(0, static_cast<std::uint32_t>(count), frame + half * channels);
    }
    if (hop < frameLength) std::memmove(frame, frame + hop * channels, sizeof(double) * (frameLength - hop) * channels);
    double* slots = frame + (frameLength - hop) * channels;
    const std::uint64_t p = half - hop + k * hop;
    std::uint64_t got = 0;
    if (p < input.length) {
        got = std::min(input.length - p, hop);
        if (!read(p, static_cast<std::uint32_t>(got), slots)) return false;
    }
    std::fill(slots + got * channels, slots + hop * channels, 0.0);
    return true;
}

void SpectrogramAnalysis::StftColumn(const SpectrogramAnalysisInput& input, std::uint32_t channel, std::uint8_t* out) {
    const SpectrogramLayout& layout = input.layout;
    double* buffer = m_channelBuffers[channel].data();
    const double* window = (*input.windows)[3].data();
    for (std::int64_t i = 0; i < layout.n; ++i) buffer[i] *= window[i];
    input.fft->Forward(buffer, m_complex.data());
    const float offset = input.levels.RawOffset(layout.n);
    const double* bin = m_complex.data();
    for (std::int64_t b = 0; b < layout.bins; ++b, bin += 2)
        out[b] = SpectrogramLevels::ToByte(input.levels.Value(bin[0] * bin[0] + bin[1] * bin[1], offset));
}

void SpectrogramAnalysis::PowerRows(
    const SpectrogramAnalysisInput& input, std::uint32_t channel, float* const rows[4]) {
    const SpectrogramLayout& layout = input.layout;
    const double* samples = m_channelBuffers[channel].data();
    double* work = m_work.data();
    const std::int64_t span = layout.frameLength;
    for (int r = 0; r < 4; ++r) {
        const std::int64_t length = layout.WindowLength(r);
        const std::int64_t pre = (span - length) / 2;
        const double* window = (*input.windows)[std::size_t(r)].data();
        // All four frames are centred on the same frame; beyond the span stays zero.
        std::fill(work, work + pre, 0.0);
        std::fill(work + pre + length, work + span, 0.0);
        for (std::int64_t i = 0; i < length; ++i) work[pre + i] = samples[pre + i] * window[i];
        input.fft->Forward(work, m_complex.data());
        const float scale = static_cast<float>(2.0 / double(length));
        float* row = rows[r];
        const double* bin = m_complex.data();
        for (std::int64_t b = 0; b < layout.bins; ++b, bin += 2)
            row[b] = static_cast<float>(bin[0] * bin[0] + bin[1] * bin[1]) * scale;
        if (layout.type == SpectrogramMdlStft) std::copy(row, row + layout.bins, m_powers.Channel(r));
    }
}

void SpectrogramAnalysis::MultiresColumn(
    const SpectrogramAnalysisInput& input, std::uint32_t channel, std::uint8_t* out) {
    const SpectrogramLayout& layout = input.layout;
    float* rows[4];
    for (int r = 0; r < 4; ++r) rows[r] = m_powers.Channel(r);
    PowerRows(input, channel, rows);

    const float rate = input.sampleRate;
    const float nyquist = rate / 2.0f;
    const float lo[4] = {0.0f, 800.0f, 3200.0f, 12800.0f};
    const float hi[4] = {400.0f, 1600.0f, 6400.0f, nyquist};
    const float fadeEnd[4] = {800.0f, 3200.0f, 12800.0f, nyquist};
    float offsets[4];
    for (int r = 0; r < 4; ++r) offsets[r] = input.levels.ScaledOffset(layout.WindowLength(r));
    const auto value = [&](int r, std::int64_t b) { return input.levels.Value(rows[r][b], offsets[r]); };
    const auto bin = [&](float f) { return BinOfFrequency(f, layout.fftLength, rate, layout.bins); };

    for (int r = 0; r < 4; ++r) {
        const std::int64_t first = bin(lo[r]);
        const std::int64_t last = bin(hi[r]);
        const std::int64_t end = bin(fadeEnd[r]);
        for (std::int64_t b = first; b <= last; ++b) out[b] = SpectrogramLevels::ToByte(value(r, b));
        if (r < 3 && end > last) {
            const float width = float(end - last);
            for (std::int64_t b = last + 1; b <= end; ++b) {
                const float v = (value(r, b) * float(end - b) + value(r + 1, b) * float(b - last)) / width;
                out[b] = SpectrogramLevels::ToByte(v);
            }
        }
    }
}

}  // namespace UI
