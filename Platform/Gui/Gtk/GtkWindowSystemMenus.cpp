#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <Platform/Gui/Gtk/MenuLabels.h>

namespace Platform::Gui {

namespace {

constexpr const char* kCommandKey = "platform-gui-command";
constexpr const char* kCheckedKey = "platform-gui-checked";

}  // namespace

void GtkWindowSystem::SetMenuBar(WindowId id, const std::vector<MenuSpec>& menus) {
    GtkWindowRecord* rec = Find(id);
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
    g_signal_connect(item, "activate", G_CALLBACK(&OnMenuItemThunk), this);
    return item;
}

std::vector<std::string> GtkWindowSystem::ShownMenuEntries(WindowId id, std::size_t menu) const {
    std::vector<std::string> texts;
    const GtkWindowRecord* rec = Find(id);
    if (!rec || !rec->menuBar) return texts;
    GList* titles = gtk_container_get_children(GTK_CONTAINER(rec->menuBar));
    gpointer title = g_list_nth_data(titles, guint(menu));
    g_list_free(titles);
    GtkWidget* popup = title ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(title)) : nullptr;
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
