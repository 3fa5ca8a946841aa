#include "ui/CreditText.h"
#include "ui/CreditTextPlain.h"
#include "ui/UiDecisions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The byte steps of the inverse: swap the case of ASCII letters, subtract 0x1F from each byte.
std::string SwapCaseAndSubtract(std::string text)
{
    for (char& c : text) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b >= 'A' && b <= 'Z')
            b = static_cast<unsigned char>(b + 32);
        else if (b >= 'a' && b <= 'z')
            b = static_cast<unsigned char>(b - 32);
        c = static_cast<char>(static_cast<unsigned char>(b - 0x1F));
    }
    return text;
}

// The stored form of a credit text, made by the inverse steps: reverse, then the byte steps.
std::string Scramble(std::string plain)
{
    std::reverse(plain.begin(), plain.end());
    return SwapCaseAndSubtract(plain);
}

std::string AllBytesFrom(unsigned first, unsigned last)
{
    std::string s;
    for (unsigned b = first; b <= last; ++b)
        s += static_cast<char>(b);
    return s;
}

}  // namespace

TEST(UiCreditText, UnscrambleUndoesTheInverseSteps)
{
    const std::string cases[] = {
        "",
        "A",
        "Erstellt mit Velliform",
        "0123456789 !\"#$%&'()*+,-./:;<=>?",
        "@AZ[`az{",                             // the letters' neighbours keep their case
        AllBytesFrom(0x01, 0x1E),                // stored bytes wrap past 0xFF when 0x1F is added back
        AllBytesFrom(0x20, 0x7F),
        AllBytesFrom(0x80, 0xFF),                // Windows-1252's upper half, no case swap
        "Gr\xF6\xDF" "e \xA9 2005 \x96 M\xFC" "ller",
    };
    for (const std::string& plain : cases) {
        const std::string stored = Scramble(plain);
        ASSERT_EQ(std::string::npos, stored.find('\0')) << plain;
        EXPECT_EQ(plain, UnscrambleCreditText(stored.c_str())) << plain;
    }
}

TEST(UiCreditText, StoredFormHasNoNulForPrintableText)
{
    // 0x1F is the one plain byte whose stored form is NUL; the printable range never gives it.
    EXPECT_EQ(std::string(1, '\0'), Scramble("\x1F"));
    EXPECT_EQ(std::string::npos, Scramble(AllBytesFrom(0x20, 0xFF)).find('\0'));
}

TEST(UiCreditText, TheBuildsStoredTextUnscramblesToItsPlainText)
{
    EXPECT_EQ(std::string(CREDIT_TEXT_PLAIN_CP1252), UnscrambleCreditText(CREDIT_TEXT_SCRAMBLED));
    EXPECT_EQ(Scramble(CREDIT_TEXT_PLAIN_CP1252), std::string(CREDIT_TEXT_SCRAMBLED));
    EXPECT_EQ(std::string::npos, std::string(CREDIT_TEXT_SCRAMBLED).find(CREDIT_TEXT_PLAIN_CP1252));
}

TEST(UiCreditText, DoubleByteCharactersKeepTheirByteOrder)
{
    // A code page whose lead bytes are 0x81..0x9F (as Shift-JIS's first range); "a" L1 T1 "b".
    auto isLead = [](unsigned char c) { return c >= 0x81 && c <= 0x9F; };
    struct Case {
        std::string plainReversedByCharacter;  // what a double-byte aware reversal gives
        std::string transformed;               // the text after the byte steps, before reversing
    } cases[] = {
        {"b\x81\x40" "a", "a\x81\x40" "b"},
        {"\x82\x41\x83\x42", "\x83\x42\x82\x41"},
        {"xyz", "zyx"},
        {"\x90", "\x90"},  // a lead byte at the very end has no trail byte to keep
    };
    for (const Case& c : cases) {
        const std::string stored = SwapCaseAndSubtract(c.transformed);
        EXPECT_EQ(c.plainReversedByCharacter, UnscrambleCreditText(stored.c_str(), +isLead));
    }
}

