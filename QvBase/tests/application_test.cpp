// The application object, its information record and the message loop on the fake window system.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/Util/Exception.h>

#include <Platform/Gui/Keys.h>

using namespace toolkit_test;
using UI::Rect;

namespace {

class CtrlO : public UI::AcceleratorTable {
public:
    std::optional<unsigned> Translate(const Platform::Gui::KeyEvent& key) const override {
        if (key.key == 'O' && key.modifiers == Platform::Gui::Modifier::Ctrl) return 40001u;
        return std::nullopt;
    }
};

class Commands : public UI::Native::CommandDispatch {
public:
    explicit Commands(std::vector<std::string>* log) : log_(log) {}
    bool Dispatch(unsigned command) override {
        log_->push_back("command " + std::to_string(command));
        return true;
    }

private:
    std::vector<std::string>* log_;
};

class TestFont : public UI::Font {
public:
    explicit TestFont(int* alive) : UI::Font("no such face.ttf", UI::FontDescription{}), alive_(alive) { ++*alive_; }
    ~TestFont() override { --*alive_; }

private:
    int* alive_;
};

class ApplicationTest : public ToolkitTest {
protected:
    void TearDown() override {
        delete host;
        ToolkitTest::TearDown();
    }
    void MakeMain() {
        host = UI::CreateMainHostWindow(info.get(), "Main", Rect::FromXYWH(10, 10, 200, 100), false, "T");
        root = new Probe(host->GetFrame(), nullptr, "root", &log);
        host->GetFrame()->SetRootWindow(root);
        root->takesKeys = true;
    }
    // Runs the loop with a script of steps, one per idle turn; the last step should end it.
    int RunScript(std::vector<std::function<void()>> steps) {
        std::size_t next = 0;
        system->SetIdleScript([&, steps] {
            if (next >= steps.size()) return false;
            steps[next++]();
            return true;
        });
        return app->Run();
    }
    UI::Native::HostWindow* host = nullptr;
    Probe* root = nullptr;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(ApplicationTest, OwnsTheSettingsStoreAndIsTheCurrentApplication) {
    EXPECT_EQ(Application::Current(), app.get());
    EXPECT_EQ(app->Name(), "Application");
    EXPECT_EQ(app->GetSettings().KeyPath(), "SOFTWARE\\Quorvel\\ToolkitTest");
    EXPECT_STREQ(app->ClassName(), "Application");
    EXPECT_TRUE(app->MetaObject()->IndexOfSlot("slotQuit()").has_value());
    app.reset();
    EXPECT_EQ(Application::Current(), nullptr);
}

TEST_F(ApplicationTest, ClosingTheMainWindowEndsTheLoopWithZero) {
    MakeMain();
    const auto id = host->Handle();
    EXPECT_EQ(RunScript({[&] { system->UserClose(id); }}), 0);
    EXPECT_FALSE(system->LoopRunning());
    EXPECT_EQ(app->GetSettings().GetString("Main.Geometry", ""), "[(10,10)-(209,109) 200x100]");
}

TEST_F(ApplicationTest, SlotQuitAndQuitCodesEndTheLoop) {
    EXPECT_EQ(RunScript({[&] { system->Quit(7); }}), 7);
    EXPECT_EQ(RunScript({[&] { app->slotQuit(); }}), 0);
}

TEST_F(ApplicationTest, AcceleratorsActForTheMainWindowOnlyWhenBothAreSet) {
    MakeMain();
    host->SetMenuBar(std::make_unique<Commands>(&log));
    const auto id = host->Handle();
    auto other = std::make_unique<UI::Native::HostWindow>(info.get(), "Other");
    other->Create(0, 0, "Other", Rect::FromXYWH(0, 0, 20, 20), false, true, false, false);
    const auto otherId = other->Handle();
    namespace Modifier = Platform::Gui::Modifier;

    // No table: every key is dispatched.
    RunScript({[&] { system->TypeKey(id, 'O', 0, Modifier::Ctrl); }, [&] { system->Quit(0); }});
    EXPECT_EQ(log, (std::vector<std::string>{"root KeyDown 79 m8", "root KeyUp 79 m8"}));
    log.clear();

    // With a table, keys of any window turn into commands of the main window. The key-up still
    // comes, and the other frame hands what it does not take to the second main frame.
    app->SetAcceleratorTable(std::make_unique<CtrlO>());
    RunScript({[&] { system->TypeKey(otherId, 'O', 'o', Modifier::Ctrl); }, [&] { system->TypeKey(id, 'P'); },
        [&] { system->Quit(0); }});
    EXPECT_EQ(
        log, (std::vector<std::string>{"command 40001", "root KeyUp 79 m8", "root KeyDown 80 m0", "root KeyUp 80 m0"}));
    log.clear();

    // A table but no main window: nothing is translated.
    app->SetMainWindow(Platform::Gui::NoWindow);
    RunScript({[&] { system->TypeKey(id, 'O', 0, Modifier::Ctrl); }, [&] { system->Quit(0); }});
    EXPECT_EQ(log, (std::vector<std::string>{"root KeyDown 79 m8", "root KeyUp 79 m8"}));
    app->SetAcceleratorTable(nullptr);
    EXPECT_EQ(app->GetAcceleratorTable(), nullptr);
}

TEST_F(ApplicationTest, AnExceptionReachingTheLoopEndsItInOrderWithAFailureCode) {
    MakeMain();
    root->onTimer = [](uint) {
        Exception::Base e("a display failed");
        throw e;
    };
    host->GetFrame()->AddTimer(root, 10, false);
    host->StartUpdateTimer(33);
    testing::internal::CaptureStderr();
    const int code = app->Run();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, Application::FailureExitCode);
    EXPECT_NE(err.find("a display failed"), std::string::npos);
    EXPECT_FALSE(system->LoopRunning());
    // The program can carry on: the loop runs again.
    root->onTimer = nullptr;
    EXPECT_EQ(RunScript({[&] { system->Quit(4); }}), 4);
}

TEST_F(ApplicationTest, TheFontTableGrowsOnDemandAndReleasesItsFonts) {
    int alive = 0;
    info->SetFont(3, SharedPtr<UI::Font>(new TestFont(&alive)));
    EXPECT_EQ(info->FontCount(), 4u);
    EXPECT_EQ(info->GetFont(0), nullptr);
    EXPECT_EQ(info->GetFont(2), nullptr);
    EXPECT_NE(info->GetFont(3), nullptr);
    EXPECT_EQ(info->GetFont(9), nullptr);
    info->SetFont(3, SharedPtr<UI::Font>(new TestFont(&alive)));
    EXPECT_EQ(alive, 1);
    info.reset();
    EXPECT_EQ(alive, 0);
}
