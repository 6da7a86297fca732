#include <QvBase/Audio/Decode/ByteOrder.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Wav/WavDecoder.h>

#include <support/AudioFileWriter.h>
#include <support/DecoderChecks.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <optional>
#include <string>

using namespace Audio::Decode;
using namespace TestAudio;

namespace {

class WavDecoderTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes, const std::string& name = "test.wav") { return m_dir.Write(name, bytes); }

    // The message with which opening these bytes fails.
    std::string OpenFailure(const Bytes& bytes) {
        WAV::Decoder decoder(Write(bytes).c_str());
        return BadFormatMessage([&] { decoder.Open(); });
    }

    TempDir m_dir;
};

// Read system calls this process has made so far, when the system counts them.
std::optional<uint64_t> ReadSystemCalls() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "syscr:") return value;
    return std::nullopt;
}

std::vector<int32_t> Ramp(size_t count, int32_t start, int32_t step) {
    std::vector<int32_t> v(count);
    for (size_t i = 0; i < count; ++i) v[i] = start + int32_t(i) * step;
    return v;
}

}  // namespace

TEST_F(WavDecoderTest, EmptyAndPartialDataChunks) {
    const std::string empty = Write(Wav(1, 2, 44100, 16, {}));
    ASSERT_EQ(std::filesystem::file_size(empty), 44u);
    WAV::Decoder decoder(empty.c_str());
    EXPECT_EQ(decoder.GetType(), Type::Wav);
    EXPECT_EQ(decoder.GetFormat(), Format::Zero());
    EXPECT_EQ(decoder.Open(), (Format{2, 2, 44100, 0, 0}));
    EXPECT_EQ(decoder.GetTotalFrames(), 0u);
    std::vector<float> out(8);
    uint32_t read = 99;
    decoder.ReadFloatInterleaved(4, out.data(), read);
    EXPECT_EQ(read, 0u);

    // 10 bytes of 16-bit stereo: 2 frames, the trailing 2 bytes ignored.
    WAV::Decoder partial(Write(Wav(1, 2, 44100, 16, Bytes(10, 0)), "partial.wav").c_str());
    partial.Open();
    EXPECT_EQ(partial.GetTotalFrames(), 2u);
}

TEST_F(WavDecoderTest, KeepsOtherChunksAndWalksOverPadBytes) {
    Chunk list{"LIST", {'I', 'N', 'F', 'O', 'x'}, std::nullopt, true};  // odd size, padded
    Chunk junk{"junk", {}, std::nullopt, true};
    const Bytes samples = IntSamplesLE({100, -100, 200, -200}, 2);
    const std::string path = Write(Riff({WavFmt(1, 2, 8000, 16), list, junk, DataChunk(samples)}));
    WAV::Decoder decoder(path.c_str());
    decoder.Open();
    EXPECT_EQ(decoder.GetTotalFrames(), 2u);
    EXPECT_TRUE(decoder.HasChunk(FourCC("LIST")));
    EXPECT_TRUE(decoder.HasChunk(FourCC("junk")));
    EXPECT_FALSE(decoder.HasChunk(FourCC("fmt ")));
    EXPECT_FALSE(decoder.HasChunk(FourCC("data")));

    std::vector<uint8_t> bytes{1, 2, 3};
    decoder.ReadChunk(FourCC("LIST"), bytes);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'I', 'N', 'F', 'O', 'x'}));
    decoder.ReadChunk(FourCC("junk"), bytes);
    EXPECT_TRUE(bytes.empty());
    bytes = {9};
    decoder.ReadChunk(FourCC("none"), bytes);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(bytes.capacity(), 0u);

    // Reading chunks leaves the sample read point where it was.
    int16_t out[4];
    uint32_t read = 0;
    decoder.ReadInt16Interleaved(2, out, read);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ((std::vector<int16_t>(out, out + 4)), (std::vector<int16_t>{100, -100, 200, -200}));

    // Data before the format chunk, and an odd chunk at the very end without its pad byte.
    Chunk tail{"tail", {7}, std::nullopt, false};
    WAV::Decoder reordered(Write(Riff({DataChunk(samples), WavFmt(1, 2, 8000, 16), tail}), "reordered.wav").c_str());
    reordered.Open();
    EXPECT_EQ(reordered.GetTotalFrames(), 2u);
    reordered.ReadChunk(FourCC("tail"), bytes);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{7}));

    // Later format and data chunks are skipped.
    WAV::Decoder twice(Write(Riff({WavFmt(1, 1, 8000, 16), DataChunk(IntSamplesLE({5}, 2)), WavFmt(1, 2, 9000, 16),
                                 DataChunk(Bytes(40, 0))}),
        "twice.wav")
                           .c_str());
    EXPECT_EQ(twice.Open(), (Format{1, 2, 8000, 0, 0}));
    EXPECT_EQ(twice.GetTotalFrames(), 1u);
}

