#include <QvBase/UI/Design/DesignGeometry.h>
#include <QvBase/UI/Design/RuntimeDesign.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Window.h>

#include <Platform/Gui/Keys.h>

#include <algorithm>

namespace UI {

namespace {

enum MouseCode : uint { CodeLeftDown, CodeLeftUp, CodeLeftDouble, CodeMove = 6 };

Point Offset(Point from, Point to) { return {to.x - from.x, to.y - from.y}; }

// Within a window holding the point: a designable class that is not of kind 1, else a
// visible kind-1 child holding it, else what an enabled child holds, else the window.
Window* DesignableWithin(Window& w, Point p) {
    if (!w.FrameRect().Contains(p)) return nullptr;
    if (w.LayoutKind() != 1 && RuntimeDesign::IsDesignableClass(&w)) return &w;
    for (uint i = w.ChildCount(); i-- > 0;) {
        Window* child = w.GetChild(i);
        if (!child) continue;
        if (child->IsVisible() && child->LayoutKind() == 1 && child->FrameRect().Contains(p)) return child;
        if (child->IsEnabled())
            if (Window* found = DesignableWithin(*child, p)) return found;
    }
    return &w;
}

}  // namespace

bool RuntimeDesign::OnMouse(uint code, Point p, uint modifiers) {
    const bool changed = UpdateActive();
    if (!m_active) return Finish(changed);
    m_message = String();
    if (m_prompt == Prompt::NewButton) return Finish(changed);
    switch (code) {
    case CodeLeftDown:
        if (m_trimMode)
            TrimLeftDown(p);
        else
            LeftDown(p, modifiers);
        break;
    case CodeLeftUp:
        m_dragging = false;
        m_bandDrawn = false;
        m_frame->ReleaseCapture();
        break;
    case CodeLeftDouble:
        if (m_trimMode) {
            m_trimEntire = !m_trimEntire;
            if (m_trim.IsEmpty()) m_trim = {0, 99, 0, 99};
        }
        break;
    case CodeMove: MouseMove(p); break;
    }
    return Finish(changed);
}

void RuntimeDesign::LeftDown(Point p, uint modifiers) {
    m_commandPending = false;
    if (IsAltKeyDown()) {
        m_bandStart = m_bandEnd = p;
        m_bandDrawn = true;
        m_bandContainer = DesignableAt(p);
        m_frame->SetCapture(m_readoutText);
        return;
    }
    Window* clicked = SelectedAt(p);
    if (!clicked) clicked = DesignableAt(p);
    if (modifiers & Platform::Gui::Modifier::Ctrl) {
        if (!clicked) return;
        const auto it = std::find(m_selection.begin(), m_selection.end(), clicked);
        if (it == m_selection.end())
            m_selection.push_back(clicked);
        else if (!(modifiers & Platform::Gui::Modifier::Shift))
            m_selection.erase(it);
        return;
    }
    if (!clicked) {
        m_selection.clear();
        return;
    }
    if (!IsSelected(clicked)) {
        SelectOnly(clicked);
        m_handle = Design::Handle::Inside;
    } else {
        const Window* grabbed = SelectedAt(p);
        m_handle = grabbed ? HandleOf(*grabbed, p) : Design::Handle::Inside;
    }
    m_dragRects.clear();
    for (const Window* w : m_selection) m_dragRects.push_back(w->GetRect());
    m_dragStart = p;
    m_dragging = true;
    m_frame->SetCapture(m_readoutText);
}

void RuntimeDesign::TrimLeftDown(Point p) {
    const bool inUse = !m_trimEntire && !m_trim.IsEmpty();
    m_spanningTrim = !(inUse && m_trim.Contains(p));
    if (!m_spanningTrim) {
        m_handle = Design::HandleAt(m_trim, p, false, false);
    } else {
        m_trimEntire = false;
        m_trim = Design::Spanned(p, p);
    }
    m_trimAtDragStart = m_trim;
    m_dragStart = p;
    m_dragging = true;
    m_frame->SetCapture(m_readoutText);
}

void RuntimeDesign::MouseMove(Point p) {
    if (m_dragging)
        DragTo(p);
    else if (m_bandDrawn)
        SpanRubberBand(p);
    else
        ShowHandleCursor(p);
}

void RuntimeDesign::DragTo(Point p) {
    const Point offset = Offset(m_dragStart, p);
    if (m_trimMode) {
        m_trim = m_spanningTrim ? Design::Spanned(m_dragStart, p)
                                : Design::DragHandle(m_trimAtDragStart, m_handle, offset, false, false);
        return;
    }
    // Moving a window may destroy others: walk a copy and skip the ones gone.
    const std::vector<Window*> selection = m_selection;
    const std::vector<Rect> rects = m_dragRects;
    for (std::size_t i = 0; i < selection.size() && i < rects.size(); ++i) {
        if (!IsSelected(selection[i])) continue;
        Window& w = *selection[i];
        const Rect r = Design::DragHandle(rects[i], m_handle, offset, w.IsWidthFixed(), w.IsHeightFixed());
        w.SetGeometry(r.left, r.top, r.Width(), r.Height());
    }
}

void RuntimeDesign::SpanRubberBand(Point p) {
    m_bandEnd = p;
    m_selection.clear();
    if (!m_bandContainer) return;
    const Rect band = Design::Spanned(m_bandStart, m_bandEnd);
    for (uint i = 0; i < m_bandContainer->ChildCount(); ++i) {
        Window* child = m_bandContainer->GetChild(i);
        if (child && Rect::Intersect(child->FrameRect(), band).HasArea()) m_selection.push_back(child);
    }
}

void RuntimeDesign::ShowHandleCursor(Point p) {
    Design::Handle handle = Design::Handle::Inside;
    if (m_trimMode) {
        if (!m_trimEntire && m_trim.Contains(p)) handle = Design::HandleAt(m_trim, p, false, false);
    } else if (const Window* w = SelectedAt(p)) {
        handle = HandleOf(*w, p);
    }
    const Platform::Gui::WindowId native = m_frame->NativeWindow();
    if (native != Platform::Gui::NoWindow)
        Platform::Gui::Current().SetCursor(native, Design::HandleCursor(handle).GetShape());
}

Design::Handle RuntimeDesign::HandleOf(const Window& w, Point p) const {
    return Design::HandleAt(w.FrameRect(), p, w.IsWidthFixed(), w.IsHeightFixed());
}

Window* RuntimeDesign::SelectedAt(Point p) const {
    for (Window* w : m_selection)
        if (w->FrameRect().Contains(p)) return w;
    return nullptr;
}

Window* RuntimeDesign::DesignableAt(Point p) const {
    const std::vector<Window*>& top = m_frame->TopLevelWindows();
    // The bottom-most top-level window is not searched.
    for (std::size_t i = top.size(); i-- > 1;) {
        Window* w = top[i];
        if (!w->IsVisible() || !w->IsEnabled()) continue;
        if (Window* found = DesignableWithin(*w, p)) return found;
    }
    return nullptr;
}

}  // namespace UI
