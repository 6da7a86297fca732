#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Design/RuntimeDesign.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Widgets/FocusIndicator.h>
#include <QvBase/UI/Widgets/Window.h>

#include <Platform/Gui/Keys.h>

#include <algorithm>

namespace UI {

namespace {

enum MouseCode : uint { LeftDown, LeftUp, LeftDouble, RightDown, RightUp, RightDouble, Move, Wheel };

bool Deliver(Window& w, uint code, Point p, uint modifiers, int delta, const Window* capture) {
    switch (code) {
    case LeftDown: return w.OnLeftDown(p, modifiers);
    case LeftUp: return w.OnLeftUp(p, modifiers);
    case LeftDouble: return w.OnLeftDoubleClick(p, modifiers);
    case RightDown: return w.OnRightDown(p, modifiers);
    case RightUp: return w.OnRightUp(p, modifiers);
    case RightDouble: return w.OnRightDoubleClick(p, modifiers);
    case Move:
        if ((modifiers & 5) || &w == capture || w.TracksMouse()) return w.OnMouseMove(p, modifiers);
        return false;
    case Wheel: return w.OnMouseWheel(p, delta, modifiers);
    }
    return false;
}

Point Minus(Point p, Point q) { return {p.x - q.x, p.y - q.y}; }

bool HitTest(Window& w, uint code, Point p, uint modifiers, int delta, const Window* capture, Window*& candidate) {
    if (!w.FrameRect().Contains(p)) return false;
    if (w.HasCursor() && !candidate) candidate = &w;
    for (uint i = w.ChildCount(); i-- > 0;) {
        Window* child = w.GetChild(i);
        if (child && child->IsVisible() && child->IsEnabled() &&
            HitTest(*child, code, p, modifiers, delta, capture, candidate))
            return true;
    }
    return Deliver(w, code, Minus(p, w.FramePosition()), modifiers, delta, capture);
}

bool KeyToWindow(Window& w, uint kind, uint key, uint raw, uint modifiers, bool wasDown) {
    switch (kind) {
    case 0: return w.OnKeyDown(key, modifiers, wasDown);
    case 1: return w.OnKeyUp(key, modifiers);
    case 2: return w.OnChar(raw, modifiers, wasDown);
    }
    return false;
}

}  // namespace

bool Frame::OnMouse(uint code, Point point, uint modifiers, int wheelDelta) {
    if (m_window == Platform::Gui::NoWindow) return false;
    auto& system = Platform::Gui::Current();
    if (code == LeftDown || code == RightDown) system.SetFocus(m_nativeFocus);
    if (m_design->OnMouse(code, point, modifiers)) return true;
    bool taken = false;
    // A handler may destroy the candidate: the frame forgets it then.
    Window*& candidate = m_cursorCandidate;
    candidate = nullptr;
    if (m_capture) {
        candidate = m_capture;
        taken = Deliver(*m_capture, code, Minus(point, m_capture->FramePosition()), modifiers, wheelDelta, m_capture);
    } else if (m_topLevel.size() > 1) {
        // The last entry is the focus indicator, never hit.
        const std::vector<Window*> windows(m_topLevel.begin(), m_topLevel.end() - 1);
        for (auto it = windows.rbegin(); it != windows.rend() && !taken; ++it) {
            if (std::find(m_topLevel.begin(), m_topLevel.end(), *it) == m_topLevel.end()) continue;
            Window& w = **it;
            if (w.IsVisible() && w.IsEnabled())
                taken = HitTest(w, code, point, modifiers, wheelDelta, m_capture, candidate);
        }
    }
    if (code == Move && m_window != Platform::Gui::NoWindow)
        system.SetCursor(m_window, candidate ? candidate->GetCursor().GetShape() : Platform::Gui::CursorShape::Arrow);
    candidate = nullptr;
    return taken;
}

void Frame::SetCapture(Window* window) {
    if (window == m_capture) return;
    if (m_capture) {
        m_capture->OnLeftUp({0, 0}, 0);
        ReleaseCapture();
    }
    Platform::Gui::Current().SetCapture(m_window);
    m_capture = window;
}

void Frame::ReleaseCapture() {
    if (!m_capture) return;
    m_capture = nullptr;
    Platform::Gui::Current().ReleaseCapture();
}

void Frame::HideFocusIndicator() {
    if (m_focusIndicator) m_focusIndicator->Hide();
}

void Frame::SetFocus(Window* window) {
    if (window == m_focus) return;
    Window* old = m_focus;
    if (Platform::Gui::Current().FocusWindow() == m_nativeFocus) {
        m_pendingFocus = nullptr;
        m_focus = window;
        if (old) old->SetFocusFlag(false);
        // The handlers may have moved the focus on already.
        if (m_focus == window && window) window->SetFocusFlag(true);
        if (m_focus == window) HideFocusIndicator();
    } else {
        if (old) old->SetFocusFlag(false);
        if (m_focus == old) {
            m_pendingFocus = window;
            m_focus = nullptr;
            HideFocusIndicator();
        }
    }
}

bool Frame::OnKey(uint kind, uint key, uint raw, uint modifiers, bool wasDown) {
    if (m_window == Platform::Gui::NoWindow) return false;
    if (RouteKey(kind, key, raw, modifiers, wasDown)) return true;
    Frame* second = m_info ? m_info->SecondMainFrame() : nullptr;
    if (!second || second == this || second->m_window == Platform::Gui::NoWindow) return false;
    return second->RouteKey(kind, key, raw, modifiers, wasDown);
}

bool Frame::RouteKey(uint kind, uint key, uint raw, uint modifiers, bool wasDown) {
    if (m_design->OnKey(kind, key, raw, modifiers, wasDown)) return true;
    if (m_root && KeyToWindow(*m_root, kind, key, raw, modifiers, wasDown)) return true;
    if (kind == 0 && key == Platform::Gui::Key::Tab) {
        TabNavigate(!(modifiers & Platform::Gui::Modifier::Shift));
        return true;
    }
    for (Window* w = m_focus; w; w = w->Parent())
        if (KeyToWindow(*w, kind, key, raw, modifiers, wasDown)) return true;
    return false;
}

void Frame::TabNavigate(bool forward) {
    const std::size_t n = m_tabOrder.size();
    if (n == 0) return;
    const auto found = std::find(m_tabOrder.begin(), m_tabOrder.end(), m_focus);
    const std::size_t start =
        found != m_tabOrder.end() ? std::size_t(found - m_tabOrder.begin()) : (forward ? n - 1 : 0);
    const std::size_t step = forward ? 1 : n - 1;
    auto usable = [](const Window* w) { return w->IsVisibleUpTo(nullptr) && w->IsEnabledUpTo(nullptr); };
    std::size_t i = start;
    do {
        i = (i + step) % n;
    } while (i != start && !usable(m_tabOrder[i]));
    if (usable(m_tabOrder[i])) SetFocus(m_tabOrder[i]);
}

bool IsAltKeyDown() { return Platform::Gui::Current().IsKeyDown(Platform::Gui::Key::Alt); }

}  // namespace UI
