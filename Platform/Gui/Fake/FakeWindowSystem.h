#pragma once
#include <Platform/Gui/Fake/FakeDialog.h>
#include <Platform/Gui/WindowSystem.h>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Platform::Gui {

// A window system without a desktop, for tests: it records every call as a line of text,
// keeps what a desktop would keep, and lets the test play the user, the clock and the
// answers of dialogs. Nothing happens by itself: the test injects events, advances the
// clock or runs the loop, which dispatches posted messages, asks the idle script for
// more, and otherwise jumps the clock to the next timer.
class FakeWindowSystem final : public WindowSystem {
public:
    struct Timer {
        unsigned intervalMs = 0;
        std::uint32_t due = 0;
    };

    struct Window {
        WindowId id = NoWindow;
        WindowSpec spec;
        WindowEvents* events = nullptr;
        std::string title;
        bool shown = false;
        ShowMode shownAs = ShowMode::Normal;
        bool keepAbove = false;
        bool active = false;
        PixelRect outer;  // where the window is now (the monitor when maximised)
        Placement placement;
        std::optional<int> minWidth, minHeight;
        std::map<unsigned, Timer> timers;
        std::vector<PixelRect> presented;  // every rectangle handed to Present, in order
        std::vector<std::uint32_t> screen;  // what the client area shows, client-sized
        PixelSize screenSize;
        std::optional<CursorShape> cursor;
        std::vector<MenuSpec> menus;
    };

    // The edge a user drags while sizing a window.
    enum class Edge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

    struct MessageBoxShown {
        WindowId owner;
        std::string caption;
        std::string text;
        bool systemModal;
    };

    FakeWindowSystem();

    // ---- what the test inspects ----
    std::vector<std::string> Calls() const;
    void ClearCalls();
    const Window* Find(WindowId id) const;
    std::vector<WindowId> Windows() const;
    // The pixel the window shows at a client point (0 where nothing was painted).
    std::uint32_t ScreenPixel(WindowId id, int x, int y) const;
    const std::vector<MessageBoxShown>& MessageBoxes() const { return messageBoxes_; }
    const std::vector<OpenFileRequest>& OpenFileRequests() const { return openRequests_; }
    std::size_t PendingPosts() const;
    bool LoopRunning() const { return loopDepth_ > 0; }

