#include <QvBase/UI/Text/Font.h>
#include <QvBase/UI/Text/FontEngine.h>
#include <QvBase/Util/Math.h>

#include <Platform/Text/Utf8.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace UI {

namespace {
std::atomic<int> g_liveFonts{0};
}

Font::Font(const String& faceFileName, const FontDescription& description)
    : m_faceFileName(faceFileName),
      m_description(description),
      m_engine(std::make_unique<Engine>(faceFileName, description)) {
    ++g_liveFonts;
}

Font::~Font() { --g_liveFonts; }

int Font::LiveCount() { return g_liveFonts.load(); }

const String& Font::FacePath() const { return m_engine->FacePath(); }
bool Font::IsLoaded() const { return m_engine->IsLoaded(); }
int Font::GetAscent() const { return m_engine->Ascent(); }
int Font::GetDescent() const { return m_engine->Descent(); }

int Font::GetTextWidth(const String& text) {
    const std::u32string codes = Platform::Text::DecodeUtf8(text.CStr());
    std::int64_t width = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        GlyphBox box;
        if (PrepareGlyph(codes[i], i + 1 < codes.size() ? codes[i + 1] : 0, box))
            width += Util::RoundToInt64(box.advance);
    }
    return static_cast<int>(std::clamp<std::int64_t>(width, INT32_MIN, INT32_MAX));
}

bool Font::PrepareGlyph(char32_t code, char32_t next, GlyphBox& box) {
    m_hasCurrent = m_engine->Prepare(code, next, box);
    m_current = code;
    return m_hasCurrent;
}

bool Font::RenderGlyph(char32_t code, const std::uint8_t*& buffer, int& width) {
    return m_engine->Render(code, buffer, width);
}

void Font::RenderGlyph(std::uint8_t* coverage) {
    if (!m_hasCurrent || !coverage) return;
    GlyphBox box;
    const std::uint8_t* buffer = nullptr;
    int width = 0;
    if (!m_engine->Prepare(m_current, 0, box) || !m_engine->Render(m_current, buffer, width) || !buffer) return;
    std::memcpy(coverage, buffer, static_cast<std::size_t>(width) * box.height);
}

}  // namespace UI
