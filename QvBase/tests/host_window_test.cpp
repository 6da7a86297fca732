// The host window on the fake window system: creation, its event table, close, geometry.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/UI/UpdateTimer.h>

#include <Platform/Gui/Keys.h>

#include <algorithm>

using namespace toolkit_test;
using Platform::Gui::PixelRect;
using UI::Rect;
namespace Native = UI::Native;

class CloseReceiver : public Object {
    QV_OBJECT()
public:
    explicit CloseReceiver(const char* name, std::vector<std::string>* log) : Object(name), log_(log) {}
    void slotClosed() { log_->push_back(Name().CStr() + std::string(" closed")); }
    void slotClosedBy(Native::HostWindow* host) {
        log_->push_back(Name().CStr() + std::string(" closed by ") + host->Name().CStr());
    }
    void slotNote() { log_->push_back(Name().CStr() + std::string(" note")); }

private:
    std::vector<std::string>* log_;
};

QV_META_BEGIN(CloseReceiver, Object)
    QV_META_SLOTS
    QV_SLOT(slotClosed)
    QV_SLOT(slotClosedBy, (Native::HostWindow*, pHost))
    QV_SLOT(slotNote)
QV_META_END

namespace {

class HostWindowTest : public ToolkitTest {
protected:
    void TearDown() override {
        delete host;
        host = nullptr;
        ToolkitTest::TearDown();
    }
    Native::HostWindow* MakeMain(Rect defaultRect = Rect::FromXYWH(300, 400, 700, 400), bool maximised = false) {
        host = UI::CreateMainHostWindow(info.get(), "Main", defaultRect, maximised, "Title");
        return host;
    }
    const Platform::Gui::FakeWindowSystem::Window& Native() { return *system->Find(host->Handle()); }
    String Stored(const char* key) { return app->GetSettings().GetString(key, "(none)"); }
    bool Called(const std::string& line) {
        const auto calls = system->Calls();
        return std::find(calls.begin(), calls.end(), line) != calls.end();
    }

