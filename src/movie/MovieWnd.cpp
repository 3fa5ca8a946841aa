#include "movie/MovieWnd.h"

CMovieWnd::CMovieWnd() = default;
CMovieWnd::~CMovieWnd() = default;

void CMovieWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    RECT rc;
    GetClientRect(&rc);
    ::SetBkColor(hdc, RGB(0, 0, 0));
    ::ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    m_bFirstPaint = FALSE;
    ::EndPaint(m_hWnd, &ps);
}
