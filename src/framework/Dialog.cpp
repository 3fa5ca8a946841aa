#include "framework/Dialog.h"

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value)
{
    HWND hCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hCtrl)
        return;
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(hCtrl, value.c_str());
        return;
    }
    const int n = ::GetWindowTextLengthA(hCtrl);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const int got = ::GetWindowTextA(hCtrl, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    value = text;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal()
{
    // Without a parent the active window owns the dialog, so that it is disabled meanwhile
    // and the dialog stays in front of it.
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), hOwner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg->SubclassWindow(hDlg))
        return TRUE;
    // No exception may unwind through the dialog manager (see AfxWndProc).
    try {
        return pDlg->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
