// CMovieWnd: the saver window that shows the movie. The start-up runs once, in the first paint:
// settings file, the movie's first bytes, the control's rectangle, the control, the cursor, the
// three puts and the focus; without its files it shows the missing-content notice instead.
#pragma once

#include "movie/ShockwaveFlash.h"
#include "saver/SaverWnd.h"

class CMovieWnd : public CSaverWnd {
public:
    CMovieWnd();
    ~CMovieWnd() override;

    BEGIN_MSG_MAP(CMovieWnd)
        MSG_WM_PAINT(OnPaint)
        MSG_WM_TIMER(ShowMissingNotice)
    END_MSG_MAP()

    // Stops the notice's timer when no control exists, then destroys the window.
    BOOL DestroyWindow() override;

    void OnPaint();
    // Draws the notice chosen by nIDEvent at a new random place over a black window.
    void ShowMissingNotice(UINT_PTR nIDEvent);

    CShockwaveFlash m_wndFlash;

private:
    void StartUp();
    void StartNotice(UINT nIDEvent);

    BOOL m_bFirstPaint = TRUE;
};
