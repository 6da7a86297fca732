#include "editor_fixture.h"

#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/Wma/WmaLibrary.h>

#include <TestSupport/FfmpegReference.h>
#include <TestSupport/ProcessCounters.h>
#include <TestSupport/WindowsMediaLayout.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace UI;
using namespace std::string_literals;
using TestSupport::FfmpegNoise;
using TestSupport::FfmpegS16;

std::string Le32(std::uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string Le16(std::uint16_t v) { return {char(v), char(v >> 8)}; }

// A 16-bit PCM WAV file whose data chunk claims `claimedBytes` and holds `samples`.
std::string Wav(std::uint16_t channels, std::uint32_t rate, const std::string& samples, std::uint32_t claimedBytes) {
    std::string fmt = Le16(1) + Le16(channels) + Le32(rate) + Le32(rate * channels * 2) + Le16(channels * 2) + Le16(16);
    std::string body =
        "WAVE" + std::string("fmt ") + Le32(std::uint32_t(fmt.size())) + fmt + "data" + Le32(claimedBytes) + samples;
    return "RIFF" + Le32(std::uint32_t(body.size())) + body;
}

class LoadTest : public editor_test::TempStoreTest {
protected:
    void ExpectFailure(const std::string& file, const char* caption, const char* text) {
        LoadedAudio audio;
        const auto failure = LoadAudioFile(String(file), audio);
        ASSERT_TRUE(failure.has_value()) << file;
        EXPECT_EQ(std::string(failure->caption.CStr()), caption) << file;
        EXPECT_EQ(std::string(failure->text.CStr()), text) << file;
    }
    static std::string BytesOf(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // Each channel as ffmpeg's interleaved 16-bit decode has it, frame by frame.
    static void ExpectSamplesAs(const LoadedAudio& audio, const std::vector<std::int16_t>& reference) {
        for (std::uint32_t ch = 0; ch < audio.channels; ++ch) {
            ASSERT_EQ(audio.buffers[ch].size(), audio.frames);
            for (std::uint32_t f = 0; f < audio.frames; ++f)
                ASSERT_EQ(audio.pointers[ch][f], float(reference[std::size_t(f) * audio.channels + ch]) / 32768.0f)
                    << "channel " << ch << ", frame " << f;
        }
    }
    // The first `size` bytes of a file are refused as a file that could not be read.
    void ExpectCutRefused(const std::string& bytes, std::size_t size, const std::string& extension) {
        LoadedAudio cut;
        const std::optional<LoadFailure> failure =
            LoadAudioFile(String(WriteFile("cut" + extension, bytes.substr(0, size))), cut);
        ASSERT_TRUE(failure.has_value()) << size << " bytes: " << cut.frames << " frames";
        EXPECT_STREQ(failure->caption.CStr(), "Can't read file");
        EXPECT_STREQ(failure->text.CStr(), "An error occurred while reading the selected file");
    }
};

TEST_F(LoadTest, EachFailureShowsItsOwnMessage) {
    ExpectFailure(WriteFile("noise.mp3", std::string(64, '\x55')), "Can't open file",
        "An error occurred while opening the selected file");
    // A file that is not there, also when its extension names a decoder.
    ExpectFailure(
        (m_folder / "missing.wav").string(), "Can't open file", "An error occurred while opening the selected file");
    ExpectFailure(WriteFile("broken.wav", "RIFF" + Le32(20) + "WAVEfmt " + Le32(2) + "xx"), "Can't decode file",
        "An error occurred while decoding the selected file");
    ExpectFailure(WriteFile("empty.wav", Wav(1, 44100, "", 0)), "Empty File", "This file is empty.");
}

// Long enough for the read to come in more than one chunk.
TEST_F(LoadTest, SoxToneIsReadWholeIntoOneBufferPerChannel) {
    const std::string file = (m_folder / "tone.wav").string();
    const std::string command = "sox -n -r 8000 -c 2 -b 16 " + file + " synth 70 sine 1000 sine 500 vol 0.5";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    LoadedAudio audio;
    ASSERT_FALSE(LoadAudioFile(String(file), audio).has_value());
    EXPECT_EQ(audio.sampleRate, 8000u);
    EXPECT_EQ(audio.channels, 2u);
    EXPECT_EQ(audio.frames, 560000u);
    ASSERT_EQ(audio.pointers.size(), 2u);
    // sox's own reading of the same file, interleaved 32-bit floats, is the reference.
    const std::string raw = (m_folder / "tone.f32").string();
    const std::string decode = "sox " + file + " -t f32 " + raw;
    ASSERT_EQ(std::system(decode.c_str()), 0) << decode;
    std::ifstream in(raw, std::ios::binary);
    std::vector<float> reference(std::size_t(audio.frames) * 2);
    ASSERT_TRUE(in.read(reinterpret_cast<char*>(reference.data()), std::streamsize(reference.size() * 4)));
    for (std::uint32_t c = 0; c < 2; ++c) {
        EXPECT_EQ(audio.pointers[c], audio.buffers[c].data());
        double worst = 0.0, energy = 0.0;
        for (std::uint32_t i = 0; i < audio.frames; ++i) {
            worst = std::max(worst, double(std::abs(audio.buffers[c][i] - reference[2 * i + c])));
            energy += double(audio.buffers[c][i]) * audio.buffers[c][i];
        }
        EXPECT_LT(worst, 1e-6) << "channel " << c;
        EXPECT_GT(energy / audio.frames, 0.1) << "channel " << c;
    }

    // The samples need 4.48 MB: one byte less of memory is too little.
    const auto load = [&](std::uint64_t available) {
        LoadedAudio refused;
        return LoadAudioFile(String(file), refused, [=] { return available; });
    };
    EXPECT_FALSE(load(4480000).has_value());
    const std::optional<LoadFailure> failure = load(4479999);
    ASSERT_TRUE(failure.has_value());
    EXPECT_STREQ(failure->caption.CStr(), "Can't read file");
    EXPECT_STREQ(failure->text.CStr(), "There is not enough memory to read the selected file");

    // A second load of a bad file leaves nothing of the first.
    ExpectFailure(WriteFile("empty.wav", Wav(1, 44100, "", 0)), "Empty File", "This file is empty.");
    ASSERT_TRUE(LoadAudioFile(String((m_folder / "nothing.mp3").string()), audio).has_value());
    EXPECT_TRUE(audio.buffers.empty());
    EXPECT_EQ(audio.frames, 0u);
}

// A Windows Media file ffmpeg makes from `inputs`.
void MakeWma(const std::string& file, const std::string& inputs, const std::string& options) {
    TestSupport::FfmpegWrite(inputs + options + " -c:a wmav2", file);
}

// Windows Media is read to its end once, into buffers sized by what its header says: a file of
// one audio stream is read through once, not twice (one of several, whose shortest stream is
// counted first, once more per stream); the samples equal ffmpeg's own 16-bit decode of the
// stream read bit for bit, and the length is that of the shortest audio stream, the runtime's;
// a file cut short says so.
TEST_F(LoadTest, WindowsMediaIsReadOnceToItsEndAsFfmpegDecodesIt) {
    const struct {
        const char* name;
        std::string inputs, options;
        int read;  // the audio stream read: the last; the first is the shortest
        std::uint32_t channels;
        int passes;  // through the file: several audio streams are each counted first
    } cases[] = {{"stereo.wma", FfmpegNoise(44100, 25.3, 1), "-ac 2", 0, 2, 1},
        {"mono.wma", FfmpegNoise(8000, 0.7, 2), "-ac 1", 0, 1, 1},
        {"two.wma", FfmpegNoise(44100, 2, 3) + FfmpegNoise(44100, 6, 4), "-map 0:a -map 1:a -ac:a:0 2 -ac:a:1 1", 1, 1,
            3}};
    // The runtime is loaded once in a process, its whole file read for its seal: not counted.
    ASSERT_TRUE(Audio::Decode::WMA::TakeLibrary());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (m_folder / c.name).string();
        MakeWma(file, c.inputs, c.options);
        const std::vector<std::int16_t> reference = FfmpegS16(file, c.read);
        const std::size_t shortest = FfmpegS16(file, 0, "-ac 1").size();

        const std::optional<std::uint64_t> before = TestSupport::BytesReadSoFar();
        ASSERT_TRUE(before.has_value());
        LoadedAudio audio;
        ASSERT_FALSE(LoadAudioFile(String(file), audio).has_value());
        // The file is read through as many times as it takes, no more: half a pass and 64 KiB
        // leave room for its header and for what opening it reads again.
        EXPECT_LT(*TestSupport::BytesReadSoFar() - *before,
            std::filesystem::file_size(file) * (2 * c.passes + 1) / 2 + 64 * 1024);
        ASSERT_EQ(audio.channels, c.channels);
        ASSERT_EQ(audio.frames, shortest);
        ASSERT_LE(std::size_t(audio.frames) * audio.channels, reference.size());
        ExpectSamplesAs(audio, reference);
    }
    // Cut off, the file is read up to the cut and refused: never a shorter whole, whichever
    // of several streams the cut leaves shortest.
    MakeWma((m_folder / "three.wma").string(),
        FfmpegNoise(44100, 3, 5) + FfmpegNoise(44100, 1, 6) + FfmpegNoise(44100, 5, 7), "-map 0:a -map 1:a -map 2:a");
    for (const char* name : {"stereo.wma", "two.wma", "three.wma"}) {
        const std::string bytes = BytesOf((m_folder / name).string());
        for (const std::size_t percent : {40, 50, 75, 90}) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(percent) + "%");
            ExpectCutRefused(bytes, bytes.size() * percent / 100, ".wma");
        }
    }
}

