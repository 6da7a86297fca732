#pragma once

#include <QvBase/UI/Window.h>

namespace UI {

class SimpleCheckBox;
class SimplePushButton;
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

    void slotBilinearClicked();
    void slotMelScaleClicked();
    void slotFFTSizeClicked(bool bAdvance);
    void slotTypeClicked(bool bAdvance);
    void slotFFTZeroPaddingClicked(bool bAdvance);
    void slotFFTOverlapClicked(bool bAdvance);
    void slotFFTWindowClicked(bool bAdvance);

    SimplePushButton* OptionButton(int option) const { return m_buttons[option]; }
    SimpleCheckBox* BilinearCheckBox() const { return m_bilinear; }
    SimpleCheckBox* MelScaleCheckBox() const { return m_melScale; }

private:
    SimplePushButton* MakeOptionButton(const char* name, const char* label, const char* slot);
    void CycleOption(int option, bool advance);
    void RefreshLabels();

    SimpleCheckBox* m_bilinear = nullptr;
    SimpleCheckBox* m_melScale = nullptr;
    SimplePushButton* m_buttons[5] = {};
    Waveform* m_waveform;
    Spectrogram* m_spectrogram;
};

}  // namespace UI
