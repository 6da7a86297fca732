// The read of a load on a thread of its own: every frame lands where it belongs across the
// chunks, read by one thread that is not the caller's; a cancel stops it within a chunk; a
// short read, a decode failure and any other exception reach the caller as the load shows
// them, the same as the read on the caller's thread.
#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/Exception.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Audio::Decode::Format;

enum class Fault { None, Short, BadFormat, Other };

// A decoder of `total` frames whose sample of channel c in frame f is f + c / 8 (exact in
// a float below 2^20 frames); from frame `at` on it delivers nothing more, or throws. Each
// read takes `pause`; the threads that read are noted.
class ScriptedStream : public Audio::Decode::Stream {
public:
    ScriptedStream(std::uint32_t channels, std::uint32_t total, Fault fault = Fault::None, std::uint32_t at = 0,
        std::chrono::milliseconds pause = 0ms)
        : m_channels(channels), m_total(total), m_fault(fault), m_at(at), m_pause(pause) {}

    Audio::Decode::Type GetType() override { return Audio::Decode::Type::Wav; }
    Format Open() override { return GetFormat(); }
    Format GetFormat() override { return Format{m_channels, 2, 8000, 0, 0}; }
    std::uint32_t GetTotalFrames() override { return m_total; }
    std::uint32_t GetPosition() override { return m_position; }
    std::uint32_t GetFramesRemaining() override { return m_total - m_position; }
    void Seek(std::uint32_t) override {}
    void ReadFloatInterleaved(std::uint32_t, float*, std::uint32_t&) override {}
    void ReadFloatInterleaved(std::uint32_t, double*, std::uint32_t&) override {}
    void ReadInt16Deinterleaved(std::uint32_t, std::int16_t* const*, std::uint32_t&) override {}
    void ReadInt16Interleaved(std::uint32_t, std::int16_t*, std::uint32_t&) override {}
    void ReadRawInterleaved(std::uint32_t, void*, std::uint32_t&) override {}
    bool HasChunk(std::uint32_t) override { return false; }
    void ReadChunk(std::uint32_t, std::vector<std::uint8_t>&) override {}
    void Close() override {}

    void ReadFloatDeinterleaved(std::uint32_t frames, float* const* channels, std::uint32_t& framesRead) override {
        framesRead = 0;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_threads.insert(std::this_thread::get_id());
        }
        std::this_thread::sleep_for(m_pause);
        std::uint32_t n = std::min(frames, m_total - m_position);
        if (m_fault != Fault::None && m_position + n > m_at) {
            if (m_fault == Fault::BadFormat) Audio::Decode::Exception::ThrowBadFormat("FileIO Error: gone", "x", "", 0);
            if (m_fault == Fault::Other) throw std::runtime_error("not a decode failure");
            n = m_at - m_position;
        }
        for (std::uint32_t c = 0; c < m_channels; ++c)
            for (std::uint32_t f = 0; f < n; ++f) channels[c][f] = float(m_position + f) + float(c) / 8.0f;
        m_position += n;
        framesRead = n;
        reads.fetch_add(1);
    }

    std::set<std::thread::id> Threads() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }
    std::atomic<int> reads{0};

private:
    std::uint32_t m_channels, m_total;
    Fault m_fault;
    std::uint32_t m_at;
    std::chrono::milliseconds m_pause;
    std::uint32_t m_position = 0;
    std::mutex m_mutex;
    std::set<std::thread::id> m_threads;
};

UI::LoadedAudio Buffers(std::uint32_t channels, std::uint32_t frames) {
    UI::LoadedAudio audio;
    audio.channels = channels;
    audio.frames = frames;
    for (std::uint32_t c = 0; c < channels; ++c) {
        audio.buffers.emplace_back(frames);
        audio.pointers.push_back(audio.buffers.back().data());
    }
    return audio;
}

// How many leading frames of channel c hold their scripted value.
std::uint32_t ScriptedFrames(const UI::LoadedAudio& audio, std::uint32_t c) {
    std::uint32_t f = 0;
    while (f < audio.frames && audio.buffers[c][f] == float(f) + float(c) / 8.0f) ++f;
    return f;
}

TEST(AudioReader, ReadsEveryFrameInPlaceOnOneThreadOfItsOwn) {
    // Three channels: chunks of a third of the samples a chunk holds, the last one partial.
    constexpr std::uint32_t kFrames = 1000003;
    UI::LoadedAudio audio = Buffers(3, kFrames);
    auto* stream = new ScriptedStream(3, kFrames);
    const SharedPtr<Audio::Decode::Stream> handle(stream);
    UI::AudioReader reader(handle, audio);
    EXPECT_FALSE(reader.Finish().has_value());
    EXPECT_TRUE(reader.Done());
    EXPECT_EQ(reader.Progress(), 100.0f);
    EXPECT_GT(stream->reads.load(), 2);
    for (std::uint32_t c = 0; c < 3; ++c) EXPECT_EQ(ScriptedFrames(audio, c), kFrames) << c;
    const std::set<std::thread::id> threads = stream->Threads();
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_NE(*threads.begin(), std::this_thread::get_id());
}

TEST(AudioReader, FailuresEndTheReadAsTheLoadShowsThem) {
    constexpr std::uint32_t kFrames = 800000, kAt = 600001;
    const struct {
        Fault fault;
        const char* caption;  // null: the exception itself reaches the caller
    } cases[] = {
        {Fault::Short, "Can't read entire file"}, {Fault::BadFormat, "Can't read file"}, {Fault::Other, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.fault));
        for (const bool threaded : {true, false}) {
            UI::LoadedAudio audio = Buffers(2, kFrames);
            const SharedPtr<Audio::Decode::Stream> stream(new ScriptedStream(2, kFrames, c.fault, kAt));
            std::optional<UI::LoadFailure> failure;
            const auto read = [&] {
                failure = threaded ? UI::AudioReader(stream, audio).Finish() : UI::ReadAudio(*stream, audio);
            };
            if (!c.caption) {
                EXPECT_THROW(read(), std::runtime_error);
                continue;
            }
            read();
            ASSERT_TRUE(failure.has_value());
            EXPECT_STREQ(failure->caption.CStr(), c.caption);
            EXPECT_STREQ(failure->text.CStr(), "An error occurred while reading the selected file");
            // Whole chunks up to the fault, and the short read's frames, stay read.
            EXPECT_EQ(ScriptedFrames(audio, 1), c.fault == Fault::Short ? kAt : kAt / 524288 * 524288);
        }
    }
}

TEST(AudioReader, ACancelStopsTheReadWithinAChunk) {
    // Eight chunks of a mono million frames, each read taking 100 ms.
    constexpr std::uint32_t kFrames = 8u << 20;
    UI::LoadedAudio audio = Buffers(1, kFrames);
    auto* stream = new ScriptedStream(1, kFrames, Fault::None, 0, 100ms);
    const SharedPtr<Audio::Decode::Stream> handle(stream);
    UI::AudioReader reader(handle, audio);
    while (reader.Progress() == 0.0f) std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(reader.Done());
    const auto start = std::chrono::steady_clock::now();
    reader.Cancel();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(reader.Done());
    const int reads = stream->reads.load();
    EXPECT_LT(reads, 8);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(stream->reads.load(), reads);
    // What was read is in place; nothing after it was written.
    const std::uint32_t read = ScriptedFrames(audio, 0);
    EXPECT_EQ(read, std::uint32_t(reads) << 20);
    EXPECT_TRUE(std::all_of(audio.pointers[0] + read, audio.pointers[0] + kFrames, [](float v) { return v == 0.0f; }));
}

}  // namespace
