// CShockwaveFlash: the wrapper in front of the Shockwave Flash control's window. It hands the
// control its movie, scaling mode and loop flag, and decides message by message whether input
// over the movie belongs to the movie or to the saver (KeyRouting.h).
#pragma once

#include "framework/Wnd.h"

#include <oaidl.h>

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
extern const CLSID FLASH_CONTROL_CLSID;

constexpr DISPID DISPID_FLASH_MOVIE = 102;
constexpr DISPID DISPID_FLASH_LOOP = 106;
constexpr DISPID DISPID_FLASH_SCALE_MODE = 120;

class CShockwaveFlash : public CWnd {
    DECLARE_DYNCREATE(CShockwaveFlash)

public:
    // Hosts a control of FLASH_CONTROL_CLSID; the class name and the creation context are not used.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, LPVOID lpParam = nullptr) override;

    // Property puts through the hosting site; nothing without one. A value the control refuses
    // throws COleDispatchException, which is left to the caller.
    void SetMovieLocation(LPCSTR lpszMovie);
    void SetScalingMode(long nMode);
    void SetLoopFlag(BOOL bLoop);

    BEGIN_MSG_MAP(CShockwaveFlash)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnSysKeyDown)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    END_MSG_MAP()

private:
    LRESULT OnRButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSysKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam);

    // The same message, unchanged and synchronously, to whichever window is our parent now.
    LRESULT ToSaver(UINT message, WPARAM wParam, LPARAM lParam);
};
