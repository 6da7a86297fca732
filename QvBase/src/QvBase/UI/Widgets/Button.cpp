#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Widgets/Button.h>

#include <Platform/Gui/Keys.h>

QV_META_BEGIN(UI::Button, UI::Window)
    QV_SIGNAL(sigClicked)
    QV_SIGNAL(sigRightClicked)
    QV_SIGNAL(sigValueChanged)
    QV_META_SLOTS
QV_META_END

void UI::Button::sigClicked() { QV_EMIT(sigClicked); }
void UI::Button::sigRightClicked() { QV_EMIT(sigRightClicked); }
void UI::Button::sigValueChanged() { QV_EMIT(sigValueChanged); }

namespace UI {

namespace {

// Nested handlers (a capture taken from the button inside its own handler) keep the flag
// until the outermost one ends.
// A slot may delete the button: the flag is then gone and left alone.
class BusyScope {
public:
    BusyScope(bool& flag, std::weak_ptr<const bool> life) : m_flag(flag), m_was(flag), m_life(std::move(life)) {
        m_flag = true;
    }
    ~BusyScope() {
        if (!m_life.expired()) m_flag = m_was;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
    bool m_was;
    std::weak_ptr<const bool> m_life;
};

}  // namespace

Button::Button(Frame* frame, Window* parent, const String& name) : Window(frame, parent, name) {}

bool Button::HasCapture() const { return GetFrame()->CaptureWindow() == this; }

void Button::SetChecked(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    OnCheckedChanged();
    const std::weak_ptr<const bool> life = m_life;
    sigValueChanged();
    if (life.expired()) return;
    Invalidate();
}

bool Button::OnLeftDown(Point p, uint) {
    BusyScope busy(m_busy, m_life);
    if (HasCapture()) return true;
    if (!Inside(p)) return false;
    GetFrame()->SetFocus(this);
    GetFrame()->SetCapture(this);
    if (m_toggle) {
        const std::weak_ptr<const bool> life = m_life;
        SetChecked(!m_checked);
        if (!life.expired()) sigClicked();
    } else {
        Invalidate();
    }
    return true;
}

bool Button::OnLeftUp(Point p, uint) {
    BusyScope busy(m_busy, m_life);
    if (!HasCapture()) return false;
    GetFrame()->ReleaseCapture();
    Invalidate();
    if (!m_toggle && Inside(p)) sigClicked();
    return true;
}

bool Button::OnRightDown(Point p, uint) {
    BusyScope busy(m_busy, m_life);
    if (HasCapture()) return true;
    if (!m_rightButton || !Inside(p)) return false;
    GetFrame()->SetCapture(this);
    GetFrame()->SetFocus(this);
    Invalidate();
    return true;
}

bool Button::OnRightUp(Point p, uint) {
    BusyScope busy(m_busy, m_life);
    if (!m_rightButton || !HasCapture()) return false;
    GetFrame()->ReleaseCapture();
    Invalidate();
    if (Inside(p)) sigRightClicked();
    return true;
}

bool Button::OnKeyDown(uint key, uint modifiers, bool) {
    BusyScope busy(m_busy, m_life);
    if (key != Platform::Gui::Key::KeypadEnter) return false;
    if (m_toggle) {
        const std::weak_ptr<const bool> life = m_life;
        SetChecked(!m_checked);
        if (!life.expired()) sigClicked();
    } else if (modifiers & Platform::Gui::Modifier::Shift) {
        sigRightClicked();
    } else {
        sigClicked();
    }
    return true;
}

}  // namespace UI
