#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/Path.h>

#include <new>
#include <stdexcept>

namespace UI {

void LoadedAudio::Clear() {
    sampleRate = channels = frames = 0;
    pointers.clear();
    pointers.shrink_to_fit();
    buffers.clear();
    buffers.shrink_to_fit();
}

std::optional<LoadFailure> LoadAudioFile(const String& path, LoadedAudio& audio) {
    audio.Clear();
    const LoadFailure cannotOpen{"Can't open file", "An error occurred while opening the selected file"};
    // A file gone since it was listed or chosen cannot be opened, though its extension
    // would still pick a decoder that then calls it undecodable.
    if (!Util::File(Path(path)).Exists()) return cannotOpen;
    SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path);
    if (!stream.Get()) return cannotOpen;

    Audio::Decode::Format format;
    try {
        format = stream->OpenForward();
    } catch (const Audio::Decode::Exception::BadFormat&) {
        return LoadFailure{"Can't decode file", "An error occurred while decoding the selected file"};
    }
    if (stream->GetTotalFrames() == 0) return LoadFailure{"Empty File", "This file is empty."};

    try {
        audio.sampleRate = format.SampleRate;
        audio.channels = format.Channels;
        audio.frames = stream->GetTotalFrames();
        audio.buffers.resize(audio.channels);
        audio.pointers.assign(audio.channels, nullptr);
        for (std::uint32_t c = 0; c < audio.channels; ++c) {
            audio.buffers[c].assign(audio.frames, 0.0f);
            audio.pointers[c] = audio.buffers[c].data();
        }
    } catch (const std::bad_alloc&) {
        // A file longer than memory allows is refused in order instead of ending the program.
        audio.Clear();
        return LoadFailure{"Can't read file", "There is not enough memory to read the selected file"};
    } catch (const std::length_error&) {
        audio.Clear();
        return LoadFailure{"Can't read file", "There is not enough memory to read the selected file"};
    }

    std::uint32_t framesRead = 0;
    try {
        stream->ReadFloatDeinterleaved(audio.frames, audio.pointers.data(), framesRead);
    } catch (const Audio::Decode::Exception::BadFormat&) {
        return LoadFailure{"Can't read file", "An error occurred while reading the selected file"};
    }
    if (framesRead < audio.frames)
        return LoadFailure{"Can't read entire file", "An error occurred while reading the selected file"};
    return std::nullopt;
}

}  // namespace UI
