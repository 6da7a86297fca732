#pragma once
// What the files of the GTK window system share: the window records and the one class
// whose members they each define, by job (windows and drawing, input, menus, dialogs).
#include <Platform/Gui/Gtk/GtkCursors.h>
#include <Platform/Gui/Input/ClickTracker.h>
#include <Platform/Gui/WindowSystem.h>

#include <gtk/gtk.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Platform::Gui {

// Each widget of a window carries its window's id under this key.
inline constexpr const char* GtkWindowIdKey = "platform-gui-window-id";

// Double clicks when the desktop's settings give none: two presses within this many
// milliseconds and pixels.
inline constexpr unsigned DefaultDoubleClickMs = 400;
inline constexpr int DefaultDoubleClickDistance = 5;

// One top-level window: its widgets, its handler and what was last told about it.
struct GtkWindowRecord {
    WindowId id = NoWindow;
    GtkWidget* window = nullptr;
    GtkWidget* box = nullptr;  // the menu bar goes above the client area, in this box
    GtkWidget* area = nullptr;  // the client area
    GtkWidget* menuBar = nullptr;
    // Set while a menu of the bar is open: the bar's next entries, put in place once.
    std::optional<std::vector<MenuSpec>> pendingMenus;
    guint pendingMenusSource = 0;
    WindowEvents* events = nullptr;
    Placement placement;
    PixelSize configuredSize{-1, -1};
    PixelSize client;
    std::map<unsigned, guint> timers;
    std::optional<int> minWidth, minHeight;
    ClickTracker clicks{DefaultDoubleClickMs, DefaultDoubleClickDistance};
    double scrollRest = 0;
    bool hasCursor = false;
    CursorShape cursor = CursorShape::Arrow;

    GtkWindowRecord() = default;
    GtkWindowRecord(const GtkWindowRecord&) = delete;
    GtkWindowRecord& operator=(const GtkWindowRecord&) = delete;
    ~GtkWindowRecord() {
        if (pendingMenusSource) g_source_remove(pendingMenusSource);
    }
};

// A message posted to a window, waiting for the loop.
struct GtkPosted {
    WindowId window;
    unsigned message;
    std::uint64_t a, b;
};

class GtkWindowSystem;

// What a timer source hands back to the window system.
struct GtkTimerData {
    GtkWindowSystem* self;
    WindowId window;
    unsigned timerId;
};

class GtkWindowSystem final : public WindowSystem {
public:
    // construction, timers, posted messages and the loop: GtkWindowSystem.cpp
    GtkWindowSystem();
    ~GtkWindowSystem() override;
    bool Post(WindowId id, unsigned message, std::uint64_t a, std::uint64_t b) override;
    bool SendCommand(WindowId id, unsigned command) override;
    bool StartTimer(WindowId id, unsigned timerId, unsigned intervalMs) override;
    bool StopTimer(WindowId id, unsigned timerId) override;
    std::uint32_t TickCount() const override;
    int RunMessageLoop(const AcceleratorFilter& filter) override;
    void Quit(int exitCode) override;

    // windows, geometry and drawing: GtkWindowSystemWindows.cpp
    WindowId CreateWindow(const WindowSpec& spec) override;
    void ShowWindow(WindowId id, ShowMode mode) override;
    void DestroyWindow(WindowId id) override;
    void SetEventHandler(WindowId id, WindowEvents* events) override;
    void SetTitle(WindowId id, const std::string& title) override;
    void SetKeepAbove(WindowId id, bool above) override;
    PixelSize ClientSize(WindowId id) const override;
    PixelPoint ClientOriginOnScreen(WindowId id) const override;
    std::optional<Placement> GetPlacement(WindowId id) const override;
    void SetMinimumClientSize(WindowId id, std::optional<int> width, std::optional<int> height) override;
    std::vector<PixelRect> MonitorAreas() const override;
    void Present(WindowId id, const std::vector<PixelRect>& rects) override;

    // keyboard, mouse, focus, capture and cursors: GtkWindowSystemInput.cpp
    void SetCapture(WindowId id) override;
    void ReleaseCapture() override;
    void SetFocus(WindowId id) override;
    bool IsKeyDown(unsigned key) const override;
    bool IsKeyToggled(unsigned key) const override;
    void SetCursor(WindowId id, CursorShape shape) override;

    // menus: GtkWindowSystemMenus.cpp
    void SetMenuBar(WindowId id, const std::vector<MenuSpec>& menus) override;
    std::vector<std::string> ShownMenuEntries(WindowId id, std::size_t menu) const;
    // Null when there is none.
    GtkWidget* MenuPopup(WindowId id, std::size_t menu) const;

