#include "app/SaverSwitch.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct SwitchCase {
    const char* args;
    RunMode mode;
    int32_t nWindow;
};

const SwitchCase kCases[] = {
    {"", RunMode::ConfigureNoParent, 0},
    {nullptr, RunMode::ConfigureNoParent, 0},
    {"/c:123", RunMode::ConfigureWithParent, 123},
    {"/c 123", RunMode::ConfigureWithParent, 123},
    {"/C:123", RunMode::ConfigureWithParent, 123},
    {"/c:", RunMode::ConfigureWithParent, 0},      // a parent that is no window still counts
    {"/c 0", RunMode::ConfigureWithParent, 0},
    {"/c", RunMode::ConfigureForegroundParent, 0},
    {"/cx", RunMode::ConfigureForegroundParent, 0},
    {"hello", RunMode::ConfigureForegroundParent, 0},
    {"/s", RunMode::Run, 0},
    {"/S", RunMode::Run, 0},
    {"-s", RunMode::Run, 0},
    {"-s /p 99", RunMode::Preview, 99},             // a "/" anywhere wins over any "-"
    {"/p:123", RunMode::Preview, 123},
    {"/p 123", RunMode::Preview, 123},
    {"/P 123", RunMode::Preview, 123},
    {"/l 123", RunMode::Preview, 123},
    {"/L 123", RunMode::Preview, 123},
    {"/p123", RunMode::Preview, 23},                // the character after the letter is skipped
    {"/p", RunMode::Preview, 0},
    {"/p  \t 42x", RunMode::Preview, 42},
    {"/p -5", RunMode::Preview, -5},
    {"/p 4294967297", RunMode::Preview, 1},         // wraps instead of overflowing
    {"/a", RunMode::ChangePassword, 0},
    {"/a 0", RunMode::ChangePassword, 0},
    {"/A:77", RunMode::ChangePassword, 77},
    {"/x", RunMode::None, 0},
    {"/", RunMode::None, 0},
    {"-", RunMode::None, 0},
    {"abc -", RunMode::None, 0},
};

// The command line as the case's name, tabs written out.
void PrintTo(const SwitchCase& c, std::ostream* os)
{
    if (!c.args) {
        *os << "(no command line)";
        return;
    }
    *os << '"';
    for (const char* p = c.args; *p; ++p)
        *os << (*p == '\t' ? "\\t" : std::string(1, *p));
    *os << '"';
}

class SaverSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SaverSwitchTest, SelectsModeAndWindow)
{
    const SwitchCase& c = GetParam();
    const SaverSwitch sw = ParseSaverSwitch(c.args);
    EXPECT_EQ(c.mode, sw.mode);
    EXPECT_EQ(c.nWindow, sw.nWindow);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaverSwitchTest, ::testing::ValuesIn(kCases));

}  // namespace
