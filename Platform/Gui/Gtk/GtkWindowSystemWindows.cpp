#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Platform::Gui {

namespace {

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

}  // namespace

WindowId GtkWindowSystem::CreateWindow(const WindowSpec& spec) {
    auto rec = std::make_unique<GtkWindowRecord>();
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
    if (GtkWindowRecord* owner = Find(spec.owner))
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
        g_object_set_data(G_OBJECT(w), GtkWindowIdKey, GSIZE_TO_POINTER(gsize(rec->id)));
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

void GtkWindowSystem::ShowWindow(WindowId id, ShowMode mode) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    GtkWindow* w = GTK_WINDOW(rec->window);
    if (mode == ShowMode::Maximised) gtk_window_maximize(w);
    gtk_window_set_focus_on_map(w, mode != ShowMode::NoActivate);
    gtk_widget_show(rec->window);
    if (mode != ShowMode::NoActivate) gtk_window_present(w);
}

void GtkWindowSystem::DestroyWindow(WindowId id) {
    if (GtkWindowRecord* rec = Find(id)) gtk_widget_destroy(rec->window);  // the "destroy" handler forgets the record
}

void GtkWindowSystem::SetEventHandler(WindowId id, WindowEvents* events) {
    if (GtkWindowRecord* rec = Find(id)) rec->events = events;
}

void GtkWindowSystem::SetTitle(WindowId id, const std::string& title) {
    if (GtkWindowRecord* rec = Find(id)) gtk_window_set_title(GTK_WINDOW(rec->window), title.c_str());
}

void GtkWindowSystem::SetKeepAbove(WindowId id, bool above) {
    if (GtkWindowRecord* rec = Find(id)) gtk_window_set_keep_above(GTK_WINDOW(rec->window), above);
}

PixelSize GtkWindowSystem::ClientSize(WindowId id) const {
    const GtkWindowRecord* rec = Find(id);
    if (!rec) return {};
    GtkAllocation a;
    gtk_widget_get_allocation(rec->area, &a);
    if (!gtk_widget_get_realized(rec->area)) return {rec->placement.normal.width, rec->placement.normal.height};
    return {a.width, a.height};
}

PixelPoint GtkWindowSystem::ClientOriginOnScreen(WindowId id) const {
    const GtkWindowRecord* rec = Find(id);
    if (!rec) return {};
    GdkWindow* gw = gtk_widget_get_window(rec->area);
    if (!gw) return rec->placement.normal.Origin();
    gint x = 0, y = 0;
    gdk_window_get_origin(gw, &x, &y);
    return {x, y};
}

std::optional<Placement> GtkWindowSystem::GetPlacement(WindowId id) const {
    const GtkWindowRecord* rec = Find(id);
    if (!rec) return std::nullopt;
    Placement p = rec->placement;
    p.visible = gtk_widget_get_visible(rec->window);
    return p;
}

void GtkWindowSystem::SetMinimumClientSize(WindowId id, std::optional<int> width, std::optional<int> height) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    rec->minWidth = width;
    rec->minHeight = height;
    // The size request holds without a window manager too.
    gtk_widget_set_size_request(rec->area, width ? std::max(*width, 0) : -1, height ? std::max(*height, 0) : -1);
}

std::vector<PixelRect> GtkWindowSystem::MonitorAreas() const {
    std::vector<PixelRect> out;
    const int n = gdk_display_get_n_monitors(display_);
    for (int i = 0; i < n; ++i) {
        GdkRectangle r;
        gdk_monitor_get_workarea(gdk_display_get_monitor(display_, i), &r);
        out.push_back({r.x, r.y, r.width, r.height});
    }
    return out;
}

void GtkWindowSystem::Present(WindowId id, const std::vector<PixelRect>& rects) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    for (const PixelRect& r : rects)
        if (!r.IsEmpty()) gtk_widget_queue_draw_area(rec->area, r.x, r.y, r.width, r.height);
}

void GtkWindowSystem::NotifyPlacement(GtkWindowRecord& rec) {
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

void GtkWindowSystem::Forget(GtkWindowRecord& rec) {
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

gboolean GtkWindowSystem::OnDeleteThunk(GtkWidget* widget, GdkEvent*, gpointer self) {
    Self(self)->Guarded([&] {
        GtkWindowRecord* rec = Self(self)->RecordOf(widget);
        if (!rec) return 0;
        const WindowId id = rec->id;
        const bool allow = !rec->events || rec->events->OnCloseRequest();
        if (allow) Self(self)->DestroyWindow(id);
        return 0;
    });
    return TRUE;
}

void GtkWindowSystem::OnDestroyThunk(GtkWidget* widget, gpointer self) {
    GtkWindowSystem* s = Self(self);
    GtkWindowRecord* rec = s->RecordOf(widget);
    if (!rec) return;
    const WindowId id = rec->id;
    s->Forget(*rec);
    if (WindowEvents* events = std::exchange(rec->events, nullptr))
        s->Guarded([&] {
            events->OnDestroyed();
            return 0;
        });
    for (GtkWidget* w : {rec->window, rec->area}) g_object_set_data(G_OBJECT(w), GtkWindowIdKey, nullptr);
    s->windows_.erase(id);
}

gboolean GtkWindowSystem::OnConfigureThunk(GtkWidget* widget, GdkEventConfigure* e, gpointer self) {
    return Self(self)->Guarded([&] {
        if (GtkWindowRecord* rec = Self(self)->RecordOf(widget)) {
            rec->configuredSize = {e->width, e->height};
            Self(self)->NotifyPlacement(*rec);
        }
        return FALSE;
    });
}

gboolean GtkWindowSystem::OnWindowStateThunk(GtkWidget* widget, GdkEventWindowState*, gpointer self) {
    return Self(self)->Guarded([&] {
        if (GtkWindowRecord* rec = Self(self)->RecordOf(widget)) Self(self)->NotifyPlacement(*rec);
        return FALSE;
    });
}

void GtkWindowSystem::OnSizeAllocateThunk(GtkWidget* widget, GdkRectangle*, gpointer self) {
    Self(self)->Guarded([&] {
        if (GtkWindowRecord* rec = Self(self)->RecordOf(widget)) Self(self)->NotifyPlacement(*rec);
        return 0;
    });
}

void GtkWindowSystem::OnActiveThunk(GtkWidget* widget, GParamSpec*, gpointer self) {
    Self(self)->Guarded([&] {
        GtkWindowRecord* rec = Self(self)->RecordOf(widget);
        if (rec && rec->events) rec->events->OnActivated(gtk_window_is_active(GTK_WINDOW(widget)));
        return 0;
    });
}

gboolean GtkWindowSystem::OnDrawThunk(GtkWidget* widget, cairo_t* cr, gpointer self) {
    return Self(self)->Guarded([&] {
        // What the owner does not paint shows black, never stale pixels.
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        GtkWindowRecord* rec = Self(self)->RecordOf(widget);
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

}  // namespace Platform::Gui
