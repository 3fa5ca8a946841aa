#include "player/core/Player.h"

#include <algorithm>
#include <cmath>

namespace player {

static constexpr double DEFAULT_FRAME_RATE = 12.0;
static constexpr double MAX_FRAME_RATE = 120.0;

CPlayer::CPlayer(IJpegDecoder* pJpeg, IDeviceFonts* pFonts) : m_pJpeg(pJpeg), m_pFonts(pFonts) {}

CPlayer::~CPlayer() { Unload(); }

void CPlayer::Unload() {
    m_pRoot.reset();
    m_stage.graveyard.clear();
    m_stage.queue.clear();
    m_stage.onceDone.clear();
    m_stage.clips.clear();
    m_stage.nObjects = 0;
    m_stage.nTick = 0;
    m_movie = CMovie();
}

ELoadError CPlayer::Load(const uint8_t* pData, size_t nSize) {
    Unload();
    ELoadError e = LoadMovie(pData, nSize, m_pJpeg, m_pFonts, m_movie);
    if (e != ELoadError::None) {
        m_movie = CMovie();
        return e;
    }
    m_stage.pMovie = &m_movie;
    m_pRoot.reset(new CClip(m_stage, m_movie.root, nullptr, 0));
    m_pRoot->Enter();
    RunQueuedScripts(m_stage);
    return ELoadError::None;
}

double CPlayer::GetFrameRate() const {
    double f = m_movie.header.fFrameRate;
    if (!(f > 0.01)) return DEFAULT_FRAME_RATE;
    return std::min(f, MAX_FRAME_RATE);
}

uint32_t CPlayer::GetFrameCount() const { return m_pRoot ? m_pRoot->FrameCount() : 0; }
uint32_t CPlayer::GetCurrentFrame() const { return m_pRoot ? m_pRoot->Frame() : 0; }
bool CPlayer::IsPlaying() const { return m_pRoot && m_pRoot->IsPlaying(); }

int CPlayer::GetStageWidth() const {
    return std::max(1, int(std::lround(m_movie.header.rcFrame.Width() / TWIPS_PER_PIXEL)));
}

int CPlayer::GetStageHeight() const {
    return std::max(1, int(std::lround(m_movie.header.rcFrame.Height() / TWIPS_PER_PIXEL)));
}

bool CPlayer::Advance() {
    if (!m_pRoot) return false;
    ++m_stage.nTick;
    bool bChanged = m_pRoot->AdvanceTree();
    bChanged |= !m_stage.queue.empty();
    RunQueuedScripts(m_stage);
    return bChanged;
}

bool CPlayer::IsStatic() const { return !m_pRoot || m_pRoot->IsStaticTree(); }

void CPlayer::Render(uint32_t* pPixels, int w, int h, int nStride, EScaleMode eMode) {
    if (!pPixels || w <= 0 || h <= 0 || nStride < w) return;
    CCanvas canvas;
    canvas.pPixels = pPixels;
    canvas.nWidth = w;
    canvas.nHeight = h;
    canvas.nStride = nStride;
    if (!m_pRoot) {
        canvas.Clear(0xff000000u);
        return;
    }
    m_renderer.Render(m_movie, *m_pRoot, canvas, eMode);
}

}  // namespace player
