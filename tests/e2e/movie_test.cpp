// The movie window end to end: the real .scr with saverkit-made files and the stand-in control
// registered under the Flash class id.
#include "MovieHarness.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>

using namespace e2e;

namespace {

const char kSettingsFirst[] = "Einige Dateien fehlen!";
const char kSettingsSecond[] = "Bitte installieren Sie das Programm erneut.";
const char kMovieFirst[] = "Folgendes konnte nicht gefunden werden:";

// One saver run: started in run mode, its window found, ended on a key at the latest when the
// test is done.
struct SaverRun {
    Process process;
    HWND hWnd = nullptr;

    bool Start(const std::string& scr, const std::string& args = "/s")
    {
        if (scr.empty() || !process.Start(scr, args))
            return false;
        hWnd = WaitForTopWindow(process.Pid(), 15000);
        return hWnd != nullptr;
    }
    bool EndsOnKey(WORD vk)
    {
        PressKey(vk);
        DWORD code = 1;
        return process.WaitExit(10000, &code) && code == 0;
    }
};

std::string Line(const char* format, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

class MovieTest : public ::testing::Test {
protected:
    void SetUp() override { FlashDoubleRegistration::Remove(); }
    void TearDown() override { FlashDoubleRegistration::Remove(); }
};

// The notice of the first drawing is on screen, white on black, exactly where the generator
// that is never seeded puts it; seven seconds later it is at the second place.
void ExpectNoticeMoves(const std::string& strFirst, const std::string& strSecond, const char* shot)
{
    const SIZE text = NoticeTextSize(strFirst, strSecond);
    const RECT first = ExpectedNoticeRect(text, 0);
    const RECT second = ExpectedNoticeRect(text, 1);
    EXPECT_TRUE(WaitUntil([&] { return WhiteOnlyInside(first); }, 10000))
        << "notice not at " << first.left << "," << first.top << " size " << text.cx << "x" << text.cy;
    SaveScreenshot(shot);
    EXPECT_TRUE(WaitUntil([&] { return WhiteOnlyInside(second); }, 12000))
        << "notice did not move to " << second.left << "," << second.top;
}

}  // namespace

TEST_F(MovieTest, LocalMovieGetsItsRectanglePutsAndFocusInRunMode)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const std::string dir = FreshDir("movie_local");
    FlashLog log(dir);
    const std::string scr = MakeSaver(dir, "Local", "--scale-mode 0 --size-percent 100 --loop 7 --mouse-ends-saver 1",
                                      SwfMovie(550, 400));
    SaverRun run;
    ASSERT_TRUE(run.Start(scr));

    std::string create;
    ASSERT_TRUE(log.WaitForLine("create ", 15000, &create));
    EXPECT_EQ(Line("create rect=237,184,787,584 parent=0x%llX",
                   static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(run.hWnd))),
              create);
    ASSERT_TRUE(log.WaitForLine("focus", 10000));
    EXPECT_TRUE(log.HasLine("show id=123"));
    const std::vector<std::string> expected = {
        "put dispid=102 vt=8 value=" + DataDirectoryOf(dir) + "FILE0000.SWF",
        "put dispid=120 vt=3 value=2",
        "put dispid=106 vt=11 value=-1",
    };
    EXPECT_EQ(expected, log.Puts());
    EXPECT_TRUE(log.HasLine("verb -4")) << "focus through UI activation";
    HWND hCtrl = FindControlWindow(run.hWnd);
    ASSERT_NE(nullptr, hCtrl);
    EXPECT_EQ(123, ::GetDlgCtrlID(hCtrl));
    CURSORINFO ci{};
    ci.cbSize = sizeof ci;
    ASSERT_TRUE(::GetCursorInfo(&ci));
    EXPECT_EQ(0u, ci.flags & CURSOR_SHOWING) << "bMouseEndsSaver hides the cursor";
    SaveScreenshot("movie_local");
    EXPECT_TRUE(run.EndsOnKey(VK_SPACE)) << "key mode 0 gives every key to the saver";
}

TEST_F(MovieTest, KeyModeTwoKeepsListedKeysAndEndsOnOthers)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const std::string dir = FreshDir("movie_keys");
    FlashLog log(dir);
    const std::string scr = MakeSaver(dir, "Keys", "--key-mode 2 --keys ab --mouse-ends-saver 0", SwfMovie(550, 400));
    MoveCursorTo(20, 20);
    SaverRun run;
    ASSERT_TRUE(run.Start(scr));
    ASSERT_TRUE(log.WaitForLine("focus", 15000));

    POINT pt{};
    ::GetCursorPos(&pt);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN) / 2, pt.x) << "half the work area, which is the whole screen here";
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN) / 2, pt.y);

    PressKey('A');
    EXPECT_TRUE(log.WaitForLine(Line("msg 0x%04X wparam=0x41", WM_KEYDOWN), 5000)) << "A reaches the movie";
    // A right-button press over the movie: neither the control nor the saver gets it.
    MoveCursorTo(pt.x + 10, pt.y + 10);
    EXPECT_TRUE(log.WaitForLine(Line("msg 0x%04X", WM_MOUSEMOVE), 5000)) << "the movie keeps mouse movement";
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(log.WaitForLine(Line("msg 0x%04X", WM_RBUTTONUP), 5000));
    EXPECT_FALSE(log.HasLine(Line("msg 0x%04X", WM_RBUTTONDOWN)));
    EXPECT_TRUE(run.process.Running());

    EXPECT_TRUE(run.EndsOnKey('C'));
    EXPECT_FALSE(log.HasLine(Line("msg 0x%04X wparam=0x43", WM_KEYDOWN)));
}

