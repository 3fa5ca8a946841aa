// The frame clock: frames come due at the movie's rate without drift, however the timer fires.
#include <gtest/gtest.h>

#include <algorithm>

#include "player/core/FrameClock.h"

using player::CFrameClock;

namespace {

TEST(PlayerClock, FramesDueAtTheRateWithoutDrift) {
    // Timers that fire late by varying amounts, for an hour of 30 frames per second.
    struct {
        double fps;
        uint64_t lateMs;
    } cases[] = {{30, 0}, {30, 7}, {24, 3}, {12.5, 15}, {60, 1}};
    for (const auto& c : cases) {
        CFrameClock clock;
        clock.Start(1000, c.fps);
        uint64_t now = 1000, frames = 0;
        const uint64_t hourMs = 3600 * 1000;
        while (now < 1000 + hourMs) {
            now = std::max(now + 1, clock.NextDueMs() + (frames % 3) * c.lateMs / 2);
            frames += clock.FramesDue(now);
        }
        uint64_t expected = uint64_t(double(now - 1000) * c.fps / 1000.0);
        EXPECT_EQ(frames, expected) << c.fps << " fps, late " << c.lateMs;
    }
}

TEST(PlayerClock, NextDueFollowsFrameNumberNotLastCall) {
    CFrameClock clock;
    clock.Start(0, 30);
    EXPECT_EQ(clock.NextDueMs(), 34u);  // 33.3 ms rounded up
    EXPECT_EQ(clock.FramesDue(20), 0u);
    EXPECT_EQ(clock.MsUntilNext(20), 14u);
    EXPECT_EQ(clock.FramesDue(40), 1u);  // late by 6 ms
    EXPECT_EQ(clock.NextDueMs(), 67u);   // still on the grid
    EXPECT_EQ(clock.FramesDue(100), 2u);
    EXPECT_EQ(clock.FramesDue(100), 0u);
    EXPECT_EQ(clock.MsUntilNext(150), 0u);
}

TEST(PlayerClock, LongStallSkipsAheadInsteadOfRushing) {
    CFrameClock clock;
    clock.Start(0, 25);
    EXPECT_EQ(clock.FramesDue(60000), CFrameClock::MAX_CATCH_UP);
    EXPECT_EQ(clock.NextDueMs(), 60040u);
    EXPECT_EQ(clock.FramesDue(60040), 1u);
    EXPECT_EQ(clock.FramesDue(59000), 0u);  // a clock that goes back gives nothing
}

TEST(PlayerClock, UnusableRateFallsBack) {
    CFrameClock clock;
    clock.Start(0, 0);
    EXPECT_DOUBLE_EQ(clock.FramesPerSecond(), 12);
    clock.Start(0, -5);
    EXPECT_EQ(clock.FramesDue(1000), 4u);  // capped catch-up of 12 due
}

}  // namespace
