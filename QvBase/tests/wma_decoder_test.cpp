// The Windows Media decoder in one process, over the media runtime the build puts beside the
// programs, against ffmpeg's own 16-bit decode of a file it made.

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Wma/FrameQueue.h>
#include <QvBase/Audio/Decode/Wma/WmaLibrary.h>

#include <support/AudioFileWriter.h>
#include <support/AudioReference.h>
#include <support/DecoderChecks.h>

#include <gtest/gtest.h>

#include <TestSupport/FfmpegReference.h>
#include <TestSupport/ProcessCounters.h>
#include <TestSupport/WindowsMediaLayout.h>

#include <Platform/Library/RuntimeLibrary.h>
#include <Platform/Media/MediaRuntime.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

using namespace Audio::Decode;
using namespace TestAudio;
using Audio::Decode::Exception::BadFormat;

namespace {

class WmaDecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
        m_path = m_dir.Path() + "/noise.wma";
        ASSERT_EQ(RunCommand("ffmpeg -nostdin -v error -f lavfi -i 'anoisesrc=a=0.5:r=8000:d=2.5:seed=9' -ac 2 "
                             "-c:a wmav2 " +
                      ShellQuote(m_path))
                      .exitCode,
            0);
        m_reference = FfmpegS16Floats(m_path);
        m_stream = CreateStream(m_path.c_str());
        ASSERT_TRUE(m_stream);
    }

    // Frame f, channel c of ffmpeg's decode as a 16-bit sample.
    int16_t Expected(size_t f, size_t c) const { return int16_t(m_reference[f * 2 + c] * 32768.0f); }

    TempDir m_dir;
    std::string m_path;
    std::vector<float> m_reference;
    SharedPtr<Stream> m_stream;
};

TEST_F(WmaDecoderTest, ReadsSeeksAndRefusesAsTheInterfaceSays) {
    EXPECT_EQ(m_stream->GetType(), Type::WindowsMedia);
    EXPECT_EQ(m_stream->OpenForward(), (Format{2, 2, 8000, 0, 0}));
    const uint32_t total = uint32_t(m_reference.size() / 2);
    EXPECT_EQ(m_stream->GetTotalFrames(), total);

    std::vector<int16_t> s16(2 * 9000);
    uint32_t got = 0;
    m_stream->ReadInt16Interleaved(100, s16.data(), got);
    ASSERT_EQ(got, 100u);
    for (size_t f = 0; f < 100; ++f) ASSERT_EQ(s16[2 * f + 1], Expected(f, 1)) << f;
    m_stream->ReadInt16Interleaved(9000, s16.data(), got);
    ASSERT_EQ(got, 9000u);
    EXPECT_EQ(s16[0], Expected(100, 0));
    EXPECT_EQ(m_stream->GetPosition(), 9100u);

    // A read after Seek returns the frames at the new place, backwards and forwards.
    for (uint32_t to : {12345u, 7u, total - 64}) {
        m_stream->Seek(to);
        std::vector<float> left(64, 9.0f), right(64, 9.0f);
        float* channels[] = {left.data(), right.data()};
        m_stream->ReadFloatDeinterleaved(64, channels, got);
        ASSERT_EQ(got, 64u);
        for (size_t f = 0; f < 64; ++f) ASSERT_EQ(right[f], m_reference[(to + f) * 2 + 1]) << to << "+" << f;
    }
    EXPECT_THROW(m_stream->Seek(total + 1), BadFormat);

    // The 64-bit float read is not offered: the count says 0 and the read says why.
    double f64[4];
    got = 7;
    try {
        m_stream->ReadFloatInterleaved(2, f64, got);
        ADD_FAILURE() << "the 64-bit read succeeded";
    } catch (const BadFormat& e) {
        EXPECT_STREQ(e.Message().CStr(), "ReadFloatInterleaved 2 called, unsupported conversion");
    }
    EXPECT_EQ(got, 0u);

    m_stream->Close();
    EXPECT_EQ(m_stream->GetFramesRemaining(), 0u);
    int16_t* channels16[] = {s16.data(), s16.data() + 100};
    const std::vector<std::pair<std::function<void()>, std::string>> closed{
        {[&] { m_stream->ReadInt16Interleaved(5, s16.data(), got); }, "ReadInt16Interleaved 5 when not sync'd"},
        {[&] { m_stream->ReadInt16Deinterleaved(6, channels16, got); }, "ReadInt16Deinterleaved 6 when not sync'd"},
        {[&] { m_stream->ReadRawInterleaved(7, s16.data(), got); }, "ReadRawInterleaved 7 when not sync'd"},
        {[&] { m_stream->Seek(8); }, "Seek to 8 when not sync'd"},
    };
    for (const auto& [call, message] : closed) {
        try {
            call();
            ADD_FAILURE() << message;
        } catch (const BadFormat& e) {
            EXPECT_EQ(std::string(e.Message().CStr()), message);
            EXPECT_EQ(std::string(e.Detail().CStr()), m_path);
        }
    }
}