TEST_F(WavDecoderTest, HeaderFailuresCarryTheirMessages) {
    EXPECT_EQ(OpenFailure(Bytes(11, 'R')), "File size too small to contain a valid RIFF header: 11 bytes");
    EXPECT_EQ(OpenFailure(Riff({}, "WAVX")), "Invalid RIFF header");
    EXPECT_EQ(OpenFailure(Riff({DataChunk(Bytes(4, 0))})), "Didn't find common chunk");
    EXPECT_EQ(OpenFailure(Riff({WavFmt(1, 1, 8000, 16)})), "Didn't find data chunk");

    Chunk shortFormat = WavFmt(1, 1, 8000, 16);
    shortFormat.body.resize(14);
    EXPECT_EQ(OpenFailure(Riff({shortFormat, DataChunk({})})), "Format chunk is 14 bytes, expected at least 16 bytes");
    EXPECT_EQ(OpenFailure(Wav(1, 0, 8000, 16, {})), "Bad number of channels: 0");
    EXPECT_EQ(OpenFailure(Wav(1, 1, 0, 16, {})), "Bad sampling rate: 0");
    EXPECT_EQ(OpenFailure(Wav(2, 1, 8000, 16, {})), "Bad wave format tag: 2");
    EXPECT_EQ(OpenFailure(Wav(0x8000, 1, 8000, 16, {})), "Bad wave format tag: -32768");
    EXPECT_EQ(OpenFailure(Wav(3, 1, 8000, 16, {})), "Unsupported bit depth / wave format combination: 16/3");
    EXPECT_EQ(OpenFailure(Wav(1, 1, 8000, 0, {})), "Unsupported bit depth / wave format combination: 0/1");
    EXPECT_EQ(OpenFailure(Wav(1, 1, 8000, 12, {})), "Unsupported bit depth / wave format combination: 12/1");
    EXPECT_EQ(OpenFailure(Wav(3, 1, 8000, 64, {})), "Unsupported bit depth / wave format combination: 64/3");
}

TEST_F(WavDecoderTest, SizesPastTheEndEndTheWalk) {
    // A data chunk that claims more than the file holds is never recorded.
    Chunk lying = DataChunk(Bytes(8, 0));
    lying.declaredSize = 1000;
    EXPECT_EQ(OpenFailure(Riff({WavFmt(1, 1, 8000, 16), lying})), "Didn't find data chunk");
    // So does any chunk before it whose size runs past the end, up to sizes near 2^32.
    for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFFEu, 0x80000000u, 0x7FFFFFFFu}) {
        Chunk huge{"huge", Bytes(4, 0), size, true};
        EXPECT_EQ(OpenFailure(Riff({WavFmt(1, 1, 8000, 16), huge, DataChunk(Bytes(8, 0))})), "Didn't find data chunk")
            << size;
        Chunk hugeData = DataChunk(Bytes(8, 0));
        hugeData.declaredSize = size;
        EXPECT_EQ(OpenFailure(Riff({WavFmt(1, 1, 8000, 16), hugeData})), "Didn't find data chunk") << size;
    }
    // The RIFF size is ignored, whatever it says.
    WAV::Decoder decoder(Write(Riff({WavFmt(1, 1, 8000, 16), DataChunk(Bytes(8, 0))}, "WAVE", 0xFFFFFFFF)).c_str());
    decoder.Open();
    EXPECT_EQ(decoder.GetTotalFrames(), 4u);
    // A truncated header: the fmt chunk's size runs past the end.
    Bytes truncated = Riff({WavFmt(1, 1, 8000, 16)});
    truncated.resize(truncated.size() - 4);
    EXPECT_EQ(OpenFailure(truncated), "Didn't find common chunk");
}

