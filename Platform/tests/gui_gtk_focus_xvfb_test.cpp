// Focus, capture, key state and the modal dialogs of the desktop, driven from outside.
#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/Keys.h>
#include <Platform/Gui/RegisteredMessages.h>

#include <gtest/gtest.h>

#include <TestSupport/Desktop.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace Platform::Gui;
using namespace std::chrono_literals;

using TestSupport::RunCommand;
using TestSupport::WaitFor;
using TestSupport::WaitForWindow;

namespace {

// Records what reaches one window; the script thread reads it.
class Recorder : public WindowEvents {
public:
    explicit Recorder(WindowSystem& system) : system_(system) {}

    std::vector<std::string> Take() {
        std::lock_guard guard(lock_);
        return std::exchange(log_, {});
    }
    std::size_t Count() {
        std::lock_guard guard(lock_);
        return log_.size();
    }
    std::atomic<int> exposes{0};

    void OnExpose(const PixelRect&, ExposeTarget&) override { ++exposes; }
    bool OnMouse(const MouseEvent& e) override {
        if (e.kind == MouseKind::LeftDown || e.kind == MouseKind::LeftUp)
            Add((e.kind == MouseKind::LeftDown ? "LeftDown " : "LeftUp ") + std::to_string(e.point.x) + "," +
                std::to_string(e.point.y));
        return true;
    }
    bool OnKey(const KeyEvent& e) override {
        if (e.kind == KeyKind::Down)
            Add("Down " + std::to_string(e.key) + (system_.IsKeyDown(e.key) ? " down" : " up") +
                (system_.IsKeyDown(Key::Shift) ? " shift" : ""));
        if (e.kind == KeyKind::Up) Add("Up " + std::to_string(e.key) + (system_.IsKeyDown(e.key) ? " down" : " up"));
        return true;
    }
    void OnMessage(unsigned message, std::uint64_t a, std::uint64_t) override {
        if (message == RegisterMessage("gui focus test: run") && a < steps.size()) {
            steps[a]();
            ++done;
        }
    }

    // Work for the UI thread, started by posting its index.
    std::vector<std::function<void()>> steps;
    std::atomic<std::size_t> done{0};

private:
    void Add(std::string s) {
        std::lock_guard guard(lock_);
        log_.push_back(std::move(s));
    }
    WindowSystem& system_;
    std::mutex lock_;
    std::vector<std::string> log_;
};

std::unique_ptr<WindowSystem> MakeSystem() {
    if (!std::getenv("DISPLAY"))
        throw std::runtime_error("these tests need an X display: run them under scripts/with-xvfb");
    return MakeGtkWindowSystem();
}

}  // namespace

TEST(GtkWindowSystemXvfb, KeysFollowTheFocusAndTheMouseFollowsTheCapture) {
    auto system = MakeSystem();
    Recorder one(*system), two(*system);
    const WindowId w1 = system->CreateWindow({"Gui Focus One", {50, 50, 200, 150}, false, true, "", NoWindow, &one});
    const WindowId w2 = system->CreateWindow({"Gui Focus Two", {400, 50, 200, 150}, false, true, "", NoWindow, &two});
    system->ShowWindow(w1, ShowMode::Normal);
    system->ShowWindow(w2, ShowMode::Normal);

    WindowId focusAfterFirst = NoWindow, captureAfterSet = NoWindow, captureAfterRelease = 99;
    one.steps = {
        [&] {
            system->SetFocus(w2);
            focusAfterFirst = system->FocusWindow();
        },
        [&] { system->SetFocus(w1); },
        [&] {
            system->SetCapture(w1);
            captureAfterSet = system->CaptureWindow();
        },
        [&] {
            system->ReleaseCapture();
            captureAfterRelease = system->CaptureWindow();
        },
        [&] { system->Quit(0); },
    };
    std::vector<std::vector<std::string>> seen;  // pairs: window one's, window two's
    std::thread script([&] {
        auto step = [&](std::size_t i) {
            system->Post(w1, RegisterMessage("gui focus test: run"), i);
            WaitFor([&] { return one.done > i; });
            std::this_thread::sleep_for(100ms);
        };
        auto settle = [&](std::size_t expected) {
            WaitFor([&] { return one.Count() + two.Count() >= expected; });
            std::this_thread::sleep_for(150ms);
            seen.push_back(one.Take());
            seen.push_back(two.Take());
        };
        WaitFor([&] { return one.exposes > 0 && two.exposes > 0; });
        RunCommand("xdotool mousemove 700 600");  // over neither window
        step(0);
        RunCommand("xdotool key x");
        settle(2);
        step(1);
        RunCommand("xdotool keydown shift key z keyup shift");
        settle(4);
        step(2);
        RunCommand("xdotool mousemove 450 100 click 1");
        settle(2);
        step(3);
        RunCommand("xdotool mousemove 460 110 click 1");
        settle(2);
        step(4);
    });
    EXPECT_EQ(system->RunMessageLoop(), 0);
    script.join();

    EXPECT_EQ(focusAfterFirst, w2);
    EXPECT_EQ(captureAfterSet, w1);
    EXPECT_EQ(captureAfterRelease, NoWindow);
    using V = std::vector<std::string>;
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0], V{});
    EXPECT_EQ(seen[1], (V{"Down 88 down", "Up 88 up"}));
    EXPECT_EQ(seen[2], (V{"Down 16 down shift", "Down 90 down shift", "Up 90 up", "Up 16 up"}));
    EXPECT_EQ(seen[3], V{});
    // Captured, window one hears the click made over window two, in its own coordinates.
    EXPECT_EQ(seen[4], (V{"LeftDown 400,50", "LeftUp 400,50"}));
    EXPECT_EQ(seen[5], V{});
    EXPECT_EQ(seen[6], V{});
    EXPECT_EQ(seen[7], (V{"LeftDown 60,60", "LeftUp 60,60"}));
}

