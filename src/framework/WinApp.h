// CWinApp: the process's application object. Exactly one derived object exists, as a static
// object; the entry point (AfxWinMain) runs InitInstance, the message loop and ExitInstance.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // False skips the message loop.
    virtual BOOL InitInstance();
    // Returns the process exit code.
    virtual int ExitInstance();
    // The message loop; ends with WM_QUIT, or at once when InitInstance set no main window.
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;  // the command line after the program's own name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;

protected:
    int m_nQuitCode = 0;
};

CWinApp* AfxGetApp();
int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);
