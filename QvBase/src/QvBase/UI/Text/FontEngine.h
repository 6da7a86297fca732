#pragma once
#include <QvBase/UI/Text/Font.h>

#include <agg_conv_contour.h>
#include <agg_conv_curve.h>
#include <agg_font_freetype.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_u.h>

#include <cstdint>
#include <vector>

namespace UI {

// The rasteriser behind one font: the outline engine, its glyph cache and the buffers
// every glyph of the font is drawn through.
class Font::Engine {
public:
    Engine(const String& faceFileName, const FontDescription& description);

    const String& FacePath() const { return m_facePath; }
    bool IsLoaded() const { return m_loaded; }
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }

    bool Prepare(char32_t code, char32_t next, GlyphBox& box);
    bool Render(char32_t code, const std::uint8_t*& buffer, int& width);

private:
    using OutlineEngine = agg::font_engine_freetype_int32;
    using GlyphCache = agg::font_cache_manager<OutlineEngine>;
    using Curves = agg::conv_curve<GlyphCache::path_adaptor_type>;
    using Contour = agg::conv_contour<Curves>;

    // The cached glyph of a character the face really has (not its placeholder glyph).
    const agg::glyph_cache* Glyph(char32_t code);

    FontDescription m_description;
    OutlineEngine m_outlines;
    GlyphCache m_cache;
    Curves m_curves;
    Contour m_contour;
    agg::rasterizer_scanline_aa<> m_rasteriser;
    agg::scanline_u8 m_scanline;
    std::vector<std::uint8_t> m_buffer;
    double m_contourWidth = 0.0;
    int m_ascent = 0;
    int m_descent = 0;
    String m_facePath;
    bool m_loaded = false;
};

}  // namespace UI
