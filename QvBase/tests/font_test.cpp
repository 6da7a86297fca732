#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Text/Font.h>

#include <Platform/Gui/FontFiles.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace {

UI::FontDescription Outline(float size, float weight = 0.0f) {
    return {UI::FontRenderType::Outline, size, weight, 1.0f};
}

// The same face opened straight through FreeType, hinted as the engine does, at a pixel size.
class Reference {
public:
    Reference(const std::string& path, double size) {
        EXPECT_EQ(FT_Init_FreeType(&m_library), 0);
        EXPECT_EQ(FT_New_Face(m_library, path.c_str(), 0, &m_face), 0);
        const FT_F26Dot6 s = FT_F26Dot6(std::lround(size * 64.0));
        EXPECT_EQ(FT_Set_Char_Size(m_face, s, s, 72, 72), 0);
    }
    ~Reference() {
        if (m_face) FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
    }
    FT_Face Face() const { return m_face; }

    double Advance(char32_t code) {
        EXPECT_EQ(FT_Load_Char(m_face, code, FT_LOAD_DEFAULT), 0);
        return m_face->glyph->advance.x / 64.0;
    }
    double Kerning(char32_t a, char32_t b) {
        FT_Vector delta{0, 0};
        FT_Get_Kerning(m_face, FT_Get_Char_Index(m_face, a), FT_Get_Char_Index(m_face, b), FT_KERNING_DEFAULT, &delta);
        return delta.x / 64.0;
    }
    // Coverage of each pixel by its column and the y of its lower edge (upwards).
    // `widen` makes the outline that many pixels wider and higher, half on each side.
    std::map<std::pair<int, int>, int> Coverage(char32_t code, double widen = 0.0) {
        std::map<std::pair<int, int>, int> map;
        EXPECT_EQ(FT_Load_Char(m_face, code, FT_LOAD_DEFAULT), 0);
        if (widen != 0.0) {
            EXPECT_EQ(FT_Outline_Embolden(&m_face->glyph->outline, FT_Pos(std::lround(widen * 64))), 0);
        }
        EXPECT_EQ(FT_Render_Glyph(m_face->glyph, FT_RENDER_MODE_NORMAL), 0);
        const FT_Bitmap& b = m_face->glyph->bitmap;
        for (unsigned r = 0; r < b.rows; ++r)
            for (unsigned c = 0; c < b.width; ++c)
                if (int v = b.buffer[r * b.pitch + c])
                    map[{m_face->glyph->bitmap_left + int(c), m_face->glyph->bitmap_top - int(r) - 1}] = v;
        return map;
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

std::map<std::pair<int, int>, int> EngineCoverage(UI::Font& font, char32_t code) {
    std::map<std::pair<int, int>, int> map;
    UI::GlyphBox box;
    EXPECT_TRUE(font.PrepareGlyph(code, 0, box));
    const std::uint8_t* buffer = nullptr;
    int width = 0;
    EXPECT_TRUE(font.RenderGlyph(code, buffer, width));
    EXPECT_EQ(width, box.width);
    const int lower = -box.offsetY;
    for (int r = 0; r < box.height; ++r)
        for (int c = 0; c < box.width; ++c)
            if (int v = 255 - buffer[r * width + c]) map[{box.offsetX + c, lower + box.height - 1 - r}] = v;
    return map;
}

long Ink(const std::map<std::pair<int, int>, int>& coverage) {
    long sum = 0;
    for (auto& [at, v] : coverage) sum += v;
    return sum;
}

}  // namespace

TEST(FontFiles, ArialResolvesOnlyToItsOwnOrAMetricCompatibleFamilyAndUnknownNamesToNothing) {
    const std::string path = Platform::Gui::FindFontFile("arial.ttf");
    ASSERT_FALSE(path.empty()) << "the metric-compatible face (fonts-liberation) is not installed";
    Reference reference(path, 11.0);
    const std::string family = reference.Face()->family_name;
    EXPECT_TRUE(family == "Arial" || family == "Liberation Sans" || family == "Arimo") << family;
    EXPECT_FALSE(reference.Face()->style_flags & (FT_STYLE_FLAG_BOLD | FT_STYLE_FLAG_ITALIC));
    EXPECT_EQ(Platform::Gui::FindFontFile("ARIAL.TTF"), path);

    const std::string bold = Platform::Gui::FindFontFile("arialbd.ttf");
    ASSERT_FALSE(bold.empty());
    EXPECT_TRUE(Reference(bold, 11.0).Face()->style_flags & FT_STYLE_FLAG_BOLD);

    // An installed file is found by its own name.
    const std::string own = path.substr(path.rfind('/') + 1);
    EXPECT_EQ(Platform::Gui::FindFontFile(own), path);

    EXPECT_EQ(Platform::Gui::FindFontFile("no-such-face-here.ttf"), "");
    EXPECT_EQ(Platform::Gui::FindFontFile(""), "");
    EXPECT_EQ(Platform::Gui::FindFontFile("../" + own), "");
}

TEST(Font, AMissingFaceMeasuresNothingAndDrawsNothing) {
    const int before = UI::Font::LiveCount();
    {
        UI::Font font("no-such-face-here.ttf", Outline(11.0f));
        EXPECT_EQ(UI::Font::LiveCount(), before + 1);
        EXPECT_FALSE(font.IsLoaded());
        EXPECT_TRUE(font.FacePath().IsEmpty());
        EXPECT_EQ(font.GetAscent(), 0);
        EXPECT_EQ(font.GetDescent(), 0);
        EXPECT_EQ(font.GetTextWidth("Hello"), 0);
        UI::GlyphBox box;
        EXPECT_FALSE(font.PrepareGlyph('H', 'e', box));
        const std::uint8_t* buffer = nullptr;
        int width = 7;
        EXPECT_FALSE(font.RenderGlyph('H', buffer, width));
        EXPECT_EQ(buffer, nullptr);

        UI::MemoryDrawContext dc("dc");
        dc.Resize({40, 20});
        dc.DrawText(font, {0, 0}, "Hello", 0x00FFFFFF, 0);
        for (int i = 0; i < 40 * 20; ++i) ASSERT_EQ(dc.Surface()->Pixels()[i], 0u);
    }
    EXPECT_EQ(UI::Font::LiveCount(), before);
}

TEST(Font, MetricsAndWidthsAgreeWithTheFaceReadDirectly) {
    UI::Font font("arial.ttf", Outline(11.0f));
    ASSERT_TRUE(font.IsLoaded());
    Reference reference(font.FacePath().CStr(), 11.0);
    FT_Face face = reference.Face();
    // The engine scales the face's ascender and descender by size over line height.
    EXPECT_EQ(font.GetAscent(), int(std::ceil(face->ascender * 11.0 / face->height)));
    EXPECT_EQ(font.GetDescent(), -int(std::ceil(face->descender * 11.0 / face->height)));
    EXPECT_GT(font.GetAscent(), 5);
    EXPECT_GT(font.GetDescent(), 0);

    const std::u32string text = U"AVATAR To, Wy 0.5 kHz";
    std::string narrow(text.begin(), text.end());
    double expected = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        double advance = reference.Advance(text[i]);
        if (i + 1 < text.size()) advance += reference.Kerning(text[i], text[i + 1]);
        expected += std::round(advance);
    }
    EXPECT_EQ(font.GetTextWidth(narrow.c_str()), int(expected));
    EXPECT_GT(font.GetTextWidth(narrow.c_str()), 60);

