#pragma once
#include <QvBase/UI/Widgets/Window.h>

#include <memory>

namespace UI {

// The behaviour of every clickable widget: left and right presses with the frame's mouse
// capture, an optional toggle mode with a checked state, and keypad Enter. Drawing
// subclasses paint it.
class Button : public Window {
    QV_OBJECT()
public:
    Button(Frame* frame, Window* parent, const String& name);

    bool IsToggle() const { return m_toggle; }
    void SetToggle(bool toggle) { m_toggle = toggle; }
    bool IsChecked() const { return m_checked; }
    // A change calls OnCheckedChanged and emits "sigValueChanged()" once.
    void SetChecked(bool checked);
    bool HandlesRightButton() const { return m_rightButton; }
    void SetHandlesRightButton(bool handles) { m_rightButton = handles; }
    // True while one of the button's mouse or key handlers runs.
    bool IsBusy() const { return m_busy; }

    void Paint(DrawContext& dc) override = 0;
    virtual void OnCheckedChanged() {}

    bool OnLeftDown(Point p, uint modifiers) override;
    bool OnLeftUp(Point p, uint modifiers) override;
    bool OnRightDown(Point p, uint modifiers) override;
    bool OnRightUp(Point p, uint modifiers) override;
    bool OnKeyDown(uint key, uint modifiers, bool wasDown) override;
    bool OnChar(uint, uint, bool) override { return false; }

    void sigClicked();
    void sigRightClicked();
    void sigValueChanged();

private:
    bool Inside(Point p) const { return p.x >= 0 && p.x <= Width() - 1 && p.y >= 0 && p.y <= Height() - 1; }
    bool HasCapture() const;

    bool m_toggle = false;
    bool m_checked = false;
    bool m_rightButton = false;
    bool m_busy = false;
    // Expires with the button: a handler whose slot deleted it touches nothing more.
    std::shared_ptr<const bool> m_life = std::make_shared<const bool>(true);
};

}  // namespace UI
