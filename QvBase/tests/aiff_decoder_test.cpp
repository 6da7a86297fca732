#include <QvBase/Audio/Decode/Aiff/AiffDecoder.h>
#include <QvBase/Audio/Decode/ByteOrder.h>

#include <support/AudioFileWriter.h>
#include <support/DecoderChecks.h>

#include <gtest/gtest.h>

using namespace Audio::Decode;
using namespace TestAudio;

namespace {

class AiffDecoderTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes, const std::string& name = "test.aiff") { return m_dir.Write(name, bytes); }

    std::string OpenFailure(const Bytes& bytes) {
        AIFF::Decoder decoder(Write(bytes).c_str());
        return BadFormatMessage([&] { decoder.Open(); });
    }

    TempDir m_dir;
};

std::array<uint8_t, 10> RawRate(uint16_t exponent, uint64_t mantissa) {
    std::array<uint8_t, 10> out{};
    out[0] = uint8_t(exponent >> 8);
    out[1] = uint8_t(exponent);
    for (int i = 0; i < 8; ++i) out[2 + i] = uint8_t(mantissa >> (56 - 8 * i));
    return out;
}

}  // namespace

TEST_F(AiffDecoderTest, SixteenBitStereoEveryRead) {
    const std::vector<int32_t> values = {-32768, 32767, 1, -1, 258, -258};
    AIFF::Decoder decoder(Write(Aiff(2, 16, 44100, IntSamplesBE(values, 2))).c_str());
    EXPECT_EQ(decoder.GetType(), Type::Aiff);
    EXPECT_EQ(decoder.GetFormat(), Format::Zero());
    EXPECT_EQ(decoder.Open(), (Format{2, 2, 44100, 0, 0}));
    EXPECT_EQ(decoder.GetTotalFrames(), 3u);

    std::vector<float> expected;
    for (int32_t v : values) expected.push_back(float(v) / 32768.0f);
    EXPECT_EQ(ReadAllDeinterleaved(decoder), expected);

    decoder.Seek(1);
    int16_t s16[4];
    uint32_t read = 0;
    decoder.ReadInt16Interleaved(2, s16, read);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ((std::vector<int16_t>(s16, s16 + 4)), (std::vector<int16_t>{1, -1, 258, -258}));

    decoder.Seek(0);
    int16_t left[3], right[3];
    int16_t* channels[2] = {left, right};
    decoder.ReadInt16Deinterleaved(3, channels, read);
    EXPECT_EQ((std::vector<int16_t>(left, left + 3)), (std::vector<int16_t>{-32768, 1, 258}));
    EXPECT_EQ((std::vector<int16_t>(right, right + 3)), (std::vector<int16_t>{32767, -1, -258}));

    // Raw samples come out little-endian: the file's two bytes exchanged.
    decoder.Seek(2);
    uint8_t raw[4];
    decoder.ReadRawInterleaved(5, raw, read);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(Bytes(raw, raw + 4), IntSamplesLE({258, -258}, 2));

    // The 64-bit read is not provided: it says so, with its count cleared.
    decoder.Seek(0);
    double d[6];
    read = 9;
    EXPECT_EQ(BadFormatMessage([&] { decoder.ReadFloatInterleaved(3, d, read); }),
        "GetNextBlock 3 called, unsupported conversion");
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(decoder.GetPosition(), 0u);
}

TEST_F(AiffDecoderTest, TwentyFourBitMonoAndTheCompressedForm) {
    const std::vector<int32_t> values = {-8388608, 8388607, -1, 0, 4660, -65536};
    AIFF::Decoder decoder(Write(Aiff(1, 24, 96000, IntSamplesBE(values, 3))).c_str());
    EXPECT_EQ(decoder.Open(), (Format{1, 3, 96000, 0, 0}));
    std::vector<float> expected;
    for (int32_t v : values) expected.push_back(float(v) / 8388608.0f);
    EXPECT_EQ(ReadAllDeinterleaved(decoder), expected);

    decoder.Seek(0);
    int16_t s16[6];
    uint32_t read = 0;
    decoder.ReadInt16Interleaved(6, s16, read);
    EXPECT_EQ((std::vector<int16_t>(s16, s16 + 6)), (std::vector<int16_t>{-32768, 32767, 0, 0, 18, -256}));

    decoder.Seek(0);
    uint8_t raw[18];
    decoder.ReadRawInterleaved(6, raw, read);
    EXPECT_EQ(Bytes(raw, raw + 18), IntSamplesLE(values, 3));

    const Bytes samples = IntSamplesBE({7, -7}, 2);
    AIFF::Decoder compressed(
        Write(Form({AiffComm(2, 1, 16, 8000, std::string("NONE")), AiffSsnd(samples)}, "AIFC"), "c.aifc").c_str());
    EXPECT_EQ(compressed.Open(), (Format{2, 2, 8000, 0, 0}));
    EXPECT_EQ(ReadAllDeinterleaved(compressed), (std::vector<float>{7.0f / 32768.0f, -7.0f / 32768.0f}));

    EXPECT_EQ(OpenFailure(Form({AiffComm(2, 1, 16, 8000, std::string("sowt")), AiffSsnd(samples)}, "AIFC")),
        "Bad compression type: " + std::to_string(FourCC("sowt")));
}

