#include <QvBase/UI/Widgets/Window.h>

#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>

#include <algorithm>

QV_META_BEGIN(UI::Window, Object)
    QV_META_SLOTS
QV_META_END

namespace UI {

namespace {

Transparency AddLevels(int a, int b) { return Transparency(std::min(255, a + b)); }

void Erase(std::vector<Window*>& list, Window* w) { list.erase(std::remove(list.begin(), list.end(), w), list.end()); }

}  // namespace

Window::Window(Frame* frame, Window* parent, const String& name)
    : Object(name), m_frame(frame), m_parent(parent), m_colour(frame->GetColour(2)) {
    Attach();
    Propagate(m_parent ? m_parent->m_inheritedTransparency : 0);
    UpdateFramePositions();
}

void Window::Attach() {
    if (m_parent) {
        m_parent->m_children.push_back(this);
        m_parent->OnChildAdded(this);
    } else {
        m_frame->AddTopLevel(this);
    }
}

Window::~Window() {
    if (!m_destroying && m_visible) Invalidate();
    m_destroying = true;
    if (m_parent && !m_parent->m_destroying) {
        Erase(m_parent->m_children, this);
        m_parent->OnChildRemoved(this);
    }
    m_frame->RemoveWindow(this, true);
    // Children see this window destroying and leave the list alone.
    for (Window* child : m_children) delete child;
    m_children.clear();
}

void Window::Paint(DrawContext& dc) {
    const Rect clip = Rect::Intersect(dc.GetClipRect(), PaintRect());
    for (Window* child : m_children) {
        if (child->m_visible && Rect::Intersect(child->PaintRect(), clip).HasArea() &&
            child->m_effectiveTransparency < 255)
            PaintChild(dc, *child);
    }
}

void Window::PaintChild(DrawContext& dc, Window& child) {
    const Rect savedClip = dc.GetClipRect();
    const Point savedOrigin = dc.GetOrigin();
    Rect clip = savedClip;
    if (child.m_parent) clip.Intersect(child.m_parent->PaintRect());
    dc.SetOrigin(child.m_framePos);
    dc.SetClipRect(Rect::Intersect(clip, child.PaintRect()));
    child.Paint(dc);
    dc.SetClipRect(savedClip);
    dc.SetOrigin(savedOrigin);
}

Rect Window::GetFocusRect() const {
    const Rect r = FrameRect();
    return {r.left - 2, r.right + 2, r.top - 2, r.bottom + 2};
}

void Window::SetGeometry(int x, int y, int width, int height) {
    if (m_fixedWidth) width = Width();
    if (m_fixedHeight) height = Height();
    const bool moved = x != m_rect.left || y != m_rect.top;
    const bool resized = width != Width() || height != Height();
    if (!moved && !resized) return;
    const Rect old = FrameRect();
    m_rect = Rect::FromXYWH(x, y, width, height);
    if (moved) UpdateFramePositions();
    if (m_focus) m_frame->HideFocusIndicator();
    OnGeometryChanged();
    if (m_visible) {
        const Rect now = FrameRect();
        if (Rect::Intersect(old, now).IsEmpty()) {
            m_frame->InvalidateRect(old, true);
            m_frame->InvalidateRect(now, true);
        } else {
            m_frame->InvalidateRect(Rect::Union(old, now), true);
        }
    }
}

void Window::SetWidth(int width) {
    m_fixedWidth = false;
    SetGeometry(m_rect.left, m_rect.top, width, Height());
    m_fixedWidth = true;
}

void Window::SetHeight(int height) {
    m_fixedHeight = false;
    SetGeometry(m_rect.left, m_rect.top, Width(), height);
    m_fixedHeight = true;
}

void Window::SetSize(int width, int height) {
    m_fixedWidth = m_fixedHeight = false;
    SetGeometry(m_rect.left, m_rect.top, width, height);
    m_fixedWidth = m_fixedHeight = true;
}

void Window::MoveInFrame(int frameX, int frameY, int width, int height) {
    const Point base = m_parent ? m_parent->m_framePos : Point{};
    SetGeometry(frameX - base.x, frameY - base.y, width, height);
}

void Window::ResizeWidth(int width) { SetGeometry(m_rect.left, m_rect.top, width, Height()); }

void Window::ResizeHeight(int height) { SetGeometry(m_rect.left, m_rect.top, Width(), height); }

void Window::UpdateFramePositions() {
    const Point base = m_parent ? m_parent->m_framePos : Point{};
    m_framePos = {m_rect.left + base.x, m_rect.top + base.y};
    for (Window* child : m_children) child->UpdateFramePositions();
}

void Window::Show() {
    if (m_visible) return;
    m_visible = true;
    OnShow();
    Invalidate();
}

void Window::Hide() {
    if (!m_visible) return;
    OnHide();
    m_visible = false;
    Invalidate();
}

void Window::SetEnabled(bool enabled) {
    if (m_enabled == enabled) return;
    m_enabled = enabled;
    OnEnabledChanged();
}

void Window::SetColour(Colour colour) {
    if (m_colour == colour) return;
    m_colour = colour;
    OnColourChanged();
}

void Window::SetTransparency(Transparency level) {
    if (m_ownTransparency == level) return;
    m_ownTransparency = level;
    m_effectiveTransparency = AddLevels(m_inheritedTransparency, level);
    OnTransparencyChanged();
    if (m_visible) Invalidate();
}

void Window::SetExtraTransparency(Transparency level) {
    m_extraTransparency = level;
    Propagate(m_parentPart);
    Invalidate();
}

void Window::Propagate(Transparency parentPart) {
    m_parentPart = parentPart;
    m_inheritedTransparency = AddLevels(m_extraTransparency, parentPart);
    m_effectiveTransparency = AddLevels(m_ownTransparency, m_inheritedTransparency);
    for (Window* child : m_children) child->Propagate(m_inheritedTransparency);
}

bool Window::IsVisibleUpTo(const Window* stop) const {
    for (const Window* w = this; w && w != stop; w = w->m_parent)
        if (!w->m_visible) return false;
    return true;
}

bool Window::IsEnabledUpTo(const Window* stop) const {
    for (const Window* w = this; w && w != stop; w = w->m_parent)
        if (!w->m_enabled) return false;
    return true;
}

Window* Window::FindChild(const String& name) const {
    for (Window* child : m_children)
        if (child->Name() == name) return child;
    return nullptr;
}

void Window::BringToFront() {
    if (m_parent) {
        Erase(m_parent->m_children, this);
        m_parent->m_children.push_back(this);
    } else {
        m_frame->BringTopLevelToFront(this);
    }
}

void Window::SetParent(Window* parent, Point position) {
    if (m_parent) {
        Erase(m_parent->m_children, this);
        m_parent->OnChildRemoved(this);
    }
    m_frame->RemoveWindow(this, false);
    m_parent = parent;
    Attach();
    SetGeometry(position.x, position.y, Width(), Height());
    if (m_parent) Propagate(m_parent->m_inheritedTransparency);
    UpdateFramePositions();
}

void Window::Invalidate(std::optional<Rect> rect, bool inFrameCoordinates) {
    Rect area = PaintRect();
    if (rect) area = inFrameCoordinates ? *rect : Rect::Intersect(rect->Offsetted(m_framePos), FrameRect());
    m_frame->InvalidateRect(area, true);
}

void Window::SetFocusFlag(bool focus) {
    if (m_focus == focus) return;
    m_focus = focus;
    if (focus)
        OnReceivedFocus();
    else
        OnLostFocus();
}

bool Window::IsLayoutSavable(const Object* object) {
    if (!object) return false;
    for (const char* name : {"UI::PushButton", "UI::PixmapButton", "UI::CheckBox", "UI::ListBox"})
        if (object->Inherits(name)) return true;
    return false;
}

}  // namespace UI
