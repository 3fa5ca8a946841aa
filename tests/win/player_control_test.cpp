// Our own player hosted the way the saver hosts it when Flash Player is missing: through the
// control container, whose class registry has no Flash control, by the fallback factory.
#include "framework/ControlContainer.h"
#include "framework/Wnd.h"
#include "movie/ShockwaveFlash.h"
#include "player/win/PlayerControl.h"
#include "player/win/WicJpegDecoder.h"

#include "ColourFramesMovie.h"
#include "DeviceFontFieldMovie.h"

#include <gtest/gtest.h>

#include <wincodec.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const CLSID kOtherClsid = {0x6D1B7F3A, 0x52C4, 0x4E0B, {0x9A, 0x11, 0x3C, 0x7E, 0x20, 0x5B, 0x91, 0xD4}};
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
const std::vector<uint32_t> kRgbFrames = {0xFF0000, 0x00FF00, 0x0000FF};

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (cond())
            return true;
        if (::GetTickCount64() > end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

class PlayerControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                      nullptr));
        ::SetForegroundWindow(m_parent.m_hWnd);
        char tmp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, tmp);
        m_movie = std::string(tmp) + "vf_player_control.swf";
    }
    void TearDown() override { ::DeleteFileA(m_movie.c_str()); }

    void WriteMovie(const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(m_movie, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // As the start-up does it: create by the fallback, hook the wrapper, then the three puts.
    void Host(CShockwaveFlash& wnd, const RECT& rc, long nScaleMode, BOOL bLoop)
    {
        ASSERT_TRUE(wnd.CreateControl(FLASH_CONTROL_CLSID, "", WS_CHILD | WS_VISIBLE, rc, &m_parent, 123,
                                      &CreatePlayerControl));
        ASSERT_EQ(PLAYER_CONTROL_CLASS, ClassOf(wnd.m_hWnd)) << "a Flash control is registered in this prefix";
        ASSERT_TRUE(wnd.SubclassWindow(wnd.Detach()));
        wnd.SetMovieLocation(m_movie.c_str());
        wnd.SetScalingMode(nScaleMode);
        wnd.SetLoopFlag(bLoop);
    }
    static std::string ClassOf(HWND hWnd)
    {
        char name[64] = "";
        ::GetClassNameA(hWnd, name, sizeof name);
        return name;
    }
    // What the control shows at (x, y) of its client area, once it has painted.
    static COLORREF PixelAt(HWND hWnd, int x, int y)
    {
        ::UpdateWindow(hWnd);
        HDC hdc = ::GetDC(hWnd);
        const COLORREF c = ::GetPixel(hdc, x, y);
        ::ReleaseDC(hWnd, hdc);
        return c;
    }
    // Whether the frame timer runs; asking stops it, so this is the last look at a control.
    static bool FrameTimerRuns(HWND hWnd) { return ::KillTimer(hWnd, PLAYER_FRAME_TIMER_ID) != FALSE; }

    CWnd m_parent;
    std::string m_movie;
};

TEST_F(PlayerControlTest, FallbackHostsAChildWindowOfTheGivenRectangleAndId)
{
    WriteMovie(BuildColourFramesMovie(100, 50, 10, {0xFF0000}));
    CShockwaveFlash other;
    EXPECT_FALSE(other.CreateControl(kOtherClsid, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, &m_parent, 7,
                                     &CreatePlayerControl))
        << "the player stands in for the Flash control only";

    CShockwaveFlash wnd;
    Host(wnd, RECT{10, 20, 110, 70}, 2, TRUE);
    EXPECT_EQ(m_parent.m_hWnd, ::GetParent(wnd.m_hWnd));
    EXPECT_EQ(123, ::GetDlgCtrlID(wnd.m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(wnd.m_hWnd));
    EXPECT_EQ(WS_CHILD, ::GetWindowLongA(wnd.m_hWnd, GWL_STYLE) & (WS_CHILD | WS_POPUP));
    RECT rc;
    ::GetWindowRect(wnd.m_hWnd, &rc);
    ::MapWindowPoints(nullptr, m_parent.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(10, rc.left);
    EXPECT_EQ(20, rc.top);
    EXPECT_EQ(110, rc.right);
    EXPECT_EQ(70, rc.bottom);
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(wnd.m_hWnd, 50, 25) == kRed; }, 5000));

    HWND hCtrl = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hCtrl));
}

TEST_F(PlayerControlTest, TextInADeviceFontShowsInTheSystemsFont)
{
    WriteMovie(BuildDeviceFontFieldMovie(200, 60, 40, "HHHH"));
    CShockwaveFlash wnd;
    Host(wnd, RECT{0, 0, 200, 60}, 2, TRUE);
    // The row at y = 15 crosses the two stems of each capital, about 40 pixels high from y = 2.
    auto redInRow = [&] {
        int n = 0;
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = PixelAt(wnd.m_hWnd, x, 15);
            n += GetRValue(c) > 200 && GetGValue(c) < 100 ? 1 : 0;
        }
        return n;
    };
    EXPECT_TRUE(PumpUntil([&] { return redInRow() >= 16; }, 5000)) << redInRow() << " red pixels";
}

