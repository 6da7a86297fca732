#include "support/prim_vectors.h"

#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Vec/Interleave.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using PrimTest::Placed;

// A distinct bit pattern for each (frame, channel); the float ones include
// signalling and quiet NaNs with payloads, infinities and negative zero.
std::uint32_t Word(std::size_t frame, std::size_t channel) {
    static const std::uint32_t specials[] = {0x7FA00001u, 0xFFC0BEEFu, 0x80000000u, 0x7F800000u};
    const std::uint32_t mixed = std::uint32_t(frame * 2654435761u + channel * 40503u);
    return (mixed % 7 == 0) ? specials[mixed % 4] : mixed;
}

template <class T>
T Element(std::size_t frame, std::size_t channel) {
    if constexpr (sizeof(T) == 4) {
        return std::bit_cast<T>(Word(frame, channel));
    } else {
        return static_cast<T>(Word(frame, channel));
    }
}

template <class T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <class T>
struct Layout {
    using Interleave = Prim::Status (*)(const T* const*, std::int32_t, std::int32_t, T*);
    using Deinterleave = Prim::Status (*)(const T*, std::int32_t, std::int32_t, T* const*);
    Interleave interleave[2];
    Deinterleave deinterleave[2];
};

const Layout<float> layoutF32 = {
    {Prim::InterleaveF32_x87, Prim::InterleaveF32_sse2}, {Prim::DeinterleaveF32_x87, Prim::DeinterleaveF32_sse2}};
const Layout<std::int16_t> layoutS16 = {
    {Prim::InterleaveS16_x87, Prim::InterleaveS16_sse2}, {Prim::DeinterleaveS16_x87, Prim::DeinterleaveS16_sse2}};

// Both directions, both builds, against the index rule, with every channel
// buffer and the interleaved buffer placed aligned or not.
template <class T>
void CheckLayouts(const Layout<T>& layout, std::size_t channels, std::size_t frames, std::size_t misaligned) {
    const std::size_t shift = sizeof(T) == 2 ? 2 : 4;
    std::vector<Placed<T>> channelBuffers;
    for (std::size_t c = 0; c < channels; ++c) {
        channelBuffers.emplace_back(frames, c == misaligned ? shift : 0);
    }
    Placed<T> interleaved(frames * channels, misaligned == channels ? shift : 0);
    const Prim::Status expectedStatus = misaligned <= channels ? Prim::StatusMisalignedWarning : Prim::StatusOk;
    std::vector<const T*> sources;
    std::vector<T*> destinations;
    for (auto& b : channelBuffers) {
        sources.push_back(b.data());
        destinations.push_back(b.data());
    }
    const auto count = [](std::size_t n) { return static_cast<std::int32_t>(n); };
    for (int build = 0; build < 2; ++build) {
        for (std::size_t c = 0; c < channels; ++c) {
            for (std::size_t f = 0; f < frames; ++f) channelBuffers[c].data()[f] = Element<T>(f, c);
        }
        std::fill(interleaved.data(), interleaved.data() + frames * channels, T{});
        ASSERT_EQ(layout.interleave[build](sources.data(), count(channels), count(frames), interleaved.data()),
            expectedStatus);
        for (std::size_t f = 0; f < frames; ++f) {
            for (std::size_t c = 0; c < channels; ++c) {
                ASSERT_TRUE(SameBits(interleaved.data()[f * channels + c], Element<T>(f, c)))
                    << "interleave build " << build << " channels " << channels << " frame " << f << " channel " << c;
            }
        }
        for (auto& b : channelBuffers) std::fill(b.data(), b.data() + frames, T{});
        ASSERT_EQ(layout.deinterleave[build](interleaved.data(), count(channels), count(frames), destinations.data()),
            expectedStatus);
        for (std::size_t c = 0; c < channels; ++c) {
            for (std::size_t f = 0; f < frames; ++f) {
                ASSERT_TRUE(SameBits(channelBuffers[c].data()[f], Element<T>(f, c)))
                    << "deinterleave build " << build << " channels " << channels << " frame " << f << " channel " << c;
            }
        }
    }
}

// Any misaligned buffer warns after a complete move.
TEST(Interleave, LayoutsFollowTheIndexRuleForManyChannelCountsAndAlignments) {
    for (std::size_t channels : {1, 2, 3, 4, 5, 6, 8, 239, 240, 241}) {
        for (std::size_t frames : {1, 2, 3, 7, 8, 9, 17, 33}) {
            CheckLayouts(layoutF32, channels, frames, channels + 1);
            CheckLayouts(layoutS16, channels, frames, channels + 1);
        }
    }
    for (std::size_t channels : {1, 2, 5, 12}) {
        for (std::size_t misaligned : {std::size_t{0}, channels - 1, channels}) {
            CheckLayouts(layoutF32, channels, 19, misaligned);
            CheckLayouts(layoutS16, channels, 19, misaligned);
        }
    }
}

