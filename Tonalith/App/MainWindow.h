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

    // Reads the file; on failure the returned message box is what the user is shown.
    std::optional<LoadFailure> loadAudioFile(const Path& path);
    const LoadedAudio& Audio() const { return m_audio; }
    EditorView* GetView() const { return m_view.get(); }

    void slotOpen();
    void slotOpenRecent(uint iFile);
    void slotClose();

    void buildFileMenu();

private:
    std::unique_ptr<AudioCanvas> m_canvas;
    std::unique_ptr<AudioUpdater> m_updater;
    std::unique_ptr<EditorView> m_view;
    LoadedAudio m_audio;
    // The files the File menu lists, in its order: what its entries open.
    std::vector<String> m_menuFiles;
};

}  // namespace UI
