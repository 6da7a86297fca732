// Real windows on the X display the test runs on (scripts/with-xvfb gives it one of its own).
#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/Keys.h>
#include <Platform/Gui/RegisteredMessages.h>

#include <gtest/gtest.h>

#include <TestSupport/Desktop.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Platform::Gui;
using namespace std::chrono_literals;

using TestSupport::FindWindow;
using TestSupport::RequestClose;
using TestSupport::RunCommand;
using TestSupport::Screenshot;
using TestSupport::WaitFor;

namespace {

std::unique_ptr<WindowSystem> MakeSystem() {
    if (!std::getenv("DISPLAY"))
        throw std::runtime_error("these tests need an X display: run them under scripts/with-xvfb");
    return MakeGtkWindowSystem();
}

std::string Describe(const MouseEvent& e) {
    static const char* const kinds[] = {
        "LeftDown", "LeftUp", "LeftDouble", "RightDown", "RightUp", "RightDouble", "Move", "Wheel"};
    return std::string(kinds[int(e.kind)]) + " " + std::to_string(e.point.x) + "," + std::to_string(e.point.y) + " m" +
        std::to_string(e.modifiers) + (e.kind == MouseKind::Wheel ? " d" + std::to_string(e.wheelDelta) : "");
}

std::string Describe(const KeyEvent& e) {
    static const char* const kinds[] = {"Down", "Up", "Char"};
    return std::string(kinds[int(e.kind)]) + " " + std::to_string(e.kind == KeyKind::Char ? e.character : e.key) +
        " m" + std::to_string(e.modifiers);
}

// A window painted from its own pixels, recording what reaches it; everything it records
// is read by the script thread, hence the lock.
class PaintedWindow : public WindowEvents {
public:
    static constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

    explicit PaintedWindow(WindowSystem& system) : system_(system), pixels_(200 * 150, kRed) {
        Fill({20, 30, 40, 40}, kGreen);
        Fill({120, 80, 60, 50}, kBlue);
    }

    WindowSystem& system_;
    WindowId id = NoWindow;
    std::vector<std::uint32_t> pixels_;
    std::atomic<int> exposes{0};
    std::atomic<bool> closeAsked{false}, destroyed{false};

    std::vector<std::string> Log() {
        std::lock_guard guard(lock_);
        return log_;
    }
    void ClearLog() {
        std::lock_guard guard(lock_);
        log_.clear();
    }

    void OnExpose(const PixelRect& area, ExposeTarget& target) override {
        target.Copy({pixels_.data(), 200, 150, 200}, area);
        ++exposes;
    }
    bool OnMouse(const MouseEvent& e) override {
        if (e.kind != MouseKind::Move) Add(Describe(e));
        return true;
    }
    bool OnKey(const KeyEvent& e) override {
        Add(Describe(e));
        return true;
    }
    bool OnCloseRequest() override {
        closeAsked = true;
        return true;
    }
    void OnDestroyed() override {
        destroyed = true;
        system_.Quit(0);
    }
    void OnMessage(unsigned message, std::uint64_t a, std::uint64_t) override {
        if (message == RegisterMessage("gui test: give up")) system_.Quit(int(a));
    }

private:
    void Fill(PixelRect r, std::uint32_t c) {
        for (int y = r.y; y < r.Bottom(); ++y)
            for (int x = r.x; x < r.Right(); ++x) pixels_[y * 200 + x] = c;
    }
    void Add(std::string s) {
        std::lock_guard guard(lock_);
        log_.push_back(std::move(s));
    }
    std::mutex lock_;
    std::vector<std::string> log_;
};

}  // namespace

TEST(GtkWindowSystemXvfb, PaintsClicksTypesAndClosesLikeADesktop) {
    auto system = MakeSystem();
    PaintedWindow painted(*system);
    const std::string title = "Gui Xvfb Paint Test";
    painted.id = system->CreateWindow({title, {100, 100, 200, 150}, false, true, "TonalithTest", NoWindow, &painted});
    ASSERT_NE(painted.id, NoWindow);
    system->ShowWindow(painted.id, ShowMode::Normal);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");

    std::vector<std::uint32_t> shot;
    PixelPoint origin{-1, -1};
    std::vector<std::string> clicks, doubleClick, rightAndWheel, keys;
    bool closeSent = false;
    const unsigned giveUp = RegisterMessage("gui test: give up");
    std::thread script([&] {
        auto settle = [&](std::size_t count) {
            WaitFor([&] { return painted.Log().size() >= count; });
            std::this_thread::sleep_for(100ms);  // anything unexpected would arrive meanwhile
            auto log = painted.Log();
            painted.ClearLog();
            return log;
        };
        if (!WaitFor([&] { return painted.exposes > 0; })) {
            system->Post(painted.id, giveUp, 2);
            return;
        }
        std::this_thread::sleep_for(200ms);
        origin = {100, 100};
        shot = Screenshot(100, 100, 200, 150);

        RunCommand("xdotool mousemove 150 160 click 1");
        clicks = settle(2);
        RunCommand("xdotool mousemove 110 110 click --repeat 2 --delay 60 1");
        doubleClick = settle(4);
        RunCommand("xdotool mousemove 130 140 click 3 click 4 click 5");
        rightAndWheel = settle(4);
        RunCommand("xdotool key a keydown shift key b keyup shift key KP_Enter");
        keys = settle(11);
        closeSent = RequestClose(title);
        if (!closeSent || !WaitFor([&] { return painted.destroyed.load(); })) system->Post(painted.id, giveUp, 3);
    });
    const int code = system->RunMessageLoop();
    script.join();

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(closeSent);
    EXPECT_TRUE(painted.closeAsked);
    EXPECT_TRUE(painted.destroyed);
    EXPECT_FALSE(system->WindowExists(painted.id));

    ASSERT_EQ(shot.size(), 200u * 150u) << "no screenshot";
    // Each painted rectangle's corners, and the red just beside them.
    const struct {
        int x, y;
        std::uint32_t colour;
    } samples[] = {{0, 0, PaintedWindow::kRed}, {199, 149, PaintedWindow::kRed}, {20, 30, PaintedWindow::kGreen},
        {59, 69, PaintedWindow::kGreen}, {60, 69, PaintedWindow::kRed}, {120, 80, PaintedWindow::kBlue},
        {179, 129, PaintedWindow::kBlue}, {119, 80, PaintedWindow::kRed}};
    for (const auto& p : samples) EXPECT_EQ(shot[p.y * 200 + p.x], p.colour) << p.x << "," << p.y;

    EXPECT_EQ(clicks, (std::vector<std::string>{"LeftDown 50,60 m1", "LeftUp 50,60 m0"}));
    EXPECT_EQ(doubleClick,
        (std::vector<std::string>{"LeftDown 10,10 m1", "LeftUp 10,10 m0", "LeftDouble 10,10 m1", "LeftUp 10,10 m0"}));
    EXPECT_EQ(rightAndWheel,
        (std::vector<std::string>{
            "RightDown 30,40 m4", "RightUp 30,40 m0", "Wheel 30,40 m0 d120", "Wheel 30,40 m0 d-120"}));
    EXPECT_EQ(keys,
        (std::vector<std::string>{"Down 65 m0", "Char 97 m0", "Up 65 m0", "Down 16 m16", "Down 66 m16", "Char 66 m16",
            "Up 66 m16", "Up 16 m0", "Down 4096 m0", "Char 13 m0", "Up 4096 m0"}));
}
