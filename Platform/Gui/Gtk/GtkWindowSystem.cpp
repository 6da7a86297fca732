#include <Platform/Gui/Gtk/GtkWindowSystem.h>

#include <Platform/Gui/Gtk/GtkCursors.h>
#include <Platform/Gui/Gtk/GtkDialogs.h>
#include <Platform/Gui/Gtk/GtkKeys.h>
#include <Platform/Gui/Gtk/GtkTemplateDialog.h>
#include <Platform/Gui/Gtk/MenuLabels.h>
#include <Platform/Gui/Input/ClickTracker.h>
#include <Platform/Gui/Input/Modifiers.h>

#include <gtk/gtk.h>

#include <atomic>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <utility>

namespace Platform::Gui {

namespace {

constexpr const char* kIdKey = "platform-gui-window-id";
constexpr const char* kCommandKey = "platform-gui-command";
constexpr const char* kCheckedKey = "platform-gui-checked";
constexpr unsigned kMinimumTimerMs = 10;

struct WindowRecord {
    WindowId id = NoWindow;
    GtkWidget* window = nullptr;
    GtkWidget* box = nullptr;  // the menu bar goes above the client area, in this box
    GtkWidget* area = nullptr;  // the client area
    GtkWidget* menuBar = nullptr;
    WindowEvents* events = nullptr;
    Placement placement;
    PixelSize configuredSize{-1, -1};
    PixelSize client;
    std::map<unsigned, guint> timers;
    std::optional<int> minWidth, minHeight;
    ClickTracker clicks{400, 5};
    double scrollRest = 0;
    bool hasCursor = false;
    CursorShape cursor = CursorShape::Arrow;
};

struct Posted {
    WindowId window;
    unsigned message;
    std::uint64_t a, b;
};

class GtkWindowSystem;

struct TimerData {
    GtkWindowSystem* self;
    WindowId window;
    unsigned timerId;
};

class GtkTarget final : public ExposeTarget {
public:
    GtkTarget(cairo_t* cr, PixelRect area) : cr_(cr), area_(area) {}

    void Copy(const SurfaceView& s, const PixelRect& area) override {
        if (!s.pixels || s.width <= 0 || s.height <= 0 || s.stride < s.width) return;
        const PixelRect r = area.Intersected(area_).Intersected({0, 0, s.width, s.height});
        if (r.IsEmpty()) return;
        // RGB24 is 0x00RRGGBB in native order: cairo reads our pixels where they are.
        cairo_surface_t* image =
            cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(s.pixels)),
                CAIRO_FORMAT_RGB24, s.width, s.height, s.stride * 4);
        cairo_save(cr_);
        cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
        cairo_clip(cr_);
        cairo_set_source_surface(cr_, image, 0, 0);
        cairo_paint(cr_);
        cairo_restore(cr_);
        cairo_surface_finish(image);
        cairo_surface_destroy(image);
    }

private:
    cairo_t* cr_;
    PixelRect area_;
};

unsigned KeyModifiersOf(guint state) {
    return ((state & GDK_CONTROL_MASK) ? Modifier::Ctrl : 0u) | ((state & GDK_SHIFT_MASK) ? Modifier::Shift : 0u);
}

unsigned MouseModifiersOf(guint state) {
    return KeyModifiersOf(state) | ((state & GDK_BUTTON1_MASK) ? Modifier::LeftButton : 0u) |
        ((state & GDK_BUTTON2_MASK) ? Modifier::MiddleButton : 0u) |
        ((state & GDK_BUTTON3_MASK) ? Modifier::RightButton : 0u);
}

PixelPoint PointOf(double x, double y) { return {int(std::floor(x)), int(std::floor(y))}; }

void InitialiseGtk() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        gdk_set_allowed_backends("x11");
        g_setenv("GDK_SCALE", "1", TRUE);
        // The program writes no files but its own settings: GTK's dialogs keep theirs in memory.
        g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
        ok = gtk_init_check(nullptr, nullptr);
        // GTK took the user's locale; numbers are written and read with ".".
        std::setlocale(LC_NUMERIC, "C");
        if (ok) {
            g_object_set(gtk_settings_get_default(), "gtk-recent-files-enabled", FALSE, nullptr);
            // Even turned off, the list rewrites its file (empty) once a dialog adds to it,
            // wiping the user's list: its change handler is what writes, so it does nothing here.
            auto* recent = static_cast<GtkRecentManagerClass*>(g_type_class_ref(GTK_TYPE_RECENT_MANAGER));
            recent->changed = [](GtkRecentManager*) {};
        }
    });
    if (!ok) {
        const char* display = std::getenv("DISPLAY");
        throw std::runtime_error(
            std::string("Platform::Gui: GTK could not open the X11 display \"") + (display ? display : "") + "\"");
    }
}

