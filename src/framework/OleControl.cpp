#include "framework/OleControl.h"

COleControl::~COleControl()
{
    InPlaceDeactivate();
    SetClientSite(nullptr);
}

STDMETHODIMP COleControl::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleObject))
        *ppv = static_cast<IOleObject*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject))
        *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(riid, IID_IDispatch))
        *ppv = static_cast<IDispatch*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleControl::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) COleControl::Release()
{
    const LONG n = ::InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP COleControl::SetClientSite(IOleClientSite* pSite)
{
    if (pSite)
        pSite->AddRef();
    if (m_pSite)
        m_pSite->Release();
    m_pSite = pSite;
    return S_OK;
}

STDMETHODIMP COleControl::GetClientSite(IOleClientSite** ppSite)
{
    if (!ppSite)
        return E_POINTER;
    *ppSite = m_pSite;
    if (m_pSite)
        m_pSite->AddRef();
    return S_OK;
}

STDMETHODIMP COleControl::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pSite, LONG, HWND hWndParent,
                                 LPCRECT lprcPosRect)
{
    OnVerb(iVerb);
    switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
        return Activate(pSite ? pSite : m_pSite, hWndParent, lprcPosRect);
    case OLEIVERB_UIACTIVATE: {
        // A windowed control without menus or toolbars: UI activation is the keyboard focus.
        const HRESULT hr = Activate(pSite ? pSite : m_pSite, hWndParent, lprcPosRect);
        if (SUCCEEDED(hr))
            ::SetFocus(m_hWnd);
        return hr;
    }
    case OLEIVERB_HIDE:
        if (m_hWnd)
            ::ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    default:
        return OLEOBJ_S_INVALIDVERB;
    }
}

STDMETHODIMP COleControl::GetUserClassID(CLSID* pClsid)
{
    if (!pClsid)
        return E_POINTER;
    *pClsid = m_clsid;
    return S_OK;
}

STDMETHODIMP COleControl::SetExtent(DWORD, SIZEL* psizel)
{
    if (!psizel)
        return E_POINTER;
    m_extent = *psizel;
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD, SIZEL* psizel)
{
    if (!psizel)
        return E_POINTER;
    *psizel = m_extent;
    return S_OK;
}

DWORD COleControl::MiscStatus() const
{
    return OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
           OLEMISC_SETCLIENTSITEFIRST;
}

STDMETHODIMP COleControl::GetMiscStatus(DWORD, DWORD* pdwStatus)
{
    if (!pdwStatus)
        return E_POINTER;
    *pdwStatus = MiscStatus();
    return S_OK;
}

STDMETHODIMP COleControl::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::InPlaceDeactivate()
{
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    if (hWnd && ::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
    if (m_pInPlaceSite) {
        IOleInPlaceSite* pInPlaceSite = m_pInPlaceSite;
        m_pInPlaceSite = nullptr;
        pInPlaceSite->OnInPlaceDeactivate();
        pInPlaceSite->Release();
    }
    return S_OK;
}

STDMETHODIMP COleControl::SetObjectRects(LPCRECT lprcPosRect, LPCRECT)
{
    if (!lprcPosRect)
        return E_POINTER;
    if (m_hWnd)
        ::MoveWindow(m_hWnd, lprcPosRect->left, lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                     lprcPosRect->bottom - lprcPosRect->top, TRUE);
    return S_OK;
}

STDMETHODIMP COleControl::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP COleControl::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT*,
                                 EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    if (!(wFlags & DISPATCH_PROPERTYPUT))
        return DISP_E_MEMBERNOTFOUND;
    if (!pParams || pParams->cArgs != 1 || !pParams->rgvarg)
        return DISP_E_BADPARAMCOUNT;
    // A put names its one argument DISPID_PROPERTYPUT.
    if (pParams->cNamedArgs != 1 || !pParams->rgdispidNamedArgs ||
        pParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTOPTIONAL;
    return PutProperty(dispid, pParams->rgvarg[0], pExcepInfo, puArgErr);
}

HRESULT COleControl::Activate(IOleClientSite* pSite, HWND hWndParent, LPCRECT lprcPosRect)
{
    if (m_hWnd)
        return S_OK;
    if (!pSite)
        return E_UNEXPECTED;
    IOleInPlaceSite* pInPlaceSite = nullptr;
    if (FAILED(pSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pInPlaceSite))))
        return E_NOINTERFACE;
    if (pInPlaceSite->CanInPlaceActivate() != S_OK) {
        pInPlaceSite->Release();
        return E_FAIL;
    }
    pInPlaceSite->OnInPlaceActivate();

    // The site names the parent and the rectangle; the verb's own arguments serve when it cannot.
    HWND hWndSite = nullptr;
    if (FAILED(pInPlaceSite->GetWindow(&hWndSite)) || !hWndSite)
        hWndSite = hWndParent;
    RECT rcPos{}, rcClip{};
    IOleInPlaceFrame* pFrame = nullptr;
    IOleInPlaceUIWindow* pDoc = nullptr;
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    const HRESULT hrContext = pInPlaceSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &info);
    if (pFrame)
        pFrame->Release();
    if (pDoc)
        pDoc->Release();
    if (FAILED(hrContext) && lprcPosRect)
        rcPos = *lprcPosRect;

    HWND hWnd = CreateControlWindow(hWndSite, rcPos);
    if (!hWnd) {
        pInPlaceSite->OnInPlaceDeactivate();
        pInPlaceSite->Release();
        return E_FAIL;
    }
    m_hWnd = hWnd;
    m_pInPlaceSite = pInPlaceSite;
    OnActivated();
    return S_OK;
}
