#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <Platform/Gui/Gtk/MenuLabels.h>

namespace Platform::Gui {

namespace {

constexpr const char* kCommandKey = "platform-gui-command";
constexpr const char* kCheckedKey = "platform-gui-checked";
constexpr const char* kLabelKey = "platform-gui-label";

}  // namespace

void GtkWindowSystem::SetMenuBar(WindowId id, const std::vector<MenuSpec>& menus) {
    GtkWindowRecord* rec = Find(id);
    if (!rec) return;
    if (menus.empty()) {
        if (rec->menuBar) gtk_widget_destroy(rec->menuBar);
        rec->menuBar = nullptr;
        return;
    }
    if (!rec->menuBar) {
        rec->menuBar = gtk_menu_bar_new();
        gtk_box_pack_start(GTK_BOX(rec->box), rec->menuBar, FALSE, FALSE, 0);
    }
    // The bar is changed in place, never made anew: a menu the user holds open stays open
    // and shows the new entries.
    GList* titles = gtk_container_get_children(GTK_CONTAINER(rec->menuBar));
    GList* title = titles;
    for (const MenuSpec& menu : menus) {
        const std::string text = SplitMenuLabel(menu.title).mnemonicText;
        if (!title) {
            GtkWidget* added = gtk_menu_item_new_with_mnemonic(text.c_str());
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(added), gtk_menu_new());
            gtk_menu_shell_append(GTK_MENU_SHELL(rec->menuBar), added);
            UpdateMenuEntries(id, gtk_menu_item_get_submenu(GTK_MENU_ITEM(added)), menu.entries);
            continue;
        }
        GtkMenuItem* item = GTK_MENU_ITEM(title->data);
        if (text != gtk_menu_item_get_label(item)) gtk_menu_item_set_label(item, text.c_str());
        UpdateMenuEntries(id, gtk_menu_item_get_submenu(item), menu.entries);
        title = title->next;
    }
    for (; title; title = title->next) gtk_widget_destroy(GTK_WIDGET(title->data));
    g_list_free(titles);
    gtk_widget_show_all(rec->menuBar);
}

void GtkWindowSystem::UpdateMenuEntries(WindowId id, GtkWidget* popup, const std::vector<MenuEntry>& entries) {
    // Entries that are as they were stay, so the one under the pointer stays selected.
    GList* items = gtk_container_get_children(GTK_CONTAINER(popup));
    GList* item = items;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        while (item && !ShowsEntry(GTK_WIDGET(item->data), entries[i])) {
            gtk_widget_destroy(GTK_WIDGET(item->data));
            item = item->next;
        }
        if (item) {
            item = item->next;
        } else {
            GtkWidget* added = MakeMenuItem(id, entries[i]);
            gtk_menu_shell_insert(GTK_MENU_SHELL(popup), added, gint(i));
            gtk_widget_show_all(added);
        }
    }
    for (; item; item = item->next) gtk_widget_destroy(GTK_WIDGET(item->data));
    g_list_free(items);
}

bool GtkWindowSystem::ShowsEntry(GtkWidget* item, const MenuEntry& entry) {
    if (entry.separator || GTK_IS_SEPARATOR_MENU_ITEM(item)) return entry.separator && GTK_IS_SEPARATOR_MENU_ITEM(item);
    const auto* label = static_cast<const char*>(g_object_get_data(G_OBJECT(item), kLabelKey));
    return label && entry.label == label &&
        GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey)) == entry.command &&
        bool(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCheckedKey))) == entry.checked;
}

GtkWidget* GtkWindowSystem::MakeMenuItem(WindowId id, const MenuEntry& entry) {
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
    g_object_set_data(G_OBJECT(item), GtkWindowIdKey, GSIZE_TO_POINTER(gsize(id)));
    g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(entry.command));
    g_object_set_data(G_OBJECT(item), kCheckedKey, GINT_TO_POINTER(entry.checked));
    g_object_set_data_full(G_OBJECT(item), kLabelKey, g_strdup(entry.label.c_str()), g_free);
    g_signal_connect(item, "activate", G_CALLBACK(&OnMenuItemThunk), this);
    return item;
}

GtkWidget* GtkWindowSystem::MenuPopup(WindowId id, std::size_t menu) const {
    const GtkWindowRecord* rec = Find(id);
    if (!rec || !rec->menuBar) return nullptr;
    GList* titles = gtk_container_get_children(GTK_CONTAINER(rec->menuBar));
    gpointer title = g_list_nth_data(titles, guint(menu));
    g_list_free(titles);
    return title ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(title)) : nullptr;
}

std::vector<std::string> GtkWindowSystem::ShownMenuEntries(WindowId id, std::size_t menu) const {
    std::vector<std::string> texts;
    GtkWidget* popup = MenuPopup(id, menu);
    if (!popup) return texts;
    GList* items = gtk_container_get_children(GTK_CONTAINER(popup));
    for (GList* item = items; item; item = item->next) {
        std::string shown;
        GtkWidget* row = gtk_bin_get_child(GTK_BIN(item->data));
        if (row && GTK_IS_CONTAINER(row)) {
            GList* parts = gtk_container_get_children(GTK_CONTAINER(row));
            if (parts && GTK_IS_LABEL(parts->data)) shown = gtk_label_get_text(GTK_LABEL(parts->data));
            g_list_free(parts);
        }
        texts.push_back(shown);
    }
    g_list_free(items);
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
