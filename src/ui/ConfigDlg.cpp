#include "ui/ConfigDlg.h"

#include "app/SaverApp.h"
#include "content/SettingsFileWin.h"
#include "framework/Gdi.h"
#include "res/resource.h"
#include "ui/CreditText.h"
#include "ui/InfoDlgs.h"
#include "ui/UiDecisions.h"
#include "ui/UiSettings.h"

#include <cstring>

static_assert(sizeof(DISTRIBUTOR_LINK_TEXT) <= 256 && sizeof(DISTRIBUTOR_URL) <= 256,
              "the link texts fit the dialog's buffers");

namespace {

bool IsAnsiLeadByte(unsigned char c)
{
    return ::IsDBCSLeadByte(c) != FALSE;
}

void CopyText(char (&buffer)[256], const char* text)
{
    std::strncpy(buffer, text, sizeof buffer - 1);
    buffer[sizeof buffer - 1] = '\0';
}

}  // namespace

CConfigDlg::CConfigDlg(CWnd* pParent) : CDialog(IDD_CONFIG, pParent)
{
    m_szLinkText[0] = '\0';
    m_szLinkUrl[0] = '\0';
}

CConfigDlg::~CConfigDlg() = default;

void CConfigDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
}

BOOL CConfigDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    char szCaption[256] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_SCREEN_SAVER_CAPTION, szCaption, sizeof szCaption);
    SetWindowText(FormatCaption(szCaption, m_strName).c_str());

    // The settings file's own link fields are not shown: the link always leads to the distributor.
    CopyText(m_szLinkText, DISTRIBUTOR_LINK_TEXT);
    CopyText(m_szLinkUrl, DISTRIBUTOR_URL);
    SetDlgItemText(IDC_LINK, m_szLinkText);
    ::ShowWindow(GetDlgItem(IDC_LINK), SW_SHOW);
    m_link.m_strUrl = m_szLinkUrl;
    m_link.SubclassDlgItem(IDC_LINK, this);
    return TRUE;
}

void CConfigDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const std::string credit = UnscrambleCreditText(CREDIT_TEXT_SCRAMBLED, &IsAnsiLeadByte);
    RECT rc;
    GetClientRect(&rc);
    // Opaque, in the device context's default font: the text sits on the button face colour.
    const COLORREF clrOldBk = dc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    const COLORREF clrOldText = dc.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    dc.DrawText(credit.c_str(), static_cast<int>(credit.size()), &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    dc.SetTextColor(clrOldText);
    dc.SetBkColor(clrOldBk);
}

void CConfigDlg::OnOrderInfo()
{
    COrderInfoDlg dlg;
    dlg.DoModal();
}

void CConfigDlg::OnWarranty()
{
    CWarrantyDlg dlg;
    dlg.DoModal();
}

void CConfigDlg::OnTroubleshooting()
{
    CFlashRequiredDlg dlg;
    dlg.DoModal();
}

void CSaverApp::RunConfigDialog(CWnd* pParent)
{
    CConfigDlg dlg(pParent);
    CFile file;
    // Without its files the configuration mode shows nothing at all.
    if (!OpenSettingsFile(GetDataDirectory(), file))
        return;
    // A short file or a failed read leaves the missing bytes zero: empty texts, not garbage.
    const SaverTexts texts = ReadSaverTexts(file);
    file.Close();
    dlg.m_strName = FieldText(texts.szName);
    dlg.m_strDescription = FieldText(texts.szDescription);

    const INT_PTR result = dlg.DoModal();
    if (StartsDisplayControlPanel(static_cast<int>(result), pParent != nullptr))
        ::WinExec(DISPLAY_CONTROL_PANEL_COMMAND, SW_SHOWNORMAL);
}
