#pragma once
#include <Tonalith/Display/AudioCanvasWindow.h>

#include <QvBase/UI/Widgets/Window.h>

#include <vector>

namespace UI {

class AmpScale;
class AudioDisplay;
class FreqScale;
class TimeScale;

// The container that stacks the audio displays over each other, places the time ruler
// below them and the amplitude and frequency rulers to their right, tells the shared
// scales how many pixels they span, and paints the bevelled border around the whole.
// The rulers are plain windows here: the frame only places, shows and hides them.
class AudioDisplayFrame : public Window, public AudioCanvasWindow {
    QV_OBJECT()
public:
    static constexpr Colour kBorderColour = 0x3D4558;
    static constexpr Colour kShadowColour = 0x2B2F36;
    static constexpr Colour kHighlightColour = 0xAEB5BE;

    AudioDisplayFrame(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* timeScale,
        AmpScale* ampScale, FreqScale* freqScale, Window* timeRuler, Window* ampRuler, Window* freqRuler);

    void AddDisplay(AudioDisplay* display);
    void SetShownDisplays(bool waveformShown, bool spectrogramShown);

    void Paint(DrawContext& dc) override;
    void OnGeometryChanged() override;

private:
    // The block right of the time ruler and below the vertical rulers; empty when no display is shown.
    Rect CornerBlock() const;

    TimeScale* m_timeScale;
    AmpScale* m_ampScale;
    FreqScale* m_freqScale;
    Window* m_timeRuler;
    Window* m_ampRuler;
    Window* m_freqRuler;
    bool m_waveformShown = true;
    bool m_spectrogramShown = true;
    std::vector<AudioDisplay*> m_displays;
    Rect m_laidOutCorner{0, -1, 0, -1};
};

}  // namespace UI
