#include "movie/MovieStartup.h"

#include <gtest/gtest.h>

namespace {

TEST(MovieStartup, CursorGoesToHalfTheWorkAreaFromTheScreenOrigin)
{
    const struct {
        std::int32_t left, top, right, bottom;
        ScreenPoint expected;
    } cases[] = {
        {0, 0, 1024, 768, {512, 384}},
        // A task bar at the top: not the work area's centre (512, 399).
        {0, 30, 1024, 768, {512, 369}},
        {0, 0, 1025, 767, {512, 383}},
        // A work area left of the primary screen: only its size counts, odd sizes round down.
        {-1281, 0, 0, 1024, {640, 512}},
    };
    for (const auto& c : cases) {
        const ScreenPoint pt = CursorHomePoint(c.left, c.top, c.right, c.bottom);
        EXPECT_EQ(c.expected.x, pt.x) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
        EXPECT_EQ(c.expected.y, pt.y) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    }
}

TEST(MovieStartup, OnlySplitNonFileUrlsWithAnObjectAreFetched)
{
    EXPECT_TRUE(ShouldFetchMovieUrl(true, false, "/a.swf"));
    EXPECT_FALSE(ShouldFetchMovieUrl(false, false, "/a.swf"));
    EXPECT_FALSE(ShouldFetchMovieUrl(true, true, "/C:/Filme/a.swf"));
    EXPECT_FALSE(ShouldFetchMovieUrl(true, false, ""));
}

}  // namespace
