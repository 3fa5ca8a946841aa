// CDialog: a modal dialog from a resource template, bound to its object like any CWnd, so that
// message maps and reflection work for dialogs as for other windows.
//
// The dialog manager creates the window with its own procedure (DefDlgProc) and our DLGPROC;
// at WM_INITDIALOG the object subclasses the window, so from then on every message passes
// AfxWndProc first and what the map does not take goes on to DefDlgProc, which calls the
// DLGPROC again: that DLGPROC answers FALSE to everything after WM_INITDIALOG.
#pragma once

#include "framework/Wnd.h"

#include <string>

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Exchanges the text of a static or edit control with a string member.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);

class CDialog : public CWnd {
public:
    // pParentWnd may be null: the owner is then the active window at DoModal.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog in its own modal loop; IDOK, IDCANCEL or EndDialog's value, -1 when the
    // template cannot be loaded.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // After the window and its controls exist, before it is shown. TRUE lets the dialog
    // manager put the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual void OnOK();
    virtual void OnCancel();

    BEGIN_MSG_MAP(CDialog)
        COMMAND_ID_HANDLER(IDOK, OnOK)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
};
