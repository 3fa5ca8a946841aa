// The control container and the Flash wrapper under Wine, hosting the stand-in control through
// the container's fallback factory: the same seam a player of our own will use.
#include "app/SaverApp.h"
#include "framework/ControlContainer.h"
#include "movie/ShockwaveFlash.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// A class id nobody registers: creation always falls back to the factory given.
const CLSID kUnregisteredClsid = {0x6D1B7F3A, 0x52C4, 0x4E0B, {0x9A, 0x11, 0x3C, 0x7E, 0x20, 0x5B, 0x91, 0xD4}};
const CLSID kDoubleClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

std::string ExeDir()
{
    char path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

HRESULT CreateDouble(REFCLSID, IUnknown** ppUnk)
{
    static HMODULE s_hDll = ::LoadLibraryA((ExeDir() + "\\..\\support\\flashdouble\\flashdouble.dll").c_str());
    if (!s_hDll)
        return REGDB_E_CLASSNOTREG;
    using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto pfn = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(::GetProcAddress(s_hDll, "DllGetClassObject")));
    IClassFactory* pFactory = nullptr;
    if (!pfn || FAILED(pfn(kDoubleClsid, IID_IClassFactory, reinterpret_cast<void**>(&pFactory))))
        return REGDB_E_CLASSNOTREG;
    const HRESULT hr = pFactory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(ppUnk));
    pFactory->Release();
    return hr;
}

// A parent that notes which input the wrapper hands to it.
class CRecordingParent : public CWnd {
public:
    BEGIN_MSG_MAP(CRecordingParent)
        MESSAGE_HANDLER(WM_KEYDOWN, OnInput)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnInput)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnInput)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnInput)
    END_MSG_MAP()

    LRESULT OnInput(UINT message, WPARAM wParam, LPARAM)
    {
        m_received.push_back({message, wParam});
        return 0;
    }
    std::vector<std::pair<UINT, WPARAM>> m_received;
};

class MovieControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, tmp);
        m_log = std::string(tmp) + "vf_flashdouble_win.log";
        ::DeleteFileA(m_log.c_str());
        ::SetEnvironmentVariableA("VF_FLASHDOUBLE_LOG", m_log.c_str());
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                      nullptr));
        ::SetForegroundWindow(m_parent.m_hWnd);
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableA("VF_FLASHDOUBLE_LOG", nullptr);
        ::SetEnvironmentVariableA("VF_FLASHDOUBLE_MISC", nullptr);
        ::SetEnvironmentVariableA("VF_FLASHDOUBLE_REJECT", nullptr);
        SaverApp().m_nKeyMode = 0;
        SaverApp().m_strKeys.clear();
        SaverApp().m_bMouseEndsSaver = 0;
        SaverApp().m_nPreviewWidth = 0;
    }
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_log);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool Logged(const std::string& line) const
    {
        for (const std::string& l : Log())
            if (l == line)
                return true;
        return false;
    }
    // Creates the stand-in in the wrapper and hooks the wrapper in front of it, as the start-up does.
    void Host(CShockwaveFlash& wnd)
    {
        const RECT rc{10, 20, 110, 70};
        ASSERT_TRUE(wnd.CreateControl(kUnregisteredClsid, "", WS_CHILD | WS_VISIBLE, rc, &m_parent, 123, &CreateDouble));
        ASSERT_TRUE(wnd.SubclassWindow(wnd.Detach()));
    }

    std::string m_log;
    CRecordingParent m_parent;
};

TEST_F(MovieControlTest, FallbackFactoryHostsAWindowedControlAndSubclassingRebindsTheSite)
{
    CShockwaveFlash wnd;
    const RECT rc{10, 20, 110, 70};
    EXPECT_FALSE(wnd.CreateControl(kUnregisteredClsid, "", WS_CHILD | WS_VISIBLE, rc, &m_parent, 123));
    EXPECT_EQ(nullptr, wnd.m_hWnd);

    ASSERT_TRUE(wnd.CreateControl(kUnregisteredClsid, "", WS_CHILD | WS_VISIBLE, rc, &m_parent, 123, &CreateDouble));
    COleControlSite* pSite = wnd.m_pCtrlSite;
    ASSERT_NE(nullptr, pSite);
    EXPECT_EQ(m_parent.m_hWnd, ::GetParent(wnd.m_hWnd));
    EXPECT_EQ(123, ::GetDlgCtrlID(wnd.m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(wnd.m_hWnd));
    EXPECT_TRUE(Logged("show id=123"));

    HWND hCtrl = wnd.Detach();
    EXPECT_EQ(nullptr, wnd.m_pCtrlSite);
    ASSERT_TRUE(wnd.SubclassWindow(hCtrl));
    EXPECT_EQ(pSite, wnd.m_pCtrlSite);

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hCtrl));
    EXPECT_EQ(nullptr, wnd.m_pCtrlSite);
}

