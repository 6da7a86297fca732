#include <Tonalith/Analysis/AudioCalculator.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>

#include <Platform/Kernel/MemoryInfo.h>
#include <QvBase/UI/Drawing/Image.h>

#include <exception>
#include <new>
#include <stdexcept>

namespace UI {

AudioCalculator::AudioCalculator(const SharedPtr<AudioDisplaySource>& source) : AudioCalculator(source.Get()) {
    m_sourceHandle = source;
}

AudioCalculator::AudioCalculator(AudioDisplaySource* source)
    : m_source(source),
      m_timeScale(new TimeScale("AudioCalculator TimeScale")),
      m_ampScale(new AmpScale("AudioCalculator AmpScale")),
      m_freqScale(new FreqScale("AudioCalculator FreqScale")) {}

AudioCalculator::~AudioCalculator() {
    delete m_timeScale;
    delete m_ampScale;
    delete m_freqScale;
}

void AudioCalculator::ApplySettings(const std::vector<std::uint8_t>&, bool* recompute, bool* rerender) {
    if (recompute) *recompute = false;
    if (rerender) *rerender = false;
}

void AudioCalculator::SyncView(const AudioViewRequest& request, bool* recompute, bool* rerender) {
    bool compute = false;
    bool render = false;
    if (request.length != m_timeScale->GetLength()) {
        m_timeScale->SetLength(request.length);
        compute = true;
    }
    if (request.visible != m_timeScale->GetVisibleRange()) {
        m_timeScale->SetVisibleRange(request.visible);
        render = true;
    }
    if (request.channels != m_ampScale->GetChannelCount()) {
        m_ampScale->SetChannelCount(request.channels);
        compute = true;
    }
    if (request.ampFull != m_ampScale->GetRange()) {
        m_ampScale->SetRange(request.ampFull);
        compute = true;
    }
    if (request.ampVisible != m_ampScale->GetVisibleRange()) {
        m_ampScale->SetVisibleRange(request.ampVisible);
        render = true;
    }
    if (request.channels != m_freqScale->GetChannelCount()) {
        m_freqScale->SetChannelCount(request.channels);
        compute = true;
    }
    if (request.bMel != m_freqScale->IsMelScale()) {
        m_freqScale->SetMelScale(request.bMel);
        render = true;
    }
    if (request.freqFull != m_freqScale->GetRange()) {
        m_freqScale->SetRange(request.freqFull);
        compute = true;
    }
    if (request.freqVisible != m_freqScale->GetVisibleRange()) {
        m_freqScale->SetVisibleRange(request.freqVisible);
        render = true;
    }
    if (compute) render = true;
    if (recompute) *recompute = compute;
    if (rerender) *rerender = render;
}

int AudioCalculator::DoCompute() {
    if (!IsActive() || !NeedsCompute()) return kStepFinished;
    m_cancel.store(0, std::memory_order_relaxed);
    SetNeedsCompute(false);
    if (m_timeScale->GetLength() == 0) return kStepFinished;
    const int result = RunStep(CalculatorStep::Compute, nullptr);
    if (result == kStepFinished) return kStepFinished;
    if (result == kStepCutShort) {
        SetNeedsCompute(true);
        return kStepCutShort;
    }
    return kStepFailed;
}

int AudioCalculator::DoRender(Image* image) {
    if (!IsActive() || !NeedsRender()) return kStepFinished;
    m_cancel.store(0, std::memory_order_relaxed);
    SetNeedsRender(false);
    const SampleRange visible = m_timeScale->GetVisibleRange();
    if (visible.IsEmpty() || visible.SpansAll() || !image) return kStepFinished;
    const int width = image->Width();
    const int height = image->Height();
    if (width < 0 || height < 0 || static_cast<std::int64_t>(width) * height == 0) return kStepFinished;
    m_timeScale->SetPixelWidth(width);
    m_ampScale->SetPixelHeight(height);
    m_freqScale->SetPixelHeight(height);
    const int result = RunStep(CalculatorStep::Render, image);
    if (result == kStepFinished) return kStepFinished;
    if (result == kStepCutShort) {
        SetNeedsRender(true);
        return kStepCutShort;
    }
    return kStepFailed;
}

int AudioCalculator::RunStep(CalculatorStep step, Image* image) {
    m_runningStep = step;
    {
        std::lock_guard<std::mutex> lock(m_failureLock);
        m_failures[int(step)] = {};
    }
    int result = kStepFailed;
    const char* name = step == CalculatorStep::Compute ? "compute step" : "render step";
    try {
        result = step == CalculatorStep::Compute ? Compute() : Render(image);
    } catch (const std::bad_alloc&) {
        return Fail(StepFailureCause::OutOfMemory, std::string(name) + ": out of memory");
    } catch (const std::length_error& e) {
        return Fail(StepFailureCause::OutOfMemory, std::string(name) + ": a buffer too long: " + e.what());
    } catch (const std::exception& e) {
        return Fail(StepFailureCause::Error, std::string(name) + ": " + e.what());
    }
    if (result != kStepFinished && result != kStepCutShort) {
        std::lock_guard<std::mutex> lock(m_failureLock);
        StepFailure& failure = m_failures[int(step)];
        if (failure.cause == StepFailureCause::None) failure = {StepFailureCause::Error, std::string(name) + " failed"};
        return kStepFailed;
    }
    return result;
}

int AudioCalculator::Fail(StepFailureCause cause, std::string detail) {
    std::lock_guard<std::mutex> lock(m_failureLock);
    m_failures[int(m_runningStep)] = {cause, std::move(detail)};
    return kStepFailed;
}

std::uint64_t AudioCalculator::MemoryBudget() const {
    if (m_memoryBudget) return *m_memoryBudget;
    return Platform::Kernel::MemoryForComputing(Platform::Kernel::AvailableMemoryBytes());
}

StepFailure AudioCalculator::LastFailure(CalculatorStep step) const {
    std::lock_guard<std::mutex> lock(m_failureLock);
    return m_failures[int(step)];
}

bool AudioCalculator::SetComputeProgress(float percent) {
    m_computeProgress.store(percent, std::memory_order_relaxed);
    return !IsCancelled();
}

bool AudioCalculator::SetRenderProgress(float percent, std::uint32_t columns) {
    m_renderProgress.store(percent, std::memory_order_relaxed);
    m_renderedColumns.store(columns, std::memory_order_relaxed);
    return !IsCancelled();
}

std::uint64_t AudioCalculator::GetLength() const { return m_timeScale->GetLength(); }

SampleRange AudioCalculator::GetVisibleRange() const { return m_timeScale->GetVisibleRange(); }

std::uint64_t AudioCalculator::PixelToSample(int column) const { return m_timeScale->PixelToSample(column, false); }

RowResult AudioCalculator::AmpToPixel(std::uint32_t channel, float a, bool bClip) const {
    return m_ampScale->AmpToPixel(channel, a, bClip);
}

float AudioCalculator::PixelToFreq(float p) const { return m_freqScale->PixelToFreq(p); }

RowBand AudioCalculator::FreqChannelBand(std::uint32_t channel) const { return m_freqScale->ChannelBand(channel); }

}  // namespace UI
