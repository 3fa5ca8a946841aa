// The saver window's procedure, driven by real messages sent and posted to a real window.
#include "app/SaverApp.h"
#include "saver/SaverWnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A saver window that notes every message handed on past the input policy.
class CRecordingSaverWnd : public CSaverWnd {
public:
    explicit CRecordingSaverWnd(std::vector<UINT>* pHandedOn, bool* pDeleted)
        : m_pHandedOn(pHandedOn), m_pDeleted(pDeleted)
    {
    }
    ~CRecordingSaverWnd() override { *m_pDeleted = true; }

    BOOL ProcessWindowMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        m_pHandedOn->push_back(message);
        return FALSE;
    }

private:
    std::vector<UINT>* m_pHandedOn;
    bool* m_pDeleted;
};

BOOL ScreenSaverRunning()
{
    BOOL b = FALSE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &b, 0);
    return b;
}

class SaverWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_bCloseRequested = FALSE;
        g_bInPasswordDialog = FALSE;
        g_bEndedByInput = 0;
        UINT old = 0;
        ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &old, 0);
    }

    void TearDown() override
    {
        if (m_pWnd && !m_bDeleted && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        Drain();
        SaverApp().m_nPreviewWidth = 0;
        SaverApp().m_nPreviewHeight = 0;
    }

    void CreateRunMode()
    {
        SaverApp().m_nPreviewWidth = 0;
        m_pWnd = new CRecordingSaverWnd(&m_handedOn, &m_bDeleted);
        ASSERT_TRUE(m_pWnd->CreateFullScreen());
        m_hWnd = m_pWnd->m_hWnd;
        Drain();
        m_handedOn.clear();
    }

    void CreatePreviewMode()
    {
        m_parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112, nullptr,
                                     nullptr, nullptr, nullptr);
        SaverApp().m_nPreviewWidth = 152;
        SaverApp().m_nPreviewHeight = 112;
        m_pWnd = new CRecordingSaverWnd(&m_handedOn, &m_bDeleted);
        ASSERT_TRUE(m_pWnd->CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, 0, 0, 152, 112,
                                     m_parent, nullptr));
        m_hWnd = m_pWnd->m_hWnd;
        Drain();
        m_handedOn.clear();
    }

    // Whether a WM_CLOSE waits in the queue for the window; it stays there.
    bool ClosePosted()
    {
        MSG msg;
        return ::PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != FALSE;
    }

    // Dispatches whatever is queued, the quit message of a destroyed saver included.
    void Drain()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT)
                ::DispatchMessageA(&msg);
    }

    bool HandedOn(UINT message) const
    {
        for (UINT m : m_handedOn)
            if (m == message)
                return true;
        return false;
    }

    CRecordingSaverWnd* m_pWnd = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_parent = nullptr;
    std::vector<UINT> m_handedOn;
    bool m_bDeleted = false;
};

TEST_F(SaverWindowTest, InputPostsCloseAndTheCloseSequenceDestroysAndDeletes)
{
    struct Input {
        UINT message;
        WPARAM wParam;
    };
    for (Input in : {Input{WM_KEYDOWN, 'Q'}, Input{WM_SYSKEYDOWN, VK_F4}, Input{WM_LBUTTONDOWN, 0},
                     Input{WM_RBUTTONDOWN, 0}, Input{WM_MBUTTONDOWN, 0}}) {
        SCOPED_TRACE(in.message);
        SetUp();
        m_bDeleted = false;
        CreateRunMode();
        EXPECT_TRUE(ScreenSaverRunning());
        ::SendMessageA(m_hWnd, in.message, in.wParam, 0);
        EXPECT_TRUE(HandedOn(in.message));
        // Posted, not sent: the window is still there until the queue is read.
        EXPECT_TRUE(::IsWindow(m_hWnd));
        EXPECT_TRUE(ClosePosted());
        EXPECT_EQ(1, g_bEndedByInput);
        Drain();
        EXPECT_FALSE(::IsWindow(m_hWnd));
        EXPECT_TRUE(m_bDeleted);
        EXPECT_FALSE(ScreenSaverRunning());
        EXPECT_FALSE(HandedOn(WM_CLOSE));
    }
}

TEST_F(SaverWindowTest, MouseMoveClosesOnlyBeyondTheThreshold)
{
    ::SetCursorPos(300, 300);
    CreateRunMode();
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(900, 900));  // its coordinates are not read
    EXPECT_FALSE(ClosePosted());
    ::SetCursorPos(350, 250);
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(ClosePosted());
    ::SetCursorPos(351, 300);
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(ClosePosted());
}

