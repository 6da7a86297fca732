#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramSettings.h>
#include <Tonalith/Display/AudioDisplay.h>

namespace UI {

// The spectrogram display; it carries the settings the tool bar changes and sends the
// whole block to its calculator on every change.
class Spectrogram : public AudioDisplay {
    QV_OBJECT()
public:
    Spectrogram(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* timeScale,
        AmpScale* ampScale, FreqScale* freqScale, AudioUpdater* updater);

    const SpectrogramSettings& GetSettings() const { return m_settings; }

    void SetType(std::uint32_t type);
    void SetBilinearInterpolation(bool bilinear);
    void SetMelScale(bool mel);
    void SetAmpRange(float dB);
    void SetFFTSize(std::uint32_t index);
    void SetFFTZeroPadding(std::uint32_t index);
    void SetFFTOverlap(std::uint32_t index);
    void SetFFTWindow(std::uint32_t index);

protected:
    AudioCalculator* CreateCalculator(const SharedPtr<AudioDisplaySource>& source) override;

private:
    void Send();

    SpectrogramSettings m_settings;
};

}  // namespace UI
