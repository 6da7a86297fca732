#include <QvBase/UI/ApplicationMainWindow.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/UI/UpdateTimer.h>

#include <memory>

QV_META_BEGIN(UI::ApplicationMainWindow, UI::Window)
    QV_META_SLOTS
QV_META_END

namespace UI {

ApplicationMainWindow::ApplicationMainWindow(ApplicationInfo* info, Native::HostWindow* host)
    : Window(host->GetFrame(), nullptr, String("%1 Main Window").Arg(info->Name())), m_host(host) {}

void ApplicationMainWindow::StartUpdates(unsigned intervalMs) {
    m_host->StartUpdateTimer(intervalMs);
    // A timer made earlier keeps its first interval: that is the tick the frame runs at.
    GetFrame()->SetUpdateTickMs(m_host->GetUpdateTimer()->Interval());
}

Native::HostWindow* CreateMainHostWindow(
    ApplicationInfo* info, const String& name, const Rect& defaultRect, bool maximisedDefault, const String& title) {
    // A window system that cannot start throws from Create: the host goes with it.
    auto host = std::make_unique<Native::HostWindow>(info, name);
    host->Create(
        Platform::Gui::NoWindow, Platform::Gui::NoWindow, title, defaultRect, maximisedDefault, false, false, false);
    if (Application* app = Application::Current()) app->SetMainWindow(host->Handle());
    host->Show(true);
    info->SetMainFrame(host->GetFrame());
    info->SetSecondMainFrame(host->GetFrame());
    return host.release();
}

}  // namespace UI
