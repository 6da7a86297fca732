#pragma once
#include <Platform/Gui/DialogTemplate.h>
#include <Platform/Gui/WindowSystem.h>

#include <gtk/gtk.h>

#include <functional>

namespace Platform::Gui {

// Runs a modal, undecorated dialog holding the template's edit controls. `guarded` runs
// a handler call so that no exception crosses GLib; the dialog also ends (with -1) once
// `stop` says so.
int RunGtkTemplateDialog(GtkWindow* owner, PixelPoint ownerClientOrigin, const DialogTemplate& dialogTemplate,
    DialogEvents& events, const std::function<void(const std::function<void()>&)>& guarded,
    const std::function<bool()>& stop);

}  // namespace Platform::Gui
