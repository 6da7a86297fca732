#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/HeaderProbe.h>

#include <support/AudioFileWriter.h>
#include <support/DecoderChecks.h>

#include <gtest/gtest.h>

#include <filesystem>

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

TEST_F(DecodeFactoryTest, HeaderWinsOverExtension) {
    auto wavNamedAif = Create("sound.aif", m_wav);
    ASSERT_TRUE(wavNamedAif);
    EXPECT_EQ(wavNamedAif->GetType(), Type::Wav);
    EXPECT_EQ(wavNamedAif->OpenForward().SampleRate, 8000u);

    auto aiffNamedWav = Create("sound.wav", m_aiff);
    ASSERT_TRUE(aiffNamedWav);
    EXPECT_EQ(aiffNamedWav->GetType(), Type::Aiff);
    EXPECT_EQ(aiffNamedWav->OpenForward().SampleRate, 8000u);

    auto wavNamedMp3 = Create("sound.mp3", m_wav);
    ASSERT_TRUE(wavNamedMp3);
    EXPECT_EQ(wavNamedMp3->GetType(), Type::Wav);
    // The decoder is made but not opened.
    EXPECT_EQ(wavNamedMp3->GetFormat(), Format::Zero());
}

TEST_F(DecodeFactoryTest, ExtensionDecidesWhenNoHeaderMatches) {
    const Bytes noise(64, 0x5A);
    EXPECT_FALSE(Create("song.MP3", noise));
    EXPECT_FALSE(Create("song.mp3", noise));
    // The media runtime is beside the test programs: it makes the decoder and refuses the file.
    for (const char* name : {"a.wma", "a.WMV", "a.asf"}) {
        auto media = Create(name, noise);
        ASSERT_TRUE(media) << name;
        EXPECT_EQ(media->GetType(), Type::WindowsMedia);
        EXPECT_EQ(BadFormatMessage([&] { media->OpenForward(); }), "Unable to open file. 0xC00D0002");
    }
    auto aif = Create("x.AIF", noise);
    ASSERT_TRUE(aif);
    EXPECT_EQ(aif->GetType(), Type::Aiff);
    auto aiff = Create("x.aiff", noise);
    ASSERT_TRUE(aiff);
    EXPECT_EQ(aiff->GetType(), Type::Aiff);
    EXPECT_EQ(BadFormatMessage([&] { aiff->OpenForward(); }), "Invalid AIFF header");
    for (const char* name : {"noextension", "x.wav", "x.flac", "dotted.name.txt", "trailing."}) {
        auto wav = Create(name, noise);
        ASSERT_TRUE(wav) << name;
        EXPECT_EQ(wav->GetType(), Type::Wav) << name;
        EXPECT_EQ(BadFormatMessage([&] { wav->OpenForward(); }), "Invalid RIFF header") << name;
    }
}

TEST_F(DecodeFactoryTest, CompressedFormGoesByExtension) {
    for (const char* name : {"c.aif", "c.aifc", "c.AIFC", "c.aiff"}) {
        auto stream = Create(name, m_aifc);
        ASSERT_TRUE(stream) << name;
        EXPECT_EQ(stream->GetType(), Type::Aiff) << name;
        EXPECT_EQ(stream->OpenForward().Channels, 1u) << name;
    }
    auto misnamed = Create("c.wav", m_aifc);
    ASSERT_TRUE(misnamed);
    EXPECT_EQ(misnamed->GetType(), Type::Wav);
    EXPECT_EQ(BadFormatMessage([&] { misnamed->OpenForward(); }), "Invalid RIFF header");
}

TEST_F(DecodeFactoryTest, ShortMissingAndUnreadableFiles) {
    Bytes eleven(m_wav.begin(), m_wav.begin() + 11);
    auto tiny = Create("tiny.xyz", eleven);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->GetType(), Type::Wav);
    EXPECT_EQ(
        BadFormatMessage([&] { tiny->OpenForward(); }), "File size too small to contain a valid RIFF header: 11 bytes");
    auto tinyAif = Create("tiny.aif", eleven);
    ASSERT_TRUE(tinyAif);
    EXPECT_EQ(BadFormatMessage([&] { tinyAif->OpenForward(); }),
        "File size too small to contain a valid AIFF header: 11 bytes");

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

TEST_F(DecodeFactoryTest, LoopFilesGetTheLoopDecoderWhichNeedsTheVendorLibrary) {
    Bytes rex;
    PutText(rex, "CAT ");
    PutU32BE(rex, 100);
    PutText(rex, "REX2");
    rex.resize(100, 0);
    for (const char* name : {"loop.rx2", "loop.wav"}) {
        auto loop = Create(name, rex);
        ASSERT_TRUE(loop) << name;
        EXPECT_EQ(loop->GetType(), Type::Rex);
        EXPECT_EQ(BadFormatMessage([&] { loop->OpenForward(); }), "Can't create REX handle: 200");
    }
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
