#include <Platform/Gui/Fake/FakeDialog.h>

#include <Platform/Text/Utf8.h>

#include <algorithm>

namespace Platform::Gui {

using Platform::Text::DecodeUtf8;
using Platform::Text::EncodeUtf8;

FakeDialog::FakeDialog(const DialogTemplate& t, PixelPoint origin, DialogEvents& events)
    : template_(t), events_(events) {
    for (const DialogItemTemplate& item : t.items)
        if (item.classAtom == kEditControlAtom && !items_.count(item.id))
            items_[item.id] = {
                DecodeUtf8(item.text), 0, 0, DialogUnitsToPixels(item.units, kBaseWidth, kBaseHeight).Size()};
    const PixelRect size = DialogUnitsToPixels(t.units, kBaseWidth, kBaseHeight);
    rect_ = {origin.x + size.x, origin.y + size.y, size.width, size.height};
}

FakeDialog::Item* FakeDialog::Find(unsigned item) {
    auto it = items_.find(item);
    return it == items_.end() ? nullptr : &it->second;
}

void FakeDialog::Type(unsigned id, const std::string& text) {
    for (char32_t c : DecodeUtf8(text)) {
        Item* item = Find(id);
        if (!item || ended_) return;
        const int start = std::min(item->start, item->end), end = std::max(item->start, item->end);
        item->text.replace(std::size_t(start), std::size_t(end - start), 1, c);
        item->start = item->end = start + 1;
        events_.OnTextUpdate(*this, id);
    }
}

std::string FakeDialog::ItemText(unsigned id) {
    Item* item = Find(id);
    return item ? EncodeUtf8(item->text) : std::string();
}

void FakeDialog::SetItemText(unsigned id, const std::string& text) {
    Item* item = Find(id);
    if (!item) return;
    item->text = DecodeUtf8(text);
    item->start = item->end = 0;
    events_.OnTextUpdate(*this, id);
}

std::pair<int, int> FakeDialog::ItemSelection(unsigned id) {
    Item* item = Find(id);
    return item ? std::pair{item->start, item->end} : std::pair{0, 0};
}

void FakeDialog::SetItemSelection(unsigned id, int start, int end) {
    Item* item = Find(id);
    if (!item) return;
    const int length = int(item->text.size());
    item->start = std::clamp(start, 0, length);
    item->end = end < 0 ? length : std::clamp(end, 0, length);
}

void FakeDialog::FocusItem(unsigned id) {
    if (Find(id)) focus_ = id;
}

PixelSize FakeDialog::ItemSize(unsigned id) {
    Item* item = Find(id);
    return item ? item->size : PixelSize{};
}

void FakeDialog::ResizeItem(unsigned id, PixelSize size) {
    if (Item* item = Find(id)) item->size = size;
}

void FakeDialog::End(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
}

}  // namespace Platform::Gui
