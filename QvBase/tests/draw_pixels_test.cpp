#include <QvBase/UI/Drawing/DrawContextPixels.h>
#include <QvBase/UI/Drawing/Image.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

using UI::Point;
using UI::Rect;

namespace {

// A small canvas with a stride wider than its visible width, so row arithmetic shows.
struct Canvas {
    static constexpr int Width = 8, Height = 6, Stride = 11;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(Stride * Height, 0);
    Rect all{0, Width - 1, 0, Height - 1};

    std::uint32_t* data() { return pixels.data(); }
    std::uint32_t& at(int x, int y) { return pixels[y * Stride + x]; }
    void Fill(std::uint32_t v) { pixels.assign(pixels.size(), v); }
};

std::set<std::pair<int, int>> Lit(Canvas& c, std::uint32_t background) {
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Stride; ++x)
            if (c.at(x, y) != background) lit.insert({x, y});
    return lit;
}

}  // namespace

TEST(DrawPixels, OpaqueFillCoversExactlyTheClippedRectangle) {
    Canvas c;
    UI::FillRectPixels(c.data(), Canvas::Stride, Rect{0, 5, 0, 5}, Rect{3, 9, -2, 1}, 0x00ABCDEF);
    std::set<std::pair<int, int>> expected;
    for (int y = 0; y <= 1; ++y)
        for (int x = 3; x <= 5; ++x) expected.insert({x, y});
    EXPECT_EQ(Lit(c, 0), expected);
    EXPECT_EQ(c.at(4, 1), 0x00ABCDEFu);
    UI::FillRectPixels(c.data(), Canvas::Stride, c.all, Rect{}, 0x00FFFFFF);
    UI::FillRectPixels(c.data(), Canvas::Stride, c.all, Rect{20, 30, 0, 3}, 0x00FFFFFF);
    EXPECT_EQ(Lit(c, 0), expected);
}

TEST(DrawPixels, FilledRectangleWithTransparencyScalesBothSides) {
    Canvas c;
    c.Fill(0x00102030);
    // t = 0 paints the colour exactly.
    UI::FillRectPixels(c.data(), Canvas::Stride, c.all, Rect{0, 0, 0, 0}, 0x00FF8040, 0);
    EXPECT_EQ(c.at(0, 0), 0x00FF8040u);
    // t = 128 by hand: each pixel byte b becomes (b·128 + (b·128 >> 8) + 1) >> 8, i.e.
    // 0x10 -> 8, 0x20 -> 16, 0x30 -> 24, its fourth byte 128; the colour is scaled by
    // 128/255 rounded down: 0xFF -> 128, 0x80 -> 64, 0x40 -> 32; sums 136, 80, 56.
    UI::FillRectPixels(c.data(), Canvas::Stride, c.all, Rect{1, 2, 1, 1}, 0x00FF8040, 128);
    EXPECT_EQ(c.at(1, 1), 0x80885038u);
    EXPECT_EQ(c.at(2, 1), 0x80885038u);
    EXPECT_EQ(c.at(3, 1), 0x00102030u);
    // The sum saturates: white over white at t = 1 stays white.
    c.Fill(0x00FFFFFF);
    UI::FillRectPixels(c.data(), Canvas::Stride, c.all, c.all, 0x00FFFFFF, 1);
    EXPECT_EQ(c.at(7, 5) & 0x00FFFFFFu, 0x00FFFFFFu);
    // t = 255 keeps the pixel and adds the colour at weight 1: 255·1/255 = 1.
    c.Fill(0x00000000);
    UI::FillRectPixels(c.data(), Canvas::Stride, c.all, c.all, 0x00FFFFFF, 255);
    EXPECT_EQ(c.at(0, 0), 0xFF010101u);
    // Outside the clip (the row's spare stride) nothing changes.
    EXPECT_EQ(c.at(Canvas::Width, 0), 0u);
}

