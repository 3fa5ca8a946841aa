// What the windowed player control decides without the platform: what a property value means,
// where a movie location is fetched from, and when the next frame is due.
#pragma once

#include "player/core/FrameClock.h"
#include "player/core/Player.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace player {

// A location with a scheme other than "file" ("http://host/a.swf") is fetched over the
// internet; anything else ("C:\Filme\a.swf", "\\server\share\a.swf") is a file on this machine.
bool IsInternetLocation(const std::string& strLocation);

// The scale-mode property as the format's players number it: 0 show all, 1 no border, 2 exact
// fit, 3 no scale. Values outside these show all, the players' default.
EScaleMode ScaleModeOfProperty(long nValue);

// A CPlayer played against a millisecond clock. The shell calls Tick when its timer fires,
// redraws when Tick says so, and re-arms the timer for NextTickDelay, or stops it at NO_TICK:
// a movie that can no longer change costs nothing between frames.
class CPlayback {
public:
    static constexpr uint32_t NO_TICK = 0xFFFFFFFFu;

    explicit CPlayback(IJpegDecoder* pJpeg, IDeviceFonts* pFonts = nullptr) : m_player(pJpeg, pFonts) {}

    // The first frame is on the stage and counts as shown at nNowMs.
    ELoadError Load(const uint8_t* pData, size_t nSize, uint64_t nNowMs);
    // A movie that stood still on its last frame plays on from nNowMs when looping is turned on.
    void SetLoop(bool bLoop, uint64_t nNowMs);
    // Runs the frames that have come due; true when the picture may have changed.
    bool Tick(uint64_t nNowMs);
    uint32_t NextTickDelay(uint64_t nNowMs) const;

    CPlayer& Player() { return m_player; }
    const CPlayer& Player() const { return m_player; }

private:
    CPlayer m_player;
    CFrameClock m_clock;
};

}  // namespace player