TEST(GtkWindowSystemXvfb, MessageBoxAndOpenFileDialogAnswerTheUserAndWriteNothing) {
    // A home of its own, holding a recent-files list the dialogs must leave alone. Set
    // before the desktop toolkit reads it (each test runs in a process of its own).
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("gui_dialog_home_" + std::to_string(::getpid()));
    std::filesystem::create_directories(home / "data");
    const std::string recentList =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"><bookmark href=\"file:///keep.wav\" "
        "added=\"2020-01-01T00:00:00Z\" modified=\"2020-01-01T00:00:00Z\" visited=\"2020-01-01T00:00:00Z\"/></xbel>\n";
    std::ofstream(home / "data" / "recently-used.xbel") << recentList;
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);

    auto system = MakeSystem();
    Recorder events(*system);
    const WindowId w =
        system->CreateWindow({"Gui Dialog Owner", {50, 50, 300, 200}, false, true, "", NoWindow, &events});
    system->ShowWindow(w, ShowMode::Normal);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("gui_dialog_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Take.WAV") << "x";
    std::ofstream(folder / "notes.txt") << "x";

    bool boxReturned = false;
    std::optional<std::string> chosen;
    OpenFileRequest request{w, "Gui Test Open", folder.string(), "", {{"WAV Files", "*.wav"}}, 0};
    events.steps = {
        [&] {
            system->ShowMessageBox(w, "Gui Test Caption", "Some text", false);
            boxReturned = true;
        },
        [&] { chosen = system->ChooseFileToOpen(request); },
        [&] { system->Quit(0); },
    };
    bool boxSeen = false, openSeen = false;
    std::thread script([&] {
        WaitFor([&] { return events.exposes > 0; });
        system->Post(w, RegisterMessage("gui focus test: run"), 0);
        boxSeen = WaitForWindow("Gui Test Caption");
        std::this_thread::sleep_for(200ms);
        RunCommand("xdotool key Return");
        WaitFor([&] { return events.done > 0; });

        system->Post(w, RegisterMessage("gui focus test: run"), 1);
        openSeen = WaitForWindow("Gui Test Open");
        std::this_thread::sleep_for(500ms);
        RunCommand("xdotool key ctrl+l");
        std::this_thread::sleep_for(200ms);
        RunCommand("xdotool type --delay 10 '" + (folder / "Take.WAV").string() + "'");
        std::this_thread::sleep_for(200ms);
        RunCommand("xdotool key Return");
        WaitFor([&] { return events.done > 1; }, 10000ms);
        system->Post(w, RegisterMessage("gui focus test: run"), 2);
    });
    EXPECT_EQ(system->RunMessageLoop(), 0);
    script.join();
    std::filesystem::remove_all(folder);

    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(boxReturned);
    EXPECT_TRUE(openSeen);
    EXPECT_EQ(chosen, std::optional<std::string>((folder / "Take.WAV").string()));

    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home))
        if (entry.is_regular_file()) written.push_back(entry.path().lexically_relative(home).string());
    EXPECT_EQ(written, std::vector<std::string>{"data/recently-used.xbel"});
    std::ifstream in(home / "data" / "recently-used.xbel");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), recentList);
    std::filesystem::remove_all(home);
}

