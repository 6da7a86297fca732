#pragma once
#include <Platform/Gui/Geometry.h>

#include <cstdint>

namespace Platform::Gui {

// Turns presses into single and double clicks: a second press of the same button soon
// enough and near enough to the first is a double click; the press after a double click
// starts again. The toolkit wants down, up, double click, up for two clicks, which the
// desktop's own click counting (second press before its double-click mark) cannot give.
class ClickTracker {
public:
    ClickTracker(unsigned doubleClickMs, int maxDistance) : ms_(doubleClickMs), distance_(maxDistance) {}

    // True when this press completes a double click. `button` is any number naming the button.
    bool Press(int button, std::uint32_t timeMs, PixelPoint point);
    void Reset() { armed_ = false; }

private:
    unsigned ms_;
    int distance_;
    bool armed_ = false;
    int button_ = 0;
    std::uint32_t time_ = 0;
    PixelPoint point_;
};

}  // namespace Platform::Gui