// Every rate, both channel counts and the lengths, each in some row.
TEST(WmaWholeStream, EqualsFfmpegToTheLastFrameAndAfterSeeks) {
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    TempDir dir;
    for (const WmaFile& file : {WmaFile{"wmav2", 8000, 1, 0.1}, WmaFile{"wmav1", 11025, 2, 1},
             WmaFile{"wmav2", 16000, 2, 10.03}, WmaFile{"wmav2", 22050, 1, 1}, WmaFile{"wmav2", 32000, 2, 0.1},
             WmaFile{"wmav1", 44100, 1, 0.1}, WmaFile{"wmav2", 44100, 2, 30}, WmaFile{"wmav2", 48000, 1, 10.03}}) {
        ExpectDecodesAsFfmpeg(MakeWma(dir, file), file);
        if (HasFatalFailure()) return;
    }
}

// A file cut short or damaged opens, and the read that reaches the fault reports it: never a
// shorter stream that looks whole.
TEST(WmaBrokenFile, TheReadReportsTheFaultWhereItLies) {
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    TempDir dir;
    const Bytes whole = ReadWholeFile(MakeWma(dir, {"wmav2", 22050, 2, 3}));
    const TestSupport::WindowsMediaData data = TestSupport::WindowsMediaDataOf(whole);
    ASSERT_GT(data.packets, 4u);
    const size_t packet = data.packetBytes, middle = data.Packet(data.packets / 2);
    Bytes damaged = whole;
    damaged[middle + 3] ^= 0xFF;  // how the packet's lengths are coded
    const std::vector<std::pair<std::string, Bytes>> cases{
        {"inside a packet", Bytes(whole.begin(), whole.end() - packet / 2 - packet)},
        {"after a whole packet", Bytes(whole.begin(), whole.begin() + ptrdiff_t(middle))}, {"damaged", damaged}};
    for (const auto& [what, bytes] : cases) {
        const std::string path = dir.Write("broken.wma", bytes);
        SharedPtr<Stream> stream = CreateStream(path.c_str());
        ASSERT_TRUE(stream) << what;
        stream->OpenForward();
        EXPECT_GT(stream->GetTotalFrames(), 0u) << what;
        try {
            ReadAllDeinterleaved(*stream);
            ADD_FAILURE() << what << ": the whole read succeeded";
        } catch (const BadFormat& e) {
            EXPECT_STREQ(e.Message().CStr(), "Unable to read buffer. 0xC00D0006") << what;
            EXPECT_EQ(std::string(e.Detail().CStr()), path) << what;
        }
    }
}

