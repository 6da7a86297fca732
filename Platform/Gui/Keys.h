#pragma once

// Key codes and modifier bits as the toolkit above this layer uses them. Letters and
// digits are their upper-case character codes; the keypad Enter key has a code of its own.
namespace Platform::Gui::Key {

inline constexpr unsigned Backspace = 8;
inline constexpr unsigned Tab = 9;
inline constexpr unsigned Clear = 12;
inline constexpr unsigned Return = 13;
inline constexpr unsigned Shift = 16;
inline constexpr unsigned Control = 17;
inline constexpr unsigned Alt = 18;
inline constexpr unsigned Pause = 19;
inline constexpr unsigned CapsLock = 20;
inline constexpr unsigned Escape = 27;
inline constexpr unsigned Space = 32;
inline constexpr unsigned PageUp = 33;
inline constexpr unsigned PageDown = 34;
inline constexpr unsigned End = 35;
inline constexpr unsigned Home = 36;
inline constexpr unsigned Left = 37;
inline constexpr unsigned Up = 38;
inline constexpr unsigned Right = 39;
inline constexpr unsigned Down = 40;
inline constexpr unsigned PrintScreen = 44;
inline constexpr unsigned Insert = 45;
inline constexpr unsigned Delete = 46;
inline constexpr unsigned Digit0 = '0';  // '0'..'9' follow
inline constexpr unsigned LetterA = 'A';  // 'A'..'Z' follow
inline constexpr unsigned Menu = 93;
inline constexpr unsigned Numpad0 = 96;  // 96..105 for keypad 0..9 with Num Lock on
inline constexpr unsigned Multiply = 106;
inline constexpr unsigned Add = 107;
inline constexpr unsigned Subtract = 109;
inline constexpr unsigned Decimal = 110;
inline constexpr unsigned Divide = 111;
inline constexpr unsigned F1 = 112;  // F1..F24 are 112..135
inline constexpr unsigned NumLock = 144;
inline constexpr unsigned ScrollLock = 145;
inline constexpr unsigned Semicolon = 186;  // ; :
inline constexpr unsigned Plus = 187;  // = +
inline constexpr unsigned Comma = 188;
inline constexpr unsigned Minus = 189;
inline constexpr unsigned Period = 190;
inline constexpr unsigned Slash = 191;  // / ?
inline constexpr unsigned Grave = 192;  // ` ~
inline constexpr unsigned BracketLeft = 219;
inline constexpr unsigned Backslash = 220;
inline constexpr unsigned BracketRight = 221;
inline constexpr unsigned Quote = 222;
inline constexpr unsigned KeypadEnter = 4096;

}  // namespace Platform::Gui::Key

namespace Platform::Gui::Modifier {

inline constexpr unsigned LeftButton = 1;
inline constexpr unsigned MiddleButton = 2;
inline constexpr unsigned RightButton = 4;
inline constexpr unsigned Ctrl = 8;
inline constexpr unsigned Shift = 16;

}  // namespace Platform::Gui::Modifier
