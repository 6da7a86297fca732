#include <QvBase/UI/Widgets/Slider.h>

#include <QvBase/UI/Dialog/PromptDialog.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/Util/MapRangeRounded.h>

#include <Platform/Gui/Keys.h>
#include <Platform/Text/Utf8.h>

#include <algorithm>
#include <string>

QV_META_BEGIN(UI::Slider, UI::Window)
    QV_SIGNAL(sigPositionChanged, (uint, uPos))
    QV_SIGNAL(sigUserPositionChanged, (uint, uPos))
    QV_SIGNAL(sigPrecisionMouseMove, (uint, uPosAnchor), (int, nDelta))
    QV_SIGNAL(sigPostUndoEvent)
    QV_SIGNAL(sigEdited, (const String&, sText))
    QV_SIGNAL(sigMouseGrabbed)
    QV_SIGNAL(sigMouseReleased)
    QV_SIGNAL(sigKeyAdjust, (bool, bIncrement), (const checked_uint&, uOrder), (bool, bAutoRepeat))
    QV_SIGNAL(sigKeyRelease)
    QV_SIGNAL(sigSliderDoubleClicked)
    QV_SIGNAL(sigAltClicked)
    QV_SIGNAL(sigReceivedFocus)
    QV_SIGNAL(sigLostFocus)
    QV_META_SLOTS
    QV_SLOT(slotEditDialog)
QV_META_END

void UI::Slider::sigPositionChanged(uint uPos) { QV_EMIT(sigPositionChanged, uPos); }
void UI::Slider::sigUserPositionChanged(uint uPos) { QV_EMIT(sigUserPositionChanged, uPos); }
void UI::Slider::sigPrecisionMouseMove(uint uPosAnchor, int nDelta) {
    QV_EMIT(sigPrecisionMouseMove, uPosAnchor, nDelta);
}
void UI::Slider::sigPostUndoEvent() { QV_EMIT(sigPostUndoEvent); }
void UI::Slider::sigEdited(const String& sText) { QV_EMIT(sigEdited, sText); }
void UI::Slider::sigMouseGrabbed() { QV_EMIT(sigMouseGrabbed); }
void UI::Slider::sigMouseReleased() { QV_EMIT(sigMouseReleased); }
void UI::Slider::sigKeyAdjust(bool bIncrement, const checked_uint& uOrder, bool bAutoRepeat) {
    QV_EMIT(sigKeyAdjust, bIncrement, uOrder, bAutoRepeat);
}
void UI::Slider::sigKeyRelease() { QV_EMIT(sigKeyRelease); }
void UI::Slider::sigSliderDoubleClicked() { QV_EMIT(sigSliderDoubleClicked); }
void UI::Slider::sigAltClicked() { QV_EMIT(sigAltClicked); }
void UI::Slider::sigReceivedFocus() { QV_EMIT(sigReceivedFocus); }
void UI::Slider::sigLostFocus() { QV_EMIT(sigLostFocus); }