// A file is as long as its shortest audio stream as ffmpeg decodes it, whether its length is
// asked for or its stream read to the end; what the header says ("ExpectedDuration") comes
// apart, as ffprobe reads it.
TEST(WmaRuntime, TheFileEndsWithItsShortestAudioStreamAndTheHeaderOnlyEstimates) {
    if (!HaveProgram("ffprobe")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    using TestSupport::FfmpegNoise;
    const struct {
        std::string name, inputs, options;
        uint32_t rate, shortestChannels;  // every audio stream at that rate; the first is the shortest
    } cases[] = {
        {"one.wma", FfmpegNoise(22050, 3.2, 1), "-ac 2 -c:a wmav2", 22050, 2},
        {"two.wma", FfmpegNoise(44100, 2, 2) + FfmpegNoise(44100, 6, 3),
            "-map 0:a -map 1:a -ac:a:0 2 -ac:a:1 1 -c:a wmav2", 44100, 2},
        {"video.wmv", "-f lavfi -i 'testsrc=size=64x48:rate=10:d=1' " + FfmpegNoise(32000, 2.5, 4),
            "-map 0:v -map 1:a -c:v wmv2 -ac 2 -c:a wmav2", 32000, 2},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = TestSupport::FfmpegWrite(c.inputs + c.options, dir.Path() + "/" + c.name);
        const uint32_t shortest = uint32_t(FfmpegS16Floats(path, 0).size() / c.shortestChannels);
        std::istringstream header(RunCommand(
            "ffprobe -v error -select_streams a -show_entries stream=duration -of csv=p=0 " + ShellQuote(path))
                                      .out);
        double headerSeconds = 1e9;
        for (double seconds = 0; header >> seconds;) headerSeconds = std::min(headerSeconds, seconds);

        SharedPtr<Stream> counted = CreateStream(path.c_str()), read = CreateStream(path.c_str());
        ASSERT_TRUE(counted && read);
        EXPECT_EQ(counted->OpenForward().SampleRate, c.rate);
        EXPECT_EQ(counted->GetTotalFrames(), shortest);
        const Format format = read->OpenForward();
        ASSERT_TRUE(read->ExpectedFrames().has_value());
        EXPECT_NEAR(double(*read->ExpectedFrames()), headerSeconds* c.rate, 1.0);
        std::vector<int16_t> samples(size_t(shortest + 100000) * format.Channels);
        uint32_t got = 0;
        read->ReadInt16Interleaved(shortest + 100000, samples.data(), got);
        EXPECT_EQ(got, shortest);
    }
}

// A caller that reads the video stream of a file with two audio streams is told it has no
// samples; the audio streams' length rule has no rate to count that stream's frames in.
TEST(WmaRuntime, AStreamThatIsNotAudioDeliversNothing) {
    namespace Media = Platform::Media;
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    TempDir dir;
    const std::string path = dir.Path() + "/video.wmv";
    ASSERT_EQ(
        RunCommand("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=64x48:rate=10:d=1 -f lavfi -i "
                   "sine=r=8000:d=1 -f lavfi -i sine=r=8000:d=2 -map 0:v -map 1:a -map 2:a -c:v wmv2 -c:a wmav2 " +
            ShellQuote(path))
            .exitCode,
        0);
    const SharedPtr<Util::DynamicLibrary> library = WMA::TakeLibrary();
    ASSERT_TRUE(library);
    const auto create =
        reinterpret_cast<Media::CreateSyncReaderFunction>(library->GetFunction(Media::kCreateSyncReaderName));
    Media::SyncReader* reader = nullptr;
    ASSERT_GE(create(nullptr, 1, &reader), 0);
    ASSERT_GE(reader->Open(String(path.c_str()).ToWide().CStr()), 0);
    const uint16_t video = 1;
    const Media::StreamState on = Media::StreamState::On;
    ASSERT_GE(reader->SetStreamsSelected(1, &video, &on), 0);
    Media::Buffer* sample = nullptr;
    uint64_t time = 0, duration = 0;
    EXPECT_LT(reader->GetNextSample(video, &sample, &time, &duration, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(sample, nullptr);
    reader->Release();
}

// Opening asks the header and decodes nothing: the bytes read to open an hour-long file
// are a sliver of it, where its exact length is a decode of all of it.
TEST(WmaRuntime, OpeningDecodesNothing) {
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    TempDir dir;
    const std::string path = dir.Path() + "/hour.wma";
    ASSERT_EQ(
        RunCommand("ffmpeg -nostdin -v error -f lavfi -i sine=r=8000:d=3600 -c:a wmav2 -b:a 32k " + ShellQuote(path))
            .exitCode,
        0);
    const uint64_t size = std::filesystem::file_size(path);
    const std::optional<uint64_t> before = TestSupport::BytesReadSoFar();
    ASSERT_TRUE(before.has_value());
    SharedPtr<Stream> stream = CreateStream(path.c_str());
    ASSERT_TRUE(stream);
    stream->OpenForward();
    // The header's length counts whole codec frames: about the hour.
    ASSERT_TRUE(stream->ExpectedFrames().has_value());
    EXPECT_NEAR(double(*stream->ExpectedFrames()), 3600.0 * 8000.0, 8000.0);
    const uint64_t opened = *TestSupport::BytesReadSoFar();
    EXPECT_LT(opened - *before, size / 10);
    EXPECT_GT(stream->GetTotalFrames(), 3599u * 8000u);
    EXPECT_GE(*TestSupport::BytesReadSoFar() - opened, size);
}

TEST(WmaFrameQueue, HandsOutExactlyTheFramesAppendedAcrossGrowth) {
    WMA::FrameQueue queue(3, 1, 4);
    std::deque<uint8_t> reference;
    std::mt19937 random(5);
    uint8_t next = 0;
    for (int round = 0; round < 400; ++round) {
        const uint32_t in = random() % 50, out = random() % 60;
        std::vector<uint8_t> bytes(in * 3);
        for (auto& b : bytes) reference.push_back(b = next++);
        queue.Append(bytes.data(), in);
        std::vector<uint8_t> taken(out * 3);
        const uint32_t m = queue.Take(taken.data(), out);
        ASSERT_EQ(m, std::min<uint32_t>(out, uint32_t(reference.size() / 3)));
        for (uint32_t i = 0; i < m * 3; ++i, reference.pop_front()) ASSERT_EQ(taken[i], reference.front());
        ASSERT_EQ(queue.Queued(), reference.size() / 3);
    }
    // Grown by doubling from the first 12 bytes.
    EXPECT_EQ(queue.Capacity() % 12, 0u);
    EXPECT_EQ((queue.Capacity() / 12) & (queue.Capacity() / 12 - 1), 0u);
}

}  // namespace

namespace {

// What is wrong with reading a file through the runtime that offers 24-bit samples first
// (built for tests only): the raw read must give ffmpeg's own 24-bit decode, the 16-bit and
// float reads must refuse.
std::string WideOutputFaults() {
    const std::string wide = TONALITH_BINARY_DIR "/wmvcore-wide-first";
    if (!std::filesystem::exists(wide + "/WMVCore.so")) return "the test build of the runtime is missing in " + wide;
    TempDir dir;
    const std::string path = MakeWma(dir, {"wmav2", 8000, 1, 1.2});
    const std::string s32 = RunCommand("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s32le -").out;
    Platform::Library::SetProgramFolderForTesting(wide);
    SharedPtr<Stream> stream = CreateStream(path.c_str());
    Platform::Library::SetProgramFolderForTesting("");
    if (!stream || stream->OpenForward() != Format{1, 3, 8000, 0, 0}) return "the 24-bit output was not taken";
    const uint32_t frames = uint32_t(s32.size() / 4);
    std::vector<uint8_t> raw(3 * size_t(frames));
    uint32_t got = 0;
    stream->ReadRawInterleaved(frames, raw.data(), got);
    if (frames == 0 || stream->GetTotalFrames() != frames || got != frames) return "not every frame was read";
    for (size_t i = 0; i < got; ++i)
        if (std::memcmp(&raw[3 * i], s32.data() + 4 * i + 1, 3) != 0) return "sample " + std::to_string(i) + " differs";
    int16_t s16[4];
    float f32[4], *channels[] = {f32};
    if (BadFormatMessage([&] { stream->ReadInt16Interleaved(4, s16, got); }) != "Raw WMA data not 16-bit." || got ||
        BadFormatMessage([&] { stream->ReadFloatDeinterleaved(4, channels, got); }) != "Raw WMA data not 16-bit." ||
        got)
        return "a 16-bit or float read of 24-bit samples did not refuse";
    return "";
}

// Which runtime a process uses is settled by its first load, so the check runs in a process
// of its own: this program started anew for this test alone.
TEST(WmaWideOutput, TwentyFourBitSamplesAreReadRawOnly) {
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string faults = WideOutputFaults();
            std::fputs(faults.c_str(), stderr);
            std::exit(faults.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