// A short video, which probing reads to its end before its audio is read, loads whole as
// ffmpeg decodes it, also with its index cut short; cut before its data's end, with one audio
// stream or several, it is refused wherever the cut falls.
TEST_F(LoadTest, ShortWindowsMediaVideoLoadsWholeAndCutShortIsRefused) {
    for (const TestSupport::FfmpegFile& video : TestSupport::ShortWindowsMediaVideos()) {
        SCOPED_TRACE(video.name);
        const std::string file = TestSupport::FfmpegWrite(video.arguments, (m_folder / video.name).string());
        const std::vector<std::int16_t> reference = FfmpegS16(file);
        const std::string bytes = BytesOf(file);
        for (const std::size_t size : {bytes.size(), TestSupport::WindowsMediaDataOf(bytes).end + 1}) {
            SCOPED_TRACE(std::to_string(size) + " bytes");
            LoadedAudio audio;
            ASSERT_FALSE(LoadAudioFile(String(WriteFile("cut.wmv", bytes.substr(0, size))), audio).has_value());
            ASSERT_EQ(std::size_t(audio.frames) * audio.channels, reference.size());
            ExpectSamplesAs(audio, reference);
        }
    }
    const std::string several = TestSupport::FfmpegWrite("-f lavfi -i testsrc=d=2:s=64x48:r=10 " +
            FfmpegNoise(8000, 2, 1) + FfmpegNoise(16000, 3, 2) + "-map 0:v -map 1:a -map 2:a -c:v wmv2 -c:a wmav2",
        (m_folder / "several.wmv").string());
    for (const std::string& file : {(m_folder / "wmv2_sine.wmv").string(), several}) {
        SCOPED_TRACE(file);
        const std::string bytes = BytesOf(file);
        const std::size_t dataEnd = TestSupport::WindowsMediaDataOf(bytes).end;
        for (const std::size_t size : {dataEnd / 3, dataEnd / 2, dataEnd * 4 / 5, dataEnd - 100, dataEnd - 1})
            ExpectCutRefused(bytes, size, ".wmv");
    }
}

