#pragma once

namespace Platform::Gui {

// The key code for an unshifted key symbol of the desktop (0 when the key has none).
// Keypad keys give their Num Lock meaning when the symbol says so (KP_1 or KP_End).
unsigned KeyCodeForSymbol(unsigned keySymbol);

// The character a key-down produces, 0 for none. `symbol` is the key's symbol with the
// modifiers applied; Ctrl with a letter gives its control character, as the toolkit expects;
// Alt gives none.
unsigned CharacterForKey(unsigned symbol, unsigned keyCode, bool ctrl, bool alt);

}  // namespace Platform::Gui