TEST_F(WavDecoderTest, ExtensibleFormat) {
    const Bytes samples = FloatSamplesLE({0.5f, -0.25f, 1.0f, 0.0f, -1.0f, 0.125f});
    const std::string path = Write(Riff({WavFmtExtensible(6, 48000, 32, 0x3F, FloatGuid()), DataChunk(samples)}));
    WAV::Decoder decoder(path.c_str());
    EXPECT_EQ(decoder.Open(), (Format{6, 4, 48000, 1, 0x3F}));
    EXPECT_EQ(ReadAllDeinterleaved(decoder), (std::vector<float>{0.5f, -0.25f, 1.0f, 0.0f, -1.0f, 0.125f}));

    WAV::Decoder pcm(
        Write(Riff({WavFmtExtensible(2, 44100, 24, 3, PcmGuid()), DataChunk(IntSamplesLE({-8388608, 8388607}, 3))}),
            "pcm.wav")
            .c_str());
    EXPECT_EQ(pcm.Open(), (Format{2, 3, 44100, 0, 3}));
    EXPECT_EQ(ReadAllDeinterleaved(pcm), (std::vector<float>{-1.0f, 8388607.0f / 8388608.0f}));

    EXPECT_EQ(OpenFailure(Riff({WavFmtExtensible(2, 44100, 16, 3, PcmGuid(), 0), DataChunk({})})),
        "Expected wave format extensible chunk, only 0 extra bytes");
    Guid odd{0x12345678, 0xABCD, 0x0001, {0x00, 0x01, 0x02, 0xA0, 0xFF, 0x10, 0x0F, 0x09}};
    EXPECT_EQ(OpenFailure(Riff({WavFmtExtensible(2, 44100, 16, 3, odd), DataChunk({})})),
        "Invalid wave format extensible subtype GUID 12345678/ABCD/1/012A0FF10F9");
}

TEST_F(WavDecoderTest, RefusesExtensibleChunksThatCannotHoldTheirExtension) {
    // A 16-byte chunk with the extensible tag: its extension would come from the next chunk.
    Chunk bare = WavFmt(0xFFFE, 2, 44100, 16);
    Chunk next{"next", Bytes(24, 0x16), std::nullopt, true};
    EXPECT_EQ(
        OpenFailure(Riff({bare, next, DataChunk({})})), "Expected wave format extensible chunk, only 0 extra bytes");
    // An extension size that promises 22 bytes in a chunk that holds fewer.
    Chunk shortExtension = WavFmtExtensible(2, 44100, 16, 3, PcmGuid());
    shortExtension.body.resize(24);
    EXPECT_EQ(OpenFailure(Riff({shortExtension, next, DataChunk({})})),
        "Format chunk is 24 bytes, expected at least 40 bytes");
    // 0 bits per sample would give frames of 0 bytes.
    EXPECT_EQ(OpenFailure(Riff({WavFmtExtensible(2, 44100, 0, 3, PcmGuid()), DataChunk(Bytes(8, 0))})),
        "Unsupported bit depth / wave format combination: 0/-2");
    // Widths the extensible path lets through open, but do not convert.
    WAV::Decoder wide(Write(Riff({WavFmtExtensible(1, 8000, 64, 4, FloatGuid()), DataChunk(Bytes(16, 0))})).c_str());
    EXPECT_EQ(wide.Open(), (Format{1, 8, 8000, 1, 4}));
    EXPECT_EQ(wide.GetTotalFrames(), 2u);
    std::vector<float> out(2);
    uint32_t read = 5;
    EXPECT_EQ(BadFormatMessage([&] { wide.ReadFloatInterleaved(2, out.data(), read); }),
        "ReadFloatInterleaved 2 called, unsupported conversion");
    EXPECT_EQ(read, 0u);
    std::vector<uint8_t> raw(16, 1);
    wide.ReadRawInterleaved(2, raw.data(), read);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ(raw, std::vector<uint8_t>(16, 0));
}

