#include <QvBase/UI/Widgets/FocusIndicator.h>

QV_META_BEGIN(UI::FocusIndicator, UI::Window)
    QV_META_SLOTS
    QV_SLOT(slotAnimationComplete)
QV_META_END

namespace UI {

FocusIndicator::FocusIndicator(Frame* frame) : Window(frame, nullptr, "FocusIndicator") {
    static_cast<void>(m_animation);
}

void FocusIndicator::slotAnimationComplete() {
    for (std::uint8_t& b : m_state) b = 0;
}

}  // namespace UI
