// The blanking windows, on a display that shows Wine two monitors (scripts/test.sh makes one).
#include "Harness.h"

#include <gtest/gtest.h>

#include <vector>

using namespace e2e;

namespace {

std::vector<RECT> SecondaryMonitors()
{
    std::vector<RECT> found;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR h, HDC, LPRECT, LPARAM lp) -> BOOL {
            MONITORINFO mi{};
            mi.cbSize = sizeof mi;
            if (::GetMonitorInfoA(h, &mi) && !(mi.dwFlags & MONITORINFOF_PRIMARY))
                reinterpret_cast<std::vector<RECT>*>(lp)->push_back(mi.rcMonitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(TwoMonitors, EveryMonitorButThePrimaryIsBlankedUntilTheSaverEnds)
{
    const std::vector<RECT> secondary = SecondaryMonitors();
    if (secondary.empty())
        GTEST_SKIP() << "this display shows one monitor";

    const std::string scr = FreshDir("two_monitors") + "\\Blank.scr";
    ASSERT_TRUE(CopyTo(Config().scr, scr));
    Process p;
    ASSERT_TRUE(p.Start(scr, "/s"));

    std::vector<HWND> blanking;
    HWND hSaver = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            blanking.clear();
            hSaver = nullptr;
            for (HWND h : VisibleTopWindows(p.Pid())) {
                if (_stricmp(ClassName(h).c_str(), "Static") == 0)
                    blanking.push_back(h);
                else
                    hSaver = h;
            }
            return hSaver && blanking.size() == secondary.size();
        },
        15000));

    for (size_t i = 0; i < blanking.size(); ++i) {
        SCOPED_TRACE(i);
        HWND h = blanking[i];
        RECT rc;
        ::GetWindowRect(h, &rc);
        bool onAMonitor = false;
        for (const RECT& m : secondary)
            onAMonitor = onAMonitor || SameRect(rc, m);
        EXPECT_TRUE(onAMonitor);
        EXPECT_TRUE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
        const DWORD style = static_cast<DWORD>(::GetWindowLongA(h, GWL_STYLE));
        // The system adds WS_CLIPSIBLINGS to every top-level window itself.
        EXPECT_EQ(DWORD(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN), style & 0xFFFF0000u & ~DWORD(WS_CLIPSIBLINGS));
        EXPECT_EQ(DWORD(SS_BLACKRECT), style & SS_TYPEMASK);
        EXPECT_EQ("", WindowText(h));
    }
    // Both kinds are top-most; the saver window, made last, is above the blanking windows.
    const std::vector<HWND> order = VisibleTopWindows(p.Pid());
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(hSaver, order.front());

    PressKey('Q');
    DWORD code = 1;
    ASSERT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
    for (HWND h : blanking)
        EXPECT_FALSE(::IsWindow(h));
}

}  // namespace