TEST_F(WavDecoderTest, EveryReadOfSixteenBitStereo) {
    const std::vector<int32_t> values = {-32768, 32767, 0, 1, -1, 16384, 1000, -1000};
    const std::string path = Write(Wav(1, 2, 22050, 16, IntSamplesLE(values, 2)));
    WAV::Decoder decoder(path.c_str());
    decoder.Open();
    ASSERT_EQ(decoder.GetTotalFrames(), 4u);

    std::vector<float> floats(8);
    uint32_t read = 0;
    decoder.ReadFloatInterleaved(4, floats.data(), read);
    ASSERT_EQ(read, 4u);
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(floats[i], float(values[i]) / 32768.0f) << i;
    EXPECT_EQ(decoder.GetPosition(), 4u);

    decoder.Seek(0);
    std::vector<double> doubles(8);
    decoder.ReadFloatInterleaved(4, doubles.data(), read);
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(doubles[i], double(values[i]) / 32768.0) << i;

    decoder.Seek(1);
    int16_t left[3], right[3];
    int16_t* channels[2] = {left, right};
    decoder.ReadInt16Deinterleaved(3, channels, read);
    ASSERT_EQ(read, 3u);
    EXPECT_EQ((std::vector<int16_t>(left, left + 3)), (std::vector<int16_t>{0, -1, 1000}));
    EXPECT_EQ((std::vector<int16_t>(right, right + 3)), (std::vector<int16_t>{1, 16384, -1000}));

    decoder.Seek(2);
    uint8_t raw[8];
    decoder.ReadRawInterleaved(2, raw, read);
    const Bytes expected = IntSamplesLE({-1, 16384, 1000, -1000}, 2);
    EXPECT_EQ(Bytes(raw, raw + 8), expected);
}

TEST_F(WavDecoderTest, TwentyFourAndThirtyTwoBitAndFloatReads) {
    WAV::Decoder s24(Write(Wav(1, 1, 8000, 24, IntSamplesLE({-8388608, 8388607, -1, 0}, 3)), "a.wav").c_str());
    s24.Open();
    std::vector<double> d(4);
    uint32_t read = 0;
    s24.ReadFloatInterleaved(4, d.data(), read);
    EXPECT_EQ(d, (std::vector<double>{-1.0, 8388607.0 / 8388608.0, -1.0 / 8388608.0, 0.0}));
    int16_t none[4];
    EXPECT_EQ(BadFormatMessage([&] { s24.ReadInt16Interleaved(4, none, read); }),
        "ReadInt16Interleaved 0 called, unsupported conversion");

    WAV::Decoder s32(Write(Wav(1, 1, 8000, 32, IntSamplesLE({INT32_MIN, INT32_MAX, 256, -256}, 4)), "b.wav").c_str());
    s32.Open();
    std::vector<float> f(4);
    s32.ReadFloatInterleaved(4, f.data(), read);
    EXPECT_EQ(f, (std::vector<float>{-1.0f, 1.0f, 256.0f / 2147483648.0f, -256.0f / 2147483648.0f}));
    s32.Seek(0);
    s32.ReadFloatInterleaved(4, d.data(), read);
    EXPECT_EQ(d, (std::vector<double>{-1.0, 2147483647.0 / 2147483648.0, 256.0 / 2147483648.0, -256.0 / 2147483648.0}));

    // 16-bit integers from floats: times 2^15, truncated toward zero, saturated.
    WAV::Decoder f32(
        Write(Wav(3, 2, 8000, 32, FloatSamplesLE({0.5f, -1.0f, 1.0f, 0.99999f, -2.0f, 1e-9f})), "c.wav").c_str());
    EXPECT_EQ(f32.Open(), (Format{2, 4, 8000, 1, 0}));
    int16_t s16[6];
    f32.ReadInt16Interleaved(3, s16, read);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ((std::vector<int16_t>(s16, s16 + 6)), (std::vector<int16_t>{16384, -32768, 32767, 32767, -32768, 0}));
    f32.Seek(0);
    d.resize(6);
    f32.ReadFloatInterleaved(3, d.data(), read);
    EXPECT_EQ(d[0], 0.5);
    EXPECT_EQ(d[3], double(0.99999f));
}

