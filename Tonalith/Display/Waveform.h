#pragma once
#include <Tonalith/Display/AudioDisplay.h>

namespace UI {

// The waveform display.
class Waveform : public AudioDisplay {
    QV_OBJECT()
public:
    using AudioDisplay::AudioDisplay;

protected:
    AudioCalculator* CreateCalculator(const SharedPtr<AudioDisplaySource>& source) override;
};

}  // namespace UI
