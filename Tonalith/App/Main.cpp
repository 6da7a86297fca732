// The program: registers the embedded resources, opens the settings store, makes the main
// host window with the main window in it, and runs the message loop until the window closes.
// Command-line arguments are ignored.

#include <Tonalith/App/MainWindow.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/Util/ResourceArchive.h>

#include <Platform/Gui/WindowSystem.h>
#include <Platform/Resources/Resources.h>

#include <cstdio>
#include <memory>

namespace {

// The program's version and icon resource, as the information record takes them.
constexpr uint ProgramVersion = 1000;
constexpr uint ProgramIconId = 5;

// Where the window opens while no position is saved: 700 x 400 pixels at (300, 400).
constexpr UI::Rect DefaultWindowRect{300, 999, 400, 799};

int Run() {
    ResourceArchive::Instance().Load(Platform::Resources::Module::Program(), "TonalithResEmbed");

    Application application("Quorvel", "Tonalith");
    auto info = std::make_unique<UI::ApplicationInfo>(
        "Tonalith", ProgramVersion, ProgramIconId, "Tonalith/resources", "UI/Layout");

    std::unique_ptr<UI::Native::HostWindow> host(UI::CreateMainHostWindow(
        info.get(), String("%1 Host Window").Arg(info->Name()), DefaultWindowRect, false, "Quorvel Tonalith"));

    new UI::MainWindow(info.get(), host.get());  // the host window's frame owns it

    const int exitCode = application.Run();

    // The windows go before the information record and the settings store they use.
    host.reset();
    info.reset();
    return exitCode;
}

}  // namespace

int main() {
    try {
        return Run();
    } catch (const Platform::Gui::Unavailable& e) {
        std::fprintf(stderr, "tonalith: %s\n", e.what());
        return 1;
    }
}
