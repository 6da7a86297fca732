#pragma once

#include <QvBase/UI/Widgets/Window.h>

namespace UI {

class SimpleCheckBox;
class SimplePushButton;
class SimpleSlider;
class Spectrogram;
class Waveform;

// The strip above the displays: its controls show the stored settings, apply every change to
// the displays at once and store it.
class EditorToolBar : public Window {
    QV_OBJECT()
public:
    static constexpr int kHeight = 105;
    static constexpr Colour kBackground = 0x3D4558;

    EditorToolBar(Frame* frame, Window* parent, Waveform* waveform, Spectrogram* spectrogram);

    void Paint(DrawContext& dc) override;

    void sigAudioDisplayAlphaChanged();

    void slotUpdateWaveformAlpha();
    void slotUpdateSpectrogramAlpha();
    void slotUpdateAmpRange();
    void slotBilinearClicked();
    void slotMelScaleClicked();
    void slotFFTSizeClicked(bool bAdvance);
    void slotTypeClicked(bool bAdvance);
    void slotFFTZeroPaddingClicked(bool bAdvance);
    void slotFFTOverlapClicked(bool bAdvance);
    void slotFFTWindowClicked(bool bAdvance);

    SimplePushButton* OptionButton(int option) const { return m_buttons[option]; }
    SimpleSlider* WaveformOpacitySlider() const { return m_waveformOpacity; }
    SimpleSlider* SpectrogramOpacitySlider() const { return m_spectrogramOpacity; }
    SimpleSlider* AmpRangeSlider() const { return m_ampRange; }
    SimpleCheckBox* BilinearCheckBox() const { return m_bilinear; }
    SimpleCheckBox* MelScaleCheckBox() const { return m_melScale; }

private:
    SimplePushButton* MakeOptionButton(const char* name, const char* label, const char* slot);
    void CycleOption(int option, bool advance);
    void RefreshLabels();

    SimpleSlider* MakeSlider(const char* name, const char* label, const char* slot);

    Waveform* m_waveform;
    Spectrogram* m_spectrogram;
    SimpleSlider* m_waveformOpacity = nullptr;
    SimpleSlider* m_spectrogramOpacity = nullptr;
    SimpleSlider* m_ampRange = nullptr;
    SimpleCheckBox* m_bilinear = nullptr;
    SimpleCheckBox* m_melScale = nullptr;
    SimplePushButton* m_buttons[5] = {};
};

}  // namespace UI
