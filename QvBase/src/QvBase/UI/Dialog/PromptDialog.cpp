#include <QvBase/UI/Dialog/PromptDialog.h>

#include <QvBase/UI/Frame.h>

#include <Platform/Text/Utf8.h>

#include <algorithm>

namespace UI {

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, std::uint16_t(v));
    Put16(b, at + 2, std::uint16_t(v >> 16));
}

std::string ReadItemText(Platform::Gui::DialogControl& control) {
    std::string text = control.ItemText(PromptDialog::EditId);
    if (text.empty() || text.size() > PromptDialog::TextLimit) return {};
    return text;
}

}  // namespace

class PromptDialog::Events final : public Platform::Gui::DialogEvents {
public:
    explicit Events(PromptDialog& prompt) : p_(prompt) {}

    void OnInit(Platform::Gui::DialogControl& c) override {
        c.SetItemText(EditId, p_.m_text.CStr());
        if (p_.m_width) c.ResizeItem(EditId, {*p_.m_width, c.ItemSize(EditId).height});
        const Platform::Gui::PixelRect r = c.DialogRect();
        const int width = p_.m_width.value_or(r.width);
        c.MoveDialog({p_.m_centre.x - width / 2, p_.m_centre.y - r.height / 2, width, r.height});
        c.FocusItem(EditId);
        c.SetItemSelection(EditId, 0, -1);
    }
    void OnOk(Platform::Gui::DialogControl& c) override {
        p_.m_text = String(ReadItemText(c));
        p_.m_accepted = true;
        c.End(0);
    }
    void OnCancel(Platform::Gui::DialogControl& c) override { Cancel(c); }
    void OnDeactivated(Platform::Gui::DialogControl& c) override { Cancel(c); }
    void OnTextUpdate(Platform::Gui::DialogControl& c, unsigned item) override {
        if (item != EditId || p_.m_rejected.empty()) return;
        auto [start, end] = c.ItemSelection(EditId);
        const std::u32string text = Platform::Text::DecodeUtf8(ReadItemText(c));
        std::u32string kept;
        int newStart = start, newEnd = end;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (p_.m_rejected.find(text[i]) == std::u32string::npos) {
                kept.push_back(text[i]);
            } else if (int(i) < start) {
                --newStart;
                --newEnd;
            }
        }
        if (kept == text) return;
        c.SetItemText(EditId, Platform::Text::EncodeUtf8(kept));
        const int length = int(kept.size());
        c.SetItemSelection(EditId, std::clamp(newStart, 0, length), std::clamp(newEnd, 0, length));
    }

private:
    void Cancel(Platform::Gui::DialogControl& c) {
        if (p_.m_accepted || p_.m_cancelled) return;
        p_.m_cancelled = true;
        c.End(1);
    }
    PromptDialog& p_;
};

PromptDialog::PromptDialog(const String& text, const String& rejected)
    : m_text(text), m_rejected(Platform::Text::DecodeUtf8(rejected.CStr())) {}

std::vector<std::uint8_t> PromptDialog::BuildTemplate() {
    std::vector<std::uint8_t> t(TemplateSize, 0);
    Put32(t, 0, 0x80080048);  // pop-up, system menu, font given
    Put32(t, 4, 0x00000080);  // tool window
    Put16(t, 8, 1);
    Put16(t, 14, 29);
    Put16(t, 16, 14);
    Put16(t, 24, 8);
    const std::u32string face = U"MS Shell Dlg";
    std::size_t at = 26;
    for (char32_t c : face) {
        Put16(t, at, std::uint16_t(c));
        at += 2;
    }
    at += 2;  // terminator
    const std::size_t a = (at + 3) / 4 * 4;
    Put32(t, a, 0x10001080);  // visible, wants return, scrolls horizontally
    Put32(t, a + 4, 0x00000001);
    Put16(t, a + 12, 29);
    Put16(t, a + 14, 14);
    Put16(t, a + 16, EditId);
    Put16(t, a + 18, 0xFFFF);
    Put16(t, a + 20, 0x0081);  // the predefined edit control
    return t;
}

int PromptDialog::Run(Platform::Gui::WindowId owner, Point centre, std::optional<int> width) {
    m_owner = owner;
    m_centre = centre;
    m_width = width;
    Events events(*this);
    const int result = Platform::Gui::Current().RunTemplateDialog(owner, BuildTemplate(), events);
    return result == 0 ? 0 : 1;
}

bool PromptText(Frame* frame, Point point, String& text, std::optional<int> width, const String& rejected) {
    if (!frame) return false;
    const Point origin = frame->GetClientOriginOnScreen();
    PromptDialog prompt(text, rejected);
    if (prompt.Run(frame->NativeWindow(), {origin.x + point.x, origin.y + point.y}, width) != 0) return false;
    text = prompt.Text();
    return true;
}

}  // namespace UI
