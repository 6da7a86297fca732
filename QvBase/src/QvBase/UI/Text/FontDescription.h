#pragma once
#include <cstdint>

namespace UI {

// How a font's glyphs are made, in the order of the outline engine's rendering kinds.
enum class FontRenderType : std::int32_t {
    NativeMono = 0,
    NativeGrey = 1,
    Outline = 2,
    AggMono = 3,
    AggGrey = 4,
};

struct FontDescription {
    FontRenderType renderType = FontRenderType::Outline;
    float size = 11.0f;  // character height in pixels, also used as the width
    float weightFactor = 0.0f;  // outlines grow by factor × size × 0.025 pixels when |factor| >= 0.01
    float gamma = 1.0f;  // exponent of the rasteriser's gamma table
};

}  // namespace UI
