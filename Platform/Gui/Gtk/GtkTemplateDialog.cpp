#include <Platform/Gui/Gtk/GtkTemplateDialog.h>

#include <map>
#include <set>
#include <string>

namespace Platform::Gui {

namespace {

class GtkTemplateDialog final : public DialogControl {
public:
    GtkTemplateDialog(GtkWindow* owner, PixelPoint ownerOrigin, const DialogTemplate& t, DialogEvents& events,
        const std::function<void(const std::function<void()>&)>& guarded)
        : events_(events), guarded_(guarded) {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        g_object_ref_sink(window_);
        GtkWindow* w = GTK_WINDOW(window_);
        gtk_window_set_decorated(w, FALSE);
        gtk_window_set_modal(w, TRUE);
        gtk_window_set_skip_taskbar_hint(w, TRUE);
        gtk_window_set_type_hint(w, GDK_WINDOW_TYPE_HINT_DIALOG);
        if (!t.title.empty()) gtk_window_set_title(w, t.title.c_str());
        if (owner) gtk_window_set_transient_for(w, owner);
        GtkWidget* fixed = gtk_fixed_new();
        gtk_container_add(GTK_CONTAINER(window_), fixed);

        css_ = gtk_css_provider_new();
        const std::string css = "entry { min-height: 0; padding: 1px 3px; " +
            (t.fontPoints > 0 ? "font: " + std::to_string(t.fontPoints) + "pt sans-serif; " : "") + "}";
        gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);

        std::map<unsigned, PixelRect> unitRects;
        for (const DialogItemTemplate& item : t.items) {
            if (item.classAtom != kEditControlAtom || entries_.count(item.id)) continue;
            GtkWidget* entry = gtk_entry_new();
            gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);  // else the entry insists on 150 pixels
            gtk_style_context_add_provider(
                gtk_widget_get_style_context(entry), GTK_STYLE_PROVIDER(css_), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
            gtk_entry_set_text(GTK_ENTRY(entry), item.text.c_str());
            g_object_set_data(G_OBJECT(entry), "platform-gui-item", GUINT_TO_POINTER(item.id));
            entries_[item.id] = entry;
            unitRects[item.id] = item.units;
            gtk_fixed_put(GTK_FIXED(fixed), entry, 0, 0);
        }
        // Dialog units follow the dialog's font, measured as the toolkit measures it.
        int baseWidth = 6, baseHeight = 13;
        if (!entries_.empty()) {
            PangoLayout* layout = gtk_widget_create_pango_layout(
                entries_.begin()->second, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
            int width = 0, height = 0;
            pango_layout_get_pixel_size(layout, &width, &height);
            g_object_unref(layout);
            if (width > 0 && height > 0) {
                baseWidth = (width / 26 + 1) / 2;
                baseHeight = height;
            }
        }
        for (const auto& [id, units] : unitRects) {
            const PixelRect r = DialogUnitsToPixels(units, baseWidth, baseHeight);
            gtk_fixed_move(GTK_FIXED(fixed), entries_[id], r.x, r.y);
            gtk_widget_set_size_request(entries_[id], std::max(r.width, 1), std::max(r.height, 1));
        }
        const PixelRect size = DialogUnitsToPixels(t.units, baseWidth, baseHeight);
        rect_ = {ownerOrigin.x + size.x, ownerOrigin.y + size.y, std::max(size.width, 1), std::max(size.height, 1)};
        gtk_window_move(w, rect_.x, rect_.y);
        gtk_window_resize(w, rect_.width, rect_.height);

        for (auto& [id, entry] : entries_) {
            g_signal_connect(entry, "activate", G_CALLBACK(&OnActivate), this);
            g_signal_connect(entry, "changed", G_CALLBACK(&OnChanged), this);
        }
        g_signal_connect(window_, "key-press-event", G_CALLBACK(&OnKey), this);
        g_signal_connect(window_, "delete-event", G_CALLBACK(&OnDelete), this);
        g_signal_connect(window_, "notify::is-active", G_CALLBACK(&OnActive), this);
        g_signal_connect(window_, "configure-event", G_CALLBACK(&OnConfigure), this);
    }

    ~GtkTemplateDialog() {
        if (updateSource_) g_source_remove(updateSource_);
        gtk_widget_destroy(window_);
        g_object_unref(window_);
        g_object_unref(css_);
    }

    int Run(const std::function<bool()>& stop) {
        guarded_([&] { events_.OnInit(*this); });
        if (!ended_ && !stop()) {
            gtk_widget_show_all(window_);
            gtk_window_present(GTK_WINDOW(window_));
            while (!ended_ && !stop()) g_main_context_iteration(nullptr, TRUE);
        }
        return ended_ ? result_ : -1;
    }

    // ---- DialogControl ----

