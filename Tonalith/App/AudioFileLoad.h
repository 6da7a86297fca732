#pragma once

#include <Tonalith/App/ChannelBuffer.h>

#include <QvBase/Audio/Decode/Stream.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>

#include <atomic>
#include <cstdint>
#include <exception>
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

// The load up to its read: chooses and opens the decoder for the file and makes `audio`
// (cleared first) ready to hold every frame, all zero. On failure returns the message box
// to show; `audio` then holds nothing usable.
std::optional<LoadFailure> OpenAudioFile(
    const String& path, LoadedAudio& audio, SharedPtr<Audio::Decode::Stream>& stream);

// Reads every frame of `audio` from `stream` on the calling thread: the outcome of the read
// as the load shows it.
std::optional<LoadFailure> ReadAudio(Audio::Decode::Stream& stream, const LoadedAudio& audio);

// The whole load on the calling thread: OpenAudioFile, then ReadAudio.
std::optional<LoadFailure> LoadAudioFile(const String& path, LoadedAudio& audio);

// The read of a load on a thread of its own, a chunk at a time into the buffers, so that
// the window goes on painting meanwhile and a cancel takes effect within one chunk. The
// decoder is the reader's thread's from construction until Finish or Cancel returns.
class AudioReader {
public:
    AudioReader(const SharedPtr<Audio::Decode::Stream>& stream, const LoadedAudio& audio);
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;
    // Cancels a read still running.
    ~AudioReader();

    // Percent of the frames read so far.
    float Progress() const;
    // Whether the read has ended (all read, failed or cancelled); Finish then waits no more.
    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // Stops the read after the chunk in hand and waits for the thread; no frame is read
    // afterwards.
    void Cancel();
    // Waits for the read to end and gives its outcome. An exception other than a decode
    // failure is thrown again here, on the caller's thread.
    std::optional<LoadFailure> Finish();

private:
    void Run();
    void PrepareAhead(const std::atomic<bool>& readEnded);

    SharedPtr<Audio::Decode::Stream> m_stream;
    std::vector<float*> m_pointers;
    std::uint32_t m_frames;
    std::atomic<std::uint32_t> m_framesRead{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    std::optional<LoadFailure> m_failure;
    std::exception_ptr m_error;
    std::thread m_thread;
};

}  // namespace UI
