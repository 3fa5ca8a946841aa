#include "movie/KeyRouting.h"

#include <gtest/gtest.h>

namespace {

// A US layout as VkKeyScanA reports it: letters on their capital's code, Shift in the high
// byte for capitals, digits on the digit row, and no key for anything else.
short UsLayout(char ch)
{
    if (ch >= 'a' && ch <= 'z')
        return static_cast<short>(ch - 'a' + 'A');
    if (ch >= 'A' && ch <= 'Z')
        return static_cast<short>(0x0100 | ch);
    if (ch >= '0' && ch <= '9')
        return static_cast<short>(ch);
    return -1;
}

constexpr unsigned VK_A = 'A', VK_B = 'B', VK_C = 'C', VK_7 = '7';
constexpr unsigned VK_SPACE_ = 0x20, VK_RETURN_ = 0x0D, VK_LEFT_ = 0x25, VK_F1_ = 0x70;
constexpr unsigned VK_NUMPAD7_ = 0x67, VK_LWIN_ = 0x5B, VK_DIVIDE_ = 0x6F, VK_F1_BELOW_ = 0x2F;

struct KeyCase {
    const char* name;
    unsigned vk;
    int nKeyMode;
    const char* keys;
    InputRoute expected;
};

const KeyCase kCases[] = {
    // Esc ends the saver in every key mode.
    {"esc mode 0", VK_CODE_ESCAPE, 0, "", InputRoute::Saver},
    {"esc mode 1", VK_CODE_ESCAPE, 1, "", InputRoute::Saver},
    {"esc mode 2", VK_CODE_ESCAPE, 2, "ab", InputRoute::Saver},
    // Key mode 0 gives every key to the saver, function keys and arrows included.
    {"mode 0 F1", VK_F1_, 0, "", InputRoute::Saver},
    {"mode 0 left", VK_LEFT_, 0, "", InputRoute::Saver},
    {"mode 0 A", VK_A, 0, "a", InputRoute::Saver},
    // Key mode 1: the letter-and-digit range ends the saver, the rest is the movie's.
    {"mode 1 A", VK_A, 1, "", InputRoute::Saver},
    {"mode 1 7", VK_7, 1, "", InputRoute::Saver},
    {"mode 1 left", VK_LEFT_, 1, "", InputRoute::Movie},
    {"mode 1 space", VK_SPACE_, 1, "", InputRoute::Movie},
    {"mode 1 enter", VK_RETURN_, 1, "", InputRoute::Movie},
    {"mode 1 F1", VK_F1_, 1, "", InputRoute::Movie},
    {"mode 1 range start", LETTER_DIGIT_FIRST, 1, "", InputRoute::Saver},
    {"mode 1 range end", VK_DIVIDE_, 1, "", InputRoute::Saver},
    {"mode 1 below range", VK_F1_BELOW_, 1, "", InputRoute::Movie},
    {"mode 1 windows key", VK_LWIN_, 1, "", InputRoute::Saver},
    // Key mode 2: listed keys are the movie's, with or without Shift in the listed character.
    {"mode 2 ab A", VK_A, 2, "ab", InputRoute::Movie},
    {"mode 2 ab B", VK_B, 2, "ab", InputRoute::Movie},
    {"mode 2 ab C", VK_C, 2, "ab", InputRoute::Saver},
    {"mode 2 AB A", VK_A, 2, "AB", InputRoute::Movie},
    {"mode 2 AB C", VK_C, 2, "AB", InputRoute::Saver},
    {"mode 2 ab left", VK_LEFT_, 2, "ab", InputRoute::Movie},
    // An empty list behaves as key mode 1.
    {"mode 2 empty A", VK_A, 2, "", InputRoute::Saver},
    {"mode 2 empty left", VK_LEFT_, 2, "", InputRoute::Movie},
    // Digits name the digit row, never the keypad.
    {"mode 2 digits 7", VK_7, 2, "0123456789", InputRoute::Movie},
    {"mode 2 digits numpad 7", VK_NUMPAD7_, 2, "0123456789", InputRoute::Saver},
    // A character no key types matches nothing, not even a key code of 0xFF.
    {"mode 2 untyped", VK_A, 2, "\xE9", InputRoute::Saver},
    // Key mode 3 (and any other) behaves as key mode 0.
    {"mode 3 left", VK_LEFT_, 3, "ab", InputRoute::Saver},
    {"mode 3 A", VK_A, 3, "ab", InputRoute::Saver},
    {"mode 255 F1", VK_F1_, 255, "", InputRoute::Saver},
    {"mode -1 space", VK_SPACE_, -1, "", InputRoute::Saver},
};

TEST(MovieKeyRouting, KeyDownFollowsTheDecisionTable)
{
    for (const KeyCase& c : kCases)
        EXPECT_EQ(c.expected, RouteKeyDown(c.vk, c.nKeyMode, c.keys, &UsLayout)) << c.name;
}

TEST(MovieKeyRouting, MouseMovementGoesWhereTheSettingSays)
{
    EXPECT_EQ(InputRoute::Saver, RouteMouseMove(true));
    EXPECT_EQ(InputRoute::Movie, RouteMouseMove(false));
}

}  // namespace
