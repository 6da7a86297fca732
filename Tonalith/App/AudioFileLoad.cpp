#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/Path.h>

#include <Platform/Kernel/MemoryInfo.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace UI {

namespace {

// Samples per chunk of a read: a few MB, so that a cancel or a progress step never waits
// long, while each chunk is still large enough for the decoder's reads to run at full speed.
constexpr std::uint32_t kChunkSamples = 1u << 20;

const LoadFailure& ReadFailure() {
    static const LoadFailure failure{"Can't read file", "An error occurred while reading the selected file"};
    return failure;
}

std::uint32_t ChunkFrames(std::size_t channels) {
    return std::max<std::uint32_t>(1, kChunkSamples / std::max<std::size_t>(1, channels));
}

// Reads the frames in chunks at advancing offsets while `goOn` allows, reporting the frames
// read after each chunk; returns the frames read. Decode failures pass to the caller.
template <class GoOn>
std::uint32_t ReadChunks(
    Audio::Decode::Stream& stream, const std::vector<float*>& pointers, std::uint32_t frames, GoOn&& goOn) {
    const std::uint32_t chunk = ChunkFrames(pointers.size());
    std::vector<float*> targets(pointers.size());
    std::uint32_t done = 0;
    while (done < frames && goOn(done)) {
        const std::uint32_t wanted = std::min(chunk, frames - done);
        for (std::size_t c = 0; c < pointers.size(); ++c) targets[c] = pointers[c] + done;
        std::uint32_t read = 0;
        stream.ReadFloatDeinterleaved(wanted, targets.data(), read);
        done += read;
        if (read < wanted) break;
    }
    goOn(done);
    return done;
}

std::optional<LoadFailure> Outcome(std::uint32_t framesRead, std::uint32_t frames) {
    if (framesRead < frames)
        return LoadFailure{"Can't read entire file", "An error occurred while reading the selected file"};
    return std::nullopt;
}

}  // namespace

void LoadedAudio::Clear() {
    sampleRate = channels = frames = 0;
    pointers.clear();
    pointers.shrink_to_fit();
    buffers.clear();
    buffers.shrink_to_fit();
}

std::optional<LoadFailure> OpenAudioFile(
    const String& path, LoadedAudio& audio, SharedPtr<Audio::Decode::Stream>& stream) {
    audio.Clear();
    stream = SharedPtr<Audio::Decode::Stream>();
    const LoadFailure cannotOpen{"Can't open file", "An error occurred while opening the selected file"};
    // A file gone since it was listed or chosen cannot be opened, though its extension
    // would still pick a decoder that then calls it undecodable.
    if (!Util::File(Path(path)).Exists()) return cannotOpen;
    SharedPtr<Audio::Decode::Stream> opened = Audio::Decode::CreateStream(path);
    if (!opened.Get()) return cannotOpen;

    Audio::Decode::Format format;
    try {
        format = opened->OpenForward();
    } catch (const Audio::Decode::Exception::BadFormat&) {
        return LoadFailure{"Can't decode file", "An error occurred while decoding the selected file"};
    }
    if (opened->GetTotalFrames() == 0) return LoadFailure{"Empty File", "This file is empty."};

    const LoadFailure noMemory{"Can't read file", "There is not enough memory to read the selected file"};
    try {
        audio.sampleRate = format.SampleRate;
        audio.channels = format.Channels;
        audio.frames = opened->GetTotalFrames();
        audio.buffers.reserve(audio.channels);
        audio.pointers.assign(audio.channels, nullptr);
        for (std::uint32_t c = 0; c < audio.channels; ++c) {
            audio.buffers.emplace_back(audio.frames);
            audio.pointers[c] = audio.buffers[c].data();
        }
    } catch (const std::bad_alloc&) {
        // A file longer than memory allows is refused in order instead of ending the program.
        audio.Clear();
        return noMemory;
    } catch (const std::length_error&) {
        audio.Clear();
        return noMemory;
    }
    stream = opened;
    return std::nullopt;
}

std::optional<LoadFailure> ReadAudio(Audio::Decode::Stream& stream, const LoadedAudio& audio) {
    try {
        return Outcome(
            ReadChunks(stream, audio.pointers, audio.frames, [](std::uint32_t) { return true; }), audio.frames);
    } catch (const Audio::Decode::Exception::BadFormat&) {
        return ReadFailure();
    }
}

std::optional<LoadFailure> LoadAudioFile(const String& path, LoadedAudio& audio) {
    SharedPtr<Audio::Decode::Stream> stream;
    if (std::optional<LoadFailure> failure = OpenAudioFile(path, audio, stream)) return failure;
    return ReadAudio(*stream, audio);
}

AudioReader::AudioReader(const SharedPtr<Audio::Decode::Stream>& stream, const LoadedAudio& audio)
    : m_stream(stream), m_pointers(audio.pointers), m_frames(audio.frames), m_thread([this] { Run(); }) {}

AudioReader::~AudioReader() { Cancel(); }

float AudioReader::Progress() const {
    if (m_frames == 0) return 100.0f;
    return float(double(m_framesRead.load(std::memory_order_relaxed)) * 100.0 / double(m_frames));
}

void AudioReader::Run() {
    // Having the buffers' pages costs more than reading and converting the samples: a
    // helper has them made ready ahead of the chunks, so that the two overlap.
    std::atomic<bool> readEnded{false};
    std::thread ahead;
    try {
        ahead = std::thread([this, &readEnded] { PrepareAhead(readEnded); });
    } catch (const std::system_error&) {
        // The read goes on without, its writes faulting the pages in.
    }
    try {
        const std::uint32_t read = ReadChunks(*m_stream, m_pointers, m_frames, [this](std::uint32_t done) {
            m_framesRead.store(done, std::memory_order_relaxed);
            return !m_cancel.load(std::memory_order_relaxed);
        });
        m_failure = Outcome(read, m_frames);
    } catch (const Audio::Decode::Exception::BadFormat&) {
        m_failure = ReadFailure();
    } catch (...) {
        m_error = std::current_exception();
    }
    readEnded.store(true, std::memory_order_relaxed);
    if (ahead.joinable()) ahead.join();
    m_done.store(true, std::memory_order_release);
}

void AudioReader::PrepareAhead(const std::atomic<bool>& readEnded) {
    const std::uint32_t chunk = ChunkFrames(m_pointers.size());
    for (std::uint32_t first = 0; first < m_frames; first += chunk) {
        if (readEnded.load(std::memory_order_relaxed) || m_cancel.load(std::memory_order_relaxed)) return;
        // A chunk the read has reached is left to its own writes.
        if (first <= m_framesRead.load(std::memory_order_relaxed)) continue;
        for (float* channel : m_pointers)
            Platform::Kernel::PrepareForWriting(channel + first, std::min(chunk, m_frames - first) * sizeof(float));
    }
}

void AudioReader::Cancel() {
    m_cancel.store(true, std::memory_order_relaxed);
    if (m_thread.joinable()) m_thread.join();
}

std::optional<LoadFailure> AudioReader::Finish() {
    if (m_thread.joinable()) m_thread.join();
    if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
    return m_failure;
}

}  // namespace UI
