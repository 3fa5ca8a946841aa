#include "player/core/FrameClock.h"

#include <cmath>

namespace player {

void CFrameClock::Start(uint64_t nNowMs, double fFps) {
    m_nStartMs = nNowMs;
    m_fFps = fFps > 0.01 && std::isfinite(fFps) ? fFps : 12;
    m_nFramesDone = 0;
}

uint64_t CFrameClock::DueMs(uint64_t k) const {
    return m_nStartMs + uint64_t(std::ceil(double(k) * 1000.0 / m_fFps - 1e-9));
}

uint32_t CFrameClock::FramesDue(uint64_t nNowMs) {
    if (nNowMs < m_nStartMs) return 0;
    // The largest k whose due time has passed.
    uint64_t k = uint64_t(std::floor(double(nNowMs - m_nStartMs) * m_fFps / 1000.0 + 1e-9));
    while (k > 0 && DueMs(k) > nNowMs) --k;
    while (DueMs(k + 1) <= nNowMs) ++k;
    if (k <= m_nFramesDone) return 0;
    uint64_t due = k - m_nFramesDone;
    if (due > MAX_CATCH_UP) {
        Start(nNowMs, m_fFps);
        return MAX_CATCH_UP;
    }
    m_nFramesDone = k;
    return uint32_t(due);
}

uint64_t CFrameClock::NextDueMs() const { return DueMs(m_nFramesDone + 1); }

uint32_t CFrameClock::MsUntilNext(uint64_t nNowMs) const {
    uint64_t next = NextDueMs();
    return next > nNowMs ? uint32_t(next - nNowMs) : 0;
}

}  // namespace player
