#pragma once
#include <Platform/Gui/Geometry.h>
#include <Platform/Gui/Surface.h>

#include <cstdint>

namespace Platform::Gui {

enum class KeyKind { Down = 0, Up = 1, Char = 2 };

struct KeyEvent {
    KeyKind kind = KeyKind::Down;
    unsigned key = 0;  // a code of Keys.h (for Char: the key-down's code)
    unsigned character = 0;  // for Char: the character (a Unicode code point); else 0
    unsigned modifiers = 0;  // Modifier::Ctrl | Modifier::Shift, as they are after this event
    bool wasDown = false;  // the key was already down (auto-repeat)
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// The order matches the toolkit's mouse event codes 0 to 7.
enum class MouseKind { LeftDown = 0, LeftUp, LeftDoubleClick, RightDown, RightUp, RightDoubleClick, Move, Wheel };

// Wheel deltas come in units of this many per notch, so finer wheels can send parts of one.
inline constexpr int WheelNotch = 120;

struct MouseEvent {
    MouseKind kind = MouseKind::Move;
    PixelPoint point;  // client coordinates (may lie outside while the mouse is captured)
    unsigned modifiers = 0;  // buttons, Ctrl and Shift of Keys.h, as they are after this event
    int wheelDelta = 0;  // +WheelNotch a notch away from the user, -WheelNotch towards; 0 for other kinds
    friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

// What an expose handler paints with: copies part of its surface to the window.
class ExposeTarget {
public:
    virtual void Copy(const SurfaceView& surface, const PixelRect& area) = 0;

protected:
    ~ExposeTarget() = default;
};

// Receives what happens to one window. Every call comes on the UI thread, from the
// message loop or from a call the owner made; none comes after OnDestroyed.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // The user asked to close the window; returning true lets it be destroyed.
    virtual bool OnCloseRequest() { return true; }
    // The window is going away (after a close, or destroyed by its owner).
    virtual void OnDestroyed() {}
    // Position, size, maximised state or client size changed.
    virtual void OnPlacementChanged() {}
    virtual void OnActivated(bool /*active*/) {}
    // Part of the client area must be shown again: copy it from the owner's surface.
    virtual void OnExpose(const PixelRect& /*area*/, ExposeTarget& /*target*/) {}
    virtual bool OnKey(const KeyEvent&) { return false; }
    virtual bool OnMouse(const MouseEvent&) { return false; }
    virtual bool OnCommand(unsigned /*command*/) { return false; }
    virtual void OnTimer(unsigned /*timerId*/) {}
    virtual void OnMessage(unsigned /*message*/, std::uint64_t /*a*/, std::uint64_t /*b*/) {}
};

}  // namespace Platform::Gui