    Native::HostWindow* host = nullptr;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(HostWindowTest, TheMainHostWindowStartsAtTheDefaultRectangleAndPaintsItsFrame) {
    MakeMain();
    ASSERT_NE(host->Handle(), Platform::Gui::NoWindow);
    EXPECT_EQ(Native().spec.outer, (PixelRect{300, 400, 700, 400}));
    EXPECT_EQ(Native().spec.className, "Qv_Test_v1000_Win32Window");
    EXPECT_EQ(Native().title, "Title");
    EXPECT_TRUE(Native().shown);
    EXPECT_EQ(Native().shownAs, Platform::Gui::ShowMode::Normal);
    EXPECT_EQ(app->MainWindow(), host->Handle());
    EXPECT_EQ(info->MainFrame(), host->GetFrame());
    EXPECT_EQ(info->SecondMainFrame(), host->GetFrame());
    EXPECT_EQ(host->GetFrame()->Name(), "Main Frame");
    EXPECT_EQ(host->DrawContext()->Name(), "Main Memory DrawContext");
    EXPECT_EQ(host->GetFrame()->GetFrameRect(), (Rect{0, 699, 0, 399}));

    auto* main = new UI::ApplicationMainWindow(info.get(), host);
    EXPECT_EQ(main->Name(), "Test Main Window");
    auto* painted = new Probe(host->GetFrame(), main, "painted");
    painted->SetGeometry(10, 20, 30, 40);
    painted->SetColour(0x00FF00);
    host->GetFrame()->SetRootWindow(main);
    system->DispatchPosted();  // the canvas-update message
    EXPECT_EQ(system->ScreenPixel(host->Handle(), 10, 20), 0x00FF00u);
    EXPECT_EQ(system->ScreenPixel(host->Handle(), 39, 59), 0x00FF00u);
    EXPECT_EQ(system->ScreenPixel(host->Handle(), 40, 60), 0u);
    // An expose copies from the memory picture without repainting.
    const int paints = painted->paints;
    system->Expose(host->Handle(), {0, 0, 100, 100});
    EXPECT_EQ(painted->paints, paints);
    EXPECT_EQ(system->ScreenPixel(host->Handle(), 15, 25), 0x00FF00u);
}

TEST_F(HostWindowTest, TimerRowsFireTheFrameTimersOfEveryFrameOnTheUpdateTimerOnly) {
    MakeMain();
    auto* main = new UI::ApplicationMainWindow(info.get(), host);
    auto* w = new Probe(host->GetFrame(), main, "w", &log);
    host->GetFrame()->AddTimer(w, 100, false);
    // Another frame of the program runs from the same tick.
    auto second = std::make_unique<Native::HostWindow>(info.get(), "Second");
    auto* other = new Probe(second->GetFrame(), nullptr, "other", &log);
    second->GetFrame()->AddTimer(other, 50, true);

    system->StartTimer(host->Handle(), 7, 10);  // someone else's timer: fires nothing
    system->AdvanceClock(60);
    EXPECT_TRUE(log.empty());

    main->StartUpdates(33);
    EXPECT_TRUE(Called("StartTimer " + std::to_string(host->Handle()) + " 123722 33"));
    EXPECT_TRUE(host->GetFrame()->UpdatesRunning());
    system->StopTimer(host->Handle(), 7);
    system->AdvanceClock(99);  // ticks at 93, 126, 159
    EXPECT_EQ(log, (std::vector<std::string>{"other Timer 1", "w Timer 1"}));
    host->StartUpdateTimer(10);  // a timer made earlier keeps its first interval
    EXPECT_EQ(host->GetUpdateTimer()->Interval(), 33u);
    main->StartUpdates(10);
    EXPECT_EQ(host->GetFrame()->UpdateTickMs(), 33u);
}

TEST_F(HostWindowTest, KeysAndMouseAreTranslatedForTheFrame) {
    MakeMain();
    auto* root = new Probe(host->GetFrame(), nullptr, "root", &log);
    host->GetFrame()->SetRootWindow(root);
    root->takesKeys = true;
    const auto id = host->Handle();
    using namespace Platform::Gui;
    EXPECT_TRUE(system->TypeKey(id, 'A', 'a', Modifier::Ctrl));
    EXPECT_TRUE(system->InjectKey(id, {KeyKind::Down, Key::KeypadEnter, 0, Modifier::Shift, true}));
    EXPECT_EQ(log,
        (std::vector<std::string>{
            "root KeyDown 65 m8", "root Char 97 m8", "root KeyUp 65 m8", "root KeyDown 4096 m16 repeat"}));
    log.clear();
    EXPECT_TRUE(
        system->InjectMouse(id, {MouseKind::LeftDoubleClick, {5, 6}, Modifier::LeftButton | Modifier::Shift, 0}));
    EXPECT_TRUE(system->InjectMouse(id, {MouseKind::Wheel, {7, 8}, Modifier::Ctrl, 120}));
    root->takesMouse = false;
    EXPECT_FALSE(system->InjectMouse(id, {MouseKind::RightUp, {1, 1}, 0, 0}));
    // The default double click is a second press.
    EXPECT_EQ(log, (std::vector<std::string>{"root LeftDown 5,6 m17", "root Wheel120 7,8 m8"}));
}

TEST_F(HostWindowTest, AUserCloseReachesOnlyTheFirstReceiverThenSavesGeometryAndQuits) {
    MakeMain();
    CloseReceiver first("first", &log), second("second", &log), pre("pre", &log);
    ASSERT_TRUE(Object::Connect(host, "2sigUserClosed()", &first, "1slotClosed()"));
    ASSERT_TRUE(Object::Connect(host, "2sigUserClosed()", &second, "1slotClosed()"));
    ASSERT_TRUE(
        Object::Connect(host, "2sigUserClosed(Native::HostWindow*)", &second, "1slotClosedBy(Native::HostWindow*)"));
    ASSERT_TRUE(Object::Connect(host, "2sigPreDestroy()", &pre, "1slotNote()"));
    system->UserMaximise(host->Handle(), false);
    system->UserResize(host->Handle(), {310, 420, 500, 300});
    system->ClearCalls();
    system->UserClose(host->Handle());
    EXPECT_EQ(log, (std::vector<std::string>{"first closed", "pre note"}));
    EXPECT_EQ(host->Handle(), Platform::Gui::NoWindow);
    EXPECT_EQ(host->GetFrame()->NativeWindow(), Platform::Gui::NoWindow);
    EXPECT_TRUE(Called("Quit 0"));
    EXPECT_EQ(Stored("Main.Geometry"), "[(310,420)-(809,719) 500x300]");
    EXPECT_FALSE(app->GetSettings().GetBool("Main.Maximized", true));
    // The host window object lives on; deleting it later does nothing more to the window system.
    system->ClearCalls();
    delete host;
    host = nullptr;
    EXPECT_TRUE(system->Calls().empty());
}

TEST_F(HostWindowTest, TheSecondCloseSignalCarriesTheHostAndPostCloseActsOnce) {
    MakeMain();
    CloseReceiver receiver("receiver", &log);
    ASSERT_TRUE(
        Object::Connect(host, "2sigUserClosed(Native::HostWindow*)", &receiver, "1slotClosedBy(Native::HostWindow*)"));
    host->slotPostClose();
    host->slotPostClose();
    EXPECT_TRUE(host->ClosePosted());
    system->DispatchPosted();
    EXPECT_EQ(log, std::vector<std::string>{"receiver closed by Main"});
    EXPECT_EQ(host->Handle(), Platform::Gui::NoWindow);
    EXPECT_FALSE(host->ClosePosted());
}

TEST_F(HostWindowTest, ActivationSignalsAndAWindowThatIsNotTheMainOneDoesNotQuit) {
    auto other = std::make_unique<Native::HostWindow>(info.get(), "Other");
    other->Create(0, 0, "Other", Rect::FromXYWH(0, 0, 50, 50), false, true, false, false);
    CloseReceiver on("on", &log), off("off", &log);
    Object::Connect(other.get(), "2sigActivated()", &on, "1slotNote()");
    Object::Connect(other.get(), "2sigDeactivated()", &off, "1slotNote()");
    system->Activate(other->Handle(), true);
    system->Activate(other->Handle(), false);
    EXPECT_EQ(log, (std::vector<std::string>{"on note", "off note"}));
    system->ClearCalls();
    other.reset();  // the destructor destroys the native window with the same steps
    EXPECT_FALSE(Called("Quit 0"));
    EXPECT_EQ(Stored("Other.Geometry"), "[(0,0)-(49,49) 50x50]");
    EXPECT_EQ(Native::HostWindow::LiveCount(), 0);
}

TEST_F(HostWindowTest, StoredGeometryIsRestoredWhenItParsesAndLiesOnAMonitor) {
    auto& settings = app->GetSettings();
    const Rect fallback = Rect::FromXYWH(300, 400, 700, 400);
    auto createdAt = [&](const char* stored, bool keepSize = false) {
        settings.SetString("Probe.Geometry", stored);
        Native::HostWindow probe(info.get(), "Probe");
        probe.Create(0, 0, "Probe", fallback, false, false, false, keepSize);
        return system->Find(probe.Handle())->spec.outer;
    };
    EXPECT_EQ(createdAt("[(10,20)-(109,219) 100x200]"), (PixelRect{10, 20, 100, 200}));
    EXPECT_EQ(createdAt("[(10,20)-(109,219) 99x200]"), (PixelRect{300, 400, 700, 400}));
    EXPECT_EQ(createdAt("garbage"), (PixelRect{300, 400, 700, 400}));
    EXPECT_EQ(createdAt("[(10,20)-(109,219) 100x200]", true), (PixelRect{10, 20, 700, 400}));
    // On no monitor (one since unplugged): the default rectangle.
    EXPECT_EQ(createdAt("[(3000,20)-(3099,219) 100x200]"), (PixelRect{300, 400, 700, 400}));
    system->SetMonitors({{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}});
    EXPECT_EQ(createdAt("[(3000,20)-(3099,219) 100x200]"), (PixelRect{3000, 20, 100, 200}));
    // Across two monitors and wholly on them: as stored. Partly below the shorter one: onto
    // the monitor it overlaps most.
    EXPECT_EQ(createdAt("[(1000,100)-(1699,499) 700x400]"), (PixelRect{1000, 100, 700, 400}));
    EXPECT_EQ(createdAt("[(1000,800)-(1699,1079) 700x280]"), (PixelRect{1280, 800, 700, 280}));
    // Keep size: the stored position with the default size, then kept on the screen.
    EXPECT_EQ(createdAt("[(3000,900)-(3099,1099) 100x200]", true), (PixelRect{2500, 680, 700, 400}));
}

TEST_F(HostWindowTest, AMaximisedWindowSavesItsNormalRectangleAndComesBackMaximised) {
    MakeMain(Rect::FromXYWH(100, 100, 400, 300));
    system->UserMaximise(host->Handle(), true);
    EXPECT_TRUE(host->IsMaximised());
    EXPECT_EQ(host->GetFrame()->Width(), 1280);
    delete host;
    host = nullptr;
    EXPECT_EQ(Stored("Main.Geometry"), "[(100,100)-(499,399) 400x300]");
    EXPECT_TRUE(app->GetSettings().GetBool("Main.Maximized", false));
    MakeMain(Rect::FromXYWH(0, 0, 10, 10));
    EXPECT_EQ(Native().spec.outer, (PixelRect{100, 100, 400, 300}));
    EXPECT_EQ(Native().shownAs, Platform::Gui::ShowMode::Maximised);
}

TEST_F(HostWindowTest, TheMinimumClientSizeHoldsWhileSizingFromEitherEdge) {
    system->SetFrameInsets(4, 20, 4, 4);
    MakeMain(Rect::FromXYWH(100, 100, 800, 300));
    host->SetMinimumClientSize(662, 162);
    EXPECT_TRUE(Called("SetMinimumClientSize " + std::to_string(host->Handle()) + " 662 162"));
    // Dragging the left edge to a client 500 wide keeps the right edge and moves the left back.
    system->UserResize(host->Handle(), {400, 100, 508, 300}, Platform::Gui::FakeWindowSystem::Edge::Left);
    EXPECT_EQ(Native().outer, (PixelRect{238, 100, 670, 300}));
    EXPECT_EQ(host->GetFrame()->Width(), 662);
    system->UserResize(host->Handle(), {238, 100, 670, 100}, Platform::Gui::FakeWindowSystem::Edge::Bottom);
    EXPECT_EQ(host->GetFrame()->Height(), 162);
    EXPECT_EQ(host->ClientRect(), (Rect{0, 661, 0, 161}));
}

TEST_F(HostWindowTest, AWindowNeverCreatedDoesNothing) {
    Native::HostWindow lonely(info.get(), "Lonely");  // Create never called
    lonely.Show(true);
    lonely.slotPostClose();
    EXPECT_EQ(lonely.GetPlacementRect(), Rect{});
    EXPECT_FALSE(lonely.IsShown());
    EXPECT_FALSE(lonely.ClosePosted());
}

TEST_F(HostWindowTest, PlacementFollowsMovesButNotMinimisingAndTheClientOriginIncludesTheBorders) {
    system->SetFrameInsets(4, 20, 4, 4);
    MakeMain(Rect::FromXYWH(100, 100, 308, 224));
    EXPECT_EQ(host->GetFrame()->GetClientOriginOnScreen(), (UI::Point{104, 120}));
    EXPECT_EQ(host->GetFrame()->GetFrameRect(), (Rect{0, 299, 0, 199}));
    system->UserResize(host->Handle(), {50, 60, 308, 224});
    EXPECT_EQ(host->WindowRect(), Rect::FromXYWH(50, 60, 308, 224));
    EXPECT_EQ(host->GetFrame()->GetClientOriginOnScreen(), (UI::Point{54, 80}));
    system->UserMinimise(host->Handle(), true);
    EXPECT_EQ(host->WindowRect(), Rect::FromXYWH(50, 60, 308, 224));
    delete host;
    host = nullptr;
    EXPECT_EQ(Stored("Main.Geometry"), "[(50,60)-(357,283) 308x224]");
}
