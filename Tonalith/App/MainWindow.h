#pragma once

#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/Util/Path.h>

namespace UI {

class ApplicationInfo;

// The program's single top-level window: loads one audio file at a time and keeps its samples.
class MainWindow : public ApplicationMainWindow {
    QV_OBJECT()
public:
    MainWindow(ApplicationInfo* info, Native::HostWindow* host);
    ~MainWindow() override;

    void Paint(DrawContext& dc) override;

    // Reads the file; on failure the returned message box is what the user is shown.
    std::optional<LoadFailure> loadAudioFile(const Path& path);
    const LoadedAudio& Audio() const { return m_audio; }

    void slotClose();

private:
    LoadedAudio m_audio;
};

}  // namespace UI
