#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/Path.h>

#include <Platform/Kernel/MemoryInfo.h>

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace UI {

namespace {

// Samples per chunk of a read: a few MB, so that a cancel or a progress step never waits
// long, while each chunk is still large enough for the decoder's reads to run at full speed.
constexpr std::uint32_t kChunkSamples = 1u << 20;
// How many chunks the pages are made ready ahead of the read.
constexpr std::uint32_t kChunksAhead = 8;
// A read to the end that fills its buffers grows them by this part of what they hold, at
// least a chunk: few moves, and little room beyond the end.
constexpr std::uint32_t kGrowthDivisor = 8;
// Where progress waits for the end of a load.
constexpr double kHeldPercent = 99.0;

std::uint32_t ChunkFrames(std::size_t channels) {
    return std::max<std::uint32_t>(1, kChunkSamples / std::max<std::size_t>(1, channels));
}

// Made anew each time: a load's texts go from its thread to the window's.
LoadFailure CannotDecode() { return {"Can't decode file", "An error occurred while decoding the selected file"}; }
LoadFailure CannotRead() { return {"Can't read file", "An error occurred while reading the selected file"}; }
LoadFailure ReadShort() { return {"Can't read entire file", "An error occurred while reading the selected file"}; }
LoadFailure NoMemory() { return {"Can't read file", "There is not enough memory to read the selected file"}; }
LoadFailure Empty() { return {"Empty File", "This file is empty."}; }

// Has the pages of the buffers made ready for writing a few chunks ahead of the read, on a
// thread of its own: having the pages costs more than reading and converting the samples,
// and so the two overlap. Never further ahead, so that the pages past the end of a file
// shorter than its buffers are not had.
class PagesAhead {
public:
    PagesAhead(const std::vector<float*>& channels, std::uint32_t frames, std::uint32_t from)
        : m_channels(channels), m_frames(frames), m_readTo(from) {
        try {
            m_thread = std::thread([this, from] { Run(from); });
        } catch (const std::system_error&) {
            // The read goes on without, its writes faulting the pages in.
        }
    }
    PagesAhead(const PagesAhead&) = delete;
    PagesAhead& operator=(const PagesAhead&) = delete;
    ~PagesAhead() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_moved.notify_one();
        if (m_thread.joinable()) m_thread.join();
    }

    void ReadUpTo(std::uint32_t frames) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_readTo = frames;
        }
        m_moved.notify_one();
    }

private:
    void Run(std::uint32_t from) {
        const std::uint64_t chunk = ChunkFrames(m_channels.size());
        for (std::uint64_t first = from; first < m_frames; first += chunk) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_moved.wait(lock, [&] { return m_stop || first < m_readTo + kChunksAhead * chunk; });
                if (m_stop) return;
                // A chunk the read has reached is left to its own writes.
                if (first <= m_readTo) continue;
            }
            for (float* channel : m_channels)
                Platform::Kernel::PrepareForWriting(
                    channel + first, std::min<std::uint64_t>(chunk, m_frames - first) * sizeof(float));
        }
    }

    const std::vector<float*> m_channels;
    const std::uint32_t m_frames;
    std::mutex m_mutex;
    std::condition_variable m_moved;
    std::uint64_t m_readTo;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace

LoadFailure CannotOpenFile() { return {"Can't open file", "An error occurred while opening the selected file"}; }

void LoadedAudio::Clear() {
    sampleRate = channels = frames = 0;
    pointers.clear();
    pointers.shrink_to_fit();
    buffers.clear();
    buffers.shrink_to_fit();
}

std::optional<LoadFailure> LoadAudioFile(const String& path, LoadedAudio& audio, const AvailableMemory& available) {
    return AudioReader(path, available).Finish(audio);
}

// The path is copied whole: the reader's thread must share no count with the caller's.
AudioReader::AudioReader(const String& path, AvailableMemory available)
    : m_path(std::string(path.CStr() ? path.CStr() : "")),
      m_available(std::move(available)),
      m_thread([this] { Run(); }) {}

AudioReader::AudioReader(const SharedPtr<Audio::Decode::Stream>& stream, AvailableMemory available)
    : m_stream(stream), m_available(std::move(available)), m_thread([this] { Run(); }) {}

AudioReader::~AudioReader() { Cancel(); }

float AudioReader::Progress() const {
    if (Done()) return 100.0f;
    const std::uint32_t goal = m_goal.load(std::memory_order_relaxed);
    if (goal == 0) return 0.0f;
    return float(std::min(kHeldPercent, double(m_framesRead.load(std::memory_order_relaxed)) * 100.0 / double(goal)));
}

void AudioReader::Cancel() {
    m_cancel.store(true, std::memory_order_relaxed);
    if (m_thread.joinable()) m_thread.join();
}

std::optional<LoadFailure> AudioReader::Finish(LoadedAudio& audio) {
    if (m_thread.joinable()) m_thread.join();
    audio.Clear();
    if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
    if (!m_failure) audio = std::move(m_audio);
    return m_failure;
}

void AudioReader::Run() {
    try {
        m_failure = Load();
    } catch (...) {
        m_error = std::current_exception();
    }
    // A failed load keeps nothing.
    if (m_failure || m_error || Cancelled()) m_audio.Clear();
    m_done.store(true, std::memory_order_release);
}