TEST_F(AiffDecoderTest, HeaderFailuresCarryTheirMessages) {
    const Bytes samples = IntSamplesBE({1, 2}, 2);
    EXPECT_EQ(OpenFailure(Bytes(11, 'F')), "File size too small to contain a valid AIFF header: 11 bytes");
    EXPECT_EQ(OpenFailure(Form({}, "AIFX")), "Invalid AIFF header");
    EXPECT_EQ(OpenFailure(Riff({}, "AIFF")), "Invalid AIFF header");
    EXPECT_EQ(OpenFailure(Form({AiffSsnd(samples)})), "Didn't find common chunk");
    EXPECT_EQ(OpenFailure(Form({AiffComm(1, 2, 16, 8000)})), "Didn't find sound data chunk");
    EXPECT_EQ(OpenFailure(Form({AiffComm(1, 2, 8, 8000), AiffSsnd(samples)})), "Unsupported bit depth: 8");
    EXPECT_EQ(OpenFailure(Form({AiffComm(1, 2, -16, 8000), AiffSsnd(samples)})), "Unsupported bit depth: -16");
    EXPECT_EQ(OpenFailure(Form({AiffComm(3, 2, 16, 8000), AiffSsnd(samples)})), "Bad number of channels: 3");
    EXPECT_EQ(OpenFailure(Form({AiffComm(0, 2, 16, 8000), AiffSsnd(samples)})), "Bad number of channels: 0");
    EXPECT_EQ(OpenFailure(Form({AiffComm(-1, 2, 16, 8000), AiffSsnd(samples)})), "Bad number of channels: -1");
    Chunk shortCommon = AiffComm(1, 2, 16, 8000);
    shortCommon.body.resize(17);
    EXPECT_EQ(
        OpenFailure(Form({shortCommon, AiffSsnd(samples)})), "Common chunk is 17 bytes, expected at least 18 bytes");
    // The compressed form's compression type must lie inside its common chunk.
    EXPECT_EQ(OpenFailure(Form({AiffComm(1, 2, 16, 8000), AiffSsnd(samples)}, "AIFC")),
        "Common chunk is 18 bytes, expected at least 22 bytes");
    Chunk shortCompressed = AiffComm(1, 2, 16, 8000, std::string("NONE"));
    shortCompressed.body.resize(21);
    EXPECT_EQ(OpenFailure(Form({shortCompressed, AiffSsnd(samples)}, "AIFC")),
        "Common chunk is 21 bytes, expected at least 22 bytes");
}

TEST_F(AiffDecoderTest, SampleRates) {
    const Bytes samples = IntSamplesBE({1}, 2);
    auto open = [&](double rate) { return OpenFailure(Form({AiffComm(1, 1, 16, rate), AiffSsnd(samples)})); };
    for (const auto& [rate, message] : std::initializer_list<std::pair<double, const char*>>{{999.6, "no exception"},
             {999.4, "Bad sampling rate: 999"}, {1000000.0, "no exception"}, {1000000.5, "Bad sampling rate: 1000001"},
             {0.0, "Bad sampling rate: 0"}, {-44100.0, "Bad sampling rate: 0"}})
        EXPECT_EQ(open(rate), message) << rate;
    AIFF::Decoder decoder(Write(Form({AiffComm(1, 1, 16, 999.6), AiffSsnd(samples)}), "r.aiff").c_str());
    EXPECT_EQ(decoder.Open().SampleRate, 1000u);

    // Infinite, NaN and huge extended numbers are refused, not converted.
    auto openRaw = [&](std::array<uint8_t, 10> rate) {
        return OpenFailure(Form({AiffCommRawRate(1, 1, 16, rate), AiffSsnd(samples)}));
    };
    EXPECT_EQ(openRaw(RawRate(0x7FFF, 0x8000000000000000ull)), "Bad sampling rate: 0");
    EXPECT_EQ(openRaw(RawRate(0x7FFF, 0xC000000000000000ull)), "Bad sampling rate: 0");
    EXPECT_EQ(openRaw(RawRate(0x43FF, 0x8000000000000000ull)), "Bad sampling rate: 0");
    EXPECT_EQ(openRaw(RawRate(0xFFFF, 0xFFFFFFFFFFFFFFFFull)), "Bad sampling rate: 0");
    EXPECT_EQ(openRaw(RawRate(0x401E, 0xFFFFFFFF00000000ull)), "Bad sampling rate: 4294967295");
}

