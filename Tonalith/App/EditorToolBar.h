#pragma once

#include <QvBase/UI/Window.h>

namespace UI {

class Spectrogram;
class Waveform;

// The strip above the displays: applies the stored tool bar settings to the displays and
// paints its background.
class EditorToolBar : public Window {
    QV_OBJECT()
public:
    static constexpr int kHeight = 105;
    static constexpr Colour kBackground = 0x3D4558;

    EditorToolBar(Frame* frame, Window* parent, Waveform* waveform, Spectrogram* spectrogram);

    void Paint(DrawContext& dc) override;

    void sigAudioDisplayAlphaChanged();

private:
    Waveform* m_waveform;
    Spectrogram* m_spectrogram;
};

}  // namespace UI
