// Label text: the platform's text output, and the label widget's picture, size and paint.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Text/Text.h>

#include <Platform/Gui/FontFiles.h>
#include <Platform/Gui/TextOutput.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <string>

using namespace toolkit_test;

class TextClickCounter : public Object {
    QV_OBJECT()
public:
    TextClickCounter() : Object("counter") {}
    void slotClicked() { ++clicks; }
    int clicks = 0;
};

QV_META_BEGIN(TextClickCounter, Object)
    QV_META_SLOTS
    QV_SLOT(slotClicked)
QV_META_END

namespace {

// The text's pen advance at a pixel size, read straight from the face file.
double FaceAdvance(const std::string& text, int pixels) {
    const std::string path = Platform::Gui::FindFontFile("arial.ttf");
    FT_Library library;
    FT_Face face;
    EXPECT_EQ(FT_Init_FreeType(&library), 0);
    EXPECT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, pixels);
    double advance = 0;
    for (char c : text) {
        FT_Load_Char(face, FT_ULong(c), FT_LOAD_NO_HINTING);
        advance += face->glyph->linearHoriAdvance / 65536.0;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return advance;
}

}  // namespace

TEST(TextOutput, RendersWhiteOnBlackAsHighAsTheLineAndAsWideAsTheText) {
    const Platform::Gui::TextFace face{"Arial", -20};
    const int line = Platform::Gui::TextLineHeight(face);
    // The face's ascent plus descent at 20 pixels is about 23 pixels.
    EXPECT_NEAR(line, 23, 2);

    const Platform::Gui::TextPicture picture = Platform::Gui::RenderText(face, "Frequency", 0);
    EXPECT_EQ(picture.height, line);
    EXPECT_NEAR(picture.width, FaceAdvance("Frequency", 20), 3.0);
    ASSERT_EQ(picture.pixels.size(), std::size_t(picture.width) * picture.height);
    int white = 0, grey = 0;
    for (std::uint32_t p : picture.pixels) {
        const std::uint32_t r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
        ASSERT_TRUE(r == g && g == b) << std::hex << p;  // no coloured edges
        white += p == 0xFFFFFF;
        grey += p != 0 && p != 0xFFFFFF;
    }
    EXPECT_GT(white, 40);
    EXPECT_GT(grey, 20);

    // Extra spacing widens the text by about that much per character.
    const int spaced = Platform::Gui::RenderText(face, "Frequency", 2).width;
    EXPECT_NEAR(spaced - picture.width, 2 * 9, 3);
    // A cell height is the whole line.
    EXPECT_NEAR(Platform::Gui::TextLineHeight({"Arial", 30}), 30, 1);

    EXPECT_EQ(Platform::Gui::RenderText(face, "", 0).width, 0);
    EXPECT_TRUE(Platform::Gui::RenderText(face, "", 0).pixels.empty());
    // Broken UTF-8 still renders, as replacement characters.
    EXPECT_GT(Platform::Gui::RenderText(face, "a\xC3\x28\xFF", 0).width, 0);
}

class TextTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = std::make_unique<UI::Frame>(
            info.get(), Platform::Gui::NoWindow, nullptr, UI::Point{}, "F", UI::Rect{0, 199, 0, 99});
        frame->SetColour(6, 0x00E0C0A0);
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    std::unique_ptr<UI::Frame> frame;
};

TEST_F(TextTest, ALabelIsItsRenderedTextInItsColourOnNothing) {
    auto* text = new UI::Text(frame.get(), nullptr, "Label", "Hz 0.5", 0, 3);
    EXPECT_FALSE(text->IsEnabled());
    EXPECT_EQ(text->LayoutKind(), 3u);
    EXPECT_EQ(text->GetColour(), 0x00E0C0A0u);

    const Platform::Gui::TextPicture rendered = Platform::Gui::RenderText({"Arial", -9}, "Hz 0.5", 1);
    ASSERT_GT(rendered.width, 10);
    EXPECT_EQ(text->Width(), rendered.width);
    EXPECT_EQ(text->Height(), rendered.height);
    const SharedPtr<UI::Image> picture = text->Picture();
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->HasAlpha());
    ASSERT_EQ(picture->Width(), rendered.width);
    ASSERT_EQ(picture->Height(), rendered.height);
    int ink = 0;
    for (int y = 0; y < rendered.height; ++y)
        for (int x = 0; x < rendered.width; ++x) {
            const std::uint32_t from = rendered.pixels[y * rendered.width + x];
            const std::uint32_t got = picture->Pixels()[y * picture->Stride() + x];
            if (from == 0) {
                EXPECT_EQ(got, 0xFF000000u);
            } else {
                EXPECT_EQ(got & 0xFFFFFF, 0x00E0C0A0u);
                EXPECT_EQ(got >> 24, 255 - (from & 0xFF));
                ++ink;
            }
        }
    EXPECT_GT(ink, 20);

    // A new colour is baked in at once; the same text is not rendered again.
    text->SetColour(0x00102030);
    const SharedPtr<UI::Image> recoloured = text->Picture();
    ASSERT_TRUE(recoloured);
    EXPECT_FALSE(recoloured == picture);
    text->SetText("Hz 0.5");
    EXPECT_TRUE(text->Picture() == recoloured);
    text->SetText("kHz 10.5");
    EXPECT_GT(text->Width(), rendered.width);

    TextClickCounter counter;
    ASSERT_TRUE(Object::Connect(text, "2sigClicked()", &counter, "1slotClicked()"));
    EXPECT_TRUE(text->OnLeftDown({1, 1}, 0));
    EXPECT_EQ(counter.clicks, 1);
    EXPECT_STREQ(text->ClassName(), "UI::Text");
    delete text;
}