std::optional<LoadFailure> AudioReader::Load() {
    Audio::Decode::Format format;
    std::uint32_t frames = 0;
    bool toTheEnd = false;
    if (std::optional<LoadFailure> failure = Open(format, frames, toTheEnd)) return failure;
    if (Cancelled()) return std::nullopt;
    if (!toTheEnd && frames == 0) return Empty();
    if (std::optional<LoadFailure> failure = MakeBuffers(format, frames, toTheEnd)) return failure;
    try {
        return Read(toTheEnd);
    } catch (const Audio::Decode::Exception::BadFormat&) {
        return CannotRead();
    }
}

std::optional<LoadFailure> AudioReader::Open(Audio::Decode::Format& format, std::uint32_t& frames, bool& toTheEnd) {
    if (!m_stream) {
        // A file gone since it was listed or chosen cannot be opened, though its extension
        // would still pick a decoder that then calls it undecodable.
        if (!Util::File(Path(m_path)).Exists()) return CannotOpenFile();
        m_stream = Audio::Decode::CreateStream(m_path);
        if (!m_stream) return CannotOpenFile();
    }
    try {
        format = m_stream->OpenForward();
        const std::optional<std::uint32_t> expected = m_stream->ExpectedFrames();
        toTheEnd = expected.has_value();
        frames = toTheEnd ? std::max(*expected, ChunkFrames(format.Channels)) : m_stream->GetTotalFrames();
    } catch (const Audio::Decode::Exception::BadFormat&) {
        return CannotDecode();
    }
    return std::nullopt;
}

bool AudioReader::Fits(std::uint64_t frames) const {
    const std::optional<std::uint64_t> available = m_available ? m_available() : std::nullopt;
    const std::uint64_t bytes = frames * std::max<std::uint32_t>(1, m_audio.channels) * sizeof(float);
    return !available || bytes <= *available;
}

std::optional<LoadFailure> AudioReader::MakeBuffers(
    const Audio::Decode::Format& format, std::uint32_t frames, bool estimated) {
    m_audio.sampleRate = format.SampleRate;
    m_audio.channels = format.Channels;
    try {
        m_audio.buffers.resize(m_audio.channels);
        m_audio.pointers.assign(m_audio.channels, nullptr);
    } catch (const std::bad_alloc&) {
        return NoMemory();
    } catch (const std::length_error&) {
        return NoMemory();
    }
    m_goal.store(frames, std::memory_order_relaxed);
    // A header's estimate may be damaged, or its buffers beyond what the process may have:
    // the read then starts small, and the file itself decides how far the buffers grow.
    if (!estimated) return ResizeToFirst({frames});
    return ResizeToFirst({frames, ChunkFrames(format.Channels)});
}

std::optional<LoadFailure> AudioReader::Read(bool toTheEnd) {
    const std::uint32_t chunk = ChunkFrames(m_audio.channels);
    std::vector<float*> targets(m_audio.channels);
    std::optional<PagesAhead> ahead(std::in_place, m_audio.pointers, m_audio.frames, 0);
    std::uint32_t done = 0;
    for (;;) {
        if (Cancelled()) return std::nullopt;
        if (done == m_audio.frames) {
            if (!toTheEnd) return std::nullopt;
            // The buffers may move: nothing may be busy with them meanwhile.
            ahead.reset();
            if (std::optional<LoadFailure> failure = Grow()) return failure;
            ahead.emplace(m_audio.pointers, m_audio.frames, done);
        }
        const std::uint32_t wanted = std::min(chunk, m_audio.frames - done);
        for (std::size_t c = 0; c < targets.size(); ++c) targets[c] = m_audio.pointers[c] + done;
        std::uint32_t read = 0;
        m_stream->ReadFloatDeinterleaved(wanted, targets.data(), read);
        done += read;
        m_framesRead.store(done, std::memory_order_relaxed);
        ahead->ReadUpTo(done);
        if (read < wanted) break;
    }
    ahead.reset();
    if (!toTheEnd) return ReadShort();
    if (done == 0) return Empty();
    // What the file holds is now known: the room past it goes back.
    return Resize(done);
}

std::optional<LoadFailure> AudioReader::Grow() {
    const std::uint32_t frames = m_audio.frames;
    // The decoders count frames in 32 bits: a longer stream is refused, not wrapped.
    if (frames == std::numeric_limits<std::uint32_t>::max()) return CannotDecode();
    const auto plus = [&](std::uint32_t more) {
        return std::uint32_t(
            std::min<std::uint64_t>(std::uint64_t(frames) + more, std::numeric_limits<std::uint32_t>::max()));
    };
    // When memory is short for a generous step, the one chunk the next read needs.
    const std::uint32_t chunk = ChunkFrames(m_audio.channels);
    return ResizeToFirst({plus(std::max(frames / kGrowthDivisor, chunk)), plus(chunk)});
}

// The system hands out more than it has, and the read would then fill pages until the
// kernel ends a process: the samples are measured against what it can give first. The
// buffers' pages move without a copy (ChannelBuffer), so a growth needs only what it adds.
std::optional<LoadFailure> AudioReader::ResizeToFirst(std::initializer_list<std::uint32_t> sizes) {
    for (const std::uint32_t frames : sizes)
        if (Fits(frames - std::min(frames, m_audio.frames)) && !Resize(frames)) return std::nullopt;
    return NoMemory();
}

std::optional<LoadFailure> AudioReader::Resize(std::uint32_t frames) {
    try {
        for (std::uint32_t c = 0; c < m_audio.channels; ++c) {
            m_audio.buffers[c].Resize(frames);
            m_audio.pointers[c] = m_audio.buffers[c].data();
        }
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }
    m_audio.frames = frames;
    return std::nullopt;
}

}  // namespace UI
