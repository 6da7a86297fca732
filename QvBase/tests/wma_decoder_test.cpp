// The Windows Media decoder in one process, over the media runtime the build puts beside the
// programs, against ffmpeg's own 16-bit decode of a file it made.

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Wma/FrameQueue.h>

#include <support/AudioFileWriter.h>
#include <support/AudioReference.h>

#include <gtest/gtest.h>

#include <Platform/Library/RuntimeLibrary.h>

#include <cstring>
#include <deque>
#include <functional>
#include <random>

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
    EXPECT_EQ(m_stream->GetTotalFrames(), 16000u);

    std::vector<int16_t> s16(2 * 9000);
    uint32_t got = 0;
    m_stream->ReadInt16Interleaved(100, s16.data(), got);
    ASSERT_EQ(got, 100u);
    for (size_t f = 0; f < 100; ++f) ASSERT_EQ(s16[2 * f + 1], Expected(f, 1)) << f;
    m_stream->ReadInt16Interleaved(9000, s16.data(), got);
    ASSERT_EQ(got, 9000u);
    EXPECT_EQ(s16[0], Expected(100, 0));
    // The position is the last buffer's end in whole seconds.
    EXPECT_EQ(m_stream->GetPosition(), 8000u);

    // A read after Seek returns the frames at the new place, backwards and forwards.
    for (uint32_t to : {12345u, 7u, 15999u}) {
        m_stream->Seek(to);
        std::vector<float> left(64, 9.0f), right(64, 9.0f);
        float* channels[] = {left.data(), right.data()};
        m_stream->ReadFloatDeinterleaved(64, channels, got);
        ASSERT_EQ(got, 64u);
        for (size_t f = 0; f < 64; ++f) ASSERT_EQ(right[f], m_reference[(to + f) * 2 + 1]) << to << "+" << f;
    }
    EXPECT_THROW(m_stream->Seek(16001), BadFormat);

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

// A runtime that offers 24-bit samples first (built for tests only) makes the decoder take
// them: the raw read gives ffmpeg's own 24-bit decode, the 16-bit and float reads refuse.
TEST(WmaWideOutput, TwentyFourBitSamplesAreReadRawOnly) {
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    TempDir dir;
    const std::string path = dir.Path() + "/wide.wma";
    ASSERT_EQ(
        RunCommand("ffmpeg -nostdin -v error -f lavfi -i 'anoisesrc=a=0.5:r=8000:d=1.2' -c:a wmav2 " + ShellQuote(path))
            .exitCode,
        0);
    const CommandResult s32 = RunCommand("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s32le -");
    Platform::Library::SetProgramFolderForTesting(TONALITH_BINARY_DIR "/wmvcore-wide-first");
    SharedPtr<Stream> stream = CreateStream(path.c_str());
    Platform::Library::SetProgramFolderForTesting("");
    ASSERT_TRUE(stream);
    const Format format = stream->OpenForward();
    if (format.BytesPerSample == 2) GTEST_SKIP() << "this process loaded the ordinary runtime first";
    EXPECT_EQ(format, (Format{1, 3, 8000, 0, 0}));
    ASSERT_EQ(stream->GetTotalFrames(), 8000u);

    std::vector<uint8_t> raw(3 * 8000);
    uint32_t got = 0;
    stream->ReadRawInterleaved(8000, raw.data(), got);
    ASSERT_EQ(got, 8000u);
    ASSERT_GE(s32.out.size(), 4u * 8000);
    for (size_t i = 0; i < 8000; ++i)
        ASSERT_EQ(std::memcmp(&raw[3 * i], s32.out.data() + 4 * i + 1, 3), 0) << "sample " << i;
    std::vector<int16_t> s16(16);
    std::vector<float> f32(16);
    float* channels[] = {f32.data()};
    for (const auto& read :
        std::vector<std::function<void()>>{[&] { stream->ReadInt16Interleaved(4, s16.data(), got); },
            [&] { stream->ReadFloatDeinterleaved(4, channels, got); }}) {
        try {
            read();
            ADD_FAILURE() << "a 16-bit read of 24-bit samples succeeded";
        } catch (const BadFormat& e) {
            EXPECT_STREQ(e.Message().CStr(), "Raw WMA data not 16-bit.");
        }
        EXPECT_EQ(got, 0u);
    }
}

}  // namespace
