#include <Platform/Gui/Fake/FakeDialog.h>

#include <Platform/Text/Utf8.h>

#include <algorithm>

namespace Platform::Gui {

namespace {

std::u32string Decode(const std::string& s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + extra >= s.size()) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        char32_t v = extra == 0 ? c : c & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char n = static_cast<unsigned char>(s[i + k]);
            ok = ok && (n & 0xC0) == 0x80;
            v = v << 6 | (n & 0x3F);
        }
        out += ok ? v : U'\uFFFD';
        i += ok ? extra + 1 : 1;
    }
    return out;
}

std::string Encode(const std::u32string& s) {
    std::string out;
    for (char32_t c : s) Text::AppendUtf8(out, c);
    return out;
}

}  // namespace

FakeDialog::FakeDialog(const DialogTemplate& t, PixelPoint origin, DialogEvents& events)
    : template_(t), events_(events) {
    for (const DialogItemTemplate& item : t.items)
        if (item.classAtom == kEditControlAtom && !items_.count(item.id))
            items_[item.id] = {
                Decode(item.text), 0, 0, DialogUnitsToPixels(item.units, kBaseWidth, kBaseHeight).Size()};
    const PixelRect size = DialogUnitsToPixels(t.units, kBaseWidth, kBaseHeight);
    rect_ = {origin.x + size.x, origin.y + size.y, size.width, size.height};
}

FakeDialog::Item* FakeDialog::Find(unsigned item) {
    auto it = items_.find(item);
    return it == items_.end() ? nullptr : &it->second;
}

void FakeDialog::Type(unsigned id, const std::string& text) {
    for (char32_t c : Decode(text)) {
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
    return item ? Encode(item->text) : std::string();
}

void FakeDialog::SetItemText(unsigned id, const std::string& text) {
    Item* item = Find(id);
    if (!item) return;
    item->text = Decode(text);
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
