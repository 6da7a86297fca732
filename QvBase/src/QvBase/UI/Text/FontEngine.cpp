#include <QvBase/UI/Text/FontEngine.h>
#include <QvBase/Util/Math.h>

#include <Platform/Gui/FontFiles.h>

#include <agg_gamma_functions.h>
#include <agg_pixfmt_gray.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace UI {

namespace {

constexpr unsigned MaxFaces = 32;
constexpr unsigned MaxCachedFonts = 32;
// Below this weight factor outlines are drawn as they are.
constexpr double MinWeightFactor = 0.01;
// A glyph box beyond this is a broken face, not a picture to allocate.
constexpr std::int64_t MaxGlyphBytes = std::int64_t{1} << 24;
// Larger text sizes are broken descriptions (drawn as nothing), not text.
constexpr double MaxSize = 4096.0;

agg::glyph_rendering RenderingOf(FontRenderType type) {
    switch (type) {
    case FontRenderType::NativeMono: return agg::glyph_ren_native_mono;
    case FontRenderType::NativeGrey: return agg::glyph_ren_native_gray8;
    case FontRenderType::AggMono: return agg::glyph_ren_agg_mono;
    case FontRenderType::AggGrey: return agg::glyph_ren_agg_gray8;
    case FontRenderType::Outline: break;
    }
    return agg::glyph_ren_outline;
}

int WholePixels(double value) {
    return static_cast<int>(std::clamp<std::int64_t>(Util::RoundToInt64(value), -(1 << 20), 1 << 20));
}

}  // namespace

Font::Engine::Engine(const String& faceFileName, const FontDescription& description)
    : m_description(description),
      m_outlines(MaxFaces),
      m_cache(m_outlines, MaxCachedFonts),
      m_curves(m_cache.path_adaptor()),
      m_contour(m_curves) {
    m_outlines.hinting(true);
    const std::string path = Platform::Gui::FindFontFile(faceFileName.CStr());
    // A face that cannot be loaded is not reported: every glyph lookup then fails.
    if (!path.empty() && m_outlines.load_font(path.c_str(), 0, RenderingOf(description.renderType))) {
        m_loaded = true;
        m_facePath = path.c_str();
    }
    // The engine keeps sizes as whole 1/64 pixels in an unsigned field: a negative or huge
    // size would wrap into a glyph millions of pixels tall.
    const double size = std::isfinite(description.size) && description.size >= 0.0f && description.size <= MaxSize
        ? description.size
        : 0.0;
    m_outlines.width(size);
    m_outlines.height(size);
    m_contourWidth = -(double(description.weightFactor) * size * 0.05) * 0.5;
    m_contour.width(m_contourWidth);
    m_rasteriser.gamma(agg::gamma_power(description.gamma));
    if (m_loaded) {
        m_ascent = WholePixels(std::ceil(m_outlines.ascender()));
        m_descent = WholePixels(-std::ceil(m_outlines.descender()));
    }
}

const agg::glyph_cache* Font::Engine::Glyph(char32_t code) {
    if (!m_loaded) return nullptr;
    const agg::glyph_cache* glyph = m_cache.glyph(code);
    // Index 0 is the face's placeholder for characters it lacks.
    return glyph && glyph->glyph_index != 0 ? glyph : nullptr;
}

bool Font::Engine::Prepare(char32_t code, char32_t next, GlyphBox& box) {
    const agg::glyph_cache* glyph = Glyph(code);
    if (!glyph) return false;
    box.offsetX = glyph->bounds.x1;
    box.offsetY = -glyph->bounds.y1;
    const std::int64_t width = std::int64_t{glyph->bounds.x2} - glyph->bounds.x1 + 1;
    const std::int64_t height = std::int64_t{glyph->bounds.y2} - glyph->bounds.y1 + 1;
    box.width = static_cast<int>(std::clamp<std::int64_t>(width, 0, INT32_MAX));
    box.height = static_cast<int>(std::clamp<std::int64_t>(height, 0, INT32_MAX));
    box.advance = glyph->advance_x;
    if (next != 0 && Glyph(next)) {
        double dx = 0.0, dy = 0.0;
        if (m_cache.add_kerning(&dx, &dy)) box.advance += dx;
    }
    return true;
}

bool Font::Engine::Render(char32_t code, const std::uint8_t*& buffer, int& width) {
    buffer = nullptr;
    width = 0;
    const agg::glyph_cache* glyph = Glyph(code);
    if (!glyph) return false;
    const int left = glyph->bounds.x1, lower = glyph->bounds.y1;
    m_cache.init_embedded_adaptors(glyph, -left, -lower, 1.0);
    const std::int64_t w = std::int64_t{glyph->bounds.x2} - left + 1;
    const std::int64_t h = std::int64_t{glyph->bounds.y2} - lower + 1;
    if (w <= 0 || h <= 0) return true;
    if (w * h > MaxGlyphBytes) return false;

    m_buffer.assign(static_cast<std::size_t>(w * h), 255);
    // A negative row step puts the top of the glyph (its largest y) in the buffer's first row.
    agg::rendering_buffer rows(m_buffer.data(), unsigned(w), unsigned(h), -int(w));
    agg::pixfmt_gray8 pixels(rows);
    agg::renderer_base<agg::pixfmt_gray8> base(pixels);
    const agg::gray8 ink(0, 255);

    switch (glyph->data_type) {
    case agg::glyph_data_mono: {
        agg::renderer_scanline_bin_solid<agg::renderer_base<agg::pixfmt_gray8>> solid(base);
        solid.color(ink);
        agg::render_scanlines(m_cache.mono_adaptor(), m_cache.mono_scanline(), solid);
        break;
    }
    case agg::glyph_data_gray8: {
        agg::renderer_scanline_aa_solid<agg::renderer_base<agg::pixfmt_gray8>> solid(base);
        solid.color(ink);
        agg::render_scanlines(m_cache.gray8_adaptor(), m_cache.gray8_scanline(), solid);
        break;
    }
    case agg::glyph_data_outline: {
        agg::renderer_scanline_aa_solid<agg::renderer_base<agg::pixfmt_gray8>> solid(base);
        solid.color(ink);
        m_rasteriser.reset();
        if (std::fabs(m_description.weightFactor) >= MinWeightFactor)
            m_rasteriser.add_path(m_contour);
        else
            m_rasteriser.add_path(m_curves);
        agg::render_scanlines(m_rasteriser, m_scanline, solid);
        break;
    }
    default: return false;
    }
    buffer = m_buffer.data();
    width = static_cast<int>(w);
    return true;
}

}  // namespace UI