class GtkWindowSystem final : public WindowSystem {
public:
    GtkWindowSystem() {
        InitialiseGtk();
        display_ = gdk_display_get_default();
        gint ms = 400, distance = 5;
        g_object_get(
            gtk_settings_get_default(), "gtk-double-click-time", &ms, "gtk-double-click-distance", &distance, nullptr);
        doubleClickMs_ = unsigned(std::max(ms, 1));
        doubleClickDistance_ = std::max(distance, 1);
    }

    ~GtkWindowSystem() override {
        // Leaving: the owners are gone or going, so no handler hears of it.
        while (!windows_.empty()) {
            WindowRecord& rec = *windows_.begin()->second;
            rec.events = nullptr;
            DestroyWindow(rec.id);
        }
        std::lock_guard guard(postLock_);
        if (postSource_) g_source_remove(postSource_);
    }

    // ---- windows ----

    WindowId CreateWindow(const WindowSpec& spec) override {
        auto rec = std::make_unique<WindowRecord>();
        rec->id = nextId_++;
        rec->events = spec.events;
        rec->clicks = ClickTracker(doubleClickMs_, doubleClickDistance_);
        rec->placement.normal = spec.outer;

        GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        rec->window = window;
        gtk_window_set_title(GTK_WINDOW(window), spec.title.c_str());
        gtk_window_set_decorated(GTK_WINDOW(window), !spec.popUp);
        gtk_window_set_resizable(GTK_WINDOW(window), spec.resizable);
        if (!spec.className.empty()) {
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            gtk_window_set_wmclass(GTK_WINDOW(window), spec.className.c_str(), spec.className.c_str());
            G_GNUC_END_IGNORE_DEPRECATIONS
        }
        if (WindowRecord* owner = Find(spec.owner))
            gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(owner->window));
        gtk_window_move(GTK_WINDOW(window), spec.outer.x, spec.outer.y);
        gtk_window_resize(GTK_WINDOW(window), std::max(spec.outer.width, 1), std::max(spec.outer.height, 1));

        rec->box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        rec->area = gtk_drawing_area_new();
        gtk_widget_set_can_focus(rec->area, TRUE);
        gtk_widget_add_events(rec->area,
            GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK | GDK_SCROLL_MASK |
                GDK_FOCUS_CHANGE_MASK);
        gtk_box_pack_end(GTK_BOX(rec->box), rec->area, TRUE, TRUE, 0);
        gtk_container_add(GTK_CONTAINER(window), rec->box);
        gtk_widget_grab_focus(rec->area);

        for (GtkWidget* w : {window, rec->area})
            g_object_set_data(G_OBJECT(w), kIdKey, GSIZE_TO_POINTER(gsize(rec->id)));
        g_signal_connect(window, "delete-event", G_CALLBACK(&OnDeleteThunk), this);
        g_signal_connect(window, "destroy", G_CALLBACK(&OnDestroyThunk), this);
        g_signal_connect(window, "configure-event", G_CALLBACK(&OnConfigureThunk), this);
        g_signal_connect(window, "window-state-event", G_CALLBACK(&OnWindowStateThunk), this);
        g_signal_connect(window, "notify::is-active", G_CALLBACK(&OnActiveThunk), this);
        g_signal_connect(window, "focus-out-event", G_CALLBACK(&OnFocusOutThunk), this);
        g_signal_connect(window, "key-press-event", G_CALLBACK(&OnKeyThunk), this);
        g_signal_connect(window, "key-release-event", G_CALLBACK(&OnKeyThunk), this);
        g_signal_connect(rec->area, "draw", G_CALLBACK(&OnDrawThunk), this);
        g_signal_connect(rec->area, "size-allocate", G_CALLBACK(&OnSizeAllocateThunk), this);
        g_signal_connect(rec->area, "button-press-event", G_CALLBACK(&OnButtonThunk), this);
        g_signal_connect(rec->area, "button-release-event", G_CALLBACK(&OnButtonThunk), this);
        g_signal_connect(rec->area, "motion-notify-event", G_CALLBACK(&OnMotionThunk), this);
        g_signal_connect(rec->area, "scroll-event", G_CALLBACK(&OnScrollThunk), this);
        g_signal_connect(rec->area, "focus-in-event", G_CALLBACK(&OnFocusInThunk), this);
        gtk_widget_show_all(rec->box);

