// The player control's decisions without the platform: locations, scale modes, and when the
// next frame is due on a clock the test drives.
#include "player/win/ControlPlayback.h"

#include "ColourFramesMovie.h"

#include <gtest/gtest.h>

namespace {

using player::CPlayback;
using player::EScaleMode;

TEST(PlayerPlaybackTest, LocationsFetchedOverTheInternetHaveAnotherSchemeThanFile)
{
    const struct {
        const char* location;
        bool bInternet;
    } cases[] = {
        {"http://127.0.0.1:8080/a.swf", true},
        {"HTTPS://example.com/a.swf", true},
        {"ftp://example.com/a.swf", true},
        {"file:///C:/Filme/a.swf", false},
        {"FILE://server/a.swf", false},
        {"C:\\Filme\\FILE0000.SWF", false},
        {"C://Filme/a.swf", false},
        {"\\\\server\\share\\a.swf", false},
        {"a b://x", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bInternet, player::IsInternetLocation(c.location)) << c.location;
}

TEST(PlayerPlaybackTest, ScaleModePropertyValues)
{
    const struct {
        long value;
        EScaleMode mode;
    } cases[] = {
        {0, EScaleMode::ShowAll}, {1, EScaleMode::NoBorder}, {2, EScaleMode::ExactFit},
        {3, EScaleMode::NoScale}, {4, EScaleMode::ShowAll},  {-1, EScaleMode::ShowAll},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.mode, player::ScaleModeOfProperty(c.value)) << c.value;
}

// Three frames at 10 per second: frame k is due k * 100 ms after the load.
class PlayerClockTest : public ::testing::Test {
protected:
    void Load(bool bLoop, uint64_t nNowMs = 1000)
    {
        const auto movie = BuildColourFramesMovie(20, 10, 10, {0xFF0000, 0x00FF00, 0x0000FF});
        ASSERT_EQ(player::ELoadError::None, m_playback.Load(movie.data(), movie.size(), nNowMs));
        m_playback.SetLoop(bLoop, nNowMs);
    }
    uint32_t Frame() const { return m_playback.Player().GetCurrentFrame(); }

    CPlayback m_playback{nullptr};
};

TEST_F(PlayerClockTest, LateTimersDoNotMakeTheMovieDrift)
{
    Load(true);
    EXPECT_EQ(100u, m_playback.NextTickDelay(1000));
    EXPECT_FALSE(m_playback.Tick(1099)) << "early: nothing due";
    EXPECT_EQ(1u, m_playback.NextTickDelay(1099));
    EXPECT_TRUE(m_playback.Tick(1130));  // 30 ms late
    EXPECT_EQ(1u, Frame());
    EXPECT_EQ(70u, m_playback.NextTickDelay(1130)) << "the next frame keeps its own time";
    EXPECT_TRUE(m_playback.Tick(1315));  // two frames due at once
    EXPECT_EQ(0u, Frame()) << "frame 2, then round to frame 0";
    EXPECT_EQ(85u, m_playback.NextTickDelay(1315));
}

TEST_F(PlayerClockTest, WithoutLoopTheLastFrameStaysAndNoTickIsAsked)
{
    Load(false);
    EXPECT_TRUE(m_playback.Tick(1100));
    EXPECT_NE(CPlayback::NO_TICK, m_playback.NextTickDelay(1100));
    EXPECT_TRUE(m_playback.Tick(1250));
    EXPECT_EQ(2u, Frame());
    EXPECT_EQ(CPlayback::NO_TICK, m_playback.NextTickDelay(1250));
    EXPECT_FALSE(m_playback.Tick(5000));
    EXPECT_EQ(2u, Frame());

    // Looping turned on later plays on from then, without frames owed for the pause.
    m_playback.SetLoop(true, 9000);
    EXPECT_EQ(100u, m_playback.NextTickDelay(9000));
    EXPECT_TRUE(m_playback.Tick(9100));
    EXPECT_EQ(0u, Frame());
}

TEST_F(PlayerClockTest, StaticAndMissingMoviesAskForNoTick)
{
    const auto one = BuildColourFramesMovie(20, 10, 10, {0xFF0000});
    ASSERT_EQ(player::ELoadError::None, m_playback.Load(one.data(), one.size(), 0));
    EXPECT_EQ(CPlayback::NO_TICK, m_playback.NextTickDelay(0)) << "one frame";
    EXPECT_NE(player::ELoadError::None, m_playback.Load(nullptr, 0, 0));
    EXPECT_EQ(CPlayback::NO_TICK, m_playback.NextTickDelay(0)) << "no movie";
}

}  // namespace
