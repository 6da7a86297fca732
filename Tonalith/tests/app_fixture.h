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
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace app_test {

// Ends the message loop from the UI thread once the script thread asks, or once the main
// window's load has read its file. `onTick`, when set, runs on the UI thread at every tick,
// where a test can publish what the script thread waits for.
class Quitter : public UI::Window {
public:
    Quitter(UI::Frame* frame, UI::MainWindow* main) : Window(frame, main, "Test Quitter"), m_main(main) {
        frame->AddTimer(this, 50, false);
    }
    void OnTimer(uint) override {
        if (onTick) onTick();
        if (quit || (untilRead && !m_main->IsReading())) {
            untilRead = false;
            Platform::Gui::Current().Quit(0);
        }
    }
    std::atomic<bool> quit{false};
    bool untilRead = false;
    std::function<void()> onTick;

private:
    UI::MainWindow* m_main;
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

    // Loads the file as File > Open does and runs the message loop until the load has ended.
    std::optional<UI::LoadFailure> Load(const std::string& file) {
        std::optional<UI::LoadFailure> failure = window->loadAudioFile(Path(String(file)));
        if (!failure && window->IsReading()) {
            quitter->untilRead = true;
            app->Run();
        }
        return failure;
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
