// The saver on a machine without Flash Player: no control is registered under the Flash class
// id, so the start-up hosts our own player, and the movie plays on screen.
#include "MovieHarness.h"

#include "ColourFramesMovie.h"
#include "DemoMovie.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace e2e;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
// Four frames a second: slow enough that a poll of the screen sees every one of them.
const std::vector<uint8_t>& RgbMovie()
{
    static const std::vector<uint8_t> movie = BuildColourFramesMovie(64, 48, 4, {0xFF0000, 0x00FF00, 0x0000FF});
    return movie;
}

struct PlayerRun {
    Process process;
    HWND hWnd = nullptr;

    bool Start(const std::string& scr)
    {
        if (scr.empty() || !process.Start(scr, "/s"))
            return false;
        hWnd = WaitForTopWindow(process.Pid(), 15000);
        return hWnd != nullptr;
    }
    bool EndsOnKeys(std::initializer_list<WORD> keys)
    {
        PressKeys(keys);
        DWORD code = 1;
        return process.WaitExit(10000, &code) && code == 0;
    }
    HWND Control() const { return ::FindWindowExA(hWnd, nullptr, "VfPlayerControl", nullptr); }
};

// The screen's centre, where every placement puts the movie.
COLORREF CentrePixel()
{
    return ScreenPixel(::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2);
}

// A coarse picture of the whole screen: enough to tell one frame of the demo from the next.
std::vector<COLORREF> ScreenSample()
{
    std::vector<COLORREF> sample;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    for (int y = h / 16; y < h; y += h / 8)
        for (int x = w / 32; x < w; x += w / 16)
            sample.push_back(ScreenPixel(x, y));
    return sample;
}