TEST(UiCaption, NameReplacesThePlaceholder)
{
    const struct {
        const char* name;
        const char* caption;
    } cases[] = {
        {"Aquarium", "Aquarium Screen Saver"},
        {"", " Screen Saver"},
        {"Tom & Jerry", "Tom & Jerry Screen Saver"},
        {"100%1", "100%1 Screen Saver"},  // the name is not searched for the placeholder
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.caption, FormatCaption("%1 Screen Saver", c.name)) << c.name;
}

TEST(UiConfigDialog, OnlyOkWithoutParentStartsTheDisplayControlPanel)
{
    const int IDOK_ = 1, IDCANCEL_ = 2;
    EXPECT_TRUE(StartsDisplayControlPanel(IDOK_, false));
    EXPECT_FALSE(StartsDisplayControlPanel(IDOK_, true));
    EXPECT_FALSE(StartsDisplayControlPanel(IDCANCEL_, false));
    EXPECT_FALSE(StartsDisplayControlPanel(IDCANCEL_, true));
    EXPECT_FALSE(StartsDisplayControlPanel(-1, false));  // the template could not be loaded
}

TEST(UiLink, OnlyPlainTextStaticsAreDrawnAsLinks)
{
    const struct {
        unsigned style;
        bool link;
    } cases[] = {
        {0x00, true},                 // SS_LEFT
        {0x01, true},                 // SS_CENTER
        {0x02, true},                 // SS_RIGHT
        {0x50020001, true},           // WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER
        {0x101, true},                // SS_NOTIFY is outside the low byte
        {0x03, false},                // SS_ICON
        {0x04, false},                // SS_BLACKRECT
        {0x07, false},                // SS_BLACKFRAME
        {0x0E, false},                // SS_BITMAP
        {0x81, false},                // SS_CENTER | SS_NOPREFIX
        {0x80, false},                // SS_LEFT | SS_NOPREFIX
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.link, IsLinkDrawnStyle(c.style)) << std::hex << c.style;
}

TEST(UiBrowserFallback, ProgramIsCutOutOfTheOpenCommand)
{
    const struct {
        const char* command;
        const char* program;
    } cases[] = {
        {"\"C:\\Browser\\browse.exe\" \"%1\"", "C:\\Browser\\browse.exe"},
        {"\"C:\\Browser\\browse.exe\" -nohome", "C:\\Browser\\browse.exe"},
        {"\"C:\\Program Files\\Browser\\browse.exe\" \"%1\"", "C:\\Program"},  // cut at the blank inside
        {"C:\\Browser\\browse.exe", "C:\\Browser\\browse.exe"},                // unquoted, no blank: unchanged
        {"C:\\Browser\\browse.exe %1", "C:\\Browser\\browse.exe"},
        {"\"C:\\Browser\\browse.exe\"", "C:\\Browser\\browse.exe"},
        {"C:\\Browser\\browse.exe\"", "C:\\Browser\\browse.exe"},              // only a closing quote
        {"\"C:\\Browser\\browse.exe", "C:\\Browser\\browse.exe"},              // only an opening quote
        {"\"\"", ""},
        {"\"", ""},                                                            // one quote: removed once
        {"", ""},
        {" C:\\Browser\\browse.exe", ""},                                      // a leading blank leaves nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.program, ProgramFromOpenCommand(c.command)) << c.command;
}

TEST(UiBrowserFallback, KeyPathMustFitTheClassNameBuffer)
{
    std::string keyPath;
    ASSERT_TRUE(OpenCommandKeyPath("htmlfile", keyPath));
    EXPECT_EQ("htmlfile\\shell\\open\\command", keyPath);

    const std::string longest(60, 'c');
    ASSERT_TRUE(OpenCommandKeyPath(longest, keyPath));
    EXPECT_EQ(79u, keyPath.size());  // with its NUL, exactly the 80 bytes

    keyPath = "unchanged";
    EXPECT_FALSE(OpenCommandKeyPath(longest + "c", keyPath));
    EXPECT_EQ("unchanged", keyPath);
}
