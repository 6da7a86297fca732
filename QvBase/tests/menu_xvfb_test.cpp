// A real menu bar on an X display: its entry chosen with the keyboard, and its shortcut,
// reach the slot named by the entry.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/UI/Native/MenuBar.h>

#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <TestSupport/Desktop.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace std::chrono_literals;

using TestSupport::FindWindow;
using TestSupport::RequestClose;
using TestSupport::RunCommand;
using TestSupport::WaitFor;
using TestSupport::WaitForWindow;

namespace {

class FileCommands : public Object {
    QV_OBJECT()
public:
    FileCommands() : Object("FileCommands") {}
    void slotOpen() { ++opens; }
    void slotOpenRecent(uint uIndex) { recent = int(uIndex); }
    void slotExit() { Application::Current()->slotQuit(); }
    std::atomic<int> opens{0};
    std::atomic<int> recent{0};
};

}  // namespace

QV_META_BEGIN(FileCommands, Object)
    QV_META_SLOTS
    QV_SLOT(slotOpen)
    QV_SLOT(slotOpenRecent, (uint, uIndex))
    QV_SLOT(slotExit)
QV_META_END

TEST(MenuXvfb, EntriesChosenWithTheKeyboardAndShortcutsReachTheirSlots) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: run under scripts/with-xvfb";
    toolkit_test::TemporaryConfigHome configHome;
    auto previous = Platform::Gui::Install(Platform::Gui::MakeGtkWindowSystem());
    {
        Application app("Quorvel", "MenuXvfbTest");
        UI::ApplicationInfo info("Tonalith", 1000, 5, "Tonalith/resources", "UI/Layout");
        const char* title = "Menu Xvfb Test";
        auto* host = UI::CreateMainHostWindow(&info, "Menu Host", UI::Rect::FromXYWH(200, 150, 400, 300), false, title);
        ASSERT_NE(host->Handle(), Platform::Gui::NoWindow);
        FileCommands commands;
        SharedPtr<UI::Menu> file(new UI::Menu);
        file->AddItem(false, "&Open...", false, &commands, std::nullopt, "1slotOpen()", UI::Menu::ModifierCtrl, 'O');
        file->AddItem(true, "", false, nullptr, std::nullopt, "", 0, 0);
        file->AddItem(false, "&2 second.wav", false, &commands, 2u, "1slotOpenRecent(uint)", 0, 0);
        file->AddItem(false, "E&xit", false, &commands, std::nullopt, "1slotExit()", 0, 0);
        host->GetMenuBar()->AddSubMenu("&File", file);

        std::atomic<bool> done{false}, loopEnded{false};
        bool closedByMenu = true;
        int opensByMenu = -1, opensByShortcut = -1, recentByMenu = -1;
        std::thread script([&] {
            const bool shown = WaitForWindow(title, 5000ms);
            std::this_thread::sleep_for(300ms);
            if (shown) {
                RunCommand("xdotool mousemove 400 300");
                RunCommand("xdotool key --delay 150 alt+f o");
                WaitFor([&] { return commands.opens > 0; }), 5000ms;
                opensByMenu = commands.opens;
                RunCommand("xdotool key --delay 150 alt+f 2");
                WaitFor([&] { return commands.recent > 0; }), 5000ms;
                recentByMenu = commands.recent;
                RunCommand("xdotool key ctrl+o");
                WaitFor([&] { return commands.opens > 1; }), 5000ms;
                opensByShortcut = commands.opens;
            }
            RunCommand("xdotool key --delay 150 alt+f x");
            done = true;
            if (!WaitFor([&] { return loopEnded.load(); }, 3000ms)) {
                closedByMenu = false;
                RequestClose(title);
            }
        });
        // The loop ends through the menu's own Exit entry.
        const int code = app.Run();
        loopEnded = true;
        script.join();
        EXPECT_TRUE(closedByMenu);
        EXPECT_TRUE(done);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(opensByMenu, 1);
        EXPECT_EQ(recentByMenu, 2);
        EXPECT_EQ(opensByShortcut, 2);
        delete host;
    }
    Platform::Gui::Install(std::move(previous));
}
