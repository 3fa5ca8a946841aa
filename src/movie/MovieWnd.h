// CMovieWnd: the saver window that shows the movie. The start-up runs once, in the first paint.
#pragma once

#include "saver/SaverWnd.h"

class CMovieWnd : public CSaverWnd {
public:
    CMovieWnd();
    ~CMovieWnd() override;

    BEGIN_MSG_MAP(CMovieWnd)
        MSG_WM_PAINT(OnPaint)
    END_MSG_MAP()

    void OnPaint();

private:
    BOOL m_bFirstPaint = TRUE;
};
