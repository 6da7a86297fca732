#pragma once
#include <Tonalith/Analysis/AudioDisplaySource.h>
#include <Tonalith/Analysis/AudioViewRequest.h>
#include <Tonalith/Analysis/SampleRange.h>
#include <Tonalith/Analysis/ValueRange.h>

#include <QvBase/Util/SharedPtr.h>
#include <QvBase/noncopyable.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace UI {

class AmpScale;
class FreqScale;
class Image;
class TimeScale;

// Step results.
enum StepResult : int { kStepFinished = 0, kStepCutShort = 1, kStepFailed = 2 };

enum class CalculatorStep : std::uint8_t { Compute, Render };

// Why a step failed.
enum class StepFailureCause : std::uint8_t {
    None,
    OutOfMemory,  // allocation refused, or more memory asked than the system has
    SourceRefused,  // the sample source would not deliver the frames
    Unusable,  // the settings, view or image gave the step nothing it could work with
    Error,  // any other exception
};

struct StepFailure {
    StepFailureCause cause = StepFailureCause::None;
    std::string detail;  // what failed and where, for a developer
};

// Base of the calculators the updater thread runs: a compute step (samples into an
// intermediate form) and a render step (into the job's image), each due after a view
// or settings change and each cut short by the cancel flag.
//
// Threads: the updater thread runs the steps and, under the updater's lock, the view
// synchronisation and settings; the UI thread sets the active and cancel flags and the
// due flags (under that lock) and reads the progress. Everything the two share without
// a lock is atomic.
class AudioCalculator : public noncopyable {
public:
    // The calculator shares the source's ownership.
    explicit AudioCalculator(const SharedPtr<AudioDisplaySource>& source);
    // The source is not owned and must outlive the calculator.
    explicit AudioCalculator(AudioDisplaySource* source);
    virtual ~AudioCalculator();

    // What a settings block changes; the base has no settings and clears both.
    virtual void ApplySettings(const std::vector<std::uint8_t>& settings, bool* recompute, bool* rerender);

    // Brings the private scales in step with the request and says which steps it makes due.
    void SyncView(const AudioViewRequest& request, bool* recompute, bool* rerender);

    // A StepResult: finished or nothing to do, cut short (due again), failed. A step that
    // runs forgets its earlier failure; a failed one keeps why (LastFailure). Exceptions
    // from the step end it as failed.
    int DoCompute();
    int DoRender(Image* image);

    // The failure of the last run of that step; cause None when it did not fail. Any thread.
    StepFailure LastFailure(CalculatorStep step) const;

    void SetActive(bool active) { m_active.store(active, std::memory_order_relaxed); }
    bool IsActive() const { return m_active.load(std::memory_order_relaxed); }
    // The running step notices it at its next progress report.
    void Cancel() { m_cancel.store(1, std::memory_order_relaxed); }
    bool IsCancelled() const {
        return m_cancel.load(std::memory_order_relaxed) != 0 || m_abandoned.load(std::memory_order_relaxed);
    }
    // A cancel no step clears: for a calculator about to be deleted, whose step must end
    // even when it has just started.
    void Abandon() { m_abandoned.store(true, std::memory_order_relaxed); }

    void SetNeedsCompute(bool b) { m_needsCompute.store(b, std::memory_order_relaxed); }
    bool NeedsCompute() const { return m_needsCompute.load(std::memory_order_relaxed); }
    void SetNeedsRender(bool b) { m_needsRender.store(b, std::memory_order_relaxed); }
    bool NeedsRender() const { return m_needsRender.load(std::memory_order_relaxed); }

    // Percentages the display paints while a step works.
    float GetComputeProgress() const { return m_computeProgress.load(std::memory_order_relaxed); }
    float GetRenderProgress() const { return m_renderProgress.load(std::memory_order_relaxed); }
    std::uint32_t GetRenderedColumns() const { return m_renderedColumns.load(std::memory_order_relaxed); }

    AudioDisplaySource* GetSource() const { return m_source; }

    // Memory a step may take; by default what Platform::Kernel::MemoryForComputing allows
    // of the memory the system reports as available. A step that needs more fails as out
    // of memory before it allocates.
    void SetMemoryBudget(std::optional<std::uint64_t> bytes) { m_memoryBudget = bytes; }

    // Through the private scales (updater thread only).
    std::uint64_t GetLength() const;
    SampleRange GetVisibleRange() const;
    std::uint64_t PixelToSample(int column) const;
    RowResult AmpToPixel(std::uint32_t channel, float a, bool bClip) const;
    float PixelToFreq(float p) const;
    RowBand FreqChannelBand(std::uint32_t channel) const;

protected:
    virtual int Compute() = 0;
    virtual int Render(Image* image) = 0;

    // Records why the running step fails and returns kStepFailed.
    int Fail(StepFailureCause cause, std::string detail);
    // The budget set, else the computing share of the memory the system has available.
    std::uint64_t MemoryBudget() const;

    // Store the progress; false once the step has been cancelled.
    bool SetComputeProgress(float percent);
    bool SetRenderProgress(float percent, std::uint32_t columns);

    TimeScale& PrivateTimeScale() const { return *m_timeScale; }
    AmpScale& PrivateAmpScale() const { return *m_ampScale; }
    FreqScale& PrivateFreqScale() const { return *m_freqScale; }

private:
    std::atomic<bool> m_active{false};
    SharedPtr<AudioDisplaySource> m_sourceHandle;
    AudioDisplaySource* m_source;
    std::atomic<std::uint32_t> m_cancel{0};
    std::atomic<bool> m_abandoned{false};
    TimeScale* m_timeScale;
    AmpScale* m_ampScale;
    FreqScale* m_freqScale;
    std::atomic<bool> m_needsCompute{false};
    std::atomic<bool> m_needsRender{false};
    std::atomic<float> m_computeProgress{0.0f};
    std::atomic<float> m_renderProgress{0.0f};
    std::atomic<std::uint32_t> m_renderedColumns{0};
    std::optional<std::uint64_t> m_memoryBudget;  // updater thread only

    int RunStep(CalculatorStep step, Image* image);

    mutable std::mutex m_failureLock;
    CalculatorStep m_runningStep = CalculatorStep::Compute;  // updater thread only
    StepFailure m_failures[2];
};

}  // namespace UI
