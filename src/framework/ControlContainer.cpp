#include "framework/ControlContainer.h"

#include "framework/Wnd.h"

#include <algorithm>
#include <utility>

namespace {

// Sizes in HIMETRIC (0.01 mm), as IOleObject::SetExtent takes them.
SIZEL PixelsToHimetric(HWND hWnd, LONG cx, LONG cy)
{
    HDC hdc = ::GetDC(hWnd);
    const int dpiX = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    const int dpiY = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 96;
    if (hdc)
        ::ReleaseDC(hWnd, hdc);
    return {::MulDiv(cx, 2540, dpiX > 0 ? dpiX : 96), ::MulDiv(cy, 2540, dpiY > 0 ? dpiY : 96)};
}

std::string DescriptionOf(const EXCEPINFO& ei)
{
    if (!ei.bstrDescription)
        return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, ei.bstrDescription, -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, ei.bstrDescription, -1, text.data(), n, nullptr, nullptr);
    if (!text.empty())
        text.pop_back();  // the terminating zero that -1 counted
    return text;
}

template <typename T>
void SafeRelease(T*& p)
{
    if (p) {
        T* q = p;
        p = nullptr;
        q->Release();
    }
}

}  // namespace

BOOL AfxOleInitOnce()
{
    // OLE needs a single-threaded apartment on the GUI thread; once per thread is enough, and
    // the process ends with the thread, so it is never uninitialised.
    thread_local bool t_bDone = false;
    thread_local BOOL t_bOk = FALSE;
    if (!t_bDone) {
        t_bDone = true;
        t_bOk = SUCCEEDED(::OleInitialize(nullptr));
    }
    return t_bOk;
}

HRESULT AfxCoCreateControlObject(REFCLSID clsid, IUnknown** ppUnk)
{
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(ppUnk));
}

// ---------------------------------------------------------------------------------------------
// COleControlSite

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont, CWnd* pWndCtrl)
    : m_pWndCtrl(pWndCtrl), m_pCtrlCont(pCtrlCont)
{
    m_pCtrlCont->AddRef();
}

COleControlSite::~COleControlSite()
{
    ReleaseObject();
    m_pCtrlCont->Release();
}

void COleControlSite::ReleaseObject()
{
    SafeRelease(m_pDispatch);
    SafeRelease(m_pInPlaceObject);
    SafeRelease(m_pObject);
}

BOOL COleControlSite::CreateControl(REFCLSID clsid, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                                    UINT nID, PFN_CREATE_CONTROL_OBJECT pfnFallback)
{
    m_nID = nID;
    m_rect = rect;
    HWND hWndParent = m_pCtrlCont->m_pWnd->m_hWnd;

    IUnknown* pUnk = nullptr;
    HRESULT hr = AfxCoCreateControlObject(clsid, &pUnk);
    if (FAILED(hr) && pfnFallback)
        hr = pfnFallback(clsid, &pUnk);
    if (FAILED(hr) || !pUnk)
        return FALSE;
    hr = pUnk->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&m_pObject));
    pUnk->Release();
    if (FAILED(hr))
        return FALSE;

    m_pObject->GetMiscStatus(DVASPECT_CONTENT, &m_dwMiscStatus);
    // Some controls need their site before they are initialised, others after; they say which.
    const bool bSiteFirst = (m_dwMiscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (bSiteFirst)
        m_pObject->SetClientSite(this);
    IPersistStreamInit* pPersist = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pPersist)))) {
        pPersist->InitNew();  // no persisted state: the control starts from its defaults
        pPersist->Release();
    }
    if (!bSiteFirst)
        m_pObject->SetClientSite(this);
    m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));

    SIZEL extent = PixelsToHimetric(hWndParent, rect.right - rect.left, rect.bottom - rect.top);
    m_pObject->SetExtent(DVASPECT_CONTENT, &extent);

    RECT rcPos = rect;
    hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, hWndParent, &rcPos);
    if (SUCCEEDED(hr) &&
        SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject))))
        m_pInPlaceObject->GetWindow(&m_hWnd);
    if (!m_hWnd || !::IsWindow(m_hWnd)) {
        // Only windowed controls are hosted: without a window nothing could route its input.
        m_hWnd = nullptr;
        DestroyControl();
        return FALSE;
    }

    // The window the control made is ours to name: id, text and visibility as asked.
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    if (lpszWindowName && *lpszWindowName)
        ::SetWindowTextA(m_hWnd, lpszWindowName);
    const bool bVisible = (dwStyle & WS_VISIBLE) != 0;
    if (bVisible != (::IsWindowVisible(m_hWnd) != FALSE))
        ::ShowWindow(m_hWnd, bVisible ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

void COleControlSite::DestroyControl()
{
    HWND hWnd = m_hWnd;
    if (m_pInPlaceObject)
        m_pInPlaceObject->InPlaceDeactivate();
    if (m_pObject) {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
    }
    ReleaseObject();
    // A control that keeps its window after deactivation still must not outlive its site.
    if (hWnd && ::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
    m_hWnd = nullptr;
}

void COleControlSite::SetProperty(DISPID dispid, const VARIANT& value)
{
    if (!m_pDispatch)
        return;
    VARIANT arg = value;
    DISPID dispidNamed = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &dispidNamed, 1, 1};
    EXCEPINFO ei{};
    UINT uArgErr = 0;
    const HRESULT hr = m_pDispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &ei, &uArgErr);
    if (FAILED(hr)) {
        std::string strDescription = DescriptionOf(ei);
        ::SysFreeString(ei.bstrSource);
        ::SysFreeString(ei.bstrDescription);
        ::SysFreeString(ei.bstrHelpFile);
        throw COleDispatchException(hr, dispid, std::move(strDescription));
    }
}

