#include "saver/SaverWnd.h"

#include "app/SaverApp.h"
#include "saver/InputPolicy.h"

BOOL g_bCloseRequested = FALSE;
BOOL g_bInPasswordDialog = FALSE;
int g_bEndedByInput = 0;
DWORD g_dwStartTick = 0;
POINT g_ptStartCursor = {0, 0};

namespace {

bool InPreview()
{
    return SaverApp().m_nPreviewWidth != 0;
}

void SetScreenSaverRunning(BOOL bRunning)
{
    UINT uOld = 0;
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, bRunning, &uOld, 0);
}

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

}  // namespace

CSaverWnd::CSaverWnd()
{
    if (!InPreview())
        SetScreenSaverRunning(TRUE);
}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen()
{
    LPCSTR cls = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS);
    return CreateEx(WS_EX_TOPMOST, cls, "", WS_POPUP | WS_VISIBLE, 0, 0,
                    ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const PolicyState state{InPreview(), g_bInPasswordDialog != FALSE, g_bCloseRequested != FALSE};
    const PolicyDecision decision = DecideMessage(message, wParam, state);
    switch (decision.action) {
    case PolicyAction::None:
        break;
    case PolicyAction::RecordStartState:
        ::GetCursorPos(&g_ptStartCursor);
        g_dwStartTick = ::GetTickCount();
        g_bEndedByInput = SaverApp().m_nPreviewWidth;
        break;
    case PolicyAction::DestructionSteps:
        DestructionSteps();
        break;
    case PolicyAction::CloseRequest:
        CloseRequest(false);
        break;
    case PolicyAction::InputCloseRequest:
        CloseRequest(true);
        break;
    case PolicyAction::CloseSequence:
        CloseSequence();
        break;
    case PolicyAction::ArrowCursor:
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        break;
    case PolicyAction::NoCursor:
        ::SetCursor(nullptr);
        break;
    case PolicyAction::MovementTest: {
        POINT pt;
        ::GetCursorPos(&pt);
        if (IsBeyondMoveThreshold({g_ptStartCursor.x, g_ptStartCursor.y}, {pt.x, pt.y}))
            CloseRequest(true);
        break;
    }
    }
    if (!decision.bHandOn)
        return 0;
    return CWnd::WindowProc(message, wParam, lParam);
}

void CSaverWnd::CloseRequest(bool bFromInput)
{
    g_bCloseRequested = TRUE;
    if (bFromInput)
        g_bEndedByInput = 1;
    // Posted, not sent: the close sequence must not run inside the input that caused it,
    // least of all inside a key that the movie's window forwards with a synchronous send.
    PostMessage(WM_CLOSE);
}

void CSaverWnd::CloseSequence()
{
    if (IsPasswordDue(g_dwStartTick, ::GetTickCount())) {
        // The password dialog runs its own message loop; the flag turns every message that
        // arrives meanwhile into a no-op, so the sequence never runs twice at once.
        g_bInPasswordDialog = TRUE;
        SendMessage(WM_SETCURSOR);
        const BOOL bOk = VerifyPassword();
        g_bInPasswordDialog = FALSE;
        SendMessage(WM_SETCURSOR);
        ::GetCursorPos(&g_ptStartCursor);
        if (!bOk)
            return;
    }
    SetScreenSaverRunning(FALSE);
    DestroyWindow();
}

void CSaverWnd::DestructionSteps()
{
    ::PostQuitMessage(0);
    if (g_bEndedByInput == 0) {
        // Writing the time-out back unchanged makes the system restart its idle count, so that
        // a saver closed by deactivation is not started again at once.
        UINT uTimeout = 0;
        if (::SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &uTimeout, 0))
            ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, uTimeout, nullptr, 0);
    }
}

BOOL CSaverWnd::VerifyPassword()
{
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA");
    if (::GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return TRUE;

    HMODULE hLib = ::LoadLibraryA("PASSWORD.CPL");
    if (!hLib)
        return TRUE;
    auto pfnVerify = reinterpret_cast<VerifyScreenSavePwdFn>(
        reinterpret_cast<void*>(::GetProcAddress(hLib, "VerifyScreenSavePwd")));
    if (!pfnVerify) {
        ::FreeLibrary(hLib);
        return TRUE;
    }
    ::ShowCursor(TRUE);
    const BOOL bOk = pfnVerify(m_hWnd);
    ::ShowCursor(FALSE);
    ::FreeLibrary(hLib);
    return bOk;
}

void CSaverWnd::PostNcDestroy()
{
    delete this;
}
