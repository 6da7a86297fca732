#pragma once
#include <Platform/Gui/Events.h>
#include <Platform/Gui/Geometry.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Platform::Gui {

// Windows are named by numbers that are never reused, so a stale number is harmless
// (and a number can cross threads, which a pointer to a window could not).
using WindowId = std::uint64_t;
inline constexpr WindowId NoWindow = 0;

// The window system cannot start: there is no display to open.
class Unavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct WindowSpec {
    std::string title;  // UTF-8
    PixelRect outer;  // the whole window, screen coordinates
    bool popUp = false;  // no caption and no border
    bool resizable = true;
    std::string className;  // groups the program's windows for the desktop
    WindowId owner = NoWindow;  // kept above its owner
    WindowEvents* events = nullptr;
};

enum class ShowMode { Normal, NoActivate, Maximised };

struct Placement {
    PixelRect normal;  // the outer rectangle when neither maximised nor minimised
    bool maximised = false;
    bool minimised = false;
    bool visible = false;
};

enum class CursorShape { Arrow, Wait, Hand, Move, SizeNeSw, SizeNs, SizeNwSe, SizeWe, IBeam, Span, Cross };

struct FileFilter {
    std::string description;
    std::string patterns;  // ";"-separated, such as "*.wav;*.wave"; matched without regard to case
};

struct OpenFileRequest {
    WindowId owner = NoWindow;
    std::string title;
    std::string initialFolder;
    std::string initialName;
    std::vector<FileFilter> filters;
    int filterIndex = 0;
};

struct MenuEntry {
    bool separator = false;
    // "&" marks the mnemonic ("&&" shows one "&"); text after a tab shows at the right.
    std::string label;
    bool checked = false;
    unsigned command = 0;  // handed to the window's OnCommand when the entry is chosen
    // What the entry stands for, given by the menu's owner where the label can change while
    // the entry stays (a numbered list) or two entries can share a label; empty: the label
    // tells. A menu changed while open keeps its highlight on the entry that stands for the
    // same, or on none: never on another command.
    std::string identity{};
};

struct MenuSpec {
    std::string title;  // with "&" marks as in entries
    std::vector<MenuEntry> entries;
};

// What a dialog's handler can do with the running dialog. Items are the template's
// controls by identifier; positions in texts count characters.
class DialogControl {
public:
    virtual std::string ItemText(unsigned item) = 0;
    virtual void SetItemText(unsigned item, const std::string& text) = 0;
    virtual std::pair<int, int> ItemSelection(unsigned item) = 0;  // start, end
    virtual void SetItemSelection(unsigned item, int start, int end) = 0;  // end -1: to the end
    virtual void FocusItem(unsigned item) = 0;
    virtual PixelSize ItemSize(unsigned item) = 0;
    virtual void ResizeItem(unsigned item, PixelSize size) = 0;
    virtual PixelRect DialogRect() = 0;  // screen
    virtual void MoveDialog(const PixelRect& rect) = 0;
    // Closes the dialog; RunTemplateDialog returns `result`.
    virtual void End(int result) = 0;

protected:
    ~DialogControl() = default;
};

class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    virtual void OnInit(DialogControl&) {}
    virtual void OnOk(DialogControl&) {}  // Enter
    virtual void OnCancel(DialogControl&) {}  // Escape
    // The text of an edit item changed (typed, pasted or set).
    virtual void OnTextUpdate(DialogControl&, unsigned /*item*/) {}
    virtual void OnDeactivated(DialogControl&) {}
};

// Sees every key-down before its window does; true consumes it (no character follows).
using AcceleratorFilter = std::function<bool(WindowId window, const KeyEvent& keyDown)>;

