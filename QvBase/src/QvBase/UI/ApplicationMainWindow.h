#pragma once
#include <QvBase/UI/Widgets/Window.h>

namespace UI {

class ApplicationInfo;
namespace Native {
class HostWindow;
}

// The base of the program's main window: a window in the main host window's frame
// that can start the periodic updates.
class ApplicationMainWindow : public Window {
    QV_OBJECT()
public:
    ApplicationMainWindow(ApplicationInfo* info, Native::HostWindow* host);

    Native::HostWindow* HostWindow() const { return m_host; }
    // Starts the host window's update timer and tells the frame the tick it runs at.
    void StartUpdates(unsigned intervalMs);

private:
    Native::HostWindow* m_host;
};

// Makes the main host window: restored from the settings (position, size and the
// maximised state), recorded as the application's main window, shown, and its frame
// made the record's main frames. The caller owns it.
Native::HostWindow* CreateMainHostWindow(
    ApplicationInfo* info, const String& name, const Rect& defaultRect, bool maximisedDefault, const String& title);

}  // namespace UI
