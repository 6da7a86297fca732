// A load on a thread of its own: the decoder is opened and read by one thread that is not
// the caller's, every frame lands where it belongs across the chunks, also when a stream is
// read to its end into buffers grown or trimmed to it; a cancel stops it within a chunk or
// after the open; a short read, a decode failure, samples that do not fit in memory and
// any other exception reach the caller as the load shows them.
#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/Exception.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Audio::Decode::Format;

enum class Fault { None, Short, BadFormat, Other };

// A decoder of `total` frames whose sample of channel c in frame f is f + c / 8 (exact in
// a float below 2^20 frames); from frame `at` on it delivers nothing more, or throws. With
// `expected`, it is read to its end: its reads are not cut to a total and its header
// leads to expect that many frames. Its open and each read take `pause`; the threads that
// open and read are noted, and each read first runs `beforeRead`.
class ScriptedStream : public Audio::Decode::Stream {
public:
    ScriptedStream(std::uint32_t channels, std::uint32_t total, Fault fault = Fault::None, std::uint32_t at = 0,
        std::chrono::milliseconds pause = 0ms, std::optional<std::uint32_t> expected = std::nullopt)
        : m_channels(channels), m_total(total), m_fault(fault), m_at(at), m_pause(pause), m_expected(expected) {}

    Audio::Decode::Type GetType() override { return Audio::Decode::Type::Wav; }
    Format Open() override {
        Note();
        std::this_thread::sleep_for(m_pause);
        opened = true;
        return GetFormat();
    }
    std::optional<std::uint32_t> ExpectedFrames() override { return m_expected; }
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
        Note();
        if (beforeRead) beforeRead();
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
    std::atomic<bool> opened{false};
    std::function<void()> beforeRead;

private:
    void Note() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_threads.insert(std::this_thread::get_id());
    }

    std::uint32_t m_channels, m_total;
    Fault m_fault;
    std::uint32_t m_at;
    std::chrono::milliseconds m_pause;
    std::optional<std::uint32_t> m_expected;
    std::uint32_t m_position = 0;
    std::mutex m_mutex;
    std::set<std::thread::id> m_threads;
};

// Whether every frame of every channel holds its scripted value, and the buffers fit them.
bool AllFramesScripted(const UI::LoadedAudio& audio) {
    for (std::uint32_t c = 0; c < audio.channels; ++c) {
        if (audio.buffers[c].size() != audio.frames || audio.pointers[c] != audio.buffers[c].data()) return false;
        for (std::uint32_t f = 0; f < audio.frames; ++f)
            if (audio.buffers[c][f] != float(f) + float(c) / 8.0f) return false;
    }
    return true;
}

std::optional<UI::LoadFailure> Load(
    ScriptedStream* stream, UI::LoadedAudio& audio, UI::AvailableMemory available = [] { return std::nullopt; }) {
    return UI::AudioReader(SharedPtr<Audio::Decode::Stream>(stream), std::move(available)).Finish(audio);
}

// Chunks of a third or a half of the samples a chunk holds, the last one partial; a stream
// read to its end whose header expects too few frames (its buffers grow), too many (they
// are trimmed) or none.
TEST(AudioReader, ReadsEveryFrameInPlaceOnOneThreadOfItsOwn) {
    const struct {
        std::uint32_t channels, total;
        std::optional<std::uint32_t> expected;
    } cases[] = {{3, 1000003, std::nullopt}, {2, 1000003, 300000}, {2, 700001, 2000000}, {1, 5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        auto* stream = new ScriptedStream(c.channels, c.total, Fault::None, 0, 0ms, c.expected);
        const SharedPtr<Audio::Decode::Stream> handle(stream);
        UI::AudioReader reader(handle);
        UI::LoadedAudio audio;
        EXPECT_FALSE(reader.Finish(audio).has_value());
        EXPECT_TRUE(reader.Done());
        EXPECT_EQ(reader.Progress(), 100.0f);
        EXPECT_EQ(audio.channels, c.channels);
        EXPECT_EQ(audio.sampleRate, 8000u);
        EXPECT_EQ(audio.frames, c.total);
        EXPECT_TRUE(AllFramesScripted(audio));
        const std::set<std::thread::id> threads = stream->Threads();
        ASSERT_EQ(threads.size(), 1u);
        EXPECT_NE(*threads.begin(), std::this_thread::get_id());
    }
}

TEST(AudioReader, FailuresEndTheLoadAsItShowsThem) {
    constexpr std::uint32_t kFrames = 800000, kAt = 600001;
    const struct {
        Fault fault;
        std::uint32_t total;
        std::optional<std::uint32_t> expected;
        const char* caption;  // null: the exception itself reaches the caller
    } cases[] = {
        {Fault::Short, kFrames, std::nullopt, "Can't read entire file"},
        {Fault::BadFormat, kFrames, std::nullopt, "Can't read file"},
        {Fault::BadFormat, kFrames, kFrames, "Can't read file"},
        {Fault::Other, kFrames, std::nullopt, nullptr},
        {Fault::Other, kFrames, kFrames, nullptr},
        {Fault::None, 0, std::nullopt, "Empty File"},
        {Fault::None, 0, kFrames, "Empty File"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.fault) << (c.expected ? " read to the end" : ""));
        UI::LoadedAudio audio;
        const auto load = [&] { return Load(new ScriptedStream(2, c.total, c.fault, kAt, 0ms, c.expected), audio); };
        if (!c.caption) {
            EXPECT_THROW(load(), std::runtime_error);
            continue;
        }
        const std::optional<UI::LoadFailure> failure = load();
        ASSERT_TRUE(failure.has_value());
        EXPECT_STREQ(failure->caption.CStr(), c.caption);
        EXPECT_STREQ(failure->text.CStr(),
            c.total ? "An error occurred while reading the selected file" : "This file is empty.");
        EXPECT_TRUE(audio.buffers.empty());
        EXPECT_EQ(audio.frames, 0u);
    }
    // Read to its end, a stream that stops delivering has ended there.
    UI::LoadedAudio audio;
    ASSERT_FALSE(Load(new ScriptedStream(2, kFrames, Fault::Short, kAt, 0ms, kFrames), audio).has_value());
    EXPECT_EQ(audio.frames, kAt);
    EXPECT_TRUE(AllFramesScripted(audio));
}

