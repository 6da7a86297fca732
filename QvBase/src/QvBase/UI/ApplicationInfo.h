#pragma once
#include <QvBase/Types.h>
#include <QvBase/UI/Text/Font.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>

#include <vector>

namespace UI {

class Frame;

// What the toolkit knows of the program: name, version, icon, folders, fonts, and the
// frames of all its host windows.
class ApplicationInfo {
public:
    ApplicationInfo(
        const String& name, uint version, uint iconId, const String& resourceFolder, const String& layoutFolder);
    ~ApplicationInfo();
    ApplicationInfo(const ApplicationInfo&) = delete;
    ApplicationInfo& operator=(const ApplicationInfo&) = delete;

    const String& Name() const { return m_name; }
    uint Version() const { return m_version; }
    uint IconId() const { return m_iconId; }
    const String& ResourceFolder() const { return m_resourceFolder; }
    const String& LayoutFolder() const { return m_layoutFolder; }

    // Frames add themselves when built and leave when destroyed.
    const std::vector<Frame*>& Frames() const { return m_frames; }
    void AddFrame(Frame* frame);
    void RemoveFrame(Frame* frame);
    Frame* MainFrame() const { return m_mainFrame; }
    Frame* SecondMainFrame() const { return m_secondMainFrame; }
    void SetMainFrame(Frame* frame) { m_mainFrame = frame; }
    void SetSecondMainFrame(Frame* frame) { m_secondMainFrame = frame; }

    // The table grows to cover the index; unset entries are empty.
    void SetFont(uint index, const SharedPtr<Font>& font);
    // Null for an empty entry or an index beyond the table.
    Font* GetFont(uint index) const;
    uint FontCount() const { return uint(m_fonts.size()); }

    // One frame-timer pass of every frame, in creation order.
    void FireFrameTimers();

private:
    String m_name;
    uint m_version;
    uint m_iconId;
    String m_resourceFolder;
    String m_layoutFolder;
    std::vector<Frame*> m_frames;
    Frame* m_mainFrame = nullptr;
    Frame* m_secondMainFrame = nullptr;
    std::vector<SharedPtr<Font>> m_fonts;
};

}  // namespace UI
