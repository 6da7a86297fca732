// How the window system's events reach the frame.
#include <QvBase/UI/Native/HostWindow.h>

#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/HostWindowEmitProxy.h>
#include <QvBase/UI/ToolkitMessages.h>
#include <QvBase/UI/UpdateTimer.h>

namespace UI::Native {

bool HostWindow::Usable() const { return m_frame && !m_frame->IsBeingDestroyed(); }

bool HostWindow::OnCloseRequest() {
    if (Usable()) HostWindowEmitProxy proxy(this);
    return true;
}

void HostWindow::OnDestroyed() {
    if (m_window == Platform::Gui::NoWindow) return;
    DestroySteps();
    m_window = Platform::Gui::NoWindow;
}

void HostWindow::OnPlacementChanged() {
    if (!Usable() || m_window == Platform::Gui::NoWindow) return;
    const std::optional<Platform::Gui::Placement> p = Platform::Gui::Current().GetPlacement(m_window);
    if (!p) return;
    m_maximised = p->maximised;
    if (!p->minimised && p->visible) {
        const Rect normal = Rect::FromNative(p->normal);
        if (normal != m_windowRect) m_windowRect = normal;
    }
    UpdateClientRect();
}

void HostWindow::OnActivated(bool active) {
    if (!Usable()) return;
    if (active)
        sigActivated();
    else
        sigDeactivated();
}

void HostWindow::OnExpose(const Platform::Gui::PixelRect& area, Platform::Gui::ExposeTarget& target) {
    if (!Usable() || !m_dc) return;
    const Rect r = Rect::FromNative(area);
    if (!r.IsEmpty()) m_dc->CopyRectToDevice(r, target);
}

bool HostWindow::OnKey(const Platform::Gui::KeyEvent& e) {
    if (!Usable()) return false;
    const uint raw = e.kind == Platform::Gui::KeyKind::Char ? e.character : e.key;
    return m_frame->OnKey(uint(e.kind), e.key, raw, e.modifiers, e.wasDown);
}

bool HostWindow::OnMouse(const Platform::Gui::MouseEvent& e) {
    if (!Usable()) return false;
    return m_frame->OnMouse(uint(e.kind), {e.point.x, e.point.y}, e.modifiers, e.wheelDelta);
}

bool HostWindow::OnCommand(unsigned command) {
    if (!Usable() || !m_menuBar) return false;
    m_menuBar->Dispatch(command);
    return true;
}

void HostWindow::OnTimer(unsigned timerId) {
    if (!Usable() || !m_updateTimer || timerId != UpdateTimer::TimerId || !m_info) return;
    m_info->FireFrameTimers();
}

void HostWindow::OnMessage(unsigned message, std::uint64_t, std::uint64_t) {
    if (!Usable()) return;
    if (message == CanvasUpdateMessage()) {
        m_frame->OnCanvasUpdate();
    } else if (message == CloseMessage() && m_window != Platform::Gui::NoWindow) {
        // A receiver of the close may delete this window.
        const WindowId window = m_window;
        if (OnCloseRequest()) Platform::Gui::Current().DestroyWindow(window);
    }
}

}  // namespace UI::Native
