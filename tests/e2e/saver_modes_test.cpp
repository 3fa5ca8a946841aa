// Run, preview and password-change mode of the real .scr, as a user and the Display control
// panel see them.
#include "Harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

using namespace e2e;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int CountLines(const std::string& text, const std::string& prefix)
{
    int n = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        n += line.rfind(prefix, 0) == 0;
    return n;
}

std::string DoubleDir()
{
    return Config().buildDir + "\\tests\\support\\passworddoubles";
}

// A saver folder with the runtime under the given name and nothing else.
std::string BareSaverIn(const std::string& dir, const std::string& name)
{
    const std::string scr = dir + "\\" + name + ".scr";
    EXPECT_TRUE(CopyTo(Config().scr, scr));
    return scr;
}

struct RunningSaver {
    Process process;
    HWND hWnd = nullptr;
};

void StartRunMode(RunningSaver& s, const std::string& scr)
{
    MoveCursorTo(500, 400);
    ASSERT_TRUE(WaitUntil([] { POINT p; ::GetCursorPos(&p); return p.x == 500 && p.y == 400; }, 5000));
    ASSERT_TRUE(s.process.Start(scr, "/s"));
    s.hWnd = WaitForTopWindow(s.process.Pid(), 15000);
    ASSERT_NE(nullptr, s.hWnd);
    // The start state is recorded at creation; give the window its first paint.
    ASSERT_TRUE(WaitUntil([] { return ScreenPixel(512, 384) == RGB(0, 0, 0); }, 10000));
}

// An unknown switch, and a preview without a usable parent window, end at once and quietly.
TEST(SaverModes, NothingToShowEndsAtOnce)
{
    const std::string scr = BareSaverIn(FreshDir("nothing_to_show"), "Bare");
    for (const char* args : {"/x", "/", "-", "/p", "/p 0", "/p 12345"}) {
        Process p;
        ASSERT_TRUE(p.Start(scr, args));
        DWORD code = 1;
        ASSERT_TRUE(p.WaitExit(15000, &code)) << args;
        EXPECT_EQ(0u, code) << args;
    }
}

TEST(SaverModes, RunShowsBlackTopMostWindowOverTheScreenAndEndsOnKey)
{
    const std::string scr = BareSaverIn(FreshDir("run_key"), "Bare");
    Process p;
    ASSERT_TRUE(p.Start(scr, "/s"));
    HWND h = WaitForTopWindow(p.Pid(), 15000);
    ASSERT_NE(nullptr, h);
    RECT rc;
    ::GetWindowRect(h, &rc);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), rc.right);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), rc.bottom);
    EXPECT_TRUE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(WaitUntil([] { return ScreenPixel(512, 384) == RGB(0, 0, 0) && ScreenPixel(3, 3) == RGB(0, 0, 0); }, 10000));
    SaveScreenshot("run_black");
    PressKey('Q');
    DWORD code = 1;
    ASSERT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

TEST(SaverModes, MouseButtonsEndTheSaver)
{
    const std::string scr = BareSaverIn(FreshDir("buttons"), "Buttons");
    struct Button {
        DWORD down, up;
    };
    for (Button b : {Button{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}, Button{MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
                     Button{MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP}}) {
        RunningSaver s;
        StartRunMode(s, scr);
        Click(b.down, b.up);
        DWORD code = 1;
        EXPECT_TRUE(s.process.WaitExit(10000, &code));
        EXPECT_EQ(0u, code);
    }
}

TEST(SaverModes, MouseMovementOfFiftyPixelsStaysFiftyOneEnds)
{
    const std::string scr = BareSaverIn(FreshDir("movement"), "Movement");
    RunningSaver s;
    StartRunMode(s, scr);
    MoveCursorTo(550, 450);
    MoveCursorTo(450, 350);
    MoveCursorTo(550, 400);
    // Give the moves time to arrive; the saver must still be there.
    EXPECT_FALSE(s.process.WaitExit(1500));
    MoveCursorTo(500, 451);
    DWORD code = 1;
    EXPECT_TRUE(s.process.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

TEST(SaverModes, PreviewDrawsInsideTheParentAndLivesUntilTheParentIsGone)
{
    const std::string scr = BareSaverIn(FreshDir("preview"), "Preview");
    // The Display control panel's preview: a small window of another process.
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | SS_WHITERECT, 600, 100, 152, 112,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    ::UpdateWindow(parent);
    Process p;
    ASSERT_TRUE(p.Start(scr, "/p " + std::to_string(reinterpret_cast<INT_PTR>(parent))));
    HWND child = nullptr;
    // Found as soon as it exists; visible once its creation is complete.
    ASSERT_TRUE(WaitUntil([&] { return (child = ::GetWindow(parent, GW_CHILD)) != nullptr && ::IsWindowVisible(child); },
                          15000));
    RECT rc;
    ::GetClientRect(child, &rc);
    EXPECT_EQ(152, rc.right);
    EXPECT_EQ(112, rc.bottom);
    const DWORD kinds = WS_CHILD | WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER | WS_CAPTION;
    EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN), DWORD(::GetWindowLongA(child, GWL_STYLE)) & kinds);
    // What a window of one process draws as the child of another process's window does not
    // reach Wine's screen, so the preview's pixels are not judged here; the same window's
    // drawing is judged in run mode.
    // Input does not end a preview.
    PressKey('Q');
    MoveCursorTo(10, 10);
    EXPECT_FALSE(p.WaitExit(1500));
    ::DestroyWindow(parent);
    DWORD code = 1;
    EXPECT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

// Settings that Wine keeps per executable name; removed again when the test ends.
class WineAppDefaults {
public:
    WineAppDefaults(const std::string& exeName, const char* subkey, const char* value, const char* data)
        : m_key("Software\\Wine\\AppDefaults\\" + exeName)
    {
        const std::string key = *subkey ? m_key + "\\" + subkey : m_key;
        HKEY h;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              nullptr) == ERROR_SUCCESS) {
            ::RegSetValueExA(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                             static_cast<DWORD>(std::strlen(data) + 1));
            ::RegCloseKey(h);
        }
    }
    ~WineAppDefaults() { ::RegDeleteTreeA(HKEY_CURRENT_USER, m_key.c_str()); }

private:
    std::string m_key;
};

