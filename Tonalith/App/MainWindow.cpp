#include <Tonalith/App/MainWindow.h>

#include <Tonalith/App/RecentFiles.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/HostWindow.h>

QV_META_BEGIN(UI::MainWindow, UI::ApplicationMainWindow)
QV_META_SLOTS
    QV_SLOT(slotClose)
QV_META_END

namespace UI {
namespace {

constexpr int kMinimumClientWidth = 662;
constexpr int kMinimumClientHeight = 162;
constexpr unsigned kUpdateIntervalMs = 33;
constexpr int kToolBarHeight = 105;
constexpr Colour kToolBarColour = 0x3D4558;
constexpr Colour kDisplayColour = 0x2B2F36;

}  // namespace

MainWindow::MainWindow(ApplicationInfo* info, Native::HostWindow* host) : ApplicationMainWindow(info, host)
{
    host->SetMinimumClientSize(kMinimumClientWidth, kMinimumClientHeight);
    GetFrame()->SetRootWindow(this);
    StartUpdates(kUpdateIntervalMs);
}

MainWindow::~MainWindow() = default;

void MainWindow::Paint(DrawContext& dc)
{
    const Transparency t = EffectiveTransparency();
    dc.DrawRect(Rect::FromXYWH(0, 0, Width(), kToolBarHeight), DrawRectFilled, kToolBarColour, t);
    dc.DrawRect(Rect::FromXYWH(0, kToolBarHeight, Width(), Height() - kToolBarHeight), DrawRectFilled,
                kDisplayColour, t);
    Window::Paint(dc);
}

void MainWindow::slotClose()
{
    m_audio.Clear();
}

std::optional<LoadFailure> MainWindow::loadAudioFile(const Path& path)
{
    slotClose();
    std::optional<LoadFailure> failure = LoadAudioFile(path.Text(), m_audio);
    if (failure)
        return failure;
    if (Application* app = Application::Current()) {
        AddRecentFile(app->GetSettings(), path);
        app->GetSettings().SetString("LastFolder", LastFolderOf(path));
    }
    return std::nullopt;
}

}  // namespace UI