// Escape and the window's close request end a message box or the file dialog; each
// dialog is destroyed once, so the toolkit reports no misuse (any critical fails).
TEST(GtkWindowSystemXvfb, DialogsEndedByEscapeOrACloseRequestAreDestroyedOnce) {
    // The toolkit reports misuse on standard error; the test reads what it wrote there.
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    ::dup2(::fileno(log), 2);
    auto system = MakeSystem();
    Recorder events(*system);
    const WindowId w =
        system->CreateWindow({"Gui Close Owner", {50, 50, 300, 200}, false, true, "", NoWindow, &events});
    system->ShowWindow(w, ShowMode::Normal);
    OpenFileRequest request{w, "Gui Close Open", "/", "", {{"WAV Files", "*.wav"}}, 0};
    int boxes = 0;
    std::vector<std::optional<std::string>> chosen;
    const auto box = [&] {
        system->ShowMessageBox(w, "Gui Close Box", "Some text", false);
        ++boxes;
    };
    const auto open = [&] { chosen.push_back(system->ChooseFileToOpen(request)); };
    events.steps = {box, box, open, open, [&] { system->Quit(0); }};
    const char* titles[] = {"Gui Close Box", "Gui Close Box", "Gui Close Open", "Gui Close Open"};
    std::vector<bool> seen;
    std::thread script([&] {
        WaitFor([&] { return events.exposes > 0; });
        for (std::size_t i = 0; i < 4; ++i) {
            system->Post(w, RegisterMessage("gui focus test: run"), i);
            seen.push_back(WaitForWindow(titles[i]));
            std::this_thread::sleep_for(400ms);
            if (i % 2 == 0)
                RunCommand("xdotool key Escape");
            else
                TestSupport::RequestClose(titles[i]);
            WaitFor([&] { return events.done > i; }, 10000ms);
        }
        system->Post(w, RegisterMessage("gui focus test: run"), 4);
    });
    EXPECT_EQ(system->RunMessageLoop(), 0);
    script.join();
    EXPECT_EQ(seen, std::vector<bool>(4, true));
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(chosen, (std::vector<std::optional<std::string>>(2, std::nullopt)));
    system.reset();
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    std::string written;
    std::rewind(log);
    for (int c; (c = std::fgetc(log)) != EOF;) written += char(c);
    std::fclose(log);
    EXPECT_EQ(written.find("CRITICAL"), std::string::npos) << written;
}

TEST(GtkWindowSystemXvfb, MenuEntriesReachTheWindowAsCommands) {
    auto system = MakeSystem();
    struct Events : Recorder {
        using Recorder::Recorder;
        std::vector<unsigned> commands;
        std::atomic<std::size_t> count{0};
        bool OnKey(const KeyEvent&) override { return false; }  // left to the menus
        bool OnCommand(unsigned command) override {
            commands.push_back(command);
            ++count;
            return true;
        }
    } events(*system);
    const WindowId w =
        system->CreateWindow({"Gui Menu Owner", {100, 100, 300, 200}, false, true, "", NoWindow, &events});
    system->SetMenuBar(w,
        {{"&File",
             {{false, "&Open...\tCtrl+O", false, 1}, {true, "", false, 0}, {false, "E&xit", false, 2},
                 {false, "&Checked", true, 3}}},
            {"&Help", {{false, "&About", false, 4}}}});
    system->ShowWindow(w, ShowMode::Normal);
    PixelSize client;
    PixelPoint origin;
    events.steps = {
        [&] {
            client = system->ClientSize(w);
            origin = system->ClientOriginOnScreen(w);
        },
        [&] { system->Quit(0); },
    };
    std::thread script([&] {
        WaitFor([&] { return events.exposes > 0; });
        std::this_thread::sleep_for(200ms);
        system->Post(w, RegisterMessage("gui focus test: run"), 0);
        RunCommand("xdotool mousemove 250 250");
        for (const char* keys : {"alt+f x", "alt+f c", "alt+h a"}) {
            const std::size_t before = events.count;
            RunCommand(std::string("xdotool key --delay 150 ") + keys);
            WaitFor([&] { return events.count > before; });
        }
        std::this_thread::sleep_for(100ms);
        system->Post(w, RegisterMessage("gui focus test: run"), 1);
    });
    EXPECT_EQ(system->RunMessageLoop(), 0);
    script.join();

    EXPECT_EQ(events.commands, (std::vector<unsigned>{2, 3, 4}));
    // The bar sits above the client area, which keeps the rest of the window.
    EXPECT_EQ(client.width, 300);
    EXPECT_GT(origin.y, 100);
    EXPECT_EQ(client.height, 200 - (origin.y - 100));
}

TEST(GtkWindowSystemXvfb, QuittingWhileADialogIsOpenClosesIt) {
    auto system = MakeSystem();
    struct Events : Recorder {
        using Recorder::Recorder;
        WindowSystem* system = nullptr;
        int boxesReturned = 0, filesReturned = 0;
        void OnTimer(unsigned id) override {
            system->StopTimer(1, id);
            system->Quit(int(id));
        }
        void OnMessage(unsigned message, std::uint64_t a, std::uint64_t) override {
            system->StartTimer(1, unsigned(a), 300);
            if (message == 1) {
                system->ShowMessageBox(1, "Gui Quit Box", "Leaving", true);
                ++boxesReturned;
            } else {
                system->ChooseFileToOpen({1, "Gui Quit Open", "", "", {}, 0});
                ++filesReturned;
            }
        }
    } events(*system);
    events.system = system.get();
    const WindowId w = system->CreateWindow({"Gui Quit Owner", {50, 50, 200, 100}, false, true, "", NoWindow, &events});
    ASSERT_EQ(w, 1u);
    system->ShowWindow(w, ShowMode::Normal);
    system->Post(w, 1, 7);
    EXPECT_EQ(system->RunMessageLoop(), 7);
    EXPECT_EQ(events.boxesReturned, 1);
    system->Post(w, 2, 8);
    EXPECT_EQ(system->RunMessageLoop(), 8);
    EXPECT_EQ(events.filesReturned, 1);
}
