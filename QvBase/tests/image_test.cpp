#include <QvBase/UI/Drawing/Image.h>

#include <gtest/gtest.h>

TEST(Image, NewImagesAreEmpty) {
    UI::Image image;
    EXPECT_EQ(image.Pixels(), nullptr);
    EXPECT_EQ(image.Buffer().UseCount(), 1);
    EXPECT_EQ(image.Stride(), 0);
    EXPECT_EQ(image.Width(), -1);
    EXPECT_EQ(image.Height(), -1);
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_TRUE(image.IsEmpty());
}

TEST(Image, CreateGivesStrideEqualToWidthAndRefusesBadSizes) {
    SharedPtr<UI::Image> image = UI::Image::Create({7, 3});
    ASSERT_TRUE(image);
    EXPECT_NE(image->Pixels(), nullptr);
    EXPECT_EQ(image->Stride(), 7);
    EXPECT_EQ(image->Width(), 7);
    EXPECT_EQ(image->Height(), 3);
    EXPECT_FALSE(image->HasAlpha());
    EXPECT_EQ(image->Bounds(), (UI::Rect{0, 6, 0, 2}));
    for (int i = 0; i < 21; ++i) image->Pixels()[i] = 0xFFFFFFFFu;  // every pixel is writable

    // Zero or negative: an empty image, never an allocation.
    for (UI::Size size : {UI::Size{0, 0}, UI::Size{0, 5}, UI::Size{5, 0}, UI::Size{-1, 5}, UI::Size{-3, -3},
             UI::Size{-2147483647 - 1, -1}}) {
        SharedPtr<UI::Image> none = UI::Image::Create(size);
        ASSERT_TRUE(none);
        EXPECT_TRUE(none->IsEmpty());
        EXPECT_EQ(none->Pixels(), nullptr);
        EXPECT_EQ(none->Stride(), 0);
    }
    // More bytes than a 32-bit length can count: no image at all.
    EXPECT_FALSE(UI::Image::Create({65536, 65536}));
    EXPECT_FALSE(UI::Image::Create({2147483647, 2}));
}

TEST(PixelBuffer, SharesByUseCountAndFreesWithTheLastHolder) {
    PixelBuffer a(PixelBuffer::Allocate(4));
    ASSERT_NE(a.Get(), nullptr);
    EXPECT_EQ(a.UseCount(), 1);
    {
        PixelBuffer b = a;
        PixelBuffer c;
        c = b;
        EXPECT_EQ(a.UseCount(), 3);
        EXPECT_EQ(c.Get(), a.Get());
        c = c;
        EXPECT_EQ(a.UseCount(), 3);
    }
    EXPECT_EQ(a.UseCount(), 1);

    // Resetting a shared block leaves the other holder its block and count.
    PixelBuffer shared = a;
    std::uint32_t* fresh = PixelBuffer::Allocate(2);
    std::uint32_t* old = a.Get();
    a.Reset(fresh);
    EXPECT_EQ(a.Get(), fresh);
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(shared.Get(), old);
    EXPECT_EQ(shared.UseCount(), 1);

    // Resetting the last holder frees the old block and reuses its count.
    a.Reset(PixelBuffer::Allocate(8));
    EXPECT_EQ(a.UseCount(), 1);
    a.Reset(a.Get());  // the same block: nothing happens
    EXPECT_EQ(a.UseCount(), 1);
    a.Reset(nullptr);
    EXPECT_EQ(a.Get(), nullptr);

    EXPECT_EQ(PixelBuffer::Allocate(0), nullptr);
    EXPECT_EQ(PixelBuffer::Allocate(static_cast<std::size_t>(-1)), nullptr);
}

TEST(Image, CopiesShareThePixelsAndSetPixelsGivesUpTheShare) {
    SharedPtr<UI::Image> image = UI::Image::Create({2, 2});
    UI::Image copy = *image;
    EXPECT_EQ(copy.Pixels(), image->Pixels());
    EXPECT_EQ(image->Buffer().UseCount(), 2);
    copy.SetPixels(PixelBuffer::Allocate(4));
    EXPECT_NE(copy.Pixels(), image->Pixels());
    EXPECT_EQ(image->Buffer().UseCount(), 1);
    EXPECT_EQ(copy.Buffer().UseCount(), 1);
}
