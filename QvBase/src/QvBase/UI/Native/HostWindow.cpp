#include <QvBase/UI/Native/HostWindow.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/MenuBar.h>
#include <QvBase/UI/Native/OnScreenPlacement.h>
#include <QvBase/UI/UpdateTimer.h>

#include <Platform/Gui/RegisteredMessages.h>

#include <atomic>

QV_META_BEGIN(UI::Native::HostWindow, Object)
    QV_SIGNAL(sigPreDestroy)
    QV_SIGNAL(sigUserClosed)
    QV_SIGNAL(sigUserClosed, (Native::HostWindow*, pHost))
    QV_SIGNAL(sigActivated)
    QV_SIGNAL(sigDeactivated)
    QV_META_SLOTS
    QV_SLOT(slotPostClose)
QV_META_END

namespace UI::Native {

namespace {

std::atomic<int> gHostWindows{0};

Settings* Store() {
    Application* app = Application::Current();
    return app ? &app->GetSettings() : nullptr;
}

}  // namespace

void HostWindow::sigPreDestroy() { QV_EMIT(sigPreDestroy); }
void HostWindow::sigUserClosed() { QV_EMIT(sigUserClosed); }
void HostWindow::sigUserClosed(Native::HostWindow* host) { QV_EMIT(sigUserClosed, host); }
void HostWindow::sigActivated() { QV_EMIT(sigActivated); }
void HostWindow::sigDeactivated() { QV_EMIT(sigDeactivated); }

HostWindow::HostWindow(ApplicationInfo* info, const String& name, Frame* frame)
    : Object(name), m_info(info), m_frame(frame) {
    ++gHostWindows;
    if (!m_frame)
        m_frame = new Frame(info, Platform::Gui::NoWindow, nullptr, {0, 0}, String("%1 Frame").Arg(name), {0, 0, 0, 0});
}

HostWindow::~HostWindow() {
    if (m_window != Platform::Gui::NoWindow) {
        DestroySteps();
        auto& system = Platform::Gui::Current();
        const WindowId window = m_window;
        m_window = Platform::Gui::NoWindow;
        system.SetEventHandler(window, nullptr);
        system.DestroyWindow(window);
    }
    --gHostWindows;
    m_updateTimer.reset();
    m_ownMenuBar = nullptr;
    m_menuBar.reset();
    delete m_frame;
    m_frame = nullptr;
    m_dc.reset();
}

int HostWindow::LiveCount() { return gHostWindows; }

unsigned HostWindow::CloseMessage() {
    static const unsigned id = Platform::Gui::RegisterMessage("Quorvel_WM_QV_HOST_CLOSE");
    return id;
}

std::optional<Rect> HostWindow::StoredGeometry() const {
    Settings* store = Store();
    if (!store) return std::nullopt;
    const String text = store->GetString(String("%1.Geometry").Arg(Name()), String());
    if (text.IsEmpty()) return std::nullopt;
    bool ok = false;
    const Rect stored = Rect::FromString(text, &ok);
    if (!ok || stored.IsEmpty()) return std::nullopt;
    return stored;
}

Rect HostWindow::OpeningRect(const Rect& defaultRect, bool keepSize) const {
    const std::vector<Platform::Gui::PixelRect> monitors = Platform::Gui::Current().MonitorAreas();
    if (const std::optional<Rect> stored = StoredGeometry()) {
        const Rect wanted = keepSize ? Rect::FromPointSize(stored->TopLeft(), defaultRect.GetSize()) : *stored;
        // A rectangle on no monitor (one since unplugged) gives way to the default.
        if (const auto placed = PlacedOnScreen(wanted.ToNative(), monitors)) return Rect::FromNative(*placed);
    }
    const auto placed = PlacedOnScreen(defaultRect.ToNative(), monitors);
    return placed ? Rect::FromNative(*placed) : defaultRect;
}

void HostWindow::Create(WindowId owner, WindowId parent, const String& title, const Rect& defaultRect,
    bool maximisedDefault, bool showNow, bool popUp, bool keepSize) {
    if (m_window != Platform::Gui::NoWindow) return;
    m_windowRect = OpeningRect(defaultRect, keepSize);
    Settings* store = Store();
    m_maximised = store ? store->GetBool(String("%1.Maximized").Arg(Name()), maximisedDefault) : maximisedDefault;
    m_popUp = popUp;

    auto& system = Platform::Gui::Current();
    Platform::Gui::WindowSpec spec;
    spec.title = title.CStr();
    spec.outer = m_windowRect.ToNative();
    spec.popUp = popUp;
    spec.resizable = popUp || m_resizable;
    spec.className = String("Qv_%1_v%2_Win32Window")
                         .Arg(m_info ? m_info->Name() : String())
                         .Arg(m_info ? m_info->Version() : 0u)
                         .CStr();
    // The window system has no native child windows: a parent is an owner here.
    spec.owner = parent != Platform::Gui::NoWindow ? parent : owner;
    spec.events = this;
    m_window = system.CreateWindow(spec);
    if (m_window == Platform::Gui::NoWindow) return;
    if (m_topmost) system.SetKeepAbove(m_window, true);
    if (m_minClientWidth || m_minClientHeight)
        system.SetMinimumClientSize(m_window, m_minClientWidth, m_minClientHeight);
    m_dc = std::make_unique<MemoryDrawContext>(String("%1 Memory DrawContext").Arg(Name()));
    // A bar asked for before the window existed is shown now (it updates the client rectangle).
    if (m_ownMenuBar) m_ownMenuBar->Rebuild();
    UpdateClientRect();
    m_frame->SetTarget(m_window, m_dc.get());
    m_geometrySaving = true;
    if (showNow) Show(true);
}

void HostWindow::Show(bool activate) {
    if (m_window == Platform::Gui::NoWindow || m_shown) return;
    using Platform::Gui::ShowMode;
    Platform::Gui::Current().ShowWindow(m_window,
        m_maximised    ? ShowMode::Maximised
            : activate ? ShowMode::Normal
                       : ShowMode::NoActivate);
    m_shown = true;
}

void HostWindow::StartUpdateTimer(unsigned intervalMs) {
    if (!m_updateTimer) m_updateTimer = std::make_unique<UpdateTimer>(m_window, intervalMs, UpdateTimer::SystemTimer);
    m_updateTimer->Start();
}

void HostWindow::SetMinimumClientSize(std::optional<int> width, std::optional<int> height) {
    m_minClientWidth = width;
    m_minClientHeight = height;
    if (m_window != Platform::Gui::NoWindow) Platform::Gui::Current().SetMinimumClientSize(m_window, width, height);
}

void HostWindow::SetMenuBar(std::unique_ptr<CommandDispatch> menuBar) {
    m_ownMenuBar = nullptr;
    m_menuBar = std::move(menuBar);
    UpdateClientRect();
}

MenuBar* HostWindow::GetMenuBar() {
    if (!m_ownMenuBar) {
        auto bar = std::make_unique<MenuBar>();
        MenuBar* made = bar.get();
        SetMenuBar(std::move(bar));
        m_ownMenuBar = made;
        made->AttachTo(this);
    }
    return m_ownMenuBar;
}

void HostWindow::slotPostClose() {
    if (m_window == Platform::Gui::NoWindow || m_closePosted) return;
    m_closePosted = true;
    // The window system asks for a close the way a user does, from the loop.
    const WindowId window = m_window;
    Platform::Gui::Current().Post(window, CloseMessage());
}

Rect HostWindow::GetPlacementRect() const {
    if (m_window == Platform::Gui::NoWindow) return {};
    const std::optional<Platform::Gui::Placement> p = Platform::Gui::Current().GetPlacement(m_window);
    return p ? Rect::FromNative(p->normal) : m_windowRect;
}

void HostWindow::UpdateClientRect() {
    if (m_window == Platform::Gui::NoWindow) return;
    const Platform::Gui::PixelSize size = Platform::Gui::Current().ClientSize(m_window);
    m_clientRect = {0, size.width - 1, 0, size.height - 1};
    if (m_frame && (size.width != m_frame->Width() || size.height != m_frame->Height())) m_frame->Resize(m_clientRect);
}

void HostWindow::DestroySteps() {
    sigPreDestroy();
    if (m_geometrySaving) {
        if (Settings* store = Store()) {
            store->SetString(String("%1.Geometry").Arg(Name()), GetPlacementRect().ToString());
            store->SetBool(String("%1.Maximized").Arg(Name()), m_maximised);
        }
    }
    if (m_updateTimer) m_updateTimer->StopIfRunning();
    if (Application* app = Application::Current(); app && app->MainWindow() == m_window)
        Platform::Gui::Current().Quit(0);
    m_shown = false;
    m_topmost = false;
    m_resizable = true;
    m_maximised = false;
    m_closePosted = false;
    if (m_frame) m_frame->SetTarget(Platform::Gui::NoWindow, nullptr);
}

}  // namespace UI::Native
