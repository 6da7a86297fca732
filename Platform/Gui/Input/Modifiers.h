#pragma once
#include <Platform/Gui/Keys.h>

namespace Platform::Gui {

// The desktop reports the modifiers as they were before an event; the toolkit wants them
// as they are after it (a Shift key-down already carries Shift, a left-button release no
// longer carries the left button).
inline unsigned KeyModifiersAfter(unsigned before, unsigned key, bool pressed) {
    unsigned bit = key == Key::Shift ? Modifier::Shift : key == Key::Control ? Modifier::Ctrl : 0u;
    return pressed ? (before | bit) : (before & ~bit);
}

// `button` is 1 left, 2 middle, 3 right, as the desktop numbers them; others change nothing.
inline unsigned MouseModifiersAfter(unsigned before, int button, bool pressed) {
    unsigned bit = button == 1 ? Modifier::LeftButton
        : button == 2          ? Modifier::MiddleButton
        : button == 3          ? Modifier::RightButton
                               : 0u;
    return pressed ? (before | bit) : (before & ~bit);
}

}  // namespace Platform::Gui
