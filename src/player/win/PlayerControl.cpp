#include "player/win/PlayerControl.h"

#include "movie/ShockwaveFlash.h"
#include "player/win/ControlPlayback.h"
#include "player/win/MovieSource.h"
#include "player/win/WicJpegDecoder.h"

#include <oleauto.h>
#include <ocidl.h>

#include <string>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

player::CWicJpegDecoder g_jpegDecoder;

uint64_t NowMs()
{
    static LARGE_INTEGER s_freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<uint64_t>(t.QuadPart) * 1000 / static_cast<uint64_t>(s_freq.QuadPart);
}

std::string BstrToAnsi(BSTR bstr)
{
    const int n = bstr ? ::WideCharToMultiByte(CP_ACP, 0, bstr, -1, nullptr, 0, nullptr, nullptr) : 0;
    if (n <= 1)
        return std::string();
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, bstr, -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

class CPlayerControl final : public IOleObject, public IOleInPlaceObject, public IDispatch {
public:
    CPlayerControl() : m_playback(&g_jpegDecoder) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
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
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_cRef)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG n = ::InterlockedDecrement(&m_cRef);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pSite) override
    {
        if (pSite)
            pSite->AddRef();
        if (m_pSite)
            m_pSite->Release();
        m_pSite = pSite;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** ppSite) override
    {
        if (!ppSite)
            return E_POINTER;
        *ppSite = m_pSite;
        if (m_pSite)
            m_pSite->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override { return InPlaceDeactivate(); }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override
    {
        if (ppmk)
            *ppmk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite* pSite, LONG, HWND hWndParent, LPCRECT lprcPosRect) override
    {
        switch (iVerb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
            return Activate(pSite ? pSite : m_pSite, hWndParent, lprcPosRect);
        case OLEIVERB_UIACTIVATE: {
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
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override
    {
        if (!pClsid)
            return E_POINTER;
        *pClsid = FLASH_CONTROL_CLSID;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    STDMETHODIMP SetExtent(DWORD, SIZEL* psizel) override
    {
        if (!psizel)
            return E_POINTER;
        m_extent = *psizel;
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD, SIZEL* psizel) override
    {
        if (!psizel)
            return E_POINTER;
        *psizel = m_extent;
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override
    {
        if (!pdwStatus)
            return E_POINTER;
        *pdwStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_hWnd;
        return m_hWnd ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);  // WM_NCDESTROY forgets the handle
        if (m_pInPlaceSite) {
            IOleInPlaceSite* pInPlaceSite = m_pInPlaceSite;
            m_pInPlaceSite = nullptr;
            pInPlaceSite->OnInPlaceDeactivate();
            pInPlaceSite->Release();
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override
    {
        if (!lprcPosRect)
            return E_POINTER;
        if (m_hWnd)
            ::MoveWindow(m_hWnd, lprcPosRect->left, lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                         lprcPosRect->bottom - lprcPosRect->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }

    // IDispatch: puts of the three properties a host sets; no type information.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT*, EXCEPINFO*,
                        UINT* puArgErr) override;

    LRESULT WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    ~CPlayerControl()
    {
        InPlaceDeactivate();
        SetClientSite(nullptr);
        if (m_hbmFrame)
            ::DeleteObject(m_hbmFrame);
    }

    HRESULT Activate(IOleClientSite* pSite, HWND hWndParent, LPCRECT lprcPosRect);
    void LoadMovie(const std::string& strLocation);
    // Re-arms the frame timer for the next frame due, or kills it when none will come.
    void ScheduleNextFrame();
    void Redraw();
    void OnPaint();
    bool EnsureFrameBuffer(int w, int h);

    LONG m_cRef = 1;
    IOleClientSite* m_pSite = nullptr;
    IOleInPlaceSite* m_pInPlaceSite = nullptr;
    HWND m_hWnd = nullptr;
    SIZEL m_extent{0, 0};

    player::CPlayback m_playback;
    player::EScaleMode m_eScaleMode = player::EScaleMode::ShowAll;
    // The stage as last rendered, in a DIB section of the window's client size.
    HBITMAP m_hbmFrame = nullptr;
    uint32_t* m_pFrameBits = nullptr;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    bool m_bFrameStale = true;
};

LRESULT CALLBACK PlayerWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* pcs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
    }
    auto* pControl = reinterpret_cast<CPlayerControl*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!pControl)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return pControl->WindowProc(hWnd, message, wParam, lParam);
}

bool RegisterPlayerClass(HINSTANCE hInstance)
{
    static const bool s_bRegistered = [hInstance] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &PlayerWndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = PLAYER_CONTROL_CLASS;
        return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return s_bRegistered;
}

HRESULT CPlayerControl::Activate(IOleClientSite* pSite, HWND hWndParent, LPCRECT lprcPosRect)
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

    HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(&__ImageBase);
    if (!RegisterPlayerClass(hInstance) ||
        !::CreateWindowExA(0, PLAYER_CONTROL_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rcPos.left,
                           rcPos.top, rcPos.right - rcPos.left, rcPos.bottom - rcPos.top, hWndSite, nullptr,
                           hInstance, this)) {
        pInPlaceSite->OnInPlaceDeactivate();
        pInPlaceSite->Release();
        return E_FAIL;
    }
    m_pInPlaceSite = pInPlaceSite;
    // Puts may have come before the window; their movie starts playing now.
    ScheduleNextFrame();
    return S_OK;
}

STDMETHODIMP CPlayerControl::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT*,
                                    EXCEPINFO*, UINT* puArgErr)
{
    VARTYPE vt;
    switch (dispid) {
    case DISPID_FLASH_MOVIE:
        vt = VT_BSTR;
        break;
    case DISPID_FLASH_SCALE_MODE:
        vt = VT_I4;
        break;
    case DISPID_FLASH_LOOP:
        vt = VT_BOOL;
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (!(wFlags & DISPATCH_PROPERTYPUT))
        return DISP_E_MEMBERNOTFOUND;
    if (!pParams || pParams->cArgs != 1 || !pParams->rgvarg)
        return DISP_E_BADPARAMCOUNT;
    VARIANT value;
    ::VariantInit(&value);
    if (FAILED(::VariantChangeType(&value, &pParams->rgvarg[0], 0, vt))) {
        if (puArgErr)
            *puArgErr = 0;
        return DISP_E_TYPEMISMATCH;
    }
    switch (dispid) {
    case DISPID_FLASH_MOVIE:
        LoadMovie(BstrToAnsi(value.bstrVal));
        break;
    case DISPID_FLASH_SCALE_MODE:
        m_eScaleMode = player::ScaleModeOfProperty(value.lVal);
        Redraw();
        break;
    case DISPID_FLASH_LOOP:
        m_playback.SetLoop(value.boolVal != VARIANT_FALSE, NowMs());
        ScheduleNextFrame();
        break;
    }
    ::VariantClear(&value);
    return S_OK;
}

void CPlayerControl::LoadMovie(const std::string& strLocation)
{
    // A movie that cannot be had leaves the stage black, as a control without a movie shows;
    // the put itself succeeds, so that the host goes on to the next one.
    const std::vector<uint8_t> bytes = player::FetchMovie(strLocation);
    m_playback.Load(bytes.data(), bytes.size(), NowMs());
    Redraw();
    ScheduleNextFrame();
}

void CPlayerControl::ScheduleNextFrame()
{
    if (!m_hWnd)
        return;
    const uint32_t nDelay = m_playback.NextTickDelay(NowMs());
    if (nDelay == player::CPlayback::NO_TICK)
        ::KillTimer(m_hWnd, PLAYER_FRAME_TIMER_ID);
    else
        ::SetTimer(m_hWnd, PLAYER_FRAME_TIMER_ID, nDelay, nullptr);  // replaces the running one
}

void CPlayerControl::Redraw()
{
    m_bFrameStale = true;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CPlayerControl::EnsureFrameBuffer(int w, int h)
{
    if (m_hbmFrame && w == m_nFrameWidth && h == m_nFrameHeight)
        return true;
    if (m_hbmFrame) {
        ::DeleteObject(m_hbmFrame);
        m_hbmFrame = nullptr;
        m_pFrameBits = nullptr;
    }
    m_nFrameWidth = m_nFrameHeight = 0;
    if (w <= 0 || h <= 0)
        return false;
    // Top-down 32-bit BI_RGB: its bytes are the player's BGRA pixels, row for row.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hbmFrame = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!m_hbmFrame)
        return false;
    m_pFrameBits = static_cast<uint32_t*>(pBits);
    m_nFrameWidth = w;
    m_nFrameHeight = h;
    m_bFrameStale = true;
    return true;
}

void CPlayerControl::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    if (!hdc)
        return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (EnsureFrameBuffer(rc.right, rc.bottom)) {
        if (m_bFrameStale) {
            m_playback.Player().Render(m_pFrameBits, m_nFrameWidth, m_nFrameHeight, m_nFrameWidth, m_eScaleMode);
            ::GdiFlush();
            m_bFrameStale = false;
        }
        HDC hdcMem = ::CreateCompatibleDC(hdc);
        if (hdcMem) {
            HGDIOBJ hOld = ::SelectObject(hdcMem, m_hbmFrame);
            ::BitBlt(hdc, 0, 0, m_nFrameWidth, m_nFrameHeight, hdcMem, 0, 0, SRCCOPY);
            ::SelectObject(hdcMem, hOld);
            ::DeleteDC(hdcMem);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CPlayerControl::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        m_hWnd = hWnd;
        break;
    case WM_NCDESTROY:
        ::KillTimer(hWnd, PLAYER_FRAME_TIMER_ID);
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        break;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the frame covers the whole client area; erasing first would flicker
    case WM_SIZE:
        Redraw();
        return 0;
    case WM_TIMER:
        if (wParam != PLAYER_FRAME_TIMER_ID)
            break;
        if (m_playback.Tick(NowMs()))
            Redraw();
        ScheduleNextFrame();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ::SetFocus(hWnd);  // a control takes the focus when clicked
        return 0;
    default:
        // The movie's input. The player has no buttons to press, so the movie takes it and
        // nothing more happens; in particular nothing goes on to the parent.
        if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
            (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST))
            return 0;
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

HRESULT CreatePlayerControl(REFCLSID clsid, IUnknown** ppUnk)
{
    if (!ppUnk)
        return E_POINTER;
    *ppUnk = nullptr;
    if (!IsEqualCLSID(clsid, FLASH_CONTROL_CLSID))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* pControl = new CPlayerControl;
    *ppUnk = static_cast<IOleObject*>(pControl);
    return S_OK;
}
