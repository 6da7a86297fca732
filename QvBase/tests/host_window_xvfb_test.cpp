// The main host window on a real X display: placement, painting, input and close.
#include <ToolkitTesting/DesktopFixture.h>
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/UI/Native/HostWindow.h>

#include <TestSupport/Desktop.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using UI::Rect;

using TestSupport::FindWindow;
using TestSupport::RequestClose;
using TestSupport::RunCommand;
using TestSupport::Screenshot;
using TestSupport::WaitFor;
using TestSupport::WaitForWindow;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
const char* const kTitle = "Toolkit Xvfb Test";

// What reaches the windows, read by the script thread.
struct SharedLog {
    std::mutex lock;
    std::vector<std::string> lines;
    void Add(std::string s) {
        std::lock_guard guard(lock);
        lines.push_back(std::move(s));
    }
    std::vector<std::string> Take() {
        std::lock_guard guard(lock);
        return std::exchange(lines, {});
    }
    std::size_t Size() {
        std::lock_guard guard(lock);
        return lines.size();
    }
};

class Block : public UI::Window {
public:
    Block(UI::Frame* frame, UI::Window* parent, const char* name, SharedLog& log)
        : Window(frame, parent, name), log_(log) {}
    void Paint(UI::DrawContext& dc) override {
        dc.DrawRect({0, Width() - 1, 0, Height() - 1}, UI::DrawRectFilled, GetColour(), EffectiveTransparency());
        Window::Paint(dc);
    }
    bool OnLeftDown(UI::Point p, uint m) override { return Log("LeftDown", p, m); }
    bool OnLeftUp(UI::Point p, uint m) override { return Log("LeftUp", p, m); }

private:
    bool Log(const char* what, UI::Point p, uint m) {
        log_.Add(Name().CStr() + std::string(" ") + what + " " + std::to_string(p.x) + "," + std::to_string(p.y) +
            " m" + std::to_string(m));
        return true;
    }
    SharedLog& log_;
};

// Red, with a blue and a green block; takes keys as the frame's root; gives up on request.
class MainWindow : public UI::ApplicationMainWindow {
public:
    MainWindow(UI::ApplicationInfo* info, UI::Native::HostWindow* host, SharedLog& log)
        : ApplicationMainWindow(info, host), log_(log) {
        SetColour(kRed);
        auto* blue = new Block(GetFrame(), this, "blue", log);
        blue->SetGeometry(100, 100, 50, 50);
        blue->SetColour(kBlue);
        auto* green = new Block(GetFrame(), this, "green", log);
        green->SetGeometry(400, 200, 100, 100);
        green->SetColour(kGreen);
        GetFrame()->SetRootWindow(this);
        GetFrame()->AddTimer(this, 100, false);
        StartUpdates(33);
    }
    void Paint(UI::DrawContext& dc) override {
        dc.DrawRect({0, Width() - 1, 0, Height() - 1}, UI::DrawRectFilled, GetColour(), 0);
        Window::Paint(dc);
    }
    bool OnKeyDown(uint key, uint m, bool) override { return Log("KeyDown " + std::to_string(key), m); }
    bool OnChar(uint c, uint m, bool) override { return Log("Char " + std::to_string(c), m); }
    bool OnKeyUp(uint key, uint m) override { return Log("KeyUp " + std::to_string(key), m); }
    void OnTimer(uint) override {
        if (giveUp) Platform::Gui::Current().Quit(99);
    }
    std::atomic<bool> giveUp{false};

private:
    bool Log(const std::string& s, uint m) {
        log_.Add(s + " m" + std::to_string(m));
        return true;
    }
    SharedLog& log_;
};

class HostWindowXvfb : public toolkit_test::DesktopTest {};

}  // namespace

