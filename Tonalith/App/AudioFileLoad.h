#pragma once

#include <QvBase/Util/String.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace UI {

// A whole audio file in memory: one float buffer per channel, de-interleaved.
struct LoadedAudio {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t frames = 0;
    std::vector<std::vector<float>> buffers;
    // Point into the buffers; what the displays read in place, so the buffers must not move.
    std::vector<float*> pointers;

    void Clear();
};

// The message box a failed load shows, caption first.
struct LoadFailure {
    String caption;
    String text;
};

// Reads every sample of the file into `audio` (cleared first). On failure returns the message
// box to show; `audio` then holds nothing usable.
std::optional<LoadFailure> LoadAudioFile(const String& path, LoadedAudio& audio);

}  // namespace UI
