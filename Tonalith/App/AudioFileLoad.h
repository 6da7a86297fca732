#pragma once

#include <Tonalith/App/ChannelBuffer.h>

#include <QvBase/Audio/Decode/Stream.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>

#include <Platform/Kernel/MemoryInfo.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <optional>
#include <thread>
#include <vector>

namespace UI {

// A whole audio file in memory: one float buffer per channel, de-interleaved.
struct LoadedAudio {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t frames = 0;
    std::vector<ChannelBuffer> buffers;
    // Point into the buffers; what the displays read in place, so the buffers must not move.
    std::vector<float*> pointers;

    void Clear();
};

// The message box a failed load shows, caption first.
struct LoadFailure {
    String caption;
    String text;
};

// The message box of a file that is gone or that no decoder takes.
LoadFailure CannotOpenFile();

// The memory a load may still fill with samples, in bytes; absent when unknown. The system's
// answer is Platform::Kernel::MemoryForSamples.
using AvailableMemory = std::function<std::optional<std::uint64_t>()>;

// The whole load of the file at `path`, waited for on the calling thread (see AudioReader).
std::optional<LoadFailure> LoadAudioFile(
    const String& path, LoadedAudio& audio, const AvailableMemory& available = Platform::Kernel::MemoryForSamples);

// A load on a thread of its own, so that the window goes on painting meanwhile: chooses and
// opens the decoder for the file, makes one float buffer per channel once the samples are
// known to fit in memory, and reads every frame into them a chunk at a time, so that a
// cancel takes effect within one chunk. A file whose exact length would take a decode of
// its own is read to its end instead, into buffers sized as its header leads to expect (a
// chunk when those cannot be had) and grown or trimmed to what it holds: only what the file
// really holds must fit. The decoder and the buffers are the reader's thread's until Finish
// or Cancel returns.
class AudioReader {
public:
    explicit AudioReader(const String& path, AvailableMemory available = Platform::Kernel::MemoryForSamples);
    // The load of a decoder already made for a file, not yet opened.
    explicit AudioReader(
        const SharedPtr<Audio::Decode::Stream>& stream, AvailableMemory available = Platform::Kernel::MemoryForSamples);
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;
    // Cancels a load still running.
    ~AudioReader();

    // Percent of the read, 0 while the file is opened: the frames read so far against the
    // file's length, or in a read to the end against the frames its header leads to expect,
    // which the read may pass. So that it never goes back, it goes no further than 99 while
    // the load runs, and is 100 once it has ended.
    float Progress() const;
    // Whether the load has ended (all read, failed or cancelled); Finish then waits no more.
    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // Stops the load after the step or chunk in hand and waits for the thread; nothing is
    // read afterwards.
    void Cancel();
    // Waits for the load to end and gives its outcome; on success `audio` (cleared first)
    // receives the samples. An exception other than a decode failure is thrown again here,
    // on the caller's thread.
    std::optional<LoadFailure> Finish(LoadedAudio& audio);

private:
    void Run();
    std::optional<LoadFailure> Load();
    std::optional<LoadFailure> Open(Audio::Decode::Format& format, std::uint32_t& frames, bool& toTheEnd);
    std::optional<LoadFailure> MakeBuffers(const Audio::Decode::Format& format, std::uint32_t frames, bool estimated);
    // Every frame into the buffers, or with `toTheEnd` every frame the stream delivers.
    std::optional<LoadFailure> Read(bool toTheEnd);
    // Makes room for more frames when a read to the end has filled the buffers.
    std::optional<LoadFailure> Grow();
    // Every channel's buffer to the first of `sizes` (in frames) whose growth fits in memory
    // and can be had; NoMemory when none.
    std::optional<LoadFailure> ResizeToFirst(std::initializer_list<std::uint32_t> sizes);
    // Every channel's buffer to `frames`, moved if it must be.
    std::optional<LoadFailure> Resize(std::uint32_t frames);
    bool Fits(std::uint64_t frames) const;
    bool Cancelled() const { return m_cancel.load(std::memory_order_relaxed); }

    String m_path;
    SharedPtr<Audio::Decode::Stream> m_stream;
    AvailableMemory m_available;
    LoadedAudio m_audio;
    std::atomic<std::uint32_t> m_framesRead{0};
    std::atomic<std::uint32_t> m_goal{0};  // the frames progress is measured against
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    std::optional<LoadFailure> m_failure;
    std::exception_ptr m_error;
    std::thread m_thread;
};

}  // namespace UI
