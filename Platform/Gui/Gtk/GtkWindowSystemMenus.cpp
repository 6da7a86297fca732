#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <Platform/Gui/Gtk/MenuLabels.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace Platform::Gui {

namespace {

constexpr const char* kCommandKey = "platform-gui-command";
constexpr const char* kCheckedKey = "platform-gui-checked";
constexpr const char* kLabelKey = "platform-gui-label";
constexpr const char* kIdentityKey = "platform-gui-identity";

// An item shows entries of one kind only; another kind needs another item.
enum class ItemKind { Separator, Plain, Checked };

ItemKind KindOf(const MenuEntry& entry) {
    return entry.separator ? ItemKind::Separator : entry.checked ? ItemKind::Checked : ItemKind::Plain;
}

ItemKind KindOf(GtkWidget* item) {
    return GTK_IS_SEPARATOR_MENU_ITEM(item) ? ItemKind::Separator
        : GTK_IS_CHECK_MENU_ITEM(item)      ? ItemKind::Checked
                                            : ItemKind::Plain;
}

std::string TextOf(GtkWidget* item, const char* key) {
    const auto* text = static_cast<const char*>(g_object_get_data(G_OBJECT(item), key));
    return text ? text : "";
}

std::string LabelOf(GtkWidget* item) { return TextOf(item, kLabelKey); }

bool CanHighlight(GtkWidget* item) {
    return !GTK_IS_SEPARATOR_MENU_ITEM(item) && gtk_widget_get_visible(item) && gtk_widget_is_sensitive(item);
}

std::vector<GtkWidget*> ItemsOf(GtkWidget* popup) {
    std::vector<GtkWidget*> items;
    GList* children = gtk_container_get_children(GTK_CONTAINER(popup));
    for (GList* child = children; child; child = child->next) items.push_back(GTK_WIDGET(child->data));
    g_list_free(children);
    return items;
}

std::vector<GtkWidget*> PopupsOf(GtkWidget* bar) {
    std::vector<GtkWidget*> popups;
    for (GtkWidget* title : ItemsOf(bar))
        if (GtkWidget* popup = gtk_menu_item_get_submenu(GTK_MENU_ITEM(title))) popups.push_back(popup);
    return popups;
}

// The entry's texts in place of the item's: the label with its mnemonic, then the shortcut.
void ShowLabel(GtkWidget* item, const std::string& label) {
    if (GtkWidget* old = gtk_bin_get_child(GTK_BIN(item))) gtk_widget_destroy(old);
    const MenuLabelParts parts = SplitMenuLabel(label);
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
    gtk_widget_show_all(row);
    g_object_set_data_full(G_OBJECT(item), kLabelKey, g_strdup(label.c_str()), g_free);
}

// Makes an item show an entry other than a separator and act as it.
void ShowEntry(GtkWidget* item, const MenuEntry& entry) {
    if (!gtk_bin_get_child(GTK_BIN(item)) || LabelOf(item) != entry.label) ShowLabel(item, entry.label);
    g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(entry.command));
    g_object_set_data_full(G_OBJECT(item), kIdentityKey, g_strdup(entry.identity.c_str()), g_free);
}

// What an item stands for: the identity its owner gave, or without one its label.
struct Standing {
    std::string identity;
    std::string label;  // only where there is no identity
    bool operator==(const Standing&) const = default;
};

Standing StandingOf(GtkWidget* item) {
    std::string identity = TextOf(item, kIdentityKey);
    std::string label = identity.empty() ? LabelOf(item) : std::string();
    return {std::move(identity), std::move(label)};
}

// The entry that keeps the highlight once the items have changed: the one that stands for
// the same, or none. Rows move as entries come and go, so a row may now hold another command.
GtkWidget* SuccessorOf(const std::vector<GtkWidget*>& items, const Standing& was) {
    const auto same =
        std::ranges::find_if(items, [&](GtkWidget* item) { return CanHighlight(item) && StandingOf(item) == was; });
    return same == items.end() ? nullptr : *same;
}

// GTK places an open menu again only when asked, and keeps its window's size when it does:
// the window takes the menu's natural size first, then the menu is placed as when it opened
// (kept on the screen, shortened with scroll arrows when it does not fit). A menu scrolled
// while it was too short stays scrolled until an entry above the view is highlighted:
// highlighting the first entry brings it back to the top.
void FitOpenMenu(GtkWidget* popup, GtkWidget* highlight) {
    GtkWidget* toplevel = gtk_widget_get_toplevel(popup);
    GtkRequisition natural;
    gtk_widget_get_preferred_size(toplevel, nullptr, &natural);
    gdk_window_resize(gtk_widget_get_window(toplevel), natural.width, natural.height);
    gtk_menu_reposition(GTK_MENU(popup));
    GtkMenuShell* shell = GTK_MENU_SHELL(popup);
    gtk_menu_shell_deselect(shell);
    gtk_menu_shell_select_first(shell, TRUE);
    if (highlight)
        gtk_menu_shell_select_item(shell, highlight);
    else
        gtk_menu_shell_deselect(shell);
}

