#include <Platform/Gui/Gtk/GtkWindowSystemInternal.h>

#include <Platform/Gui/Gtk/GtkDialogs.h>
#include <Platform/Gui/Gtk/GtkTemplateDialog.h>

#include <functional>

namespace Platform::Gui {

void GtkWindowSystem::ShowMessageBox(
    WindowId owner, const std::string& caption, const std::string& text, bool systemModal) {
    GtkWindowRecord* rec = Find(owner);
    RunGtkMessageBox(
        rec ? GTK_WINDOW(rec->window) : nullptr, caption, text, systemModal, [this] { return quitRequested_.load(); });
}

std::optional<std::string> GtkWindowSystem::ChooseFileToOpen(const OpenFileRequest& request) {
    GtkWindowRecord* rec = Find(request.owner);
    return RunGtkOpenFileDialog(
        rec ? GTK_WINDOW(rec->window) : nullptr, request, [this] { return quitRequested_.load(); });
}

int GtkWindowSystem::RunTemplateDialog(WindowId owner, const std::vector<std::uint8_t>& bytes, DialogEvents& events) {
    const std::optional<DialogTemplate> t = ReadDialogTemplate(bytes.data(), bytes.size());
    if (!t) return -1;
    GtkWindowRecord* rec = Find(owner);
    const std::function<void(const std::function<void()>&)> guarded = [this](const std::function<void()>& f) {
        Guarded([&] {
            f();
            return 0;
        });
    };
    return RunGtkTemplateDialog(rec ? GTK_WINDOW(rec->window) : nullptr, ClientOriginOnScreen(owner), *t, events,
        guarded, [this] { return quitRequested_.load(); });
}

}  // namespace Platform::Gui
