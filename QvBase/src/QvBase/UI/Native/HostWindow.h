#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/UI/Drawing/Geometry.h>

#include <Platform/Gui/WindowSystem.h>

#include <memory>
#include <optional>

namespace UI {

class ApplicationInfo;
class Frame;
class MemoryDrawContext;
class MenuBar;
class UpdateTimer;

namespace Native {

// Where the window's menu commands go; the menu bar provides it.
class CommandDispatch {
public:
    virtual ~CommandDispatch() = default;
    virtual bool Dispatch(unsigned command) = 0;
};

// The toolkit's one kind of native window: a top-level window that owns a frame, the
// frame's memory draw context and the update timer, turns the window system's events
// into frame operations and keeps its placement in the settings store.
class HostWindow : public Object, private Platform::Gui::WindowEvents {
    QV_OBJECT()
public:
    using WindowId = Platform::Gui::WindowId;

    // Without a frame, the window makes its own, named "<name> Frame".
    HostWindow(ApplicationInfo* info, const String& name, Frame* frame = nullptr);
    ~HostWindow() override;

    void sigPreDestroy();
    void sigUserClosed();
    void sigUserClosed(Native::HostWindow* host);
    void sigActivated();
    void sigDeactivated();
    void slotPostClose();

    // Makes the native window once. The stored "<name>.Geometry" (when it parses and
    // lies on a monitor) replaces the default rectangle; with keepSize only its position.
    void Create(WindowId owner, WindowId parent, const String& title, const Rect& defaultRect, bool maximisedDefault,
        bool showNow, bool popUp, bool keepSize);
    void Show(bool activate);
    void StartUpdateTimer(unsigned intervalMs);
    // The client area never gets smaller than this while the user sizes the window.
    void SetMinimumClientSize(std::optional<int> width, std::optional<int> height);
    void SetResizable(bool resizable) { m_resizable = resizable; }
    void SetTopmost(bool topmost) { m_topmost = topmost; }
    void SetMenuBar(std::unique_ptr<CommandDispatch> menuBar);
    // The window's menu bar, made and shown on the first call.
    MenuBar* GetMenuBar();
    // The bar changed height: the client area follows.
    void MenuBarChanged() { UpdateClientRect(); }

    WindowId Handle() const { return m_window; }
    Frame* GetFrame() const { return m_frame; }
    ApplicationInfo* Info() const { return m_info; }
    MemoryDrawContext* DrawContext() const { return m_dc.get(); }
    UpdateTimer* GetUpdateTimer() const { return m_updateTimer.get(); }
    bool IsShown() const { return m_shown; }
    bool IsMaximised() const { return m_maximised; }
    bool ClosePosted() const { return m_closePosted; }
    const Rect& WindowRect() const { return m_windowRect; }
    const Rect& ClientRect() const { return m_clientRect; }
    // The normal-position rectangle (inclusive edges), whatever the window's state.
    Rect GetPlacementRect() const;

    static int LiveCount();

private:
    bool OnCloseRequest() override;
    void OnDestroyed() override;
    void OnPlacementChanged() override;
    void OnActivated(bool active) override;
    void OnExpose(const Platform::Gui::PixelRect& area, Platform::Gui::ExposeTarget& target) override;
    bool OnKey(const Platform::Gui::KeyEvent& event) override;
    bool OnMouse(const Platform::Gui::MouseEvent& event) override;
    bool OnCommand(unsigned command) override;
    void OnTimer(unsigned timerId) override;
    void OnMessage(unsigned message, std::uint64_t a, std::uint64_t b) override;

    // A close asked for by the program, handled like the user's.
    static unsigned CloseMessage();
    bool Usable() const;
    void DestroySteps();
    void UpdateClientRect();
    std::optional<Rect> StoredGeometry() const;
    // The stored rectangle (with keep size, only its position) or else the default one,
    // within reach on the screen.
    Rect OpeningRect(const Rect& defaultRect, bool keepSize) const;

    ApplicationInfo* m_info;
    WindowId m_window = Platform::Gui::NoWindow;
    bool m_closePosted = false;
    std::unique_ptr<MemoryDrawContext> m_dc;
    Frame* m_frame;
    std::unique_ptr<CommandDispatch> m_menuBar;
    MenuBar* m_ownMenuBar = nullptr;  // m_menuBar when GetMenuBar made it
    bool m_shown = false;
    bool m_resizable = true;
    bool m_topmost = false;
    bool m_popUp = false;
    bool m_maximised = false;
    bool m_geometrySaving = false;
    Rect m_windowRect;
    Rect m_clientRect;
    std::optional<int> m_minClientWidth;
    std::optional<int> m_minClientHeight;
    std::unique_ptr<UpdateTimer> m_updateTimer;
};

}  // namespace Native
}  // namespace UI
