#pragma once
#include <Platform/Gui/Geometry.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Platform::Gui {

// A dialog described in memory the way the toolkit builds it: little-endian words,
// texts in UTF-16, sizes in dialog units (a quarter of the font's average character
// width across, an eighth of its height down).
struct DialogItemTemplate {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    PixelRect units;  // dialog units
    unsigned id = 0;
    unsigned classAtom = 0;  // a predefined class (0x80 button, 0x81 edit, 0x82 static ...), or 0
    std::string className;  // when named rather than predefined
    std::string text;  // UTF-8
};

struct DialogTemplate {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    PixelRect units;
    std::string title;
    int fontPoints = 0;  // 0 when the template names no font
    std::string fontFace;
    std::vector<DialogItemTemplate> items;
};

inline constexpr unsigned kEditControlAtom = 0x81;

// Nothing when the bytes end early, hold an extended template, or are malformed.
std::optional<DialogTemplate> ReadDialogTemplate(const std::uint8_t* data, std::size_t size);

// Dialog units to pixels, rounding as the toolkit expects, for a font whose average
// character is `baseWidth` by `baseHeight` pixels.
PixelRect DialogUnitsToPixels(const PixelRect& units, int baseWidth, int baseHeight);

}  // namespace Platform::Gui
