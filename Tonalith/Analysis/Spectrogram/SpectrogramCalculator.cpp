#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramRender.h>

#include <QvBase/UI/Drawing/Image.h>

#include <Platform/Kernel/Processors.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace UI {
SpectrogramCalculator::SpectrogramCalculator(
    const SharedPtr<AudioDisplaySource>& source, const SpectrogramSettings& settings)
    : AudioCalculator(source), m_settings(settings.Sanitised()) {
    Build(true, true, true);
}

SpectrogramCalculator::SpectrogramCalculator(AudioDisplaySource* source, const SpectrogramSettings& settings)
    : AudioCalculator(source), m_settings(settings.Sanitised()) {
    Build(true, true, true);
}

SpectrogramCalculator::~SpectrogramCalculator() = default;

std::uint32_t SpectrogramCalculator::Threads() const {
    return m_threads != 0 ? m_threads : Platform::Kernel::UsableProcessors();
}

SpectrogramLayout SpectrogramCalculator::Layout() const {
    return SpectrogramLayout::Make(m_settings.type, static_cast<std::int32_t>(m_settings.SizeOrder()),
        static_cast<std::int32_t>(m_settings.ExtraOrder()), static_cast<std::int32_t>(m_settings.OverlapFactor()));
}

void SpectrogramCalculator::ApplySettings(const std::vector<std::uint8_t>& bytes, bool* recompute, bool* rerender) {
    bool compute = false, render = false;
    bool fft = false, windows = false, colours = false;
    SpectrogramSettings received;
    if (SpectrogramSettings::FromBytes(bytes, &received)) {
        received = received.Sanitised();
        const SpectrogramSettings& old = m_settings;
        if (received.type != old.type) compute = render = fft = true;
        if (received.bBilinear != old.bBilinear || received.bMel != old.bMel) render = true;
        if (!(received.ampRange == old.ampRange)) compute = render = colours = true;
        if (received.fftSize != old.fftSize) compute = render = fft = windows = true;
        if (received.zeroPadding != old.zeroPadding) compute = render = fft = true;
        if (received.overlap != old.overlap) compute = render = true;
        if (received.window != old.window) compute = render = windows = true;
        m_settings = received;
        Build(fft, windows, colours);
    }
    if (recompute) *recompute = compute;
    if (rerender) *rerender = render;
}

void SpectrogramCalculator::Build(bool fft, bool windows, bool colours) {
    const SpectrogramLayout layout = Layout();
    if (fft) {
        m_fft.clear();
        m_fftFailure.clear();
        try {
            m_fft.push_back(SharedPtr<SpectrogramFft>(new SpectrogramFft(std::uint32_t(layout.fftOrder))));
            if (!m_fft.front()->IsValid()) m_fftFailure = "no FFT record of order " + std::to_string(layout.fftOrder);
        } catch (const std::bad_alloc&) {
            m_fft.clear();
            m_fftFailure = "out of memory for the FFT of order " + std::to_string(layout.fftOrder);
        }
    }
    if (windows) {
        try {
            m_windowsFailure.clear();
            m_windows = BuildSpectrogramWindows(m_settings.WindowOption(), layout);
        } catch (const std::exception& e) {
            m_windows = {};
            m_windowsFailure = std::string("no windows of length ") + std::to_string(layout.n) + ": " + e.what();
        }
    }
    if (colours) {
        m_colours = BuildSpectrogramColourTable();
        m_levels = SpectrogramLevels(-m_settings.ampRange, 0.0f);
    }
}

bool SpectrogramCalculator::ReadFrames(std::uint64_t first, std::uint32_t count, float** channels) {
    AudioDisplaySource* source = GetSource();
    source->Seek(first);
    // A seek the source ignores would make the read deliver the wrong frames.
    if (source->GetPosition() != first) return false;
    return source->ReadFloatDeinterleaved(count, channels);
}

