#include <QvBase/Audio/Decode/Aiff/AiffDecoder.h>
#include <QvBase/Audio/Decode/ByteOrder.h>
#include <QvBase/Audio/Decode/SampleConversion.h>

#include <support/AudioFileWriter.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace Audio::Decode;

namespace {

double Extended(std::initializer_list<uint16_t> words) {
    uint16_t w[5];
    std::copy(words.begin(), words.end(), w);
    return ExtendedToReal(w);
}

uint32_t Load32(const uint8_t* bytes) {
    uint32_t v;
    std::memcpy(&v, bytes, 4);
    return v;
}

}  // namespace

TEST(DecodeByteOrder, HeaderNumbersFollowTheFileSetting) {
    const uint8_t stored[4] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(FromFileOrder32(Load32(stored), ByteOrder::BigEndian), 0x11223344u);
    EXPECT_EQ(FromFileOrder32(Load32(stored), ByteOrder::LittleEndian), 0x44332211u);
    EXPECT_EQ(FromFileOrder32(Load32(stored), ByteOrder::Unset), 0x44332211u);
    EXPECT_EQ(FromFileOrder16(0x1122, ByteOrder::BigEndian), 0x2211);
    EXPECT_EQ(FromFileOrder16(0x1122, ByteOrder(7)), 0x2211);
    EXPECT_EQ(FromFileOrder16(0x1122, ByteOrder::LittleEndian), 0x1122);
    EXPECT_EQ(FourCC("fmt "), 0x666D7420u);
    EXPECT_EQ(FourCC("data"), 0x64617461u);
    const uint8_t riff[4] = {'R', 'I', 'F', 'F'};
    EXPECT_EQ(FourCC(riff), FourCC("RIFF"));
}