namespace UI {

namespace {

bool TextPrompt(Frame* frame, Point point, String& text, const String& rejected) {
    return PromptText(frame, point, text, std::nullopt, rejected);
}

Slider::PromptFunction& Prompt() {
    static Slider::PromptFunction prompt = TextPrompt;
    return prompt;
}

bool Accepted(unsigned code) {
    if (code == '-' || code == '.' || (code >= '0' && code <= '9')) return true;
    if (code >= 127 && code <= 159) return true;
    switch (code) {
    case 0xB2:
    case 0xB3:
    case 0xB9:
    case 0xBC:
    case 0xBD:
    case 0xBE: return true;
    default: return false;
    }
}

}  // namespace

Slider::PromptFunction Slider::SetPrompt(PromptFunction prompt) {
    PromptFunction old = std::move(Prompt());
    Prompt() = prompt ? std::move(prompt) : PromptFunction(TextPrompt);
    return old;
}

const String& Slider::RejectedCharacters() {
    static const String rejected = [] {
        std::string text;
        for (unsigned code = 9; code <= 254; ++code)
            if (!Accepted(code)) Platform::Text::AppendUtf8(text, code);
        return String(text);
    }();
    return rejected;
}

Slider::Slider(Frame* frame, Window* parent, const String& name, std::uint32_t orientation)
    : Window(frame, parent, name), m_orientation(orientation) {
    m_readout = new Text(frame, this, name + " Readout Text", "", 0, 3);
}

void Slider::SetReadoutRight(bool right) {
    m_readoutRight = right ? 1 : 0;
    PlaceReadout();
    Invalidate();
}

Rect Slider::GetTrackRect() const {
    const int w = Width();
    const int h = Height();
    if (IsHorizontal()) return {0, w - 1, 0, h - 1 - m_readoutHeight};
    const int x0 = IsReadoutRight() ? 0 : m_readoutWidth;
    return {x0, x0 + w - m_readoutWidth - 1, 0, h - 1};
}

Rect Slider::GetReadoutRect() const {
    if (!IsHorizontal()) return {};
    const int w = Width();
    const int h = Height();
    return {w - m_readoutWidth, w - 1, h - m_readoutHeight, h - 1};
}

Rect Slider::GetEndRect() const {
    if (IsHorizontal()) return {};
    const int w = Width();
    const int h = Height();
    const int x = IsReadoutRight() ? w - m_readoutWidth : 0;
    const std::int64_t highest = std::int64_t(h - 1) - m_readoutHeight;
    const std::int64_t y = std::max<std::int64_t>(0, std::min(std::int64_t(h - 1) - m_position, highest));
    return {x, x + m_readoutWidth - 1, int(y), int(y) + m_readoutHeight - 1};
}

Rect Slider::GetFocusRect() const {
    Rect r = GetTrackRect().Offsetted(FramePosition());
    return {r.left - 2, r.right + 2, r.top - 2, r.bottom + 2};
}

std::int32_t Slider::AxisLength(const Rect& track) const {
    return IsHorizontal() ? track.right - track.left + 1 : track.bottom - track.top + 1;
}

void Slider::SetPosition(std::uint32_t position) {
    const std::uint32_t old = m_position;
    m_position = std::min(position, std::uint32_t(std::max(m_length, 0)));
    if (!IsHorizontal()) PlaceReadout();
    if (m_position != old) {
        const std::weak_ptr<const bool> life = m_life;
        sigPositionChanged(m_position);
        if (life.expired()) return;
    }
    Invalidate();
}

std::uint32_t Slider::PositionFromPoint(Point p) const {
    const Rect t = GetTrackRect();
    const std::int64_t d = IsHorizontal() ? std::int64_t(p.x) - t.left : std::int64_t(t.bottom) - p.y;
    if (d < 0) return 0;
    return std::uint32_t(std::min<std::int64_t>(d, std::max(AxisLength(t), 0)));
}

void Slider::SetPositionFromPoint(Point p) {
    const std::uint32_t old = m_position;
    const std::uint32_t wanted = PositionFromPoint(p);
    const std::weak_ptr<const bool> life = m_life;
    SetPosition(wanted);
    if (wanted != old && !life.expired()) sigUserPositionChanged(m_position);
}

void Slider::OnTransparencyChanged() {
    if (m_readout) m_readout->SetTransparency(GetTransparency());
}

void Slider::OnGeometryChanged() {
    if (Width() >= 3 && Height() >= 3) {
        // A readout box wider than the slider leaves no track rather than a negative one.
        const std::int32_t length = std::max(AxisLength(GetTrackRect()), 0);
        if (length != m_length) {
            const std::uint32_t old = std::uint32_t(std::max(m_length, 0));
            const std::uint32_t mapped =
                old == 0 ? 0 : std::uint32_t(Util::MapRangeRounded(m_position, 0, old, 0, std::uint32_t(length)));
            m_length = length;
            const std::weak_ptr<const bool> life = m_life;
            SetPosition(mapped);
            if (life.expired()) return;
        }
    }
    const int lh = m_readout ? m_readout->Height() : 0;
    if (IsHorizontal()) {
        m_readoutWidth = 50;
        m_readoutHeight = std::max(lh - 2, 0);
    } else {
        m_readoutWidth = 30;
        m_readoutHeight = lh;
    }
    PlaceReadout();
}

void Slider::PlaceReadout() {
    if (!m_readout) return;
    const int lw = m_readout->Width();
    const int lh = m_readout->Height();
    if (IsHorizontal()) {
        m_readout->SetGeometry(m_readoutHeight + (Width() - 1) - m_readoutWidth + 2, Height() - lh + 1, lw, lh);
        return;
    }
    const Rect box = GetEndRect();
    const int x = box.left + (IsReadoutRight() ? 2 : box.Height() / 2 + 1);
    m_readout->SetGeometry(x, box.top + (box.Height() - lh) / 2, lw, lh);
}

bool Slider::OnLeftDown(Point p, uint) {
    if (IsAltKeyDown()) {
        sigAltClicked();
        return true;
    }
    const Rect readout = IsHorizontal() ? GetReadoutRect() : GetEndRect();
    if (readout.Contains(p)) {
        slotEditDialog();
        return true;
    }
    const Rect hit = GetTrackHitRect();
    if (!hit.Contains(p)) return true;
    const Rect t = GetTrackRect();
    const Point limited{
        std::clamp(p.x, t.left, std::max(t.left, t.right)), std::clamp(p.y, t.top, std::max(t.top, t.bottom))};
    const std::int64_t wanted = PositionFromPoint(limited);
    const ThumbTolerance tolerance = GetThumbOffset();
    const std::int64_t position = m_position;
    const std::weak_ptr<const bool> life = m_life;
    if (wanted >= position - tolerance.before && wanted <= position + tolerance.after) {
        m_grabOffset = std::int32_t(wanted - position);
    } else {
        SetPositionFromPoint(limited);
        if (life.expired()) return true;
        m_grabOffset = 0;
    }
    GetFrame()->SetCapture(this);
    if (life.expired()) return true;
    GetFrame()->SetFocus(this);
    if (life.expired()) return true;
    sigMouseGrabbed();
    if (life.expired()) return true;
    m_anchor = m_position;
    return true;
}

bool Slider::OnMouseMove(Point p, uint modifiers) {
    if (GetFrame()->CaptureWindow() != this) return false;
    if (!(modifiers & Platform::Gui::Modifier::Ctrl)) {
        const int grab = m_grabOffset.value_or(0);
        const std::weak_ptr<const bool> life = m_life;
        SetPositionFromPoint({p.x - grab, p.y + grab});
        if (!life.expired()) m_anchor = m_position;
        return true;
    }
    const Rect t = GetTrackRect();
    const std::uint32_t anchor = m_anchor.value_or(m_position);
    const std::int64_t along = IsHorizontal() ? std::int64_t(p.x) - t.left : std::int64_t(t.bottom) - p.y;
    sigPrecisionMouseMove(anchor, int(along - anchor - 1));
    return true;
}

bool Slider::OnLeftUp(Point, uint) {
    if (GetFrame()->CaptureWindow() == this) {
        GetFrame()->ReleaseCapture();
        m_grabOffset.reset();
        m_anchor.reset();
        const std::weak_ptr<const bool> life = m_life;
        sigPostUndoEvent();
        if (!life.expired()) sigMouseReleased();
    }
    return true;
}

bool Slider::OnLeftDoubleClick(Point, uint) {
    sigSliderDoubleClicked();
    return true;
}

bool Slider::OnKeyDown(uint key, uint modifiers, bool wasDown) {
    namespace Key = Platform::Gui::Key;
    const bool shift = (modifiers & Platform::Gui::Modifier::Shift) != 0;
    bool increment = false;
    checked_uint order;
    switch (key) {
    case Key::KeypadEnter: slotEditDialog(); return true;
    case Key::PageUp:
        increment = true;
        order = {shift ? 2u : 1u, true};
        break;
    case Key::PageDown: order = {shift ? 2u : 1u, true}; break;
    case Key::End: increment = true; break;
    case Key::Home: break;
    case Key::Up:
    case Key::Right:
        increment = true;
        order = {shift ? 1u : 0u, true};
        break;
    case Key::Left:
    case Key::Down: order = {shift ? 1u : 0u, true}; break;
    default: return false;
    }
    sigKeyAdjust(increment, order, wasDown);
    return true;
}

bool Slider::OnKeyUp(uint, uint) {
    sigKeyRelease();
    return true;
}

void Slider::slotEditDialog() {
    const int w = Width();
    const int h = Height();
    Point at;
    if (IsHorizontal()) {
        at = {(w - m_readoutWidth) + (m_readoutHeight - 2) + m_readoutWidth / 2,
            (h - 1) - m_readoutHeight + m_readoutHeight / 2};
    } else {
        const Rect box = GetEndRect();
        at = {box.left + (IsReadoutRight() ? -1 : 4) + box.Width() / 2, box.top - 1 + box.Height() / 2};
    }
    at = {at.x + FrameX(), at.y + FrameY()};
    String text = m_readout ? m_readout->GetText() : String();
    // A copy: the prompt may replace the function while it runs.
    const PromptFunction prompt = Prompt();
    const std::weak_ptr<const bool> life = m_life;
    Frame* frame = GetFrame();
    const bool accepted = prompt(frame, at, text, RejectedCharacters());
    if (accepted && !life.expired()) sigEdited(text);
    if (!life.expired()) frame->SetFocus(this);
}

}  // namespace UI
