// The text prompt of the toolkit, as its tests here drive it: its template and its handler.
#pragma once
#include <Platform/Gui/WindowSystem.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gui_test {

using namespace Platform::Gui;

inline void Word(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(std::uint8_t(v & 0xFF));
    b.push_back(std::uint8_t(v >> 8 & 0xFF));
}
inline void Long(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Word(b, v & 0xFFFF);
    Word(b, v >> 16);
}

// The prompt's template, laid out field by field from its table: a pop-up of 29 by 14
// dialog units with the font "MS Shell Dlg" at 8 points and one edit control 1001, in a
// zero-filled block of 1024 bytes.
inline std::vector<std::uint8_t> PromptTemplate() {
    std::vector<std::uint8_t> b;
    Long(b, 0x80080048);
    Long(b, 0x00000080);
    Word(b, 1);
    for (unsigned v : {0u, 0u, 29u, 14u, 0u, 0u, 0u, 8u}) Word(b, v);
    for (char c : std::string("MS Shell Dlg")) Word(b, unsigned(c));
    Word(b, 0);
    while (b.size() % 4) b.push_back(0);
    EXPECT_EQ(b.size(), 52u);  // a = 28 + 2n rounded up to a multiple of 4, n = 12
    Long(b, 0x10001080);
    Long(b, 0x00000001);
    for (unsigned v : {0u, 0u, 29u, 14u, 1001u}) Word(b, v);
    for (std::uint8_t v : {0xFF, 0xFF, 0x81, 0x00}) b.push_back(v);
    b.resize(1024, 0);
    return b;
}

// The text prompt's handler, as the toolkit drives it: strips rejected characters while
// the user types, keeping the caret in place; Enter accepts, Escape and deactivation cancel.
struct Prompt : DialogEvents {
    std::string text;
    std::string rejected;
    std::optional<int> width;
    PixelPoint centre{500, 300};
    bool accepted = false, cancelled = false;

    void OnInit(DialogControl& d) override {
        d.SetItemText(1001, text);
        if (width) d.ResizeItem(1001, {*width, d.ItemSize(1001).height});
        const PixelRect r = d.DialogRect();
        const int w = width ? *width : r.width;
        d.MoveDialog({centre.x - w / 2, centre.y - r.height / 2, w, r.height});
        d.FocusItem(1001);
        d.SetItemSelection(1001, 0, -1);
    }
    void OnOk(DialogControl& d) override {
        text = d.ItemText(1001);
        accepted = true;
        d.End(0);
    }
    void OnCancel(DialogControl& d) override {
        if (accepted || cancelled) return;
        cancelled = true;
        d.End(1);
    }
    void OnDeactivated(DialogControl& d) override { OnCancel(d); }
    void OnTextUpdate(DialogControl& d, unsigned item) override {
        auto [start, end] = d.ItemSelection(item);
        const std::string now = d.ItemText(item);
        std::string kept;
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (rejected.find(now[i]) == std::string::npos) {
                kept += now[i];
            } else if (int(i) < start) {
                --start;
                --end;
            }
        }
        if (kept != now) {
            d.SetItemText(item, kept);
            d.SetItemSelection(item, start, end);
        }
    }
};

}  // namespace gui_test
