// The resources as they end up in the .scr: every dialog template with its controls' ids,
// kinds, texts, places and styles, the caption string and the icon. Dialog texts are stored
// as UTF-16; the umlauts must arrive as the ANSI functions' Windows-1252 bytes.
#include "Harness.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace e2e;

namespace {

const WORD BUTTON = 0x80, EDIT = 0x81, STATIC = 0x82;
const WORD NO_ID = 0xFFFF;

struct ItemSpec {
    WORD id;
    WORD kind;
    const wchar_t* text;  // "#128" for an icon resource given by number
    short x, y, cx, cy;
    DWORD style;          // bits that must be set (the kind's low style bits are compared whole)
};

struct DialogSpec {
    WORD resource;
    const wchar_t* caption;
    short cx, cy;
    DWORD style;
    DWORD absentStyle;
    std::vector<ItemSpec> items;
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;

const DialogSpec kDialogs[] = {
    {IDD_CONFIG, L"NAME Screen Saver", 278, 223, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION, WS_SYSMENU,
     {
         {IDOK, BUTTON, L"OK", 38, 173, 61, 14, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {IDCANCEL, BUTTON, L"Abbrechen", 108, 173, 66, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON},
         {IDC_WARRANTY, BUTTON, L"&Garantie", 182, 173, 62, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON},
         {NO_ID, STATIC, L"Velliform \u00A9 2001-2005 Brindlewick LLC. Alle Rechte vorbehalten.", 38, 195, 207, 19, CHILD | SS_CENTER},
         {NO_ID, STATIC, L"7.00", 240, 213, 35, 8, CHILD | SS_RIGHT},
         {IDC_NAME, STATIC, L"NAME", 20, 20, 233, 8, CHILD | SS_CENTER | SS_NOPREFIX},
         {NO_ID, STATIC, L"#128", 38, 14, 20, 20, CHILD | SS_ICON},
         {NO_ID, STATIC, L"#128", 222, 14, 20, 20, CHILD | SS_ICON},
         {IDC_DESCRIPTION, EDIT, L"", 24, 36, 233, 81,
          CHILD | ES_MULTILINE | ES_CENTER | ES_READONLY | WS_BORDER | WS_VSCROLL | WS_TABSTOP},
         {IDC_TROUBLESHOOTING, BUTTON, L"&Probleml\u00F6sung", 38, 133, 208, 14, CHILD | WS_TABSTOP},
         {IDC_LINK, STATIC, nullptr, 28, 120, 208, 10, CHILD | SS_CENTER},
         {IDC_ORDER_INFO, BUTTON, L"&Wie erstelle ich einen Bildschirmschoner", 38, 153, 208, 14, CHILD | WS_TABSTOP},
     }},
    {IDD_ORDER_INFO, L"Velliform Bestellinformation", 263, 205, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
     {
         {IDOK, BUTTON, L"OK", 106, 184, 50, 14, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {NO_ID, STATIC, L"Erstellen Sie einen Bildschirmschoner innerhalb von wenigen Minuten.", 7, 18, 250, 8, CHILD | SS_CENTER},
         {NO_ID, STATIC,
          L"Die gleiche Technologie, welche zum Erstellen dieses Bildschirmschoners verwendet wurde, ist nun auch "
          L"f\u00FCr Sie verf\u00FCgbar, um nahezu jeden Bildschirmschoner zu erstellen, den Sie sich vorstellen "
          L"k\u00F6nnen.",
          7, 47, 250, 29, CHILD | SS_LEFT},
         {NO_ID, STATIC,
          L"Daf\u00FCr sind keine Programmierkenntnisse n\u00F6tig. Wenn Sie mit der Maus arbeiten k\u00F6nnen, "
          L"erstellen Sie ganz einfach Bildschirmschoner f\u00FCr Familie und Freunde. Phantastisch f\u00FCr "
          L"Familienfotos, Diashows oder professionelle Studioarbeiten.",
          7, 88, 250, 29, CHILD | SS_LEFT},
         {NO_ID, STATIC, L"Unter", 7, 137, 20, 8, CHILD | SS_LEFT},
         {IDC_LINK, STATIC, nullptr, 29, 137, 58, 10, CHILD | SS_CENTER},
         {NO_ID, STATIC, L"finden Sie weitere Informationen.", 89, 137, 112, 8, CHILD | SS_LEFT},
     }},
    {IDD_WARRANTY, L"Garantie", 357, 207, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
     {
         {IDOK, BUTTON, L"OK", 153, 187, 50, 14, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {IDC_WARRANTY_TEXT, EDIT, L"", 11, 10, 334, 166,
          CHILD | ES_MULTILINE | ES_LEFT | ES_READONLY | WS_BORDER | WS_VSCROLL | WS_TABSTOP},
     }},
    {IDD_FLASH_REQUIRED, L"Probleml\u00F6sung", 204, 137, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
     {
         {NO_ID, STATIC, L"Dieser Bildschirmschoner ben\u00F6tigt", 18, 13, 166, 11, CHILD | SS_CENTER},
         {NO_ID, STATIC, L"Macromedia Flash       Player", 54, 33, 94, 10, CHILD | SS_LEFT},
         {NO_ID, STATIC, L"TM", 112, 28, 12, 8, CHILD | SS_LEFT},
         {NO_ID, STATIC, L"auf Ihrem System. Benutzen Sie den untenstehenden Link f\u00FCr den Download.", 29, 53, 145, 19,
          CHILD | SS_LEFT},
         {IDC_LINK, STATIC, L"URL", 0, 80, 203, 10, CHILD | SS_CENTER},
         {IDOK, BUTTON, L"OK", 77, 101, 50, 14, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {NO_ID, STATIC, L"Macromedia Flash is a trademark of Macromedia, Inc.", 6, 125, 191, 8, CHILD | SS_CENTER},
     }},
};

// A reader over a resource's words that never reads past its end.
class CWords {
public:
    CWords(const BYTE* data, DWORD size) : m_data(data), m_size(size) {}
    bool ok() const { return m_ok; }
    WORD Word()
    {
        if (m_pos + 2 > m_size) {
            m_ok = false;
            return 0;
        }
        WORD w;
        std::memcpy(&w, m_data + m_pos, 2);
        m_pos += 2;
        return w;
    }
    DWORD Dword() { const WORD lo = Word(); return lo | (static_cast<DWORD>(Word()) << 16); }
    short Short() { return static_cast<short>(Word()); }
    // A string or an ordinal ("#n"), as dialog templates store names and texts.
    std::wstring NameOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring s;
        for (WORD w = first; w && m_ok; w = Word())
            s += static_cast<wchar_t>(w);
        return s;
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~static_cast<DWORD>(3); }
    void Skip(DWORD n) { m_pos += n; }

private:
    const BYTE* m_data;
    DWORD m_size;
    DWORD m_pos = 0;
    bool m_ok = true;
};

struct Module {
    HMODULE h = nullptr;
    Module() { h = ::LoadLibraryExA(Config().scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE); }
    ~Module() { if (h) ::FreeLibrary(h); }
};

}  // namespace

TEST(InfoResources, DialogTemplatesHoldEveryControlAsSpecified)
{
    Module m;
    ASSERT_NE(nullptr, m.h);
    for (const DialogSpec& d : kDialogs) {
        SCOPED_TRACE(d.resource);
        HRSRC hRes = ::FindResourceA(m.h, MAKEINTRESOURCEA(d.resource), reinterpret_cast<LPCSTR>(RT_DIALOG));
        ASSERT_NE(nullptr, hRes);
        CWords r(static_cast<const BYTE*>(::LockResource(::LoadResource(m.h, hRes))), ::SizeofResource(m.h, hRes));
        const DWORD style = r.Dword();
        EXPECT_EQ(d.style, style & d.style);
        EXPECT_EQ(0u, style & d.absentStyle);
        r.Dword();
        const WORD count = r.Word();
        r.Short(), r.Short();
        EXPECT_EQ(d.cx, r.Short());
        EXPECT_EQ(d.cy, r.Short());
        EXPECT_EQ(L"", r.NameOrOrdinal());  // menu
        EXPECT_EQ(L"", r.NameOrOrdinal());  // class
        EXPECT_TRUE(r.NameOrOrdinal() == d.caption);
        ASSERT_TRUE(style & DS_SETFONT);
        EXPECT_EQ(8, r.Word());
        EXPECT_TRUE(r.NameOrOrdinal() == L"MS Sans Serif");
        ASSERT_EQ(d.items.size(), count);
        for (const ItemSpec& want : d.items) {
            SCOPED_TRACE(want.id);
            r.AlignDword();
            const DWORD itemStyle = r.Dword();
            r.Dword();
            const short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
            const WORD id = r.Word();
            const std::wstring kind = r.NameOrOrdinal();
            const std::wstring text = r.NameOrOrdinal();
            r.Skip(r.Word());
            ASSERT_TRUE(r.ok());
            EXPECT_EQ(want.id, id);
            EXPECT_TRUE(kind == L"#" + std::to_wstring(want.kind));
            if (want.text) {
                EXPECT_TRUE(text == want.text) << "text of control " << want.id;
            }
            EXPECT_EQ(want.x, x);
            EXPECT_EQ(want.y, y);
            EXPECT_EQ(want.cx, cx);
            EXPECT_EQ(want.cy, cy);
            EXPECT_EQ(want.style, itemStyle & want.style);
            if (want.kind == STATIC) {
                EXPECT_EQ(want.style & SS_TYPEMASK, itemStyle & SS_TYPEMASK);
            }
        }
    }
}

TEST(InfoResources, GermanTextsReachTheAnsiSideAsWindows1252)
{
    const struct {
        const wchar_t* stored;
        const char* ansi;
    } cases[] = {
        {L"Probleml\u00F6sung", "Probleml\xF6sung"},
        {L"ben\u00F6tigt", "ben\xF6tigt"},
        {L"f\u00FCr", "f\xFCr"},
        {L"\u00A9", "\xA9"},
    };
    for (const auto& c : cases) {
        char bytes[64] = "";
        ASSERT_GT(::WideCharToMultiByte(1252, 0, c.stored, -1, bytes, sizeof bytes, nullptr, nullptr), 0);
        EXPECT_STREQ(c.ansi, bytes);
    }
}

TEST(InfoResources, CaptionStringIconAndNoWarrantyText)
{
    Module m;
    ASSERT_NE(nullptr, m.h);
    wchar_t caption[64] = L"";
    ASSERT_GT(::LoadStringW(m.h, IDS_SCREEN_SAVER_CAPTION, caption, 64), 0);
    EXPECT_TRUE(std::wstring(caption) == L"%1 Screen Saver");
    EXPECT_NE(nullptr, ::FindResourceA(m.h, MAKEINTRESOURCEA(IDI_SAVER), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)));
    EXPECT_EQ(nullptr, ::FindResourceA(m.h, MAKEINTRESOURCEA(IDR_WARRANTY_TEXT), "TEXT"));
}
