#include "framework/Static.h"

const CRuntimeClass CStatic::classCStatic = {"CStatic", nullptr};

CStatic::CStatic() = default;
CStatic::~CStatic() = default;

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}
