#include <QvBase/UI/Drawing/DrawContextPixels.h>
#include <QvBase/UI/Text/FontGlyphs.h>
#include <QvBase/Util/Math.h>

#include <Platform/Text/Utf8.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace UI {

namespace {

// A glyph larger than this is a broken font, not a picture to allocate.
constexpr std::int64_t MaxGlyphPixels = 1 << 24;
constexpr std::int64_t MaxAdvance = 1 << 24;

}  // namespace

void DrawTextPixels(std::uint32_t* pixels, int stride, const Rect& clip, FontGlyphs& font, Point topLeft,
    const char* text, Colour colour, Transparency t) {
    if (!text || !*text) return;
    const std::u32string codes = Platform::Text::DecodeUtf8(text);
    std::int64_t penX = topLeft.x;
    const std::int64_t baseline = static_cast<std::int64_t>(topLeft.y) + font.Ascent();
    std::vector<std::uint8_t> coverage;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        GlyphBox box;
        if (!font.PrepareGlyph(codes[i], i + 1 < codes.size() ? codes[i + 1] : 0, box)) continue;
        // Clamped so that a broken font's advance cannot overflow the pen.
        const std::int64_t advance = std::clamp<std::int64_t>(Util::RoundToInt64(box.advance), -MaxAdvance, MaxAdvance);
        if (box.width >= 1 && box.height >= 1 && static_cast<std::int64_t>(box.width) * box.height <= MaxGlyphPixels) {
            coverage.assign(static_cast<std::size_t>(box.width) * box.height, 255);
            font.RenderGlyph(coverage.data());
            const std::int64_t left = penX + box.offsetX, top = baseline - box.height + box.offsetY;
            const std::int64_t x0 = std::max<std::int64_t>(left, clip.left);
            const std::int64_t x1 = std::min<std::int64_t>(left + box.width - 1, clip.right);
            const std::int64_t y0 = std::max<std::int64_t>(top, clip.top);
            const std::int64_t y1 = std::min<std::int64_t>(top + box.height - 1, clip.bottom);
            for (std::int64_t y = y0; y <= y1; ++y) {
                const std::uint8_t* row = coverage.data() + (y - top) * box.width;
                std::uint32_t* into = pixels + static_cast<std::ptrdiff_t>(y) * stride;
                for (std::int64_t x = x0; x <= x1; ++x) {
                    const unsigned level = std::min(255u, row[x - left] + unsigned{t});
                    into[x] = BlendColour(into[x], colour, static_cast<Transparency>(level));
                }
            }
        }
        penX += advance;
    }
}

}  // namespace UI
