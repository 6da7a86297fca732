#pragma once
#include <Platform/Gui/WindowSystem.h>

#include <cstdint>

namespace UI {

// One of the toolkit's eleven mouse cursors, by kind: 0 arrow, 1 wait, 2 hand, 3 move,
// 4 size north-east/south-west, 5 size north/south, 6 size north-west/south-east,
// 7 size west/east, 8 text beam, 9 the span cursor, 10 cross. The window system makes
// and keeps the native cursors (the span cursor once, for the whole run).
class Cursor {
public:
    using Shape = Platform::Gui::CursorShape;
    static constexpr std::uint32_t KindCount = 11;

    Cursor() = default;
    // A shape names its kind (the shapes are listed in kind order).
    Cursor(Shape shape) : m_kind(std::uint32_t(shape)) {}

    // A kind outside 0..10 gives the arrow, kind 0.
    static Cursor FromKind(std::uint32_t kind);

    std::uint32_t Kind() const { return m_kind; }
    Shape GetShape() const { return Shape(m_kind); }
    // Shows the cursor over the window's client area.
    void Apply(Platform::Gui::WindowId window) const;

    friend bool operator==(const Cursor& a, const Cursor& b) { return a.m_kind == b.m_kind; }

private:
    std::uint32_t m_kind = 0;
};

// The arrow over the window's client area.
void SetArrowCursor(Platform::Gui::WindowId window);

}  // namespace UI