TEST_F(WavDecoderTest, EightBitFilesOpenButOnlyReadRaw) {
    WAV::Decoder decoder(Write(Wav(1, 1, 8000, 8, Bytes{0x00, 0x80, 0xFF})).c_str());
    EXPECT_EQ(decoder.Open(), (Format{1, 1, 8000, 0, 0}));
    EXPECT_EQ(decoder.GetTotalFrames(), 3u);
    uint32_t read = 7;
    EXPECT_EQ(BadFormatMessage([&] { ReadAllDeinterleaved(decoder); }),
        "ReadFloatInterleaved 3 called, unsupported conversion");
    double d[3];
    EXPECT_EQ(BadFormatMessage([&] { decoder.ReadFloatInterleaved(3, d, read); }),
        "ReadFloatInterleaved 3 called, unsupported conversion");
    EXPECT_EQ(read, 0u);
    int16_t* channel[1] = {nullptr};
    EXPECT_EQ(BadFormatMessage([&] { decoder.ReadInt16Deinterleaved(2, channel, read); }),
        "ReadInt16Interleaved 2 called, unsupported conversion");
    uint8_t raw[3];
    decoder.ReadRawInterleaved(5, raw, read);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(Bytes(raw, raw + 3), (Bytes{0x00, 0x80, 0xFF}));
}

TEST_F(WavDecoderTest, ReadsAreCutToTheFramesRemaining) {
    const std::string path = Write(Wav(1, 1, 8000, 16, IntSamplesLE(Ramp(10, 0, 1), 2)));
    WAV::Decoder decoder(path.c_str());
    decoder.Open();
    std::vector<float> out(1000, -5.0f);
    float* channel[1] = {out.data()};
    uint32_t read = 0;
    decoder.ReadFloatDeinterleaved(1000, channel, read);
    EXPECT_EQ(read, 10u);
    EXPECT_EQ(decoder.GetPosition(), 10u);
    EXPECT_EQ(out[9], 9.0f / 32768.0f);
    EXPECT_EQ(out[10], -5.0f);
    decoder.ReadFloatDeinterleaved(1000, channel, read);
    EXPECT_EQ(read, 0u);
    decoder.ReadFloatDeinterleaved(0, channel, read);
    EXPECT_EQ(read, 0u);
    // The largest request there is, on a file of 10 frames.
    decoder.Seek(4);
    decoder.ReadFloatDeinterleaved(0xFFFFFFFFu, channel, read);
    EXPECT_EQ(read, 6u);
    EXPECT_EQ(out[0], 4.0f / 32768.0f);
}