    UI::GlyphBox box;
    ASSERT_TRUE(font.PrepareGlyph('A', 'V', box));
    EXPECT_DOUBLE_EQ(box.advance, reference.Advance('A') + reference.Kerning('A', 'V'));
    ASSERT_TRUE(font.PrepareGlyph('A', 0, box));
    EXPECT_DOUBLE_EQ(box.advance, reference.Advance('A'));

    EXPECT_EQ(font.GetTextWidth(""), 0);
    // Private-use characters have no glyph: they neither measure nor draw.
    EXPECT_EQ(font.GetTextWidth("\xEE\x80\x80\xEE\x80\x81"), 0);
    EXPECT_FALSE(font.PrepareGlyph(0xE000, 0, box));
    EXPECT_EQ(font.GetTextWidth("A\xEE\x80\x80"), int(std::round(reference.Advance('A'))));
}

TEST(Font, OutlineGlyphsMatchTheFacesOwnRasteriser) {
    UI::Font font("arial.ttf", Outline(24.0f));
    ASSERT_TRUE(font.IsLoaded());
    Reference reference(font.FacePath().CStr(), 24.0);
    for (char32_t code : {U'H', U'g', U'O', U'%'}) {
        const auto engine = EngineCoverage(font, code);
        const auto direct = reference.Coverage(code);
        const long ink = Ink(direct);
        ASSERT_GT(ink, 255 * 20);
        EXPECT_NEAR(double(Ink(engine)), double(ink), ink * 0.02) << char(code);
        long difference = 0;
        auto keys = engine;
        for (auto& [at, v] : direct) keys[at];
        for (auto& [at, v] : keys) {
            const int a = engine.count(at) ? engine.at(at) : 0, b = direct.count(at) ? direct.at(at) : 0;
            EXPECT_LE(std::abs(a - b), 40) << char(code) << " at " << at.first << "," << at.second;
            difference += std::abs(a - b);
        }
        EXPECT_LT(difference, ink / 20) << char(code);
    }
    // Space has a glyph and an advance but no box to draw.
    UI::GlyphBox box;
    EXPECT_TRUE(font.PrepareGlyph(' ', 0, box));
    EXPECT_GT(box.advance, 3.0);
}

