#pragma once
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Widgets/Window.h>
#include <QvBase/Util/SharedPtr.h>

#include <cstdint>

namespace UI {

// A label: its text rendered once, in one of the frame's label fonts and the window's
// colour, into its own picture, which painting then blits. Its size follows its text.
// It starts disabled, so clicks reach the windows beneath until its owner enables it.
class Text : public Window {
    QV_OBJECT()
public:
    // A font index of 3 or more leaves the text without a font: it draws nothing.
    Text(Frame* frame, Window* parent, const String& name, const String& text, uint fontIndex, uint layoutKind);

    const String& GetText() const { return m_text; }
    void SetText(const String& text);
    const SharedPtr<Image>& Picture() const { return m_picture; }

    void Paint(DrawContext& dc) override;
    void OnColourChanged() override;
    bool OnLeftDown(Point, uint modifiers) override;

    void sigClicked();

private:
    void Render();

    String m_text;
    std::int32_t m_spacing = 1;
    bool m_useSpacing = true;
    SharedPtr<Image> m_picture;
    uint m_fontIndex = 0;
    bool m_fontSet = false;
};

}  // namespace UI
