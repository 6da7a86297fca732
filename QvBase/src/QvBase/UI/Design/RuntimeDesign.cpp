#include <QvBase/UI/Design/RuntimeDesign.h>

#include <QvBase/UI/Design/DesignGeometry.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Box.h>
#include <QvBase/UI/Widgets/Window.h>

#include <Platform/Gui/Keys.h>

#include <algorithm>
#include <string>

namespace UI {

namespace {

constexpr Colour TrimColour = 0x0032C8;
constexpr Colour MarkColour = 0xFF0000;
constexpr Colour BandColour = 0xC8C8C8;
constexpr int ReadoutMargin = 6;
constexpr int MarkHalf = 2;  // marks are squares of 2 * MarkHalf + 1 pixels

void DrawMark(DrawContext& dc, Point at, Colour colour) {
    dc.DrawRect({at.x - MarkHalf, at.x + MarkHalf, at.y - MarkHalf, at.y + MarkHalf}, DrawRectFilled, colour, 0);
}

void DrawCornerMarks(DrawContext& dc, const Rect& r, Colour colour) {
    for (Point p : {Point{r.left, r.top}, Point{r.right, r.top}, Point{r.left, r.bottom}, Point{r.right, r.bottom}})
        DrawMark(dc, p, colour);
}

std::string Number(int v) { return std::to_string(v); }

}  // namespace

RuntimeDesign::RuntimeDesign(Frame* frame) : m_frame(frame) {
    m_readoutBox = new Box(frame, nullptr, "Runtime Design Readout Background Box", false, 3);
    m_readoutBox->SetColour(frame->GetColour(1));
    m_readoutBox->Hide();
    m_readoutText = new Text(frame, nullptr, "Runtime Design Readout Text", String(), 0, 3);
    m_readoutText->SetColour(frame->GetColour(0));
    m_readoutText->Hide();
}

bool RuntimeDesign::IsDesignable(const Window* w) {
    return w && (w->LayoutKind() == 1 || w->LayoutKind() == 2 || IsDesignableClass(w));
}

bool RuntimeDesign::IsDesignableClass(const Window* w) {
    if (!w) return false;
    const std::string cls = w->ClassName();
    return cls == "UI::PushButton" || cls == "UI::PixmapButton" || cls == "UI::SliderGroup" || cls == "UI::ListBox";
}

bool RuntimeDesign::UpdateActive() {
    auto& system = Platform::Gui::Current();
    const bool lock =
        system.IsKeyToggled(Platform::Gui::Key::NumLock) || system.IsKeyToggled(Platform::Gui::Key::CapsLock);
    const bool active = lock && !m_disabled;
    if (active == m_active) return false;
    m_active = active;
    EndInteractions();
    m_selection.clear();
    m_prompt = Prompt::None;
    ShowReadout(active);
    if (!active) m_frame->ReleaseCapture();
    return true;
}

void RuntimeDesign::EndInteractions() {
    m_bandDrawn = false;
    m_bandContainer = nullptr;
    m_dragging = false;
    m_dragRects.clear();
    m_commandPending = false;
    m_command = 0;
}

void RuntimeDesign::ShowReadout(bool show) {
    for (Window* w : {static_cast<Window*>(m_readoutBox), static_cast<Window*>(m_readoutText)}) {
        if (!w) continue;
        if (show) {
            w->Show();
            m_frame->BringTopLevelToFront(w);
        } else {
            w->Hide();
        }
    }
}

bool RuntimeDesign::Finish(bool changed) {
    if (m_active) UpdateReadout();
    // The marks lie outside the windows they mark: the whole picture is painted again.
    if (changed || m_active) m_frame->InvalidateRect(m_frame->GetFrameRect(), true);
    return m_active;
}

void RuntimeDesign::UpdateReadout() {
    if (!m_readoutText) return;
    m_readoutText->SetText(m_message.IsEmpty() ? StatusText() : m_message);
    const Rect r = m_readoutText->FrameRect();
    const int x = m_frame->Width() - ReadoutMargin - r.Width(), y = m_frame->Height() - ReadoutMargin - r.Height();
    m_readoutText->SetGeometry(x, y, r.Width(), r.Height());
    if (m_readoutBox) m_readoutBox->SetGeometry(x, y, r.Width(), r.Height());
}

String RuntimeDesign::ReadoutText() const { return m_readoutText ? m_readoutText->GetText() : String(); }

String RuntimeDesign::StatusText() const {
    if (m_trimMode) {
        if (m_trimEntire) return "Clipboard trim mode: [entire frame]";
        return ("Clipboard trim mode: [" + Number(m_trim.left) + "," + Number(m_trim.top) + " " +
            Number(m_trim.Width()) + "x" + Number(m_trim.Height()) + "]")
            .c_str();
    }
    if (m_commandPending && (m_command == 'A' || m_command == 'a'))
        return "Align (L)eft, (R)ight, (T)op, (B)ottom, (W)idth, (H)eight?";
    if (m_commandPending) return "Space (H)orizontally, (V)ertically?";
    if (m_prompt != Prompt::None)
        return m_promptStage == 0 ? "Enter Button name: " + m_promptName : "Enter Button caption: " + m_promptCaption;
    if (m_selection.empty()) return "no objects selected";
    if (m_selection.size() == 1) {
        const Window& w = *m_selection.front();
        return ("Class: " + std::string(w.ClassName()) + " Name: " + w.Name().CStr() + ": [" + Number(w.FrameX()) +
            "," + Number(w.FrameY()) + " " + Number(w.Width()) + "x" + Number(w.Height()) + "]")
            .c_str();
    }
    Rect box;
    for (const Window* w : m_selection) box = Rect::Union(box, w->FrameRect());
    return (Number(int(m_selection.size())) + " objects [" + Number(box.left) + "," + Number(box.top) + " " +
        Number(box.Width()) + "x" + Number(box.Height()) + "]")
        .c_str();
}

void RuntimeDesign::SelectOnly(Window* window) {
    m_selection.clear();
    if (window) m_selection.push_back(window);
}

bool RuntimeDesign::IsSelected(const Window* window) const {
    return std::find(m_selection.begin(), m_selection.end(), window) != m_selection.end();
}

void RuntimeDesign::Forget(const Window* window) {
    if (window == m_readoutBox) m_readoutBox = nullptr;
    if (window == m_readoutText) m_readoutText = nullptr;
    if (window == m_bandContainer) m_bandContainer = nullptr;
    const auto it = std::find(m_selection.begin(), m_selection.end(), window);
    if (it == m_selection.end()) return;
    if (std::size_t(it - m_selection.begin()) < m_dragRects.size())
        m_dragRects.erase(m_dragRects.begin() + (it - m_selection.begin()));
    m_selection.erase(it);
    if (m_dragRects.size() != m_selection.size()) m_dragging = false;
}

void RuntimeDesign::Draw(DrawContext& dc) {
    if (UpdateActive()) Finish(true);
    if (!m_active) return;
    if (m_trimMode) {
        if (m_trimEntire) {
            dc.DrawRect(m_frame->GetFrameRect(), DrawRectOutline, TrimColour, 0);
        } else {
            dc.DrawRect(m_trim, DrawRectOutline, TrimColour, 0);
            DrawCornerMarks(dc, m_trim, TrimColour);
        }
    } else if (m_marksVisible) {
        for (const Window* w : m_selection) {
            const Rect f = w->FrameRect();
            const Rect r{f.left - 1, f.right + 1, f.top - 1, f.bottom + 1};
            dc.DrawRect(r, DrawRectOutline, MarkColour, 0);
            DrawCornerMarks(dc, r, MarkColour);
            const int midX = r.left + (r.right - r.left) / 2, midY = r.top + (r.bottom - r.top) / 2;
            for (Point p : {Point{midX, r.top}, Point{midX, r.bottom}, Point{r.left, midY}, Point{r.right, midY}})
                DrawMark(dc, p, MarkColour);
        }
    }
    if (m_bandDrawn) dc.DrawRect(Design::Spanned(m_bandStart, m_bandEnd), DrawRectOutline, BandColour, 0);
}

}  // namespace UI
