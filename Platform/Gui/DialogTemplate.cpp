#include <Platform/Gui/DialogTemplate.h>

#include <Platform/Text/Utf8.h>

#include <cmath>

namespace Platform::Gui {

namespace {

constexpr std::uint32_t kSetFont = 0x40;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }

    std::uint16_t Word() {
        if (!Need(2)) return 0;
        const std::uint16_t v = std::uint16_t(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    std::int16_t Short() { return std::int16_t(Word()); }
    std::uint32_t Long() {
        const std::uint32_t low = Word();
        return low | std::uint32_t(Word()) << 16;
    }
    void AlignTo4() {
        at_ = (at_ + 3) & ~std::size_t(3);
        if (at_ > size_) ok_ = false;
    }
    void Skip(std::size_t n) {
        if (Need(n)) at_ += n;
    }

    // A NUL-terminated UTF-16 text, as UTF-8; unpaired surrogates become U+FFFD.
    std::string Text() {
        std::string out;
        for (;;) {
            std::uint32_t c = Word();
            if (!ok_ || c == 0) return out;
            if (c >= 0xD800 && c <= 0xDBFF) {
                const std::size_t mark = at_;
                const std::uint32_t low = Word();
                if (ok_ && low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                } else {
                    at_ = mark;  // the lone surrogate is written as U+FFFD
                    ok_ = true;
                }
            }
            Platform::Text::AppendUtf8(out, c);
        }
    }

    // A field that is either absent (0), an ordinal (0xFFFF then a word) or a text.
    void NameOrOrdinal(unsigned& ordinal, std::string& name) {
        const std::size_t mark = at_;
        const std::uint16_t first = Word();
        if (first == 0) return;
        if (first == 0xFFFF) {
            ordinal = Word();
            return;
        }
        at_ = mark;
        name = Text();
    }

private:
    bool Need(std::size_t n) {
        if (!ok_ || size_ - at_ < n || at_ > size_) {
            ok_ = false;
            return false;
        }
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

PixelRect ReadUnits(Reader& r) {
    PixelRect u;
    u.x = r.Short();
    u.y = r.Short();
    u.width = r.Short();
    u.height = r.Short();
    return u;
}

int Scale(int value, int base, int divisor) {
    return int(std::lround(double(value) * base / divisor));  // halves away from zero
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const std::uint8_t* data, std::size_t size) {
    if (!data) return std::nullopt;
    Reader r(data, size);
    DialogTemplate t;
    t.style = r.Long();
    if (r.Ok() && (t.style & 0xFFFF) == 0x0001 && (t.style >> 16) == 0xFFFF)
        return std::nullopt;  // the extended layout, which the toolkit never builds
    t.exStyle = r.Long();
    const unsigned count = r.Word();
    t.units = ReadUnits(r);
    unsigned ordinal = 0;
    std::string name;
    r.NameOrOrdinal(ordinal, name);  // menu
    r.NameOrOrdinal(ordinal, name);  // window class
    t.title = r.Text();
    if (t.style & kSetFont) {
        t.fontPoints = r.Word();
        t.fontFace = r.Text();
    }
    for (unsigned i = 0; i < count && r.Ok(); ++i) {
        r.AlignTo4();
        DialogItemTemplate item;
        item.style = r.Long();
        item.exStyle = r.Long();
        item.units = ReadUnits(r);
        item.id = r.Word();
        r.NameOrOrdinal(item.classAtom, item.className);
        unsigned textOrdinal = 0;
        r.NameOrOrdinal(textOrdinal, item.text);
        const unsigned extra = r.Word();  // creation data, its size counting this word
        if (extra > 2) r.Skip(extra - 2);
        t.items.push_back(std::move(item));
    }
    if (!r.Ok()) return std::nullopt;
    return t;
}

PixelRect DialogUnitsToPixels(const PixelRect& u, int baseWidth, int baseHeight) {
    return {Scale(u.x, baseWidth, 4), Scale(u.y, baseHeight, 8), Scale(u.width, baseWidth, 4),
        Scale(u.height, baseHeight, 8)};
}

}  // namespace Platform::Gui
