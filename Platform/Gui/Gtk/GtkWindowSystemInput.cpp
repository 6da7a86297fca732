#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <Platform/Gui/Gtk/GtkKeys.h>
#include <Platform/Gui/Input/Modifiers.h>

#include <cmath>
#include <utility>

namespace Platform::Gui {

namespace {

unsigned KeyModifiersOf(guint state) {
    return ((state & GDK_CONTROL_MASK) ? Modifier::Ctrl : 0u) | ((state & GDK_SHIFT_MASK) ? Modifier::Shift : 0u);
}

unsigned MouseModifiersOf(guint state) {
    return KeyModifiersOf(state) | ((state & GDK_BUTTON1_MASK) ? Modifier::LeftButton : 0u) |
        ((state & GDK_BUTTON2_MASK) ? Modifier::MiddleButton : 0u) |
        ((state & GDK_BUTTON3_MASK) ? Modifier::RightButton : 0u);
}

PixelPoint PointOf(double x, double y) { return {int(std::floor(x)), int(std::floor(y))}; }

}  // namespace

void GtkWindowSystem::SetCapture(WindowId id) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    if (capture_ != NoWindow) ReleaseCapture();
    capture_ = id;
    GdkWindow* gw = gtk_widget_get_window(rec->area);
    if (gw && gdk_window_is_viewable(gw))
        gdk_seat_grab(gdk_display_get_default_seat(display_), gw, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr,
            nullptr, nullptr, nullptr);
}

void GtkWindowSystem::ReleaseCapture() {
    if (capture_ == NoWindow) return;
    capture_ = NoWindow;
    gdk_seat_ungrab(gdk_display_get_default_seat(display_));
}

void GtkWindowSystem::SetFocus(WindowId id) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    focus_ = id;
    gtk_widget_grab_focus(rec->area);
    GdkWindow* top = gtk_widget_get_window(rec->window);
    if (top && gdk_window_is_viewable(top) && !gtk_window_is_active(GTK_WINDOW(rec->window)))
        gdk_window_focus(top, gtk_get_current_event_time());
}

bool GtkWindowSystem::IsKeyDown(unsigned key) const {
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

bool GtkWindowSystem::IsKeyToggled(unsigned key) const {
    GdkKeymap* keymap = gdk_keymap_get_for_display(display_);
    if (key == Key::NumLock) return gdk_keymap_get_num_lock_state(keymap);
    if (key == Key::CapsLock) return gdk_keymap_get_caps_lock_state(keymap);
    if (key == Key::ScrollLock) return gdk_keymap_get_scroll_lock_state(keymap);
    return false;
}

void GtkWindowSystem::SetCursor(WindowId id, CursorShape shape) {
    GtkWindowRecord* rec = Find(id);
    if (!rec || (rec->hasCursor && rec->cursor == shape)) return;
    GdkWindow* gw = gtk_widget_get_window(rec->area);
    if (!gw) return;
    gdk_window_set_cursor(gw, cursors_.Get(display_, shape));
    rec->hasCursor = true;
    rec->cursor = shape;
}

guint GtkWindowSystem::ModifierMask(unsigned key) {
    return key == Key::Shift ? GDK_SHIFT_MASK : key == Key::Control ? GDK_CONTROL_MASK : GDK_MOD1_MASK;
}

void GtkWindowSystem::NoteModifiers(guint state, unsigned eventKey, bool pressed) {
    for (unsigned key : {Key::Shift, Key::Control, Key::Alt})
        modifiers_[key] = key == eventKey ? pressed : (state & ModifierMask(key)) != 0;
}

gboolean GtkWindowSystem::OnFocusOutThunk(GtkWidget*, GdkEvent*, gpointer self) {
    Self(self)->modifiers_.clear();
    Self(self)->pressed_.clear();
    return FALSE;
}

gboolean GtkWindowSystem::OnFocusInThunk(GtkWidget* widget, GdkEvent*, gpointer self) {
    if (GtkWindowRecord* rec = Self(self)->RecordOf(widget)) Self(self)->focus_ = rec->id;
    return FALSE;
}

gboolean GtkWindowSystem::OnKeyThunk(GtkWidget* widget, GdkEventKey* e, gpointer self) {
    return Self(self)->Guarded([&]() -> gboolean { return Self(self)->HandleKey(widget, e); });
}

gboolean GtkWindowSystem::HandleKey(GtkWidget* widget, GdkEventKey* e) {
    GtkWindowRecord* rec = RecordOf(widget);
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

gboolean GtkWindowSystem::OnButtonThunk(GtkWidget* widget, GdkEventButton* e, gpointer self) {
    return Self(self)->Guarded([&]() -> gboolean {
        // Double clicks are counted here, so the desktop's own count is not wanted.
        if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE) return TRUE;
        GtkWindowRecord* rec = Self(self)->RecordOf(widget);
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

gboolean GtkWindowSystem::OnMotionThunk(GtkWidget* widget, GdkEventMotion* e, gpointer self) {
    return Self(self)->Guarded([&]() -> gboolean {
        GtkWindowRecord* rec = Self(self)->RecordOf(widget);
        if (!rec || !rec->events) return FALSE;
        return rec->events->OnMouse({MouseKind::Move, PointOf(e->x, e->y), MouseModifiersOf(e->state), 0});
    });
}

gboolean GtkWindowSystem::OnScrollThunk(GtkWidget* widget, GdkEventScroll* e, gpointer self) {
    return Self(self)->Guarded([&]() -> gboolean {
        GtkWindowRecord* rec = Self(self)->RecordOf(widget);
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

}  // namespace Platform::Gui