TEST_F(PlayerControlTest, PutsOutsideTheThreeOrOfTheWrongKindAreRefused)
{
    WriteMovie(BuildColourFramesMovie(100, 50, 10, {0xFF0000}));
    CShockwaveFlash wnd;
    Host(wnd, RECT{0, 0, 100, 50}, 2, TRUE);
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = 1;
    try {
        wnd.m_pCtrlSite->SetProperty(107, v);
        ADD_FAILURE() << "unknown property accepted";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, e.m_hr);
    }
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(L"zwei");
    try {
        wnd.m_pCtrlSite->SetProperty(DISPID_FLASH_SCALE_MODE, v);
        ADD_FAILURE() << "text as a scale mode accepted";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(DISP_E_TYPEMISMATCH, e.m_hr);
    }
    ::VariantClear(&v);
}

TEST_F(PlayerControlTest, ScaleModesPlaceTheStageInTheRectangle)
{
    // A 100 x 50 stage in a 100 x 100 control: only exact fit and no border reach the corners.
    WriteMovie(BuildColourFramesMovie(100, 50, 10, {0xFF0000}));
    const struct {
        long nMode;
        bool bCornerCovered;
    } cases[] = {{0, false}, {1, true}, {2, true}, {3, false}};
    for (const auto& c : cases) {
        CShockwaveFlash wnd;
        Host(wnd, RECT{0, 0, 100, 100}, c.nMode, TRUE);
        EXPECT_TRUE(PumpUntil([&] { return PixelAt(wnd.m_hWnd, 50, 50) == kRed; }, 5000)) << c.nMode;
        EXPECT_EQ(c.bCornerCovered, PixelAt(wnd.m_hWnd, 2, 2) == kRed) << c.nMode;
        wnd.DestroyWindow();
    }
}

TEST_F(PlayerControlTest, FramesAdvanceOnTheTimerAndStopOrLoopAtTheEnd)
{
    WriteMovie(BuildColourFramesMovie(100, 50, 20, kRgbFrames));
    for (BOOL bLoop : {FALSE, TRUE}) {
        CShockwaveFlash wnd;
        const ULONGLONG start = ::GetTickCount64();
        Host(wnd, RECT{0, 0, 100, 50}, 2, bLoop);
        HWND hCtrl = wnd.m_hWnd;
        ASSERT_TRUE(PumpUntil([&] { return PixelAt(hCtrl, 50, 25) == kGreen; }, 5000)) << bLoop;
        const ULONGLONG green = ::GetTickCount64();
        ASSERT_TRUE(PumpUntil([&] { return PixelAt(hCtrl, 50, 25) == kBlue; }, 5000)) << bLoop;
        const ULONGLONG blue = ::GetTickCount64();
        std::printf("[ loop %d ] green after %llu ms, blue after %llu ms (due at 50 and 100)\n", bLoop,
                    green - start, blue - start);
        if (bLoop) {
            EXPECT_TRUE(PumpUntil([&] { return PixelAt(hCtrl, 50, 25) == kRed; }, 5000)) << "round to the first";
            EXPECT_TRUE(FrameTimerRuns(hCtrl));
        } else {
            // The frame timer went with the last frame: a stopped movie costs nothing.
            EXPECT_FALSE(FrameTimerRuns(hCtrl));
            EXPECT_EQ(kBlue, PixelAt(hCtrl, 50, 25));
        }
        wnd.DestroyWindow();
    }
}

TEST_F(PlayerControlTest, StaticOrMissingMovieRunsNoTimer)
{
    const struct {
        const char* name;
        std::vector<uint8_t> movie;  // empty: no file at all
        COLORREF shown;
    } cases[] = {
        {"one frame", BuildColourFramesMovie(100, 50, 30, {0x00FF00}), kGreen},
        {"missing", {}, RGB(0, 0, 0)},
        {"not a movie", {'G', 'I', 'F', '8', '9', 'a'}, RGB(0, 0, 0)},
    };
    for (const auto& c : cases) {
        ::DeleteFileA(m_movie.c_str());
        if (!c.movie.empty())
            WriteMovie(c.movie);
        CShockwaveFlash wnd;
        Host(wnd, RECT{0, 0, 100, 50}, 2, TRUE);
        EXPECT_TRUE(PumpUntil([&] { return PixelAt(wnd.m_hWnd, 50, 25) == c.shown; }, 5000)) << c.name;
        EXPECT_FALSE(FrameTimerRuns(wnd.m_hWnd)) << c.name;
        wnd.DestroyWindow();
    }
}

