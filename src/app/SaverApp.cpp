#include "app/SaverApp.h"

#include "app/SaverSwitch.h"
#include "content/DataDirectory.h"
#include "movie/MovieWnd.h"

std::vector<CWnd*> g_blankWindows;

namespace {

using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);

HWND WindowFromNumber(int32_t nWindow)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(nWindow));
}

}  // namespace

CSaverApp::CSaverApp() = default;
CSaverApp::~CSaverApp() = default;

CSaverApp& SaverApp()
{
    return *static_cast<CSaverApp*>(AfxGetApp());
}

BOOL CSaverApp::InitInstance()
{
    // Controls are hosted on demand; the container initialises OLE before the first one.
    m_nPreviewWidth = 0;
    m_nPreviewHeight = 0;

    const SaverSwitch sw = ParseSaverSwitch(m_lpCmdLine);
    switch (sw.mode) {
    case RunMode::ConfigureWithParent: {
        CTempWnd parent(WindowFromNumber(sw.nWindow));
        RunConfigDialog(&parent);
        return TRUE;
    }
    case RunMode::ConfigureForegroundParent: {
        CTempWnd parent(::GetForegroundWindow());
        RunConfigDialog(&parent);
        return TRUE;
    }
    case RunMode::ConfigureNoParent:
        RunConfigDialog(nullptr);
        return TRUE;
    case RunMode::Run:
        RunSaver();
        return TRUE;
    case RunMode::Preview:
        RunPreview(WindowFromNumber(sw.nWindow));
        return TRUE;
    case RunMode::ChangePassword:
        return ChangePassword(WindowFromNumber(sw.nWindow));
    case RunMode::None:
        break;
    }
    return FALSE;
}

void CSaverApp::RunSaver()
{
    ::EnumDisplayMonitors(nullptr, nullptr, &BlankMonitorProc, 0);
    auto* pWnd = new CMovieWnd;
    if (!pWnd->CreateFullScreen()) {
        // Without its window nothing would ever end the message loop: leave no main window, so
        // that the process ends, and take back the running flag that the constructor set. The
        // object is not deleted here: a window refused during creation has deleted it already.
        UINT uOld = 0;
        ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &uOld, 0);
        return;
    }
    m_pMainWnd = pWnd;
}

void CSaverApp::RunPreview(HWND hWndParent)
{
    RECT rc;
    // Window number 0, or one that names no window: there is nothing to draw into.
    if (!hWndParent || !::IsWindow(hWndParent) || !::GetClientRect(hWndParent, &rc))
        return;
    m_nPreviewWidth = rc.right;
    m_nPreviewHeight = rc.bottom;

    auto* pWnd = new CMovieWnd;
    LPCSTR cls = AfxRegisterWndClass(0);
    if (!pWnd->CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rc.left, rc.top,
                        rc.right - rc.left, rc.bottom - rc.top, hWndParent, nullptr))
        return;  // as in run mode: no main window, so the process ends
    m_pMainWnd = pWnd;
}

BOOL CSaverApp::ChangePassword(HWND hWndOwner)
{
    HMODULE hLib = ::LoadLibraryA("MPR.DLL");
    if (!hLib)
        return FALSE;
    auto pfnChange = reinterpret_cast<PwdChangePasswordFn>(
        reinterpret_cast<void*>(::GetProcAddress(hLib, "PwdChangePasswordA")));
    if (!pfnChange) {
        ::FreeLibrary(hLib);
        return FALSE;
    }
    CTempWnd owner(hWndOwner);
    pfnChange("SCRSAVE", owner.m_hWnd, 0, 0);
    ::FreeLibrary(hLib);
    return TRUE;
}

std::string CSaverApp::GetDataDirectory()
{
    return ::GetDataDirectory();
}

int CSaverApp::ExitInstance()
{
    while (!g_blankWindows.empty()) {
        CWnd* pWnd = g_blankWindows.front();
        pWnd->DestroyWindow();
        delete pWnd;
        g_blankWindows.erase(g_blankWindows.begin());
    }
    return CWinApp::ExitInstance();
}

BOOL CALLBACK BlankMonitorProc(HMONITOR hMonitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    static_assert(sizeof(MONITORINFO) == 40, "MONITORINFO");
    if (!::GetMonitorInfoA(hMonitor, &mi) || mi.dwFlags == MONITORINFOF_PRIMARY)
        return TRUE;
    auto* pWnd = new CWnd;
    const RECT& rc = mi.rcMonitor;
    pWnd->CreateEx(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | SS_BLACKRECT,
                   rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr);
    // Kept also when the creation failed, so that ExitInstance treats every entry alike.
    g_blankWindows.push_back(pWnd);
    return TRUE;
}
