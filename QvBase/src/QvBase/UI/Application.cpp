#include <QvBase/UI/Application.h>

#include <QvBase/Util/Exception.h>

#include <cstdio>
#include <exception>

QV_META_BEGIN(Application, Object)
    QV_META_SLOTS
    QV_SLOT(slotQuit)
QV_META_END

namespace {

Application* gCurrent = nullptr;

void Report(const char* what) {
    std::fprintf(stderr, "Application::Run: the message loop ended on an error:\n%s\n", what);
}

}  // namespace

Application::Application(const String& maker, const String& product) : Object("Application") {
    gCurrent = this;
    m_settings = std::make_unique<Settings>(String("SOFTWARE\\%1\\%2").Arg(maker).Arg(product));
}

Application::~Application() {
    m_accelerators.reset();
    if (gCurrent == this) gCurrent = nullptr;
    m_settings.reset();
}

Application* Application::Current() { return gCurrent; }

void Application::SetAcceleratorTable(std::unique_ptr<UI::AcceleratorTable> table) {
    m_accelerators = std::move(table);
}

int Application::Run() {
    auto& system = Platform::Gui::Current();
    // Accelerators act for the main window whichever window has the key.
    const Platform::Gui::AcceleratorFilter filter = [this, &system](WindowId, const Platform::Gui::KeyEvent& key) {
        if (!m_accelerators || m_mainWindow == Platform::Gui::NoWindow) return false;
        const std::optional<unsigned> command = m_accelerators->Translate(key);
        if (!command) return false;
        system.SendCommand(m_mainWindow, *command);
        return true;
    };
    try {
        return system.RunMessageLoop(filter);
    } catch (const Exception::Base& e) {
        Report(e.Description().CStr());
    } catch (const std::exception& e) {
        Report(e.what());
    } catch (...) {
        Report("an exception of unknown type");
    }
    return FailureExitCode;
}

void Application::slotQuit() { Platform::Gui::Current().Quit(0); }
