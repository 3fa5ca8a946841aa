// The blanking windows: made for every monitor but the primary one, destroyed at shut-down.
#include "app/SaverApp.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

namespace {

TEST(BlankMonitorProc, PrimaryMonitorAndUnreadableMonitorGetNoWindow)
{
    g_blankWindows.clear();
    // The enumeration as the run mode makes it; Wine's virtual display has only a primary monitor.
    ::EnumDisplayMonitors(nullptr, nullptr, &BlankMonitorProc, 0);
    EXPECT_TRUE(g_blankWindows.empty());
    // A monitor whose information cannot be read.
    EXPECT_TRUE(BlankMonitorProc(reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(0x7777)), nullptr, nullptr, 0));
    EXPECT_TRUE(g_blankWindows.empty());
}

TEST(ExitInstance, DestroysAndDeletesEveryBlankingWindow)
{
    g_blankWindows.clear();
    for (int i = 0; i < 3; ++i) {
        auto* pWnd = new CWnd;
        ASSERT_TRUE(pWnd->CreateEx(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | SS_BLACKRECT,
                                   100 * i, 0, 100, 100, nullptr, nullptr));
        g_blankWindows.push_back(pWnd);
    }
    g_blankWindows.push_back(new CWnd);  // a window whose creation failed stays in the list
    std::vector<HWND> handles;
    for (CWnd* p : g_blankWindows)
        handles.push_back(p->m_hWnd);
    SaverApp().ExitInstance();
    EXPECT_TRUE(g_blankWindows.empty());
    for (HWND h : handles) {
        if (h) {
            EXPECT_FALSE(::IsWindow(h));
        }
    }
}

}  // namespace
