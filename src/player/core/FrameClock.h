#pragma once
// When frames are due, from a monotonic millisecond clock. Frame k is due at start + k periods
// computed from k itself, never by adding periods up, so the timing does not drift however
// late the timer fires; after a long stall (a suspended machine, a debugger) the clock skips
// ahead instead of rushing through the frames it missed.
#include <cstdint>

namespace player {

class CFrameClock {
public:
    static constexpr uint32_t MAX_CATCH_UP = 4;

    // The frame on screen now counts as frame 0, shown at nNowMs.
    void Start(uint64_t nNowMs, double fFramesPerSecond);
    // Frames that have come due since the last call (at most MAX_CATCH_UP).
    uint32_t FramesDue(uint64_t nNowMs);
    uint64_t NextDueMs() const;
    // Milliseconds from nNowMs until the next frame is due (0 when it already is).
    uint32_t MsUntilNext(uint64_t nNowMs) const;
    double FramesPerSecond() const { return m_fFps; }

private:
    uint64_t DueMs(uint64_t k) const;

    uint64_t m_nStartMs = 0;
    double m_fFps = 12;
    uint64_t m_nFramesDone = 0;
};

}  // namespace player
