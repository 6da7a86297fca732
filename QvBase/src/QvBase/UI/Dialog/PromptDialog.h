#pragma once
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/Util/String.h>

#include <Platform/Gui/WindowSystem.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace UI {

class Frame;

// A one-line text prompt: a borderless modal dialog made from a template built in
// memory, centred on a point, that drops the rejected characters as the user types and
// closes as cancelled when it loses activation.
class PromptDialog {
public:
    static constexpr unsigned EditId = 1001;
    static constexpr std::size_t TemplateSize = 1024;
    // Longer texts read as empty.
    static constexpr std::size_t TextLimit = 100000;

    PromptDialog(const String& text, const String& rejected);

    // 0 accepted (Text() holds the edited text), 1 cancelled or failed.
    int Run(Platform::Gui::WindowId owner, Point centre, std::optional<int> width);

    bool Accepted() const { return m_accepted; }
    bool Cancelled() const { return m_cancelled; }
    const String& Text() const { return m_text; }

    // The template: one edit control 29 by 14 dialog units, font "MS Shell Dlg" at 8 points.
    static std::vector<std::uint8_t> BuildTemplate();

private:
    class Events;
    friend class Events;

    bool m_accepted = false;
    bool m_cancelled = false;
    Platform::Gui::WindowId m_owner = Platform::Gui::NoWindow;
    Point m_centre;
    std::optional<int> m_width;
    String m_text;
    std::u32string m_rejected;
};

// Shows the prompt centred on a point of the frame; true and the edited text on
// acceptance, false and the text unchanged otherwise.
bool PromptText(Frame* frame, Point point, String& text, std::optional<int> width, const String& rejected);

}  // namespace UI