// The samples are measured against the memory the system says it can give, before the
// buffers are made and again whenever a read to the end must grow them.
TEST(AudioReader, SamplesThatDoNotFitInMemoryAreRefusedBeforeTheyAreRead) {
    constexpr std::uint64_t kMiB = 1u << 20;
    const struct {
        std::uint32_t total;
        std::optional<std::uint32_t> expected;
        std::vector<std::optional<std::uint64_t>> available;  // one answer a question, the last kept
        bool fits;
        int reads;  // before the refusal
    } cases[] = {
        {1000, std::nullopt, {8000}, true, 1},  // two channels of 1000 floats: 8000 bytes
        {1000, std::nullopt, {7999}, false, 0}, {1000, std::nullopt, {std::nullopt}, true, 1},
        {1000, 1000, {4 * kMiB - 1}, false, 0},  // the first room of a read to the end: a chunk
        {3000000, 1000, {4 * kMiB, 8 * kMiB}, true, 6}, {3000000, 1000, {4 * kMiB, 4 * kMiB - 1}, false, 1},
        {3000, 2000000000, {8 * kMiB}, true, 1},  // a damaged header's estimate is no refusal
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.total << " frames, " << c.available.size() << " answers");
        std::size_t asked = 0;
        const UI::AvailableMemory available = [&] { return c.available[std::min(asked++, c.available.size() - 1)]; };
        auto* stream = new ScriptedStream(2, c.total, Fault::None, 0, 0ms, c.expected);
        const SharedPtr<Audio::Decode::Stream> handle(stream);
        UI::LoadedAudio audio;
        const std::optional<UI::LoadFailure> failure = UI::AudioReader(handle, available).Finish(audio);
        EXPECT_EQ(stream->reads.load(), c.reads);
        if (c.fits) {
            EXPECT_FALSE(failure.has_value());
            EXPECT_EQ(audio.frames, c.total);
            continue;
        }
        ASSERT_TRUE(failure.has_value());
        EXPECT_STREQ(failure->caption.CStr(), "Can't read file");
        EXPECT_STREQ(failure->text.CStr(), "There is not enough memory to read the selected file");
        EXPECT_TRUE(audio.buffers.empty());
    }
}

// A cancel during the read takes effect after the chunk in hand, one during the open once
// the open returns: nothing is read afterwards.
TEST(AudioReader, ACancelStopsTheLoadWithinAStep) {
    // Eight chunks of a mono million frames; the open and each read take 100 ms.
    constexpr std::uint32_t kFrames = 8u << 20;
    for (const bool duringTheOpen : {false, true}) {
        SCOPED_TRACE(duringTheOpen ? "during the open" : "during the read");
        auto* stream = new ScriptedStream(1, kFrames, Fault::None, 0, 100ms);
        const SharedPtr<Audio::Decode::Stream> handle(stream);
        UI::AudioReader reader(handle);
        if (!duringTheOpen)
            while (reader.Progress() == 0.0f) std::this_thread::sleep_for(1ms);
        EXPECT_FALSE(reader.Done());
        const auto start = std::chrono::steady_clock::now();
        reader.Cancel();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        EXPECT_TRUE(reader.Done());
        EXPECT_LT(stream->reads.load(), duringTheOpen ? 1 : 8);
        // A cancelled load ends without a failure and keeps nothing.
        UI::LoadedAudio audio;
        EXPECT_FALSE(reader.Finish(audio).has_value());
        EXPECT_TRUE(audio.buffers.empty());
    }
}

// Progress seen before every read, whenever the load asks for memory (as its buffers grow)
// and at the end: it never goes back, also when a read to the end passes what the header
// leads to expect, and reaches 100 only when the load has ended.
TEST(AudioReader, ProgressNeverGoesBack) {
    const struct {
        std::uint32_t total;
        std::optional<std::uint32_t> expected;
    } cases[] = {{3000000, 1000000}, {1000003, std::nullopt}, {700001, 2000000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        auto* stream = new ScriptedStream(2, c.total, Fault::None, 0, 0ms, c.expected);
        const SharedPtr<Audio::Decode::Stream> handle(stream);
        std::atomic<UI::AudioReader*> watched{nullptr};
        std::vector<float> seen;
        const auto note = [&] {
            UI::AudioReader* reader = nullptr;
            while (!(reader = watched.load())) std::this_thread::yield();
            seen.push_back(reader->Progress());
        };
        stream->beforeRead = note;
        UI::AudioReader reader(handle, [&] {
            note();
            return std::optional<std::uint64_t>();
        });
        watched = &reader;
        UI::LoadedAudio audio;
        ASSERT_FALSE(reader.Finish(audio).has_value());
        seen.push_back(reader.Progress());
        EXPECT_GE(seen.size(), 4u);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << testing::PrintToString(seen);
        EXPECT_LT(seen[seen.size() - 2], 100.0f);
        EXPECT_EQ(seen.back(), 100.0f);
    }
}

}  // namespace