TEST_F(TextTest, AnEmptyTextIsAsHighAsItsFontAndHasNoPicture) {
    auto* empty = new UI::Text(frame.get(), nullptr, "Empty", "", 0, 3);
    EXPECT_EQ(empty->Width(), 0);
    EXPECT_EQ(empty->Height(), Platform::Gui::TextLineHeight({"Arial", -9}));
    EXPECT_GT(empty->Height(), 5);
    EXPECT_FALSE(empty->Picture());
    // Text set later renders; set back to empty, the picture goes.
    empty->SetText("s");
    EXPECT_TRUE(empty->Picture());
    empty->SetText("");
    EXPECT_FALSE(empty->Picture());

    // A bigger frame font makes a taller label.
    frame->SetFont(1, {-20, "Arial", 0, 0});
    auto* big = new UI::Text(frame.get(), nullptr, "Big", "s", 1, 3);
    EXPECT_EQ(big->Height(), Platform::Gui::TextLineHeight({"Arial", -20}));

    // No font: nothing is rendered.
    auto* none = new UI::Text(frame.get(), nullptr, "None", "text", 3, 0);
    EXPECT_FALSE(none->Picture());
    delete none;
    delete big;
    delete empty;
}

TEST_F(TextTest, PaintingBlitsThePictureOverWhatLiesBeneath) {
    UI::MemoryDrawContext dc("dc");
    dc.Resize({200, 100});
    dc.DrawRect({0, 199, 0, 99}, 1, 0x00000080, 0);
    auto* text = new UI::Text(frame.get(), nullptr, "Label", "HIL", 0, 3);
    text->SetColour(0x00FFFF00);
    text->SetGeometry(10, 20, 0, 0);  // the size stays the text's
    ASSERT_GT(text->Width(), 5);
    dc.SetClipRect({0, 199, 0, 99});
    UI::Window::PaintChild(dc, *text);

    const SharedPtr<UI::Image> picture = text->Picture();
    const std::uint32_t* pixels = dc.Surface()->Pixels();
    const int stride = dc.Surface()->Stride();
    int full = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::uint32_t got = pixels[y * stride + x] & 0xFFFFFF;
            const bool inside = x >= 10 && x < 10 + text->Width() && y >= 20 && y < 20 + text->Height();
            if (!inside) {
                ASSERT_EQ(got, 0x00000080u) << x << "," << y;
                continue;
            }
            const std::uint32_t own = picture->Pixels()[(y - 20) * picture->Stride() + (x - 10)];
            if (own >> 24 == 255) {
                EXPECT_EQ(got, 0x00000080u);
            }
            if (own >> 24 == 0) {
                EXPECT_EQ(got, 0x00FFFF00u);
                ++full;
            }
        }
    EXPECT_GT(full, 3);

    // Half transparent: the colour blends half into the background.
    text->SetTransparency(128);
    dc.DrawRect({0, 199, 0, 99}, 1, 0x00000080, 0);
    UI::Window::PaintChild(dc, *text);
    for (int y = 0; y < text->Height(); ++y)
        for (int x = 0; x < text->Width(); ++x) {
            if (picture->Pixels()[y * picture->Stride() + x] >> 24 != 0) continue;
            const std::uint32_t got = pixels[(y + 20) * stride + x + 10];
            EXPECT_NEAR(int((got >> 16) & 0xFF), 0x7F, 1);
            EXPECT_NEAR(int(got & 0xFF), 0x40, 1);
        }
    delete text;
}