struct PendingMenus {
    GtkWindowSystem* self;
    WindowId window;
};

}  // namespace

void GtkWindowSystem::SetMenuBar(WindowId id, const std::vector<MenuSpec>& menus) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    // Owners rebuild a menu an entry at a time. An open menu takes only the end result, once
    // they are done: it keeps its highlighted entry and is sized once.
    const bool open = rec->menuBar &&
        std::ranges::any_of(PopupsOf(rec->menuBar), [](GtkWidget* popup) { return gtk_widget_get_mapped(popup); });
    if (open) {
        rec->pendingMenus = menus;
        if (!rec->pendingMenusSource)
            rec->pendingMenusSource = g_idle_add_full(G_PRIORITY_HIGH, &ApplyPendingMenusThunk,
                new PendingMenus{this, id}, [](gpointer update) { delete static_cast<PendingMenus*>(update); });
        return;
    }
    rec->pendingMenus.reset();
    BuildMenuBar(*rec, menus);
}

gboolean GtkWindowSystem::ApplyPendingMenusThunk(gpointer update) {
    const auto* pending = static_cast<const PendingMenus*>(update);
    pending->self->Guarded([&] {
        GtkWindowRecord* rec = pending->self->Find(pending->window);
        if (!rec) return 0;
        rec->pendingMenusSource = 0;
        if (rec->pendingMenus) {
            const std::vector<MenuSpec> menus = std::move(*rec->pendingMenus);
            rec->pendingMenus.reset();
            pending->self->BuildMenuBar(*rec, menus);
        }
        return 0;
    });
    return G_SOURCE_REMOVE;
}

void GtkWindowSystem::BuildMenuBar(GtkWindowRecord& rec, const std::vector<MenuSpec>& menus) {
    if (menus.empty()) {
        if (rec.menuBar) gtk_widget_destroy(rec.menuBar);
        rec.menuBar = nullptr;
        return;
    }
    if (!rec.menuBar) {
        rec.menuBar = gtk_menu_bar_new();
        gtk_box_pack_start(GTK_BOX(rec.box), rec.menuBar, FALSE, FALSE, 0);
    }
    // The bar is changed in place, never made anew: a menu the user holds open stays open
    // and shows the new entries.
    const std::vector<GtkWidget*> titles = ItemsOf(rec.menuBar);
    for (std::size_t m = 0; m < menus.size(); ++m) {
        const std::string text = SplitMenuLabel(menus[m].title).mnemonicText;
        if (m >= titles.size()) {
            GtkWidget* added = gtk_menu_item_new_with_mnemonic(text.c_str());
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(added), gtk_menu_new());
            gtk_menu_shell_append(GTK_MENU_SHELL(rec.menuBar), added);
            UpdateMenuEntries(rec.id, gtk_menu_item_get_submenu(GTK_MENU_ITEM(added)), menus[m].entries);
            continue;
        }
        GtkMenuItem* title = GTK_MENU_ITEM(titles[m]);
        if (text != gtk_menu_item_get_label(title)) gtk_menu_item_set_label(title, text.c_str());
        UpdateMenuEntries(rec.id, gtk_menu_item_get_submenu(title), menus[m].entries);
    }
    for (std::size_t m = menus.size(); m < titles.size(); ++m) gtk_widget_destroy(titles[m]);
    gtk_widget_show_all(rec.menuBar);
}

void GtkWindowSystem::UpdateMenuEntries(WindowId id, GtkWidget* popup, const std::vector<MenuEntry>& entries) {
    GtkMenuShell* shell = GTK_MENU_SHELL(popup);
    const std::vector<GtkWidget*> items = ItemsOf(popup);
    GtkWidget* const highlighted = gtk_menu_shell_get_selected_item(shell);
    const std::optional<Standing> highlightedWas =
        highlighted ? std::optional<Standing>(StandingOf(highlighted)) : std::nullopt;
    // An item is changed in place where it can show the entry there; the highlight is then
    // given to the entry that stands for what it stood for.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        if (i < items.size() && KindOf(items[i]) == KindOf(entry)) {
            if (!entry.separator) ShowEntry(items[i], entry);
            continue;
        }
        if (i < items.size()) gtk_widget_destroy(items[i]);
        GtkWidget* added = MakeMenuItem(id, entry);
        gtk_menu_shell_insert(shell, added, gint(i));
        gtk_widget_show_all(added);
    }
    for (std::size_t i = entries.size(); i < items.size(); ++i) gtk_widget_destroy(items[i]);
    if (gtk_widget_get_mapped(popup))
        FitOpenMenu(popup, highlightedWas ? SuccessorOf(ItemsOf(popup), *highlightedWas) : nullptr);
}

