// Files made by sox and ffmpeg, decoded by decode-raw exactly as the program reads them, and
// compared with the reference tools' own float output.

#include <QvBase/Audio/Decode/CreateStream.h>

#include <support/AudioFileWriter.h>
#include <support/AudioReference.h>

#include <gtest/gtest.h>

#include <TestSupport/FfmpegReference.h>
#include <TestSupport/WindowsMediaLayout.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

using namespace TestAudio;

namespace {

struct MadeFile {
    std::string path;
    uint32_t channels;
    uint32_t rate;
};

class DecodeReferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("sox") || !HaveProgram("ffmpeg"))
            GTEST_SKIP() << "sox and ffmpeg are needed (installed by make test)";
    }

    // Noise on every channel plus a full-scale square wave, so that both extremes occur.
    // Files of a few seconds span more than one block of a read.
    MadeFile Sox(const std::string& name, uint32_t channels, uint32_t rate, const std::string& encoding,
        const std::string& seconds = "0.05") {
        const std::string path = m_dir.Path() + "/" + name;
        const std::string command = "sox -D -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
            " " + encoding + " " + ShellQuote(path) + " synth " + seconds + " whitenoise synth " + seconds +
            " square mix 441 vol 2";
        const CommandResult r = RunCommand(command);
        EXPECT_EQ(r.exitCode, 0) << command << "\n" << r.err;
        return {path, channels, rate};
    }

    MadeFile Ffmpeg(const std::string& name, uint32_t channels, uint32_t rate, const std::string& codec) {
        const std::string path = m_dir.Path() + "/" + name;
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i 'anoisesrc=d=0.05:c=white:a=0.9:r=" + std::to_string(rate) +
            ":seed=7' -ac " + std::to_string(channels) + " -c:a " + codec + " " + ShellQuote(path);
        const CommandResult r = RunCommand(command);
        EXPECT_EQ(r.exitCode, 0) << command << "\n" << r.err;
        return {path, channels, rate};
    }

    // decode-raw succeeds and its floats equal the reference bit for bit.
    void ExpectSameAs(const MadeFile& file, const std::vector<float>& reference) {
        const CommandResult decoded = DecodeRaw(file.path);
        ASSERT_EQ(decoded.exitCode, 0) << file.path << ": " << decoded.err;
        const std::vector<float> ours = FloatsFromBytes(decoded.out);
        ASSERT_EQ(ours.size(), reference.size()) << file.path;
        ASSERT_GT(ours.size(), 0u);
        ASSERT_EQ(ours.size() % file.channels, 0u);
        EXPECT_EQ(std::memcmp(ours.data(), reference.data(), ours.size() * 4), 0) << file.path;
        for (size_t i = 0; i < ours.size(); ++i) ASSERT_EQ(ours[i], reference[i]) << file.path << " sample " << i;

        auto stream = Audio::Decode::CreateStream(file.path.c_str());
        ASSERT_TRUE(stream);
        const auto format = stream->OpenForward();
        EXPECT_EQ(format.Channels, file.channels) << file.path;
        EXPECT_EQ(format.SampleRate, file.rate) << file.path;
        EXPECT_EQ(uint64_t(stream->GetTotalFrames()) * file.channels, ours.size());
    }

    std::string DecodeRawFailure(const MadeFile& file) {
        const CommandResult decoded = DecodeRaw(file.path);
        EXPECT_EQ(decoded.exitCode, 1) << file.path;
        EXPECT_TRUE(decoded.out.empty());
        std::string message = decoded.err;
        while (!message.empty() && message.back() == '\n') message.pop_back();
        return message;
    }

    TempDir m_dir;
};

}  // namespace

TEST_F(DecodeReferenceTest, IntegerWavEqualsTheReferencesBitForBit) {
    // 8 to 24 bits convert exactly and are compared with sox; 32-bit samples must be rounded
    // to a float, which sox does not do to nearest, so they are compared with ffmpeg.
    struct Case {
        int bits;
        uint32_t channels;
        uint32_t rate;
        const char* seconds = "0.05";
    };
    for (const Case c : {Case{16, 1, 8000}, Case{16, 2, 44100}, Case{16, 6, 48000}, Case{24, 1, 96000},
             Case{24, 2, 22050}, Case{24, 4, 44100}, Case{32, 2, 44100}, Case{32, 3, 11025}, Case{16, 2, 44100, "7.3"},
             Case{16, 3, 44100, "4.1"}, Case{24, 2, 48000, "5.2"}, Case{32, 1, 32000, "9.1"}}) {
        const std::string name = "s" + std::to_string(c.bits) + "_" + std::to_string(c.channels) + "_" +
            std::to_string(c.rate) + "_" + c.seconds + ".wav";
        const MadeFile file =
            Sox(name, c.channels, c.rate, "-b " + std::to_string(c.bits) + " -e signed-integer", c.seconds);
        ExpectSameAs(file, c.bits == 32 ? FfmpegFloats(file.path) : SoxFloats(file.path));
    }
}