    // modal dialogs: GtkWindowSystemDialogs.cpp
    void ShowMessageBox(WindowId owner, const std::string& caption, const std::string& text, bool systemModal) override;
    std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) override;
    int RunTemplateDialog(WindowId owner, const std::vector<std::uint8_t>& bytes, DialogEvents& events) override;

    bool WindowExists(WindowId id) const override { return windows_.count(id) != 0; }
    WindowId CaptureWindow() const override { return capture_; }
    WindowId FocusWindow() const override { return focus_; }

private:
    GtkWindowRecord* Find(WindowId id) const {
        auto it = windows_.find(id);
        return it == windows_.end() ? nullptr : it->second.get();
    }

    static GtkWindowSystem* Self(gpointer p) { return static_cast<GtkWindowSystem*>(p); }

    GtkWindowRecord* RecordOf(GtkWidget* widget) const {
        return Find(WindowId(GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(widget), GtkWindowIdKey))));
    }

    // No exception may unwind through GLib: keep the first, stop the loop, and let
    // RunMessageLoop rethrow it once the loop has been left.
    template <class F>
    auto Guarded(F&& f) -> decltype(f()) {
        try {
            return f();
        } catch (...) {
            if (!failure_) failure_ = std::current_exception();
            Quit(1);
            return decltype(f()){};
        }
    }

    // construction, timers, posted messages and the loop: GtkWindowSystem.cpp
    void RethrowFailure();
    static gboolean OnTimerThunk(gpointer data);
    static gboolean DispatchPostsThunk(gpointer self);
    void DispatchPosts();

    // windows, geometry and drawing: GtkWindowSystemWindows.cpp
    void NotifyPlacement(GtkWindowRecord& rec);
    void Forget(GtkWindowRecord& rec);
    static gboolean OnDeleteThunk(GtkWidget* widget, GdkEvent*, gpointer self);
    static void OnDestroyThunk(GtkWidget* widget, gpointer self);
    static gboolean OnConfigureThunk(GtkWidget* widget, GdkEventConfigure* e, gpointer self);
    static gboolean OnWindowStateThunk(GtkWidget* widget, GdkEventWindowState*, gpointer self);
    static void OnSizeAllocateThunk(GtkWidget* widget, GdkRectangle*, gpointer self);
    static void OnActiveThunk(GtkWidget* widget, GParamSpec*, gpointer self);
    static gboolean OnDrawThunk(GtkWidget* widget, cairo_t* cr, gpointer self);

    // keyboard, mouse, focus, capture and cursors: GtkWindowSystemInput.cpp
    static guint ModifierMask(unsigned key);
    // An event's state tells the modifiers before it; the event's own key changes its own.
    void NoteModifiers(guint state, unsigned eventKey = 0, bool pressed = false);
    // Keys may change while another program has the keyboard: forget what we saw.
    static gboolean OnFocusOutThunk(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean OnFocusInThunk(GtkWidget* widget, GdkEvent*, gpointer self);
    static gboolean OnKeyThunk(GtkWidget* widget, GdkEventKey* e, gpointer self);
    gboolean HandleKey(GtkWidget* widget, GdkEventKey* e);
    static gboolean OnButtonThunk(GtkWidget* widget, GdkEventButton* e, gpointer self);
    static gboolean OnMotionThunk(GtkWidget* widget, GdkEventMotion* e, gpointer self);
    static gboolean OnScrollThunk(GtkWidget* widget, GdkEventScroll* e, gpointer self);

    // menus: GtkWindowSystemMenus.cpp
    void BuildMenuBar(GtkWindowRecord& rec, const std::vector<MenuSpec>& menus);
    static gboolean ApplyPendingMenusThunk(gpointer update);
    GtkWidget* MakeMenuItem(WindowId id, const MenuEntry& entry);
    // Makes a pop-up's items those of `entries`, changing the items in place where it can.
    void UpdateMenuEntries(WindowId id, GtkWidget* popup, const std::vector<MenuEntry>& entries);
    static void OnMenuItemThunk(GtkWidget* item, gpointer self);

    GdkDisplay* display_ = nullptr;
    unsigned doubleClickMs_ = DefaultDoubleClickMs;
    int doubleClickDistance_ = DefaultDoubleClickDistance;
    WindowId nextId_ = 1;
    std::map<WindowId, std::unique_ptr<GtkWindowRecord>> windows_;
    std::map<std::pair<WindowId, unsigned>, unsigned> pressed_;  // (window, hardware key) -> key code
    std::map<unsigned, bool> modifiers_;  // Shift, Control, Alt as last seen
    WindowId capture_ = NoWindow;
    WindowId focus_ = NoWindow;
    GtkCursors cursors_;
    AcceleratorFilter filter_;
    std::atomic<bool> quitRequested_{false};
    int exitCode_ = 0;
    std::exception_ptr failure_;

    std::mutex postLock_;
    std::set<WindowId> liveIds_;
    std::deque<GtkPosted> posts_;
    guint postSource_ = 0;
};

}  // namespace Platform::Gui
