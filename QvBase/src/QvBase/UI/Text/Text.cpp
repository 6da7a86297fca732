#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Text/Text.h>

#include <Platform/Gui/TextOutput.h>

#include <algorithm>
#include <cstring>

QV_META_BEGIN(UI::Text, UI::Window)
    QV_SIGNAL(sigClicked)
    QV_META_SLOTS
QV_META_END

namespace UI {

namespace {

// The label colour of the frame's colour table.
constexpr uint TextColourIndex = 6;

Platform::Gui::TextFace FaceOf(const TextFontDescription& font) { return {font.face.CStr(), font.height}; }

// White on black becomes the colour on nothing; a smoothed edge becomes the colour,
// as transparent as the edge is dark.
std::uint32_t Tinted(std::uint32_t rendered, Colour colour) {
    if (rendered == 0) return 0xFF000000u;
    if (rendered == 0x00FFFFFFu) return colour & 0x00FFFFFFu;
    const std::uint32_t coverage = std::max({rendered & 0xFFu, (rendered >> 8) & 0xFFu, (rendered >> 16) & 0xFFu});
    return ((255u - coverage) << 24) | (colour & 0x00FFFFFFu);
}

}  // namespace

Text::Text(Frame* frame, Window* parent, const String& name, const String& text, uint fontIndex, uint layoutKind)
    : Window(frame, parent, name) {
    m_layoutKind = layoutKind;
    SetEnabled(false);
    SetColour(frame->GetColour(TextColourIndex));
    if (fontIndex < Frame::TextFontCount) {
        m_fontIndex = fontIndex;
        m_fontSet = true;
        Render();
    }
    if (!text.IsEmpty()) {
        SetText(text);
    } else {
        const int height = m_fontSet ? Platform::Gui::TextLineHeight(FaceOf(frame->GetTextFont(m_fontIndex))) : 0;
        SetSize(0, std::max(0, height));
    }
}

void Text::SetText(const String& text) {
    if (std::strcmp(text.CStr(), m_text.CStr()) == 0) return;
    m_text = text;
    Render();
}

void Text::Render() {
    m_picture = SharedPtr<Image>();
    if (m_text.IsEmpty() || !m_fontSet) {
        Invalidate();
        return;
    }
    const Platform::Gui::TextPicture rendered = Platform::Gui::RenderText(
        FaceOf(GetFrame()->GetTextFont(m_fontIndex)), m_text.CStr(), m_useSpacing ? m_spacing : 0);
    if (rendered.height < 1) {
        Invalidate();
        return;
    }
    SetSize(rendered.width, rendered.height);
    SharedPtr<Image> picture = Image::Create({rendered.width, rendered.height});
    if (picture && !picture->IsEmpty()) {
        const Colour colour = GetColour();
        for (int y = 0; y < rendered.height; ++y) {
            std::uint32_t* row = picture->Pixels() + std::ptrdiff_t(y) * picture->Stride();
            const std::uint32_t* from = rendered.pixels.data() + std::ptrdiff_t(y) * rendered.width;
            for (int x = 0; x < rendered.width; ++x) row[x] = Tinted(from[x], colour);
        }
        picture->SetAlpha(true);
        m_picture = picture;
    }
    Invalidate();
}

void Text::Paint(DrawContext& dc) {
    if (m_picture && m_picture->Pixels() && m_picture->Stride() > 0)
        dc.DrawImage(
            m_picture, {0, m_picture->Width() - 1, 0, m_picture->Height() - 1}, {0, 0}, EffectiveTransparency());
}

void Text::OnColourChanged() { Render(); }

bool Text::OnLeftDown(Point, uint) {
    sigClicked();
    return true;
}

void Text::sigClicked() { QV_EMIT(sigClicked); }

}  // namespace UI
