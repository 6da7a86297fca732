#pragma once
#include <QvBase/Util/String.h>

#include <cstdint>

namespace UI {

// One of a frame's label fonts. A negative height is a character height in pixels, a
// positive one a cell height.
struct TextFontDescription {
    std::int32_t height = -9;
    String face = "Arial";
    std::uint8_t flag1 = 0;
    std::uint8_t flag2 = 0;
};

}  // namespace UI
