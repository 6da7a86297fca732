#pragma once
// The whole program in one process on a real window (run under Xvfb), with the settings
// store and the test's files in a folder of their own.
#include "editor_fixture.h"

#include <Tonalith/App/MainWindow.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/Util/ResourceArchive.h>

#include <Platform/Gui/WindowSystem.h>
#include <Platform/Resources/Resources.h>

#include <TestSupport/Desktop.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>

namespace app_test {

// Ends the message loop from the UI thread once the script thread asks.
class Quitter : public UI::Window {
public:
    Quitter(UI::Frame* frame, UI::Window* parent) : Window(frame, parent, "Test Quitter") {
        frame->AddTimer(this, 50, false);
    }
    void OnTimer(uint) override {
        if (quit) Platform::Gui::Current().Quit(0);
    }
    std::atomic<bool> quit{false};
};

class AppTest : public editor_test::TempStoreTest {
protected:
    static constexpr const char* kTitle = "Quorvel Tonalith";

    void SetUp() override {
        TempStoreTest::SetUp();
        ASSERT_TRUE(ResourceArchive::Instance().Load(Platform::Resources::Module::Program(), "TonalithResEmbed"));
        StartProgram();
    }
    void TearDown() override {
        StopProgram();
        TempStoreTest::TearDown();
    }

    // The program as its start-up makes it, reading what the store holds now.
    void StartProgram() {
        app = std::make_unique<Application>("Quorvel", "Tonalith");
        info = std::make_unique<UI::ApplicationInfo>("Tonalith", 1000, 5, "Tonalith/resources", "UI/Layout");
        host.reset(
            UI::CreateMainHostWindow(info.get(), "Tonalith Host Window", UI::Rect{300, 999, 400, 799}, false, kTitle));
        window = new UI::MainWindow(info.get(), host.get());
        quitter = new Quitter(host->GetFrame(), window);
    }
    void StopProgram() {
        host.reset();
        info.reset();
        app.reset();
        window = nullptr;
        quitter = nullptr;
    }

    // A file sox makes from `synth` arguments, in the test's folder.
    std::string Sox(const std::string& name, const std::string& format, const std::string& synth) {
        const std::string file = (m_folder / name).string();
        const std::string command = "sox -n " + format + " '" + file + "' synth " + synth;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return file;
    }

    std::unique_ptr<Application> app;
    std::unique_ptr<UI::ApplicationInfo> info;
    std::unique_ptr<UI::Native::HostWindow> host;
    UI::MainWindow* window = nullptr;
    Quitter* quitter = nullptr;
};

}  // namespace app_test
