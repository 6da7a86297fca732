#pragma once
#include <QvBase/UI/Text/FontDescription.h>
#include <QvBase/UI/Text/FontGlyphs.h>
#include <QvBase/Util/String.h>

#include <cstdint>
#include <memory>

namespace UI {

// An outline font face, found by its face file name (such as "arial.ttf") among the
// system's fonts and rasterised in software. A face that cannot be loaded gives a font
// that measures 0 and draws nothing. UI thread only: glyph buffers are shared by every draw.
class Font : public FontGlyphs {
public:
    Font(const String& faceFileName, const FontDescription& description);
    virtual ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const String& FaceFileName() const { return m_faceFileName; }
    const FontDescription& Description() const { return m_description; }
    // The file the face was loaded from; empty when none was found or it failed to load.
    const String& FacePath() const;
    bool IsLoaded() const;

    // Whole pixels; the descent is positive below the baseline.
    int GetAscent() const;
    int GetDescent() const;
    // The pen advance of the UTF-8 text, each glyph's advance with its kerning rounded on its own.
    int GetTextWidth(const String& text);

    // Offset, box and advance (kerned against `next` unless it is 0) of the glyph of `code`;
    // false when the font has no glyph for it.
    bool PrepareGlyph(char32_t code, char32_t next, GlyphBox& box) override;
    // Rasterises the glyph of `code` into the font's own buffer: `width` × box height bytes,
    // top row first, 255 minus coverage. An empty box succeeds with no buffer.
    bool RenderGlyph(char32_t code, const std::uint8_t*& buffer, int& width);

    // Text drawing: the glyph made current by the last PrepareGlyph.
    int Ascent() override { return GetAscent(); }
    void RenderGlyph(std::uint8_t* coverage) override;

    // Fonts alive in the process.
    static int LiveCount();

    class Engine;

private:
    String m_faceFileName;
    FontDescription m_description;
    std::unique_ptr<Engine> m_engine;
    char32_t m_current = 0;
    bool m_hasCurrent = false;
};

}  // namespace UI
