#pragma once
#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>

#include <cstdint>

namespace UI {

class Text;
class Window;

// One label of a ruler. The record owns its two text windows: dropping it deletes them.
struct RulerLabel {
    String text;
    std::int32_t position = 0;  // row (vertical rulers) or column (time ruler) of the value
    SharedPtr<Text> label;
    SharedPtr<Text> shadow;
};

// The colours every ruler paints with.
struct RulerColours {
    static constexpr Colour Background = 0x222222;
    static constexpr Colour Border = 0xAEB5BE;
    static constexpr Colour Tick = 0xE0E0E0;
    static constexpr Colour Label = 0xE0E0E0;
    static constexpr Colour LabelShadow = 0x000000;
    static constexpr Colour Separator[3] = {0xAEB5BE, 0x626C7B, 0x2B2F36};
};

// Label number k of a pass under `ruler`: the label and its shadow are named from
// nameFormat ("... Label %1"; the shadow adds " Shadow"), with the label in front.
// Both start at (0, 0) with their own size; PlaceRulerLabel moves them.
RulerLabel MakeRulerLabel(Window* ruler, const char* nameFormat, int k, const String& text, std::int32_t position);

// The label's top-left corner goes to topLeft, its shadow one pixel down and right.
void PlaceRulerLabel(RulerLabel& label, Point topLeft);
void ShowRulerLabel(RulerLabel& label, bool shown);

}  // namespace UI