TEST_F(MovieTest, EscapeAndAltKeysEndTheSaverWithoutReachingTheMovie)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const struct {
        const char* name;
        std::initializer_list<WORD> keys;
        UINT message;
        WORD vk;
    } cases[] = {
        {"esc", {VK_ESCAPE}, WM_KEYDOWN, VK_ESCAPE},
        {"alt", {VK_MENU, 'Z'}, WM_SYSKEYDOWN, 'Z'},
    };
    for (const auto& c : cases) {
        const std::string dir = FreshDir(std::string("movie_end_") + c.name);
        FlashLog log(dir);
        const std::string scr = MakeSaver(dir, "Ends", "--key-mode 1 --mouse-ends-saver 0", SwfMovie(550, 400));
        SaverRun run;
        ASSERT_TRUE(run.Start(scr)) << c.name;
        ASSERT_TRUE(log.WaitForLine("focus", 15000)) << c.name;
        PressKeys(c.keys);
        DWORD code = 1;
        EXPECT_TRUE(run.process.WaitExit(10000, &code)) << c.name;
        EXPECT_FALSE(log.HasLine(Line("msg 0x%04X wparam=0x%X", c.message, c.vk))) << c.name;
    }
}

TEST_F(MovieTest, PreviewLeavesFocusAndCursorAlone)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const std::string dir = FreshDir("movie_preview");
    FlashLog log(dir);
    const std::string scr = MakeSaver(dir, "Preview", "--scale-mode 1 --mouse-ends-saver 1", SwfMovie(550, 400));
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 100, 152, 112, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    MoveCursorTo(40, 50);
    Process p;
    ASSERT_TRUE(p.Start(scr, "/p " + std::to_string(reinterpret_cast<INT_PTR>(parent))));
    std::string create;
    ASSERT_TRUE(log.WaitForLine("create ", 15000, &create));
    EXPECT_EQ(0u, create.find("create rect=0,1,152,111 ")) << create;
    ASSERT_TRUE(log.WaitForLine("put dispid=106", 10000));
    EXPECT_FALSE(log.HasLine("verb -4"));
    EXPECT_FALSE(log.HasLine("focus"));
    POINT pt{};
    ::GetCursorPos(&pt);
    EXPECT_EQ(40, pt.x);
    EXPECT_EQ(50, pt.y);
    ::DestroyWindow(parent);
    EXPECT_TRUE(p.WaitExit(10000));
}

TEST_F(MovieTest, WithoutSettingsFileTheNoticeMovesEverySevenSeconds)
{
    const std::string dir = FreshDir("movie_notice500");
    const std::string scr = dir + "\\Lonely.scr";
    ASSERT_TRUE(CopyTo(Config().scr, scr));
    MoveCursorTo(30, 30);
    SaverRun run;
    ASSERT_TRUE(run.Start(scr));
    ExpectNoticeMoves(kSettingsFirst, kSettingsSecond, "movie_notice500");
    POINT pt{};
    ::GetCursorPos(&pt);
    EXPECT_EQ(30, pt.x) << "a notice leaves the cursor where it was";
    EXPECT_TRUE(run.EndsOnKey('Q'));
}

TEST_F(MovieTest, MissingOrUnusableMovieShowsWhatWasNotFound)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const struct {
        const char* name;
        const char* url;  // empty: FILE0000.SWF in the data directory
        bool bMovie;
        bool bCompressed;
    } cases[] = {
        {"missing", "", false, false},
        {"compressed", "", true, true},
        {"localpath", "C:\\Filme\\a.swf", true, false},
        {"fileurl", "file:///C:/Filme/a.swf", true, false},
    };
    for (const auto& c : cases) {
        const std::string dir = FreshDir(std::string("movie_notice_") + c.name);
        FlashLog log(dir);
        std::string args = "--mouse-ends-saver 1";
        if (*c.url)
            args += std::string(" --url \"") + c.url + "\"";
        const std::string scr =
            MakeSaver(dir, "Gone", args, c.bMovie ? SwfMovie(550, 400, c.bCompressed) : std::vector<std::uint8_t>{});
        SaverRun run;
        ASSERT_TRUE(run.Start(scr)) << c.name;
        const std::string shown = *c.url ? std::string(c.url) : DataDirectoryOf(dir) + "FILE0000.SWF";
        const RECT rc = ExpectedNoticeRect(NoticeTextSize(kMovieFirst, shown), 0);
        EXPECT_TRUE(WaitUntil([&] { return WhiteOnlyInside(rc); }, 10000)) << c.name;
        SaveScreenshot(std::string("movie_notice_") + c.name);
        EXPECT_TRUE(log.Lines().empty()) << c.name << ": no control is created for a notice";
        CURSORINFO ci{};
        ci.cbSize = sizeof ci;
        ::GetCursorInfo(&ci);
        EXPECT_NE(0u, ci.flags & CURSOR_SHOWING) << c.name << ": a notice does not hide the cursor";
        EXPECT_TRUE(run.EndsOnKey('Q')) << c.name;
    }
}

