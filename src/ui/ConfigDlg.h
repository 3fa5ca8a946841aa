// CConfigDlg: the configuration dialog (dialog 2003). It shows the saver's name and
// description, the distributor link and the painted credit text, and opens the information
// dialogs; it configures nothing and writes nothing.
#pragma once

#include "framework/Dialog.h"
#include "ui/StaticLink.h"

#include <string>

class CConfigDlg : public CDialog {
public:
    explicit CConfigDlg(CWnd* pParent = nullptr);
    ~CConfigDlg() override;

    char m_szLinkText[256];
    char m_szLinkUrl[256];
    std::string m_strDescription;
    std::string m_strName;
    CStaticLink m_link;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    BEGIN_MSG_MAP(CConfigDlg)
        MSG_WM_PAINT(OnPaint)
        COMMAND_ID_HANDLER(1002, OnOrderInfo)
        COMMAND_ID_HANDLER(5, OnWarranty)
        COMMAND_ID_HANDLER(1004, OnTroubleshooting)
        CHAIN_MSG_MAP(CDialog)
    END_MSG_MAP()

    void OnPaint();
    void OnOrderInfo();
    void OnWarranty();
    void OnTroubleshooting();
};
