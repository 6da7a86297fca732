#pragma once

// Windows Media files made by ffmpeg, and the check that the decoder gives ffmpeg's own
// decode of them: the same length, every sample, and the same frames after a seek.

#include <support/AudioFileWriter.h>

#include <cstdint>
#include <string>

namespace TestAudio {

struct WmaFile {
    const char* codec;  // wmav1 or wmav2
    uint32_t rate;
    uint32_t channels;
    double seconds;
};

// Noise made into a file of `file`'s kind in `dir`; its path.
std::string MakeWma(const TempDir& dir, const WmaFile& file);

void ExpectDecodesAsFfmpeg(const std::string& path, const WmaFile& file);

}  // namespace TestAudio
