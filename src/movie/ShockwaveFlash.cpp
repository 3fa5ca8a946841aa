#include "movie/ShockwaveFlash.h"

#include "app/SaverApp.h"
#include "framework/ControlContainer.h"
#include "movie/KeyRouting.h"
#include "player/win/PlayerControl.h"

#include <oleauto.h>

#include <string>

IMPLEMENT_DYNCREATE(CShockwaveFlash, CWnd)

const CLSID FLASH_CONTROL_CLSID = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

short KeyOfCharacterInCurrentLayout(char ch)
{
    return ::VkKeyScanA(ch);
}

BSTR AnsiToBstr(LPCSTR text)
{
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return ::SysAllocString(L"");
    BSTR bstr = ::SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    if (bstr)
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, bstr, n);
    return bstr;
}

// Owns the BSTR of a string put, so that a refused put does not leak it.
struct CVariant : VARIANT {
    CVariant() { ::VariantInit(this); }
    ~CVariant() { ::VariantClear(this); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
};

}  // namespace

BOOL CShockwaveFlash::Create(LPCSTR, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                             UINT nID, LPVOID)
{
    return CreateControl(FLASH_CONTROL_CLSID, lpszWindowName, dwStyle, rect, pParentWnd, nID, &CreatePlayerControl);
}

void CShockwaveFlash::SetMovieLocation(LPCSTR lpszMovie)
{
    if (!m_pCtrlSite)
        return;
    CVariant v;
    v.vt = VT_BSTR;
    v.bstrVal = AnsiToBstr(lpszMovie ? lpszMovie : "");
    m_pCtrlSite->SetProperty(DISPID_FLASH_MOVIE, v);
}

void CShockwaveFlash::SetScalingMode(long nMode)
{
    if (!m_pCtrlSite)
        return;
    CVariant v;
    v.vt = VT_I4;
    v.lVal = nMode;
    m_pCtrlSite->SetProperty(DISPID_FLASH_SCALE_MODE, v);
}

void CShockwaveFlash::SetLoopFlag(BOOL bLoop)
{
    if (!m_pCtrlSite)
        return;
    CVariant v;
    v.vt = VT_BOOL;
    v.boolVal = bLoop ? VARIANT_TRUE : VARIANT_FALSE;
    m_pCtrlSite->SetProperty(DISPID_FLASH_LOOP, v);
}

LRESULT CShockwaveFlash::ToSaver(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(::GetParent(m_hWnd), message, wParam, lParam);
}

LRESULT CShockwaveFlash::OnRButtonDown(UINT, WPARAM, LPARAM)
{
    // The control's context menu would take the screen from a saver that cannot close meanwhile.
    return 0;
}

LRESULT CShockwaveFlash::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CSaverApp& app = SaverApp();
    const InputRoute route = RouteKeyDown(static_cast<unsigned>(wParam), app.m_nKeyMode, app.m_strKeys,
                                          &KeyOfCharacterInCurrentLayout);
    if (route == InputRoute::Saver)
        return ToSaver(message, wParam, lParam);
    return Default();
}

LRESULT CShockwaveFlash::OnSysKeyDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ToSaver(message, wParam, lParam);
}

LRESULT CShockwaveFlash::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (RouteMouseMove(SaverApp().m_bMouseEndsSaver != FALSE) == InputRoute::Saver)
        return ToSaver(message, wParam, lParam);
    return Default();
}

LRESULT CShockwaveFlash::OnSetFocus(UINT, WPARAM wParam, LPARAM)
{
    const LRESULT lResult = Default();
    // A preview lives inside the Display control panel: its keyboard belongs to the panel.
    // When no window lost the focus there is nothing to hand it back to, and it stays here.
    HWND hWndLost = reinterpret_cast<HWND>(wParam);
    if (SaverApp().m_nPreviewWidth != 0 && hWndLost && ::IsWindow(hWndLost))
        ::SetFocus(hWndLost);
    return lResult;
}
