#pragma once
#include <QvBase/UI/Widgets/Window.h>

#include <cstdint>

namespace UI {

// Marks the focused window; created hidden by every frame and kept last in its top-level
// list. Nothing shows it in this program.
class FocusIndicator : public Window {
    QV_OBJECT()
public:
    explicit FocusIndicator(Frame* frame);

    void Paint(DrawContext&) override {}

    void slotAnimationComplete();

private:
    std::uint32_t m_animation = 0;
    std::uint8_t m_state[5] = {};
};

}  // namespace UI
