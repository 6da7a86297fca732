#pragma once
#include <Platform/Gui/Geometry.h>

#include <optional>
#include <vector>

namespace UI::Native {

// Where a window asked for at `wanted` (its outer rectangle, screen coordinates) opens so
// that none of it, its title bar least of all, is out of reach; without a window manager
// nothing can move it later. As asked when it lies wholly on the monitors (across several
// if it must); otherwise on the monitor it overlaps most, moved the least distance and
// made no larger than that monitor. Nothing when it touches no monitor at all; as asked
// when no monitor is known.
std::optional<Platform::Gui::PixelRect> PlacedOnScreen(
    const Platform::Gui::PixelRect& wanted, const std::vector<Platform::Gui::PixelRect>& monitors);

}  // namespace UI::Native
