// CSaverWnd: the window of the screen saver itself. It covers the primary screen, tells the
// system that a saver runs, ends the saver on input and asks for the Windows 95/98/Me password.
// In preview mode it keeps out of the way.
#pragma once

#include "framework/Wnd.h"

// The input policy's state: a process has at most one saver window.
extern BOOL g_bCloseRequested;
extern BOOL g_bInPasswordDialog;
extern int g_bEndedByInput;
extern DWORD g_dwStartTick;
extern POINT g_ptStartCursor;

class CSaverWnd : public CWnd {
public:
    CSaverWnd();
    ~CSaverWnd() override;

    // The top-most popup over the primary screen.
    BOOL CreateFullScreen();
    // Whether the saver may close: asks PASSWORD.CPL on Windows 95/98/Me.
    BOOL VerifyPassword();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void PostNcDestroy() override;

private:
    void CloseRequest(bool bFromInput);
    void CloseSequence();
    void DestructionSteps();
};