// MPR.DLL is a Wine built-in: the saver loads the stand-in beside it only when told to.
TEST(SaverModes, PasswordChangeCallsTheServiceWithTheOwner)
{
    const std::string dir = FreshDir("change_password");
    const std::string scr = BareSaverIn(dir, "Change");
    ASSERT_TRUE(CopyTo(DoubleDir() + "\\mpr.dll", dir + "\\mpr.dll"));
    WineAppDefaults native("Change.scr", "DllOverrides", "mpr", "native");
    DWORD code = RunToEnd(scr, "/a 4660");
    EXPECT_EQ(0u, code);
    code = RunToEnd(scr, "/a");
    EXPECT_EQ(0u, code);
    const std::string log = ReadFile(dir + "\\calls.log");
    EXPECT_EQ(2, CountLines(log, "PwdChangePasswordA SCRSAVE "));
    EXPECT_NE(std::string::npos, log.find("0000000000001234 0 0")) << log;
    EXPECT_NE(std::string::npos, log.find("0000000000000000 0 0")) << log;
}

TEST(SaverModes, PasswordChangeWithoutTheServiceEndsQuietly)
{
    const std::string dir = FreshDir("change_password_missing");
    const std::string scr = BareSaverIn(dir, "NoChange");
    // An MPR.DLL without the entry point: the password double is a DLL that lacks it.
    ASSERT_TRUE(CopyTo(DoubleDir() + "\\password.cpl", dir + "\\mpr.dll"));
    WineAppDefaults native("NoChange.scr", "DllOverrides", "mpr", "native");
    Process p;
    ASSERT_TRUE(p.Start(scr, "/a"));
    DWORD code = 1;
    EXPECT_TRUE(p.WaitExit(15000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(std::string::npos, ReadFile(dir + "\\calls.log").find("PwdChangePasswordA"));
}

// Windows 95/98/Me asks for the password once the grace period is over: Wine shows the saver
// that family when told so for its executable's name.
TEST(SaverModes, PasswordIsAskedOnlyAfterTheGracePeriodAndARefusalKeepsTheSaver)
{
    const std::string dir = FreshDir("password");
    const std::string scr = BareSaverIn(dir, "Password98");
    ASSERT_TRUE(CopyTo(DoubleDir() + "\\password.cpl", dir + "\\PASSWORD.CPL"));
    {
        std::ofstream(dir + "\\answers.txt") << "0";  // refuse once, then accept
    }
    WineAppDefaults family("Password98.scr", "", "Version", "win98");

    // Within the grace period a key closes without a password.
    {
        RunningSaver s;
        StartRunMode(s, scr);
        PressKey('Q');
        EXPECT_TRUE(s.process.WaitExit(10000));
        EXPECT_EQ(std::string(), ReadFile(dir + "\\calls.log"));
    }

    RunningSaver s;
    StartRunMode(s, scr);
    const DWORD started = ::GetTickCount();
    WaitUntil([&] { return ::GetTickCount() - started > 16000; }, 20000);
    PressKey('Q');
    ASSERT_TRUE(WaitUntil([&] { return CountLines(ReadFile(dir + "\\calls.log"), "VerifyScreenSavePwd") == 1; }, 10000));
    // Refused: the saver runs on.
    EXPECT_FALSE(s.process.WaitExit(1500));
    PressKey('Q');
    DWORD code = 1;
    EXPECT_TRUE(s.process.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
    const std::string log = ReadFile(dir + "\\calls.log");
    EXPECT_EQ(2, CountLines(log, "VerifyScreenSavePwd"));
    char owner[64];
    std::snprintf(owner, sizeof owner, "VerifyScreenSavePwd %p", static_cast<void*>(s.hWnd));
    EXPECT_EQ(0u, log.find(owner)) << log;
}

}  // namespace
