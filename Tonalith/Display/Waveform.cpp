#include <Tonalith/Display/Waveform.h>

#include <Tonalith/Analysis/WaveformCalculator.h>

#include <QvBase/Object/MetaDeclare.h>

QV_META_BEGIN(UI::Waveform, UI::AudioDisplay)
    QV_META_SLOTS
QV_META_END

namespace UI {

AudioCalculator* Waveform::CreateCalculator(const SharedPtr<AudioDisplaySource>& source) {
    return new WaveformCalculator(source);
}

}  // namespace UI
