#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/HeaderProbe.h>

#include <support/AudioFileWriter.h>
#include <support/DecoderChecks.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace Audio::Decode;
using namespace TestAudio;

namespace {

class DecodeFactoryTest : public ::testing::Test {
protected:
    SharedPtr<Stream> Create(const std::string& name, const Bytes& bytes) {
        return CreateStream(m_dir.Write(name, bytes).c_str());
    }

    TempDir m_dir;
    const Bytes m_wav = Wav(1, 1, 8000, 16, IntSamplesLE({1, 2}, 2));
    const Bytes m_aiff = Aiff(1, 16, 8000, IntSamplesBE({1, 2}, 2));
    const Bytes m_aifc =
        Form({AiffComm(1, 2, 16, 8000, std::string("NONE")), AiffSsnd(IntSamplesBE({1, 2}, 2))}, "AIFC");
};

}  // namespace

// The header wins over the extension; without a matching header the extension decides (WAV
// when it names nothing else). The media runtime is beside the test programs: it makes the
// decoder and refuses the file. The compressed AIFF form goes by extension alone.
TEST_F(DecodeFactoryTest, TheHeaderOrElseTheExtensionChoosesTheDecoder) {
    const Bytes noise(64, 0x5A), eleven(m_wav.begin(), m_wav.begin() + 11);
    Bytes rex;
    PutText(rex, "CAT ");
    PutU32BE(rex, 100);
    PutText(rex, "REX2");
    rex.resize(100, 0);
    const std::string opens = "no exception", notRiff = "Invalid RIFF header", notAiff = "Invalid AIFF header",
                      media = "Unable to open file. 0xC00D0002", noRex = "Can't create REX handle: 200";
    const struct {
        const char* name;
        const Bytes& bytes;
        std::optional<Type> type;
        std::string message;
    } cases[] = {{"sound.aif", m_wav, Type::Wav, opens}, {"sound.wav", m_aiff, Type::Aiff, opens},
        {"song.MP3", noise, std::nullopt, ""}, {"song.mp3", noise, std::nullopt, ""},
        {"a.wma", noise, Type::WindowsMedia, media}, {"a.WMV", noise, Type::WindowsMedia, media},
        {"a.asf", noise, Type::WindowsMedia, media}, {"x.AIF", noise, Type::Aiff, notAiff},
        {"x.aiff", noise, Type::Aiff, notAiff}, {"noextension", noise, Type::Wav, notRiff},
        {"x.wav", noise, Type::Wav, notRiff}, {"x.flac", noise, Type::Wav, notRiff},
        {"dotted.name.txt", noise, Type::Wav, notRiff}, {"trailing.", noise, Type::Wav, notRiff},
        {"c.aif", m_aifc, Type::Aiff, opens}, {"c.aifc", m_aifc, Type::Aiff, opens},
        {"c.AIFC", m_aifc, Type::Aiff, opens}, {"c.aiff", m_aifc, Type::Aiff, opens},
        {"c.wav", m_aifc, Type::Wav, notRiff},
        {"tiny.xyz", eleven, Type::Wav, "File size too small to contain a valid RIFF header: 11 bytes"},
        {"tiny.aif", eleven, Type::Aiff, "File size too small to contain a valid AIFF header: 11 bytes"},
        {"loop.rx2", rex, Type::Rex, noRex}, {"loop.wav", rex, Type::Rex, noRex}};
    for (const auto& c : cases) {
        auto stream = Create(c.name, c.bytes);
        ASSERT_EQ(bool(stream), c.type.has_value()) << c.name;
        if (!stream) continue;
        EXPECT_EQ(stream->GetType(), *c.type) << c.name;
        EXPECT_EQ(stream->GetFormat(), Format::Zero()) << c.name << ": made, not opened";
        EXPECT_EQ(BadFormatMessage([&] { stream->OpenForward(); }), c.message) << c.name;
        if (c.message == opens) {
            EXPECT_EQ(stream->GetFormat().SampleRate, 8000u) << c.name;
        }
    }
}

TEST_F(DecodeFactoryTest, MissingAndUnreadableFiles) {
    auto missing = CreateStream((m_dir.Path() + "/missing.aiff").c_str());
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->GetType(), Type::Aiff);
    EXPECT_EQ(BadFormatMessage([&] { missing->OpenForward(); }).rfind("FileIO Error: ", 0), 0u);

    // A folder opens as a stream on this system but cannot be read: no match, then WAV.
    std::filesystem::create_directory(m_dir.Path() + "/folder.wav");
    auto folder = CreateStream((m_dir.Path() + "/folder.wav").c_str());
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->GetType(), Type::Wav);
    EXPECT_NE(BadFormatMessage([&] { folder->OpenForward(); }), "no exception");
}

TEST(DecodeHeaderProbe, TestsInOrderOnAtMostTheFirstBytes) {
    auto probe = [](const std::string& text) {
        return ProbeHeaderBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    EXPECT_EQ(probe("RIFF\1\2\3\4WAVE"), Type::Wav);
    EXPECT_EQ(probe(std::string("FORM\0\0\0\0AIFF", 12)), Type::Aiff);
    EXPECT_EQ(probe(std::string("CAT \0\0\0\0REX2", 12)), Type::Rex);
    EXPECT_EQ(probe("RIFF\1\2\3\4WAV"), std::nullopt);
    EXPECT_EQ(probe(std::string("FORM\0\0\0\0AIFC", 12)), std::nullopt);
    EXPECT_EQ(probe(std::string("RIFX\0\0\0\0WAVE", 12)), std::nullopt);
    EXPECT_EQ(probe(std::string("riff\0\0\0\0wave", 12)), std::nullopt);
    EXPECT_EQ(probe(""), std::nullopt);

    TempDir dir;
    // A file longer than the probe reads is probed by its start.
    Bytes longFile = Wav(1, 1, 8000, 16, Bytes(5000, 0));
    EXPECT_EQ(ProbeHeader(dir.Write("long.bin", longFile).c_str()), Type::Wav);
    EXPECT_EQ(ProbeHeader(dir.Write("short.bin", Bytes(longFile.begin(), longFile.begin() + 12)).c_str()), Type::Wav);
    EXPECT_EQ(
        ProbeHeader(dir.Write("eleven.bin", Bytes(longFile.begin(), longFile.begin() + 11)).c_str()), std::nullopt);
    EXPECT_EQ(ProbeHeader((dir.Path() + "/none").c_str()), std::nullopt);
    EXPECT_EQ(TypeFromExtension("/a/b.c/noext"), Type::Wav);
    EXPECT_EQ(TypeFromExtension("/a/b.Mp3"), Type::Mp3);
    EXPECT_EQ(TypeFromExtension("/a/b.AiFf"), Type::Aiff);
}
