#include "Harness.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// A saver with no files of its own: the runtime copied under a saver's name.
std::string BareSaver(const std::string& testName)
{
    const std::string dir = FreshDir(testName);
    const std::string scr = dir + "\\Bare.scr";
    EXPECT_TRUE(CopyTo(Config().scr, scr));
    return scr;
}

}  // namespace

TEST(RunModes, UnknownSwitchEndsAtOnceWithoutWindow)
{
    const std::string scr = BareSaver("unknown");
    for (const char* args : {"/x", "/", "-"}) {
        Process p;
        ASSERT_TRUE(p.Start(scr, args));
        DWORD code = 1;
        ASSERT_TRUE(p.WaitExit(15000, &code)) << args;
        EXPECT_EQ(0u, code) << args;
    }
}

TEST(RunModes, RunShowsBlackTopMostWindowOverTheScreenAndEndsOnKey)
{
    const std::string scr = BareSaver("run_key");
    Process p;
    ASSERT_TRUE(p.Start(scr, "/s"));
    HWND h = WaitForTopWindow(p.Pid(), 15000);
    ASSERT_NE(nullptr, h);
    RECT rc;
    ::GetWindowRect(h, &rc);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), rc.right);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), rc.bottom);
    EXPECT_TRUE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(WaitUntil([] { return ScreenPixel(512, 384) == RGB(0, 0, 0) && ScreenPixel(3, 3) == RGB(0, 0, 0); }, 10000));
    SaveScreenshot("run_black");
    PressKey('Q');
    DWORD code = 1;
    ASSERT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}
