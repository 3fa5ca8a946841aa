// The stand-in control: a windowed in-place object (COleControl, as our own player is),
// honouring what the saver relies on from the real control (a child window that
// takes the focus, property puts through IDispatch) and recording everything it is asked.
#include "FlashDouble.h"

#include "framework/OleControl.h"

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

const CLSID kFlashClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

class CFlashDouble final : public COleControl {
public:
    CFlashDouble() : COleControl(kFlashClsid) { ::InterlockedIncrement(&g_cLocks); }

private:
    ~CFlashDouble() override { ::InterlockedDecrement(&g_cLocks); }

    void OnVerb(LONG iVerb) override { Record("verb %ld", iVerb); }

    DWORD MiscStatus() const override
    {
        const DWORD dwStatus = COleControl::MiscStatus();
        return EnvValue(FLASHDOUBLE_MISC_ENV) == "nouiactivate" ? dwStatus | OLEMISC_NOUIACTIVATE : dwStatus;
    }

    // Made hidden: the container shows it, which the record notes with the id it has by then.
    HWND CreateControlWindow(HWND hWndParent, const RECT& rc) override
    {
        HWND hWnd = ::CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_CLIPSIBLINGS, rc.left, rc.top,
                                      rc.right - rc.left, rc.bottom - rc.top, hWndParent, nullptr, g_hInstance,
                                      nullptr);
        if (hWnd)
            Record("create rect=%ld,%ld,%ld,%ld parent=0x%llX", rc.left, rc.top, rc.right, rc.bottom,
                   static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWndParent)));
        return hWnd;
    }

    HRESULT PutProperty(DISPID dispid, const VARIANT& v, EXCEPINFO* pExcep, UINT*) override
    {
        if (dispid != 102 && dispid != 106 && dispid != 120)
            return DISP_E_MEMBERNOTFOUND;
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
