// The links of the configuration and information dialogs: the browser they start, the
// ".htm" fallback when the shell cannot open the address, and the error box when nothing can.
//
// The test prefix's shell opens http addresses with the default value of the key
// HKCR\http\shell\open\command. These tests point that command at the argument recorder (the shell opens the
// address) or at a program that does not exist (the shell fails, and Wine's shell shows its
// own error box first, as Windows does for a ShellExecuteEx call without SEE_MASK_FLAG_NO_UI).
// Every registry value is put back when a test ends.
#include "UiHarness.h"

#include "res/resource.h"
#include "ui/UiSettings.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

const DWORD TIMEOUT = 20000;
const COLORREF LINK_BLUE = RGB(0, 0, 255);
const COLORREF LINK_PURPLE = RGB(128, 0, 128);
const char* const MISSING_PROGRAM = "C:\\vf-missing\\browser.exe";
const char* const TEST_CLASS = "VfUiTest.HtmlFile";

struct LinkSetup {
    CClassesRootValue http{"http\\shell\\open\\command"};
    CClassesRootValue htm{".htm"};
    CClassesRootValue html{".html"};
    CClassesRootValue testClass{std::string(TEST_CLASS) + "\\shell\\open\\command"};
    CClassesRootValue testClassRoot{TEST_CLASS};
};

bool LinkShowsNow(HWND hDlg, COLORREF colour)
{
    return CountPixels(ItemRect(hDlg, IDC_LINK), colour) > 10;
}

bool LinkShows(HWND hDlg, COLORREF colour)
{
    return WaitUntil([&] { return LinkShowsNow(hDlg, colour); }, 5000);
}

