#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/SampleRange.h>

#include <gtest/gtest.h>

#include <vector>

using UI::AudioDisplayMemorySource;
using UI::SampleRange;

TEST(SampleRange, CountsAndEmptiness) {
    EXPECT_TRUE(SampleRange().IsEmpty());
    EXPECT_EQ(SampleRange().first, 1u);
    EXPECT_EQ(SampleRange().last, 0u);

    const SampleRange none(7, 0);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.first, 8u);
    EXPECT_EQ(none.last, 7u);
    EXPECT_EQ(none.Length(), 0u);

    EXPECT_EQ(SampleRange::FromEnds(5, 5).Length(), 1u);
    EXPECT_EQ(SampleRange(10, 90).last, 99u);
    EXPECT_EQ(SampleRange(10, 90).Length(), 90u);
    EXPECT_TRUE(SampleRange::FromEnds(0, UINT64_MAX).SpansAll());
    EXPECT_FALSE(SampleRange::FromEnds(1, UINT64_MAX).SpansAll());
}

namespace {

// Two channels of ten frames: channel c, frame j holds c * 100 + j.
struct TwoChannels {
    std::vector<float> left, right;
    const float* table[2];
    TwoChannels() {
        for (int j = 0; j < 10; ++j) {
            left.push_back(static_cast<float>(j));
            right.push_back(static_cast<float>(100 + j));
        }
        table[0] = left.data();
        table[1] = right.data();
    }
};

}  // namespace

TEST(AudioDisplayMemorySource, ReadsAllThreeWaysAndAdvances) {
    TwoChannels data;
    AudioDisplayMemorySource source("Memory", 48000, 2, 10, data.table);
    EXPECT_EQ(source.GetSampleRate(), 48000u);
    EXPECT_EQ(source.GetChannelCount(), 2u);
    EXPECT_EQ(source.GetLength(), 10u);
    EXPECT_TRUE(source.Name() == "Memory");

    source.Seek(2);
    std::vector<double> d(6, -1.0);
    ASSERT_TRUE(source.ReadFloatInterleaved(3, d.data()));
    EXPECT_EQ(d, (std::vector<double>{2, 102, 3, 103, 4, 104}));
    EXPECT_EQ(source.GetPosition(), 5u);

    std::vector<float> f(4, -1.0f);
    ASSERT_TRUE(source.ReadFloatInterleaved(2, f.data()));
    EXPECT_EQ(f, (std::vector<float>{5, 105, 6, 106}));

    std::vector<float> l(3, -1.0f), r(3, -1.0f);
    float* dst[2] = {l.data(), r.data()};
    ASSERT_TRUE(source.ReadFloatDeinterleaved(3, dst));
    EXPECT_EQ(l, (std::vector<float>{7, 8, 9}));
    EXPECT_EQ(r, (std::vector<float>{107, 108, 109}));
    EXPECT_EQ(source.GetPosition(), 10u);

    // At the end a read of nothing succeeds; one more frame is refused.
    EXPECT_TRUE(source.ReadFloatInterleaved(0, f.data()));
    EXPECT_FALSE(source.ReadFloatInterleaved(1, f.data()));
    EXPECT_EQ(source.GetPosition(), 10u);
}

TEST(AudioDisplayMemorySource, RefusedReadsChangeNothing) {
    TwoChannels data;
    AudioDisplayMemorySource source("Memory", 44100, 2, 10, data.table);
    source.Seek(8);
    std::vector<double> d(6, -1.0);
    std::vector<float> f(6, -1.0f);
    std::vector<float> l(3, -1.0f), r(3, -1.0f);
    float* dst[2] = {l.data(), r.data()};
    EXPECT_FALSE(source.ReadFloatInterleaved(3, d.data()));
    EXPECT_FALSE(source.ReadFloatInterleaved(3, f.data()));
    EXPECT_FALSE(source.ReadFloatDeinterleaved(3, dst));
    EXPECT_EQ(source.GetPosition(), 8u);
    EXPECT_EQ(d, std::vector<double>(6, -1.0));
    EXPECT_EQ(f, std::vector<float>(6, -1.0f));
    EXPECT_EQ(l, std::vector<float>(3, -1.0f));
    // Passing the 32-bit range is refused, not wrapped.
    EXPECT_FALSE(source.ReadFloatInterleaved(0xFFFFFFFFu, f.data()));
    EXPECT_EQ(source.GetPosition(), 8u);
}

TEST(AudioDisplayMemorySource, SeekStaysBelowTheLength) {
    TwoChannels data;
    AudioDisplayMemorySource source("Memory", 44100, 2, 10, data.table);
    source.Seek(9);
    EXPECT_EQ(source.GetPosition(), 9u);
    source.Seek(10);
    EXPECT_EQ(source.GetPosition(), 9u);
    source.Seek(0x100000000ull + 3);
    EXPECT_EQ(source.GetPosition(), 9u);
}

TEST(AudioDisplayMemorySource, ReadsTheCallersBuffersInPlace) {
    TwoChannels data;
    AudioDisplayMemorySource source("Memory", 44100, 2, 10, data.table);
    SharedPtr<AudioDisplayMemorySource> twin = source.Create();
    ASSERT_TRUE(twin);
    EXPECT_EQ(twin.UseCount(), 1);
    EXPECT_TRUE(twin->Name() == "Memory");
    EXPECT_EQ(twin->GetLength(), 10u);

    // A change to the caller's buffer shows through both: nothing was copied.
    data.right[4] = -42.0f;
    source.Seek(4);
    twin->Seek(3);
    float a[2], b[2];
    ASSERT_TRUE(source.ReadFloatInterleaved(1, a));
    EXPECT_EQ(a[1], -42.0f);
    ASSERT_TRUE(twin->ReadFloatInterleaved(1, b));
    EXPECT_EQ(b[1], 103.0f);
    // Each keeps its own position.
    EXPECT_EQ(source.GetPosition(), 5u);
    EXPECT_EQ(twin->GetPosition(), 4u);
}

TEST(AudioDisplayMemorySource, NullBuffersAreRefusedNotRead) {
    AudioDisplayMemorySource source("Nothing", 44100, 2, 10, nullptr);
    float f[4];
    EXPECT_FALSE(source.ReadFloatInterleaved(1, f));
    EXPECT_TRUE(source.ReadFloatInterleaved(0, f));

    TwoChannels data;
    AudioDisplayMemorySource real("Memory", 44100, 2, 10, data.table);
    EXPECT_FALSE(real.ReadFloatInterleaved(1, static_cast<float*>(nullptr)));
    EXPECT_FALSE(real.ReadFloatDeinterleaved(1, nullptr));
    EXPECT_EQ(real.GetPosition(), 0u);

    // No channels: frames without samples can still be counted through.
    AudioDisplayMemorySource empty("Empty", 44100, 0, 5, nullptr);
    EXPECT_TRUE(empty.ReadFloatInterleaved(5, f));
    EXPECT_EQ(empty.GetPosition(), 5u);
}

TEST(AudioDisplayMemorySource, DeletedThroughItsBase) {
    TwoChannels data;
    SharedPtr<UI::AudioDisplaySource> base(new AudioDisplayMemorySource("Memory", 44100, 2, 10, data.table));
    SharedPtr<UI::AudioDisplaySource> copy = base;
    EXPECT_EQ(base.UseCount(), 2);
}