TEST_F(SaverWindowTest, CloseBeforeAnyRequestDoesNothingInRunModeAndIsNotHandedOn)
{
    CreateRunMode();
    ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    Drain();
    EXPECT_TRUE(::IsWindow(m_hWnd));
    EXPECT_FALSE(HandedOn(WM_CLOSE));
    EXPECT_TRUE(ScreenSaverRunning());
}

TEST_F(SaverWindowTest, CloseInPreviewModeClosesAndLeavesTheRunningFlagAlone)
{
    CreatePreviewMode();
    EXPECT_FALSE(ScreenSaverRunning());
    ::SendMessageA(m_hWnd, WM_KEYDOWN, 'Q', 0);
    ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, 0, 0);
    ::SetCursorPos(900, 700);
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, 0);
    ::SendMessageA(m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(ClosePosted());
    ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(HandedOn(WM_CLOSE));
    EXPECT_FALSE(::IsWindow(m_hWnd));
    EXPECT_TRUE(m_bDeleted);
    EXPECT_FALSE(ScreenSaverRunning());
    ::DestroyWindow(m_parent);
}

TEST_F(SaverWindowTest, SystemCommandsSwallowedInRunModeOnly)
{
    CreateRunMode();
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(HandedOn(WM_SYSCOMMAND));
    EXPECT_TRUE(::IsWindow(m_hWnd));
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_TRUE(HandedOn(WM_SYSCOMMAND));
    ::DestroyWindow(m_hWnd);
    Drain();

    m_handedOn.clear();
    m_bDeleted = false;
    CreatePreviewMode();
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_TRUE(HandedOn(WM_SYSCOMMAND));
    ::DestroyWindow(m_parent);
}

TEST_F(SaverWindowTest, DeactivationClosesButDoesNotCountAsInput)
{
    for (UINT message : {UINT(WM_ACTIVATE), UINT(WM_ACTIVATEAPP), UINT(WM_NCACTIVATE)}) {
        SCOPED_TRACE(message);
        SetUp();
        m_bDeleted = false;
        CreateRunMode();
        ::SendMessageA(m_hWnd, message, TRUE, 0);
        EXPECT_FALSE(ClosePosted());
        ::SendMessageA(m_hWnd, message, 0, 0);
        EXPECT_TRUE(ClosePosted());
        EXPECT_EQ(0, g_bEndedByInput);
        Drain();
        EXPECT_FALSE(::IsWindow(m_hWnd));
    }
}

TEST_F(SaverWindowTest, PasswordDialogFlagSuspendsEveryRule)
{
    CreateRunMode();
    g_bInPasswordDialog = TRUE;
    ::SendMessageA(m_hWnd, WM_KEYDOWN, 'Q', 0);
    ::SendMessageA(m_hWnd, WM_SYSKEYDOWN, VK_F4, 0);
    ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, 0, 0);
    ::SendMessageA(m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetCursorPos(1000, 10);
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(ClosePosted());
    g_bCloseRequested = TRUE;
    ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(m_hWnd));
    EXPECT_EQ(0, g_bEndedByInput);
    g_bInPasswordDialog = FALSE;
}

TEST_F(SaverWindowTest, CreationRecordsTheStartState)
{
    ::SetCursorPos(123, 456);
    const DWORD before = ::GetTickCount();
    CreateRunMode();
    EXPECT_EQ(123, g_ptStartCursor.x);
    EXPECT_EQ(456, g_ptStartCursor.y);
    EXPECT_LE(g_dwStartTick - before, 5000u);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), rc.right - rc.left);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), rc.bottom - rc.top);
    EXPECT_TRUE(::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(DWORD(WS_POPUP | WS_VISIBLE), ::GetWindowLongA(m_hWnd, GWL_STYLE) & (WS_POPUP | WS_VISIBLE | WS_CHILD));
}

TEST_F(SaverWindowTest, RefusedRequestAfterGracePeriodOnNtClosesAtOnce)
{
    // On the NT family there is no password: a request long after the start closes.
    CreateRunMode();
    g_dwStartTick = ::GetTickCount() - 60000;
    ::SendMessageA(m_hWnd, WM_KEYDOWN, 'Q', 0);
    Drain();
    EXPECT_FALSE(::IsWindow(m_hWnd));
}

}  // namespace
