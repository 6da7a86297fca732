#include <Tonalith/Analysis/Spectrogram/SpectrogramSettings.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

using UI::SpectrogramSettings;
namespace Options = UI::SpectrogramOptions;

TEST(SpectrogramSettings, ByteLayoutRoundTrips) {
    const SpectrogramSettings s;
    EXPECT_TRUE(s.Sanitised() == s);

    SpectrogramSettings t;
    t.type = 2;
    t.bBilinear = 0;
    t.bMel = 1;
    t.ampRange = 60.5f;
    t.fftSize = 11;
    t.zeroPadding = 3;
    t.overlap = 2;
    t.window = 5;
    const std::vector<std::uint8_t> bytes = t.ToBytes();
    ASSERT_EQ(bytes.size(), 28u);
    // Little-endian words; the two flags share the second word with two zero bytes.
    const std::vector<std::uint8_t> expected = {
        2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 11, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0};
    std::vector<std::uint8_t> withoutFloat = bytes;
    float range;
    std::memcpy(&range, bytes.data() + 8, 4);
    EXPECT_EQ(range, 60.5f);
    std::memset(withoutFloat.data() + 8, 0, 4);
    EXPECT_EQ(withoutFloat, expected);

    SpectrogramSettings back;
    ASSERT_TRUE(SpectrogramSettings::FromBytes(bytes, &back));
    EXPECT_TRUE(back == t);
    EXPECT_FALSE(back == s);
}

TEST(SpectrogramSettings, RefusesBlocksOfTheWrongSize) {
    SpectrogramSettings s;
    s.fftSize = 9;
    std::vector<std::uint8_t> bytes = SpectrogramSettings().ToBytes();
    bytes.pop_back();
    EXPECT_FALSE(SpectrogramSettings::FromBytes(bytes, &s));
    bytes.resize(40, 0);
    EXPECT_FALSE(SpectrogramSettings::FromBytes(bytes, &s));
    EXPECT_FALSE(SpectrogramSettings::FromBytes(nullptr, 28, &s));
    EXPECT_FALSE(SpectrogramSettings::FromBytes(std::vector<std::uint8_t>(), &s));
    EXPECT_EQ(s.fftSize, 9u);
}

TEST(SpectrogramSettings, ComparesFieldByFieldWithExactFloats) {
    SpectrogramSettings a, b;
    EXPECT_TRUE(a == b);
    b.spare[0] = 7;  // not a field
    EXPECT_TRUE(a == b);
    b.ampRange = 120.00001f;
    EXPECT_FALSE(a == b);
    a.ampRange = b.ampRange = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(a == b);
}

// An index outside its table becomes the default; the last index of a table and the other
// fields stay.
TEST(SpectrogramSettings, IndexesOutsideTheTablesBecomeTheDefaults) {
    const struct {
        std::uint32_t SpectrogramSettings::*field;
        std::uint32_t value;
        std::uint32_t sanitised;
    } cases[] = {{&SpectrogramSettings::type, 3, 0}, {&SpectrogramSettings::type, 2, 2},
        {&SpectrogramSettings::fftSize, 12, 4}, {&SpectrogramSettings::fftSize, 11, 11},
        {&SpectrogramSettings::zeroPadding, 5, 0}, {&SpectrogramSettings::overlap, 4, 1},
        {&SpectrogramSettings::window, 7, 6}, {&SpectrogramSettings::window, 0xFFFFFFFFu, 6}};
    for (const auto& c : cases) {
        SpectrogramSettings s;
        s.ampRange = 75.0f;
        s.bMel = 1;
        s.overlap = 3;
        s.*c.field = c.value;
        const SpectrogramSettings sanitised = s.Sanitised();
        EXPECT_EQ(sanitised.*c.field, c.sanitised) << c.value;
        s.*c.field = c.sanitised;
        EXPECT_TRUE(sanitised == s) << c.value;
    }
}

TEST(SpectrogramOptions, SizeLabelsAndTheDefaultBlockAgreeWithTheirOrders) {
    for (std::uint32_t i = 0; i < Options::kFftSizeCount; ++i)
        EXPECT_EQ(std::to_string(1u << Options::kFftSizeOrders[i]), Options::kFftSizeLabels[i]);
    // The default block: N = 512, no padding, hop N / 2, Hann.
    const SpectrogramSettings s;
    EXPECT_EQ(1u << s.SizeOrder(), 512u);
    EXPECT_EQ(s.ExtraOrder(), 0u);
    EXPECT_EQ((1u << s.SizeOrder()) / s.OverlapFactor(), 256u);
    EXPECT_STREQ(s.WindowOption().label, "Hann");
}
