#pragma once
#include <QvBase/UI/Window.h>

namespace UI {

// The label of a push button or check box and the readout of a slider. It stands in for
// the rendered text label until that lands: it keeps its text, starts disabled so that
// clicks reach the windows beneath, and draws nothing.
class ButtonLabel : public Window {
public:
    ButtonLabel(Frame* frame, Window* parent, const String& name, const String& text, uint fontIndex, uint layoutKind)
        : Window(frame, parent, name), m_text(text) {
        static_cast<void>(fontIndex);
        m_layoutKind = layoutKind;
        SetEnabled(false);
        SetGeometry(0, 0, 0, 0);
    }

    const String& GetText() const { return m_text; }
    void SetText(const String& text) {
        if (text == m_text) return;
        m_text = text;
        Invalidate();
    }

private:
    String m_text;
};

}  // namespace UI
