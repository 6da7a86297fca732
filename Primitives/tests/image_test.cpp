#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Image.h>
#include <Primitives/Vec/Image.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using AddFn = Prim::Status (*)(
    const std::uint8_t*, std::uint8_t*, std::int32_t, std::int32_t, std::int32_t, std::int32_t);
using PremulFn = Prim::Status (*)(std::uint8_t, std::uint8_t*, std::int32_t, std::int32_t, std::int32_t);

const AddFn addBuilds[] = {Prim::ImageAddConstU8C4_x87, Prim::ImageAddConstU8C4_sse2};
const PremulFn premulBuilds[] = {Prim::ImagePremulAlphaU8C4_x87, Prim::ImagePremulAlphaU8C4_sse2};

// The scaled saturating sum worked out in real numbers.
std::uint8_t ExpectedAdd(int c, int v, int scale) {
    const int s = c + v;
    if (scale >= 10) return 0;
    const double scaled = std::nearbyint(std::ldexp(double(s), -scale));  // ties to even
    return static_cast<std::uint8_t>(std::min(scaled, 255.0));
}

// One pixel of the given bytes, added to with value {v, 0, 0}.
std::uint8_t AddOne(AddFn add, int c, int v, int scale) {
    std::uint8_t pixel[4] = {std::uint8_t(c), 9, 9, 77};
    const std::uint8_t value[3] = {std::uint8_t(v), 0, 0};
    EXPECT_EQ(add(value, pixel, 4, 1, 1, scale), Prim::StatusOk);
    EXPECT_EQ(pixel[3], 77);
    return pixel[0];
}

TEST(Image, ArgumentsAreCheckedPointerThenSizeThenStep) {
    std::uint8_t pixels[16] = {};
    const std::uint8_t value[3] = {1, 2, 3};
    for (AddFn add : addBuilds) {
        EXPECT_EQ(add(nullptr, pixels, 4, 1, 1, 0), Prim::StatusNullPointer);
        EXPECT_EQ(add(value, nullptr, 0, 0, 0, 0), Prim::StatusNullPointer);
        EXPECT_EQ(add(value, pixels, 0, 0, 1, 0), Prim::StatusSizeError);
        EXPECT_EQ(add(value, pixels, 4, 1, 0, 0), Prim::StatusSizeError);
        EXPECT_EQ(add(value, pixels, 0, 1, 1, 0), Prim::StatusStepError);
        EXPECT_EQ(add(value, pixels, -4, 1, 1, 0), Prim::StatusStepError);
    }
    for (PremulFn premul : premulBuilds) {
        EXPECT_EQ(premul(9, nullptr, 4, 1, 1), Prim::StatusNullPointer);
        EXPECT_EQ(premul(9, pixels, 0, -1, 1), Prim::StatusSizeError);
        EXPECT_EQ(premul(9, pixels, 0, 1, 1), Prim::StatusStepError);
    }
    for (auto set : {Prim::ImageSetU8C4_x87, Prim::ImageSetU8C4_sse2}) {
        EXPECT_EQ(set(nullptr, pixels, 4, 1, 1), Prim::StatusNullPointer);
        EXPECT_EQ(set(value, pixels, 0, 1, 1), Prim::StatusStepError);
    }
    for (std::uint8_t b : pixels) EXPECT_EQ(b, 0);
}

TEST(Image, AddConstSaturatesAndScales) {
    for (AddFn add : addBuilds) {
        // {colour, value, scale, result}: halves round to even (3/2, 5/2, 7/2, 6/4, 10/4, 14/4).
        const int cases[][4] = {{200, 100, 0, 255}, {1, 2, 1, 2}, {2, 3, 1, 2}, {3, 4, 1, 4}, {3, 3, 2, 2},
            {5, 5, 2, 2}, {7, 7, 2, 4}, {100, 27, -1, 254}, {100, 28, -1, 255}, {0, 0, -8, 0}, {1, 0, -8, 255},
            {255, 255, 1, 255}, {200, 13, 10, 0}, {200, 13, 99, 0}};
        for (const auto& [c, v, scale, want] : cases) EXPECT_EQ(AddOne(add, c, v, scale), want) << c << "+" << v;
    }
}