TEST_F(DecodeReferenceTest, FloatAndExtensibleWavEqualFfmpeg) {
    // sox reads floats through 32-bit integers, so float files are compared with ffmpeg,
    // which hands 32-bit floats on untouched.
    const MadeFile soxFloat = Sox("f32.wav", 2, 44100, "-b 32 -e floating-point");
    ExpectSameAs(soxFloat, FfmpegFloats(soxFloat.path));
    const MadeFile longFloat = Sox("f32_long.wav", 3, 44100, "-b 32 -e floating-point", "3.3");
    ExpectSameAs(longFloat, FfmpegFloats(longFloat.path));
    const MadeFile ffFloat = Ffmpeg("ff_f32.wav", 1, 32000, "pcm_f32le");
    ExpectSameAs(ffFloat, FfmpegFloats(ffFloat.path));
    // More than two channels: ffmpeg writes the extensible format.
    const MadeFile ff6 = Ffmpeg("ff_s16_6ch.wav", 6, 48000, "pcm_s16le");
    const Bytes header = ReadWholeFile(ff6.path);
    ASSERT_GT(header.size(), 22u);
    EXPECT_EQ(header[20] | header[21] << 8, 0xFFFE);
    ExpectSameAs(ff6, SoxFloats(ff6.path));
    const MadeFile ffFloat6 = Ffmpeg("ff_f32_6ch.wav", 6, 44100, "pcm_f32le");
    ExpectSameAs(ffFloat6, FfmpegFloats(ffFloat6.path));
    const MadeFile ff24 = Ffmpeg("ff_s24_5ch.wav", 5, 96000, "pcm_s24le");
    ExpectSameAs(ff24, SoxFloats(ff24.path));
}

TEST_F(DecodeReferenceTest, AiffAndAifcEqualSox) {
    for (int bits : {16, 24})
        for (uint32_t channels : {1u, 2u})
            for (const char* seconds : {"0.05", "6.1"}) {
                const std::string name =
                    "a" + std::to_string(bits) + "_" + std::to_string(channels) + "_" + seconds + ".aiff";
                const MadeFile file =
                    Sox(name, channels, 44100, "-b " + std::to_string(bits) + " -e signed-integer", seconds);
                ExpectSameAs(file, SoxFloats(file.path));
            }
    // The compressed form is not recognised by its header: either extension must say AIFF.
    const MadeFile aifc = Sox("c16.aifc", 2, 22050, "-b 16 -e signed-integer -t aifc");
    ExpectSameAs(aifc, SoxFloats(aifc.path));
    const std::string renamed = m_dir.Path() + "/c16.AIF";
    ASSERT_EQ(std::rename(aifc.path.c_str(), renamed.c_str()), 0);
    ExpectSameAs({renamed, 2, 22050}, SoxFloats(renamed));
    const MadeFile ffAiff = Ffmpeg("ff.aiff", 2, 48000, "pcm_s16be");
    ExpectSameAs(ffAiff, SoxFloats(ffAiff.path));
    const MadeFile ffAiff24 = Ffmpeg("ff24.aiff", 1, 8000, "pcm_s24be");
    ExpectSameAs(ffAiff24, SoxFloats(ffAiff24.path));
}

TEST_F(DecodeReferenceTest, FormatsTheDecodersRefuse) {
    EXPECT_EQ(DecodeRawFailure(Sox("u8.wav", 1, 8000, "-b 8 -e unsigned-integer")),
        "ReadFloatInterleaved 400 called, unsupported conversion");
    EXPECT_EQ(DecodeRawFailure(Sox("f64.wav", 1, 8000, "-b 64 -e floating-point")),
        "Unsupported bit depth / wave format combination: 64/3");
    EXPECT_EQ(DecodeRawFailure(Sox("a3.aiff", 3, 8000, "-b 16 -e signed-integer")), "Bad number of channels: 3");
    EXPECT_EQ(DecodeRawFailure(Sox("a8.aiff", 1, 8000, "-b 8 -e signed-integer")), "Unsupported bit depth: 8");
    EXPECT_EQ(DecodeRawFailure(Sox("a32.aiff", 1, 8000, "-b 32 -e signed-integer")), "Unsupported bit depth: 32");
    const MadeFile alaw = Ffmpeg("alaw.aif", 1, 8000, "pcm_alaw -f aiff");
    EXPECT_EQ(DecodeRawFailure(alaw), "Bad compression type: " + std::to_string(0x616C6177));
    EXPECT_EQ(
        DecodeRawFailure({m_dir.Path() + "/absent.mp3", 1, 8000}), "An error occurred while opening the selected file");
}