int SpectrogramCalculator::Compute() {
    AudioDisplaySource* source = GetSource();
    m_spectra = {};
    m_lastColumn = -1;
    if (source == nullptr) return Fail(StepFailureCause::Unusable, "spectrogram: no source");
    if (m_fft.empty() || !m_fftFailure.empty() || !m_windowsFailure.empty())
        return Fail(StepFailureCause::OutOfMemory, "spectrogram: " + m_fftFailure + m_windowsFailure);

    SpectrogramAnalysisInput input;
    input.layout = Layout();
    input.channels = source->GetChannelCount();
    input.length = GetLength();
    input.sampleRate = static_cast<float>(source->GetSampleRate());
    input.windows = &m_windows;
    input.fft = m_fft.front().Get();
    input.levels = m_levels;
    input.threads = Threads();
    input.cancelled = [this] { return IsCancelled(); };
    input.memoryBudget = MemoryBudget();

    const int result = m_analysis.Run(
        input,
        [this](
            std::uint64_t first, std::uint32_t count, float** channels) { return ReadFrames(first, count, channels); },
        [this](float percent) { return SetComputeProgress(percent); }, m_spectra, m_lastColumn);
    if (result == kStepFailed) return Fail(m_analysis.Failure().cause, m_analysis.Failure().detail);
    if (result != kStepFinished) return result;
    return SetComputeProgress(100.0f) ? kStepFinished : kStepCutShort;
}

int SpectrogramCalculator::Render(Image* image) {
    AudioDisplaySource* source = GetSource();
    m_renderPosition = 0;
    m_lastColumn = -1;
    if (image == nullptr || image->Pixels() == nullptr || source == nullptr)
        return Fail(StepFailureCause::Unusable, "spectrogram render: no image or no source");

    const SpectrogramLayout layout = Layout();
    const SampleRange visible = GetVisibleRange();
    const std::uint64_t hop = std::uint64_t(layout.hop);
    const std::uint64_t visibleFrames = visible.Length();
    const std::uint64_t visibleColumns = visibleFrames / hop + (visibleFrames % hop != 0 ? 1u : 0u);
    if (visibleColumns == 0) return Fail(StepFailureCause::Unusable, "spectrogram render: no visible column");
    const std::uint64_t columns = m_spectra.empty() ? 0 : m_spectra[0].size() / std::uint64_t(layout.bins);
    if (columns == 0) {
        // Nothing computed (a failed analysis): show no spectrogram rather than a stale one.
        for (int y = 0; y < image->Height(); ++y)
            std::fill_n(image->Pixels() + std::int64_t(y) * image->Stride(), image->Width(), 0xFF000000u);
        return Fail(StepFailureCause::Unusable, "spectrogram render: nothing computed");
    }

    SpectrogramRenderTarget target;
    target.spectra = &m_spectra;
    target.columns = columns;
    target.bins = layout.bins;
    target.colours = &m_colours;
    target.pixels = image->Pixels();
    target.stride = image->Stride();
    target.width = image->Width();
    target.height = image->Height();
    const std::uint32_t channels = std::min<std::uint32_t>(source->GetChannelCount(), std::uint32_t(m_spectra.size()));
    for (std::uint32_t c = 0; c < channels; ++c) {
        const RowBand band = FreqChannelBand(c);
        target.bands.push_back({band.top, band.bottom});
    }

    const auto progress = [this](float percent, std::uint32_t done) {
        m_renderPosition = done;
        return SetRenderProgress(percent, done);
    };
    int result = kStepFinished;
    if (m_settings.bBilinear) {
        const RowBand band = FreqChannelBand(0);
        const int rows = band.IsEmpty() ? 0 : band.Height();
        const float rate = static_cast<float>(source->GetSampleRate());
        const float perHz = float(layout.fftLength) / rate;
        m_rowLow.resize(std::size_t(std::max(rows, 0)));
        m_rowHigh.resize(m_rowLow.size());
        for (int i = 0; i < rows; ++i) {
            m_rowLow[std::size_t(i)] = PixelToFreq(float(i) - 0.5f) * perHz;
            m_rowHigh[std::size_t(i)] = PixelToFreq(float(i) + 0.5f) * perHz;
        }
        m_positions.resize(std::size_t(target.width));
        for (int x = 0; x < target.width; ++x)
            m_positions[std::size_t(x)] = static_cast<float>(double(PixelToSample(x)) / double(hop));
        if (rows > 0)
            result = RenderSpectrogramFootprint(target, m_positions, m_rowLow, m_rowHigh, progress, Threads());
    } else {
        result = RenderSpectrogramNearest(target, visible.first / hop, visibleColumns, progress);
    }
    if (result != kStepFinished) return result;
    // Threads may end with a column the calling thread did not report.
    m_renderPosition = static_cast<std::uint32_t>(target.width);
    return SetRenderProgress(100.0f, static_cast<std::uint32_t>(target.width)) ? kStepFinished : kStepCutShort;
}

}  // namespace UI
