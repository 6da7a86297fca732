#pragma once
#include <Platform/Gui/DialogTemplate.h>
#include <Platform/Gui/WindowSystem.h>

#include <map>
#include <string>

namespace Platform::Gui {

// A template dialog as the fake window system runs it: the test plays the user on it.
// Dialog units are taken with a font of 6 by 13 pixels.
class FakeDialog final : public DialogControl {
public:
    static constexpr int kBaseWidth = 6, kBaseHeight = 13;

    FakeDialog(const DialogTemplate& t, PixelPoint ownerClientOrigin, DialogEvents& events);

    const DialogTemplate& Template() const { return template_; }
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    unsigned FocusedItem() const { return focus_; }

    // Types each character of `text` (UTF-8) into the item, replacing the selection, the
    // handler hearing of every change.
    void Type(unsigned item, const std::string& text);
    void PressEnter() { events_.OnOk(*this); }
    void PressEscape() { events_.OnCancel(*this); }
    void Deactivate() { events_.OnDeactivated(*this); }

    std::string ItemText(unsigned item) override;
    void SetItemText(unsigned item, const std::string& text) override;
    std::pair<int, int> ItemSelection(unsigned item) override;
    void SetItemSelection(unsigned item, int start, int end) override;
    void FocusItem(unsigned item) override;
    PixelSize ItemSize(unsigned item) override;
    void ResizeItem(unsigned item, PixelSize size) override;
    PixelRect DialogRect() override { return rect_; }
    void MoveDialog(const PixelRect& rect) override { rect_ = rect; }
    void End(int result) override;

private:
    struct Item {
        std::u32string text;
        int start = 0, end = 0;
        PixelSize size;
    };
    Item* Find(unsigned item);

    DialogTemplate template_;
    DialogEvents& events_;
    std::map<unsigned, Item> items_;
    PixelRect rect_;
    unsigned focus_ = 0;
    bool ended_ = false;
    int result_ = -1;
};

}  // namespace Platform::Gui
