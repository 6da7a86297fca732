#pragma once
#include <QvBase/UI/Widgets/Window.h>

#include <cstdint>

namespace UI {

// A rectangle in the window's colour, filled or outlined. It starts disabled, so clicks
// pass through it to the windows beneath.
class Box : public Window {
    QV_OBJECT()
public:
    Box(Frame* frame, Window* parent, const String& name, bool outline, uint layoutKind);

    bool IsFilled() const { return m_filled; }
    void Paint(DrawContext& dc) override;

private:
    std::uint32_t m_filled;
    // Limits the box to a frame area when set; nothing sets it in this program.
    Rect m_limit{0, -1, 0, -1};
    bool m_limitSet = false;
};

}  // namespace UI
