// CStaticLink: a static text control of a dialog turned into a hyperlink. The parent dialog
// reflects the control's colour request and click notification back to it; the text is drawn
// underlined, blue until a successful open and purple after, and a click opens m_strUrl.
#pragma once

#include "framework/Gdi.h"
#include "framework/Static.h"

#include <string>

class CStaticLink : public CStatic {
    DECLARE_DYNAMIC(CStaticLink)
public:
    CStaticLink();
    ~CStaticLink() override;

    COLORREF m_clrNormal = RGB(0, 0, 255);
    COLORREF m_clrVisited = RGB(128, 0, 128);
    BOOL m_bLinkVisited = FALSE;
    // The URL to open; when empty at the first click, the control's text becomes the URL.
    std::string m_strUrl;
    // An underlined copy of the control's font, made at the first colour request.
    CFont m_fontUnderline;

    BEGIN_MSG_MAP(CStaticLink)
        REFLECTED_CTLCOLOR(OnLinkCtlColor)
        REFLECTED_COMMAND_CODE(STN_CLICKED, OnLinkClicked)
    END_MSG_MAP()

    HBRUSH OnLinkCtlColor(HDC hdc, UINT nCtlColor);
    void OnLinkClicked();
};
