#pragma once

#include <QvBase/UI/Widgets/PushButton.h>

namespace UI {

// A push button drawn flat: an outline, a fill that lights while pressed or checked, and
// its caption centred in white.
class SimplePushButton : public PushButton {
    QV_OBJECT()
public:
    static constexpr Colour kDefaultColour = 0x888888;

    SimplePushButton(Frame* frame, Window* parent, const String& name, const String& caption, const String& label);

    void Paint(DrawContext& dc) override;
};

}  // namespace UI
