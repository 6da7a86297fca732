#pragma once

#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/Util/Path.h>

#include <memory>
#include <vector>

namespace UI {

class ApplicationInfo;
class AudioCanvas;
class AudioUpdater;
class EditorView;

// The program's single top-level window: loads one audio file at a time and keeps its samples.
class MainWindow : public ApplicationMainWindow {
    QV_OBJECT()
public:
    MainWindow(ApplicationInfo* info, Native::HostWindow* host);
    ~MainWindow() override;

    void OnGeometryChanged() override;

    // Starts the load of the file on a thread of its own, opening included; the load ends on
    // this thread once the read has (steps shown, picture bound, recent files). A file that
    // is not there is refused at once and returned, after its message box; every other
    // failure shows its box when the load ends.
    std::optional<LoadFailure> loadAudioFile(const Path& path);
    // Whether a load is opening or reading its file.
    bool IsReading() const { return m_reader != nullptr; }
    const LoadedAudio& Audio() const { return m_audio; }
    EditorView* GetView() const { return m_view.get(); }

    void slotOpen();
    void slotOpenRecent(uint iFile);
    void slotClose();

    void buildFileMenu();

    void OnTimer(uint timerId) override;

private:
    // The steps of a load after its read, once the read has ended.
    void EndLoad();
    // Cancels a running read and forgets it; false when none was running.
    bool StopReading();
    void ShowWaiting(bool waiting);

    std::unique_ptr<AudioCanvas> m_canvas;
    std::unique_ptr<AudioUpdater> m_updater;
    std::unique_ptr<EditorView> m_view;
    LoadedAudio m_audio;
    // The running load, the file it reads and the timer that watches it.
    std::unique_ptr<AudioReader> m_reader;
    Path m_readPath;
    uint m_readTimer = 0;
    // The files the File menu lists, in its order: what its entries open.
    std::vector<String> m_menuFiles;
};

}  // namespace UI
