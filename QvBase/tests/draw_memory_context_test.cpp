#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Text/FontGlyphs.h>

#include <gtest/gtest.h>

#include <vector>

using UI::MemoryDrawContext;
using UI::Point;
using UI::Rect;

namespace {

// Records what reaches the screen: the surface seen and the area copied.
class RecordingDevice final : public UI::Device {
public:
    struct Copy {
        Platform::Gui::SurfaceView surface;
        Platform::Gui::PixelRect area;
    };
    std::vector<Copy> copies;
    void Copy(const Platform::Gui::SurfaceView& surface, const Platform::Gui::PixelRect& area) override {
        copies.push_back({surface, area});
    }
};

std::uint32_t PixelOf(const MemoryDrawContext& dc, int x, int y) {
    const auto& s = *dc.Surface();
    return s.Pixels()[y * s.Stride() + x];
}

int CountPixels(const MemoryDrawContext& dc, std::uint32_t value) {
    const auto& s = *dc.Surface();
    int n = 0;
    for (int i = 0; i < s.Width() * s.Height(); ++i) n += s.Pixels()[i] == value;
    return n;
}

}  // namespace

TEST(DrawMemoryContext, StartsWithoutSurfaceAndDrawsNothing) {
    MemoryDrawContext dc("Main Memory DrawContext");
    EXPECT_STREQ(dc.Name().CStr(), "Main Memory DrawContext");
    EXPECT_FALSE(dc.Surface());
    EXPECT_EQ(dc.GetClipRect(), Rect());
    EXPECT_EQ(dc.GetOrigin(), (Point{0, 0}));
    EXPECT_EQ(dc.PassSize(), (UI::Size{-1, -1}));
    dc.DrawRect({0, 9, 0, 9}, UI::DrawRectFilled, 0x00FFFFFF, 0);
    dc.DrawLine({0, 0}, {5, 5}, 0x00FFFFFF, 0);
    dc.BlendPixel({0, 0}, 0x00FFFFFF, 0);
    RecordingDevice device;
    dc.CopyRectsToDevice({Rect{0, 9, 0, 9}}, device);
    EXPECT_TRUE(device.copies.empty());
}

TEST(DrawMemoryContext, ResizeKeepsTheSurfaceOfTheSameSizeAndResetsTheClip) {
    MemoryDrawContext dc("dc");
    dc.SetOrigin({3, 4});
    dc.Resize({20, 10});
    ASSERT_TRUE(dc.Surface());
    const UI::DibSurface* first = dc.Surface().Get();
    EXPECT_EQ(first->Width(), 20);
    EXPECT_EQ(first->Height(), 10);
    EXPECT_EQ(dc.GetClipRect(), (Rect{0, 19, 0, 9}));
    EXPECT_EQ(dc.GetOrigin(), (Point{3, 4}));  // the origin stays
    EXPECT_EQ(CountPixels(dc, 0), 200);  // a new surface starts black

    dc.SetOrigin({0, 0});
    dc.DrawRect({0, 19, 0, 9}, UI::DrawRectFilled, 0x00336699, 0);
    dc.SetClipRect({5, 6, 5, 6});
    dc.Resize({20, 10});
    EXPECT_EQ(dc.Surface().Get(), first);
    EXPECT_EQ(dc.GetClipRect(), (Rect{0, 19, 0, 9}));
    EXPECT_EQ(PixelOf(dc, 7, 7), 0x00336699u);  // the picture survives the pass

    dc.Resize({21, 10});
    EXPECT_NE(dc.Surface().Get(), first);
    EXPECT_EQ(dc.Surface()->Width(), 21);
    EXPECT_EQ(PixelOf(dc, 7, 7), 0u);
}

TEST(DrawMemoryContext, ClipIsLimitedToThePassAndEmptyBetweenPasses) {
    MemoryDrawContext dc("dc");
    dc.Resize({10, 10});
    dc.SetClipRect({-5, 4, 8, 30});
    EXPECT_EQ(dc.GetClipRect(), (Rect{0, 4, 8, 9}));

    RecordingDevice device;
    dc.CopyRectsToDevice({}, device);
    EXPECT_EQ(dc.PassSize(), (UI::Size{-1, -1}));
    dc.SetClipRect({0, 9, 0, 9});
    EXPECT_FALSE(dc.GetClipRect().HasArea());
    dc.DrawRect({0, 9, 0, 9}, UI::DrawRectFilled, 0x00FFFFFF, 0);
    EXPECT_EQ(CountPixels(dc, 0), 100);
}