TEST_F(HostWindowXvfb, TheMainWindowPaintsTakesInputClosesWithZeroAndComesBackWhereItWas) {
    Application app("Quorvel", "ToolkitXvfbTest");
    UI::ApplicationInfo info("Tonalith", 1000, 5, "Tonalith/resources", "UI/Layout");
    SharedLog log;
    const String name = "Tonalith Host Window";

    // First start: nothing stored, so the default rectangle.
    auto* host = UI::CreateMainHostWindow(&info, name, Rect::FromXYWH(300, 400, 700, 400), false, kTitle);
    ASSERT_NE(host->Handle(), Platform::Gui::NoWindow);
    auto* main = new MainWindow(&info, host, log);
    std::vector<std::uint32_t> shot;
    std::vector<std::string> click, keys;
    bool closeSent = false;
    std::thread script([&] {
        auto painted = [] {
            const auto p = Screenshot(305, 405, 1, 1);
            return p.size() == 1 && p[0] == kRed;
        };
        auto settle = [&](std::size_t count) {
            WaitFor([&] { return log.Size() >= count; });
            std::this_thread::sleep_for(100ms);  // anything unexpected would arrive meanwhile
            return log.Take();
        };
        if (!WaitFor(painted)) {
            main->giveUp = true;
            return;
        }
        shot = Screenshot(300, 400, 700, 400);
        RunCommand("xdotool mousemove 420 520 click 1");
        click = settle(2);
        RunCommand("xdotool key a");
        keys = settle(3);
        closeSent = RequestClose(kTitle);
        if (!closeSent) main->giveUp = true;
    });
    const int code = app.Run();
    script.join();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(closeSent);
    EXPECT_EQ(host->Handle(), Platform::Gui::NoWindow);

    ASSERT_EQ(shot.size(), 700u * 400u) << "no screenshot";
    auto at = [&](int x, int y) { return shot[std::size_t(y) * 700 + x]; };
    EXPECT_EQ(at(0, 0), kRed);
    EXPECT_EQ(at(699, 399), kRed);
    EXPECT_EQ(at(100, 100), kBlue);
    EXPECT_EQ(at(149, 149), kBlue);
    EXPECT_EQ(at(150, 150), kRed);
    EXPECT_EQ(at(99, 100), kRed);
    EXPECT_EQ(at(400, 200), kGreen);
    EXPECT_EQ(at(499, 299), kGreen);
    EXPECT_EQ(at(500, 300), kRed);
    EXPECT_EQ(click, (std::vector<std::string>{"blue LeftDown 20,20 m1", "blue LeftUp 20,20 m0"}));
    EXPECT_EQ(keys, (std::vector<std::string>{"KeyDown 65 m0", "Char 97 m0", "KeyUp 65 m0"}));
    EXPECT_EQ(app.GetSettings().GetString("Tonalith Host Window.Geometry", ""), "[(300,400)-(999,799) 700x400]");
    EXPECT_FALSE(app.GetSettings().GetBool("Tonalith Host Window.Maximized", true));
    delete host;

    // Second start: the stored rectangle wins over another default.
    host = UI::CreateMainHostWindow(&info, name, Rect::FromXYWH(10, 10, 200, 100), false, kTitle);
    main = new MainWindow(&info, host, log);
    EXPECT_EQ(host->WindowRect(), (Rect{300, 999, 400, 799}));
    bool closedAgain = false;
    std::thread again([&] {
        if (WaitFor([] {
                const auto p = Screenshot(300, 400, 700, 400);
                return p.size() == 700u * 400u && p[0] == kRed && p.back() == kRed;
            }))
            closedAgain = RequestClose(kTitle);
        if (!closedAgain) main->giveUp = true;
    });
    EXPECT_EQ(app.Run(), 0);
    again.join();
    EXPECT_TRUE(closedAgain);
    EXPECT_EQ(app.GetSettings().GetString("Tonalith Host Window.Geometry", ""), "[(300,400)-(999,799) 700x400]");
    delete host;
}

TEST_F(HostWindowXvfb, AStoredPlacementOpensWhollyOnTheScreenKeepingItsSizeWhenItFits) {
    Application app("Quorvel", "ToolkitXvfbTest");
    UI::ApplicationInfo info("Tonalith", 1000, 5, "Tonalith/resources", "UI/Layout");
    SharedLog log;
    // On Xvfb's one monitor of 1280 x 1024: what is stored, and where the window opens ("x y width height").
    const std::pair<const char*, const char*> cases[] = {
        {"[(100,200)-(799,599) 700x400]", "100 200 700 400"},  // wholly on: as stored
        {"[(-300,200)-(399,599) 700x400]", "0 200 700 400"}, {"[(1000,200)-(1699,599) 700x400]", "580 200 700 400"},
        {"[(100,-150)-(799,249) 700x400]", "100 0 700 400"}, {"[(100,900)-(799,1299) 700x400]", "100 624 700 400"},
        {"[(1270,1015)-(1969,1414) 700x400]", "580 624 700 400"},
        {"[(-699,-399)-(0,0) 700x400]", "0 0 700 400"},  // one pixel on
        {"[(-50,-40)-(1949,1459) 2000x1500]", "0 0 1280 1024"}, {"[(-10,900)-(1389,1199) 1400x300]", "0 724 1280 300"},
        {"[(1280,0)-(1979,399) 700x400]", "300 400 700 400"},  // on no monitor: the default
    };
    int run = 0;
    for (const auto& [stored, opened] : cases) {
        SCOPED_TRACE(stored);
        app.GetSettings().SetString("Tonalith Host Window.Geometry", stored);
        // A title of its own: the window before may not have left the screen yet.
        const std::string title = std::string(kTitle) + " " + std::to_string(++run);
        auto* host = UI::CreateMainHostWindow(
            &info, "Tonalith Host Window", Rect::FromXYWH(300, 400, 700, 400), false, title.c_str());
        auto* main = new MainWindow(&info, host, log);
        std::string geometry;  // as the X server tells it
        std::thread script([&] {
            if (const unsigned long id = WaitForWindow(title) ? FindWindow(title) : 0)
                geometry = RunCommand("xwininfo -id " + std::to_string(id) +
                    " | awk '/Absolute upper-left [XY]|Width|Height/ { printf \"%s%s\", n++ ? \" \" : \"\", $NF }'");
            main->giveUp = true;
        });
        app.Run();
        script.join();
        EXPECT_EQ(geometry, opened);
        delete host;
    }
}
