#pragma once

// Small checks shared by the decoder tests.

#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Stream.h>

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

}  // namespace TestAudio
