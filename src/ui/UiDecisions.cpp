#include "ui/UiDecisions.h"

#include <algorithm>
#include <cstring>

namespace {

unsigned char SwapAsciiCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + ('a' - 'A'));
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - ('a' - 'A'));
    return c;
}

}  // namespace

std::string UnscrambleCreditText(const char* stored, bool (*isLeadByte)(unsigned char))
{
    std::string text(stored);
    for (char& c : text)
        c = static_cast<char>(SwapAsciiCase(static_cast<unsigned char>(static_cast<unsigned char>(c) + 0x1F)));
    std::reverse(text.begin(), text.end());
    if (isLeadByte) {
        // After the plain reversal a double-byte character stands as trail, lead; turn each
        // such pair back. Scanning from the end of the reversed text meets characters in
        // their original order, so the lead bytes are told apart as the code page reads them.
        for (std::size_t i = text.size(); i >= 2;) {
            const unsigned char lead = static_cast<unsigned char>(text[i - 1]);
            if (isLeadByte(lead)) {
                std::swap(text[i - 1], text[i - 2]);
                i -= 2;
            } else {
                i -= 1;
            }
        }
    }
    return text;
}

std::string FormatCaption(const std::string& captionTemplate, const std::string& name)
{
    std::string caption;
    for (std::size_t i = 0; i < captionTemplate.size(); ++i) {
        if (captionTemplate.compare(i, 2, "%1") == 0) {
            caption += name;
            ++i;
        } else {
            caption += captionTemplate[i];
        }
    }
    return caption;
}

bool StartsDisplayControlPanel(int dialogResult, bool hasParent)
{
    return dialogResult == DIALOG_RESULT_OK && !hasParent;
}

bool IsLinkDrawnStyle(std::uint32_t style)
{
    return (style & 0xFF) <= 2;
}

bool OpenCommandKeyPath(const std::string& className, std::string& keyPath)
{
    if (className.size() + std::strlen(OPEN_COMMAND_SUFFIX) + 1 > HTM_CLASS_BUFFER)
        return false;
    keyPath = className + OPEN_COMMAND_SUFFIX;
    return true;
}

std::string ProgramFromOpenCommand(const std::string& command)
{
    std::string program = command.substr(0, command.find(' '));
    if (!program.empty() && program.front() == '"')
        program.erase(0, 1);
    if (!program.empty() && program.back() == '"')
        program.pop_back();
    return program;
}
