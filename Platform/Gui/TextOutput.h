#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Platform::Gui {

// A face for label text: a family name and a height, negative for the character (em)
// height in pixels, positive for the cell height (ascent plus descent), 0 for a default.
struct TextFace {
    std::string family;
    int height = -9;
};

// Text rendered white on black: 0x00RRGGBB pixels, rows top down, stride = width.
// Grey pixels are the smoothed edges; nothing else is drawn.
struct TextPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The face's line height in pixels (ascent plus descent); 0 when no font can be made.
int TextLineHeight(const TextFace& face);

// One line of UTF-8 text, `characterExtra` more pixels between characters. The picture is
// as high as the face's line and as wide as the text's extent; empty when the text is
// empty or the text cannot be laid out.
TextPicture RenderText(const TextFace& face, const std::string& text, int characterExtra);

}  // namespace Platform::Gui
