#include <Tonalith/App/MainWindow.h>

#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/RecentFiles.h>
#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/AudioUpdater.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Dialog/MessageBox.h>
#include <QvBase/UI/Dialog/OpenFileDialog.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/Cursor.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/UI/Native/Menu.h>
#include <QvBase/UI/Native/MenuBar.h>
#include <QvBase/UI/Text/Font.h>
#include <QvBase/Util/File.h>

#include <functional>
#include <utility>

QV_META_BEGIN(UI::MainWindow, UI::ApplicationMainWindow)
    QV_META_SLOTS
    QV_SLOT(slotOpen)
    QV_SLOT(slotOpenRecent, (uint, iFile))
    QV_SLOT(slotClose)
QV_META_END

namespace UI {
namespace {

constexpr int kMinimumClientWidth = 662;
constexpr int kMinimumClientHeight = 162;
constexpr unsigned kUpdateIntervalMs = 33;
constexpr std::uint32_t kCtrl = 8;
constexpr std::uint32_t kCanvasRate = 44100;  // the rate shown while no file is

// Runs its action when it goes, unless dismissed: what a load must do on every road out.
class OnExit {
public:
    explicit OnExit(std::function<void()> action) : m_action(std::move(action)) {}
    ~OnExit() {
        if (m_action) m_action();
    }
    void Dismiss() { m_action = nullptr; }

private:
    std::function<void()> m_action;
};

}  // namespace

MainWindow::MainWindow(ApplicationInfo* info, Native::HostWindow* host)
    : ApplicationMainWindow(info, host), m_canvas(std::make_unique<AudioCanvas>(kCanvasRate)) {
    info->SetFont(
        0, SharedPtr<Font>(new Font("arial.ttf", FontDescription{FontRenderType::Outline, 11.0f, 0.0f, 1.0f})));
    host->SetMinimumClientSize(kMinimumClientWidth, kMinimumClientHeight);
    m_updater = std::make_unique<AudioUpdater>();
    auto fileMenu = SharedPtr<Menu>(new Menu());
    host->GetMenuBar()->AddSubMenu("&File", fileMenu);
    buildFileMenu();
    m_view.reset(new EditorView(m_canvas.get(), GetFrame(), this, m_updater.get()));
    GetFrame()->SetRootWindow(this);
    StartUpdates(kUpdateIntervalMs);
}

MainWindow::~MainWindow() {
    // The reader writes into the buffers below until it has stopped.
    m_reader.reset();
    // The displays leave the updater before the samples their calculators read are freed.
    m_view.reset();
    m_updater.reset();
    m_canvas.reset();
    m_audio.Clear();
}

void MainWindow::OnGeometryChanged() { m_view->SetGeometry(0, 0, Width(), Height()); }

void MainWindow::buildFileMenu() {
    MenuBar* bar = HostWindow()->GetMenuBar();
    SharedPtr<Menu> menu = bar ? bar->GetSubMenu(0) : SharedPtr<Menu>();
    if (!menu.Get()) return;
    menu->Clear();
    menu->AddItem(false, "&Open...", false, this, std::nullopt, "1slotOpen()", kCtrl, 'O');
    menu->AddItem(false, "&Close", false, this, std::nullopt, "1slotClose()", kCtrl, 'W');
    Settings* store = Application::Current() ? &Application::Current()->GetSettings() : nullptr;
    m_menuFiles = store ? LoadRecentFiles(*store) : std::vector<String>();
    const std::vector<String>& recent = m_menuFiles;
    if (!recent.empty()) {
        menu->AddItem(true, String(), false, nullptr, std::nullopt, String(), 0, 0);
        // An entry stands for its file, whatever its number: an open menu rebuilt under the
        // user keeps the highlight on the file, not on the row.
        for (std::uint32_t i = 0; i < recent.size(); ++i)
            menu->AddItem(false, String("&%1 %2").Arg(i + 1).Arg(Menu::LiteralLabel(Path::NativeFileNameOf(recent[i]))),
                false, this, i, "1slotOpenRecent(uint)", 0, 0, Path(recent[i]).SpellingKey());
    }
    menu->AddItem(true, String(), false, nullptr, std::nullopt, String(), 0, 0);
    menu->AddItem(false, "&Quit", false, Application::Current(), std::nullopt, "1slotQuit()", kCtrl, 'Q');
    bar->Rebuild();
}

void MainWindow::slotOpen() {
    Settings* store = Application::Current() ? &Application::Current()->GetSettings() : nullptr;
    const String folder = store ? store->GetString("LastFolder", String()) : String();
    const Path file = GetOpenFileName(
        Path(folder), String(), "WAV Files (*.wav)", "*.wav", 0, "Select an audio file", HostWindow()->Handle());
    if (!file.IsEmpty()) loadAudioFile(file);
}

// The entry is looked up in the list the menu shows, not in a fresh read: files that
// vanished since the menu was built would shift the indexes onto another file. A file
// that is gone takes the road of any file that fails to open, and leaves the menu.
void MainWindow::slotOpenRecent(uint iFile) {
    if (iFile >= m_menuFiles.size()) return;
    const Path file(m_menuFiles[iFile]);
    if (loadAudioFile(file)) buildFileMenu();
}

void MainWindow::slotClose() {
    // A load cut short ends here, without a word.
    if (StopReading()) ShowWaiting(false);
    m_view->Clear();
    m_audio.Clear();
    m_canvas->SetSamplingRate(kCanvasRate);
}

void MainWindow::ShowWaiting(bool waiting) {
    // As the window's own cursor it also wins over its children's while the pointer moves.
    SetCursor(waiting ? std::optional<Cursor>(Cursor(Platform::Gui::CursorShape::Wait)) : std::nullopt);
    if (waiting)
        Cursor(Platform::Gui::CursorShape::Wait).Apply(HostWindow()->Handle());
    else
        SetArrowCursor(HostWindow()->Handle());
}

bool MainWindow::StopReading() {
    if (!m_reader) return false;
    m_reader->Cancel();
    m_reader.reset();  // releases the decoder
    GetFrame()->RemoveTimer(m_readTimer);
    m_readTimer = 0;
    m_view->SetReadingProgress(std::nullopt);
    return true;
}

std::optional<LoadFailure> MainWindow::loadAudioFile(const Path& path) {
    // The load this one replaces ends unseen.
    StopReading();
    ShowWaiting(true);
    OnExit arrow([this] { ShowWaiting(false); });
    slotClose();
    // Asking whether a file is there costs no time; a recent entry whose file is gone then
    // leaves the menu at once.
    if (!Util::File(path).Exists()) {
        const LoadFailure failure = CannotOpenFile();
        MessageBox(HostWindow()->Handle(), failure.caption, failure.text, false);
        return failure;
    }
    // The rest of the load, opening the file included, runs on the reader's thread, watched
    // on every tick of the update timer.
    m_readPath = path;
    m_reader = std::make_unique<AudioReader>(path.Text());
    m_readTimer = GetFrame()->AddTimer(this, 0, false);
    m_view->SetReadingProgress(0.0f);
    arrow.Dismiss();
    return std::nullopt;
}

void MainWindow::OnTimer(uint timerId) {
    if (timerId != m_readTimer || !m_reader) return;
    if (m_reader->Done())
        EndLoad();
    else
        m_view->SetReadingProgress(m_reader->Progress());
}

void MainWindow::EndLoad() {
    OnExit arrow([this] { ShowWaiting(false); });
    // The reader keeps the decoder until the load has ended.
    const std::unique_ptr<AudioReader> reader = std::move(m_reader);
    GetFrame()->RemoveTimer(m_readTimer);
    m_readTimer = 0;
    m_view->SetReadingProgress(std::nullopt);
    if (std::optional<LoadFailure> failure = reader->Finish(m_audio)) {
        MessageBox(HostWindow()->Handle(), failure->caption, failure->text, false);
        return;
    }
    m_canvas->SetSamplingRate(m_audio.sampleRate);
    m_view->SetAudio(m_readPath.Text(), m_audio.sampleRate, m_audio.channels, m_audio.frames, m_audio.pointers.data());
    if (Application* app = Application::Current()) {
        AddRecentFile(app->GetSettings(), m_readPath);
        buildFileMenu();
        app->GetSettings().SetString("LastFolder", LastFolderOf(m_readPath));
    }
}

}  // namespace UI