    std::string ItemText(unsigned item) override {
        GtkWidget* e = Entry(item);
        return e ? gtk_entry_get_text(GTK_ENTRY(e)) : "";
    }
    void SetItemText(unsigned item, const std::string& text) override {
        if (GtkWidget* e = Entry(item)) gtk_entry_set_text(GTK_ENTRY(e), text.c_str());
    }
    std::pair<int, int> ItemSelection(unsigned item) override {
        gint start = 0, end = 0;
        if (GtkWidget* e = Entry(item)) gtk_editable_get_selection_bounds(GTK_EDITABLE(e), &start, &end);
        return {start, end};
    }
    void SetItemSelection(unsigned item, int start, int end) override {
        if (GtkWidget* e = Entry(item)) gtk_editable_select_region(GTK_EDITABLE(e), start, end);
    }
    void FocusItem(unsigned item) override {
        if (GtkWidget* e = Entry(item)) gtk_widget_grab_focus(e);
    }
    PixelSize ItemSize(unsigned item) override {
        GtkWidget* e = Entry(item);
        if (!e) return {};
        if (gtk_widget_get_realized(e)) return {gtk_widget_get_allocated_width(e), gtk_widget_get_allocated_height(e)};
        gint w = 0, h = 0;
        gtk_widget_get_size_request(e, &w, &h);
        return {w, h};
    }
    void ResizeItem(unsigned item, PixelSize size) override {
        if (GtkWidget* e = Entry(item))
            gtk_widget_set_size_request(e, std::max(size.width, 1), std::max(size.height, 1));
    }
    PixelRect DialogRect() override { return rect_; }
    void MoveDialog(const PixelRect& r) override {
        rect_ = {r.x, r.y, std::max(r.width, 1), std::max(r.height, 1)};
        gtk_window_move(GTK_WINDOW(window_), rect_.x, rect_.y);
        gtk_window_resize(GTK_WINDOW(window_), rect_.width, rect_.height);
    }
    void End(int result) override {
        if (ended_) return;
        ended_ = true;
        result_ = result;
        g_main_context_wakeup(nullptr);
    }

private:
    GtkWidget* Entry(unsigned item) {
        auto it = entries_.find(item);
        return it == entries_.end() ? nullptr : it->second;
    }
    static GtkTemplateDialog* Self(gpointer p) { return static_cast<GtkTemplateDialog*>(p); }

    static void OnActivate(GtkWidget*, gpointer self) {
        Self(self)->guarded_([&] { Self(self)->events_.OnOk(*Self(self)); });
    }
    static gboolean OnKey(GtkWidget*, GdkEventKey* e, gpointer self) {
        if (e->keyval != GDK_KEY_Escape) return FALSE;
        Self(self)->guarded_([&] { Self(self)->events_.OnCancel(*Self(self)); });
        return TRUE;
    }
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
        Self(self)->guarded_([&] { Self(self)->events_.OnCancel(*Self(self)); });
        return TRUE;
    }
    static void OnActive(GtkWidget* w, GParamSpec*, gpointer self) {
        GtkTemplateDialog* d = Self(self);
        if (gtk_window_is_active(GTK_WINDOW(w))) {
            d->wasActive_ = true;
        } else if (d->wasActive_ && !d->ended_) {
            d->guarded_([&] { d->events_.OnDeactivated(*d); });
        }
    }
    static gboolean OnConfigure(GtkWidget* w, GdkEventConfigure* e, gpointer self) {
        gint x = 0, y = 0;
        gtk_window_get_position(GTK_WINDOW(w), &x, &y);
        Self(self)->rect_ = {x, y, e->width, e->height};
        return FALSE;
    }
    // The handler hears of a change once the entry has settled it (caret included),
    // before it is drawn.
    static void OnChanged(GtkWidget* entry, gpointer self) {
        GtkTemplateDialog* d = Self(self);
        d->pending_.insert(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(entry), "platform-gui-item")));
        if (!d->updateSource_) d->updateSource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, &OnUpdateIdle, d, nullptr);
    }
    static gboolean OnUpdateIdle(gpointer self) {
        GtkTemplateDialog* d = Self(self);
        d->updateSource_ = 0;
        const std::set<unsigned> items = std::move(d->pending_);
        d->pending_.clear();
        for (unsigned item : items)
            if (!d->ended_) d->guarded_([&] { d->events_.OnTextUpdate(*d, item); });
        return G_SOURCE_REMOVE;
    }

    DialogEvents& events_;
    const std::function<void(const std::function<void()>&)>& guarded_;
    GtkWidget* window_ = nullptr;
    GtkCssProvider* css_ = nullptr;
    std::map<unsigned, GtkWidget*> entries_;
    PixelRect rect_;
    std::set<unsigned> pending_;
    guint updateSource_ = 0;
    bool wasActive_ = false;
    bool ended_ = false;
    int result_ = -1;
};

}  // namespace

int RunGtkTemplateDialog(GtkWindow* owner, PixelPoint ownerClientOrigin, const DialogTemplate& dialogTemplate,
    DialogEvents& events, const std::function<void(const std::function<void()>&)>& guarded,
    const std::function<bool()>& stop) {
    GtkTemplateDialog dialog(owner, ownerClientOrigin, dialogTemplate, events, guarded);
    return dialog.Run(stop);
}

}  // namespace Platform::Gui
