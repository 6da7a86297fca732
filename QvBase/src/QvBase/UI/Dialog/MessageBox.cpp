#include <QvBase/UI/Dialog/MessageBox.h>

namespace UI {

int MessageBox(Platform::Gui::WindowId owner, const String& caption, const String& text, bool systemModal) {
    Platform::Gui::Current().ShowMessageBox(owner, caption.CStr(), text.CStr(), systemModal);
    return MessageBoxOk;
}

}  // namespace UI
