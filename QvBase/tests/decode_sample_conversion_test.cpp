#include <QvBase/Audio/Decode/Aiff/AiffDecoder.h>
#include <QvBase/Audio/Decode/ByteOrder.h>
#include <QvBase/Audio/Decode/SampleConversion.h>
#include <QvBase/Audio/Decode/SampleConverter.h>

#include <support/AudioFileWriter.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// Every stored form through the conversion layer, against the byte loop of IntegerToReal (and
// plain truncation for 16-bit targets): random samples with both extremes first.
TEST(DecodeSampleConversion, EveryStoredFormConvertsAsTheByteLoopSays) {
    constexpr auto LE = ByteOrder::LittleEndian;
    constexpr auto BE = ByteOrder::BigEndian;
    struct Case {
        StoredSamples stored;
        bool toFloat, toDouble, toInt16;
    };
    const Case cases[] = {
        {{2, false, LE}, true, true, true},
        {{3, false, LE}, true, true, false},
        {{4, false, LE}, true, true, false},
        {{4, true, LE}, true, true, true},
        {{2, false, BE}, true, false, true},
        {{3, false, BE}, true, false, true},
        {{1, false, LE}, false, false, false},
        {{8, true, LE}, false, false, false},
        {{3, true, LE}, false, false, false},
        {{4, true, BE}, false, false, false},
    };
    std::mt19937 random(24);
    for (const Case& c : cases) {
        const unsigned width = c.stored.Bytes;
        SCOPED_TRACE(std::to_string(width) + (c.stored.Float ? " float " : " int ") +
            (c.stored.Order == BE ? "big-endian" : "little-endian"));
        const SampleConverter converter = ConverterFor(c.stored);
        ASSERT_EQ(converter.Float.Offered, c.toFloat);
        ASSERT_EQ(converter.Double.Offered, c.toDouble);
        ASSERT_EQ(converter.Int16.Offered, c.toInt16);

        const size_t n = 1000;
        std::vector<uint8_t> little(n * width);
        std::vector<double> expected(n);
        for (size_t i = 0; i < n; ++i) {
            uint8_t* sample = &little[i * width];
            if (c.stored.Float && width == 4) {
                const float value = std::uniform_real_distribution<float>(-1.5f, 1.5f)(random);
                std::memcpy(sample, &value, 4);
                expected[i] = value;
                continue;
            }
            for (unsigned k = 0; k < width; ++k) sample[k] = uint8_t(random());
            if (i < 2) {  // the most negative, then the largest
                std::fill(sample, sample + width, i == 0 ? 0x00 : 0xFF);
                sample[width - 1] = i == 0 ? 0x80 : 0x7F;
            }
            expected[i] = IntegerToReal(sample, width, std::ldexp(1.0f, 1 - int(8 * width)));
        }
        std::vector<uint8_t> stored = little;
        if (c.stored.Order == BE) ReverseEachSample(stored.data(), n, width);

        // Each conversion may overwrite what it reads, so each gets its own copy.
        auto convert = [&](const auto& conversion, auto* destination) {
            std::vector<uint8_t> bytes = stored;
            if (conversion.Convert)
                conversion.Convert(bytes.data(), n, destination);
            else
                std::memcpy(destination, bytes.data(), bytes.size());
        };
        if (c.toFloat) {
            std::vector<float> out(n);
            convert(converter.Float, out.data());
            for (size_t i = 0; i < n; ++i) ASSERT_EQ(out[i], float(expected[i])) << i;
        }
        if (c.toDouble) {
            std::vector<double> out(n);
            convert(converter.Double, out.data());
            // 32-bit integers reach doubles without a float in between; the rest are exact as floats.
            for (size_t i = 0; i < n; ++i) ASSERT_EQ(out[i], expected[i]) << i;
        }
        if (c.toInt16) {
            std::vector<int16_t> out(n);
            convert(converter.Int16, out.data());
            for (size_t i = 0; i < n; ++i)
                ASSERT_EQ(out[i], std::clamp(std::trunc(double(float(expected[i])) * 32768.0), -32768.0, 32767.0)) << i;
        }
        std::vector<uint8_t> raw = stored;
        converter.ToLittleEndian(raw.data(), n);
        EXPECT_EQ(raw, little);
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
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::pair<double, uint32_t> rounded[] = {
        {999.6, 1000u}, {999.4, 999u}, {44100.5, 44101u}, {-0.4, 0u}, {4294967295.0, 4294967295u}};
    for (const auto& [rate, expected] : rounded) EXPECT_EQ(AIFF::RoundedSampleRate(rate), expected) << rate;
    for (double refused : {4294967295.5, -1.0, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(), 1e300})
        EXPECT_FALSE(AIFF::RoundedSampleRate(refused)) << refused;
}
