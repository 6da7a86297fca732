#include <Platform/Gui/Gtk/GtkDialogs.h>

#include <cctype>

namespace Platform::Gui {

namespace {

// A modal run of the dialog's own that also ends when the program is leaving. Escape
// and the window's close request end it with GTK_RESPONSE_DELETE_EVENT but leave the
// dialog standing: the caller owns it and destroys it once (see ModalDialog).
int RunModal(GtkWidget* dialog, const std::function<bool()>& stop) {
    int response = GTK_RESPONSE_NONE;
    const auto record = +[](GtkDialog*, gint id, gpointer out) { *static_cast<int*>(out) = id; };
    const gulong responded = g_signal_connect(dialog, "response", G_CALLBACK(record), &response);
    const gulong deleted = g_signal_connect(dialog, "delete-event", G_CALLBACK(gtk_true), nullptr);
    // Destroyed with its owner: the run ends as after a close request.
    const gulong destroyed = g_signal_connect(dialog, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer out) {
        int& r = *static_cast<int*>(out);
        if (r == GTK_RESPONSE_NONE) r = GTK_RESPONSE_DELETE_EVENT;
    }),
        &response);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_window_present(GTK_WINDOW(dialog));
    while (response == GTK_RESPONSE_NONE && !stop()) g_main_context_iteration(nullptr, TRUE);
    for (const gulong handler : {responded, deleted, destroyed}) g_signal_handler_disconnect(dialog, handler);
    return response;
}

// Holds its own reference to a new dialog, so that the dialog stays a live object
// whatever ends the run, and destroys it exactly once.
class ModalDialog {
public:
    explicit ModalDialog(GtkWidget* dialog) : m_dialog(GTK_WIDGET(g_object_ref_sink(dialog))) {}
    ~ModalDialog() {
        gtk_widget_destroy(m_dialog);
        g_object_unref(m_dialog);
    }
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    GtkWidget* Get() const { return m_dialog; }

private:
    GtkWidget* m_dialog;
};

}  // namespace

std::string CaseInsensitivePattern(const std::string& pattern) {
    std::string out;
    for (unsigned char c : pattern) {
        if (std::isalpha(c)) {
            out += '[';
            out += char(std::tolower(c));
            out += char(std::toupper(c));
            out += ']';
        } else {
            out += char(c);
        }
    }
    return out;
}

void RunGtkMessageBox(GtkWindow* owner, const std::string& caption, const std::string& text, bool systemModal,
    const std::function<bool()>& stop) {
    const ModalDialog box(
        gtk_message_dialog_new(owner, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
            GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", text.c_str()));
    gtk_window_set_title(GTK_WINDOW(box.Get()), caption.c_str());
    if (systemModal) gtk_window_set_keep_above(GTK_WINDOW(box.Get()), TRUE);
    RunModal(box.Get(), stop);
}

std::optional<std::string> RunGtkOpenFileDialog(
    GtkWindow* owner, const OpenFileRequest& request, const std::function<bool()>& stop) {
    const ModalDialog dialog(gtk_file_chooser_dialog_new(request.title.c_str(), owner, GTK_FILE_CHOOSER_ACTION_OPEN,
        "_Cancel", GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr));
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog.Get());
    gtk_file_chooser_set_local_only(chooser, TRUE);
    int index = 0;
    for (const FileFilter& f : request.filters) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, f.description.c_str());
        std::string::size_type start = 0;
        while (start <= f.patterns.size()) {
            std::string::size_type end = f.patterns.find(';', start);
            if (end == std::string::npos) end = f.patterns.size();
            if (end > start)
                gtk_file_filter_add_pattern(
                    filter, CaseInsensitivePattern(f.patterns.substr(start, end - start)).c_str());
            start = end + 1;
        }
        gtk_file_chooser_add_filter(chooser, filter);  // the chooser takes the floating reference
        if (index++ == request.filterIndex) gtk_file_chooser_set_filter(chooser, filter);
    }
    if (!request.initialFolder.empty()) gtk_file_chooser_set_current_folder(chooser, request.initialFolder.c_str());
    if (!request.initialName.empty()) {
        std::string path = request.initialName;
        if (path.front() != '/' && !request.initialFolder.empty())
            path = request.initialFolder + (request.initialFolder.back() == '/' ? "" : "/") + path;
        gtk_file_chooser_select_filename(chooser, path.c_str());
    }
    std::optional<std::string> result;
    if (RunModal(dialog.Get(), stop) == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
            result = std::string(name);
            g_free(name);
        }
    }
    return result;
}

}  // namespace Platform::Gui
