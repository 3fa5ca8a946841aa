#include "framework/WinApp.h"

#include "framework/Wnd.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nQuitCode;
}

int CWinApp::Run()
{
    // Without a main window nobody would ever post the quit message.
    if (!m_pMainWnd || !m_pMainWnd->m_hWnd)
        ::PostQuitMessage(0);
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_nQuitCode = got == 0 ? static_cast<int>(msg.wParam) : 0;
    return ExitInstance();
}

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return 0;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
