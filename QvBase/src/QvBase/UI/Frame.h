#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Drawing/DibSurface.h>
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/UI/Text/TextFontDescription.h>
#include <QvBase/Util/SharedPtr.h>

#include <Platform/Gui/WindowSystem.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace UI {

class ApplicationInfo;
class DrawContext;
class FocusIndicator;
class RuntimeDesign;
class Window;

// The canvas of one host window: owns its top-level windows, collects dirty rectangles,
// repaints them into the draw context when the canvas-update message comes, and routes
// mouse and keys to its windows. Everything here belongs to the UI thread.
class Frame : public Object {
    QV_OBJECT()
public:
    using WindowId = Platform::Gui::WindowId;

    struct Timer {
        uint id;
        uint intervalMs;
        std::uint32_t lastTick;
        Window* target;
        bool oneShot;
    };

    Frame(ApplicationInfo* info, WindowId window, DrawContext* dc, Point origin, const String& name, Rect rect);
    ~Frame() override;

    void sigSamplingRateChanged();
    void sigNumChannelsChanged();

    ApplicationInfo* Info() const { return m_info; }
    WindowId NativeWindow() const { return m_window; }
    DrawContext* GetDrawContext() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const Rect& GetFrameRect() const { return m_rect; }
    Point Origin() const { return m_origin; }
    bool IsBeingDestroyed() const { return m_beingDestroyed; }
    bool UpdatesRunning() const { return m_updateTickMs != 0; }
    // The interval of the update timer that fires the frame timers, 0 while none runs: a
    // timer that must fire on every n-th tick derives n from it.
    uint UpdateTickMs() const { return m_updateTickMs; }
    void SetUpdateTickMs(uint intervalMs) { m_updateTickMs = intervalMs; }
    const SharedPtr<DibSurface>& Surface() const { return m_surface; }
    Colour GetColour(uint index) const { return index < m_colours.size() ? m_colours[index] : 0; }
    void SetColour(uint index, Colour colour) {
        if (index < m_colours.size()) m_colours[index] = colour;
    }

    // The three label fonts of the frame's texts; an index beyond them reads font 0 and sets nothing.
    static constexpr uint TextFontCount = 3;
    const TextFontDescription& GetTextFont(uint index) const { return m_textFonts[index < TextFontCount ? index : 0]; }
    void SetFont(uint index, const TextFontDescription& font) {
        if (index < TextFontCount) m_textFonts[index] = font;
    }

    void SetTarget(WindowId window, DrawContext* dc);
    void SetRootWindow(Window* window);
    Window* RootWindow() const { return m_root; }
    void Resize(Rect rect);
    Point GetClientOriginOnScreen() const;

    // The window tree's top-level list; the focus indicator is always last.
    const std::vector<Window*>& TopLevelWindows() const { return m_topLevel; }
    void AddTopLevel(Window* window);
    void BringTopLevelToFront(Window* window);
    // A window leaves the frame's bookkeeping; a destroyed one also loses its timers.
    void RemoveWindow(Window* window, bool destroyed);

    // Dirty rectangles and repaint.
    void InvalidateRect(const Rect& rect, bool post);
    const std::vector<Rect>& DirtyRects() const { return m_dirty; }
    bool UpdatePosted() const { return m_updatePosted; }
    void OnCanvasUpdate();

    // Input routing.
    bool OnMouse(uint code, Point point, uint modifiers, int wheelDelta);
    bool OnKey(uint kind, uint key, uint raw, uint modifiers, bool wasDown);
    void SetCapture(Window* window);
    void ReleaseCapture();
    Window* CaptureWindow() const { return m_capture; }
    void SetFocus(Window* window);
    Window* FocusWindow() const { return m_focus; }
    Window* PendingFocusWindow() const { return m_pendingFocus; }
    FocusIndicator* GetFocusIndicator() const { return m_focusIndicator; }
    void HideFocusIndicator();
    // The windows Tab walks through, in order.
    std::vector<Window*>& TabOrder() { return m_tabOrder; }

    // Frame timers, the windows' only time source.
    uint AddTimer(Window* window, uint intervalMs, bool oneShot);
    void RemoveTimer(uint id);
    void FireTimers();
    const std::vector<Timer>& Timers() const { return m_timers; }

    // The layout designer; every frame disables it at construction.
    RuntimeDesign* GetRuntimeDesign() const { return m_design.get(); }

    static int LiveCount();

private:
    void RepaintDirty();
    void PostUpdate();
    bool RouteKey(uint kind, uint key, uint raw, uint modifiers, bool wasDown);
    void TabNavigate(bool forward);

    ApplicationInfo* m_info;
    WindowId m_window;
    DrawContext* m_dc;
    int m_width;
    int m_height;
    uint m_updateTickMs = 0;
    Point m_origin;
    SharedPtr<DibSurface> m_surface;
    Rect m_rect;
    Window* m_root = nullptr;
    std::vector<Window*> m_topLevel;
    bool m_beingDestroyed = false;
    WindowId m_nativeFocus;
    Window* m_focus = nullptr;
    Window* m_pendingFocus = nullptr;
    std::vector<Window*> m_tabOrder;
    FocusIndicator* m_focusIndicator = nullptr;
    Window* m_capture = nullptr;
    // The window whose cursor a mouse event in progress will show; cleared if it is destroyed.
    Window* m_cursorCandidate = nullptr;
    std::vector<Rect> m_dirty;
    std::array<Colour, 8> m_colours{};
    std::array<TextFontDescription, TextFontCount> m_textFonts{};
    std::vector<Timer> m_timers;
    std::unique_ptr<RuntimeDesign> m_design;
    // The timer whose handler runs, and whether its record went meanwhile (a record
    // with its id found afterwards is then a new timer).
    uint m_firingTimer = 0;
    bool m_firingTimerRemoved = false;
    bool m_updatePosted = false;
};

// True while the Alt key is held.
bool IsAltKeyDown();

}  // namespace UI