TEST(DecodeByteOrder, ReversesRangesAndSamples) {
    uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    ReverseBytes(bytes, 0);
    ReverseBytes(bytes, 1);
    EXPECT_EQ(bytes[0], 1);
    ReverseBytes(bytes, 5);
    EXPECT_EQ((std::vector<uint8_t>(bytes, bytes + 6)), (std::vector<uint8_t>{5, 4, 3, 2, 1, 6}));
    uint8_t samples[6] = {1, 2, 3, 4, 5, 6};
    ReverseEachSample(samples, 2, 3);
    EXPECT_EQ((std::vector<uint8_t>(samples, samples + 6)), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    ReverseEachSample(samples, 3, 2);
    EXPECT_EQ((std::vector<uint8_t>(samples, samples + 6)), (std::vector<uint8_t>{2, 3, 6, 1, 4, 5}));
    ReverseEachSample(samples, 6, 1);
    EXPECT_EQ(samples[0], 2);
}

TEST(DecodeSampleConversion, IntegerToRealOfTwentyFourBitSamples) {
    const uint8_t mostNegative[3] = {0x00, 0x00, 0x80};
    const uint8_t largest[3] = {0xFF, 0xFF, 0x7F};
    const uint8_t minusOne[3] = {0xFF, 0xFF, 0xFF};
    const uint8_t zero[3] = {0, 0, 0};
    EXPECT_EQ(IntegerToReal(mostNegative, 3, kScale24), -1.0);
    EXPECT_EQ(IntegerToReal(largest, 3, kScale24), 8388607.0 * std::ldexp(1.0, -23));
    EXPECT_EQ(IntegerToReal(minusOne, 3, kScale24), -std::ldexp(1.0, -23));
    EXPECT_EQ(IntegerToReal(zero, 3, kScale24), 0.0);
    EXPECT_EQ(kScale24, 1.1920929e-7f);
    // Other widths follow the same rule.
    const uint8_t s16[2] = {0x00, 0x80};
    EXPECT_EQ(IntegerToReal(s16, 2, 1.0f), -32768.0);
    const uint8_t s32[4] = {0xFE, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(IntegerToReal(s32, 4, 1.0f), 2147483646.0);
}

TEST(DecodeSampleConversion, FastTwentyFourBitPathsEqualTheByteLoop) {
    std::mt19937 random(24);
    std::vector<uint8_t> stored(3 * 4096);
    for (auto& b : stored) b = uint8_t(random());
    // Include the extremes.
    const uint8_t edges[] = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0};
    std::copy(std::begin(edges), std::end(edges), stored.begin());
    const size_t n = stored.size() / 3;
    std::vector<float> floats(n);
    std::vector<double> doubles(n);
    Convert24ToFloat(stored.data(), n, floats.data());
    Convert24ToDouble(stored.data(), n, doubles.data());
    for (size_t i = 0; i < n; ++i) {
        const double expected = IntegerToReal(&stored[3 * i], 3, kScale24);
        ASSERT_EQ(floats[i], float(expected)) << i;
        ASSERT_EQ(doubles[i], expected) << i;
    }
}

TEST(DecodeSampleConversion, WidensBigEndianTwentyFourBitInPlace) {
    // 2 stereo frames: 12 stored bytes become 4 floats in the same buffer.
    std::vector<int32_t> values = {-8388608, 8388607, -1, 4660};
    TestAudio::Bytes stored = TestAudio::IntSamplesBE(values, 3);
    std::vector<uint8_t> buffer(16, 0xEE);
    std::copy(stored.begin(), stored.end(), buffer.begin());
    Widen24BigEndianToFloatInPlace(buffer.data(), 4);
    float out[4];
    std::memcpy(out, buffer.data(), 16);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(out[i], float(values[i]) * kScale24) << i;

    // A long run, to catch any overlap fault between stored samples and floats.
    std::mt19937 random(3);
    std::vector<int32_t> many(1000);
    for (auto& v : many) v = int32_t(random() % 16777216) - 8388608;
    TestAudio::Bytes manyStored = TestAudio::IntSamplesBE(many, 3);
    std::vector<uint8_t> manyBuffer(many.size() * 4);
    std::copy(manyStored.begin(), manyStored.end(), manyBuffer.begin());
    Widen24BigEndianToFloatInPlace(manyBuffer.data(), many.size());
    for (size_t i = 0; i < many.size(); ++i) {
        float f;
        std::memcpy(&f, &manyBuffer[4 * i], 4);
        ASSERT_EQ(f, float(many[i]) * kScale24) << i;
    }
}

TEST(DecodeSampleConversion, ExtendedNumbers) {
    EXPECT_EQ(Extended({0x400E, 0xAC44, 0, 0, 0}), 44100.0);
    EXPECT_EQ(Extended({0x400D, 0xFA00, 0, 0, 0}), 32000.0);
    EXPECT_EQ(Extended({0xC00E, 0xAC44, 0, 0, 0}), -44100.0);
    EXPECT_EQ(Extended({0, 0, 0, 0, 0}), 0.0);
    // The writer's encoding reads back for a spread of rates, fractional ones included.
    for (double rate : {1000.0, 8000.0, 11025.0, 22050.0, 48000.0, 96000.0, 192000.0, 999.6, 999.4, 1e6}) {
        const auto bytes = TestAudio::Extended(rate);
        uint16_t words[5];
        for (int i = 0; i < 5; ++i) words[i] = uint16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        EXPECT_EQ(ExtendedToReal(words), rate) << rate;
    }
    // Largest exponent: far beyond any rate, but a number, not a crash.
    EXPECT_TRUE(std::isinf(Extended({0x7FFF, 0x8000, 0, 0, 0})) || Extended({0x7FFF, 0x8000, 0, 0, 0}) > 1e300);
}

TEST(DecodeSampleConversion, SampleRatesRoundHalfAwayFromZeroAndRefuseNonNumbers) {
    EXPECT_EQ(AIFF::RoundedSampleRate(999.6), 1000u);
    EXPECT_EQ(AIFF::RoundedSampleRate(999.4), 999u);
    EXPECT_EQ(AIFF::RoundedSampleRate(44100.5), 44101u);
    EXPECT_EQ(AIFF::RoundedSampleRate(-0.4), 0u);
    EXPECT_EQ(AIFF::RoundedSampleRate(4294967295.0), 4294967295u);
    EXPECT_FALSE(AIFF::RoundedSampleRate(4294967295.5));
    EXPECT_FALSE(AIFF::RoundedSampleRate(-1.0));
    EXPECT_FALSE(AIFF::RoundedSampleRate(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(AIFF::RoundedSampleRate(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(AIFF::RoundedSampleRate(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(AIFF::RoundedSampleRate(1e300));
}