TEST_F(WavDecoderTest, SeekAndTheOpenState) {
    const std::string path = Write(Wav(1, 2, 8000, 16, IntSamplesLE(Ramp(20, -10, 1), 2)));
    WAV::Decoder decoder(path.c_str());
    uint32_t read = 3;
    float out[20];
    double d[2];
    float* fc[2] = {out, out + 10};
    int16_t s[4];
    int16_t* sc[2] = {s, s + 2};
    const std::pair<std::function<void()>, const char*> unsynced[] = {
        {[&] { decoder.ReadFloatInterleaved(5, out, read); }, "ReadFloatInterleaved 5 when not sync'd"},
        {[&] { decoder.ReadFloatInterleaved(6, d, read); }, "ReadFloatInterleaved 6 when not sync'd"},
        {[&] { decoder.ReadFloatDeinterleaved(7, fc, read); }, "ReadFloatDeinterleaved 7 when not sync'd"},
        {[&] { decoder.ReadInt16Deinterleaved(8, sc, read); }, "ReadInt16Deinterleaved 8 when not sync'd"},
        {[&] { decoder.ReadInt16Interleaved(9, s, read); }, "ReadInt16Interleaved 9 when not sync'd"},
        {[&] { decoder.ReadRawInterleaved(0, s, read); }, "ReadRawInterleaved 0 when not sync'd"}};
    for (const auto& [call, message] : unsynced) {
        read = 3;
        EXPECT_EQ(BadFormatMessage(call), message);
        EXPECT_EQ(read, 0u) << message;
    }
    EXPECT_EQ(BadFormatMessage([&] { decoder.Seek(0); }), "no exception");
    EXPECT_EQ(BadFormatMessage([&] { decoder.Seek(3); }), "Seek to 3 when not sync'd");

    const Format format = decoder.Open();
    EXPECT_EQ(decoder.Open(), format);
    EXPECT_EQ(decoder.OpenForward(), format);
    EXPECT_EQ(decoder.GetTotalFrames(), 10u);
    EXPECT_EQ(decoder.GetFramesRemaining(), 10u);
    decoder.Seek(10);
    EXPECT_EQ(decoder.GetFramesRemaining(), 0u);
    EXPECT_EQ(BadFormatMessage([&] { decoder.Seek(11); }), "Seek to 11, total sample frames 10");
    decoder.Seek(7);
    int16_t frames[6];
    decoder.ReadInt16Interleaved(3, frames, read);
    EXPECT_EQ(frames[0], 4);
    EXPECT_EQ(frames[5], 9);

    decoder.Close();
    EXPECT_EQ(decoder.GetFramesRemaining(), 0u);
    EXPECT_EQ(decoder.GetTotalFrames(), 10u);
    EXPECT_EQ(BadFormatMessage([&] { decoder.ReadInt16Interleaved(1, frames, read); }),
        "ReadInt16Interleaved 1 when not sync'd");
    decoder.Close();
    // Opening again starts over.
    decoder.Open();
    EXPECT_EQ(decoder.GetPosition(), 0u);
    decoder.ReadInt16Interleaved(1, frames, read);
    EXPECT_EQ(frames[0], -10);
}

TEST_F(WavDecoderTest, FileErrorsBecomeBadFormat) {
    WAV::Decoder missing((m_dir.Path() + "/missing.wav").c_str());
    const std::string message = BadFormatMessage([&] { missing.Open(); });
    EXPECT_EQ(message.rfind("FileIO Error: ", 0), 0u) << message;
    EXPECT_NE(message.find("missing.wav"), std::string::npos) << message;

    // Chunks of a closed decoder: the file is not open.
    std::vector<uint8_t> bytes;
    EXPECT_EQ(BadFormatMessage([&] { missing.ReadChunk(FourCC("LIST"), bytes); }).rfind("FileIO Error: ", 0), 0u);

    // A file cut short after it was opened fails at the read, with the short-read text.
    // (Larger than any stream buffer, so that the cut is seen.)
    const std::string path = Write(Wav(1, 1, 8000, 16, Bytes(2000000, 1)));
    WAV::Decoder decoder(path.c_str());
    decoder.Open();
    std::filesystem::resize_file(path, 100);
    std::vector<float> out(1000000);
    uint32_t read = 0;
    const std::string shortRead = BadFormatMessage([&] { decoder.ReadFloatInterleaved(1000000, out.data(), read); });
    EXPECT_EQ(shortRead.rfind("FileIO Error: ", 0), 0u) << shortRead;
    EXPECT_NE(shortRead.find(", only read "), std::string::npos) << shortRead;
    EXPECT_LT(read, 1000000u);
}

TEST_F(WavDecoderTest, LongReadsCrossManyBlocks) {
    // Enough frames for several internal blocks, with a channel count that does not divide them.
    const uint32_t channels = 3, frames = 50001;
    std::vector<int32_t> values(size_t(channels) * frames);
    for (size_t i = 0; i < values.size(); ++i) values[i] = int32_t((i * 7919) % 65536) - 32768;
    WAV::Decoder decoder(Write(Wav(1, channels, 44100, 16, IntSamplesLE(values, 2))).c_str());
    decoder.Open();
    const std::vector<float> all = ReadAllDeinterleaved(decoder);
    ASSERT_EQ(all.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) ASSERT_EQ(all[i], float(values[i]) / 32768.0f) << i;
    decoder.Seek(1);
    std::vector<int16_t> interleaved(values.size());
    uint32_t read = 0;
    decoder.ReadInt16Interleaved(frames, interleaved.data(), read);
    ASSERT_EQ(read, frames - 1);
    for (size_t i = 0; i < size_t(read) * channels; ++i) ASSERT_EQ(interleaved[i], values[i + channels]) << i;
}

TEST(DecodeException, DescriptionsEndWithTheDetailAndTheCode) {
    const Audio::Decode::Exception::BadFormat error("Invalid RIFF header", "/tmp/x 100%1.wav");
    const std::string description = error.Description().CStr();
    EXPECT_EQ(error.Message(), "Invalid RIFF header");
    EXPECT_EQ(error.Detail(), "/tmp/x 100%1.wav");
    const std::string ending = "\nBadFormat: '/tmp/x 100%1.wav'\n";
    ASSERT_GE(description.size(), ending.size());
    EXPECT_EQ(description.substr(description.size() - ending.size()), ending);
    EXPECT_EQ(description.rfind("Base:\n\tInvalid RIFF header\n", 0), 0u);

    const Audio::Decode::Exception::DecodeError decodeError("Reader failed", "a.wma", -2147024894);
    const Audio::Decode::Exception::BadFormat& asBase = decodeError;
    const std::string full = asBase.Description().CStr();
    const std::string codeEnding = "\nBadFormat: 'a.wma'\n\nDecodeError: -2147024894\n";
    ASSERT_GE(full.size(), codeEnding.size());
    EXPECT_EQ(full.substr(full.size() - codeEnding.size()), codeEnding);
    EXPECT_EQ(decodeError.Code(), -2147024894);
    const Audio::Decode::Exception::DecodeError copy = decodeError;
    EXPECT_EQ(std::string(copy.Description().CStr()), full);
}

TEST_F(WavDecoderTest, EveryTruncationOfAFileIsRefusedCleanly) {
    Chunk list{"LIST", {'I', 'N', 'F', 'O', 'x'}, std::nullopt, true};
    const Bytes whole = Riff({WavFmt(1, 2, 8000, 16), list, DataChunk(IntSamplesLE(Ramp(8, 0, 3), 2))});
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::string message = OpenFailure(Bytes(whole.begin(), whole.begin() + length));
        if (length < 12)
            EXPECT_EQ(
                message, "File size too small to contain a valid RIFF header: " + std::to_string(length) + " bytes");
        else if (length < 12 + 8 + 16)
            EXPECT_EQ(message, "Didn't find common chunk") << length;
        else
            EXPECT_EQ(message, "Didn't find data chunk") << length;
    }
    EXPECT_EQ(OpenFailure(whole), "no exception");
}

TEST_F(WavDecoderTest, FailuresAreLocatedWhereTheDecoderFoundThem) {
    WAV::Decoder decoder(Write(Riff({}, "WAVX")).c_str());
    try {
        decoder.Open();
        FAIL() << "no exception";
    } catch (const Audio::Decode::Exception::BadFormat& error) {
        EXPECT_NE(std::string(error.SourceFile().CStr()).find("WavDecoder.cpp"), std::string::npos)
            << error.SourceFile().CStr();
        EXPECT_GT(error.Line(), 0);
        const std::string description = error.Description().CStr();
        EXPECT_NE(description.find("WavDecoder.cpp ("), std::string::npos) << description;
    }
}

TEST_F(WavDecoderTest, ManyTinyChunksAreWalkedWithoutSystemCallsForEach) {
    // A hostile file of nothing but empty chunks: the walk must read it through the stream's
    // buffer, not ask the system about every chunk (which made such files take minutes).
    const uint32_t count = 20000;
    std::vector<Chunk> chunks{WavFmt(1, 1, 8000, 16)};
    for (uint32_t i = 0; i < count; ++i) chunks.push_back(Chunk{"junk", {}, std::nullopt, true});
    chunks.push_back(DataChunk(IntSamplesLE({1, 2}, 2)));
    WAV::Decoder decoder(Write(Riff(chunks)).c_str());
    const auto before = ReadSystemCalls();
    if (!before) GTEST_SKIP() << "the system does not count read calls";
    decoder.Open();
    const auto after = ReadSystemCalls();
    ASSERT_TRUE(after);
    EXPECT_EQ(decoder.GetTotalFrames(), 2u);
    EXPECT_TRUE(decoder.HasChunk(FourCC("junk")));
    EXPECT_LT(*after - *before, count / 10);
}