GtkWidget* GtkWindowSystem::MakeMenuItem(WindowId id, const MenuEntry& entry) {
    if (entry.separator) return gtk_separator_menu_item_new();
    GtkWidget* item = entry.checked ? gtk_check_menu_item_new() : gtk_menu_item_new();
    if (entry.checked) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
    ShowEntry(item, entry);
    g_object_set_data(G_OBJECT(item), GtkWindowIdKey, GSIZE_TO_POINTER(gsize(id)));
    g_object_set_data(G_OBJECT(item), kCheckedKey, GINT_TO_POINTER(entry.checked));
    g_signal_connect(item, "activate", G_CALLBACK(&OnMenuItemThunk), this);
    return item;
}

GtkWidget* GtkWindowSystem::MenuPopup(WindowId id, std::size_t menu) const {
    const GtkWindowRecord* rec = Find(id);
    if (!rec || !rec->menuBar) return nullptr;
    const std::vector<GtkWidget*> popups = PopupsOf(rec->menuBar);
    return menu < popups.size() ? popups[menu] : nullptr;
}

std::vector<std::string> GtkWindowSystem::ShownMenuEntries(WindowId id, std::size_t menu) const {
    std::vector<std::string> texts;
    GtkWidget* popup = MenuPopup(id, menu);
    if (!popup) return texts;
    for (GtkWidget* item : ItemsOf(popup)) {
        std::string shown;
        GtkWidget* row = gtk_bin_get_child(GTK_BIN(item));
        if (row && GTK_IS_CONTAINER(row)) {
            GList* parts = gtk_container_get_children(GTK_CONTAINER(row));
            if (parts && GTK_IS_LABEL(parts->data)) shown = gtk_label_get_text(GTK_LABEL(parts->data));
            g_list_free(parts);
        }
        texts.push_back(shown);
    }
    return texts;
}

std::vector<std::string> Testing::ShownMenuEntries(WindowId window, std::size_t menu) {
    const auto* system = dynamic_cast<const GtkWindowSystem*>(&Current());
    return system ? system->ShownMenuEntries(window, menu) : std::vector<std::string>();
}

bool Testing::MenuOpen(WindowId window, std::size_t menu) {
    const auto* system = dynamic_cast<const GtkWindowSystem*>(&Current());
    GtkWidget* popup = system ? system->MenuPopup(window, menu) : nullptr;
    return popup && gtk_widget_get_mapped(popup);
}

std::optional<Testing::MenuLayout> Testing::ShownMenuLayout(WindowId window, std::size_t menu) {
    const auto* system = dynamic_cast<const GtkWindowSystem*>(&Current());
    GtkWidget* popup = system ? system->MenuPopup(window, menu) : nullptr;
    if (!popup || !gtk_widget_get_mapped(popup)) return std::nullopt;
    MenuLayout layout;
    layout.height = gtk_widget_get_allocated_height(popup);
    gtk_widget_get_preferred_height(popup, nullptr, &layout.neededHeight);
    const std::vector<GtkWidget*> items = ItemsOf(popup);
    if (!items.empty()) {
        gtk_widget_translate_coordinates(items.front(), popup, 0, 0, nullptr, &layout.firstEntryTop);
        // The entries sit in a window of their own that moves up as the menu scrolls.
        if (GdkWindow* entries = gtk_widget_get_parent_window(items.front())) {
            gdk_window_get_position(entries, nullptr, &layout.scrolledBy);
            layout.scrolledBy = -layout.scrolledBy;
        }
    }
    const auto highlighted = std::ranges::find(items, gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(popup)));
    if (highlighted != items.end()) layout.highlighted = int(highlighted - items.begin());
    return layout;
}

void GtkWindowSystem::OnMenuItemThunk(GtkWidget* item, gpointer self) {
    Self(self)->Guarded([&] {
        // The owner keeps the check marks, as it keeps the rest of the menu.
        if (GTK_IS_CHECK_MENU_ITEM(item)) {
            g_signal_handlers_block_by_func(item, reinterpret_cast<gpointer>(&OnMenuItemThunk), self);
            gtk_check_menu_item_set_active(
                GTK_CHECK_MENU_ITEM(item), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCheckedKey)));
            g_signal_handlers_unblock_by_func(item, reinterpret_cast<gpointer>(&OnMenuItemThunk), self);
        }
        GtkWindowRecord* rec = Self(self)->RecordOf(item);
        if (rec && rec->events)
            rec->events->OnCommand(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey)));
        return 0;
    });
}

}  // namespace Platform::Gui