void COleControlSite::SetFocus()
{
    if (!m_pObject || !m_hWnd)
        return;
    if (m_dwMiscStatus & OLEMISC_NOUIACTIVATE) {
        ::SetFocus(m_hWnd);
        return;
    }
    RECT rcPos = m_rect;
    m_pObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, m_pCtrlCont->m_pWnd->m_hWnd, &rcPos);
}

STDMETHODIMP COleControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *ppv = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleControlSite::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) COleControlSite::Release()
{
    const LONG n = ::InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP COleControlSite::SaveObject() { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP COleControlSite::ShowObject() { return S_OK; }
STDMETHODIMP COleControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_pCtrlCont->m_pWnd->m_hWnd;
    return S_OK;
}
STDMETHODIMP COleControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP COleControlSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP COleControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect)
        return E_POINTER;
    HWND hWndParent = m_pCtrlCont->m_pWnd->m_hWnd;
    *ppFrame = m_pCtrlCont;
    m_pCtrlCont->AddRef();
    // The parent is both frame and document: there is no separate document window.
    *ppDoc = nullptr;
    *lprcPosRect = m_rect;
    ::GetClientRect(hWndParent, lprcClipRect);
    if (lpFrameInfo) {
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = hWndParent;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP COleControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP COleControlSite::DeactivateAndUndo() { return S_OK; }

STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (!lprcPosRect)
        return E_POINTER;
    m_rect = *lprcPosRect;
    if (m_pInPlaceObject) {
        RECT rcClip;
        ::GetClientRect(m_pCtrlCont->m_pWnd->m_hWnd, &rcClip);
        m_pInPlaceObject->SetObjectRects(&m_rect, &rcClip);
    }
    return S_OK;
}

// ---------------------------------------------------------------------------------------------
// COleControlContainer

COleControlContainer::COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd) {}

COleControlContainer::~COleControlContainer()
{
    SafeRelease(m_pActiveObject);
}

COleControlSite* COleControlContainer::FindSite(HWND hWnd) const
{
    if (!hWnd)
        return nullptr;
    for (COleControlSite* pSite : m_sites)
        if (pSite->m_hWnd == hWnd)
            return pSite;
    return nullptr;
}

COleControlSite* COleControlContainer::CreateSite(CWnd* pWndCtrl)
{
    auto* pSite = new COleControlSite(this, pWndCtrl);
    m_sites.push_back(pSite);  // the list holds the site's first reference
    return pSite;
}

void COleControlContainer::RemoveSite(COleControlSite* pSite)
{
    auto it = std::find(m_sites.begin(), m_sites.end(), pSite);
    if (it == m_sites.end())
        return;
    m_sites.erase(it);
    if (pSite->m_pWndCtrl && pSite->m_pWndCtrl->m_pCtrlSite == pSite)
        pSite->m_pWndCtrl->m_pCtrlSite = nullptr;
    pSite->Release();
}

void COleControlContainer::DestroyAll()
{
    while (!m_sites.empty()) {
        COleControlSite* pSite = m_sites.back();
        pSite->DestroyControl();
        RemoveSite(pSite);
    }
}

STDMETHODIMP COleControlContainer::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
        IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
        *ppv = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleControlContainer::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) COleControlContainer::Release()
{
    const LONG n = ::InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP COleControlContainer::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_pWnd->m_hWnd;
    return S_OK;
}
STDMETHODIMP COleControlContainer::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
// No toolbars: a control that asks for border space goes without.
STDMETHODIMP COleControlContainer::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP COleControlContainer::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP COleControlContainer::SetBorderSpace(LPCBORDERWIDTHS) { return OLE_E_INVALIDRECT; }

STDMETHODIMP COleControlContainer::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR)
{
    if (pActiveObject)
        pActiveObject->AddRef();
    SafeRelease(m_pActiveObject);
    m_pActiveObject = pActiveObject;
    return S_OK;
}

STDMETHODIMP COleControlContainer::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP COleControlContainer::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP COleControlContainer::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP COleControlContainer::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP COleControlContainer::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP COleControlContainer::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }
