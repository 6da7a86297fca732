#pragma once
#include <cstdint>

namespace UI {

// Where one glyph lands relative to the pen and the baseline, and how far it moves the pen.
struct GlyphBox {
    int offsetX = 0;
    int offsetY = 0;
    int width = 0;
    int height = 0;
    double advance = 0.0;  // kerning against the next character included
};

// What drawing text needs of a font: the outline font implements it.
class FontGlyphs {
public:
    // Pixels from the top of a line to its baseline.
    virtual int Ascent() = 0;
    // Makes the glyph of `code` current, kerned against `next` (0 at the end of the text);
    // false when the font has no glyph for it.
    virtual bool PrepareGlyph(char32_t code, char32_t next, GlyphBox& box) = 0;
    // Writes the current glyph as box.width × box.height bytes, rows top down, each byte
    // 255 minus the glyph's coverage (255 where there is no ink).
    virtual void RenderGlyph(std::uint8_t* coverage) = 0;

protected:
    ~FontGlyphs() = default;
};

}  // namespace UI