TEST_F(MovieTest, MovieFromUrlIsFetchedWithTheAgentName)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    HttpTestServer server(HttpTestServer::Mode::Movie, SwfMovie(800, 600));
    ASSERT_TRUE(server.Ok());
    const std::string dir = FreshDir("movie_url");
    FlashLog log(dir);
    const std::string url = server.Url("/movies/a.swf");
    const std::string scr = MakeSaver(dir, "Net", "--scale-mode 0 --size-percent 50 --url " + url, {});
    SaverRun run;
    ASSERT_TRUE(run.Start(scr));
    std::string create;
    ASSERT_TRUE(log.WaitForLine("create ", 20000, &create));
    EXPECT_EQ(0u, create.find("create rect=312,234,712,534 ")) << create;
    ASSERT_TRUE(log.WaitForLine("put dispid=102", 5000));
    EXPECT_EQ("put dispid=102 vt=8 value=" + url, log.Puts().front());
    EXPECT_EQ(std::vector<std::string>{"Kestrune Product"}, server.Agents());
    EXPECT_TRUE(run.EndsOnKey('Q'));
}

TEST_F(MovieTest, UnusableOrSilentServerShowsTheNoticeSoon)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const struct {
        const char* name;
        HttpTestServer::Mode mode;
    } cases[] = {
        {"errorpage", HttpTestServer::Mode::ErrorPage},
        // Accepts the connection and never answers: the request's own time-outs end the wait.
        {"silent", HttpTestServer::Mode::Silent},
    };
    for (const auto& c : cases) {
        HttpTestServer server(c.mode);
        ASSERT_TRUE(server.Ok());
        const std::string dir = FreshDir(std::string("movie_http_") + c.name);
        FlashLog log(dir);
        const std::string url = server.Url("/a.swf");
        const std::string scr = MakeSaver(dir, "Net", "--url " + url, {});
        SaverRun run;
        ASSERT_TRUE(run.Start(scr)) << c.name;
        const DWORD start = ::GetTickCount();
        const RECT rc = ExpectedNoticeRect(NoticeTextSize(kMovieFirst, url), 0);
        // Five seconds of time-out, and a generous allowance for a busy machine.
        EXPECT_TRUE(WaitUntil([&] { return WhiteOnlyInside(rc); }, 30000)) << c.name;
        std::printf("[ %s ] notice after %lu ms\n", c.name, ::GetTickCount() - start);
        EXPECT_GE(server.Connections(), 1) << c.name;
        EXPECT_TRUE(log.Lines().empty()) << c.name;
        EXPECT_TRUE(run.EndsOnKey('Q')) << c.name;
    }
}

TEST_F(MovieTest, WithoutFlashControlOurPlayerTakesItsPlaceAndAKeyEndsIt)
{
    const std::string dir = FreshDir("movie_nocontrol");
    FlashLog log(dir);
    const std::string scr = MakeSaver(dir, "NoFlash", "--scale-mode 0", SwfMovie(550, 400));
    SaverRun run;
    ASSERT_TRUE(run.Start(scr));
    HWND hCtrl = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hCtrl = ::FindWindowExA(run.hWnd, nullptr, "VfPlayerControl", nullptr)); },
                          15000));
    RECT rc;
    ::GetWindowRect(hCtrl, &rc);
    EXPECT_EQ(237, rc.left);
    EXPECT_EQ(184, rc.top);
    EXPECT_EQ(787, rc.right);
    EXPECT_EQ(584, rc.bottom);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(run.EndsOnKey('Q'));
}

TEST_F(MovieTest, RefusedPutStopsTheStartUpThere)
{
    FlashDoubleRegistration reg;
    ASSERT_TRUE(reg.Ok());
    const std::string dir = FreshDir("movie_refused");
    FlashLog log(dir);
    ::SetEnvironmentVariableA("VF_FLASHDOUBLE_REJECT", "120");
    const std::string scr = MakeSaver(dir, "Refused", "--mouse-ends-saver 0", SwfMovie(550, 400));
    SaverRun run;
    const bool started = run.Start(scr);
    ::SetEnvironmentVariableA("VF_FLASHDOUBLE_REJECT", nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(log.WaitForLine("reject dispid=120", 15000));
    // The later put and the focus request are skipped; the saver itself goes on.
    EXPECT_TRUE(run.process.Running());
    EXPECT_EQ(2u, log.Puts().size());
    EXPECT_FALSE(log.HasLine("verb -4"));
    EXPECT_TRUE(run.EndsOnKey('Q'));
}
