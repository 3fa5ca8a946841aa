// The three information dialogs that the configuration dialog's buttons open.
#pragma once

#include "framework/Dialog.h"
#include "ui/StaticLink.h"

// Advertises the generator and links to the distributor's web site (dialog 104).
class COrderInfoDlg : public CDialog {
public:
    explicit COrderInfoDlg(CWnd* pParent = nullptr);
    ~COrderInfoDlg() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    CStaticLink m_link;
};

// Shows the warranty text of the executable's "TEXT" resource 100, if the build has one
// (dialog 105).
class CWarrantyDlg : public CDialog {
public:
    explicit CWarrantyDlg(CWnd* pParent = nullptr);
    ~CWarrantyDlg() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};

// Says that the saver needs Macromedia Flash Player and links to its download page
// (dialog 131, "Problemlösung").
class CFlashRequiredDlg : public CDialog {
public:
    explicit CFlashRequiredDlg(CWnd* pParent = nullptr);
    ~CFlashRequiredDlg() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    CStaticLink m_link;
};
