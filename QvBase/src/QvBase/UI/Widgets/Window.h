#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/UI/Native/Cursor.h>

#include <Platform/Gui/WindowSystem.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace UI {

class DrawContext;
class Frame;

// Wheel deltas given to OnMouseWheel: this many per notch.
inline constexpr int WheelNotch = Platform::Gui::WheelNotch;

// The base of every widget: windowless, living in one frame and painting into its
// memory draw context. The rectangle is in the parent's coordinates (the frame's for a
// top-level window); the frame position is kept up to date for the whole subtree.
class Window : public Object {
    QV_OBJECT()
public:
    using CursorShape = Platform::Gui::CursorShape;

    Window(Frame* frame, Window* parent, const String& name);
    ~Window() override;

    virtual void Paint(DrawContext& dc);
    virtual Rect GetFocusRect() const;
    // The frame area the window paints, its children included: its rectangle, unless
    // inner parts of it reach further. Painting is clipped to it and a whole-window
    // invalidation covers it.
    virtual Rect PaintRect() const { return FrameRect(); }
    virtual bool AcceptsFocus() const { return false; }
    virtual void OnChildAdded(Window*) {}
    virtual void OnChildRemoved(Window*) {}
    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual void OnEnabledChanged() {}
    virtual void OnGeometryChanged() {}
    virtual void OnColourChanged() { Invalidate(); }
    virtual void OnTransparencyChanged() {}
    virtual void OnReceivedFocus() {}
    virtual void OnLostFocus() {}
    virtual void OnTimer(uint /*timerId*/) {}
    // Points are in the window's own coordinates; true when the window took the event.
    virtual bool OnLeftDown(Point, uint /*modifiers*/) { return false; }
    virtual bool OnLeftUp(Point, uint /*modifiers*/) { return false; }
    virtual bool OnLeftDoubleClick(Point p, uint modifiers) { return OnLeftDown(p, modifiers); }
    virtual bool OnRightDown(Point, uint /*modifiers*/) { return false; }
    virtual bool OnRightUp(Point, uint /*modifiers*/) { return false; }
    virtual bool OnRightDoubleClick(Point p, uint modifiers) { return OnRightDown(p, modifiers); }
    virtual bool OnMouseMove(Point, uint /*modifiers*/) { return false; }
    virtual bool OnMouseWheel(Point, int /*delta*/, uint /*modifiers*/) { return false; }
    virtual bool OnKeyDown(uint /*key*/, uint /*modifiers*/, bool /*wasDown*/) { return false; }
    virtual bool OnKeyUp(uint /*key*/, uint /*modifiers*/) { return false; }
    virtual bool OnChar(uint /*character*/, uint /*modifiers*/, bool /*wasDown*/) { return false; }

    Frame* GetFrame() const { return m_frame; }
    Window* Parent() const { return m_parent; }

    // Geometry.
    const Rect& GetRect() const { return m_rect; }
    int Width() const { return m_rect.Width(); }
    int Height() const { return m_rect.Height(); }
    int FrameX() const { return m_framePos.x; }
    int FrameY() const { return m_framePos.y; }
    Point FramePosition() const { return m_framePos; }
    Rect FrameRect() const { return Rect::FromPointSize(m_framePos, m_rect.GetSize()); }
    void SetGeometry(int x, int y, int width, int height);
    // These fix the dimension they set: SetGeometry keeps it until the next of them.
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);
    void MoveInFrame(int frameX, int frameY, int width, int height);
    void ResizeWidth(int width);
    void ResizeHeight(int height);
    // The resize locks: the dimension SetWidth, SetHeight or SetSize fixed.
    bool IsWidthFixed() const { return m_fixedWidth; }
    bool IsHeightFixed() const { return m_fixedHeight; }
    const Rect& LayoutRect() const { return m_layoutRect; }
    void SetLayoutRect(const Rect& r) { m_layoutRect = r; }

    // State.
    bool IsVisible() const { return m_visible; }
    bool IsEnabled() const { return m_enabled; }
    bool HasFocus() const { return m_focus; }
    bool TracksMouse() const { return m_tracksMouse; }
    bool IsDestroying() const { return m_destroying; }
    void Show();
    void Hide();
    void SetEnabled(bool enabled);
    Colour GetColour() const { return m_colour; }
    void SetColour(Colour colour);
    Transparency GetTransparency() const { return m_ownTransparency; }
    Transparency GetExtraTransparency() const { return m_extraTransparency; }
    Transparency InheritedTransparency() const { return m_inheritedTransparency; }
    Transparency EffectiveTransparency() const { return m_effectiveTransparency; }
    void SetTransparency(Transparency level);
    void SetExtraTransparency(Transparency level);
    // Walks up while windows are visible (enabled); true on reaching `stop` or the top.
    bool IsVisibleUpTo(const Window* stop) const;
    bool IsEnabledUpTo(const Window* stop) const;

    // Children, in paint order (the last on top).
    Window* GetChild(uint index) const { return index < m_children.size() ? m_children[index] : nullptr; }
    uint ChildCount() const { return uint(m_children.size()); }
    Window* FindChild(const String& name) const;
    void BringToFront();
    void SetParent(Window* parent, Point position);

    // With no rectangle, the whole window. A rectangle in window coordinates is cut to the window.
    void Invalidate(std::optional<Rect> rect = std::nullopt, bool inFrameCoordinates = false);

    // The arrow when the window has no cursor of its own.
    Cursor GetCursor() const { return m_cursor.value_or(Cursor()); }
    bool HasCursor() const { return m_cursor.has_value(); }
    void SetCursor(std::optional<Cursor> cursor) { m_cursor = cursor; }

    uint LayoutKind() const { return m_layoutKind; }
    const String& LayoutName() const { return m_layoutName; }
    // The class of the object is one a layout file keeps.
    static bool IsLayoutSavable(const Object* object);
    // The layout file "<layout folder>/<layout name>.layout": saving needs a layout name
    // and "QVROOT" in the environment; loading reads the embedded archive.
    bool SaveLayout(bool includeSelf);
    bool LoadLayout();

    // Paints a child (or a top-level window) in its own coordinates and clip.
    static void PaintChild(DrawContext& dc, Window& child);

protected:
    uint m_layoutKind = 0;
    String m_layoutName;
    bool m_tracksMouse = false;

private:
    friend class Frame;

    void SetFocusFlag(bool focus);
    void Propagate(Transparency parentPart);
    void UpdateFramePositions();
    void Attach();

    Frame* m_frame;
    Window* m_parent;
    std::vector<Window*> m_children;
    bool m_destroying = false;
    bool m_fixedWidth = false;
    bool m_fixedHeight = false;
    Rect m_rect;
    Rect m_layoutRect{0, 99, 0, 99};
    Point m_framePos;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_focus = false;
    Colour m_colour;
    Transparency m_ownTransparency = 0;
    Transparency m_extraTransparency = 0;
    Transparency m_inheritedTransparency = 0;
    Transparency m_effectiveTransparency = 0;
    // The level received from the parent, kept apart: the inherited level saturates at 255.
    Transparency m_parentPart = 0;
    std::optional<Cursor> m_cursor;
};

}  // namespace UI