// What the toolkit needs of the desktop's window system. All calls but Post and
// TickCount belong to the UI thread.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Windows. A new window is hidden; NoWindow when it could not be made.
    virtual WindowId CreateWindow(const WindowSpec& spec) = 0;
    virtual void ShowWindow(WindowId window, ShowMode mode) = 0;
    // The handler, when one is still attached, gets OnDestroyed first.
    virtual void DestroyWindow(WindowId window) = 0;
    virtual bool WindowExists(WindowId window) const = 0;
    virtual void SetEventHandler(WindowId window, WindowEvents* events) = 0;
    virtual void SetTitle(WindowId window, const std::string& title) = 0;
    virtual void SetKeepAbove(WindowId window, bool above) = 0;

    // Geometry.
    virtual PixelSize ClientSize(WindowId window) const = 0;
    virtual PixelPoint ClientOriginOnScreen(WindowId window) const = 0;
    virtual std::optional<Placement> GetPlacement(WindowId window) const = 0;
    // The client area is never made smaller than this; an absent value lifts the limit.
    virtual void SetMinimumClientSize(WindowId window, std::optional<int> width, std::optional<int> height) = 0;
    // What each monitor leaves to windows (its panels and docks taken off), screen coordinates.
    virtual std::vector<PixelRect> MonitorAreas() const = 0;

    // Painting: the window shows these client rectangles again through OnExpose.
    virtual void Present(WindowId window, const std::vector<PixelRect>& rects) = 0;

    // Messages. Post is safe from any thread; false when the window does not exist.
    virtual bool Post(WindowId window, unsigned message, std::uint64_t a = 0, std::uint64_t b = 0) = 0;
    // Runs the window's OnCommand now (menus and accelerators use it).
    virtual bool SendCommand(WindowId window, unsigned command) = 0;

    // Menus: the bar above the client area, rebuilt whole; none when `menus` is empty.
    virtual void SetMenuBar(WindowId window, const std::vector<MenuSpec>& menus) = 0;

    // Timers: starting an identifier that runs restarts it with the new interval.
    virtual bool StartTimer(WindowId window, unsigned timerId, unsigned intervalMs) = 0;
    virtual bool StopTimer(WindowId window, unsigned timerId) = 0;
    // Milliseconds of a monotonic clock; wraps after 49.7 days.
    virtual std::uint32_t TickCount() const = 0;

    // Input.
    virtual void SetCapture(WindowId window) = 0;
    virtual void ReleaseCapture() = 0;
    virtual WindowId CaptureWindow() const = 0;
    virtual void SetFocus(WindowId window) = 0;
    virtual WindowId FocusWindow() const = 0;
    virtual bool IsKeyDown(unsigned key) const = 0;
    // Whether Num Lock, Caps Lock or Scroll Lock is on; false for any other key.
    virtual bool IsKeyToggled(unsigned key) const = 0;
    virtual void SetCursor(WindowId window, CursorShape shape) = 0;

    // The loop runs until Quit; an exception thrown by a handler stops it and is
    // rethrown here once the loop has been left. A Quit made while no loop runs ends
    // the next loop at once.
    virtual int RunMessageLoop(const AcceleratorFilter& filter = {}) = 0;
    virtual void Quit(int exitCode) = 0;

    // Modal interactions.
    virtual void ShowMessageBox(
        WindowId owner, const std::string& caption, const std::string& text, bool systemModal) = 0;
    // The chosen file's path, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) = 0;
    // A modal dialog made from a template in memory (see DialogTemplate.h), with edit
    // controls as its items; returns what its handler gave End, or -1 when the template
    // could not be read or the loop was asked to quit meanwhile.
    virtual int RunTemplateDialog(
        WindowId owner, const std::vector<std::uint8_t>& dialogTemplate, DialogEvents& events) = 0;
};

// The window system the program uses: the one installed last, else the desktop's
// (GTK) made on first use. The desktop's throws Unavailable when no display opens.
WindowSystem& Current();
// Installs `system` for the rest of the run (or until the next Install); returns the one before.
std::unique_ptr<WindowSystem> Install(std::unique_ptr<WindowSystem> system);

}  // namespace Platform::Gui
