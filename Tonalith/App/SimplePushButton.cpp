#include <Tonalith/App/SimplePushButton.h>

#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Text/Font.h>

#include <algorithm>

QV_META_BEGIN(UI::SimplePushButton, UI::PushButton)
    QV_META_SLOTS
QV_META_END

namespace UI {

SimplePushButton::SimplePushButton(
    Frame* frame, Window* parent, const String& name, const String& caption, const String& label)
    : PushButton(frame, parent, name, caption, label) {
    SetColour(kDefaultColour);
}

void SimplePushButton::Paint(DrawContext& dc) {
    const int t = EffectiveTransparency();
    const Colour c = GetColour();
    dc.DrawRect(Rect{0, Width() - 1, 0, Height() - 1}, DrawRectOutline, c, Transparency(t));
    const bool lit = IsChecked() || (GetFrame()->CaptureWindow() == this && !IsToggle());
    dc.DrawRect(
        Rect{1, Width() - 2, 1, Height() - 2}, DrawRectFilled, c, Transparency(std::min(t + (lit ? 20 : 130), 255)));
    if (GetCaption().IsEmpty()) return;
    ApplicationInfo* info = GetFrame()->Info();
    Font* font = info ? info->GetFont(0) : nullptr;
    if (!font) return;
    const int x = (Width() - font->GetTextWidth(GetCaption())) / 2;
    const int y = (Height() - (font->GetAscent() + font->GetDescent())) / 2;
    dc.DrawText(*font, Point{x, y}, GetCaption(), 0xFFFFFF, Transparency(t));
}

}  // namespace UI
