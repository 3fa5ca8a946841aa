#include "movie/MovieWnd.h"

#include "app/SaverApp.h"
#include "content/DataDirectory.h"
#include "content/SettingsFileWin.h"
#include "content/SwfHeader.h"
#include "framework/ControlContainer.h"
#include "framework/File.h"
#include "framework/Gdi.h"
#include "framework/InternetSession.h"
#include "movie/ControlRect.h"
#include "movie/MissingNotice.h"
#include "movie/MovieStartup.h"
#include "player/win/PlayerControl.h"

#include <cstring>

namespace {

// The runtime's generator is process-wide and never seeded: every run shows the same places.
CRuntimeRandom g_noticeRandom;

bool InPreview()
{
    return SaverApp().m_nPreviewWidth != 0;
}

// The movie's first bytes from a URL. Only a failure to open is expected (a dead, silent or
// refusing server): it leaves the buffer zero. Any other failure goes on to the caller.
void ReadUrlHead(const std::string& strUrl, std::uint8_t (&buffer)[SWF_PROBE_BYTES])
{
    CUrlParts parts;
    const BOOL bSplit = AfxParseURL(strUrl.c_str(), parts);
    if (!ShouldFetchMovieUrl(bSplit != FALSE, parts.nScheme == INTERNET_SCHEME_FILE, parts.strObject))
        return;
    CInternetSession session(INTERNET_AGENT, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    CInternetFile* pFile = nullptr;
    try {
        pFile = session.OpenURL(strUrl.c_str(), 1, INTERNET_FLAG_TRANSFER_ASCII, nullptr, 0);
    } catch (const CInternetException&) {
        pFile = nullptr;
    }
    if (pFile) {
        struct Releaser {
            CInternetFile* p;
            ~Releaser() { delete p; }
        } release{pFile};
        pFile->Read(buffer, SWF_PROBE_BYTES);
        pFile->Close();
    }
    session.Close();
}

void ReadLocalHead(const std::string& strPath, std::uint8_t (&buffer)[SWF_PROBE_BYTES])
{
    CFile file;
    if (!file.Open(strPath.c_str(), CFile::modeRead | CFile::shareDenyWrite))
        return;
    UINT total = 0;
    // A read may deliver less than asked before the end of the file.
    while (total < SWF_PROBE_BYTES) {
        const UINT got = file.Read(buffer + total, static_cast<UINT>(SWF_PROBE_BYTES - total));
        if (got == 0)
            break;
        total += got;
    }
    file.Close();
}

}  // namespace

CMovieWnd::CMovieWnd() = default;

CMovieWnd::~CMovieWnd()
{
    const CSaverApp& app = SaverApp();
    if (app.m_nPreviewWidth == 0 && app.m_bMouseEndsSaver)
        ::ShowCursor(TRUE);
}

void CMovieWnd::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc, RGB(0, 0, 0));
    if (m_bFirstPaint)
        StartUp();
}

void CMovieWnd::StartNotice(UINT nIDEvent)
{
    ShowMissingNotice(nIDEvent);
    SetTimer(nIDEvent, NOTICE_PERIOD_MS);
}

