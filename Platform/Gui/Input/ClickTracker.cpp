#include <Platform/Gui/Input/ClickTracker.h>

#include <cstdlib>

namespace Platform::Gui {

bool ClickTracker::Press(int button, std::uint32_t timeMs, PixelPoint point) {
    // Unsigned difference: survives the millisecond clock wrapping.
    const bool isDouble = armed_ && button == button_ && std::uint32_t(timeMs - time_) <= ms_ &&
        std::abs(point.x - point_.x) <= distance_ && std::abs(point.y - point_.y) <= distance_;
    armed_ = !isDouble;
    button_ = button;
    time_ = timeMs;
    point_ = point;
    return isDouble;
}

}  // namespace Platform::Gui
