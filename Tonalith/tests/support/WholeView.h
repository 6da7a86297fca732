#pragma once
#include <Tonalith/Analysis/AudioViewRequest.h>

// A view of every frame, the amplitudes -1..1 and the frequencies 0..nyquist, all of them shown.
inline UI::AudioViewRequest WholeView(
    std::uint32_t channels, std::uint64_t length, float nyquist = 22050.0f, bool mel = false) {
    UI::AudioViewRequest view;
    view.channels = channels;
    view.length = length;
    view.visible = UI::SampleRange(0, length);
    view.ampFull = view.ampVisible = {-1.0f, 1.0f};
    view.bMel = mel;
    view.freqFull = view.freqVisible = {0.0f, nyquist};
    return view;
}
