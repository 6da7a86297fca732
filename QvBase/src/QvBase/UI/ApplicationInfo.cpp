#include <QvBase/UI/ApplicationInfo.h>

#include <QvBase/UI/Frame.h>

#include <algorithm>

namespace UI {

ApplicationInfo::ApplicationInfo(
    const String& name, uint version, uint iconId, const String& resourceFolder, const String& layoutFolder)
    : m_name(name),
      m_version(version),
      m_iconId(iconId),
      m_resourceFolder(resourceFolder),
      m_layoutFolder(layoutFolder) {}

ApplicationInfo::~ApplicationInfo() = default;

void ApplicationInfo::AddFrame(Frame* frame) { m_frames.push_back(frame); }

void ApplicationInfo::RemoveFrame(Frame* frame) {
    m_frames.erase(std::remove(m_frames.begin(), m_frames.end(), frame), m_frames.end());
    if (m_mainFrame == frame) m_mainFrame = nullptr;
    if (m_secondMainFrame == frame) m_secondMainFrame = nullptr;
}

void ApplicationInfo::SetFont(uint index, const SharedPtr<Font>& font) {
    if (index >= m_fonts.size()) m_fonts.resize(std::size_t(index) + 1);
    m_fonts[index] = font;
}

Font* ApplicationInfo::GetFont(uint index) const { return index < m_fonts.size() ? m_fonts[index].Get() : nullptr; }

void ApplicationInfo::FireFrameTimers() {
    // A timer handler may create or destroy frames.
    const std::vector<Frame*> frames = m_frames;
    for (Frame* frame : frames)
        if (std::find(m_frames.begin(), m_frames.end(), frame) != m_frames.end()) frame->FireTimers();
}

}  // namespace UI
