#include "framework/Wnd.h"

#include "framework/ControlContainer.h"

#include <cstdio>
#include <map>
#include <string>
#include <tuple>

namespace {

// The one handle-to-object binding: a window property holds the object's address.
const char kBindingProp[] = "Vf.CWnd";

// The object whose window CreateEx is creating right now; the first message of that window
// (WM_GETMINMAXINFO or WM_NCCREATE, before CreateWindowEx returns) binds it.
thread_local CWnd* t_pWndInit = nullptr;

}  // namespace

struct CWndBinding {
    static void Bind(CWnd* pWnd, HWND hWnd)
    {
        pWnd->m_hWnd = hWnd;
        ::SetPropA(hWnd, kBindingProp, pWnd);
    }
    static void Unbind(CWnd* pWnd)
    {
        if (pWnd->m_hWnd && ::GetPropA(pWnd->m_hWnd, kBindingProp) == pWnd)
            ::RemovePropA(pWnd->m_hWnd, kBindingProp);
        pWnd->m_hWnd = nullptr;
    }
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd && t_pWndInit) {
        pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        CWndBinding::Bind(pWnd, hWnd);
    }
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    MSG msg{hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* pPrevMsg = pWnd->m_pCurrentMsg;
    pWnd->m_pCurrentMsg = &msg;
    LRESULT lResult = 0;
    // No exception may unwind through the system's dispatcher: one raised by a handler (a
    // control that rejects a property put, for instance) ends that handler and nothing else.
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        lResult = 0;
    }
    pWnd->m_pCurrentMsg = pPrevMsg;

    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        // The window is gone: put the original procedure back and let the object go.
        if (pWnd->m_pfnSuper) {
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
            pWnd->m_pfnSuper = nullptr;
        }
        CWndBinding::Unbind(pWnd);
        pWnd->PostNcDestroy();
    }
    return lResult;
}

const CRuntimeClass CWnd::classCWnd = {"CWnd", nullptr, nullptr};

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hWnd)
        CWndBinding::Unbind(this);
    if (m_pCtrlSite && m_pCtrlSite->m_pWndCtrl == this)
        m_pCtrlSite->m_pWndCtrl = nullptr;  // the site outlives its wrapper when the window went first
    if (m_pCtrlCont) {
        // The controls this window hosts go before their container does.
        m_pCtrlCont->DestroyAll();
        m_pCtrlCont->Release();
        m_pCtrlCont = nullptr;
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? static_cast<CWnd*>(::GetPropA(hWnd, kBindingProp)) : nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    t_pWndInit = this;
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                  nHeight, hWndParent, nIDorHMenu, ::GetModuleHandleA(nullptr), lpParam);
    const bool bBoundEarly = t_pWndInit == nullptr;
    t_pWndInit = nullptr;
    if (!hWnd) {
        // A window that was bound during creation and then refused (WM_CREATE returning -1)
        // has already been through WM_NCDESTROY.
        return FALSE;
    }
    if (!bBoundEarly)
        SubclassWindow(hWnd);
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::DestroyWindow()
{
    if (m_pCtrlSite && m_pCtrlSite->m_hWnd == m_hWnd && m_hWnd) {
        // A hosted control is closed through its site: it destroys its own window when it is
        // deactivated, and its container lets the site go.
        COleControlSite* pSite = m_pCtrlSite;
        const BOOL bWasWindow = ::IsWindow(m_hWnd);
        pSite->DestroyControl();
        pSite->Container()->RemoveSite(pSite);
        m_pCtrlSite = nullptr;
        return bWasWindow;
    }
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd)
        return FALSE;
    CWndBinding::Bind(this, hWnd);
    // A control hosted by its parent's container: bind to its site again, which the property
    // puts and the hosting focus go through.
    CWnd* pParent = FromHandlePermanent(::GetParent(hWnd));
    if (pParent && pParent->m_pCtrlCont) {
        m_pCtrlSite = pParent->m_pCtrlCont->FindSite(hWnd);
        if (m_pCtrlSite)
            m_pCtrlSite->m_pWndCtrl = this;
    }
    return TRUE;
}

BOOL CWnd::CreateControl(REFCLSID clsid, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, PFN_CREATE_CONTROL_OBJECT pfnFallback)
{
    if (m_hWnd || !pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    if (!AfxOleInitOnce())
        return FALSE;
    if (!pParentWnd->m_pCtrlCont)
        pParentWnd->m_pCtrlCont = new COleControlContainer(pParentWnd);
    COleControlContainer* pCont = pParentWnd->m_pCtrlCont;
    COleControlSite* pSite = pCont->CreateSite(this);
    if (!pSite->CreateControl(clsid, lpszWindowName, dwStyle, rect, nID, pfnFallback)) {
        pCont->RemoveSite(pSite);
        return FALSE;
    }
    // Bound as a handle holder; the control's own procedure stays in place until someone
    // subclasses the window.
    CWndBinding::Bind(this, pSite->m_hWnd);
    m_pCtrlSite = pSite;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd)
        CWndBinding::Unbind(this);
    m_pCtrlSite = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    auto pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    // A window of a framework class already runs AfxWndProc; keeping it as "previous" would loop.
    m_pfnSuper = pfnOld == &AfxWndProc ? nullptr : pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWnd = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    return Detach();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (ProcessWindowMessage(message, wParam, lParam, lResult))
        return lResult;
    if (ReflectNotification(message, wParam, lParam, lResult))
        return lResult;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

BOOL CWnd::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    HWND hWndChild = nullptr;
    switch (message) {
    case WM_COMMAND:
        hWndChild = reinterpret_cast<HWND>(lParam);  // null for menus and accelerators
        break;
    case WM_CTLCOLORSTATIC:
        hWndChild = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return FALSE;
    }
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild)
        return FALSE;
    return pChild->ProcessWindowMessage(OCM__BASE + message, wParam, lParam, lResult);
}

LRESULT CWnd::Default()
{
    if (!m_pCurrentMsg)
        return 0;
    const MSG& msg = *m_pCurrentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy()
{
}

CWnd* CWnd::GetParent() const
{
    return FromHandlePermanent(::GetParent(m_hWnd));
}

std::string CWnd::GetWindowText() const
{
    const int n = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::map<std::tuple<UINT, HCURSOR, HBRUSH, HICON>, std::string> s_classes;
    auto key = std::make_tuple(nClassStyle, hCursor, hbrBackground, hIcon);
    auto it = s_classes.find(key);
    if (it != s_classes.end())
        return it->second.c_str();

    char name[96];
    std::snprintf(name, sizeof name, "Vf:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    WNDCLASSA wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return s_classes.emplace(key, name).first->second.c_str();
}
