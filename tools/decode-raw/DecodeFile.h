#pragma once
// Reading a whole audio file as the program does: the decoder chosen by header, then
// extension; every frame read de-interleaved as floats. Shared by the developer tools.

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace Tools {

struct DecodedAudio {
    std::uint32_t sampleRate = 0;
    std::uint32_t frames = 0;
    std::vector<std::vector<float>> channels;
};

// Fills `audio`; on failure returns the message the program would show (or the decoder's).
inline std::string DecodeFile(const char* path, DecodedAudio& audio) {
    SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path);
    if (!stream.Get()) return "An error occurred while opening the selected file";
    try {
        const Audio::Decode::Format format = stream->OpenForward();
        const std::uint32_t frames = stream->GetTotalFrames();
        audio.sampleRate = format.SampleRate;
        audio.frames = frames;
        // Each buffer made in place: a copied one would touch its memory once more.
        audio.channels.resize(format.Channels);
        for (auto& channel : audio.channels) channel.resize(frames);
        std::vector<float*> pointers;
        for (auto& channel : audio.channels) pointers.push_back(channel.data());
        std::uint32_t framesRead = 0;
        if (frames > 0) stream->ReadFloatDeinterleaved(frames, pointers.data(), framesRead);
        if (framesRead < frames) return "An error occurred while reading the selected file";
    } catch (const Audio::Decode::Exception::BadFormat& error) {
        return error.Message().CStr();
    } catch (const std::bad_alloc&) {
        return "Not enough memory for the decoded samples";
    }
    return {};
}

}  // namespace Tools