TEST(DrawPixels, OutlineSetsTheFourEdgesAndBlendsCornersTwice) {
    Canvas c;
    UI::OutlineRectPixels(c.data(), Canvas::Stride, c.all, Rect{1, 4, 1, 3}, 0x00123456, 0);
    std::set<std::pair<int, int>> edges;
    for (int x = 1; x <= 4; ++x) edges.insert({x, 1}), edges.insert({x, 3});
    edges.insert({1, 2});
    edges.insert({4, 2});
    EXPECT_EQ(Lit(c, 0), edges);
    EXPECT_EQ(c.at(1, 1), 0x00123456u);

    // t = 64: weight 192; white over black gives (255·192 + 128) >> 8 = 191 on an edge,
    // and again over that at a corner (255·192 + 191·64 + 128) >> 8 = 239.
    c.Fill(0);
    UI::OutlineRectPixels(c.data(), Canvas::Stride, c.all, Rect{1, 4, 1, 3}, 0x00FFFFFF, 64);
    EXPECT_EQ(c.at(2, 1), 0x00BFBFBFu);
    EXPECT_EQ(c.at(1, 2), 0x00BFBFBFu);
    EXPECT_EQ(c.at(1, 1), 0x00EFEFEFu);
    EXPECT_EQ(c.at(4, 3), 0x00EFEFEFu);
    EXPECT_EQ(c.at(2, 2), 0u);
}

TEST(DrawPixels, OutlineEdgesOutsideTheClipAreNotMovedOntoIt) {
    Canvas c;
    const Rect clip{0, 7, 2, 5};
    UI::OutlineRectPixels(c.data(), Canvas::Stride, clip, Rect{1, 5, 0, 4}, 0x00FFFFFF, 0);
    std::set<std::pair<int, int>> expected;
    for (int x = 1; x <= 5; ++x) expected.insert({x, 4});  // bottom
    for (int y = 2; y <= 4; ++y) expected.insert({1, y}), expected.insert({5, y});
    EXPECT_EQ(Lit(c, 0), expected);

    // A rectangle larger than the clip on every side draws nothing at all.
    c.Fill(0);
    UI::OutlineRectPixels(c.data(), Canvas::Stride, clip, Rect{-1, 9, -1, 9}, 0x00FFFFFF, 0);
    EXPECT_TRUE(Lit(c, 0).empty());
}

TEST(DrawPixels, LinesStepTheMinorCoordinateLate) {
    Canvas c;
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {0, 0}, {4, 2}, 0x00FFFFFF, 0);
    EXPECT_EQ(Lit(c, 0), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));

    // The same line drawn backwards lights other pixels: the error rule is not symmetric.
    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {4, 2}, {0, 0}, 0x00FFFFFF, 0);
    EXPECT_EQ(Lit(c, 0), (std::set<std::pair<int, int>>{{4, 2}, {3, 2}, {2, 1}, {1, 1}, {0, 0}}));

    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {0, 0}, {1, 3}, 0x00FFFFFF, 0);
    EXPECT_EQ(Lit(c, 0), (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));

    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {3, 3}, {3, 3}, 0x00FFFFFF, 0);
    EXPECT_EQ(Lit(c, 0), (std::set<std::pair<int, int>>{{3, 3}}));

    // Pixels outside the clip are skipped one by one, the rest of the line still drawn.
    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, Rect{2, 7, 0, 5}, {-3, 1}, {20, 1}, 0x00FFFFFF, 0);
    std::set<std::pair<int, int>> row;
    for (int x = 2; x <= 7; ++x) row.insert({x, 1});
    EXPECT_EQ(Lit(c, 0), row);

    // Transparent lines blend: (255·(255 - 100) + 128) >> 8 = 154.
    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {0, 5}, {2, 5}, 0x00FFFFFF, 100);
    EXPECT_EQ(c.at(1, 5), 0x009A9A9Au);
    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {0, 5}, {2, 5}, 0x00FFFFFF, 255);
    EXPECT_TRUE(Lit(c, 0).empty());

    // A line between far-apart points does not overflow.
    c.Fill(0);
    UI::DrawLinePixels(c.data(), Canvas::Stride, c.all, {-2000000, 0}, {2000000, 0}, 0x00FFFFFF, 0);
    EXPECT_EQ(Lit(c, 0).size(), static_cast<std::size_t>(Canvas::Width));
}

TEST(DrawPixels, WeightedBlendOfTheOutline) {
    EXPECT_EQ(UI::BlendColourWeighted(0x00112233, 0x00AABBCC, 0, 255), 0x00AABBCCu);
    EXPECT_EQ(UI::BlendColourWeighted(0x00112233, 0x00AABBCC, 255, 1), 0x00112233u);
    // (0x80·128 + 0x40·128 + 128) >> 8 = 96 = 0x60; red: (0xFF·128 + 0 + 128) >> 8 = 128.
    EXPECT_EQ(UI::BlendColourWeighted(0x00004040, 0x00FF8080, 128, 128), 0x00806060u);
    // Weights above the rule never spill into the next channel.
    EXPECT_EQ(UI::BlendColourWeighted(0x00FFFFFF, 0x00FFFFFF, 200, 256), 0x00FFFFFFu);
}