void CMovieWnd::StartUp()
{
    m_bFirstPaint = FALSE;
    std::uint8_t header[SWF_PROBE_BYTES];
    std::memset(header, 0, sizeof header);
    std::uint32_t nWidth = 0;
    std::uint32_t nHeight = 0;
    CSaverApp& app = SaverApp();

    const std::string strDataDir = app.GetDataDirectory();
    CFile file;
    if (!OpenSettingsFile(strDataDir, file)) {
        StartNotice(NOTICE_SETTINGS_MISSING);
        return;
    }
    const MovieHeader movie = ReadMovieHeader(file);
    app.m_strMovie = FieldText(movie.szMovie);
    app.m_bMouseEndsSaver = movie.bMouseEndsSaver;
    app.m_nKeyMode = movie.nKeyMode;
    app.m_strKeys = FieldText(movie.szKeys);
    file.Close();

    if (app.m_strMovie.empty()) {
        app.m_strMovie = strDataDir + DEFAULT_MOVIE_FILE;
        ReadLocalHead(app.m_strMovie, header);
    } else {
        ReadUrlHead(app.m_strMovie, header);
    }

    if (ProbeSwfHeader(header, nWidth, nHeight) == 0) {
        StartNotice(NOTICE_MOVIE_MISSING);
        return;
    }

    RECT rcClient;
    GetClientRect(&rcClient);
    const ControlRect cr = ComputeControlRect(rcClient.right, rcClient.bottom, movie.nSizePercent,
                                              movie.nScaleMode, nWidth, nHeight);
    const RECT rcControl{cr.left, cr.top, cr.right, cr.bottom};

    // Without Flash Player installed our own player stands in for the control.
    m_wndFlash.CreateControl(FLASH_CONTROL_CLSID, "", FLASH_CONTROL_STYLE, rcControl, this, FLASH_CONTROL_ID,
                             &CreatePlayerControl);
    m_wndFlash.SubclassWindow(m_wndFlash.Detach());

    if (!InPreview()) {
        if (app.m_bMouseEndsSaver) {
            ::ShowCursor(FALSE);
        } else {
            RECT rcWork;
            if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0)) {
                const ScreenPoint pt = CursorHomePoint(rcWork.left, rcWork.top, rcWork.right, rcWork.bottom);
                ::SetCursorPos(pt.x, pt.y);
            }
        }
    }

    m_wndFlash.SetMovieLocation(app.m_strMovie.c_str());
    m_wndFlash.SetScalingMode(FLASH_SCALING_MODE);
    m_wndFlash.SetLoopFlag(movie.bLoop);

    if (!InPreview()) {
        // Without a control this takes the focus from every window, as the hosting focus on
        // an empty wrapper does; the saver window still gets keys as the active window.
        if (m_wndFlash.m_pCtrlSite)
            m_wndFlash.m_pCtrlSite->SetFocus();
        else
            m_wndFlash.SetFocus();
    }
}

void CMovieWnd::ShowMissingNotice(UINT_PTR nIDEvent)
{
    CClientDC dc(m_hWnd);
    if (!dc.m_hDC)
        return;
    const NoticeLines lines = NoticeText(static_cast<unsigned>(nIDEvent), SaverApp().m_strMovie);
    const COLORREF crOld = dc.SetTextColor(RGB(255, 255, 255));

    RECT rcText;
    ::SetRectEmpty(&rcText);
    rcText.right = dc.GetTextExtent(lines.strFirst.c_str(), static_cast<int>(lines.strFirst.size())).cx;
    const LONG cxSecond = dc.GetTextExtent(lines.strSecond.c_str(), static_cast<int>(lines.strSecond.size())).cx;
    if (cxSecond > rcText.right)
        rcText.right = cxSecond;
    const std::string strText = JoinNoticeLines(lines);
    rcText.bottom = dc.DrawText(strText.c_str(), static_cast<int>(strText.size()), &rcText, NOTICE_MEASURE_FORMAT);

    RECT rcClient;
    GetClientRect(&rcClient);
    const NoticeOffset off = PlaceNotice(g_noticeRandom, rcClient.right, rcClient.bottom, rcText.right, rcText.bottom);
    ::OffsetRect(&rcText, off.dx, off.dy);

    dc.FillSolidRect(rcClient, RGB(0, 0, 0));
    dc.DrawText(strText.c_str(), static_cast<int>(strText.size()), &rcText, NOTICE_DRAW_FORMAT);
    dc.SetTextColor(crOld);
}

BOOL CMovieWnd::DestroyWindow()
{
    if (!m_wndFlash.m_hWnd || !::IsWindow(m_wndFlash.m_hWnd))
        KillTimer(NOTICE_MOVIE_MISSING);
    return CSaverWnd::DestroyWindow();
}
