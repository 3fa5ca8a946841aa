// The configuration mode as a user meets it: the dialog with the saver's texts, its three
// information dialogs, and what follows OK.
#include "UiHarness.h"

#include "res/resource.h"
#include "ui/UiSettings.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const DWORD START_TIMEOUT = 20000;
const char* const CONFIG_CAPTION = "Tom & Jerry Screen Saver";

HWND StartConfig(Process& p, const std::string& scr, const std::string& args, const char* caption = CONFIG_CAPTION)
{
    if (!p.Start(scr, args, DirName(scr)))
        return nullptr;
    return WaitForDialog(p.Pid(), caption, START_TIMEOUT);
}

std::string TomAndJerry(const std::string& testName)
{
    return MakeSaver(testName, "Tom & Jerry", "Katz und Maus",
                     "--link-text \"nicht gezeigt\" --link-url \"http://not.shown.example/\"");
}

}  // namespace

TEST(ConfigDialog, WithoutSettingsFileShowsNothingAndEnds)
{
    const std::string dir = FreshDir("config_nofiles");
    const std::string scr = dir + "\\Bare.scr";
    ASSERT_TRUE(CopyTo(Config().scr, scr));
    for (const char* args : {"/c", ""}) {
        Process p;
        ASSERT_TRUE(p.Start(scr, args, dir));
        bool sawWindow = false;
        EXPECT_TRUE(WaitUntil(
            [&] {
                sawWindow = sawWindow || !VisibleTopWindows(p.Pid()).empty();
                return !p.Running();
            },
            START_TIMEOUT))
            << args;
        EXPECT_FALSE(sawWindow) << args;
    }
}

TEST(ConfigDialog, ShowsNameDescriptionAndTheDistributorLink)
{
    const std::string scr = TomAndJerry("config_texts");
    Process p;
    HWND hDlg = StartConfig(p, scr, "/c");
    ASSERT_NE(nullptr, hDlg);

    EXPECT_EQ("Tom & Jerry", ItemText(hDlg, IDC_NAME));  // with its '&', no prefix processing
    EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(hDlg, IDC_NAME), GWL_STYLE) & SS_NOPREFIX);
    EXPECT_EQ("Katz und Maus", ItemText(hDlg, IDC_DESCRIPTION));
    // The settings file's own link fields are never shown.
    EXPECT_EQ(DISTRIBUTOR_LINK_TEXT, ItemText(hDlg, IDC_LINK));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_LINK)));
    EXPECT_EQ("&Probleml\xF6sung", ItemText(hDlg, IDC_TROUBLESHOOTING));  // Windows-1252 to the ANSI side
    EXPECT_EQ("&Wie erstelle ich einen Bildschirmschoner", ItemText(hDlg, IDC_ORDER_INFO));
    EXPECT_FALSE(::GetWindowLongA(hDlg, GWL_STYLE) & WS_SYSMENU);  // no close box

    // The credit text is painted along the top edge of the client area, above the icons.
    POINT origin{0, 0};
    ::ClientToScreen(hDlg, &origin);
    RECT client;
    ::GetClientRect(hDlg, &client);
    const RECT strip{origin.x, origin.y, origin.x + client.right, origin.y + 12};
    EXPECT_TRUE(WaitUntil([&] { return CountPixels(strip, ::GetSysColor(COLOR_WINDOWTEXT)) > 20; }, 5000));
    // The focus starts on the first tab stop, OK.
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageA(::GetDlgItem(hDlg, IDOK), BM_GETSTATE, 0, 0) & BST_FOCUS; }, 5000));
    SaveScreenshot("config_dialog");

    PressKeyIn(hDlg, VK_ESCAPE);
    EXPECT_TRUE(p.WaitExit(START_TIMEOUT));
}

TEST(ConfigDialog, AnEmptyNameGivesACaptionBeginningWithTheBlank)
{
    const std::string scr = MakeSaver("config_empty_name", "", "");
    Process p;
    HWND hDlg = StartConfig(p, scr, "/c", " Screen Saver");
    ASSERT_NE(nullptr, hDlg);
    EXPECT_EQ("", ItemText(hDlg, IDC_NAME));
    PressKeyIn(hDlg, VK_ESCAPE);
    EXPECT_TRUE(p.WaitExit(START_TIMEOUT));
}

