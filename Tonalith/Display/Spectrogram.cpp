#include <Tonalith/Display/Spectrogram.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <QvBase/Object/MetaDeclare.h>

QV_META_BEGIN(UI::Spectrogram, UI::AudioDisplay)
    QV_META_SLOTS
QV_META_END

namespace UI {

Spectrogram::Spectrogram(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* timeScale,
    AmpScale* ampScale, FreqScale* freqScale, AudioUpdater* updater)
    : AudioDisplay(canvas, frame, parent, name, timeScale, ampScale, freqScale, updater) {
    AudioDisplay::SetMelScale(false);
}

AudioCalculator* Spectrogram::CreateCalculator(const SharedPtr<AudioDisplaySource>& source) {
    return new SpectrogramCalculator(source, m_settings);
}

void Spectrogram::Send() {
    const std::vector<std::uint8_t> bytes = m_settings.ToBytes();
    SendSettings(std::uint32_t(bytes.size()), bytes.data());
}

void Spectrogram::SetType(std::uint32_t type) {
    if (m_settings.type == type) return;
    m_settings.type = type;
    Send();
}

void Spectrogram::SetBilinearInterpolation(bool bilinear) {
    if (bool(m_settings.bBilinear) == bilinear) return;
    m_settings.bBilinear = bilinear ? 1 : 0;
    Send();
}

void Spectrogram::SetMelScale(bool mel) {
    if (bool(m_settings.bMel) == mel) return;
    m_settings.bMel = mel ? 1 : 0;
    AudioDisplay::SetMelScale(mel);
    Send();
}

void Spectrogram::SetAmpRange(float dB) {
    // A NaN never equals, so it always counts as a change.
    if (m_settings.ampRange == dB) return;
    m_settings.ampRange = dB;
    Send();
}

void Spectrogram::SetFFTSize(std::uint32_t index) {
    if (m_settings.fftSize == index) return;
    m_settings.fftSize = index;
    Send();
}

void Spectrogram::SetFFTZeroPadding(std::uint32_t index) {
    if (m_settings.zeroPadding == index) return;
    m_settings.zeroPadding = index;
    Send();
}

void Spectrogram::SetFFTOverlap(std::uint32_t index) {
    if (m_settings.overlap == index) return;
    m_settings.overlap = index;
    Send();
}

void Spectrogram::SetFFTWindow(std::uint32_t index) {
    if (m_settings.window == index) return;
    m_settings.window = index;
    Send();
}

}  // namespace UI
