#pragma once

// Small checks shared by the decoder tests.

#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Stream.h>

#include <support/AudioFileWriter.h>

#include <string>
#include <vector>

namespace TestAudio {

// The message of the BadFormat that `body` throws, or "no exception".
template <class Body>
std::string BadFormatMessage(Body&& body) {
    try {
        body();
    } catch (const Audio::Decode::Exception::BadFormat& error) {
        return error.Message().CStr();
    }
    return "no exception";
}

// Reads every remaining frame de-interleaved as floats, as the main window does, and returns
// them interleaved.
std::vector<float> ReadAllDeinterleaved(Audio::Decode::Stream& stream);

// A Windows Media file of noise made by ffmpeg in `dir` (its path), and the check that the
// decoder gives ffmpeg's own decode of it: the same length, every sample, and after seeks.
struct WmaFile {
    const char* codec;  // wmav1 or wmav2
    uint32_t rate, channels;
    double seconds;
};
std::string MakeWma(const TempDir& dir, const WmaFile& file);
void ExpectDecodesAsFfmpeg(const std::string& path, const WmaFile& file);

}  // namespace TestAudio