TEST(Font, WeightFactorOffsetsOutlinesOnlyFromOneHundredth) {
    UI::Font plain("arial.ttf", Outline(20.0f));
    UI::Font tiny("arial.ttf", Outline(20.0f, 0.005f));
    UI::Font heavy("arial.ttf", Outline(20.0f, 1.0f));
    UI::Font light("arial.ttf", Outline(20.0f, -1.0f));
    ASSERT_TRUE(plain.IsLoaded());
    Reference reference(plain.FacePath().CStr(), 20.0);
    EXPECT_EQ(EngineCoverage(tiny, 'H'), EngineCoverage(plain, 'H'));
    // Factor 1 at 20 pixels: a contour of width 20 × 0.025 = half a pixel, a quarter
    // pixel outwards on each side.
    const long base = Ink(EngineCoverage(plain, 'H'));
    const long grown = Ink(reference.Coverage('H', 0.5)), shrunk = Ink(reference.Coverage('H', -0.5));
    ASSERT_GT(grown - base, 255 * 10);
    EXPECT_NEAR(double(Ink(EngineCoverage(heavy, 'H'))), double(grown), (grown - base) * 0.1);
    EXPECT_NEAR(double(Ink(EngineCoverage(light, 'H'))), double(shrunk), (base - shrunk) * 0.1);
}

TEST(Font, EveryRenderTypeDrawsTheGlyph) {
    using T = UI::FontRenderType;
    for (T type : {T::NativeMono, T::NativeGrey, T::Outline, T::AggMono, T::AggGrey}) {
        UI::Font font("arial.ttf", {type, 16.0f, 0.0f, 1.0f});
        const auto coverage = EngineCoverage(font, 'E');
        EXPECT_GT(Ink(coverage), 255 * 15) << int(type);
        if (type == T::NativeMono || type == T::AggMono) {
            for (auto& [at, v] : coverage) EXPECT_EQ(v, 255) << int(type);
        }
    }
}

TEST(Font, TextDrawnIntoAMemoryContextSitsWhereTheFacePutsIt) {
    UI::Font font("arial.ttf", Outline(20.0f));
    ASSERT_TRUE(font.IsLoaded());
    Reference reference(font.FacePath().CStr(), 20.0);
    UI::MemoryDrawContext dc("dc");
    dc.Resize({60, 40});
    dc.DrawText(font, {5, 3}, "HI", 0x00FFFFFF, 0);
    // Expected ink: each glyph's own bitmap at the pen, the baseline at the top plus the ascent.
    std::map<std::pair<int, int>, int> expected;
    const int baseline = 3 + font.GetAscent();
    double pen = 5;
    for (char32_t code : {U'H', U'I'}) {
        for (auto& [at, v] : reference.Coverage(code)) expected[{int(pen) + at.first, baseline - 1 - at.second}] = v;
        pen += std::round(reference.Advance(code) + reference.Kerning(code, code == U'H' ? U'I' : 0));
    }
    long drawn = 0, wanted = 0, misplaced = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const int v = int(dc.Surface()->Pixels()[y * 60 + x] & 0xFF);
            const int w = expected.count({x, y}) ? expected.at({x, y}) : 0;
            drawn += v;
            wanted += w;
            misplaced += std::abs(v - w);
        }
    ASSERT_GT(wanted, 255 * 30);
    EXPECT_NEAR(double(drawn), double(wanted), wanted * 0.03);
    EXPECT_LT(misplaced, wanted / 10);
}

#if defined(__SANITIZE_ADDRESS__)
// The font configuration library keeps a few blocks from its start-up for the whole run,
// which the leak checker reports at exit; the program never frees them either.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

TEST(Font, SizesOutOfRangeCountAsTheSmallest) {
    // Negative, huge and non-numeric sizes would wrap inside the engine into glyphs
    // millions of pixels tall: they count as size 0 (the engine's smallest, a pixel or two).
    using T = UI::FontRenderType;
    for (T type : {T::NativeGrey, T::Outline, T::AggGrey}) {
        for (float size : {-12.0f, 5000.0f, 1e9f, 3e38f, INFINITY, -INFINITY, NAN}) {
            UI::Font font("arial.ttf", {type, size, 0.0f, 1.0f});
            ASSERT_TRUE(font.IsLoaded());
            EXPECT_LE(font.GetTextWidth("Hm"), 4) << size;
            UI::GlyphBox box;
            if (font.PrepareGlyph('H', 'm', box)) {
                EXPECT_LE(box.width, 2) << size;
                EXPECT_LE(box.height, 2) << size;
            }
            UI::MemoryDrawContext dc("dc");
            dc.Resize({40, 20});
            dc.DrawText(font, {0, 10}, "Hm", 0x00FFFFFF, 0);
        }
    }
    // The largest size kept still measures.
    EXPECT_GT(UI::Font("arial.ttf", Outline(4096.0f)).GetTextWidth("H"), 1000);
}
