#include <Tonalith/Display/AudioCanvas.h>

#include <QvBase/Object/MetaDeclare.h>

QV_META_BEGIN(UI::AudioCanvas, Object)
    QV_SIGNAL(sigSamplingRateChanged)
    QV_SIGNAL(sigSamplingRateChanged, (uint, uSamplesPerSecond))
    QV_META_SLOTS
QV_META_END

namespace UI {

AudioCanvas::AudioCanvas(std::uint32_t samplesPerSecond)
    : Object("AudioCanvas"), m_samplesPerSecond(samplesPerSecond) {}

void AudioCanvas::SetSamplingRate(std::uint32_t uSamplesPerSecond) {
    if (uSamplesPerSecond == m_samplesPerSecond) return;
    m_samplesPerSecond = uSamplesPerSecond;
    sigSamplingRateChanged();
    sigSamplingRateChanged(uSamplesPerSecond);
}

void AudioCanvas::sigSamplingRateChanged() { QV_EMIT(sigSamplingRateChanged); }
void AudioCanvas::sigSamplingRateChanged(uint uSamplesPerSecond) { QV_EMIT(sigSamplingRateChanged, uSamplesPerSecond); }

}  // namespace UI