TEST_F(AiffDecoderTest, FrameCountMustFitTheSoundData) {
    // 100 bytes that claim 2^32 - 1 frames must not size anyone's buffers.
    EXPECT_EQ(OpenFailure(Form({AiffComm(2, 0xFFFFFFFF, 24, 44100), AiffSsnd(Bytes(20, 0))})),
        "Sound data chunk is 28 bytes, expected at least 25769803778 bytes");
    EXPECT_EQ(OpenFailure(Form({AiffComm(1, 3, 16, 44100), AiffSsnd(Bytes(4, 0))})),
        "Sound data chunk is 12 bytes, expected at least 14 bytes");
    // A sound-data chunk too small for its offset and block size.
    Chunk tiny{"SSND", Bytes(4, 0), std::nullopt, true};
    EXPECT_EQ(
        OpenFailure(Form({AiffComm(1, 0, 16, 44100), tiny})), "Sound data chunk is 4 bytes, expected at least 8 bytes");
    // Exactly enough, and more than enough (the rest is ignored).
    AIFF::Decoder exact(Write(Form({AiffComm(1, 2, 16, 44100), AiffSsnd(Bytes(4, 0))})).c_str());
    exact.Open();
    EXPECT_EQ(exact.GetTotalFrames(), 2u);
    AIFF::Decoder more(Write(Form({AiffComm(1, 1, 16, 44100), AiffSsnd(Bytes(6, 0))}), "more.aiff").c_str());
    more.Open();
    EXPECT_EQ(more.GetTotalFrames(), 1u);
    // No frames at all opens empty.
    AIFF::Decoder empty(Write(Form({AiffComm(2, 0, 16, 44100), AiffSsnd({})}), "empty.aiff").c_str());
    empty.Open();
    EXPECT_EQ(empty.GetTotalFrames(), 0u);
}

TEST_F(AiffDecoderTest, ChunkWalkAndApplicationChunks) {
    const Bytes samples = IntSamplesBE({300, -300}, 2);
    Chunk odd{"NAME", {'a', 'b', 'c'}, std::nullopt, true};
    Chunk appl{"APPL", {'t', 'e', 's', 't', 1, 2, 3}, std::nullopt, true};
    Chunk shortAppl{"APPL", {'x', 'y'}, std::nullopt, true};
    Chunk secondCommon = AiffComm(2, 5, 24, 8000);
    AIFF::Decoder decoder(
        Write(Form({odd, AiffSsnd(samples), shortAppl, appl, AiffComm(1, 2, 16, 22050), secondCommon}), "walk.aiff")
            .c_str());
    EXPECT_EQ(decoder.Open(), (Format{1, 2, 22050, 0, 0}));
    EXPECT_TRUE(decoder.HasChunk(FourCC("test")));
    EXPECT_FALSE(decoder.HasChunk(FourCC("APPL")));
    EXPECT_FALSE(decoder.HasChunk(FourCC("NAME")));
    // The two-byte chunk keeps nothing: no signature taken from the next chunk's header.
    EXPECT_FALSE(decoder.HasChunk(FourCC("xyAP")));
    std::vector<uint8_t> bytes;
    decoder.ReadChunk(FourCC("test"), bytes);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(ReadAllDeinterleaved(decoder), (std::vector<float>{300.0f / 32768.0f, -300.0f / 32768.0f}));

    // An odd chunk without its pad byte at the very end still ends the walk cleanly.
    Chunk lastOdd{"NAME", {'z'}, std::nullopt, false};
    AIFF::Decoder unpadded(Write(Form({AiffComm(1, 2, 16, 22050), AiffSsnd(samples), lastOdd}), "end.aiff").c_str());
    unpadded.Open();
    EXPECT_EQ(unpadded.GetTotalFrames(), 2u);

    // A sound-data chunk that runs past the end ends the walk before it is recorded.
    Chunk lying = AiffSsnd(samples);
    lying.declaredSize = 0xFFFFFFF0;
    EXPECT_EQ(OpenFailure(Form({AiffComm(1, 2, 16, 22050), lying})), "Didn't find sound data chunk");
}

TEST_F(AiffDecoderTest, EveryTruncationOfAFileIsRefusedCleanly) {
    const Bytes whole = Form({AiffComm(2, 3, 16, 44100), AiffSsnd(IntSamplesBE({1, 2, 3, 4, 5, 6}, 2))});
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::string message = OpenFailure(Bytes(whole.begin(), whole.begin() + length));
        if (length < 12)
            EXPECT_EQ(
                message, "File size too small to contain a valid AIFF header: " + std::to_string(length) + " bytes");
        else if (length < 12 + 8 + 18)
            EXPECT_EQ(message, "Didn't find common chunk") << length;
        else
            EXPECT_EQ(message, "Didn't find sound data chunk") << length;
    }
    EXPECT_EQ(OpenFailure(whole), "no exception");
}