    // ---- what the test sets ----
    void SetMonitors(std::vector<PixelRect> monitors) { monitors_ = std::move(monitors); }
    // Borders and caption around every client area (none at first).
    void SetFrameInsets(int left, int top, int right, int bottom);
    // The height a menu bar takes from the client area (20 at first).
    void SetMenuBarHeight(int height) { menuBarHeight_ = height; }
    // The next answers of the open-file dialog, in order; with none left it is cancelled.
    void AnswerOpenFile(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
    // The next template dialogs, in order, are played by these scripts, which must end them.
    void AnswerDialog(std::function<void(FakeDialog&)> script) { dialogScripts_.push_back(std::move(script)); }
    // The loop calls it whenever nothing is queued; returning false says nothing more will come.
    void SetIdleScript(std::function<bool()> script) { idle_ = std::move(script); }
    // Turns a lock key (Num Lock, Caps Lock, Scroll Lock) on or off; all are off at first.
    void SetKeyToggled(unsigned key, bool on);

    // ---- what a user or the desktop does ----
    void UserClose(WindowId id);
    // Key-downs pass the accelerator filter of the running loop first.
    bool InjectKey(WindowId id, const KeyEvent& event);
    // Key-down, its character when `character` is not 0, key-up; true when any was taken.
    bool TypeKey(WindowId id, unsigned key, unsigned character = 0, unsigned modifiers = 0);
    bool InjectMouse(WindowId id, const MouseEvent& event);
    // The user drags `edge` so that the outer rectangle would become `proposed`; the
    // minimum client size holds exactly, the opposite edge staying where it is.
    void UserResize(WindowId id, PixelRect proposed, Edge edge = Edge::BottomRight);
    void UserMaximise(WindowId id, bool maximised);
    void UserMinimise(WindowId id, bool minimised);
    void Activate(WindowId id, bool active);
    // The user picks the menu entry with this command; false when the bar has none.
    bool ChooseMenuEntry(WindowId id, unsigned command);
    void Expose(WindowId id, const PixelRect& area);
    void AdvanceClock(std::uint32_t ms);
    std::size_t DispatchPosted();

    // ---- WindowSystem ----
    WindowId CreateWindow(const WindowSpec& spec) override;
    void ShowWindow(WindowId window, ShowMode mode) override;
    void DestroyWindow(WindowId window) override;
    bool WindowExists(WindowId window) const override;
    void SetEventHandler(WindowId window, WindowEvents* events) override;
    void SetTitle(WindowId window, const std::string& title) override;
    void SetKeepAbove(WindowId window, bool above) override;
    PixelSize ClientSize(WindowId window) const override;
    PixelPoint ClientOriginOnScreen(WindowId window) const override;
    std::optional<Placement> GetPlacement(WindowId window) const override;
    void SetMinimumClientSize(WindowId window, std::optional<int> width, std::optional<int> height) override;
    std::vector<PixelRect> MonitorAreas() const override { return monitors_; }
    void Present(WindowId window, const std::vector<PixelRect>& rects) override;
    bool Post(WindowId window, unsigned message, std::uint64_t a = 0, std::uint64_t b = 0) override;
    bool SendCommand(WindowId window, unsigned command) override;
    void SetMenuBar(WindowId window, const std::vector<MenuSpec>& menus) override;
    bool StartTimer(WindowId window, unsigned timerId, unsigned intervalMs) override;
    bool StopTimer(WindowId window, unsigned timerId) override;
    std::uint32_t TickCount() const override;
    void SetCapture(WindowId window) override;
    void ReleaseCapture() override;
    WindowId CaptureWindow() const override { return capture_; }
    void SetFocus(WindowId window) override;
    WindowId FocusWindow() const override { return focus_; }
    bool IsKeyDown(unsigned key) const override;
    bool IsKeyToggled(unsigned key) const override { return toggled_.count(key) != 0; }
    void SetCursor(WindowId window, CursorShape shape) override;
    int RunMessageLoop(const AcceleratorFilter& filter = {}) override;
    void Quit(int exitCode) override;
    void ShowMessageBox(WindowId owner, const std::string& caption, const std::string& text, bool systemModal) override;
    std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) override;
    int RunTemplateDialog(
        WindowId owner, const std::vector<std::uint8_t>& dialogTemplate, DialogEvents& events) override;

private:
    struct Posted {
        WindowId window;
        unsigned message;
        std::uint64_t a, b;
    };

    Window* Get(WindowId id);
    void Log(std::string line) const;
    PixelSize ClientSizeOf(const Window& w) const;
    int TopInset(const Window& w) const;
    void Reshape(Window& w, PixelRect outer);
    bool FireNextTimer(std::uint32_t limit);

    mutable std::mutex lock_;  // guards the call log, the post queue, the live ids and the clock
    mutable std::vector<std::string> calls_;
    std::deque<Posted> posts_;
    std::vector<WindowId> live_;
    std::uint32_t now_ = 0;

    std::map<WindowId, Window> windows_;
    WindowId nextId_ = 1;
    int insetLeft_ = 0, insetTop_ = 0, insetRight_ = 0, insetBottom_ = 0;
    int menuBarHeight_ = 20;
    std::vector<PixelRect> monitors_;
    WindowId capture_ = NoWindow;
    WindowId focus_ = NoWindow;
    std::map<unsigned, int> keysDown_;
    std::set<unsigned> toggled_;
    AcceleratorFilter filter_;
    int loopDepth_ = 0;
    bool quitPending_ = false;
    int exitCode_ = 0;
    std::function<bool()> idle_;
    std::deque<std::optional<std::string>> openAnswers_;
    std::vector<OpenFileRequest> openRequests_;
    std::vector<MessageBoxShown> messageBoxes_;
    std::deque<std::function<void(FakeDialog&)>> dialogScripts_;
};

}  // namespace Platform::Gui
