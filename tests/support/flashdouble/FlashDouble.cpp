// The stand-in control: a windowed in-place object with IOleObject, IOleInPlaceObject and
// IDispatch, honouring what the saver relies on from the real control (a child window that
// takes the focus, property puts through IDispatch) and recording everything it is asked.
#include "FlashDouble.h"

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LONG g_cLocks = 0;
HINSTANCE g_hInstance = nullptr;
const char kWindowClass[] = "VfFlashDouble";

std::string EnvValue(const char* name)
{
    char buf[1024];
    const DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

void Record(const char* format, ...)
{
    const std::string path = EnvValue(FLASHDOUBLE_LOG_ENV);
    if (path.empty())
        return;
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // Opened per line so that a reader sees each event as soon as it happened, and a saver that
    // is killed leaves a complete record behind.
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line);
        std::fclose(f);
    }
}

bool IsInputMessage(UINT msg)
{
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

LRESULT CALLBACK DoubleWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (IsInputMessage(msg))
        Record("msg 0x%04X wparam=0x%llX lparam=0x%llX", msg, static_cast<unsigned long long>(wParam),
               static_cast<unsigned long long>(lParam));
    switch (msg) {
    case WM_SETFOCUS:
        Record("focus");
        return 0;
    case WM_SHOWWINDOW:
        if (wParam)
            Record("show id=%d", ::GetDlgCtrlID(hWnd));
        break;
    case WM_LBUTTONDOWN:
        // A control takes the focus when clicked.
        ::SetFocus(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        ::SetBkColor(hdc, FLASHDOUBLE_COLOUR);
        ::ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

std::string BstrToAnsi(BSTR bstr)
{
    if (!bstr)
        return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, bstr, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, bstr, -1, s.data(), n, nullptr, nullptr);
    s.resize(std::strlen(s.c_str()));
    return s;
}

class CFlashDouble final : public IOleObject, public IOleInPlaceObject, public IDispatch {
public:
    CFlashDouble() { ::InterlockedIncrement(&g_cLocks); }

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
    STDMETHODIMP Close(DWORD) override
    {
        InPlaceDeactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite* pSite, LONG, HWND hWndParent, LPCRECT lprcPosRect) override
    {
        Record("verb %ld", iVerb);
        if (iVerb == OLEIVERB_INPLACEACTIVATE || iVerb == OLEIVERB_SHOW || iVerb == OLEIVERB_UIACTIVATE) {
            const HRESULT hr = Activate(pSite ? pSite : m_pSite, hWndParent, lprcPosRect);
            if (FAILED(hr))
                return hr;
        }
        if (iVerb == OLEIVERB_UIACTIVATE && m_hWnd)
            ::SetFocus(m_hWnd);
        return S_OK;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL* psizel) override
    {
        if (psizel)
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
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override
    {
        if (!pdwStatus)
            return E_POINTER;
        *pdwStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
        if (EnvValue(FLASHDOUBLE_MISC_ENV) == "nouiactivate")
            *pdwStatus |= OLEMISC_NOUIACTIVATE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow / IOleInPlaceObject
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
        if (m_hWnd) {
            HWND hWnd = m_hWnd;
            m_hWnd = nullptr;
            if (::IsWindow(hWnd))
                ::DestroyWindow(hWnd);
            if (m_pInPlaceSite)
                m_pInPlaceSite->OnInPlaceDeactivate();
        }
        if (m_pInPlaceSite) {
            m_pInPlaceSite->Release();
            m_pInPlaceSite = nullptr;
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override
    {
        if (m_hWnd && lprcPosRect)
            ::MoveWindow(m_hWnd, lprcPosRect->left, lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                         lprcPosRect->bottom - lprcPosRect->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IDispatch: only puts of the three properties the saver sets.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        if (pctinfo)
            *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT*, EXCEPINFO* pExcep,
                        UINT*) override
    {
        if (dispid != 102 && dispid != 106 && dispid != 120)
            return DISP_E_MEMBERNOTFOUND;
        if (!(wFlags & DISPATCH_PROPERTYPUT) || !pParams || pParams->cArgs != 1 || pParams->cNamedArgs != 1 ||
            !pParams->rgdispidNamedArgs || pParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTOPTIONAL;
        const std::string reject = EnvValue(FLASHDOUBLE_REJECT_ENV);
        if (!reject.empty() && std::atol(reject.c_str()) == dispid) {
            Record("reject dispid=%ld", dispid);
            if (pExcep) {
                std::memset(pExcep, 0, sizeof *pExcep);
                pExcep->scode = DISP_E_TYPEMISMATCH;
                pExcep->bstrDescription = ::SysAllocString(L"refused by the test control");
            }
            return DISP_E_EXCEPTION;
        }
        const VARIANT& v = pParams->rgvarg[0];
        switch (v.vt) {
        case VT_BSTR:
            Record("put dispid=%ld vt=%d value=%s", dispid, v.vt, BstrToAnsi(v.bstrVal).c_str());
            break;
        case VT_I4:
            Record("put dispid=%ld vt=%d value=%ld", dispid, v.vt, static_cast<long>(v.lVal));
            break;
        case VT_BOOL:
            Record("put dispid=%ld vt=%d value=%d", dispid, v.vt, static_cast<int>(v.boolVal));
            break;
        default:
            Record("put dispid=%ld vt=%d", dispid, v.vt);
            break;
        }
        return S_OK;
    }

private:
    ~CFlashDouble()
    {
        InPlaceDeactivate();
        SetClientSite(nullptr);
        ::InterlockedDecrement(&g_cLocks);
    }

    HRESULT Activate(IOleClientSite* pSite, HWND hWndParent, LPCRECT lprcPosRect)
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
        HWND hWndSite = nullptr;
        pInPlaceSite->GetWindow(&hWndSite);
        IOleInPlaceFrame* pFrame = nullptr;
        IOleInPlaceUIWindow* pDoc = nullptr;
        RECT rcPos{}, rcClip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        if (FAILED(pInPlaceSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &info)) && lprcPosRect)
            rcPos = *lprcPosRect;
        if (pFrame)
            pFrame->Release();
        if (pDoc)
            pDoc->Release();
        HWND hWndHost = hWndSite ? hWndSite : hWndParent;
        m_hWnd = ::CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_CLIPSIBLINGS, rcPos.left, rcPos.top,
                                   rcPos.right - rcPos.left, rcPos.bottom - rcPos.top, hWndHost, nullptr,
                                   g_hInstance, nullptr);
        if (!m_hWnd) {
            pInPlaceSite->Release();
            return E_FAIL;
        }
        Record("create rect=%ld,%ld,%ld,%ld parent=0x%llX", rcPos.left, rcPos.top, rcPos.right, rcPos.bottom,
               static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWndHost)));
        m_pInPlaceSite = pInPlaceSite;
        return S_OK;
    }

    LONG m_cRef = 1;
    IOleClientSite* m_pSite = nullptr;
    IOleInPlaceSite* m_pInPlaceSite = nullptr;
    HWND m_hWnd = nullptr;
    SIZEL m_extent{0, 0};
};

class CFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        auto* p = new CFlashDouble;
        const HRESULT hr = p->QueryInterface(riid, ppv);
        p->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL fLock) override
    {
        if (fLock)
            ::InterlockedIncrement(&g_cLocks);
        else
            ::InterlockedDecrement(&g_cLocks);
        return S_OK;
    }
};

CFactory g_factory;
const CLSID kFlashClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        ::DisableThreadLibraryCalls(hInstance);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DoubleWndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kWindowClass;
        ::RegisterClassA(&wc);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!IsEqualCLSID(rclsid, kFlashClsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    // Its window class stays registered for the process, so the library stays too.
    return S_FALSE;
}