TEST_F(MovieControlTest, PutsReachTheControlAsTheirVariantTypes)
{
    CShockwaveFlash wnd;
    wnd.SetMovieLocation("ignored");  // no site yet: nothing happens
    Host(wnd);
    wnd.SetMovieLocation("C:\\Filme\\M\xFCll & Co.swf");
    wnd.SetScalingMode(2);
    wnd.SetLoopFlag(200);
    wnd.SetLoopFlag(0);
    const std::vector<std::string> expected = {
        "put dispid=102 vt=8 value=C:\\Filme\\M\xFCll & Co.swf",
        "put dispid=120 vt=3 value=2",
        "put dispid=106 vt=11 value=-1",
        "put dispid=106 vt=11 value=0",
    };
    std::vector<std::string> puts;
    for (const std::string& l : Log())
        if (l.rfind("put ", 0) == 0)
            puts.push_back(l);
    EXPECT_EQ(expected, puts);
}

TEST_F(MovieControlTest, RefusedPutThrowsTheAutomationException)
{
    ::SetEnvironmentVariableA("VF_FLASHDOUBLE_REJECT", "120");
    CShockwaveFlash wnd;
    Host(wnd);
    try {
        wnd.SetScalingMode(2);
        ADD_FAILURE() << "no exception";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(DISP_E_EXCEPTION, e.m_hr);
        EXPECT_EQ(120, e.m_dispid);
        EXPECT_EQ("refused by the test control", e.m_strDescription);
    }
}

TEST_F(MovieControlTest, FocusGoesThroughUiActivationUnlessTheControlDeclinesIt)
{
    for (bool bNoUiActivate : {false, true}) {
        ::SetEnvironmentVariableA("VF_FLASHDOUBLE_MISC", bNoUiActivate ? "nouiactivate" : nullptr);
        ::DeleteFileA(m_log.c_str());
        ::SetFocus(m_parent.m_hWnd);
        CShockwaveFlash wnd;
        Host(wnd);
        wnd.m_pCtrlSite->SetFocus();
        EXPECT_EQ(wnd.m_hWnd, ::GetFocus()) << bNoUiActivate;
        EXPECT_EQ(!bNoUiActivate, Logged("verb -4")) << bNoUiActivate;
        EXPECT_TRUE(Logged("focus")) << bNoUiActivate;
    }
}

TEST_F(MovieControlTest, WrapperRoutesEachMessageToMovieOrSaver)
{
    CShockwaveFlash wnd;
    Host(wnd);
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        int nKeyMode;
        const char* keys;
        BOOL bMouseEndsSaver;
        bool bToSaver;
        bool bToMovie;
    } cases[] = {
        {"listed key", WM_KEYDOWN, 'A', 2, "ab", 0, false, true},
        {"unlisted key", WM_KEYDOWN, 'C', 2, "ab", 0, true, false},
        {"arrow in mode 1", WM_KEYDOWN, VK_LEFT, 1, "", 0, false, true},
        {"esc in mode 2", WM_KEYDOWN, VK_ESCAPE, 2, "ab", 0, true, false},
        {"alt key", WM_SYSKEYDOWN, 'A', 2, "ab", 0, true, false},
        {"key up", WM_KEYUP, 'C', 0, "", 1, false, true},
        {"move kept", WM_MOUSEMOVE, 0, 0, "", 0, false, true},
        {"move ends", WM_MOUSEMOVE, 0, 0, "", 1, true, false},
        {"right press", WM_RBUTTONDOWN, MK_RBUTTON, 0, "", 1, false, false},
        {"left press", WM_LBUTTONDOWN, MK_LBUTTON, 0, "", 1, false, true},
    };
    for (const auto& c : cases) {
        SaverApp().m_nKeyMode = c.nKeyMode;
        SaverApp().m_strKeys = c.keys;
        SaverApp().m_bMouseEndsSaver = c.bMouseEndsSaver;
        m_parent.m_received.clear();
        ::DeleteFileA(m_log.c_str());
        ::SendMessageA(wnd.m_hWnd, c.message, c.wParam, MAKELPARAM(5, 6));
        const bool bToSaver = m_parent.m_received.size() == 1 && m_parent.m_received[0].first == c.message &&
                              m_parent.m_received[0].second == c.wParam;
        EXPECT_EQ(c.bToSaver, bToSaver) << c.name;
        char line[96];
        std::snprintf(line, sizeof line, "msg 0x%04X wparam=0x%llX lparam=0x%llX", c.message,
                      static_cast<unsigned long long>(c.wParam), static_cast<unsigned long long>(MAKELPARAM(5, 6)));
        EXPECT_EQ(c.bToMovie, Logged(line)) << c.name;
    }
}

TEST_F(MovieControlTest, PreviewHandsTheFocusBackToTheWindowThatLostIt)
{
    CShockwaveFlash wnd;
    Host(wnd);
    SaverApp().m_nPreviewWidth = 152;
    ::SetFocus(m_parent.m_hWnd);
    ::SetFocus(wnd.m_hWnd);
    EXPECT_EQ(m_parent.m_hWnd, ::GetFocus());
    EXPECT_TRUE(Logged("focus")) << "the control saw the focus first";

    // Naming no window: the focus stays where it is.
    SaverApp().m_nPreviewWidth = 0;
    ::SetFocus(wnd.m_hWnd);
    SaverApp().m_nPreviewWidth = 152;
    ::SendMessageA(wnd.m_hWnd, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(wnd.m_hWnd, ::GetFocus());
}

}  // namespace
