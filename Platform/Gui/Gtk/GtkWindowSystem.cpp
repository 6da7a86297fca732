#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <string>
#include <utility>

namespace Platform::Gui {

namespace {

constexpr unsigned kMinimumTimerMs = 10;

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
        if (!display || !*display) throw Unavailable("cannot open the display: DISPLAY is not set");
        throw Unavailable(std::string("cannot open the display \"") + display + "\"");
    }
}

}  // namespace

GtkWindowSystem::GtkWindowSystem() {
    InitialiseGtk();
    display_ = gdk_display_get_default();
    gint ms = gint(DefaultDoubleClickMs), distance = DefaultDoubleClickDistance;
    g_object_get(
        gtk_settings_get_default(), "gtk-double-click-time", &ms, "gtk-double-click-distance", &distance, nullptr);
    doubleClickMs_ = unsigned(std::max(ms, 1));
    doubleClickDistance_ = std::max(distance, 1);
}

GtkWindowSystem::~GtkWindowSystem() {
    // Leaving: the owners are gone or going, so no handler hears of it.
    while (!windows_.empty()) {
        GtkWindowRecord& rec = *windows_.begin()->second;
        rec.events = nullptr;
        DestroyWindow(rec.id);
    }
    std::lock_guard guard(postLock_);
    if (postSource_) g_source_remove(postSource_);
}

bool GtkWindowSystem::Post(WindowId id, unsigned message, std::uint64_t a, std::uint64_t b) {
    std::lock_guard guard(postLock_);
    if (!liveIds_.count(id)) return false;
    posts_.push_back({id, message, a, b});
    if (!postSource_) postSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, &DispatchPostsThunk, this, nullptr);
    return true;
}

bool GtkWindowSystem::SendCommand(WindowId id, unsigned command) {
    GtkWindowRecord* rec = Find(id);
    return rec && rec->events && rec->events->OnCommand(command);
}

bool GtkWindowSystem::StartTimer(WindowId id, unsigned timerId, unsigned intervalMs) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return false;
    if (auto it = rec->timers.find(timerId); it != rec->timers.end()) g_source_remove(it->second);
    auto* data = new GtkTimerData{this, id, timerId};
    rec->timers[timerId] = g_timeout_add_full(G_PRIORITY_DEFAULT, std::max(intervalMs, kMinimumTimerMs), &OnTimerThunk,
        data, [](gpointer p) { delete static_cast<GtkTimerData*>(p); });
    return true;
}

bool GtkWindowSystem::StopTimer(WindowId id, unsigned timerId) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return false;
    auto it = rec->timers.find(timerId);
    if (it == rec->timers.end()) return false;
    g_source_remove(it->second);
    rec->timers.erase(it);
    return true;
}

std::uint32_t GtkWindowSystem::TickCount() const { return std::uint32_t(g_get_monotonic_time() / 1000); }

int GtkWindowSystem::RunMessageLoop(const AcceleratorFilter& filter) {
    RethrowFailure();
    AcceleratorFilter outer = std::exchange(filter_, filter);
    while (!quitRequested_) g_main_context_iteration(nullptr, TRUE);
    quitRequested_ = false;
    filter_ = std::move(outer);
    RethrowFailure();
    return exitCode_;
}

void GtkWindowSystem::Quit(int exitCode) {
    exitCode_ = exitCode;
    quitRequested_ = true;
    g_main_context_wakeup(nullptr);
}

void GtkWindowSystem::RethrowFailure() {
    if (std::exception_ptr f = std::exchange(failure_, nullptr)) {
        quitRequested_ = false;
        std::rethrow_exception(f);
    }
}

gboolean GtkWindowSystem::OnTimerThunk(gpointer data) {
    auto* t = static_cast<GtkTimerData*>(data);
    t->self->Guarded([&] {
        GtkWindowRecord* rec = t->self->Find(t->window);
        if (rec && rec->events) rec->events->OnTimer(t->timerId);
        return 0;
    });
    return G_SOURCE_CONTINUE;
}

gboolean GtkWindowSystem::DispatchPostsThunk(gpointer self) {
    Self(self)->DispatchPosts();
    return G_SOURCE_REMOVE;
}

void GtkWindowSystem::DispatchPosts() {
    std::deque<GtkPosted> batch;
    {
        std::lock_guard guard(postLock_);
        batch.swap(posts_);
        postSource_ = 0;
    }
    while (!batch.empty() && !failure_) {
        const GtkPosted m = batch.front();
        batch.pop_front();
        Guarded([&] {
            GtkWindowRecord* rec = Find(m.window);
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

std::unique_ptr<WindowSystem> MakeGtkWindowSystem() { return std::make_unique<GtkWindowSystem>(); }

}  // namespace Platform::Gui