// Windows Media files go through the media runtime: decode-raw's samples equal ffmpeg's own
// 16-bit decode for the whole seconds the file promises.
TEST_F(DecodeReferenceTest, WindowsMediaEqualsFfmpegSixteenBitDecode) {
    using TestSupport::FfmpegNoise;
    struct Case {
        std::string name, inputs, options;
        int audioStream;  // the one that must win
    };
    const std::vector<Case> cases{
        {"v2_mono_8k.wma", FfmpegNoise(8000, 2.3, 1), "-ac 1 -c:a wmav2", 0},
        {"v2_stereo_44k.wma", FfmpegNoise(44100, 1.7, 2), "-ac 2 -c:a wmav2", 0},
        {"v1_stereo_22k.wma", FfmpegNoise(22050, 3.2, 3), "-ac 2 -c:a wmav1", 0},
        {"v1_mono_48k.wma", FfmpegNoise(48000, 1.1, 4), "-ac 1 -c:a wmav1", 0},
        {"short.wma", FfmpegNoise(16000, 0.6, 5), "-ac 1 -c:a wmav2", 0},
        {"video_first.wmv", "-f lavfi -i 'testsrc=size=64x48:rate=10:d=2.5' " + FfmpegNoise(32000, 2.5, 6),
            "-map 0:v -map 1:a -c:v wmv2 -ac 2 -c:a wmav2", 0},
        {"two_audio.wma", FfmpegNoise(11025, 2.2, 7) + FfmpegNoise(11025, 2.2, 8), "-map 0:a -map 1:a -ac 1 -c:a wmav2",
            1},
    };
    for (const Case& c : cases) {
        const std::string path = TestSupport::FfmpegWrite(c.inputs + c.options, m_dir.Path() + "/" + c.name);
        const CommandResult decoded = DecodeRaw(path);
        ASSERT_EQ(decoded.exitCode, 0) << c.name << ": " << decoded.err;
        const std::vector<float> ours = FloatsFromBytes(decoded.out);
        const std::vector<float> reference = FfmpegS16Floats(path, c.audioStream);
        ASSERT_EQ(ours.size(), reference.size()) << c.name;
        for (size_t i = 0; i < ours.size(); ++i) ASSERT_EQ(ours[i], reference[i]) << c.name << " sample " << i;
    }

    // Without the runtime beside it, with one cut short, or with one whose mapped bytes are
    // zeroed (which the loader would die relocating), the same program makes no decoder and
    // its probe says no: the file named as WAV then reaches the WAV decoder.
    const std::string wma = m_dir.Path() + "/v2_mono_8k.wma", wav = m_dir.Path() + "/asf.wav";
    std::filesystem::copy_file(wma, wav);
    const Bytes runtime = ReadWholeFile(TONALITH_BINARY_DIR "/bin/WMVCore.so");
    Bytes cut(runtime.begin(), runtime.begin() + 20000), zeroed = runtime;
    std::fill(zeroed.begin() + 4096, zeroed.end(), 0);
    for (const std::string damage : {"none", "cut", "zeroed"}) {
        const TempDir alone;
        std::filesystem::copy_file(DecodeRawProgram(), alone.Path() + "/decode-raw");
        if (damage != "none") alone.Write("WMVCore.so", damage == "cut" ? cut : zeroed);
        const auto without = [&](const std::string& path) {
            return RunCommand(
                "env -u LD_LIBRARY_PATH " + ShellQuote(alone.Path() + "/decode-raw") + " " + ShellQuote(path));
        };
        EXPECT_EQ(without(wma).err, "An error occurred while opening the selected file\n") << damage;
        EXPECT_EQ(without(wav).err, "Invalid RIFF header\n") << damage;
    }
    EXPECT_EQ(DecodeRaw(wav).exitCode, 0);
    // An MP3 stays without a decoder although the runtime's demultiplexers could read it.
    const MadeFile mp3 = Ffmpeg("noise.mp3", 1, 44100, "libmp3lame");
    EXPECT_EQ(DecodeRawFailure(mp3), "An error occurred while opening the selected file");
}

