#include <Tonalith/App/MainWindow.h>

#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/RecentFiles.h>
#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/AudioUpdater.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Font.h>
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

}  // namespace

MainWindow::MainWindow(ApplicationInfo* info, Native::HostWindow* host)
    : ApplicationMainWindow(info, host), m_canvas(std::make_unique<AudioCanvas>(44100))
{
    info->SetFont(0, SharedPtr<Font>(new Font("arial.ttf", FontDescription{FontRenderType::Outline, 11.0f, 0.0f, 1.0f})));
    host->SetMinimumClientSize(kMinimumClientWidth, kMinimumClientHeight);
    m_updater = std::make_unique<AudioUpdater>();
    m_view.reset(new EditorView(m_canvas.get(), GetFrame(), this, m_updater.get()));
    GetFrame()->SetRootWindow(this);
    StartUpdates(kUpdateIntervalMs);
}

MainWindow::~MainWindow()
{
    // The displays leave the updater before the samples their calculators read are freed.
    m_view.reset();
    m_updater.reset();
    m_canvas.reset();
    m_audio.Clear();
}

void MainWindow::OnGeometryChanged()
{
    m_view->SetGeometry(0, 0, Width(), Height());
}

void MainWindow::slotClose()
{
    m_view->Clear();
    m_audio.Clear();
}

std::optional<LoadFailure> MainWindow::loadAudioFile(const Path& path)
{
    slotClose();
    std::optional<LoadFailure> failure = LoadAudioFile(path.Text(), m_audio);
    if (failure)
        return failure;
    m_view->SetAudio(path.Text(), m_audio.sampleRate, m_audio.channels, m_audio.frames, m_audio.pointers.data());
    if (Application* app = Application::Current()) {
        AddRecentFile(app->GetSettings(), path);
        app->GetSettings().SetString("LastFolder", LastFolderOf(path));
    }
    return std::nullopt;
}

}  // namespace UI
