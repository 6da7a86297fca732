#pragma once
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/AudioDisplaySource.h>
#include <Tonalith/Analysis/AudioViewRequest.h>
#include <Tonalith/Display/AudioCanvasWindow.h>

#include <QvBase/UI/Widgets/Window.h>
#include <QvBase/Util/SharedPtr.h>

#include <cstdint>
#include <optional>

namespace UI {

class AmpScale;
class AudioCalculator;
class AudioUpdater;
class FreqScale;
class Image;
class TimeScale;

// A window that shows the image one calculator makes of one sample source. It hands the
// calculator to the updater, repaints the job's image about every 100 ms (on the update
// timer's tick nearest to it) with a progress text while the calculator works, turns every
// change of the shared scales into a new view request, and zooms the visible time range with
// the mouse wheel. A failed step shows as failed until a change makes it due again.
class AudioDisplay : public Window, public AudioCanvasWindow {
    QV_OBJECT()
public:
    AudioDisplay(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* timeScale,
        AmpScale* ampScale, FreqScale* freqScale, AudioUpdater* updater);
    ~AudioDisplay() override;

    void slotUserChangedVisibleSamples();
    void slotUserChangedVisibleAmpRange();
    void slotUserChangedVisibleFreqRange();

    void SetSource(const SharedPtr<AudioDisplaySource>& source);
    void Unbind();
    bool IsBound() const { return m_calculator != nullptr; }

    // The percent of a file read so far, shown while the display waits for its source;
    // nothing when no read is running.
    void SetReadingProgress(std::optional<float> percent);

    AudioViewRequest BuildViewRequest() const;
    void ResubmitView();
    void SetMelScale(bool mel);

    void Paint(DrawContext& dc) override;
    void OnShow() override;
    void OnHide() override;
    void OnGeometryChanged() override;
    void OnTransparencyChanged() override;
    void OnTimer(uint timerId) override;
    bool OnMouseWheel(Point p, int delta, uint modifiers) override;

    // What a paint shows while a step works; empty when both steps have finished.
    static String ProgressText(float computeProgress, float renderProgress);
    // What a paint shows while the file is read.
    static String ReadingText(float readProgress);
    // What a paint shows in its place when a step failed, naming memory when that was
    // the cause; empty when neither failed.
    static String FailureText(const StepFailure& compute, const StepFailure& render);

    AudioCalculator* GetCalculator() const { return m_calculator; }
    Image* GetBuffer() const { return m_buffer; }
    TimeScale* GetTimeScale() const { return m_timeScale; }
    AmpScale* GetAmpScale() const { return m_ampScale; }
    FreqScale* GetFreqScale() const { return m_freqScale; }

protected:
    virtual AudioCalculator* CreateCalculator(const SharedPtr<AudioDisplaySource>& source) = 0;
    void SendSettings(std::uint32_t byteCount, const std::uint8_t* bytes);

private:
    bool IsShown() const { return IsVisible() && GetTransparency() < 255; }
    void Activate();
    void PaintProgress(DrawContext& dc, const StepFailure& computeFailure);
    void PaintStatus(DrawContext& dc, const String& text);
    void PaintSeparators(DrawContext& dc);

    AudioUpdater* m_updater;
    SharedPtr<AudioDisplaySource> m_source;
    AudioCalculator* m_calculator = nullptr;
    Image* m_buffer = nullptr;
    TimeScale* m_timeScale;
    AmpScale* m_ampScale;
    FreqScale* m_freqScale;
    std::optional<float> m_readingProgress;
    uint m_ticksSinceRepaint = 0;
};

}  // namespace UI