TEST_F(PlayerControlTest, UiActivationGivesTheKeyboardFocusAndTheMovieKeepsItsInput)
{
    WriteMovie(BuildColourFramesMovie(100, 50, 10, {0xFF0000}));
    CWnd wnd;  // no wrapper in front: what reaches the control's own window procedure
    ASSERT_TRUE(wnd.CreateControl(FLASH_CONTROL_CLSID, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 50}, &m_parent, 123,
                                  &CreatePlayerControl));
    ::SetFocus(m_parent.m_hWnd);
    wnd.m_pCtrlSite->SetFocus();
    EXPECT_EQ(wnd.m_hWnd, ::GetFocus());
    EXPECT_EQ(DLGC_WANTALLKEYS, ::SendMessageA(wnd.m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);

    ::SetFocus(m_parent.m_hWnd);
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(wnd.m_hWnd, ::GetFocus()) << "a click takes the focus, as a control does";
    wnd.DestroyWindow();
}

// A JPEG made by the platform's own encoder: a w x h picture, left half red, right half blue.
std::vector<uint8_t> EncodeJpeg(UINT w, UINT h)
{
    std::vector<uint8_t> bytes;
    IWICImagingFactory* pFactory = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&pFactory))))
        return bytes;
    IStream* pStream = nullptr;
    IWICBitmapEncoder* pEncoder = nullptr;
    IWICBitmapFrameEncode* pFrame = nullptr;
    ::CreateStreamOnHGlobal(nullptr, TRUE, &pStream);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    std::vector<BYTE> pixels(size_t(w) * h * 3);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            BYTE* p = &pixels[(size_t(y) * w + x) * 3];
            p[0] = x < w / 2 ? 0 : 255;  // blue
            p[2] = x < w / 2 ? 255 : 0;  // red
        }
    if (pStream && SUCCEEDED(pFactory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &pEncoder)) &&
        SUCCEEDED(pEncoder->Initialize(pStream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(pEncoder->CreateNewFrame(&pFrame, nullptr)) && SUCCEEDED(pFrame->Initialize(nullptr)) &&
        SUCCEEDED(pFrame->SetSize(w, h)) && SUCCEEDED(pFrame->SetPixelFormat(&format)) &&
        IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
        SUCCEEDED(pFrame->WritePixels(h, w * 3, UINT(pixels.size()), pixels.data())) &&
        SUCCEEDED(pFrame->Commit()) && SUCCEEDED(pEncoder->Commit())) {
        HGLOBAL hMem = nullptr;
        ::GetHGlobalFromStream(pStream, &hMem);
        STATSTG stat{};
        pStream->Stat(&stat, STATFLAG_NONAME);
        const auto* p = static_cast<const uint8_t*>(::GlobalLock(hMem));
        bytes.assign(p, p + stat.cbSize.QuadPart);
        ::GlobalUnlock(hMem);
    }
    if (pFrame)
        pFrame->Release();
    if (pEncoder)
        pEncoder->Release();
    if (pStream)
        pStream->Release();
    pFactory->Release();
    return bytes;
}

TEST(PlayerJpegTest, PlatformDecoderGivesOpaquePixelsAndRefusesOversizeOrDamage)
{
    AfxOleInitOnce();
    const std::vector<uint8_t> jpeg = EncodeJpeg(32, 16);
    ASSERT_FALSE(jpeg.empty()) << "the platform encodes no JPEG";
    player::CWicJpegDecoder decoder;
    player::CBitmap bitmap;
    ASSERT_TRUE(decoder.Decode(jpeg.data(), jpeg.size(), 8192, 1u << 24, bitmap));
    ASSERT_EQ(32, bitmap.nWidth);
    ASSERT_EQ(16, bitmap.nHeight);
    const uint32_t left = bitmap.pixels[8 * 32 + 4];
    const uint32_t right = bitmap.pixels[8 * 32 + 28];
    EXPECT_EQ(0xFFu, left >> 24);
    EXPECT_GT((left >> 16) & 0xFF, 200u) << std::hex << left;   // red
    EXPECT_GT(right & 0xFF, 200u) << std::hex << right;         // blue

    player::CBitmap none;
    EXPECT_FALSE(decoder.Decode(jpeg.data(), jpeg.size(), 31, 1u << 24, none)) << "wider than allowed";
    EXPECT_FALSE(decoder.Decode(jpeg.data(), jpeg.size(), 8192, 32 * 16 - 1, none)) << "more pixels than allowed";
    std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + jpeg.size() / 3);
    decoder.Decode(cut.data(), cut.size(), 8192, 1u << 24, none);  // may decode a part; must not crash
    const uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0x00, 0x13, 0x37};
    EXPECT_FALSE(decoder.Decode(junk, sizeof junk, 8192, 1u << 24, none));
}

}  // namespace
