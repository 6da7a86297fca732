#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Text/FontGlyphs.h>

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

using UI::Rect;

namespace {

// A font of hand-made glyphs: each a box, an advance and one coverage byte for all its pixels.
class FakeFont final : public UI::FontGlyphs {
public:
    struct Glyph {
        UI::GlyphBox box;
        std::uint8_t level;  // 255 minus coverage
    };
    std::map<char32_t, Glyph> glyphs;
    std::vector<std::pair<char32_t, char32_t>> asked;
    int ascent = 5;

    int Ascent() override { return ascent; }
    bool PrepareGlyph(char32_t code, char32_t next, UI::GlyphBox& box) override {
        asked.push_back({code, next});
        auto it = glyphs.find(code);
        if (it == glyphs.end()) return false;
        m_current = &it->second;
        box = m_current->box;
        return true;
    }
    void RenderGlyph(std::uint8_t* coverage) override {
        for (int i = 0; i < m_current->box.width * m_current->box.height; ++i) coverage[i] = m_current->level;
    }

private:
    const Glyph* m_current = nullptr;
};

std::uint32_t PixelOf(const UI::MemoryDrawContext& dc, int x, int y) {
    return dc.Surface()->Pixels()[y * dc.Surface()->Stride() + x];
}

std::vector<std::pair<int, int>> Lit(const UI::MemoryDrawContext& dc) {
    std::vector<std::pair<int, int>> lit;
    for (int y = 0; y < dc.Surface()->Height(); ++y)
        for (int x = 0; x < dc.Surface()->Width(); ++x)
            if (PixelOf(dc, x, y) != 0) lit.push_back({x, y});
    return lit;
}

}  // namespace

TEST(DrawText, GlyphsSitOnTheBaselineAndAdvanceThePenByRoundedSteps) {
    FakeFont font;
    font.glyphs['A'] = {{0, 0, 2, 3, 2.5}, 0};  // full ink
    font.glyphs['B'] = {{1, -1, 1, 1, 1.0}, 128};  // half ink, offset right and up
    UI::MemoryDrawContext dc("dc");
    dc.Resize({12, 8});
    dc.SetOrigin({1, 0});

    dc.DrawText(font, {0, 0}, "AxB", 0x00FFFFFF, 0);
    // 'A': pen 1, baseline 5: box x 1..2, rows 5 - 3 = 2 .. 4. 'x' has no glyph and does
    // not move the pen; 2.5 rounds to 3, so 'B' starts at pen 4: x 5, row 5 - 1 - 1 = 3.
    EXPECT_EQ(Lit(dc), (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}, {1, 3}, {2, 3}, {5, 3}, {1, 4}, {2, 4}}));
    EXPECT_EQ(PixelOf(dc, 1, 2), 0x00FFFFFFu);
    EXPECT_EQ(PixelOf(dc, 5, 3), 0x007F7F7Fu);  // (255·127 + 128) >> 8
    // Each glyph is asked for with the character after it, for kerning.
    EXPECT_EQ(font.asked, (std::vector<std::pair<char32_t, char32_t>>{{'A', 'x'}, {'x', 'B'}, {'B', 0}}));
}

TEST(DrawText, TransparencyAddsToTheGlyphsLevelAndTheClipCutsGlyphs) {
    FakeFont font;
    font.glyphs['A'] = {{0, 0, 3, 3, 3.0}, 100};
    UI::MemoryDrawContext dc("dc");
    dc.Resize({10, 10});
    dc.SetClipRect({0, 9, 0, 3});
    dc.DrawText(font, {0, 0}, "AA", 0x00FFFFFF, 100);
    // Level 200: (255·55 + 128) >> 8 = 55. Rows 2..4, of which 4 lies outside the clip.
    EXPECT_EQ(PixelOf(dc, 0, 2), 0x00373737u);
    EXPECT_EQ(PixelOf(dc, 5, 3), 0x00373737u);
    EXPECT_EQ(PixelOf(dc, 0, 4), 0u);
    EXPECT_EQ(Lit(dc).size(), 12u);

    // A level of 255 or more leaves the surface alone.
    dc.Resize({10, 10});
    dc.DrawRect({0, 9, 0, 9}, UI::DrawRectFilled, 0, 0);
    dc.DrawText(font, {0, 0}, "A", 0x00FFFFFF, 155);
    EXPECT_TRUE(Lit(dc).empty());
}

TEST(DrawText, TextIsReadAsUtf8AndNegativeAdvancesRoundAwayFromZero) {
    FakeFont font;
    font.glyphs[0xE9] = {{0, 0, 1, 1, -2.5}, 0};
    font.glyphs['b'] = {{0, 0, 1, 1, 1.0}, 0};
    UI::MemoryDrawContext dc("dc");
    dc.Resize({10, 6});
    dc.DrawText(font, {5, -4},
        "\xC3\xA9"
        "b\xFF\xE2\x82",
        0x00FFFFFF, 0);
    // 'é' at pen 5, then the pen moves by -3 to 2 for 'b'; baseline -4 + 5 = 1, row 0.
    EXPECT_EQ(Lit(dc), (std::vector<std::pair<int, int>>{{2, 0}, {5, 0}}));
    // A stray byte and a cut-off sequence each read as one U+FFFD.
    EXPECT_EQ(font.asked,
        (std::vector<std::pair<char32_t, char32_t>>{{0xE9, 'b'}, {'b', 0xFFFD}, {0xFFFD, 0xFFFD}, {0xFFFD, 0}}));

    font.asked.clear();
    dc.DrawText(font, {0, 0}, "", 0x00FFFFFF, 0);
    dc.DrawText(font, {0, 0}, String(), 0x00FFFFFF, 0);
    EXPECT_TRUE(font.asked.empty());
}

TEST(DrawText, BrokenGlyphMetricsAreSurvived) {
    FakeFont font;
    font.glyphs['a'] = {{0, 0, -3, 4, 1e300}, 0};
    font.glyphs['b'] = {{0, 0, 100000, 100000, 0.0}, 0};
    font.glyphs['c'] = {{2000000000, 2000000000, 2, 2, -1e300}, 0};
    UI::MemoryDrawContext dc("dc");
    dc.Resize({10, 10});
    dc.DrawText(font, {0, 0}, "abcabc", 0x00FFFFFF, 0);
    EXPECT_TRUE(Lit(dc).empty());
}
