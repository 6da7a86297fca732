#include <Tonalith/Display/RulerLabel.h>

#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Window.h>

namespace UI {

namespace {

// Font 0 of the frame; labels are inner parts of their ruler (layout kind 3).
constexpr uint kLabelFont = 0;
constexpr uint kInnerPart = 3;

}  // namespace

RulerLabel MakeRulerLabel(Window* ruler, const char* nameFormat, int k, const String& text, std::int32_t position) {
    RulerLabel record;
    record.text = text;
    record.position = position;
    const String name = String(nameFormat).Arg(k);
    record.label = SharedPtr<Text>(new Text(ruler->GetFrame(), ruler, name, text, kLabelFont, kInnerPart));
    record.label->SetColour(RulerColours::Label);
    record.shadow = SharedPtr<Text>(
        new Text(ruler->GetFrame(), ruler, String(nameFormat).Arg(k) + " Shadow", text, kLabelFont, kInnerPart));
    record.shadow->SetColour(RulerColours::LabelShadow);
    record.label->BringToFront();
    return record;
}

void PlaceRulerLabel(RulerLabel& label, Point topLeft) {
    if (label.label) label.label->SetGeometry(topLeft.x, topLeft.y, label.label->Width(), label.label->Height());
    if (label.shadow)
        label.shadow->SetGeometry(topLeft.x + 1, topLeft.y + 1, label.shadow->Width(), label.shadow->Height());
}

void ShowRulerLabel(RulerLabel& label, bool shown) {
    for (Text* text : {label.label.Get(), label.shadow.Get()}) {
        if (!text) continue;
        if (shown)
            text->Show();
        else
            text->Hide();
    }
}

}  // namespace UI