// A header that says 42,500 s of a 20 s file, and a process that may map less than the 15 GB
// of buffers that leads to expect, though the memory is there: the read starts small and
// grows as the file goes, to all it holds. In a process of its own, for its limit.
TEST_F(LoadTest, BuffersForAnOverstatedHeaderThatCannotBeHadStartSmall) {
    const std::string file = (m_folder / "claims.wma").string();
    MakeWma(file, FfmpegNoise(44100, 20, 5), "-ac 2");
    const std::size_t frames = FfmpegS16(file, 0).size() / 2;
    std::string bytes = BytesOf(file);
    // The file properties' play duration (100-ns units) counts the preroll (ms) 16 bytes on.
    const std::size_t properties = bytes.find("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65"s);
    ASSERT_NE(properties, std::string::npos);
    std::uint64_t preroll = 0;
    std::memcpy(&preroll, bytes.data() + properties + 80, 8);
    const std::uint64_t claimed = (42'500'000 + preroll) * 10'000;
    std::memcpy(bytes.data() + properties + 64, &claimed, 8);
    WriteFile("claims.wma", bytes);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (!TestSupport::LimitAddressSpaceGrowth(std::uint64_t(1) << 30)) std::_Exit(2);
            LoadedAudio audio;
            const std::optional<LoadFailure> failure =
                LoadAudioFile(String(file), audio, [] { return std::optional<std::uint64_t>(std::uint64_t(1) << 40); });
            std::fprintf(stderr, "%s: %u frames\n", failure ? failure->text.CStr() : "loaded", audio.frames);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "loaded: " + std::to_string(frames) + " frames");
}

}  // namespace
