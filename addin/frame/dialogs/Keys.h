#pragma once
// Key codes and shift masks as the toolkit's key events deliver them, and the key
// code a typed character arrives with.

namespace vorra::dialogs {

namespace key {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;  // Enter
inline constexpr int kShift = 16;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kDelete = 46;
// What an input method delivers for a character it composes (Chinese characters).
inline constexpr int kProcessKey = 229;
}  // namespace key

// Shift argument of the key and mouse events: a sum of these.
namespace shift {
inline constexpr int kNone = 0;
inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;
}  // namespace shift

// Mouse button argument of MouseDown.
namespace mouse {
inline constexpr int kLeft = 1;
inline constexpr int kRight = 2;
inline constexpr int kMiddle = 4;
}  // namespace mouse

struct KeyStroke {
    int keyCode = 0;
    int shift = shift::kNone;
};

// The key a user presses to type one character on a US keyboard: letters and digits
// their upper-case code (Shift for capitals and shifted symbols), the common
// punctuation its own key, everything beyond ASCII the input method's code.
constexpr KeyStroke keyForCharacter(char32_t c) {
    if (c >= U'a' && c <= U'z') return {static_cast<int>(c - U'a' + U'A'), shift::kNone};
    if (c >= U'A' && c <= U'Z') return {static_cast<int>(c), shift::kShift};
    if (c >= U'0' && c <= U'9') return {static_cast<int>(c), shift::kNone};
    switch (c) {
        case U' ': return {key::kSpace, shift::kNone};
        case U'\t': return {key::kTab, shift::kNone};
        case U'\n':
        case U'\r': return {key::kReturn, shift::kNone};
        case U';': return {186, shift::kNone};
        case U':': return {186, shift::kShift};
        case U'=': return {187, shift::kNone};
        case U'+': return {187, shift::kShift};
        case U',': return {188, shift::kNone};
        case U'<': return {188, shift::kShift};
        case U'-': return {189, shift::kNone};
        case U'_': return {189, shift::kShift};
        case U'.': return {190, shift::kNone};
        case U'>': return {190, shift::kShift};
        case U'/': return {191, shift::kNone};
        case U'?': return {191, shift::kShift};
        case U'(': return {'9', shift::kShift};
        case U')': return {'0', shift::kShift};
        default: break;
    }
    if (c < 0x80) return {0, shift::kNone};
    return {key::kProcessKey, shift::kNone};
}

}  // namespace vorra::dialogs