// The shell's own error boxes (dialogs of the process other than those named) are answered
// with one click on OK each, as a user would; returns the box whose caption is wanted, or null.
// Each click waits for its box to close: a second click on a closing box would land on the
// dialog below it.
HWND DismissShellBoxesUntil(DWORD pid, const std::string& wanted, const std::vector<HWND>& keep, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : VisibleTopWindows(pid)) {
                if (std::find(keep.begin(), keep.end(), h) != keep.end())
                    continue;
                if (WindowText(h) == wanted) {
                    found = h;
                    return true;
                }
                if (ClassName(h) == "#32770" && ::GetDlgItem(h, IDOK)) {
                    ClickItem(h, IDOK);
                    WaitGone(h, 5000);
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::string OpenConfig(Process& p, const std::string& testName, HWND& hDlg)
{
    const std::string scr = MakeSaver(testName, "Link", "");
    EXPECT_TRUE(p.Start(scr, "/c", DirName(scr)));
    hDlg = WaitForDialog(p.Pid(), "Link Screen Saver", TIMEOUT);
    // The link asks for SS_NOTIFY at its first paint; clicks reach it from then on.
    WaitUntil([&] { return hDlg && (::GetWindowLongA(::GetDlgItem(hDlg, IDC_LINK), GWL_STYLE) & SS_NOTIFY); }, 5000);
    return DirName(scr);
}

}  // namespace

TEST(LinkOpen, ShellOpensTheDistributorUrlAndTheLinkTurnsPurple)
{
    LinkSetup setup;
    Process p;
    HWND hDlg = nullptr;
    const std::string dir = OpenConfig(p, "link_shell", hDlg);
    ASSERT_NE(nullptr, hDlg);
    const std::string browser = PlaceRecorder(dir, "browser.exe");
    ASSERT_TRUE(setup.http.Set(OpenCommandFor(browser)));

    EXPECT_TRUE(LinkShows(hDlg, LINK_BLUE));
    EXPECT_FALSE(LinkShowsNow(hDlg, LINK_PURPLE));
    ClickItem(hDlg, IDC_LINK);
    std::vector<std::string> args;
    ASSERT_TRUE(WaitForRecordedArgs(browser, args, TIMEOUT));
    EXPECT_EQ(std::vector<std::string>{DISTRIBUTOR_URL}, args);
    EXPECT_TRUE(LinkShows(hDlg, LINK_PURPLE));
    SaveScreenshot("config_link_visited");

    // A later failed open leaves it purple.
    ASSERT_TRUE(setup.http.Set(OpenCommandFor(MISSING_PROGRAM)));
    ASSERT_TRUE(setup.htm.Remove());
    ASSERT_TRUE(setup.html.Remove());
    ClickItem(hDlg, IDC_LINK, 20);
    HWND hError = DismissShellBoxesUntil(p.Pid(), DISTRIBUTOR_URL, {hDlg}, TIMEOUT);
    ASSERT_NE(nullptr, hError);
    ClickItem(hError, IDOK);
    ASSERT_TRUE(WaitGone(hError, TIMEOUT));
    EXPECT_TRUE(LinkShows(hDlg, LINK_PURPLE));

    ClickItem(hDlg, IDCANCEL);
    EXPECT_TRUE(p.WaitExit(TIMEOUT));
}

TEST(LinkOpen, NothingToOpenWithShowsTheErrorBoxAndTheLinkStaysBlue)
{
    LinkSetup setup;
    ASSERT_TRUE(setup.http.Set(OpenCommandFor(MISSING_PROGRAM)));
    ASSERT_TRUE(setup.htm.Remove());
    ASSERT_TRUE(setup.html.Remove());
    Process p;
    HWND hDlg = nullptr;
    OpenConfig(p, "link_error", hDlg);
    ASSERT_NE(nullptr, hDlg);

    for (int attempt = 0; attempt < 2; ++attempt) {  // the next click tries again
        ClickItem(hDlg, IDC_LINK, 20 * attempt);
        HWND hError = DismissShellBoxesUntil(p.Pid(), DISTRIBUTOR_URL, {hDlg}, TIMEOUT);
        ASSERT_NE(nullptr, hError);
        EXPECT_TRUE(::IsWindowEnabled(hDlg));  // the box has no owner
        bool textFound = false;
        ::EnumChildWindows(
            hError,
            [](HWND h, LPARAM lp) -> BOOL {
                if (WindowText(h) == "Es kann keine Verbindung zu dieser Webseite hergestellt werden.")
                    *reinterpret_cast<bool*>(lp) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&textFound));
        EXPECT_TRUE(textFound);
        if (attempt == 0)
            SaveScreenshot("link_error_box");
        ClickItem(hError, IDOK);
        ASSERT_TRUE(WaitGone(hError, TIMEOUT));
        EXPECT_TRUE(LinkShows(hDlg, LINK_BLUE));
        EXPECT_FALSE(LinkShowsNow(hDlg, LINK_PURPLE));
        EXPECT_TRUE(p.Running());
    }
    ClickItem(hDlg, IDCANCEL);
    EXPECT_TRUE(p.WaitExit(TIMEOUT));
}

// The ".htm" program's command is read into 80 bytes: a command of 79 characters starts the
// program, one of 80 is not read and the error box follows. The program lies in a folder of
// its own on C:, so the command's length does not depend on where the build tree is.
TEST(LinkOpen, WhenTheShellFailsTheHtmProgramGetsTheUrlIfItsCommandFitsEightyBytes)
{
    const std::string programDir = "C:\\vf-htm";
    ::CreateDirectoryA(programDir.c_str(), nullptr);
    const std::string commandTail = " -new-window";
    const struct {
        std::size_t commandLength;
        bool started;
    } cases[] = {{79, true}, {80, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("command of " + std::to_string(c.commandLength) + " characters");
        LinkSetup setup;
        ASSERT_TRUE(setup.http.Set(OpenCommandFor(MISSING_PROGRAM)));
        Process p;
        HWND hDlg = nullptr;
        const std::string dir = OpenConfig(p, "link_htm", hDlg);
        ASSERT_NE(nullptr, hDlg);
        const std::size_t fixed = OpenCommandFor(programDir + "\\.exe").size() + commandTail.size();
        const std::string htmProgram =
            PlaceRecorder(programDir, std::string(c.commandLength - fixed, 'h') + ".exe");
        const std::string htmlProgram = PlaceRecorder(dir, "htmlbrowser.exe");
        const std::string command = OpenCommandFor(htmProgram) + commandTail;
        ASSERT_EQ(c.commandLength, command.size());
        ASSERT_TRUE(setup.testClassRoot.Set("Test document"));
        ASSERT_TRUE(setup.testClass.Set(command));
        ASSERT_TRUE(setup.htm.Set(TEST_CLASS));
        // Read only when ".htm" has no class: here it would name a class without a command.
        ASSERT_TRUE(setup.html.Set("VfUiTest.Unused"));

        ClickItem(hDlg, IDC_LINK);
        if (c.started) {
            bool recorded = false;
            WaitUntil(
                [&] {
                    DismissShellBoxesUntil(p.Pid(), DISTRIBUTOR_URL, {hDlg}, 0);
                    recorded = RecordExists(htmProgram);
                    return recorded;
                },
                TIMEOUT);
            ASSERT_TRUE(recorded);
            std::vector<std::string> args;
            ASSERT_TRUE(WaitForRecordedArgs(htmProgram, args, TIMEOUT));
            EXPECT_EQ(std::vector<std::string>{DISTRIBUTOR_URL}, args);
            EXPECT_TRUE(LinkShows(hDlg, LINK_PURPLE));
        } else {
            HWND hError = DismissShellBoxesUntil(p.Pid(), DISTRIBUTOR_URL, {hDlg}, TIMEOUT);
            ASSERT_NE(nullptr, hError);
            ClickItem(hError, IDOK);
            ASSERT_TRUE(WaitGone(hError, TIMEOUT));
            EXPECT_FALSE(RecordExists(htmProgram));
            EXPECT_TRUE(LinkShows(hDlg, LINK_BLUE));
        }
        EXPECT_FALSE(RecordExists(htmlProgram));

        ClickItem(hDlg, IDCANCEL);
        EXPECT_TRUE(p.WaitExit(TIMEOUT));
    }
}

TEST(LinkOpen, InformationDialogLinksOpenTheirAddressesAndStartBlueEachTime)
{
    LinkSetup setup;
    Process p;
    HWND hDlg = nullptr;
    const std::string dir = OpenConfig(p, "link_info", hDlg);
    ASSERT_NE(nullptr, hDlg);
    const std::string browser = PlaceRecorder(dir, "browser.exe");
    ASSERT_TRUE(setup.http.Set(OpenCommandFor(browser)));

    const struct {
        int button;
        const char* caption;
        const char* url;
    } cases[] = {
        {IDC_ORDER_INFO, "Velliform Bestellinformation", DISTRIBUTOR_URL},
        {IDC_TROUBLESHOOTING, "Probleml\xF6sung", FLASH_DOWNLOAD_URL},
    };
    for (const auto& c : cases) {
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(std::string(c.caption) + " round " + std::to_string(round));
            ::DeleteFileA((browser + ".args").c_str());
            ClickItem(hDlg, c.button);
            HWND hInfo = WaitForDialog(p.Pid(), c.caption, TIMEOUT);
            ASSERT_NE(nullptr, hInfo);
            WaitUntil([&] { return ::GetWindowLongA(::GetDlgItem(hInfo, IDC_LINK), GWL_STYLE) & SS_NOTIFY; }, 5000);
            EXPECT_TRUE(LinkShows(hInfo, LINK_BLUE));
            EXPECT_FALSE(LinkShowsNow(hInfo, LINK_PURPLE));
            ClickItem(hInfo, IDC_LINK);
            std::vector<std::string> args;
            ASSERT_TRUE(WaitForRecordedArgs(browser, args, TIMEOUT));
            EXPECT_EQ(std::vector<std::string>{c.url}, args);
            EXPECT_TRUE(LinkShows(hInfo, LINK_PURPLE));
            ClickItem(hInfo, IDOK);
            ASSERT_TRUE(WaitGone(hInfo, TIMEOUT));
        }
    }
    ClickItem(hDlg, IDCANCEL);
    EXPECT_TRUE(p.WaitExit(TIMEOUT));
}
