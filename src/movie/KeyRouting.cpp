#include "movie/KeyRouting.h"

namespace {

// The shift state in the high byte is ignored: "a" and "A" name the same key. A character no
// key types gives 0xFF, which no WM_KEYDOWN in the range carries.
unsigned KeyOfCharacter(char ch, KeyboardLayoutFn layout)
{
    return static_cast<unsigned>(layout(ch)) & 0xFFu;
}

}  // namespace

bool IsLetterOrDigitKey(unsigned vk)
{
    return vk >= LETTER_DIGIT_FIRST && vk <= LETTER_DIGIT_LAST;
}

InputRoute RouteKeyDown(unsigned vk, int nKeyMode, const std::string& strKeys, KeyboardLayoutFn layout)
{
    const bool bInRange = IsLetterOrDigitKey(vk);
    if (vk == VK_CODE_ESCAPE)
        return InputRoute::Saver;
    switch (nKeyMode) {
    case 1:
        return bInRange ? InputRoute::Saver : InputRoute::Movie;
    case 2:
        if (!bInRange)
            return InputRoute::Movie;
        for (char ch : strKeys) {
            if (KeyOfCharacter(ch, layout) == vk)
                return InputRoute::Movie;
        }
        return InputRoute::Saver;
    default:
        return InputRoute::Saver;
    }
}
