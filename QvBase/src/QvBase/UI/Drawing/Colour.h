#pragma once
#include <cstdint>

namespace UI {

// 0x00RRGGBB.
using Colour = std::uint32_t;
// 0 opaque to 255 invisible.
using Transparency = std::uint8_t;

}  // namespace UI
