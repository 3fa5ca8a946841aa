#include "ui/InfoDlgs.h"

#include "res/resource.h"
#include "ui/UiSettings.h"

#include <cstring>
#include <string>

namespace {

void AttachLink(CDialog& dlg, CStaticLink& link, const char* text, const char* url)
{
    dlg.SetDlgItemText(IDC_LINK, text);
    link.m_strUrl = url;
    link.SubclassDlgItem(IDC_LINK, &dlg);
}

}  // namespace

COrderInfoDlg::COrderInfoDlg(CWnd* pParent) : CDialog(IDD_ORDER_INFO, pParent) {}
COrderInfoDlg::~COrderInfoDlg() = default;

void COrderInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL COrderInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AttachLink(*this, m_link, DISTRIBUTOR_LINK_TEXT, DISTRIBUTOR_URL);
    return TRUE;
}

CWarrantyDlg::CWarrantyDlg(CWnd* pParent) : CDialog(IDD_WARRANTY, pParent) {}
CWarrantyDlg::~CWarrantyDlg() = default;

void CWarrantyDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CWarrantyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HMODULE hModule = ::GetModuleHandleA(nullptr);
    HRSRC hRes = ::FindResourceA(hModule, MAKEINTRESOURCEA(IDR_WARRANTY_TEXT), "TEXT");
    if (!hRes)
        return TRUE;
    HGLOBAL hData = ::LoadResource(hModule, hRes);
    const char* data = hData ? static_cast<const char*>(::LockResource(hData)) : nullptr;
    if (!data)
        return TRUE;
    // The text ends at its NUL, and never later than the resource does.
    const std::string text(data, strnlen(data, ::SizeofResource(hModule, hRes)));
    SetDlgItemText(IDC_WARRANTY_TEXT, text.c_str());
    return TRUE;
}

CFlashRequiredDlg::CFlashRequiredDlg(CWnd* pParent) : CDialog(IDD_FLASH_REQUIRED, pParent) {}
CFlashRequiredDlg::~CFlashRequiredDlg() = default;

void CFlashRequiredDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CFlashRequiredDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AttachLink(*this, m_link, FLASH_DOWNLOAD_URL, FLASH_DOWNLOAD_URL);
    return TRUE;
}
