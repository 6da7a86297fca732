#include <Platform/Gui/Gtk/GtkKeys.h>
#include <Platform/Gui/Keys.h>

#include <gdk/gdk.h>

namespace Platform::Gui {

namespace {

struct SymbolCode {
    unsigned symbol;
    unsigned code;
};

constexpr SymbolCode kTable[] = {
    {GDK_KEY_BackSpace, Key::Backspace},
    {GDK_KEY_Tab, Key::Tab},
    {GDK_KEY_ISO_Left_Tab, Key::Tab},
    {GDK_KEY_Clear, Key::Clear},
    {GDK_KEY_Return, Key::Return},
    {GDK_KEY_KP_Enter, Key::KeypadEnter},
    {GDK_KEY_Shift_L, Key::Shift},
    {GDK_KEY_Shift_R, Key::Shift},
    {GDK_KEY_Control_L, Key::Control},
    {GDK_KEY_Control_R, Key::Control},
    {GDK_KEY_Alt_L, Key::Alt},
    {GDK_KEY_Alt_R, Key::Alt},
    {GDK_KEY_Meta_L, Key::Alt},
    {GDK_KEY_Meta_R, Key::Alt},
    {GDK_KEY_ISO_Level3_Shift, Key::Alt},
    {GDK_KEY_Pause, Key::Pause},
    {GDK_KEY_Caps_Lock, Key::CapsLock},
    {GDK_KEY_Escape, Key::Escape},
    {GDK_KEY_space, Key::Space},
    {GDK_KEY_Page_Up, Key::PageUp},
    {GDK_KEY_Page_Down, Key::PageDown},
    {GDK_KEY_End, Key::End},
    {GDK_KEY_Home, Key::Home},
    {GDK_KEY_Left, Key::Left},
    {GDK_KEY_Up, Key::Up},
    {GDK_KEY_Right, Key::Right},
    {GDK_KEY_Down, Key::Down},
    {GDK_KEY_Print, Key::PrintScreen},
    {GDK_KEY_Insert, Key::Insert},
    {GDK_KEY_Delete, Key::Delete},
    {GDK_KEY_Menu, Key::Menu},
    {GDK_KEY_KP_Page_Up, Key::PageUp},
    {GDK_KEY_KP_Page_Down, Key::PageDown},
    {GDK_KEY_KP_End, Key::End},
    {GDK_KEY_KP_Home, Key::Home},
    {GDK_KEY_KP_Left, Key::Left},
    {GDK_KEY_KP_Up, Key::Up},
    {GDK_KEY_KP_Right, Key::Right},
    {GDK_KEY_KP_Down, Key::Down},
    {GDK_KEY_KP_Insert, Key::Insert},
    {GDK_KEY_KP_Delete, Key::Delete},
    {GDK_KEY_KP_Begin, Key::Clear},
    {GDK_KEY_KP_Multiply, Key::Multiply},
    {GDK_KEY_KP_Add, Key::Add},
    {GDK_KEY_KP_Subtract, Key::Subtract},
    {GDK_KEY_KP_Decimal, Key::Decimal},
    {GDK_KEY_KP_Separator, Key::Decimal},
    {GDK_KEY_KP_Divide, Key::Divide},
    {GDK_KEY_Num_Lock, Key::NumLock},
    {GDK_KEY_Scroll_Lock, Key::ScrollLock},
    {GDK_KEY_semicolon, Key::Semicolon},
    {GDK_KEY_equal, Key::Plus},
    {GDK_KEY_comma, Key::Comma},
    {GDK_KEY_minus, Key::Minus},
    {GDK_KEY_period, Key::Period},
    {GDK_KEY_slash, Key::Slash},
    {GDK_KEY_grave, Key::Grave},
    {GDK_KEY_bracketleft, Key::BracketLeft},
    {GDK_KEY_backslash, Key::Backslash},
    {GDK_KEY_bracketright, Key::BracketRight},
    {GDK_KEY_apostrophe, Key::Quote},
};

}  // namespace

unsigned KeyCodeForSymbol(unsigned s) {
    if (s >= GDK_KEY_a && s <= GDK_KEY_z) return Key::LetterA + (s - GDK_KEY_a);
    if (s >= GDK_KEY_A && s <= GDK_KEY_Z) return Key::LetterA + (s - GDK_KEY_A);
    if (s >= GDK_KEY_0 && s <= GDK_KEY_9) return Key::Digit0 + (s - GDK_KEY_0);
    if (s >= GDK_KEY_KP_0 && s <= GDK_KEY_KP_9) return Key::Numpad0 + (s - GDK_KEY_KP_0);
    if (s >= GDK_KEY_F1 && s <= GDK_KEY_F24) return Key::F1 + (s - GDK_KEY_F1);
    for (const SymbolCode& e : kTable)
        if (e.symbol == s) return e.code;
    return 0;
}

unsigned CharacterForKey(unsigned symbol, unsigned keyCode, bool ctrl, bool alt) {
    if (alt) return 0;
    switch (keyCode) {
    case Key::Return:
    case Key::KeypadEnter: return 13;
    case Key::Backspace: return 8;
    case Key::Tab: return 9;
    case Key::Escape: return 27;
    default: break;
    }
    if (ctrl) return keyCode >= 'A' && keyCode <= 'Z' ? keyCode - 'A' + 1 : 0;
    const unsigned c = gdk_keyval_to_unicode(symbol);
    return c >= 0x20 && c != 0x7F ? c : 0;
}

}  // namespace Platform::Gui
