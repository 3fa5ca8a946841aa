#pragma once
// The movie player as a windowed control drives it: load a movie from bytes, advance it a
// frame at a time on a timer (see CFrameClock), and render the stage into a 32-bit
// premultiplied pixel buffer of any size, placed by one of the four scale modes.
//
//   player::CPlayer player(pJpegDecoder);       // or CPlayer() for the build's default
//   if (player.Load(bytes, size) != player::ELoadError::None) ...show the failure
//   player.SetLoop(bLoop);
//   clock.Start(nowMs, player.GetFrameRate());
//   on timer:  for (n = clock.FramesDue(nowMs); n; --n) bDirty |= player.Advance();
//              if (bDirty) player.Render(bits, w, h, w, player::EScaleMode::ExactFit);
//              if (player.IsStatic()) stop the timer, else re-arm for clock.MsUntilNext(nowMs)
#include <cstddef>
#include <cstdint>
#include <memory>

#include "player/core/Bitmap.h"
#include "player/core/Movie.h"
#include "player/core/Renderer.h"
#include "player/core/SwfFile.h"
#include "player/core/Timeline.h"

namespace player {

class CPlayer {
public:
    // Text in device fonts shows only with pFonts.
    explicit CPlayer(IJpegDecoder* pJpeg = DefaultJpegDecoder(), IDeviceFonts* pFonts = nullptr);
    ~CPlayer();
    CPlayer(const CPlayer&) = delete;
    CPlayer& operator=(const CPlayer&) = delete;

    // Replaces any movie loaded before. On success the first frame is on the stage.
    ELoadError Load(const uint8_t* pData, size_t nSize);
    bool IsLoaded() const { return m_pRoot != nullptr; }

    // With the loop flag off the main timeline stops on its last frame (sprites always loop).
    void SetLoop(bool bLoop) { m_stage.bLoopRoot = bLoop; }
    bool GetLoop() const { return m_stage.bLoopRoot; }

    // Frames per second to play at: the movie's own rate, or 12 when it states none, at most 120.
    double GetFrameRate() const;
    uint32_t GetFrameCount() const;    // main timeline
    uint32_t GetCurrentFrame() const;  // 0-based
    bool IsPlaying() const;            // main timeline
    CRect GetStageRect() const { return m_movie.header.rcFrame; }
    int GetStageWidth() const;         // pixels, at least 1
    int GetStageHeight() const;
    CColor GetBackground() const { return m_movie.background; }
    const CMovie& Movie() const { return m_movie; }

    // Runs one frame of every timeline and the scripts it triggers; true when anything moved
    // to another frame (the picture may have changed).
    bool Advance();
    // True when Advance() would change nothing, now and ever after: everything is stopped or
    // has one frame. The shell can then stop its timer.
    bool IsStatic() const;

    // Draws the stage into w x h pixels (0xAARRGGBB premultiplied; BGRA bytes in memory), with
    // nStride pixels per row. Without a movie the buffer is cleared to opaque black.
    void Render(uint32_t* pPixels, int w, int h, int nStride, EScaleMode eMode);

private:
    void Unload();

    IJpegDecoder* m_pJpeg;
    IDeviceFonts* m_pFonts;
    CMovie m_movie;
    CStage m_stage;
    std::unique_ptr<CClip> m_pRoot;
    CRenderer m_renderer;
};

}  // namespace player