// Whole images of random pixels at odd start addresses, steps and widths:
// every scale, both builds, against the real-number rule.
TEST(Image, AddConstBothBuildsMatchTheRuleOnWholeImages) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int scale = -10; scale <= 11; ++scale) {
        for (std::int32_t width : {1, 3, 4, 5, 8, 13, 37}) {
            const std::int32_t height = 3;
            const std::size_t offset = std::size_t(byte(rng) % 16);
            const std::int32_t step = 4 * width + (width % 3) * 5;
            std::vector<std::uint8_t> original(offset + std::size_t(step) * height + 16);
            for (auto& b : original) b = std::uint8_t(byte(rng));
            const std::uint8_t value[3] = {std::uint8_t(byte(rng)), std::uint8_t(byte(rng)), 0};
            for (AddFn add : addBuilds) {
                auto image = original;
                ASSERT_EQ(add(value, image.data() + offset, step, width, height, scale), Prim::StatusOk);
                for (std::size_t i = 0; i < image.size(); ++i) {
                    const bool inside = i >= offset && (i - offset) / std::size_t(step) < std::size_t(height) &&
                        (i - offset) % std::size_t(step) < 4 * std::size_t(width);
                    const std::size_t channel = (i - offset) % std::size_t(step) % 4;
                    if (!inside || channel == 3) {
                        ASSERT_EQ(image[i], original[i]) << "byte " << i << " outside or alpha, scale " << scale;
                    } else {
                        ASSERT_EQ(image[i], ExpectedAdd(original[i], value[channel], scale))
                            << "byte " << i << " scale " << scale << " width " << width;
                    }
                }
            }
        }
    }
}

TEST(Image, PremultiplyIsFloorOfProductOver255ForEveryPair) {
    for (PremulFn premul : premulBuilds) {
        // Each row: 256 pixels whose colour bytes run through 0..255, one row per alpha.
        std::vector<std::uint8_t> image(256 * 4 * 256 + 3);
        std::uint8_t* first = image.data() + 3;  // rows off the 4-byte grid too
        for (int alpha = 0; alpha < 256; ++alpha) {
            std::uint8_t* row = first + alpha * 1024;
            for (int c = 0; c < 256; ++c) {
                row[4 * c] = std::uint8_t(c);
                row[4 * c + 1] = std::uint8_t(255 - c);
                row[4 * c + 2] = std::uint8_t(c ^ 0x5A);
                row[4 * c + 3] = 17;
            }
            ASSERT_EQ(premul(std::uint8_t(alpha), row, 1024, 256, 1), Prim::StatusOk);
            for (int c = 0; c < 256; ++c) {
                ASSERT_EQ(row[4 * c], c * alpha / 255) << c << " " << alpha;
                ASSERT_EQ(row[4 * c + 1], (255 - c) * alpha / 255);
                ASSERT_EQ(row[4 * c + 2], (c ^ 0x5A) * alpha / 255);
                ASSERT_EQ(row[4 * c + 3], alpha);
            }
        }
        std::uint8_t pixel[8] = {255, 128, 0, 3, 1, 2, 3, 4};
        ASSERT_EQ(premul(128, pixel, 4, 1, 1), Prim::StatusOk);
        EXPECT_EQ(pixel[0], 128);
        EXPECT_EQ(pixel[1], 64);
        EXPECT_EQ(pixel[3], 128);
        EXPECT_EQ(pixel[4], 1);  // outside the rectangle
    }
}

TEST(Image, PremultiplyLeavesTheGapBetweenRowsUntouched) {
    for (PremulFn premul : premulBuilds) {
        std::vector<std::uint8_t> image(64 * 3, 200);
        ASSERT_EQ(premul(0, image.data(), 64, 9, 3), Prim::StatusOk);
        for (std::size_t i = 0; i < image.size(); ++i) {
            EXPECT_EQ(image[i], (i % 64) < 36 ? 0 : 200) << i;
        }
    }
}

TEST(Image, VectorLayerTakesTheColourLowByteFirstAndARowLengthInPixels) {
    std::vector<std::uint8_t> image(4 * 10 * 4, 10);  // 4 rows of 10 pixels
    Vec::ImageAddConstU8C4(0x00FF0000u, image.data(), 10, 6, 4);
    for (std::size_t i = 0; i < image.size(); ++i) {
        const bool inside = (i / 4) % 10 < 6;
        EXPECT_EQ(image[i], inside && i % 4 == 2 ? 255 : 10) << i;
    }
    Vec::ImageAddConstU8C4(0xAB030201u, image.data(), 10, 1, 1);
    EXPECT_EQ(image[0], 11);
    EXPECT_EQ(image[1], 12);
    EXPECT_EQ(image[2], 255);
    EXPECT_EQ(image[3], 10);  // bits 24-31 are not used

    Vec::ImagePremulAlphaU8C4(0, image.data(), 10, 2, 2);
    EXPECT_EQ(image[40], 0);
    EXPECT_EQ(image[43], 0);
    EXPECT_EQ(image[48], 10);  // third pixel of the second row: outside
    // A row length whose byte step passes 32 bits is refused, not wrapped.
    Vec::ImagePremulAlphaU8C4(0, image.data() + 80, 0x40000001, 1, 1);
    EXPECT_EQ(image[80], 10);
    EXPECT_EQ(image[83], 10);
}

}  // namespace