TEST(ConfigDialog, EachButtonOpensItsDialogOverTheDisabledConfigDialog)
{
    const std::string scr = TomAndJerry("config_buttons");
    Process p;
    HWND hDlg = StartConfig(p, scr, "/c");
    ASSERT_NE(nullptr, hDlg);

    enum class End { Ok, Escape, CloseBox };
    const struct {
        int button;
        const char* caption;
        End end;
        const char* shot;  // taken the first time the dialog is seen
    } cases[] = {
        {IDC_ORDER_INFO, "Velliform Bestellinformation", End::Ok, "order_info_dialog"},
        {IDC_ORDER_INFO, "Velliform Bestellinformation", End::Escape, nullptr},
        {IDC_ORDER_INFO, "Velliform Bestellinformation", End::CloseBox, nullptr},
        {IDC_WARRANTY, "Garantie", End::Ok, "warranty_dialog"},
        {IDC_WARRANTY, "Garantie", End::Escape, nullptr},
        {IDC_WARRANTY, "Garantie", End::CloseBox, nullptr},
        {IDC_TROUBLESHOOTING, "Probleml\xF6sung", End::Ok, "flash_required_dialog"},
        {IDC_TROUBLESHOOTING, "Probleml\xF6sung", End::Escape, nullptr},
        {IDC_TROUBLESHOOTING, "Probleml\xF6sung", End::CloseBox, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ClickItem(hDlg, c.button);
        HWND hInfo = WaitForDialog(p.Pid(), c.caption, START_TIMEOUT);
        ASSERT_NE(nullptr, hInfo);
        EXPECT_EQ(hDlg, ::GetWindow(hInfo, GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(hDlg));
        EXPECT_TRUE(::GetWindowLongA(hInfo, GWL_STYLE) & WS_SYSMENU);
        if (c.shot) {
            WaitUntil([&] { return ::GetForegroundWindow() == hInfo; }, 3000);
            SaveScreenshot(c.shot);
        }
        switch (c.end) {
        case End::Ok:
            ClickItem(hInfo, IDOK);
            break;
        case End::Escape:
            PressKeyIn(hInfo, VK_ESCAPE);
            break;
        case End::CloseBox:
            // Xvfb runs no window manager, so nobody draws the caption's close box; what a
            // click on it sends is sent here.
            ::PostMessageA(hInfo, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        ASSERT_TRUE(WaitGone(hInfo, START_TIMEOUT));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(hDlg) != FALSE; }, 5000));
        EXPECT_TRUE(p.Running());
    }
    PressKeyIn(hDlg, VK_ESCAPE);
    EXPECT_TRUE(p.WaitExit(START_TIMEOUT));
}

TEST(ConfigDialog, InformationDialogsShowTheirTexts)
{
    const std::string scr = TomAndJerry("config_info_texts");
    Process p;
    HWND hDlg = StartConfig(p, scr, "/c");
    ASSERT_NE(nullptr, hDlg);

    ClickItem(hDlg, IDC_WARRANTY);
    HWND hInfo = WaitForDialog(p.Pid(), "Garantie", START_TIMEOUT);
    ASSERT_NE(nullptr, hInfo);
    // This build carries no warranty text: an empty, read-only box with a scroll bar.
    EXPECT_EQ("", ItemText(hInfo, IDC_WARRANTY_TEXT));
    const LONG editStyle = ::GetWindowLongA(::GetDlgItem(hInfo, IDC_WARRANTY_TEXT), GWL_STYLE);
    EXPECT_TRUE(editStyle & ES_READONLY);
    EXPECT_TRUE(editStyle & WS_VSCROLL);
    ClickItem(hInfo, IDOK);
    ASSERT_TRUE(WaitGone(hInfo, START_TIMEOUT));

    const struct {
        int button;
        const char* caption;
        const char* link;
    } links[] = {
        {IDC_ORDER_INFO, "Velliform Bestellinformation", DISTRIBUTOR_LINK_TEXT},
        {IDC_TROUBLESHOOTING, "Probleml\xF6sung", FLASH_DOWNLOAD_URL},
    };
    for (const auto& c : links) {
        ClickItem(hDlg, c.button);
        hInfo = WaitForDialog(p.Pid(), c.caption, START_TIMEOUT);
        ASSERT_NE(nullptr, hInfo) << c.caption;
        EXPECT_EQ(c.link, ItemText(hInfo, IDC_LINK)) << c.caption;
        ClickItem(hInfo, IDOK);
        ASSERT_TRUE(WaitGone(hInfo, START_TIMEOUT)) << c.caption;
    }

    PressKeyIn(hDlg, VK_ESCAPE);
    EXPECT_TRUE(p.WaitExit(START_TIMEOUT));
}

TEST(ConfigDialog, OnlyOkWithoutParentStartsTheDisplayControlPanel)
{
    // A window of this process stands in for the Display control panel's dialog.
    HWND hOwner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(nullptr, hOwner);
    const std::string withParent = "/c:" + std::to_string(reinterpret_cast<UINT_PTR>(hOwner));

    enum class End { Ok, Cancel, Escape, Enter };
    const struct {
        std::string args;
        End end;
        bool controlPanel;
    } cases[] = {
        {"", End::Ok, true},
        {"", End::Enter, true},
        {"", End::Cancel, false},
        {"", End::Escape, false},
        {withParent, End::Ok, false},
        {withParent, End::Cancel, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args + " end " + std::to_string(static_cast<int>(c.end)));
        const std::string scr = TomAndJerry("config_control_panel");
        const std::string control = PlaceRecorder(DirName(scr), "control.exe");
        Process p;
        HWND hDlg = StartConfig(p, scr, c.args);
        ASSERT_NE(nullptr, hDlg);
        if (!c.args.empty()) {
            EXPECT_EQ(hOwner, ::GetWindow(hDlg, GW_OWNER));
        }
        switch (c.end) {
        case End::Ok: ClickItem(hDlg, IDOK); break;
        case End::Cancel: ClickItem(hDlg, IDCANCEL); break;
        case End::Escape: PressKeyIn(hDlg, VK_ESCAPE); break;
        case End::Enter: PressKeyIn(hDlg, VK_RETURN); break;
        }
        ASSERT_TRUE(p.WaitExit(START_TIMEOUT));
        if (c.controlPanel) {
            std::vector<std::string> args;
            ASSERT_TRUE(WaitForRecordedArgs(control, args, START_TIMEOUT));
            EXPECT_EQ(std::vector<std::string>{"desk.cpl,@0,1"}, args);
        } else {
            // WinExec returns once the program has started: a control.exe started before the
            // saver ended would be running now or would have left its record.
            EXPECT_FALSE(ProcessRunningFrom(control));
            EXPECT_FALSE(RecordExists(control));
        }
    }
    ::DestroyWindow(hOwner);
}