        const WindowId id = rec->id;
        windows_.emplace(id, std::move(rec));
        std::lock_guard guard(postLock_);
        liveIds_.insert(id);
        return id;
    }

    void ShowWindow(WindowId id, ShowMode mode) override {
        WindowRecord* rec = Find(id);
        if (!rec) return;
        GtkWindow* w = GTK_WINDOW(rec->window);
        if (mode == ShowMode::Maximised) gtk_window_maximize(w);
        gtk_window_set_focus_on_map(w, mode != ShowMode::NoActivate);
        gtk_widget_show(rec->window);
        if (mode != ShowMode::NoActivate) gtk_window_present(w);
    }

    void DestroyWindow(WindowId id) override {
        if (WindowRecord* rec = Find(id)) gtk_widget_destroy(rec->window);  // the "destroy" handler forgets the record
    }

    bool WindowExists(WindowId id) const override { return windows_.count(id) != 0; }

    void SetEventHandler(WindowId id, WindowEvents* events) override {
        if (WindowRecord* rec = Find(id)) rec->events = events;
    }

    void SetTitle(WindowId id, const std::string& title) override {
        if (WindowRecord* rec = Find(id)) gtk_window_set_title(GTK_WINDOW(rec->window), title.c_str());
    }

    void SetKeepAbove(WindowId id, bool above) override {
        if (WindowRecord* rec = Find(id)) gtk_window_set_keep_above(GTK_WINDOW(rec->window), above);
    }

    // ---- geometry ----

    PixelSize ClientSize(WindowId id) const override {
        const WindowRecord* rec = Find(id);
        if (!rec) return {};
        GtkAllocation a;
        gtk_widget_get_allocation(rec->area, &a);
        if (!gtk_widget_get_realized(rec->area)) return {rec->placement.normal.width, rec->placement.normal.height};
        return {a.width, a.height};
    }

    PixelPoint ClientOriginOnScreen(WindowId id) const override {
        const WindowRecord* rec = Find(id);
        if (!rec) return {};
        GdkWindow* gw = gtk_widget_get_window(rec->area);
        if (!gw) return rec->placement.normal.Origin();
        gint x = 0, y = 0;
        gdk_window_get_origin(gw, &x, &y);
        return {x, y};
    }

    std::optional<Placement> GetPlacement(WindowId id) const override {
        const WindowRecord* rec = Find(id);
        if (!rec) return std::nullopt;
        Placement p = rec->placement;
        p.visible = gtk_widget_get_visible(rec->window);
        return p;
    }

    void SetMinimumClientSize(WindowId id, std::optional<int> width, std::optional<int> height) override {
        WindowRecord* rec = Find(id);
        if (!rec) return;
        rec->minWidth = width;
        rec->minHeight = height;
        // The size request holds without a window manager too.
        gtk_widget_set_size_request(rec->area, width ? std::max(*width, 0) : -1, height ? std::max(*height, 0) : -1);
    }

    std::vector<PixelRect> MonitorAreas() const override {
        std::vector<PixelRect> out;
        const int n = gdk_display_get_n_monitors(display_);
        for (int i = 0; i < n; ++i) {
            GdkRectangle r;
            gdk_monitor_get_geometry(gdk_display_get_monitor(display_, i), &r);
            out.push_back({r.x, r.y, r.width, r.height});
        }
        return out;
    }

    // ---- painting ----

    void Present(WindowId id, const std::vector<PixelRect>& rects) override {
        WindowRecord* rec = Find(id);
        if (!rec) return;
        for (const PixelRect& r : rects)
            if (!r.IsEmpty()) gtk_widget_queue_draw_area(rec->area, r.x, r.y, r.width, r.height);
    }

    // ---- messages ----

    bool Post(WindowId id, unsigned message, std::uint64_t a, std::uint64_t b) override {
        std::lock_guard guard(postLock_);
        if (!liveIds_.count(id)) return false;
        posts_.push_back({id, message, a, b});
        if (!postSource_) postSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, &DispatchPostsThunk, this, nullptr);
        return true;
    }

    bool SendCommand(WindowId id, unsigned command) override {
        WindowRecord* rec = Find(id);
        return rec && rec->events && rec->events->OnCommand(command);
    }

    // ---- menus ----

    void SetMenuBar(WindowId id, const std::vector<MenuSpec>& menus) override {
        WindowRecord* rec = Find(id);
        if (!rec) return;
        if (rec->menuBar) {
            gtk_widget_destroy(rec->menuBar);
            rec->menuBar = nullptr;
        }
        if (menus.empty()) return;
        rec->menuBar = gtk_menu_bar_new();
        for (const MenuSpec& menu : menus) {
            GtkWidget* title = gtk_menu_item_new_with_mnemonic(SplitMenuLabel(menu.title).mnemonicText.c_str());
            GtkWidget* popup = gtk_menu_new();
            for (const MenuEntry& entry : menu.entries)
                gtk_menu_shell_append(GTK_MENU_SHELL(popup), MakeMenuItem(id, entry));
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(title), popup);
            gtk_menu_shell_append(GTK_MENU_SHELL(rec->menuBar), title);
        }
        gtk_box_pack_start(GTK_BOX(rec->box), rec->menuBar, FALSE, FALSE, 0);
        gtk_widget_show_all(rec->menuBar);
    }

    // ---- timers ----

    bool StartTimer(WindowId id, unsigned timerId, unsigned intervalMs) override {
        WindowRecord* rec = Find(id);
        if (!rec) return false;
        if (auto it = rec->timers.find(timerId); it != rec->timers.end()) g_source_remove(it->second);
        auto* data = new TimerData{this, id, timerId};
        rec->timers[timerId] = g_timeout_add_full(G_PRIORITY_DEFAULT, std::max(intervalMs, kMinimumTimerMs),
            &OnTimerThunk, data, [](gpointer p) { delete static_cast<TimerData*>(p); });
        return true;
    }

    bool StopTimer(WindowId id, unsigned timerId) override {
        WindowRecord* rec = Find(id);
        if (!rec) return false;
        auto it = rec->timers.find(timerId);
        if (it == rec->timers.end()) return false;
        g_source_remove(it->second);
        rec->timers.erase(it);
        return true;
    }

    std::uint32_t TickCount() const override { return std::uint32_t(g_get_monotonic_time() / 1000); }

    // ---- input ----

    void SetCapture(WindowId id) override {
        WindowRecord* rec = Find(id);
        if (!rec) return;
        if (capture_ != NoWindow) ReleaseCapture();
        capture_ = id;
        GdkWindow* gw = gtk_widget_get_window(rec->area);
        if (gw && gdk_window_is_viewable(gw))
            gdk_seat_grab(gdk_display_get_default_seat(display_), gw, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr,
                nullptr, nullptr, nullptr);
    }

    void ReleaseCapture() override {
        if (capture_ == NoWindow) return;
        capture_ = NoWindow;
        gdk_seat_ungrab(gdk_display_get_default_seat(display_));
    }

    WindowId CaptureWindow() const override { return capture_; }

    void SetFocus(WindowId id) override {
        WindowRecord* rec = Find(id);
        if (!rec) return;
        focus_ = id;
        gtk_widget_grab_focus(rec->area);
        GdkWindow* top = gtk_widget_get_window(rec->window);
        if (top && gdk_window_is_viewable(top) && !gtk_window_is_active(GTK_WINDOW(rec->window)))
            gdk_window_focus(top, gtk_get_current_event_time());
    }

    WindowId FocusWindow() const override { return focus_; }

    bool IsKeyDown(unsigned key) const override {
        if (key == Key::Shift || key == Key::Control || key == Key::Alt) {
            // What our own events said is current; the keymap's state can lag behind them.
            if (auto it = modifiers_.find(key); it != modifiers_.end()) return it->second;
            const guint state = gdk_keymap_get_modifier_state(gdk_keymap_get_for_display(display_));
            return state & ModifierMask(key);
        }
        for (const auto& [hardware, code] : pressed_)
            if (code == key) return true;
        return false;
    }

    bool IsKeyToggled(unsigned key) const override {
        GdkKeymap* keymap = gdk_keymap_get_for_display(display_);
        if (key == Key::NumLock) return gdk_keymap_get_num_lock_state(keymap);
        if (key == Key::CapsLock) return gdk_keymap_get_caps_lock_state(keymap);
        if (key == Key::ScrollLock) return gdk_keymap_get_scroll_lock_state(keymap);
        return false;
    }

    void SetCursor(WindowId id, CursorShape shape) override {
        WindowRecord* rec = Find(id);
        if (!rec || (rec->hasCursor && rec->cursor == shape)) return;
        GdkWindow* gw = gtk_widget_get_window(rec->area);
        if (!gw) return;
        gdk_window_set_cursor(gw, cursors_.Get(display_, shape));
        rec->hasCursor = true;
        rec->cursor = shape;
    }

    // ---- loop ----

    int RunMessageLoop(const AcceleratorFilter& filter) override {
        RethrowFailure();
        AcceleratorFilter outer = std::exchange(filter_, filter);
        while (!quitRequested_) g_main_context_iteration(nullptr, TRUE);
        quitRequested_ = false;
        filter_ = std::move(outer);
        RethrowFailure();
        return exitCode_;
    }

    void Quit(int exitCode) override {
        exitCode_ = exitCode;
        quitRequested_ = true;
        g_main_context_wakeup(nullptr);
    }

    // ---- modal interactions ----

    void ShowMessageBox(
        WindowId owner, const std::string& caption, const std::string& text, bool systemModal) override {
        WindowRecord* rec = Find(owner);
        RunGtkMessageBox(rec ? GTK_WINDOW(rec->window) : nullptr, caption, text, systemModal,
            [this] { return quitRequested_.load(); });
    }

    std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) override {
        WindowRecord* rec = Find(request.owner);
        return RunGtkOpenFileDialog(
            rec ? GTK_WINDOW(rec->window) : nullptr, request, [this] { return quitRequested_.load(); });
    }

    int RunTemplateDialog(WindowId owner, const std::vector<std::uint8_t>& bytes, DialogEvents& events) override {
        const std::optional<DialogTemplate> t = ReadDialogTemplate(bytes.data(), bytes.size());
        if (!t) return -1;
        WindowRecord* rec = Find(owner);
        const std::function<void(const std::function<void()>&)> guarded = [this](const std::function<void()>& f) {
            Guarded([&] {
                f();
                return 0;
            });
        };
        return RunGtkTemplateDialog(rec ? GTK_WINDOW(rec->window) : nullptr, ClientOriginOnScreen(owner), *t, events,
            guarded, [this] { return quitRequested_.load(); });
    }

