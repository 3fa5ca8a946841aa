#include "app/SaverSwitch.h"

#include <cstring>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading white space, an optional sign, then digits up to the first non-digit. Digits beyond
// 32 bits wrap instead of overflowing.
int32_t ReadWindowNumber(const char* p)
{
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

}  // namespace

SaverSwitch ParseSaverSwitch(const char* args)
{
    if (!args)
        args = "";
    // A "/" anywhere wins over any "-".
    const char* sw = std::strchr(args, '/');
    if (!sw)
        sw = std::strchr(args, '-');
    const RunMode noSwitch = *args ? RunMode::ConfigureForegroundParent : RunMode::ConfigureNoParent;
    if (!sw)
        return {noSwitch, 0};

    char letter = sw[1];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    // The number starts two characters after the letter; the one right after it is a separator
    // and is skipped unread. If the text ends at the letter or right after it, there is none.
    const char separator = letter ? sw[2] : '\0';
    const int32_t nWindow = separator ? ReadWindowNumber(sw + 3) : 0;

    switch (letter) {
    case 'C':
        if (separator == ' ' || separator == ':')
            return {RunMode::ConfigureWithParent, nWindow};
        return {noSwitch, 0};
    case 'S':
        return {RunMode::Run, 0};
    case 'A':
        return {RunMode::ChangePassword, nWindow};
    case 'P':
    case 'L':
        return {RunMode::Preview, nWindow};
    default:
        return {RunMode::None, 0};
    }
}