namespace {

SharedPtr<UI::Image> MakeImage(int w, int h, std::uint32_t base, bool alpha = false) {
    SharedPtr<UI::Image> image = UI::Image::Create({w, h});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->Pixels()[y * image->Stride() + x] = base + static_cast<std::uint32_t>(y * 16 + x);
    image->SetAlpha(alpha);
    return image;
}

}  // namespace

TEST(DrawPixels, OpaqueBlitsCopyRowsCutOnBothSides) {
    Canvas c;
    const auto image = MakeImage(4, 3, 0x00100000);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, image->Bounds(), {2, 1}, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(c.at(2 + x, 1 + y), 0x00100000u + y * 16 + x);
    EXPECT_EQ(Lit(c, 0).size(), 12u);

    // The source reaches past the image on the left and top; the destination past the
    // clip on the right: source and destination keep their correspondence.
    c.Fill(0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, Rect{0, 3, 0, 5}, *image, Rect{-1, 3, -1, 2}, {1, 1}, 0);
    // Source (0,0) lands at destination (2,2); columns past x = 3 are clipped.
    std::set<std::pair<int, int>> expected;
    for (int y = 2; y <= 4; ++y)
        for (int x = 2; x <= 3; ++x) {
            expected.insert({x, y});
            EXPECT_EQ(c.at(x, y), 0x00100000u + (y - 2) * 16 + (x - 2));
        }
    EXPECT_EQ(Lit(c, 0), expected);

    // The destination left of and above the clip cuts the source's first rows and columns.
    c.Fill(0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, image->Bounds(), {-2, -1}, 0);
    EXPECT_EQ(c.at(0, 0), 0x00100000u + 1 * 16 + 2);
    EXPECT_EQ(c.at(1, 1), 0x00100000u + 2 * 16 + 3);
    EXPECT_EQ(Lit(c, 0).size(), 4u);

    // Nothing for an empty source, a source wholly outside the image, or an empty image.
    c.Fill(0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, Rect{}, {0, 0}, 0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, Rect{5, 9, 0, 2}, {0, 0}, 0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, UI::Image(), Rect{0, 3, 0, 3}, {0, 0}, 0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, image->Bounds(), {100, 0}, 0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, image->Bounds(), {-2147483647, 2147483600}, 0);
    EXPECT_TRUE(Lit(c, 0).empty());
}

TEST(DrawPixels, BlitsBlendByEachPixelsOwnTransparencyPlusTheCallers) {
    Canvas c;
    SharedPtr<UI::Image> image = UI::Image::Create({3, 1});
    image->Pixels()[0] = 0x80FF0000;  // half transparent red
    image->Pixels()[1] = 0x00FF0000;  // opaque red
    image->Pixels()[2] = 0xC8FF0000;  // transparency 200
    image->SetAlpha(true);

    // t = 0 still blends by the pixels' own levels: (255·127 + 128) >> 8 = 127.
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, image->Bounds(), {0, 0}, 0);
    EXPECT_EQ(c.at(0, 0), 0x007F0000u);
    EXPECT_EQ(c.at(1, 0), 0x00FF0000u);
    EXPECT_EQ(c.at(2, 0), 0x00370000u);  // (255·55 + 128) >> 8 = 55

    // t = 100 adds: levels 228, 100, 255 (capped: the pixel is left alone).
    c.Fill(0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, image->Bounds(), {0, 1}, 100);
    EXPECT_EQ(c.at(0, 1), 0x001B0000u);  // (255·27 + 128) >> 8 = 27
    EXPECT_EQ(c.at(1, 1), 0x009A0000u);  // (255·155 + 128) >> 8 = 154
    EXPECT_EQ(c.at(2, 1), 0u);

    // Without the alpha flag the top bytes are not transparencies: only t applies.
    image->SetAlpha(false);
    c.Fill(0);
    UI::BlitImagePixels(c.data(), Canvas::Stride, c.all, *image, Rect{0, 0, 0, 0}, {0, 2}, 100);
    EXPECT_EQ(c.at(0, 2), 0x009A0000u);
}