TEST(DrawMemoryContext, DrawingHonoursOriginAndClip) {
    MemoryDrawContext dc("dc");
    dc.Resize({16, 12});
    dc.SetOrigin({4, 3});
    dc.SetClipRect({4, 9, 3, 8});

    dc.DrawRect({0, 1, 0, 1}, UI::DrawRectFilled, 0x00FF0000, 0);
    EXPECT_EQ(PixelOf(dc, 4, 3), 0x00FF0000u);
    EXPECT_EQ(PixelOf(dc, 5, 4), 0x00FF0000u);
    EXPECT_EQ(CountPixels(dc, 0x00FF0000), 4);

    // Cut by the clip: only columns 4..9 and rows 3..8 of the surface.
    dc.DrawRect({-10, 20, -10, 20}, UI::DrawRectFilled, 0x0000FF00, 0);
    EXPECT_EQ(CountPixels(dc, 0x0000FF00), 36);
    EXPECT_EQ(PixelOf(dc, 10, 3), 0u);

    dc.DrawRect({0, 3, 0, 3}, 2, 0x000000FF, 0);  // an unknown mode draws nothing
    EXPECT_EQ(CountPixels(dc, 0x000000FF), 0);
    dc.DrawRect({0, 3, 0, 3}, UI::DrawRectOutline, 0x000000FF, 0);
    EXPECT_EQ(CountPixels(dc, 0x000000FF), 12);
    EXPECT_EQ(PixelOf(dc, 7, 6), 0x000000FFu);

    dc.DrawLine({0, 5}, {20, 5}, 0x00FFFFFF, 0);
    EXPECT_EQ(CountPixels(dc, 0x00FFFFFF), 6);
    EXPECT_EQ(PixelOf(dc, 4, 8), 0x00FFFFFFu);

    dc.BlendPixel({1, 1}, 0x00FFFFFF, 255);  // leaves the pixel
    EXPECT_EQ(PixelOf(dc, 5, 4), 0x0000FF00u);
    dc.BlendPixel({1, 1}, 0x00123456, 0);  // stores the colour exactly
    EXPECT_EQ(PixelOf(dc, 5, 4), 0x00123456u);
    dc.BlendPixel({1, 1}, 0x00FFFFFF, 128);
    // (0xFF·127 + 0x12·128 + 128) >> 8 = 136 = 0x88; likewise 0x99 and 0xAA.
    EXPECT_EQ(PixelOf(dc, 5, 4), 0x008899AAu);
    dc.BlendPixel({6, 0}, 0x00FFFFFF, 0);  // surface (10, 3): outside the clip
    EXPECT_EQ(PixelOf(dc, 10, 3), 0u);
}

TEST(DrawMemoryContext, ImagesAreBlittedAtTheOrigin) {
    MemoryDrawContext dc("dc");
    dc.Resize({8, 8});
    dc.SetOrigin({2, 2});
    SharedPtr<UI::Image> image = UI::Image::Create({2, 2});
    for (int i = 0; i < 4; ++i) image->Pixels()[i] = 0x00010203u * (i + 1);
    dc.DrawImage(image, image->Bounds(), {1, 1}, 0);
    EXPECT_EQ(PixelOf(dc, 3, 3), 0x00010203u);
    EXPECT_EQ(PixelOf(dc, 4, 4), 0x0004080Cu);
    dc.DrawBitmap(*image, {1, 1, 0, 0}, {0, 0}, 0);
    EXPECT_EQ(PixelOf(dc, 2, 2), 0x00020406u);
    dc.DrawImage(SharedPtr<UI::Image>(), {0, 1, 0, 1}, {0, 0}, 0);
    dc.DrawImage(UI::Image::Create({0, 5}), {0, 1, 0, 1}, {0, 0}, 0);
    EXPECT_EQ(CountPixels(dc, 0), 59);
}

