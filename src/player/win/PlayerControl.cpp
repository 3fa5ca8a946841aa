#include "player/win/PlayerControl.h"

#include "framework/OleControl.h"
#include "movie/ShockwaveFlash.h"
#include "player/win/ControlPlayback.h"
#include "player/win/MovieSource.h"
#include "player/win/GdiDeviceFonts.h"
#include "player/win/WicJpegDecoder.h"

#include <oleauto.h>
#include <ocidl.h>

#include <string>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

player::CWicJpegDecoder g_jpegDecoder;
player::CGdiDeviceFonts g_deviceFonts;

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

class CPlayerControl final : public COleControl {
public:
    CPlayerControl() : COleControl(FLASH_CONTROL_CLSID), m_playback(&g_jpegDecoder, &g_deviceFonts) {}

    LRESULT WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    ~CPlayerControl() override
    {
        // The window's procedure reaches the members below: it goes first.
        InPlaceDeactivate();
        if (m_hbmFrame)
            ::DeleteObject(m_hbmFrame);
    }

    HWND CreateControlWindow(HWND hWndParent, const RECT& rc) override;
    // Puts may have come before the window; their movie starts playing now.
    void OnActivated() override { ScheduleNextFrame(); }
    HRESULT PutProperty(DISPID dispid, const VARIANT& value, EXCEPINFO*, UINT* puArgErr) override;
    void LoadMovie(const std::string& strLocation);
    // Re-arms the frame timer for the next frame due, or kills it when none will come.
    void ScheduleNextFrame();
    void Redraw();
    void OnPaint();
    bool EnsureFrameBuffer(int w, int h);

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

HWND CPlayerControl::CreateControlWindow(HWND hWndParent, const RECT& rc)
{
    HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(&__ImageBase);
    if (!RegisterPlayerClass(hInstance))
        return nullptr;
    return ::CreateWindowExA(0, PLAYER_CONTROL_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc.left, rc.top,
                             rc.right - rc.left, rc.bottom - rc.top, hWndParent, nullptr, hInstance, this);
}

HRESULT CPlayerControl::PutProperty(DISPID dispid, const VARIANT& argument, EXCEPINFO*, UINT* puArgErr)
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
    VARIANT value;
    ::VariantInit(&value);
    // The source is only read; the platform's declaration lacks the const.
    if (FAILED(::VariantChangeType(&value, const_cast<VARIANT*>(&argument), 0, vt))) {
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