private:
    WindowRecord* Find(WindowId id) const {
        auto it = windows_.find(id);
        return it == windows_.end() ? nullptr : it->second.get();
    }

    static GtkWindowSystem* Self(gpointer p) { return static_cast<GtkWindowSystem*>(p); }

    WindowRecord* RecordOf(GtkWidget* widget) const {
        return Find(WindowId(GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(widget), kIdKey))));
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

    void RethrowFailure() {
        if (std::exception_ptr f = std::exchange(failure_, nullptr)) {
            quitRequested_ = false;
            std::rethrow_exception(f);
        }
    }

    void NotifyPlacement(WindowRecord& rec) {
        Placement& p = rec.placement;
        PixelRect outer = p.normal;
        gint x = 0, y = 0, w = 0, h = 0;
        gtk_window_get_position(GTK_WINDOW(rec.window), &x, &y);
        if (rec.configuredSize.width >= 0) {
            w = rec.configuredSize.width;
            h = rec.configuredSize.height;
        } else {
            gtk_window_get_size(GTK_WINDOW(rec.window), &w, &h);
        }
        outer = {x, y, w, h};
        GdkWindow* gw = gtk_widget_get_window(rec.window);
        const GdkWindowState state = gw ? gdk_window_get_state(gw) : GdkWindowState(0);
        const bool maximised = state & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN);
        const bool minimised = state & GDK_WINDOW_STATE_ICONIFIED;
        GtkAllocation a;
        gtk_widget_get_allocation(rec.area, &a);
        const PixelSize client{a.width, a.height};
        const bool normalChanged = !maximised && !minimised && outer != p.normal;
        if (!normalChanged && maximised == p.maximised && minimised == p.minimised && client == rec.client) return;
        if (normalChanged) p.normal = outer;
        p.maximised = maximised;
        p.minimised = minimised;
        rec.client = client;
        if (rec.events) rec.events->OnPlacementChanged();
    }

    static guint ModifierMask(unsigned key) {
        return key == Key::Shift ? GDK_SHIFT_MASK : key == Key::Control ? GDK_CONTROL_MASK : GDK_MOD1_MASK;
    }

    // An event's state tells the modifiers before it; the event's own key changes its own.
    void NoteModifiers(guint state, unsigned eventKey = 0, bool pressed = false) {
        for (unsigned key : {Key::Shift, Key::Control, Key::Alt})
            modifiers_[key] = key == eventKey ? pressed : (state & ModifierMask(key)) != 0;
    }

    GtkWidget* MakeMenuItem(WindowId id, const MenuEntry& entry) {
        if (entry.separator) return gtk_separator_menu_item_new();
        const MenuLabelParts parts = SplitMenuLabel(entry.label);
        GtkWidget* item = entry.checked ? gtk_check_menu_item_new() : gtk_menu_item_new();
        if (entry.checked) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
        GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
        GtkWidget* text = gtk_label_new_with_mnemonic(parts.mnemonicText.c_str());
        gtk_label_set_mnemonic_widget(GTK_LABEL(text), item);
        gtk_box_pack_start(GTK_BOX(row), text, FALSE, FALSE, 0);
        if (!parts.acceleratorText.empty()) {
            GtkWidget* accelerator = gtk_label_new(parts.acceleratorText.c_str());
            gtk_style_context_add_class(gtk_widget_get_style_context(accelerator), "accelerator");
            gtk_box_pack_end(GTK_BOX(row), accelerator, FALSE, FALSE, 0);
        }
        gtk_container_add(GTK_CONTAINER(item), row);
        g_object_set_data(G_OBJECT(item), kIdKey, GSIZE_TO_POINTER(gsize(id)));
        g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(entry.command));
        g_object_set_data(G_OBJECT(item), kCheckedKey, GINT_TO_POINTER(entry.checked));
        g_signal_connect(item, "activate", G_CALLBACK(&OnMenuItemThunk), this);
        return item;
    }

    void Forget(WindowRecord& rec) {
        for (auto& [timerId, source] : rec.timers) g_source_remove(source);
        rec.timers.clear();
        if (capture_ == rec.id) ReleaseCapture();
        if (focus_ == rec.id) focus_ = NoWindow;
        {
            std::lock_guard guard(postLock_);
            liveIds_.erase(rec.id);
        }
        for (auto it = pressed_.begin(); it != pressed_.end();)
            it = it->first.first == rec.id ? pressed_.erase(it) : std::next(it);
    }

    // ---- GLib callbacks ----

    static gboolean OnDeleteThunk(GtkWidget* widget, GdkEvent*, gpointer self) {
        Self(self)->Guarded([&] {
            WindowRecord* rec = Self(self)->RecordOf(widget);
            if (!rec) return 0;
            const WindowId id = rec->id;
            const bool allow = !rec->events || rec->events->OnCloseRequest();
            if (allow) Self(self)->DestroyWindow(id);
            return 0;
        });
        return TRUE;
    }

    static void OnDestroyThunk(GtkWidget* widget, gpointer self) {
        GtkWindowSystem* s = Self(self);
        WindowRecord* rec = s->RecordOf(widget);
        if (!rec) return;
        const WindowId id = rec->id;
        s->Forget(*rec);
        if (WindowEvents* events = std::exchange(rec->events, nullptr))
            s->Guarded([&] {
                events->OnDestroyed();
                return 0;
            });
        for (GtkWidget* w : {rec->window, rec->area}) g_object_set_data(G_OBJECT(w), kIdKey, nullptr);
        s->windows_.erase(id);
    }

    static gboolean OnConfigureThunk(GtkWidget* widget, GdkEventConfigure* e, gpointer self) {
        return Self(self)->Guarded([&] {
            if (WindowRecord* rec = Self(self)->RecordOf(widget)) {
                rec->configuredSize = {e->width, e->height};
                Self(self)->NotifyPlacement(*rec);
            }
            return FALSE;
        });
    }

    static gboolean OnWindowStateThunk(GtkWidget* widget, GdkEventWindowState*, gpointer self) {
        return Self(self)->Guarded([&] {
            if (WindowRecord* rec = Self(self)->RecordOf(widget)) Self(self)->NotifyPlacement(*rec);
            return FALSE;
        });
    }

    static void OnSizeAllocateThunk(GtkWidget* widget, GdkRectangle*, gpointer self) {
        Self(self)->Guarded([&] {
            if (WindowRecord* rec = Self(self)->RecordOf(widget)) Self(self)->NotifyPlacement(*rec);
            return 0;
        });
    }

    static void OnActiveThunk(GtkWidget* widget, GParamSpec*, gpointer self) {
        Self(self)->Guarded([&] {
            WindowRecord* rec = Self(self)->RecordOf(widget);
            if (rec && rec->events) rec->events->OnActivated(gtk_window_is_active(GTK_WINDOW(widget)));
            return 0;
        });
    }

    // Keys may change while another program has the keyboard: forget what we saw.
    static gboolean OnFocusOutThunk(GtkWidget*, GdkEvent*, gpointer self) {
        Self(self)->modifiers_.clear();
        Self(self)->pressed_.clear();
        return FALSE;
    }

    static gboolean OnFocusInThunk(GtkWidget* widget, GdkEvent*, gpointer self) {
        if (WindowRecord* rec = Self(self)->RecordOf(widget)) Self(self)->focus_ = rec->id;
        return FALSE;
    }

    static void OnMenuItemThunk(GtkWidget* item, gpointer self) {
        Self(self)->Guarded([&] {
            // The owner keeps the check marks, as it keeps the rest of the menu.
            if (GTK_IS_CHECK_MENU_ITEM(item)) {
                g_signal_handlers_block_by_func(item, reinterpret_cast<gpointer>(&OnMenuItemThunk), self);
                gtk_check_menu_item_set_active(
                    GTK_CHECK_MENU_ITEM(item), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCheckedKey)));
                g_signal_handlers_unblock_by_func(item, reinterpret_cast<gpointer>(&OnMenuItemThunk), self);
            }
            WindowRecord* rec = Self(self)->RecordOf(item);
            if (rec && rec->events)
                rec->events->OnCommand(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey)));
            return 0;
        });
    }

    static gboolean OnDrawThunk(GtkWidget* widget, cairo_t* cr, gpointer self) {
        return Self(self)->Guarded([&] {
            // What the owner does not paint shows black, never stale pixels.
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
            WindowRecord* rec = Self(self)->RecordOf(widget);
            if (!rec || !rec->events) return TRUE;
            const WindowId id = rec->id;
            std::vector<PixelRect> areas;
            cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cr);
            if (list->status == CAIRO_STATUS_SUCCESS) {
                for (int i = 0; i < list->num_rectangles; ++i) {
                    const cairo_rectangle_t& r = list->rectangles[i];
                    const int x0 = int(std::floor(r.x)), y0 = int(std::floor(r.y));
                    areas.push_back({x0, y0, int(std::ceil(r.x + r.width)) - x0, int(std::ceil(r.y + r.height)) - y0});
                }
            } else {
                GdkRectangle r;
                if (gdk_cairo_get_clip_rectangle(cr, &r)) areas.push_back({r.x, r.y, r.width, r.height});
            }
            cairo_rectangle_list_destroy(list);
            for (const PixelRect& area : areas) {
                rec = Self(self)->Find(id);
                if (!rec || !rec->events) break;
                GtkTarget target(cr, area);
                rec->events->OnExpose(area, target);
            }
            return TRUE;
        });
    }

    static gboolean OnKeyThunk(GtkWidget* widget, GdkEventKey* e, gpointer self) {
        return Self(self)->Guarded([&]() -> gboolean { return Self(self)->HandleKey(widget, e); });
    }

    gboolean HandleKey(GtkWidget* widget, GdkEventKey* e) {
        WindowRecord* rec = RecordOf(widget);
        if (!rec) return FALSE;
        const WindowId id = rec->id;
        guint base = 0;
        gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(display_), e->hardware_keycode,
            GdkModifierType(e->state & GDK_MOD2_MASK), e->group, &base, nullptr, nullptr, nullptr);
        unsigned code = KeyCodeForSymbol(base);
        if (code == 0) code = KeyCodeForSymbol(e->keyval);
        if (code == 0) return FALSE;
        const auto hardware = std::make_pair(id, unsigned(e->hardware_keycode));
        const bool pressed = e->type == GDK_KEY_PRESS;
        NoteModifiers(e->state, code, pressed);
        const unsigned modifiers = KeyModifiersAfter(KeyModifiersOf(e->state), code, pressed);
        if (!pressed) {
            pressed_.erase(hardware);
            return rec->events && rec->events->OnKey({KeyKind::Up, code, 0, modifiers, true});
        }
        const bool wasDown = pressed_.count(hardware) != 0;
        pressed_[hardware] = code;
        const KeyEvent down{KeyKind::Down, code, 0, modifiers, wasDown};
        if (filter_ && filter_(id, down)) return TRUE;
        rec = Find(id);
        bool taken = rec && rec->events && rec->events->OnKey(down);
        const unsigned character =
            CharacterForKey(e->keyval, code, modifiers & Modifier::Ctrl, (e->state & GDK_MOD1_MASK) != 0);
        rec = Find(id);
        if (character && rec && rec->events)
            taken = rec->events->OnKey({KeyKind::Char, code, character, modifiers, wasDown}) || taken;
        return taken;
    }

    static gboolean OnButtonThunk(GtkWidget* widget, GdkEventButton* e, gpointer self) {
        return Self(self)->Guarded([&]() -> gboolean {
            // Double clicks are counted here, so the desktop's own count is not wanted.
            if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE) return TRUE;
            WindowRecord* rec = Self(self)->RecordOf(widget);
            if (!rec || !rec->events || (e->button != 1 && e->button != 3)) return FALSE;
            const bool press = e->type == GDK_BUTTON_PRESS;
            Self(self)->NoteModifiers(e->state);
            const bool left = e->button == 1;
            const PixelPoint point = PointOf(e->x, e->y);
            MouseKind kind;
            if (press) {
                const bool twice = rec->clicks.Press(int(e->button), e->time, point);
                kind = left ? (twice ? MouseKind::LeftDoubleClick : MouseKind::LeftDown)
                            : (twice ? MouseKind::RightDoubleClick : MouseKind::RightDown);
            } else {
                kind = left ? MouseKind::LeftUp : MouseKind::RightUp;
            }
            const unsigned modifiers = MouseModifiersAfter(MouseModifiersOf(e->state), int(e->button), press);
            return rec->events->OnMouse({kind, point, modifiers, 0});
        });
    }

    static gboolean OnMotionThunk(GtkWidget* widget, GdkEventMotion* e, gpointer self) {
        return Self(self)->Guarded([&]() -> gboolean {
            WindowRecord* rec = Self(self)->RecordOf(widget);
            if (!rec || !rec->events) return FALSE;
            return rec->events->OnMouse({MouseKind::Move, PointOf(e->x, e->y), MouseModifiersOf(e->state), 0});
        });
    }

    static gboolean OnScrollThunk(GtkWidget* widget, GdkEventScroll* e, gpointer self) {
        return Self(self)->Guarded([&]() -> gboolean {
            WindowRecord* rec = Self(self)->RecordOf(widget);
            if (!rec || !rec->events) return FALSE;
            int notches = 0;
            if (e->direction == GDK_SCROLL_UP) {
                notches = 1;
            } else if (e->direction == GDK_SCROLL_DOWN) {
                notches = -1;
            } else if (e->direction == GDK_SCROLL_SMOOTH) {
                rec->scrollRest -= e->delta_y;
                notches = int(std::trunc(rec->scrollRest));
                rec->scrollRest -= notches;
            }
            const WindowId id = rec->id;
            bool taken = false;
            for (int i = 0; i != notches; i += notches > 0 ? 1 : -1) {
                rec = Self(self)->Find(id);
                if (!rec || !rec->events) break;
                taken = rec->events->OnMouse({MouseKind::Wheel, PointOf(e->x, e->y), MouseModifiersOf(e->state),
                            notches > 0 ? WheelNotch : -WheelNotch}) ||
                    taken;
            }
            return taken;
        });
    }

    static gboolean OnTimerThunk(gpointer data) {
        auto* t = static_cast<TimerData*>(data);
        t->self->Guarded([&] {
            WindowRecord* rec = t->self->Find(t->window);
            if (rec && rec->events) rec->events->OnTimer(t->timerId);
            return 0;
        });
        return G_SOURCE_CONTINUE;
    }

    static gboolean DispatchPostsThunk(gpointer self) {
        Self(self)->DispatchPosts();
        return G_SOURCE_REMOVE;
    }

    void DispatchPosts() {
        std::deque<Posted> batch;
        {
            std::lock_guard guard(postLock_);
            batch.swap(posts_);
            postSource_ = 0;
        }
        while (!batch.empty() && !failure_) {
            const Posted m = batch.front();
            batch.pop_front();
            Guarded([&] {
                WindowRecord* rec = Find(m.window);
                if (rec && rec->events) rec->events->OnMessage(m.message, m.a, m.b);
                return 0;
            });
        }
        if (!batch.empty()) {
            // A handler failed: what it did not reach stays queued, in order, for the next loop.
            std::lock_guard guard(postLock_);
            posts_.insert(posts_.begin(), batch.begin(), batch.end());
            if (!postSource_) postSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, &DispatchPostsThunk, this, nullptr);
        }
    }

    GdkDisplay* display_ = nullptr;
    unsigned doubleClickMs_ = 400;
    int doubleClickDistance_ = 5;
    WindowId nextId_ = 1;
    std::map<WindowId, std::unique_ptr<WindowRecord>> windows_;
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
    std::deque<Posted> posts_;
    guint postSource_ = 0;
};

}  // namespace

std::unique_ptr<WindowSystem> MakeGtkWindowSystem() { return std::make_unique<GtkWindowSystem>(); }

}  // namespace Platform::Gui