ULONGLONG CpuMsOf(DWORD pid)
{
    HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    FILETIME created, exited, kernel, user;
    ULONGLONG ms = 0;
    if (h && ::GetProcessTimes(h, &created, &exited, &kernel, &user))
        ms = ((ULONGLONG(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
              (ULONGLONG(user.dwHighDateTime) << 32 | user.dwLowDateTime)) / 10000;
    if (h)
        ::CloseHandle(h);
    return ms;
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override { FlashDoubleRegistration::Remove(); }
};

}  // namespace

TEST_F(PlayerTest, DemoSaverPlaysFramesThatChangeOnScreen)
{
    const std::string dir = FreshDir("player_demo");
    // Uncompressed: the start-up reads the frame size from the first bytes as they are stored.
    const std::string scr = MakeSaver(dir, "Demo", "--scale-mode 2 --loop 1 --key-mode 1 --mouse-ends-saver 0",
                                      swfwriter::BuildDemoMovie(false));
    PlayerRun run;
    ASSERT_TRUE(run.Start(scr));
    // The start-up's last step gives the focus to the control; by then it has its id.
    const DWORD tid = ::GetWindowThreadProcessId(run.hWnd, nullptr);
    auto focus = [tid] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        return ::GetGUIThreadInfo(tid, &gui) ? gui.hwndFocus : nullptr;
    };
    ASSERT_TRUE(WaitUntil([&] { return run.Control() && focus() == run.Control(); }, 15000))
        << "our player was not hosted, or has no focus";
    EXPECT_EQ(123, ::GetDlgCtrlID(run.Control()));

    const RECT all{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int total = (all.right - all.left) * (all.bottom - all.top);
    ASSERT_TRUE(WaitUntil([&] { return CountPixels(all, RGB(0, 0, 0)) < total / 2; }, 10000)) << "the stage is drawn";
    SaveScreenshot("player_demo_1");
    const std::vector<COLORREF> first = ScreenSample();
    EXPECT_TRUE(WaitUntil([&] { return ScreenSample() != first; }, 5000)) << "the picture does not move";
    SaveScreenshot("player_demo_2");
    std::vector<COLORREF> seen = ScreenSample();
    EXPECT_TRUE(WaitUntil([&] { return ScreenSample() != seen; }, 5000)) << "it moved once and stopped";
    EXPECT_TRUE(run.EndsOnKeys({'Q'}));
}

TEST_F(PlayerTest, WithoutLoopTheLastFrameStaysAndWithLoopTheFirstComesBack)
{
    for (int nLoop : {0, 1}) {
        const std::string dir = FreshDir("player_loop" + std::to_string(nLoop));
        const std::string scr = MakeSaver(
            dir, "Rgb", "--scale-mode 2 --key-mode 1 --mouse-ends-saver 0 --loop " + std::to_string(nLoop), RgbMovie());
        PlayerRun run;
        ASSERT_TRUE(run.Start(scr)) << nLoop;
        ASSERT_TRUE(WaitUntil([] { return CentrePixel() == kGreen; }, 15000)) << nLoop;
        ASSERT_TRUE(WaitUntil([] { return CentrePixel() == kBlue; }, 5000)) << nLoop;
        const ULONGLONG cpuAtEnd = CpuMsOf(run.process.Pid());
        const ULONGLONG tickAtEnd = ::GetTickCount64();
        // Three frame periods after the last frame: a loop would have shown the first again.
        const bool bRedAgain = WaitUntil([] { return CentrePixel() == kRed; }, 750);
        EXPECT_EQ(nLoop != 0, bRedAgain) << nLoop;
        if (!nLoop) {
            std::printf("[ stopped movie ] saver CPU %llu ms in %llu ms\n", CpuMsOf(run.process.Pid()) - cpuAtEnd,
                        ::GetTickCount64() - tickAtEnd);
            EXPECT_EQ(kBlue, CentrePixel());
        }
        SaveScreenshot("player_loop" + std::to_string(nLoop));
        EXPECT_TRUE(run.EndsOnKeys({VK_ESCAPE})) << nLoop;
    }
}

TEST_F(PlayerTest, MovieFromUrlIsFetchedWholeAndPlays)
{
    HttpTestServer server(HttpTestServer::Mode::Movie, RgbMovie());
    ASSERT_TRUE(server.Ok());
    const std::string dir = FreshDir("player_url");
    const std::string scr =
        MakeSaver(dir, "Net", "--scale-mode 2 --loop 1 --key-mode 1 --url " + server.Url("/rgb.swf"), {});
    PlayerRun run;
    ASSERT_TRUE(run.Start(scr));
    EXPECT_TRUE(WaitUntil([] { return CentrePixel() == kGreen; }, 20000));
    EXPECT_TRUE(WaitUntil([] { return CentrePixel() == kBlue; }, 5000));
    // The start-up's 32 bytes, then the player's whole movie: both as the same product.
    EXPECT_EQ((std::vector<std::string>{"Kestrune Product", "Kestrune Product"}), server.Agents());
    EXPECT_TRUE(run.EndsOnKeys({'Q'}));
}

TEST_F(PlayerTest, KeysOverThePlayerFollowTheRoutingRules)
{
    const struct {
        const char* name;
        const char* args;
        std::initializer_list<WORD> kept;  // pressed one by one; the saver must go on
        std::initializer_list<WORD> ends;  // pressed together; the saver must end
    } cases[] = {
        {"mode2_c", "--key-mode 2 --keys ab", {'A', 'B', VK_RIGHT}, {'C'}},
        {"mode2_esc", "--key-mode 2 --keys ab", {'A'}, {VK_ESCAPE}},
        {"mode1_alt", "--key-mode 1", {VK_SPACE, VK_F1}, {VK_MENU, 'Z'}},
    };
    for (const auto& c : cases) {
        const std::string dir = FreshDir(std::string("player_keys_") + c.name);
        const std::string scr =
            MakeSaver(dir, "Keys", std::string("--scale-mode 2 --loop 1 --mouse-ends-saver 0 ") + c.args, RgbMovie());
        PlayerRun run;
        ASSERT_TRUE(run.Start(scr)) << c.name;
        ASSERT_TRUE(WaitUntil([] { return CentrePixel() == kGreen; }, 15000)) << c.name;
        for (WORD vk : c.kept)
            PressKey(vk);
        // The movie keeps these keys: the saver is still there a while after the last one.
        EXPECT_FALSE(run.process.WaitExit(1000)) << c.name;
        EXPECT_TRUE(run.EndsOnKeys(c.ends)) << c.name;
    }
}