TEST(Interleave, TwoChannelsOfSixteenBitSamples) {
    const std::int16_t left[3] = {1, 2, 3}, right[3] = {-1, -2, -3};
    const std::int16_t* channels[2] = {left, right};
    for (auto interleave : layoutS16.interleave) {
        std::int16_t dst[6] = {};
        interleave(channels, 2, 3, dst);
        EXPECT_EQ(std::vector<std::int16_t>(dst, dst + 6), (std::vector<std::int16_t>{1, -1, 2, -2, 3, -3}));
    }
    // Extremes survive the vector path's packing.
    std::vector<std::int16_t> src(64);
    for (std::size_t i = 0; i < src.size(); ++i)
        src[i] = (i % 3 == 0) ? -32768 : (i % 3 == 1) ? 32767 : std::int16_t(-i);
    for (auto deinterleave : layoutS16.deinterleave) {
        std::vector<std::int16_t> l(32), r(32);
        std::int16_t* dst[2] = {l.data(), r.data()};
        deinterleave(src.data(), 2, 32, dst);
        for (std::size_t f = 0; f < 32; ++f) {
            EXPECT_EQ(l[f], src[2 * f]);
            EXPECT_EQ(r[f], src[2 * f + 1]);
        }
    }
}

TEST(Interleave, NullPointersComeBeforeCountsAndNothingIsWritten) {
    float buffer[8] = {5, 5, 5, 5, 5, 5, 5, 5};
    const float* sources[2] = {buffer, buffer + 4};
    float* destinations[2] = {buffer, buffer + 4};
    for (int build = 0; build < 2; ++build) {
        EXPECT_EQ(layoutF32.interleave[build](nullptr, 2, 4, buffer), Prim::StatusNullPointer);
        EXPECT_EQ(layoutF32.interleave[build](sources, 0, 4, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(layoutF32.deinterleave[build](nullptr, 0, 0, destinations), Prim::StatusNullPointer);
        EXPECT_EQ(layoutF32.deinterleave[build](buffer, 2, 4, nullptr), Prim::StatusNullPointer);
        float out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
        EXPECT_EQ(layoutF32.interleave[build](sources, 0, 4, out), Prim::StatusSizeError);
        EXPECT_EQ(layoutF32.interleave[build](sources, 2, 0, out), Prim::StatusSizeError);
        EXPECT_EQ(layoutF32.deinterleave[build](buffer, -1, 4, destinations), Prim::StatusSizeError);
        for (float x : out) EXPECT_EQ(x, 9.0f);
        std::int16_t s16[4] = {};
        std::int16_t* s16Channels[1] = {s16};
        EXPECT_EQ(layoutS16.deinterleave[build](s16, 1, 0, s16Channels), Prim::StatusSizeError);
        EXPECT_EQ(layoutS16.interleave[build](nullptr, 0, 0, s16), Prim::StatusNullPointer);
    }
    for (float x : buffer) EXPECT_EQ(x, 5.0f);
}

TEST(Interleave, VectorLayerSkipsZeroFramesAndPassesTheRestOn) {
    alignas(16) float left[4] = {1, 2, 3, 4};
    alignas(16) float right[4] = {-1, -2, -3, -4};
    alignas(16) float both[8] = {};
    const float* sources[2] = {left, right};
    Vec::InterleaveF32(2, 0, nullptr, nullptr);  // nothing is called
    Vec::InterleaveF32(0, 4, sources, both);  // refused beneath
    for (float x : both) EXPECT_EQ(x, 0.0f);
    Vec::InterleaveF32(2, 4, sources, both);
    EXPECT_EQ(std::vector<float>(both, both + 8), (std::vector<float>{1, -1, 2, -2, 3, -3, 4, -4}));
    alignas(16) float l[4] = {}, r[4] = {};
    float* destinations[2] = {l, r};
    Vec::DeinterleaveF32(2, 0, nullptr, nullptr);
    Vec::DeinterleaveF32(2, 4, both, destinations);
    EXPECT_EQ(std::vector<float>(l, l + 4), std::vector<float>(left, left + 4));
    EXPECT_EQ(std::vector<float>(r, r + 4), std::vector<float>(right, right + 4));
}

}  // namespace
