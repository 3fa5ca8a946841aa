#pragma once
// Which input over the Flash control belongs to the movie and which to the saver. Plain C++:
// the keyboard layout comes in as a function, so that the decision can be tried with any layout.

#include <string>

// What the wrapper does with one message that reached the control's window.
enum class InputRoute {
    Movie,    // the control's own procedure gets it unchanged
    Saver,    // sent, synchronously and unchanged, to the wrapper's parent
    Discard,  // nobody gets it
};

constexpr unsigned VK_CODE_ESCAPE = 0x1B;
// The letter-and-digit range: the digit row, the letters, the Windows and application keys,
// the numeric keypad, and the codes between them.
constexpr unsigned LETTER_DIGIT_FIRST = 0x30;
constexpr unsigned LETTER_DIGIT_LAST = 0x6F;

// The layout's answer for a character, as VkKeyScanA gives it: the virtual-key code in the low
// byte, the shift state in the high byte, -1 when no key types the character.
using KeyboardLayoutFn = short (*)(char ch);

bool IsLetterOrDigitKey(unsigned vk);

// WM_KEYDOWN with virtual-key code vk under the key mode and the keys the movie may keep.
InputRoute RouteKeyDown(unsigned vk, int nKeyMode, const std::string& strKeys, KeyboardLayoutFn layout);

// WM_MOUSEMOVE over the control.
inline InputRoute RouteMouseMove(bool bMouseEndsSaver)
{
    return bMouseEndsSaver ? InputRoute::Saver : InputRoute::Movie;
}