// A file of several audio streams is as long as its shortest. A stream that fails (a cut
// fails every stream) is known only to reach the failure: before the end of every whole
// stream, the failure decides the length and decode-raw fails as for a file of one stream;
// past a whole stream's end, it lies past the file's end too.
TEST_F(DecodeReferenceTest, WindowsMediaFailsWhereAFailureDecidesTheLengthOfItsStreams) {
    using TestSupport::FfmpegNoise;
    const auto make = [&](const std::string& name, const std::string& arguments) {
        return TestSupport::FfmpegWrite(arguments, m_dir.Path() + "/" + name);
    };
    const std::string cutFailure = "Unable to read buffer. 0xC00D0006";
    const std::string two = make("two.wma",
        FfmpegNoise(44100, 2, 1) + "-f lavfi -i sine=r=44100:d=6 -map 0:a -map 1:a -ac:a:0 2 -ac:a:1 1 -c:a wmav2");
    const std::string three = make("three.wma",
        FfmpegNoise(44100, 3, 2) + FfmpegNoise(44100, 1, 3) + FfmpegNoise(22050, 5, 4) +
            "-map 0:a -map 1:a -map 2:a -ac 1 -c:a wmav2");
    for (const std::string& path : {two, three}) {
        const Bytes whole = ReadWholeFile(path);
        for (const size_t percent : {40, 60, 75, 90}) {
            const Bytes cut(whole.begin(), whole.begin() + ptrdiff_t(whole.size() * percent / 100));
            EXPECT_EQ(DecodeRawFailure({m_dir.Write("cut.wma", cut), 1, 44100}), cutFailure) << path << " " << percent;
        }
    }

    // An 8 s stream that only its codec fails: 256 bytes of coded audio overwritten in the first
    // of its packets from `percent` of them on (up to 25 % more) where decode-raw then fails;
    // not every damage does.
    const std::string longer = make("long.wma", FfmpegNoise(44100, 8, 5) + "-ac 1 -c:a wmav2");
    const std::string shorter = make("short.wma", FfmpegNoise(44100, 3, 6) + "-ac 2 -c:a wmav2");
    const auto damaged = [&](size_t percent) {
        const Bytes whole = ReadWholeFile(longer);
        const TestSupport::WindowsMediaData data = TestSupport::WindowsMediaDataOf(whole);
        for (size_t p = data.packets * percent / 100; p < data.packets * (percent + 25) / 100; ++p) {
            Bytes bytes = whole;
            std::fill_n(bytes.begin() + ptrdiff_t(data.Packet(p) + data.packetBytes / 3), 256, 0xFF);
            const std::string path = m_dir.Write("damaged" + std::to_string(percent) + ".wma", bytes);
            if (DecodeRaw(path).err == cutFailure + "\n") return ShellQuote(path);
        }
        ADD_FAILURE() << "no damage from " << percent << "% on fails the codec";
        return std::string();
    };
    // Failing before 3 s, the end of the whole stream read: the file fails. Failing past it,
    // in the stream read: the file is 3 s, as ffmpeg decodes that stream up to there.
    const std::string early =
        make("early.wma", "-i " + damaged(10) + " -i " + ShellQuote(shorter) + " -map 0:a -map 1:a -c copy");
    EXPECT_EQ(DecodeRawFailure({early, 2, 44100}), cutFailure);
    const std::string late =
        make("late.wma", "-i " + ShellQuote(shorter) + " -i " + damaged(75) + " -map 0:a -map 1:a -c copy");
    const CommandResult decoded = DecodeRaw(late);
    ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
    const std::vector<float> ours = FloatsFromBytes(decoded.out), reference = FfmpegS16Floats(late, 1);
    EXPECT_EQ(ours.size(), FfmpegS16Floats(late, 0).size() / 2);
    ASSERT_LE(ours.size(), reference.size());
    EXPECT_TRUE(std::equal(ours.begin(), ours.end(), reference.begin()));
}

// Probing a short video reads it to its end before its audio is read: decode-raw reads it
// whole all the same, also when what follows the data object (its index) is cut short or gone.
TEST_F(DecodeReferenceTest, ShortWindowsMediaVideoEqualsFfmpegSixteenBitDecode) {
    for (const TestSupport::FfmpegFile& video : TestSupport::ShortWindowsMediaVideos()) {
        const std::string path = TestSupport::FfmpegWrite(video.arguments, m_dir.Path() + "/" + video.name);
        const std::vector<float> reference = FfmpegS16Floats(path);
        const Bytes whole = ReadWholeFile(path);
        const size_t dataEnd = TestSupport::WindowsMediaDataOf(whole).end;
        ASSERT_LT(dataEnd, whole.size());
        for (const size_t size : {whole.size(), (dataEnd + whole.size()) / 2, dataEnd}) {
            const std::string cut = m_dir.Write("cut.wmv", Bytes(whole.begin(), whole.begin() + ptrdiff_t(size)));
            const CommandResult decoded = DecodeRaw(cut);
            ASSERT_EQ(decoded.exitCode, 0) << video.name << " in " << size << " bytes: " << decoded.err;
            EXPECT_EQ(FloatsFromBytes(decoded.out), reference) << video.name << " in " << size << " bytes";
        }
    }
}
