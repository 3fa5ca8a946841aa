#include "ui/StaticLink.h"

#include "app/SaverApp.h"
#include "ui/UiDecisions.h"

IMPLEMENT_DYNAMIC(CStaticLink, CStatic)

CStaticLink::CStaticLink() = default;
CStaticLink::~CStaticLink() = default;

HBRUSH CStaticLink::OnLinkCtlColor(HDC hdc, UINT)
{
    // A static reports clicks only with SS_NOTIFY; dialog templates rarely set it, so the
    // link adds it the first time it is painted.
    const DWORD style = GetStyle();
    if (!(style & STATIC_NOTIFY_STYLE))
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style | STATIC_NOTIFY_STYLE));
    if (!IsLinkDrawnStyle(style))
        return nullptr;

    if (!m_fontUnderline.m_hObject) {
        // A control without a font of its own draws in the system font; its underlined copy
        // serves the same.
        HGDIOBJ hFont = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        if (!hFont)
            hFont = ::GetStockObject(SYSTEM_FONT);
        LOGFONTA lf{};
        if (::GetObjectA(hFont, sizeof lf, &lf) == sizeof lf) {
            lf.lfUnderline = 1;
            // Wine's static control selects its own font after the colour request and so
            // would draw over the one selected below; as the control's own font, the
            // underlined copy is used either way. No redraw: the control is painting now.
            if (m_fontUnderline.CreateFontIndirect(lf))
                SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontUnderline.m_hObject), FALSE);
        }
    }
    if (m_fontUnderline.m_hObject)
        ::SelectObject(hdc, m_fontUnderline.m_hObject);
    ::SetTextColor(hdc, m_bLinkVisited ? m_clrVisited : m_clrNormal);
    ::SetBkMode(hdc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnLinkClicked()
{
    if (m_strUrl.empty())
        m_strUrl = GetWindowText();
    if (SaverApp().OpenUrlInBrowser(m_strUrl.c_str(), TRUE)) {
        m_bLinkVisited = TRUE;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    } else {
        ::MessageBeep(MB_OK);
    }
}
