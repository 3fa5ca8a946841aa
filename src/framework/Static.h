// CStatic: a static text, icon or frame control.
#pragma once

#include "framework/Wnd.h"

class CStatic : public CWnd {
public:
    DECLARE_DYNAMIC(CStatic)

    CStatic();
    ~CStatic() override;

    // A new static control of the system class "STATIC", bound to this object.
    BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);
};
