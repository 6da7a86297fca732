#pragma once
#include <cstdint>

namespace Platform::Gui {

// A borrowed view of 32-bit pixels 0x00RRGGBB, row 0 at the top. `stride` counts pixels.
struct SurfaceView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

}  // namespace Platform::Gui
