#include "movie/MovieWnd.h"

#include "framework/Gdi.h"

CMovieWnd::CMovieWnd() = default;
CMovieWnd::~CMovieWnd() = default;

void CMovieWnd::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc, RGB(0, 0, 0));
    m_bFirstPaint = FALSE;
}
