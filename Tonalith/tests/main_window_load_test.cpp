#include "editor_fixture.h"

#include <Tonalith/App/AudioFileLoad.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace UI;

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

// Windows Media is read to its end, once, into buffers sized by what its header says: the
// samples equal ffmpeg's own 16-bit decode bit for bit, and the length is the decode's; a
// file cut short says so.
TEST_F(LoadTest, WindowsMediaIsReadOnceToItsEndAsFfmpegDecodesIt) {
    const struct {
        const char* name;
        int channels, rate;
        double seconds;
    } cases[] = {{"stereo.wma", 2, 44100, 25.3}, {"mono.wma", 1, 8000, 0.7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (m_folder / c.name).string();
        const std::string make =
            "ffmpeg -nostdin -v error -y -f lavfi -i 'anoisesrc=c=pink:a=0.6:r=" + std::to_string(c.rate) +
            ":d=" + std::to_string(c.seconds) + "' -ac " + std::to_string(c.channels) + " -c:a wmav2 '" + file + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        const std::string raw = file + ".s16";
        const std::string decode = "ffmpeg -nostdin -v error -y -i '" + file + "' -f s16le '" + raw + "'";
        ASSERT_EQ(std::system(decode.c_str()), 0) << decode;
        std::ifstream in(raw, std::ios::binary | std::ios::ate);
        std::vector<std::int16_t> reference(std::size_t(in.tellg()) / 2);
        in.seekg(0);
        ASSERT_TRUE(in.read(reinterpret_cast<char*>(reference.data()), std::streamsize(reference.size() * 2)));

        LoadedAudio audio;
        ASSERT_FALSE(LoadAudioFile(String(file), audio).has_value());
        ASSERT_EQ(audio.channels, std::uint32_t(c.channels));
        ASSERT_EQ(std::size_t(audio.frames) * audio.channels, reference.size());
        for (std::uint32_t ch = 0; ch < audio.channels; ++ch) {
            ASSERT_EQ(audio.buffers[ch].size(), audio.frames);
            for (std::uint32_t f = 0; f < audio.frames; ++f)
                ASSERT_EQ(audio.pointers[ch][f], float(reference[std::size_t(f) * audio.channels + ch]) / 32768.0f)
                    << "channel " << ch << ", frame " << f;
        }
    }
    // Cut off half-way, the file is read up to the cut and refused: never a shorter whole.
    std::ifstream whole((m_folder / "stereo.wma").string(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    LoadedAudio cut;
    const std::optional<LoadFailure> failure =
        LoadAudioFile(String(WriteFile("cut.wma", bytes.substr(0, bytes.size() / 2))), cut);
    ASSERT_TRUE(failure.has_value());
    EXPECT_STREQ(failure->caption.CStr(), "Can't read file");
    EXPECT_STREQ(failure->text.CStr(), "An error occurred while reading the selected file");
}

}  // namespace