TEST(DrawMemoryContext, CopiesEachRectangleCutToTheSurfaceThenEndsThePass) {
    MemoryDrawContext dc("dc");
    dc.Resize({30, 20});
    RecordingDevice device;
    dc.CopyRectsToDevice({Rect{0, 9, 0, 4}, Rect{25, 40, 15, 25}, Rect{50, 60, 0, 5}, Rect{}}, device);
    ASSERT_EQ(device.copies.size(), 2u);
    EXPECT_EQ(device.copies[0].area, (Platform::Gui::PixelRect{0, 0, 10, 5}));
    EXPECT_EQ(device.copies[1].area, (Platform::Gui::PixelRect{25, 15, 5, 5}));
    EXPECT_EQ(device.copies[0].surface.pixels, dc.Surface()->Pixels());
    EXPECT_EQ(device.copies[0].surface.width, 30);
    EXPECT_EQ(device.copies[0].surface.height, 20);
    EXPECT_EQ(device.copies[0].surface.stride, 30);
    EXPECT_EQ(dc.PassSize(), (UI::Size{-1, -1}));

    // Between passes the window system may still ask for any part of the last picture.
    dc.CopyRectToDevice({0, 29, 0, 19}, device);
    EXPECT_EQ(device.copies.back().area, (Platform::Gui::PixelRect{0, 0, 30, 20}));
}

TEST(DrawMemoryContext, EmptyAndNegativeSizesDrawAndCopyNothing) {
    MemoryDrawContext dc("dc");
    RecordingDevice device;
    for (UI::Size size : {UI::Size{0, 0}, UI::Size{-5, 10}, UI::Size{10, -1}, UI::Size{1 << 20, 1 << 20}}) {
        dc.Resize(size);
        dc.SetClipRect({0, 100, 0, 100});
        dc.DrawRect({0, 100, 0, 100}, UI::DrawRectFilled, 0x00FFFFFF, 0);
        dc.DrawRect({0, 100, 0, 100}, UI::DrawRectOutline, 0x00FFFFFF, 7);
        dc.DrawLine({0, 0}, {100, 100}, 0x00FFFFFF, 0);
        dc.BlendPixel({0, 0}, 0x00FFFFFF, 0);
        dc.DrawImage(UI::Image::Create({4, 4}), {0, 3, 0, 3}, {0, 0}, 0);
        dc.CopyRectsToDevice({Rect{0, 100, 0, 100}}, device);
        EXPECT_TRUE(device.copies.empty());
        ASSERT_TRUE(dc.Surface());
        EXPECT_EQ(dc.Surface()->Pixels(), nullptr);
    }
    // A usable size afterwards works again.
    dc.Resize({2, 2});
    dc.DrawRect({0, 1, 0, 1}, UI::DrawRectFilled, 0x00FFFFFF, 0);
    EXPECT_EQ(CountPixels(dc, 0x00FFFFFF), 4);
}

TEST(DrawMemoryContext, SurfaceFillAndSnapshot) {
    UI::DibSurface surface({4, 3});
    surface.FillRect({-1, 1, 1, 5}, 0x00AABBCC, 0);
    EXPECT_EQ(surface.Pixels()[1 * 4 + 0], 0x00AABBCCu);
    EXPECT_EQ(surface.Pixels()[2 * 4 + 1], 0x00AABBCCu);
    EXPECT_EQ(surface.Pixels()[2 * 4 + 2], 0u);

    SharedPtr<UI::Image> copy = surface.Snapshot();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Width(), 4);
    EXPECT_EQ(copy->Height(), 3);
    EXPECT_EQ(copy->Stride(), 4);
    EXPECT_FALSE(copy->HasAlpha());
    EXPECT_NE(copy->Pixels(), surface.Pixels());
    for (int i = 0; i < 12; ++i) EXPECT_EQ(copy->Pixels()[i], surface.Pixels()[i]);

    EXPECT_FALSE(UI::DibSurface().Snapshot());
    EXPECT_FALSE(UI::DibSurface({0, 7}).Snapshot());
    UI::DibSurface recreated({4, 3});
    EXPECT_TRUE(recreated.Create({2, 2}));
    EXPECT_EQ(recreated.Width(), 2);
    EXPECT_FALSE(recreated.Create({-2, 2}));
    EXPECT_EQ(recreated.Pixels(), nullptr);
    EXPECT_EQ(recreated.Width(), 0);
}
